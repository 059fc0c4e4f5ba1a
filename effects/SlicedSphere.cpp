// The SlicedSphere effect: shadow pass, sky, picture layer, slices, dust,
// the post chain and the closing blinds.
#include "effects/SceneLoading.h"
#include "effects/SlicedSphere.h"

#include <cmath>

#include "collada/Collada.h"
#include "effects/Blinds.h"
#include "effects/Dust.h"
#include "effects/EffectHelpers.h"
#include "effects/EffectShaders.h"
#include "effects/LightView.h"
#include "effects/PostChain.h"
#include "effects/ShadowLookup.h"
#include "effects/SharedResources.h"
#include "effects/SkyBox.h"
#include "render/Cubemap.h"
#include "render/DrawState.h"
#include "render/GLExtensions.h"
#include "render/PostProcess.h"
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"
#include "scene/Scene.h"

using ZEPHRAN_STAGEMILL::Vector;
using ZEPHRAN_STAGEMILL::Vector3;

Collada::Document* g_slicedSphereDocument = nullptr;
Scene* g_slicedSphereScene = nullptr;
Cubemap* g_sliceCubemap = nullptr;
Vector g_sliceSortOrigin;

namespace {

// Slice colours by node number & 3; the first is the pink every slice
// starts from.
const Vector3 kSliceColours[4] = {Vector3(242, 60, 141) / 255.0f, Vector3(109, 167, 20) / 255.0f,
                                  Vector3(140, 196, 102) / 255.0f, Vector3(240, 231, 68) / 255.0f};

const PostChain kPostChain = {0.03f, 0.01f, 1.0f, 25.0f, 2, 1.5f, 3, 1.5f, 0.01f, 0.14f, 0.35f};

const Vector kLightEye(0.0f, 59.0f, 19.5f);

// The light's view; also what the dust sorts from.
void placeLight() {
    stmSetPerspective(59.1f, 18.75f, 64.0f);
    g_sliceSortOrigin = kLightEye;
    glLoadIdentity();
    stmLookAt(kLightEye.x, kLightEye.y, kLightEye.z, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f);
}

// The camera of a position (seed 232): it circles out from close by and
// backs far away in the last 7 % of the span. Returns the eye.
Vector placeCamera(float position) {
    const float z = smoothStep(position, 0.93f, 1.0f);
    const float radius = 34.5f * position + 2.5f + 40.0f * z * z;
    const float s = 1.5f * position;
    seedRandom(232);
    const float a = (frand() + 0.5f) * 9.0f * s;
    const float azimuth = frand() * 10.0f + a;
    const float polar = frand() + 3.0f * s;
    const Vector eye = sphericalToCartesian(radius, polar, azimuth);
    stmSetPerspective(90.0f - 30.0f * position, 0.225f, 57.5f);
    glLoadIdentity();
    stmLookAt(eye.x, eye.y, eye.z, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f);
    return eye;
}

// Dust positions of a position (seed 21): a flattened ball around the
// sphere, its y and z swapped.
void placeDust(float position) {
    seedRandom(21);
    for (int n = 0; n < kDustCount; ++n) {
        const float f = frand() * 10.0f + 1.5f;
        const Vector p = randomUnitVector() * (f * (0.5f * position + 0.5f) * 0.74f * 10.0f * 10.0f * 0.17f);
        g_dust[n].position = Vector(p.x, p.z, p.y, p.w);
    }
}

} // namespace

SlicedSphere::SlicedSphere() : Effect(FadeRules::slicedSphere()) {}

bool SlicedSphere::init(unsigned long start_, unsigned long end_) {
    Base::init(start_, end_);
    g_slicedSphereScene =
        loadEffectScene("sliced_sphere.dae", g_slicedSphereDocument, "SlicedSphere: ", "no slices are drawn");
    if (g_slicedSphereScene) {
        // The world matrices drawNode would leave, so that the slices sit in
        // place already in the first frame's shadow pass, which reads them
        // before anything has been drawn.
        for (unsigned i = 0; i < g_slicedSphereScene->getNodeCount(); ++i) {
            SceneNode* node = g_slicedSphereScene->getNode(i);
            if (node->parent) node->world = node->parent->local * node->local;
        }
    }
    g_sliceCubemap = loadFaceCubemap("");
    return true;
}

SliceRange sliceRange(unsigned nodeCount) { return SliceRange{4u, nodeCount > 5u ? nodeCount - 1u : 4u}; }

void drawSlices(float position, bool shaded) {
    if (shaded) {
        loadShadowLookup();
        Shader* slices = effectShader("slicesphere");
        DrawState().depth(true, true).texture(Texturing::Texture2D, Texturing::CubeMap).use(slices).apply();
        bindShadowMap(slices, 0);
        glActiveTextureARB(GL_TEXTURE1_ARB);
        if (g_sliceCubemap) g_sliceCubemap->bind();
        glActiveTextureARB(GL_TEXTURE0_ARB);
        if (slices) slices->setUniform1i("cube", 1);
    }
    glColor3f(1.0f, 1.0f, 1.0f);
    glScalef(0.25f, 0.25f, 0.25f);

    const float k = std::sin(20.0f * position) + 1.0f;
    const float t = k / 2.0f;
    const SliceRange range = sliceRange(g_slicedSphereScene ? g_slicedSphereScene->getNodeCount() : 0u);
    for (unsigned i = range.first; i < range.end; ++i) {
        const Vector3& pink = kSliceColours[0];
        const Vector colour(pink + (kSliceColours[i & 3] - pink) * t);
        glColor4fv(&colour.x);
        glPushMatrix();
        SceneNode* node = g_slicedSphereScene->getNode(i);
        const Vector3 p = node->getWorldPosition();
        glTranslatef(k * p.x, k * p.y + (i & 3) * t, k * p.z);
        g_slicedSphereScene->drawNode(node, true);
        glPopMatrix();
    }

    if (shaded) {
        DrawState().depth(true, true).apply();
        resetShadowLookup();
    }
}

void drawSlicedSphereBlinds(float position) {
    const float u = smoothStep(position, 0.96f, 1.0f);
    drawBlinds(64.0f, 12, u * u, u * u);
}

void SlicedSphere::render(float position, float) {
    const int beat = g_beatClock->updateBeatNumber();
    timer->update();
    while (timer->hasStep()) timer->consumeStep();
    g_spectrum->sample(); // unused: keeps the analyser's history moving

    placeLight();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const float analyzer = g_spectrum->level();
    captureLightView();

    // Shadow pass: the slices seen from the light into tex2048.
    g_renderTargets.bindTextureFBO2048(g_renderTargets.tex2048);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawState().depth(true, true).use(effectShader("plates_depth")).apply();
    glPushMatrix();
    drawSlices(position, false);
    glPopMatrix();
    DrawState().apply();
    g_renderTargets.unbind();

    const Vector eye = placeCamera(position);

    g_renderTargets.beginSceneMRT();
    const float flareLevel = g_spectrum->level();
    drawSkyBox(g_darkCubemap, eye, 0.985f, 0.175f, 0.995f, 0.8f + flareLevel * 0.4f * (beat & 1) * 0.14f);

    // The picture layer, added at alpha 0.46 and panning slowly. It is drawn
    // with "background" so that, like the sky, it leaves the normal and
    // depth targets alone (fixed function would add it to all three).
    glColor4f(1.0f, 1.0f, 1.0f, 0.46f);
    Shader* layer = effectShader("background");
    DrawState().blend(Blend::AddAlpha).texture(Texturing::Texture2D).use(layer).apply();
    if (layer) layer->setUniform1i("texture", 0);
    if (stm::Texture* picture = stmGetTexture("t_bg.png")) picture->bind();
    drawScreenQuadCropped(false, false, 0.085f, 0.085f, 0.09f * position - 0.035f, 0.01f - 0.035f * position);

    glPushMatrix();
    drawSlices(position, true);
    glPopMatrix();

    placeDust(position);
    drawDust(g_sliceSortOrigin, analyzer * 0.1f * 0.15f);

    g_renderTargets.endSceneMRT();
    runPostChain(kPostChain);

    drawSlicedSphereBlinds(position);
}
