// The DanceCube effect: trails, background, the six tiled cubes and the
// occlusion pass whose result Doors shows.
#include "effects/SceneLoading.h"
#include "effects/DanceCube.h"

#include <algorithm>
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

Trail* g_trails[kTrailCount] = {};
int g_trailStep = 0;
Collada::Document* g_danceDocument = nullptr;
Scene* g_danceScene = nullptr;
Cubemap* g_danceCubemap = nullptr;
int g_danceFirstSection = 0;
int g_danceSection = 0;

namespace {

const float kTrailTurn = 0.052333336f; // radians per step, about 3 degrees

// One of the four diagonal-ish starting directions, from crt::rand.
float randomTrailHeading() { return static_cast<float>((crt::rand() % 4) * 0.25 * 6.28 + 0.4); }

// The tiles of one side: a 4 x 4 checkerboard of pink and near-white copies
// of the model, each lifted off the side at the start and pulsing after.
// Draws two values from the shared generator per tile, colour first.
void drawDanceSide(int side, float position, float energy, float phase) {
    const float q = position - 0.0045f * (side & 3);
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            if ((row + column) & 1)
                glColor3f(1.0f - 0.2f * frand(), 1.0f, 1.0f);
            else
                glColor3f(0.9f - 0.2f * frand(), 0.07f, 0.4f);
            glPushMatrix();
            const float pulse =
                absf(std::sin(frandRange(6.28f) + 20.0f * position)) * 0.5f * clampf(energy, 0.0f, 1.0f) * phase;
            const TileTransform tile = danceTile(row, column, q, pulse);
            glTranslatef(tile.x, tile.y, tile.z);
            glScalef(0.475f, 0.475f, tile.depthScale);
            if (g_danceScene) g_danceScene->draw(true);
            glPopMatrix();
        }
    }
}

// The six cubes, each reseeded from its index and the beat so it keeps its
// place and turn through a section; the body, then its six tiled sides.
void drawDanceCubes(float position) {
    static const float kSideTurns[6][4] = {
        {-90.0f, 0.0f, 1.0f, 0.0f}, {90.0f, 0.0f, 1.0f, 0.0f},  {-90.0f, 1.0f, 0.0f, 0.0f},
        {90.0f, 1.0f, 0.0f, 0.0f},  {180.0f, 1.0f, 0.0f, 0.0f}, {180.0f, 0.0f, 0.0f, 1.0f},
    };
    for (int n = 0; n < 6; ++n) {
        const float s = g_spectrum->sample();
        const float energy = 0.3f * s * s;
        const float phase = g_beatClock->beatPhase();
        const int beat = g_beatClock->updateBeatNumber();
        const int k = (beat + 1) / 8;
        crt::srand(k + 234);
        seedRandom(n + 36 * k + 343);

        glPushMatrix();
        const Vector offset = randomVector() * 6.0f;
        glTranslatef(offset.x, offset.y, offset.z);
        const Vector axis = randomVector();
        glRotatef(position * (1600.0f * frand() + 1600.0f), axis.x, axis.y, axis.z);
        frand(); // drawn and unused: the tiles' colours follow this sequence

        glColor3f(0.9f, 0.9f, 0.9f);
        seedRandom(beat + 343);
        glPushMatrix();
        glScalef(2.2f, 2.2f, 2.2f);
        if (g_danceScene) g_danceScene->draw(false);
        glPopMatrix();

        for (int side = 0; side < 6; ++side) {
            glPushMatrix();
            glRotatef(kSideTurns[side][0], kSideTurns[side][1], kSideTurns[side][2], kSideTurns[side][3]);
            drawDanceSide(side, position, energy, phase);
            glPopMatrix();
        }
        glPopMatrix();
    }
}

// What drawDanceCubes leaves behind beyond its pixels: the analyser's and
// the beat clock's calls, cube by cube. The generators it draws from are
// reseeded before their next use (danceEye, the trail steps).
void advanceDanceCubes() {
    for (int n = 0; n < 6; ++n) {
        g_spectrum->sample();
        g_beatClock->beatPhase();
        g_beatClock->updateBeatNumber();
    }
}

// Background image, vignette darkening with the music, and the trails. Only
// the colour target takes them: the normal and depth targets keep their
// cleared zeros there, so the occlusion pass sees open background instead of
// reading colours as depths.
void drawDanceBackground(float level, float fade) {
    glDrawBuffer(GL_COLOR_ATTACHMENT0_EXT);
    DrawState().texture(Texturing::Texture2D).apply();
    glColor3f(1.0f, 1.0f, 1.0f);
    stmGetTexture("bg2.png")->bind();
    drawScreenQuad(false, false);
    DrawState().blend(Blend::Alpha).texture(Texturing::Texture2D).apply();
    stmGetTexture("vignet.jpg")->bind();
    glColor4f(0.0f, 0.0f, 0.0f, 0.42f - 0.17f * level);
    drawScreenQuad(false, false);
    drawTrails(fade);
    const GLenum sceneBuffers[3] = {GL_COLOR_ATTACHMENT0_EXT, GL_COLOR_ATTACHMENT1_EXT, GL_COLOR_ATTACHMENT2_EXT};
    glDrawBuffers(3, sceneBuffers);
}

} // namespace

DanceCube::DanceCube() : Effect(FadeRules::logo()) {}

bool DanceCube::init(unsigned long start_, unsigned long end_) {
    Base::init(start_, end_);
    g_danceScene = loadEffectScene("chamfercube.dae", g_danceDocument, "DanceCube: ", "the cubes are not drawn");
    // "dancecube" places the cubes and tiles with the matrices alone.
    if (g_danceScene) g_danceScene->cullOutsideView = true;
    initTrails();
    g_danceCubemap = new Cubemap();
    g_danceCubemap->setupStatic(stmGetTexture("px.png"), stmGetTexture("nx.png"), stmGetTexture("py.png"),
                                stmGetTexture("ny.png"), stmGetTexture("pz.png"), stmGetTexture("nz.png"));
    return true;
}

void initTrails() {
    for (int i = 0; i < kTrailCount; ++i) {
        delete g_trails[i];
        Trail* trail = new Trail();
        trail->heading = randomTrailHeading();
        trail->head = randomVector01();
        trail->count = 0;
        trail->history[0] = trail->head;
        trail->turnTimer = crt::rand() % 40 + 20;
        g_trails[i] = trail;
    }
}

void stepTrail(Trail& trail, int index, float speed) {
    const Vector velocity = Vector(std::sin(trail.heading), std::cos(trail.heading), 0.0f) * (0.0075f * speed);
    const Vector p = trail.head + velocity;
    trail.count += 1;
    trail.history[trail.count % Trail::kLength] = p;
    trail.head = p;

    trail.turnTimer -= 1;
    if (trail.turnTimer < 0) trail.heading += (index & 1) ? -kTrailTurn : kTrailTurn;
    if (trail.turnTimer < -30.0f - 90.0f * frand()) trail.turnTimer = crt::rand() % 100 + 10;

    if (absf(p.x) > 2.0f || absf(p.y) > 2.0f) {
        trail.head = randomVector01();
        trail.history[0] = trail.head;
        trail.heading = randomTrailHeading();
        trail.count = 0;
        trail.turnTimer = crt::rand() % 130 + 50;
    }
}

void stepTrails() {
    g_trailStep += 1;
    seedRandom(g_trailStep);
    crt::srand(g_trailStep);
    const float speed = g_spectrum->sample() * 0.2f + 1.0f;
    for (int i = 0; i < kTrailCount; ++i)
        if (g_trails[i]) stepTrail(*g_trails[i], i, speed);
}

unsigned char trailAlpha(int j, int n, float fade) {
    const float edge = 1.0f - std::sin(3.141592f * linearStep(static_cast<float>(j), 0.0f, static_cast<float>(n)));
    const float alpha = 255.0f * 0.1f * fade * (1.0f - edge * edge * edge * edge);
    return static_cast<unsigned char>(clampf(alpha, 0.0f, 255.0f));
}

int buildTrailRibs(const Trail& trail, int index, float fade, TrailRib* out) {
    // history[count - 69] is the oldest point still held: one point more
    // would wrap round to the head.
    const int n = std::min(trail.count, Trail::kLength - 1);
    if (n <= 1) return 0;
    const float w = 0.0075f * (index & 1) + 0.01f;
    int ribs = 0;
    for (int j = 1; j < n; ++j) {
        const Vector& p = trail.history[(trail.count - j) % Trail::kLength];
        const Vector& older = trail.history[(trail.count - j - 1) % Trail::kLength];
        Vector t = older - p;
        t.normalize();
        const Vector m(-t.y, t.x, 0.0f);
        out[ribs].left = p - m * w;
        out[ribs].right = p + m * w;
        out[ribs].alpha = trailAlpha(j, n, fade);
        ++ribs;
    }
    return ribs;
}

void drawTrails(float fade) {
    DrawState().blend(Blend::Alpha).apply();
    const Space2D space = Space2D::unit();
    TrailRib ribs[Trail::kLength];
    for (int i = 0; i < kTrailCount; ++i) {
        if (!g_trails[i]) continue;
        const int count = buildTrailRibs(*g_trails[i], i, fade, ribs);
        glBegin(GL_QUAD_STRIP);
        for (int r = 0; r < count; ++r) {
            if (i & 1)
                glColor4ub(242, 60, 141, ribs[r].alpha);
            else
                glColor4ub(230, 123, 7, ribs[r].alpha);
            glVertex3f(ribs[r].left.x, ribs[r].left.y, ribs[r].left.z);
            glVertex3f(ribs[r].right.x, ribs[r].right.y, ribs[r].right.z);
        }
        glEnd();
    }
}

int danceSectionOfBeat(int beat) { return static_cast<int>((beat + 5.36) * 0.125); }

void updateDanceSection(int section) {
    if (g_danceFirstSection == 0) g_danceFirstSection = section;
    g_danceSection = section - g_danceFirstSection;
}

Vector3 danceEye(int section, int relativeSection, float position) {
    seedRandom(section);
    const float distance = linearStep(position, 0.0f, 0.1f) + 6.0f - 1.5f * linearStep(position, 0.5f, 0.8f);
    const float r = frand();
    // Vector(s) fills x, y and z with s: the eye drifts along the diagonal.
    Vector3 eye = randomCircleVector() * distance + Vector(2.0f * r * position);
    if (relativeSection == 1) eye *= 0.76f;
    eye.y = eye.z;
    return eye;
}

TileTransform danceTile(int row, int column, float q, float pulse) {
    const float g = 1.0f - linearStep(q, 0.0f, 0.025f);
    TileTransform tile;
    tile.x = (1.5f - row) * 0.5f;
    tile.y = (1.5f - column) * 0.5f;
    tile.z = 0.6f * g + 1.0f - 0.125f + pulse;
    tile.depthScale = 6.0f * g + 0.475f + 0.3f * pulse;
    return tile;
}

void DanceCube::render(float position, float fade) {
    timer->update();
    while (timer->hasStep()) {
        stepTrails();
        timer->consumeStep();
    }

    const int section = danceSectionOfBeat(g_beatClock->updateBeatNumber());
    updateDanceSection(section);
    const Vector3 eye = danceEye(section, g_danceSection, position);

    g_spectrum->sample(); // keeps the analyser's history moving
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const float level = g_spectrum->level();

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    g_beatClock->beatPhase(); // keeps the beat state current

    glColor3f(1.0f, 1.0f, 1.0f);
    g_renderTargets.beginSceneMRT();
    drawDanceBackground(level, fade);

    Shader* shader = effectShader("dancecube");
    DrawState().depth(true, true).texture(Texturing::CubeMap).use(shader).apply();
    g_danceCubemap->bind();
    if (shader) shader->setUniform1i("cube", 0);
    // The light's direction is given in eye space, so it turns with the camera.
    glLoadIdentity();
    const GLfloat light[4] = {-15.0f, -15.0f, -15.0f, 0.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light);

    // The view widens on each beat.
    stmSetPerspective(60.0f - 5.0f * g_beatClock->beatPhase(), 0.1f, 200.0f);
    stmLookAt(eye.x, eye.y, eye.z, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f);
    if (g_replayingFrames)
        advanceDanceCubes(); // the 3 456 tile draws carry nothing into later frames
    else
        drawDanceCubes(position);

    DrawState().apply();
    g_renderTargets.endSceneMRT();

    RenderTargets& rt = g_renderTargets;
    applySSAO(0.03f, 0.00001f, 5.7f, 25.0f);
    blurQuarter(rt.texHalfSSAO, 4, 1.0f / (rt.width / 4), 1.0f / (rt.height / 4), false);
    // The combine's one quad gives every sample of a pixel the same value,
    // so drawn without multisampling it makes the same texture, unresolved.
    rt.bindTextureFBO1024(rt.tex1024, true);
    applyCombine(rt.texQuarterA);
    rt.unbind();
}
