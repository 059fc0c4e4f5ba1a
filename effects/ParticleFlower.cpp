// The ParticleFlower effect: flowers of spline tubes built at start-up, then
// per frame camera, background, ray strips, spheres, flowers, dust and the
// blur and depth-of-field passes.
#include "effects/ParticleFlower.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "effects/Dust.h"
#include "effects/EffectHelpers.h"
#include "effects/EffectShaders.h"
#include "effects/SharedResources.h"
#include "effects/Spline.h"
#include "effects/TubeMesh.h"
#include "render/Cubemap.h"
#include "render/DrawState.h"
#include "render/GLExtensions.h"
#include "render/PostProcess.h"
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"
#include "render/Space2D.h"
#include "scene/Scene.h"

using namespace ZEPHRAN_STAGEMILL;

Flower g_flowers[kFlowerCount];
TubeDrawMode g_tubeDrawMode = TubeDrawMode::Buffers;

// The camera position of the current frame; the dust is sorted by distance to it.
static Vector g_flowerEye;

Vector flowerOrigin(int flower) {
    switch (flower) {
    case 0: return Vector(1.0f, 2.0f, 7.0f);
    case 1: return Vector(1.9f, -2.0f, 12.0f);
    case 2: return Vector(2.9f, -2.0f, 18.0f);
    case 3: return Vector(-0.95f, 4.0f, 24.0f);
    default: return Vector();
    }
}

void buildFlower(Flower& out, int flower) {
    out.timeOffset = static_cast<float>(flower) * 0.148f;
    const Vector o = flowerOrigin(flower);
    out.origin = Vector3(o);
    for (int i = 0; i < kFlowerTubes; ++i) {
        // The path is needed only while its tube is built.
        Spline path;
        Vector d = randomVector();
        d.normalize();
        for (int j = 0; j < 20; ++j)
            path.addPoint(Vector3(o + d * static_cast<float>(j) * 2.5f + randomVector() * 1.0f));
        path.build();
        const Vector offset = o - Vector(path.evaluate(0.0f));
        TubeMesh* tube = new TubeMesh();
        tube->build(kFlowerTubeSegments, kFlowerTubeRings, 0.1f + 0.075f * static_cast<float>(i & 1), 0.1f, path,
                    offset);
        out.tubes[i] = tube;
    }
}

float flowerWilt(float position, int flower) {
    const float w = 0.2f * static_cast<float>(flower) + 0.35f;
    return 1.0f - linearStep(position, w, w + 0.35f);
}

TubeRange flowerTubeRange(float position, int flower, int tube, int rings) {
    const float sway = (0.8f * std::sin(3.1415925f * position) + 0.2f) * 0.3f *
                       std::sin(0.2f * static_cast<float>(tube) + 3.1f * position);
    const float grow = clampf(sway + position - g_flowers[flower].timeOffset, 0.0f, 1.0f);
    const float cut = easeInSine(position, 0.98f, 1.0f);
    const float span = static_cast<float>(rings - 1);
    return TubeRange{static_cast<int>(span * (cut * cut)),
                     static_cast<int>(span * grow * flowerWilt(position, flower))};
}

ParticleFlower::ParticleFlower() : Effect(FadeRules::particleFlower()) {}

bool ParticleFlower::init(unsigned long start_, unsigned long end_) {
    Base::init(start_, end_);
    const char* mode = std::getenv("ZEPHRAN_TUBES");
    if (mode && !std::strcmp(mode, "immediate")) g_tubeDrawMode = TubeDrawMode::Immediate;
    createSharedEffectResources();
    seedRandom(2323);
    for (int f = 0; f < kFlowerCount; ++f) {
        buildFlower(g_flowers[f], f);
        for (TubeMesh* tube : g_flowers[f].tubes) tube->upload();
    }
    return true;
}

// Forty faint strips fanning out from the screen centre, each a quad strip
// swinging with the position, in the picture's unit-height 2D space.
static void drawRayStrips(float position) {
    const float k = stmGetAspectRatio();
    const Space2D space(k, 1.0f);
    glColor4f(0.025f, 0.01f, 0.015f, 0.245f);
    const float swing = (5.0f * std::sin(5.4f * position) + 10.0f) * position;
    for (int s = 0; s < 40; ++s) {
        const float b = static_cast<float>(s) * 6.28f / 40.0f;
        glBegin(GL_QUAD_STRIP);
        for (float g = 0.0f; g < 1.2f * k; g += 0.05f) {
            const float a = 0.12f * std::sin(swing + 2.5f * g) + b;
            glVertex2f(std::sin(a) * g + k / 2.0f, std::cos(a) * g + 0.5f);
            glVertex2f(std::sin(a + 0.08f) * g + k / 2.0f, std::cos(a + 0.08f) * g + 0.5f);
        }
        glEnd();
    }
}

void drawFlowerBackground(float position, float fade, float level) {
    glColor3f(fade, fade, fade);
    DrawState().texture(Texturing::Texture2D).apply();
    stmGetTexture("bg5.png")->bind();
    drawScreenQuad(false, false);
    DrawState().blend(Blend::Alpha).texture(Texturing::Texture2D).apply();
    stmGetTexture("vignet2.jpg")->bind();
    glColor4f(0.005f, 0.005f, 0.005f, 0.595f - 0.005f * level);
    drawScreenQuad(false, false);
    DrawState().blend(Blend::Alpha).apply();
    drawRayStrips(position);
    DrawState().apply();
}

// The geosphere colours, as GrowingMotikka's shells.
static const GLubyte kSphereColours[3][4] = {{180, 5, 0, 0}, {160, 238, 5, 0}, {205, 30, 116, 0}};

// Five hundred small geospheres in a long slab behind and around the
// flowers, shrinking to nothing over the last 5 % of the span, drawn over
// the background without the depth test.
static void drawSpheres(float position) {
    glColor3f(1.0f, 1.0f, 1.0f);
    Shader* spheres = effectShader("growmotikka");
    DrawState().cull().texture(Texturing::CubeMap).use(spheres).apply();
    g_envCubemap->bind();
    if (spheres) {
        spheres->setUniform1i("cube", 0);
        spheres->setUniform1f("sync", 0.0f);
        // Left at zero rather than at whatever GrowingMotikka last set, so
        // a frame looks the same however it was reached.
        spheres->setUniform1f("analyzer", 0.0f);
        spheres->setUniform1f("syncDefault", 0.0f);
    }
    glPushMatrix();
    const float z = easeInSine(position, 0.95f, 1.0f);
    const float shrink = 1.0f - easeInBack(z * z, 0.0f, 1.0f);
    const Vector centre(0.5f);
    seedRandom(507);
    for (int i = 0; i < 500 && g_geosphereScene; ++i) {
        const Vector p = (centre + randomUnitVector() * 0.5f) * 20.0f +
                         Vector(-8.0f, -11.0f, static_cast<float>((50 * i) / 60) - 20.0f);
        glColor4ubv(kSphereColours[i % 3]);
        glPushMatrix();
        glTranslatef(p.x, p.y, p.z);
        const float ax = frandRange(360.0f);
        const float ay = frandRange(360.0f);
        const float az = frandRange(360.0f);
        glRotatef(ax, 1.0f, 0.0f, 0.0f);
        glRotatef(ay, 0.0f, 1.0f, 0.0f);
        glRotatef(az, 0.0f, 0.0f, 1.0f);
        const float scale = static_cast<float>(i & 3) * 0.001f + 0.01f * shrink;
        glScalef(scale, scale, scale);
        g_geosphereScene->drawNode(g_geosphereScene->getNode(static_cast<unsigned>(i % 2)), false);
        glPopMatrix();
    }
    glPopMatrix();
}

// The shared dust (seed 25): a long cloud along z that bursts outward,
// flattened in x and y, as the position advances; sprites swell with the
// music's level.
static void drawFlowerDust(float position, float level) {
    const Vector centre(0.5f);
    seedRandom(25);
    for (DustParticle& dust : g_dust) {
        Vector p = (centre + randomUnitVector() * 0.5f) * 20.0f;
        p.z += frand() * 350.0f * 0.55f - 60.0f;
        const float radius = frand() * 100.0f + 200.0f;
        Vector q = randomUnitVector() * radius;
        q.x *= 0.5f;
        q.y *= 0.5f;
        dust.position = p + q * position;
    }
    drawDust(g_flowerEye, level * 0.1f * 0.15f);
}

// Every tube of every flower, the latest flower first, as far as it has
// grown at this position.
static void drawFlowerTubes(float position) {
    const bool immediate = g_tubeDrawMode == TubeDrawMode::Immediate;
    if (immediate) glBegin(GL_TRIANGLES);
    for (int f = kFlowerCount - 1; f >= 0; --f) {
        for (int g = 0; g < kFlowerTubes; ++g) {
            const TubeMesh* tube = g_flowers[f].tubes[g];
            const int count = flowerTubeRange(position, f, g, tube->rings).triangles(tube->segments);
            if (count == 0) continue;
            if (immediate)
                tube->emitTriangles(count);
            else
                tube->drawTriangles(count);
        }
    }
    if (immediate) glEnd();
}

void ParticleFlower::render(float position, float fade) {
    timer->update();
    while (timer->hasStep()) timer->consumeStep();

    // The camera flies forward along z, drifting aside and up, its up vector
    // rolling over the span.
    const float e = easeInSine(position, 0.0f, 1.0f);
    const Vector eye(2.9f + e, 0.5f + 0.2f * e * e, 35.0f * position);
    const Vector up = sphericalToCartesian(1.0f, 2.5f * position, -1.2f * position);
    stmSetPerspective(80.0f, 0.1f, 200.0f);
    g_flowerEye = eye;
    glLoadIdentity();
    stmLookAt(eye.x, eye.y, eye.z, 0.0f, 0.0f, 0.0f, up.x, up.y, up.z);

    const float analyzer = g_spectrum->level();
    g_spectrum->sample(); // advances the analyser's history
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    // Nothing samples the normals: the blur and the depth of field read colour and depth.
    g_renderTargets.beginSceneMRT(kSceneColor | kSceneDepth);
    const float level = g_spectrum->level();

    drawFlowerBackground(position, fade, level);

    drawSpheres(position);

    // Flowers: "flower.jpg" veins on unit 0, the environment on unit 1.
    Shader* flower = effectShader("grow_flower");
    DrawState().depth(true, true).texture(Texturing::Texture2D, Texturing::CubeMap).use(flower).apply();
    if (flower) flower->setUniform1f("analyzer", analyzer);
    stmGetTexture("flower.jpg")->bind();
    if (flower) flower->setUniform1i("tex", 0);
    glActiveTextureARB(GL_TEXTURE1_ARB);
    g_envCubemap->bind();
    glActiveTextureARB(GL_TEXTURE0_ARB);
    if (flower) {
        flower->setUniform1i("cube", 1);
        flower->setUniform1f("pos", position);
    }
    const float shade = linearStep(position, 0.0f, 0.05f);
    glColor3f(0.365f * shade, 0.08f * shade, 0.305f * shade);
    drawFlowerTubes(position);

    drawFlowerDust(position, level);

    g_renderTargets.endSceneMRT();
    glColor3f(1.0f, 1.0f, 1.0f);
    const RenderTargets& rt = g_renderTargets;
    blurScreen(rt.texScreenColor, 3, 0.5f / rt.width, 0.5f / rt.height, false);
    applyDepthOfField(rt.texScreenColor, rt.texScreenDepth, rt.texScreenBlurA, 0.0495f, 0.028f, 0.0585f);
}
