// The Logo effect: shadow pass, mirrored and direct scene passes, half blur,
// background, depth of field and the blinds.
#include "effects/SceneLoading.h"
#include "effects/Logo.h"

#include <cmath>

#include "collada/Collada.h"
#include "effects/Blinds.h"
#include "effects/EffectHelpers.h"
#include "effects/EffectShaders.h"
#include "effects/LightView.h"
#include "effects/ShadowLookup.h"
#include "render/Cubemap.h"
#include "render/DrawState.h"
#include "render/GLExtensions.h"
#include "render/PostProcess.h"
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"
#include "scene/Scene.h"

using namespace ZEPHRAN_STAGEMILL;

Collada::Document* g_logoDocument = nullptr;
Scene* g_logoScene = nullptr;
Cubemap* g_logoCubemap = nullptr;

Logo::Logo() : Effect(FadeRules::logo()) {}

bool Logo::init(unsigned long start_, unsigned long end_) {
    Base::init(start_, end_);
    g_logoScene = loadEffectScene("logo.dae", g_logoDocument, "Logo: ", "the logo is not drawn");
    g_logoCubemap = new Cubemap();
    g_logoCubemap->setupStatic(stmGetTexture("px.png"), stmGetTexture("nx.png"), stmGetTexture("py.png"),
                               stmGetTexture("ny.png"), stmGetTexture("pz.png"), stmGetTexture("nz.png"));
    return true;
}

void setLogoColor() { glColor3ub(109, 167, 20); }

float logoPieceScatter(float position, float pieceX) {
    const float h = absf(pieceX / 10.5f);
    const float p = 1.0f - position;
    return clampf(2.0f * p + h - 1.5f, 0.0f, 1.0f);
}

void buildLogoFlares(float position, Array<FlareQuad>& out) {
    out.clear();
    const float k = smoothStep(position, 0.05f, 0.2f);
    seedRandom(3265);
    int j = 0;
    for (float a = 0.0f; a < 2700.0f; a += 45.0f, ++j) {
        const float s = frand() * 12.75f;
        const float m = frand() * 6.28f;
        const float x = 0.25f + s * std::sin(m);
        const float y = 0.25f + s * std::cos(m);
        FlareQuad flare;
        flare.x = x + 1.5f * position * (x - 0.5f);
        flare.y = y + 1.5f * position * (y - 0.5f);
        flare.angle = ((j & 31) - 18) * 200 * position + a;
        flare.halfSize = ((j & 3) * 0.009f + 0.04f) * 10.0f * k;
        flare.z = ((j & 7) * 0.001f + 0.05f) * -50.0f;
        if (flare.halfSize > 0.0f) out.add(flare);
    }
}

// Splat and flares, clipped to y >= 0 of the caller's coordinates, then the
// shadow lookup and the "logo" shader for the pieces. Leaves unit 1 active
// with the shadow map, unit 0 with the cube map.
static void beginShadedLogo(float position) {
    static const GLdouble keepAboveFloor[4] = {0.0, 1.0, 0.0, 0.0};
    glClipPlane(GL_CLIP_PLANE0, keepAboveFloor);
    glEnable(GL_CLIP_PLANE0);

    Shader* flare = effectShader("background_flare");
    DrawState().blend(Blend::Screen).depth(true, false).texture(Texturing::Texture2D).use(flare).apply();
    if (flare) flare->setUniform1i("texture", 0);
    stmGetTexture("logo_splat.jpg")->bind();

    glPushMatrix();
    const float r = 2.0f * position + 10.0f;
    glColor3f(0.0f, 0.0f, 0.0f);
    glRotatef(13.0f * position - 5.0f, 0.0f, 0.0f, 1.0f);
    drawSpriteQuad(1.5f * r, r, -2.5f);
    glPopMatrix();

    stmGetTexture("zprn_flare_blur.jpg")->bind();
    Array<FlareQuad> flares;
    buildLogoFlares(position, flares);
    drawFlareQuads(flares);
    glDisable(GL_CLIP_PLANE0);
    setLogoColor();

    loadShadowLookup();
    Shader* logo = effectShader("logo");
    DrawState().depth(true, true).texture(Texturing::CubeMap, Texturing::Texture2D).use(logo).apply();
    if (logo) logo->setUniform1f("time", 1.0f - position);
    g_logoCubemap->bind();
    if (logo) logo->setUniform1i("cube", 0);
    bindShadowMap(logo, 1);
}

// Each piece is pushed off its place along its own random direction and
// turned about its own random axis, both scaled by its scatter squared. Every
// piece draws its random numbers whether displaced or not, so it keeps its
// direction from frame to frame.
static void drawLogoPieces(float position) {
    Map<Light*> noLights;
    glTranslatef(0.0f, 0.5f, 0.0f);
    seedRandom(343);
    if (!g_logoScene) return;
    const unsigned int n = g_logoScene->getNodeCount();
    for (unsigned int i = 0; i < n; ++i) {
        SceneNode* node = g_logoScene->getNode(i);
        glPushMatrix();
        glMultMatrixf(node->local.m);
        const float s = logoPieceScatter(position, node->local.m[12]);
        Vector v = randomVector() * 25.0f;
        v.z -= 25.0f;
        v.x *= 3.0f;
        if (v.y < 2.0f) v.y = 2.0f - v.y;
        v *= s * s;
        glTranslatef(v.x, v.y, v.z);
        const float angle = (frand() * 1000.0f + 1000.0f) * s * s;
        const Vector axis = randomVector();
        glRotatef(angle, axis.x, axis.y, axis.z);
        if ((i & 3) == 0) glTranslatef(0.05f * s, 0.0f, 0.0f);
        if (node->mesh) node->mesh->draw(noLights, true);
        glPopMatrix();
    }
}

// The floor in mirrored coordinates, blended black at alpha 0.48 over the
// mirrored image without depth test.
static void drawLogoFloor() {
    Shader* ground = effectShader("logo_ground");
    DrawState().blend(Blend::Alpha).texture(Texturing::CubeMap, Texturing::Texture2D).use(ground).apply();
    g_logoCubemap->bind();
    bindShadowMap(ground, 1);
    glColor4f(0.0f, 0.0f, 0.0f, 0.48f);
    glBegin(GL_QUADS);
    glVertex3f(20.0f, 0.0f, 80.0f);
    glVertex3f(20.0f, 0.0f, -20.0f);
    glVertex3f(-20.0f, 0.0f, -20.0f);
    glVertex3f(-20.0f, 0.0f, 80.0f);
    glEnd();
}

void drawLogoScene(float position, bool shaded, int pass) {
    if (shaded) beginShadedLogo(position);
    drawLogoPieces(position);
    if (pass == 2) drawLogoFloor();
    if (shaded) {
        DrawState().apply();
        resetShadowLookup();
    }
}

void drawLogoBlinds(float fade) { drawBlinds(34.0f, 8, 1.0f - fade, 1.0f - fade); }

void Logo::render(float position, float fade) {
    timer->update();
    while (timer->hasStep()) timer->consumeStep();

    // Light view and shadow pass: the logo and its mirror image into tex2048.
    stmSetPerspective(100.0f, 1.0f, 20.0f);
    glLoadIdentity();
    stmLookAt(2.5f, 10.0f, 3.5f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f);
    glPolygonOffset(1.0f, 1.0f);
    glEnable(GL_POLYGON_OFFSET_FILL);
    captureLightView();

    g_renderTargets.bindTextureFBO2048(g_renderTargets.tex2048);
    DrawState().depth(true, true).use(effectShader("logo_depth")).apply();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    drawLogoScene(position, false, 0);
    glScalef(1.0f, -1.0f, 1.0f);
    drawLogoScene(position, false, 1);
    glPopMatrix();
    DrawState().apply();
    g_renderTargets.unbind();
    glDisable(GL_POLYGON_OFFSET_FILL);

    // The camera backs off by one unit over the effect and rolls slightly.
    stmSetPerspective(95.0f, 1.0f, 20.0f);
    glLoadIdentity();
    stmLookAt(0.0f, 3.45f, 9.0f - position, 0.0f, 1.45f, 0.0f, 0.05f - 0.05f * position, 1.0f, 0.0f);

    // Both values unused: the calls keep the analyser's history moving.
    g_spectrum->sample();
    g_spectrum->level();

    // Nothing samples the normals: the blur and the depth of field read colour and depth.
    g_renderTargets.beginSceneMRT(kSceneColor | kSceneDepth);
    glPushMatrix();
    glScalef(1.0f, -1.0f, 1.0f);
    drawLogoScene(position, true, 2);
    glPopMatrix();
    drawLogoScene(position, true, 3);
    g_renderTargets.endSceneMRT();

    const RenderTargets& rt = g_renderTargets;
    blurHalf(rt.texScreenColor, 2, 0.5f / rt.width, 0.5f / rt.height, false);

    DrawState().depth(false, false).texture(Texturing::Texture2D).apply();
    stmGetTexture("bg1.png")->bind();
    drawScreenQuad(false, false);

    DrawState().blend(Blend::Alpha).depth(false, false).texture(Texturing::Texture2D).apply();
    glColor3f(1.0f, 1.0f, 1.0f);
    applyDepthOfField(rt.texScreenColor, rt.texScreenDepth, rt.texHalfA, 0.245f, 0.22655001f, 0.3152f);

    drawLogoBlinds(fade);
}
