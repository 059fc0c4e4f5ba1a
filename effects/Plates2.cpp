// The Plates2 effect: the walkers and their stepping, the ribbon geometry,
// the camera that jumps every 16 beats, the background and the post chain.
// The light and the shadow pass are the ones Plates uses.
#include "effects/Plates2.h"

#include <cmath>

#include "effects/EffectHelpers.h"
#include "effects/EffectShaders.h"
#include "effects/Plates.h"
#include "effects/ShadowLookup.h"
#include "render/DrawState.h"
#include "render/GLExtensions.h"
#include "render/PostProcess.h"
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"

using namespace ZEPHRAN_STAGEMILL;

Walker g_walkers[kWalkerCount];
int g_walkerStep = 5000;

namespace {

stm::Matrix4 g_trailLightProjection;
stm::Matrix4 g_trailLightModelview;
StripMesh g_trailMesh;

const float kWalkerArea = 20.0f; // walkers respawn beyond |x| or |z| of this
const float kLayerHeight = 8.5f; // layers lie between y = 0 and this
const Vector kTrailDepth(0.0f, 0.2f, 0.0f);

// One of four directions for a new walker.
float randomHeading() { return (crt::rand() % 4) * 0.25f * 6.28f + 0.4f; }

// From a trail point to its right edge: the horizontal direction back along
// the trail (towards `previous`) turned a quarter, `width` long.
Vector trailSide(const Vector& previous, const Vector& current, float width) {
    Vector d = previous - current;
    d.y = 0.0f;
    d.normalize();
    return Vector(-d.z, 0.0f, d.x) * width;
}

int ringIndex(int step) { return step % kTrailLength; }

} // namespace

Plates2::Plates2() : Effect(FadeRules::plates()) {}

bool Plates2::init(unsigned long start_, unsigned long end_) {
    Base::init(start_, end_);
    createWalkers();
    return true;
}

void createWalkers() {
    for (int i = 0; i < kWalkerCount; ++i) {
        Walker& w = g_walkers[i];
        w.heading = randomHeading();
        w.position = randomVector() * kWalkerArea;
        w.position.y = i * kLayerHeight / kWalkerCount;
        w.steps = 0;
        w.trail[0] = w.leftEdge[0] = w.rightEdge[0] = w.position;
        w.turn = crt::rand() % 40 + 20;
        w.moved = 0;
    }
}

float trailWidth(float y) {
    const float f = ((kLayerHeight - y) / kLayerHeight) * 0.75f + 0.75f;
    return f * f;
}

float trailPulse(float level) { return 1.0f + 0.5f * level * level * 0.04f; }

void stepWalkers(float position) {
    g_walkerStep += 1;
    seedRandom(static_cast<unsigned int>(g_walkerStep));
    crt::srand(static_cast<unsigned int>(g_walkerStep));
    const float speed = easeInSine(position, 0.0f, 0.125f) * 0.75f + 0.25f + easeInSine(position, 0.94f, 1.0f);

    for (int i = 0; i < kWalkerCount; ++i) {
        Walker& w = g_walkers[i];
        const Vector next = w.position + Vector(std::sin(w.heading), 0.0f, std::cos(w.heading)) * 0.1f * speed;
        w.steps += 1;
        const int head = ringIndex(w.steps);
        w.trail[head] = next;
        const Vector side = trailSide(w.trail[ringIndex(w.steps - 1)], next, trailWidth(next.y) * 0.9f);
        w.leftEdge[head] = next - side;
        w.rightEdge[head] = next + side;
        w.moved = 1;
        w.position = next;
        w.turn += w.turn >= 0 ? 1 : -1;
        if (i % 10 != 0) {
            const float sign = w.turn >= 0 ? 1.0f : -1.0f;
            w.heading += sign * 0.022428572f * ((i & 3) * 0.25f + 1.5f) * speed;
        }
        // A bout ends after 30 to 120 steps and the next turns either way.
        // Both thresholds are always drawn, the new direction only when a
        // bout ends.
        if (w.turn > frand() * 90.0f + 30.0f) w.turn = frand() < 0.5f ? -1 : 1;
        if (w.turn < -30.0f - frand() * 90.0f) w.turn = frand() < 0.5f ? -1 : 1;

        if (std::fabs(next.x) > kWalkerArea || std::fabs(next.z) > kWalkerArea) {
            w.position = randomVector() * kWalkerArea;
            w.position.y = frand() * kLayerHeight;
            w.trail[0] = w.position;
            w.heading = randomHeading();
            w.steps = 0;
            w.turn = crt::rand() % 130 + 50;
        }
    }
}

void buildWalkerTrail(const Walker& walker, int index, float pulse, StripMesh& mesh) {
    const int n = walker.steps < kTrailLength ? walker.steps : kTrailLength - 1;
    if (n < 2) return;

    static const unsigned char kColours[3][3] = {{78, 193, 178}, {231, 14, 121}, {241, 218, 170}};
    static const unsigned char kStraightColour[3] = {144, 30, 20};
    const unsigned char* c = index % 10 == 0 ? kStraightColour : kColours[index % 3];
    mesh.setColour(c[0] / 255.0f, c[1] / 255.0f, c[2] / 255.0f, 1.0f);

    // Entry k = 1 .. n - 1 walks back from the head. Every eighth ribbon
    // widens with the pulse, so its edges are made here from the trail.
    const bool pulsing = index % 8 == 0;
    const float width = (pulsing ? 0.9f * pulse : 0.9f) * trailWidth(walker.position.y);
    Vector left[kTrailLength], right[kTrailLength], along[kTrailLength];
    for (int k = 1; k < n; ++k) {
        const int j = ringIndex(walker.steps - k + 1);
        const Vector& previous = walker.trail[ringIndex(walker.steps - k)];
        along[k] = previous - walker.trail[j];
        if (pulsing) {
            const Vector side = trailSide(previous, walker.trail[j], width);
            left[k] = walker.trail[j] - side;
            right[k] = walker.trail[j] + side;
        } else {
            left[k] = walker.leftEdge[j];
            right[k] = walker.rightEdge[j];
        }
    }

    const float s = (index & 1) * 0.5f;
    const float invN = 1.0f / n;
    const Vector facing(0.0f, -1.0f, 0.0f);
    mesh.begin(GL_QUAD_STRIP);
    for (int k = 1; k < n; ++k) {
        mesh.add(right[k], facing, s, k * invN);
        mesh.add(left[k], facing, s + 0.5f, k * invN);
    }

    mesh.begin(GL_QUADS);
    for (int k : {n - 1, 1}) {
        const Vector normal = (left[k] - right[k]).crossProduct(kTrailDepth);
        mesh.add(right[k], normal, s, k * invN);
        mesh.add(left[k], normal, s + 0.5f, k * invN);
        mesh.add(left[k] - kTrailDepth, normal, s + 0.5f, k * invN);
        mesh.add(right[k] - kTrailDepth, normal, s, k * invN);
    }

    for (const Vector* edge : {left, right}) {
        mesh.begin(GL_QUAD_STRIP);
        for (int k = 1; k < n; ++k) {
            const Vector normal = along[k].crossProduct(kTrailDepth);
            mesh.add(edge[k], normal, s, k * invN);
            mesh.add(edge[k] - kTrailDepth, normal, s, k * invN);
        }
    }
}

void drawWalkerTrails(bool shaded) {
    const DrawState scene = DrawState().depth(true, true);
    if (shaded) {
        loadShadowLookup(g_trailLightProjection, g_trailLightModelview);
        Shader* trails = effectShader("plates2");
        scene.blend(Blend::Alpha).texture(Texturing::Texture2D, Texturing::Texture2D).use(trails).apply();
        bindShadowMap(trails, 0);
        glActiveTextureARB(GL_TEXTURE1_ARB);
        stmGetTexture("matsku.jpg")->bind();
        glActiveTextureARB(GL_TEXTURE0_ARB);
        if (trails) trails->setUniform1i("tex", 1);
    }

    const float pulse = trailPulse(g_spectrum->level());
    g_trailMesh.clear();
    for (int i = kWalkerCount - 1; i >= 0; --i) buildWalkerTrail(g_walkers[i], i, pulse, g_trailMesh);
    g_trailMesh.draw();

    if (shaded) {
        scene.apply();
        resetShadowLookup();
    }
}

PlatesCamera plates2Camera(int section, float position) {
    // Always well above the top layer, looking down on the map.
    static const SeededCameraShape kShape = {-1.0f, 2.0f, 8.5f, 3.0f, 8.75f, 5.5f, 5.0f};
    return seededSectionCamera(static_cast<unsigned int>(section), kShape, position - 0.75f);
}

int plates2CameraSection(int beat) { return static_cast<int>(std::floor((beat + 7.2f) * 0.0625f)); }

static void drawTrailCasters(float, float) { drawWalkerTrails(false); }

void Plates2::render(float position, float) {
    timer->update(static_cast<int>(time));
    while (timer->hasStep()) {
        stepWalkers(position);
        timer->consumeStep();
    }

    renderPlatesShadowMap(position, 60.0f, 10.0f, 35.0f, g_trailLightProjection, g_trailLightModelview,
                          drawTrailCasters);

    stmSetPerspective(56.0f, 0.25f, 50.0f);
    const int beat = g_beatClock->updateBeatNumber(time);
    const PlatesCamera camera = plates2Camera(plates2CameraSection(beat), position);
    glLoadIdentity();
    stmLookAt(camera.eye.x, camera.eye.y, camera.eye.z, camera.target.x, camera.target.y, camera.target.z, 0.0f, 1.0f,
              0.0f);

    // Nothing samples the normals: the blur and the depth of field read colour and depth.
    g_renderTargets.beginSceneMRT(kSceneColor | kSceneDepth);
    const float level = g_spectrum->level();
    DrawState().texture(Texturing::Texture2D).apply();
    const float grey = 1.0f - 0.02f * level;
    glColor4f(grey, grey, grey, 1.0f);
    stmGetTexture("bg4.png")->bind();
    drawScreenQuad(false, false);
    DrawState().blend(Blend::Alpha).texture(Texturing::Texture2D).apply();
    stmGetTexture("vignet.jpg")->bind();
    glColor4f(0.0f, 0.0f, 0.0f, 0.5f - 0.14f * level);
    drawScreenQuad(false, false);

    drawWalkerTrails(true);
    g_renderTargets.endSceneMRT();

    const RenderTargets& rt = g_renderTargets;
    blurHalf(rt.texScreenColor, 2, 0.5f / rt.width, 0.5f / rt.height, false);
    applyDepthOfField(rt.texScreenColor, rt.texScreenDepth, rt.texHalfA, 0.09f, 0.13f, 0.4f);
}
