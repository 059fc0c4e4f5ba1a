// The GrowPrimitives effect: background, flares and vignette on the window,
// the chains with their discs and stars into the scene targets, occlusion,
// blur and depth of field, the fade and the end credits.
#include "effects/SceneLoading.h"
#include "effects/GrowPrimitives.h"

#include <cmath>

#include "collada/Collada.h"
#include "effects/EffectHelpers.h"
#include "effects/EffectShaders.h"
#include "render/Cubemap.h"
#include "render/DrawState.h"
#include "render/GLExtensions.h"
#include "render/PostProcess.h"
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"
#include "render/Space2D.h"
#include "scene/Scene.h"

using namespace ZEPHRAN_STAGEMILL;

Collada::Document* g_primitivesDocument = nullptr;
Scene* g_primitivesScene = nullptr;
Spline g_primitiveSplines[3];
Cubemap* g_primitivesCubemap = nullptr;

namespace {

// Steps per unit of curve: the chains are cut into 600 growth steps.
const float kSteps = 600.0f;

const unsigned char kObjectColors[4][4] = {{180, 5, 0, 0}, {160, 238, 5, 0}, {205, 0, 116, 0}, {255, 116, 0, 0}};

const unsigned char kPalette[5][3] = {{242, 60, 141}, {109, 167, 20}, {140, 196, 102}, {240, 231, 68}, {230, 123, 7}};

} // namespace

GrowPrimitives::GrowPrimitives() : Effect(FadeRules::growPrimitives()) {}

void buildPrimitiveSplines(Spline splines[3]) {
    for (int k = 0; k < 3; ++k) {
        seedRandom(343 + k);
        const Vector base = randomVector() * 150.0f;
        for (int i = 0; i < 20; ++i) {
            const Vector r = randomVector() * 250.0f;
            splines[k].addPoint(Vector3(base.x + r.x, 250.0f * i, base.z + r.z));
        }
        splines[k].build();
    }
}

bool GrowPrimitives::init(unsigned long start_, unsigned long end_) {
    Base::init(start_, end_);
    g_primitivesScene =
        loadEffectScene("primitives.dae", g_primitivesDocument, "GrowPrimitives: ", "no objects are drawn");
    // "growprimitives" places the objects with the matrices alone.
    if (g_primitivesScene) g_primitivesScene->cullOutsideView = true;
    buildPrimitiveSplines(g_primitiveSplines);
    // Fetched in the archive's order, handed over in the cube's face order.
    Texture* nz = stmGetTexture("nz.png");
    Texture* pz = stmGetTexture("pz.png");
    Texture* ny = stmGetTexture("ny.png");
    Texture* py = stmGetTexture("py.png");
    Texture* nx = stmGetTexture("nx.png");
    Texture* px = stmGetTexture("px.png");
    g_primitivesCubemap = new Cubemap();
    g_primitivesCubemap->setupStatic(px, nx, py, ny, pz, nz);
    return true;
}

float linearStepStrict(float x, float lo, float hi) {
    if (lo > x) return 0.0f;
    if (x > hi) return 1.0f;
    // Only x = lo = hi reaches here with an empty window: 0 / 0 otherwise.
    if (hi <= lo) return 1.0f;
    return (x - lo) / (hi - lo);
}

float wobbleStep(float x, float lo, float hi, float d, float e, float f) {
    if (lo > x) return 0.0f;
    if (x > hi) return 1.0f;
    const float h = linearStepStrict(x, lo, hi);
    const float l = linearStepStrict(x, lo, lo + (hi - lo) * d);
    const float m = std::sin(h * 3.141592f * 2.0f * e);
    return 0.8f * std::sin(h * m * l * f + 1.57f * l) + 0.2f;
}

ChainGrowth chainGrowth(float position, int chain) {
    const float s = std::sin(0.75f * chain + 9.2f * position);
    const float s2 = s * s;
    ChainGrowth g;
    g.grow = position + 0.05f * absf(s2 * s2);
    g.from = clampf(position - 0.15f, 0.0f, 1.0f) * kSteps;
    return g;
}

StepRange objectSteps(const ChainGrowth& g) {
    const int newest = static_cast<int>(g.grow * kSteps - 1.0f);
    // The oldest drawn step is the first whole number above from.
    const int oldest = static_cast<int>(std::floor(g.from)) + 1;
    return StepRange{oldest, newest};
}

StepRange accentSteps(const ChainGrowth& g) {
    const int first = static_cast<int>(std::floor(g.from));
    const int last = static_cast<int>(std::ceil(g.grow * kSteps)) - 1;
    return StepRange{first, last};
}

float popScale(float u) {
    const float k = 1.0f / std::sin(1.9707962f);
    return 1.5f * k * std::sin(1.9707962572574615f * u);
}

void setPrimitivePaletteColor(int step) {
    const unsigned char* c = kPalette[(step / 15) % 5];
    glColor3ub(c[0], c[1], c[2]);
}

void drawDisc(float x, float y, float z, float r) {
    glBegin(GL_TRIANGLE_FAN);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glVertex3f(x, y, z);
    glVertex3f(x, y, z + r);
    for (float a = 0.0f; a < 6.28f; a += 0.25f) glVertex3f(x + r * std::sin(a), y, z + r * std::cos(a));
    glVertex3f(x, y, z + r);
    glEnd();
}

void drawGrowDisc(const Vector& centre, float x, float lo, float hi, int n) {
    const float s = std::sin(linearStep(x, lo, hi) * 3.1415925f);
    const float w = wobbleStep(x, lo, hi, 0.05f, 1.0f, 0.1f) + 0.15f * s;
    setPrimitivePaletteColor(n);
    drawDisc(centre.x, centre.y, centre.z, 6.5f * w * w);
}

StarArrow starArrow(float x, float lo, float hi, float size, int arrow) {
    const float step = (hi - lo) / 5.0f;
    StarArrow s;
    s.a = linearStep(x, lo + step * (arrow - 2), lo + step * (arrow + 2));
    s.outer = clampf((1.0f - s.a) * 1000.0f, 1.45f * size, 1000.0f);
    const float b = linearStep(x, lo + step * (arrow - 1), lo + step * (arrow + 1));
    s.inner = clampf((1.0f - b) * 1000.0f, 0.3f * size, 1000.0f);
    s.head = 0.075f * size;
    return s;
}

void drawArrowStar(const Vector& centre, float x, float lo, float hi, float size, int n) {
    setPrimitivePaletteColor(n);
    const float turn = 3.0f * 6.28f + 0.0005f * stmGetTime();
    for (int j = 0; j < 5; ++j) {
        const StarArrow s = starArrow(x, lo, hi, size, j);
        if (!(s.a > 0.0f)) continue;
        const float a = j * 6.28f / 5.0f + turn;
        const float sa = std::sin(a), ca = std::cos(a);
        // Points at radius rho along the arrow: side -1 left, 0 middle, 1 right.
        auto vertex = [&](float rho, float side) {
            glVertex3f(centre.x + rho * sa - side * 8.0f * ca, centre.y, centre.z + rho * ca + side * 8.0f * sa);
        };
        glNormal3f(0.0f, 1.0f, 0.0f);
        glBegin(GL_TRIANGLES);
        vertex(s.outer, 0.0f);
        vertex(s.outer - s.head, -1.0f);
        vertex(s.outer - s.head, 1.0f);
        vertex(s.inner + s.head, -1.0f);
        vertex(s.inner + s.head, 1.0f);
        vertex(s.inner, 0.0f);
        glEnd();
        glBegin(GL_QUADS);
        vertex(s.inner + s.head, -1.0f);
        vertex(s.inner + s.head, 1.0f);
        vertex(s.outer - s.head, 1.0f);
        vertex(s.outer - s.head, -1.0f);
        glEnd();
    }
}

void buildPrimitiveFlares(float position, Array<FlareQuad>& out) {
    out.clear();
    const float s = smoothStep(position, 0.05f, 0.2f);
    seedRandom(31);
    for (int n = 0; n < 70; ++n) {
        const float rho = frand() * 0.65f;
        const float a = frand() * 3.1415925f * 4.0f;
        float x = std::sin(a) * rho + 0.5f;
        float y = std::cos(a) * rho + 0.5f;
        const float g = (n & 7) * 0.15f + 2.64f;
        x += g * position * (x - 0.5f);
        y += g * position * (y - 0.5f);
        FlareQuad flare;
        flare.x = x;
        flare.y = y;
        flare.angle = position * ((n & 31) * 300 - 3600) + 35.0f * n;
        flare.halfSize = ((n & 3) * 0.009f + 0.025f) * s;
        flare.z = 0.0f;
        if (flare.halfSize > 0.0f) out.add(flare);
    }
}

CreditsWipe creditsWipe(float position) {
    CreditsWipe w;
    w.drawn = linearStep(position, 0.925f, 0.945f) > 0.01f;
    const float c = linearStep(position, 0.925f, 1.0f);
    w.left = linearStep(c, 0.93f, 1.0f);
    w.right = linearStep(c, 0.0f, 0.175f);
    return w;
}

// Background, flares and vignette straight into the window.
static void drawPrimitivesBackdrop(float position, float level) {
    const DrawState textured = DrawState().texture(Texturing::Texture2D);
    textured.apply();
    stmGetTexture("bg3.png")->bind();
    drawScreenQuad(false, false);

    textured.blend(Blend::Screen).apply();
    stmGetTexture("zprn_flare_blur.jpg")->bind();
    glColor3f(0.045f, 0.045f, 0.045f);
    Array<FlareQuad> flares;
    buildPrimitiveFlares(position, flares);
    {
        const Space2D space = Space2D::unit();
        drawFlareQuads(flares);
    }

    textured.blend(Blend::Alpha).apply();
    stmGetTexture("vignet.jpg")->bind();
    glColor4f(0.0f, 0.0f, 0.0f, 0.5f - 0.17f * level);
    drawScreenQuad(false, false);
}

// The objects of the three chains, in the scene's 0.05 scale, with the
// "growprimitives" shader and the cube map bound by the caller.
static void drawChainObjects(float position) {
    if (!g_primitivesScene) return;
    const unsigned int nodes = g_primitivesScene->getNodeCount();
    for (int k = 0; k < 3; ++k) {
        const ChainGrowth g = chainGrowth(position, k);
        const StepRange steps = objectSteps(g);
        for (int n = steps.last; n >= steps.first; --n) {
            seedRandom(n + 2000 * k);
            Vector p = Vector(g_primitiveSplines[k].evaluate(n / kSteps)) + randomVector() * 50.0f;
            glColor4ubv(kObjectColors[(n % nodes) & 3]);
            glPushMatrix();
            const float u = linearStep(g.grow, n / kSteps, (n + 6) / kSteps);
            const float v = linearStep(g.grow, n / kSteps, (n + 4) / kSteps);
            p += randomVector() * 500.0f * 0.1f * v;
            glTranslatef(p.x, p.y, p.z);
            const float scale = popScale(u);
            glScalef(scale, scale, scale);
            glRotatef(frandRange(140.0f) + 20.0f, -1.0f, 0.0f, 0.0f);
            glRotatef(frandRange(360.0f), 0.0f, 1.0f, 0.0f);
            g_primitivesScene->drawNode(g_primitivesScene->getNode(n % nodes), false);
            glPopMatrix();
        }
    }
}

// Discs on every fourth step of each chain, an arrow star on every
// thirty-second, with the flat "background_solid" shader bound by the caller.
static void drawChainAccents(float position) {
    for (int k = 0; k < 3; ++k) {
        const ChainGrowth g = chainGrowth(position, k);
        const StepRange steps = accentSteps(g);
        for (int n = steps.first; n <= steps.last; ++n) {
            if (n % 4 != 0) continue;
            seedRandom(n + 2000 * k);
            const Vector p = Vector(g_primitiveSplines[k].evaluate(n / kSteps)) + randomVector() * 50.0f;
            if (n % 32 == 0) drawArrowStar(p, position - 0.05f, n / kSteps, (n + 25) / kSteps, 65.0f, n);
            const float w = frand() * 160.0f + 45.0f;
            const Vector c = p + randomCircleVector() * w;
            drawGrowDisc(c, position - 0.005f, (n - 3) / kSteps, (n + 10) / kSteps, n);
        }
    }
}

static void drawCredits(float position) {
    const CreditsWipe wipe = creditsWipe(position);
    if (!wipe.drawn) return;
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    DrawState().blend(Blend::Alpha).texture(Texturing::Texture2D).apply();
    stmGetTexture("credits.png")->bind();
    const Space2D space = Space2D::unit();
    const float h = 0.22f * stmGetAspectRatio();
    glBegin(GL_QUADS);
    glTexCoord2f(wipe.left, 1.0f);
    glVertex2f(0.28f, 0.5f - h);
    glTexCoord2f(wipe.right, 1.0f);
    glVertex2f(0.72f, 0.5f - h);
    glTexCoord2f(wipe.right, 0.0f);
    glVertex2f(0.72f, 0.5f + h);
    glTexCoord2f(wipe.left, 0.0f);
    glVertex2f(0.28f, 0.5f + h);
    glEnd();
    DrawState().apply();
}

void GrowPrimitives::render(float position, float fade) {
    timer->update();
    while (timer->hasStep()) timer->consumeStep();

    // The camera climbs with the chains' front, 20 units above it, rolling.
    const Vector up = sphericalToCartesian(1.0f, 6.0f * position, -3.91f * position);
    Vector eye = sphericalToCartesian(2.0f, 3.0f * position, 9.0f * position * position + 100.0f);
    eye.x = 3.0f;
    const float bump = std::sin(linearStep(position, 0.0f, 0.4f) * 3.14f);
    eye.y = (0.244f * 0.09f * bump * bump + 1.0f) * 225.0f * position + 20.0f;
    stmSetPerspective(45.0f, 0.1f, 200.0f);
    glLoadIdentity();
    stmLookAt(eye.x, eye.y, eye.z, 0.0f, 225.0f * position, 0.0f, up.x, up.y, up.z);

    // Unused: the call keeps the analyser's history moving.
    g_spectrum->sample();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const float level = g_spectrum->level();

    drawPrimitivesBackdrop(position, level);

    RenderTargets& rt = g_renderTargets;
    rt.beginSceneMRT();
    const DrawState scene = DrawState().depth(true, true);
    Shader* shader = effectShader("growprimitives");
    scene.texture(Texturing::CubeMap).use(shader).apply();
    g_primitivesCubemap->bind();
    if (shader) {
        shader->setUniform1i("cube", 0);
        shader->setUniform1f("syncDefault", level);
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glScalef(0.05f, 0.05f, 0.05f);
    drawChainObjects(position);
    scene.use(effectShader("background_solid")).apply();
    drawChainAccents(position);
    DrawState().apply();
    rt.endSceneMRT();

    applySSAO(0.035f, 0.015f, 1.5f, 25.0f);
    blurQuarter(rt.texHalfSSAO, 3, 1.0f / (rt.width / 4), 1.0f / (rt.height / 4), false);
    rt.bindScreenFBOScreenNormal(rt.texScreenCombined);
    applyCombine(rt.texQuarterA);
    rt.unbind();
    blurHalf(rt.texScreenCombined, 3, 0.5f / rt.width, 0.5f / rt.height, false);
    DrawState().blend(Blend::Alpha).texture(Texturing::Texture2D).apply();
    applyDepthOfField(rt.texScreenCombined, rt.texScreenDepth, rt.texHalfA, 0.0098f, 0.18715f, 0.54f);

    // The black fade covers the picture; the credits come after it.
    drawColorOverlay(0.0f, 0.0f, 0.0f, 1.0f - fade * fade);
    drawCredits(position);
}
