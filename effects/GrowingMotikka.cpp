// The GrowingMotikka effect: sky box and flares, the growing sphere shells,
// dust, the post chain and the fade.
#include "effects/GrowingMotikka.h"

#include <cmath>

#include "effects/Dust.h"
#include "effects/EffectHelpers.h"
#include "effects/EffectShaders.h"
#include "effects/PostChain.h"
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

int g_motikkaFirstBeat = 0;
Vector g_eyePosition;

namespace {

// Shell colours by i mod 3: ember, lime, magenta.
const GLubyte kShellColours[3][4] = {{180, 5, 0, 0}, {160, 238, 5, 0}, {205, 30, 116, 0}};

const PostChain kPostChain = {0.035f, 0.015f, 1.5f, 25.0f, 5, 1.5f, 3, 1.5f, 0.005f, 0.08f, 0.1518f};

// The camera of a position; sets g_eyePosition and the modelview.
void placeCamera(float position) {
    const float e = easeInSine(stmGetTime(), 136000.0f, 166000.0f);
    const float swing = std::sin(3.1415293f * e);
    const float r = 38.5f * position + 5.5f + 0.7f * 50.0f * swing * swing;
    const float s = (std::sin(3.14f * position) + 4.65f) * position;
    const Vector target = sphericalToCartesian(10.0f * position, s, 7.0f - s);
    const Vector eye = sphericalToCartesian(r, 3.0f * s, 9.0f * s + 10.0f);
    stmSetPerspective(75.0f - 30.0f * position, 0.1f, 200.0f);
    g_eyePosition = eye;
    glLoadIdentity();
    stmLookAt(eye.x, eye.y, eye.z, target.x, target.y, target.z, 0.0f, 1.0f, 0.0f);
}

// The shells, reflecting g_envCubemap with "growmotikka".
void drawShells(int count, float phase, float position, float analyzer) {
    glPushMatrix();
    glScalef(0.05f, 0.05f, 0.05f);
    Shader* spheres = effectShader("growmotikka");
    DrawState().depth(true, true).cull().texture(Texturing::CubeMap).use(spheres).apply();
    if (g_envCubemap) g_envCubemap->bind();
    const float level = g_spectrum->level();
    if (spheres) {
        spheres->setUniform1f("analyzer", analyzer);
        spheres->setUniform1f("sync", motikkaSync(position, level));
        spheres->setUniform1f("syncDefault", level);
    }
    for (int i = 5; i < count && g_geosphereScene; ++i) {
        seedRandom(7535 + 1507 * (i - 5));
        glColor4ubv(kShellColours[i % 3]);
        const float scale = motikkaShellScale(i, count, phase);
        for (int j = 0; j < motikkaShellSpheres(i); ++j) {
            const Vector centre = randomUnitVector() * (i * 0.14f * 50.0f);
            glPushMatrix();
            glTranslatef(centre.x, centre.y, centre.z);
            const float ax = frandRange(360.0f);
            const float ay = frandRange(360.0f);
            const float az = frandRange(360.0f);
            glScalef(scale, scale, scale);
            glRotatef(ax, 1.0f, 0.0f, 0.0f);
            glRotatef(ay, 0.0f, 1.0f, 0.0f);
            glRotatef(az, 0.0f, 0.0f, 1.0f);
            g_geosphereScene->drawNode(g_geosphereScene->getNode((i + j) % 2), false);
            glPopMatrix();
        }
    }
    glPopMatrix();
}

// Dust positions of a position (seed 232): a ball that swells with the
// position, each sprite pushed further out along its own direction.
void placeDust(float position) {
    seedRandom(232);
    for (int n = 0; n < kDustCount; ++n) {
        const float f = frand() * 10.0f + 1.5f;
        Vector p = randomUnitVector() * (f * (0.5f * position + 0.5f) * 0.74f * 10.0f);
        p += randomUnitVector() * ((4.0f + 0.2f * (n & 7)) * position);
        g_dust[n].position = p;
    }
}

} // namespace

GrowingMotikka::GrowingMotikka() : Effect(FadeRules::growingMotikka()) {}

bool GrowingMotikka::init(unsigned long start_, unsigned long end_) {
    Base::init(start_, end_);
    createSharedEffectResources();
    return true;
}

int motikkaShellCount(int beat, int firstBeat) { return beat - firstBeat + 5; }

int motikkaShellSpheres(int shell) { return (shell / 9) * 2 + 2; }

float motikkaShellScale(int shell, int count, float phase) {
    if (shell != count - 1) return 1.5f;
    const float k = 1.0f - phase;
    const float g = shell % 4 == 0 ? easeOutElastic(k, 0.0f, 1.0f, 8.0f, 2.0f)
                                   : bounceStep(k, 0.0f, 1.0f) * (1.0f / std::sin(1.9707962f));
    return 1.5f * g;
}

float motikkaSync(float position, float level) {
    if (position <= 0.9f) return 0.0f;
    const float q = linearStep(position, 0.93f, 0.96f) * level * 0.1f;
    return q * q;
}

void GrowingMotikka::render(float position, float fade) {
    const float phase = g_beatClock->beatPhase();
    const int beat = g_beatClock->updateBeatNumber();
    if (g_motikkaFirstBeat == 0) g_motikkaFirstBeat = beat;
    timer->update();
    while (timer->hasStep()) timer->consumeStep();

    placeCamera(position);
    g_spectrum->sample(); // unused: keeps the analyser's history moving

    g_renderTargets.beginSceneMRT();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const float analyzer = g_spectrum->level();

    // Sky box and flares, brighter on odd beats.
    const float flareLevel = g_spectrum->level();
    drawSkyBox(g_darkCubemap, g_eyePosition, 1.0f, 0.06f, 0.85f, 0.8f + flareLevel * 0.4f * (beat & 1) * 0.25f);

    drawShells(motikkaShellCount(beat, g_motikkaFirstBeat), phase, position, analyzer);

    placeDust(position);
    drawDust(g_eyePosition, analyzer * 0.1f * 0.12f);

    g_renderTargets.endSceneMRT();
    runPostChain(kPostChain);

    drawColorOverlay(0.0f, 0.0f, 0.0f, 1.0f - fade * fade);
}
