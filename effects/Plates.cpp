// The Plates effect: section clock and cameras, the plates and the floor,
// the flying geospheres, the shared light and shadow pass, the occlusion and
// depth-of-field chain, the opening blinds and the section fades.
#include "effects/Plates.h"

#include <cmath>

#include "effects/Blinds.h"
#include "effects/EffectHelpers.h"
#include "effects/EffectShaders.h"
#include "effects/LightView.h"
#include "effects/PostChain.h"
#include "effects/SharedResources.h"
#include "effects/ShadowLookup.h"
#include "render/Cubemap.h"
#include "render/DrawState.h"
#include "render/GLExtensions.h"
#include "render/PostProcess.h"
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"
#include "scene/Scene.h"

using namespace ZEPHRAN_STAGEMILL;

float g_platesPhase = 0.0f;
int g_platesSection = 0;
int g_platesSectionBeat = 0;
int g_platesFirstSection = 0;

namespace {

const int kBeatsPerSection = 32;

// Fade of the current section by its phase: in over the first 6 %, out over
// the last 16 %.
float sectionFade(float phase) {
    float s = 1.0f;
    if (phase >= 0.0f && phase <= 0.06f) s = phase / 0.06f;
    if (phase >= 0.84f && phase <= 1.0f) s *= 1.0f - (phase - 0.84f) / 0.16f;
    return s;
}

// Direction of an angle about +y.
Vector direction(float angle) { return Vector(std::sin(angle), 0.0f, std::cos(angle)); }

} // namespace

Plates::Plates() : Effect(FadeRules::plates()) {}

int updatePlatesSection(BeatClock& clock, float songTimeMs, unsigned long effectEnd) {
    const int beat = clock.updateBeatNumber(songTimeMs);
    const int section = beat / kBeatsPerSection + 1;
    if (g_platesFirstSection == 0) g_platesFirstSection = section;
    g_platesSection = section - g_platesFirstSection;
    g_platesSectionBeat = (section - 1) * kBeatsPerSection;
    const int sectionStart = clock.beatTime(g_platesSectionBeat);
    long sectionEnd = clock.beatTime(g_platesSectionBeat + kBeatsPerSection);
    if (static_cast<long>(effectEnd) < sectionEnd) sectionEnd = static_cast<long>(effectEnd);
    const int now = static_cast<int>(songTimeMs);
    g_platesPhase =
        linearStep(static_cast<float>(now), static_cast<float>(sectionStart), static_cast<float>(sectionEnd));
    return section;
}

PlatesCamera seededSectionCamera(unsigned int seed, const SeededCameraShape& shape, float along) {
    seedRandom(seed);
    const float u1 = frand() * 6.28f;
    const float u2 = frand() * 6.28f;
    PlatesCamera camera;
    camera.eye = sphericalToCartesian(10.0f, shape.eyeTurn * u2, u1);
    const float u3 = frand() * 6.28f;
    const float u4 = frand() * 6.28f;
    camera.target = sphericalToCartesian(shape.targetRadius, u4, u3);
    if (camera.eye.y < shape.minHeight) camera.eye.y = frand() * shape.liftRange + shape.liftBase;
    Vector g = randomVectorScaled(2.0f, 0.4f, 2.0f);
    if (g.y < 0.0f) g.y = -g.y;
    g.normalize();
    camera.eye += g * along * shape.eyeDrift;
    Vector k = randomVectorScaled(2.0f, 0.4f, 2.0f);
    k.normalize();
    camera.target += k * along * shape.targetDrift;
    return camera;
}

PlatesCamera platesSectionCamera(int absoluteSection, int relativeSection, float phase, float position) {
    static const SeededCameraShape kShape = {1.0f, 3.0f, 4.0f, 10.0f, 4.0f, 7.5f, 5.0f};
    PlatesCamera camera = seededSectionCamera(static_cast<unsigned int>(absoluteSection), kShape, position);
    camera.target.y *= 0.15f;

    // Each of the first three sections moves its own way: the eye and target
    // components are scaled, some of them along the phase.
    const float p = phase;
    Vector eyeScale(1.0f, 1.0f, 1.0f), targetScale(1.0f, 1.0f, 1.0f);
    switch (relativeSection) {
    case 0:
        eyeScale = Vector(0.3f, 0.65f * p + 0.52f, 0.1f * p * p + 0.21f);
        targetScale = Vector(0.42f, 0.95f, 0.09f);
        break;
    case 1:
        eyeScale = Vector(0.85f - 0.15f * p, 0.99f, 0.34f - 0.15f * p * p);
        targetScale = Vector(0.85f, 0.0f, 0.52f);
        break;
    case 2:
        eyeScale = Vector(0.55f, 0.38f, 0.8f * p + 0.15f);
        targetScale = Vector(0.09f, 0.98f, 0.06f);
        break;
    default: break;
    }
    camera.eye *= eyeScale;
    camera.target *= targetScale;
    return camera;
}

void platesShapes(float position, float level, int relativeSection, float phase, PlateShape out[kPlateCount]) {
    seedRandom(231);
    for (int n = kPlateCount - 1; n >= 0; --n) {
        PlateShape& plate = out[kPlateCount - 1 - n];
        plate.inner = 0.75f * n + 2.5f;
        if ((n + 3) % 7 == 0) plate.inner *= 1.0f + 0.05f * level;
        plate.outer = plate.inner + 15.0f;
        plate.bottom = 0.3f * std::pow(static_cast<float>(n), 1.15f);
        if (relativeSection == 2) {
            const float t = linearStep(phase, 0.4f, 1.0f);
            plate.bottom *= 1.0f + 0.75f * t * t;
        }
        plate.start = frand() * 6.28f;
        plate.length = frand() * 3.8f + 2.2f;
        plate.start += position * (0.5f - frand()) * 10.0f;
        if (n == 0) plate.start += position * 2.0f;
        if (n & 1) {
            plate.colour[0] = 1.0f - 0.2f * frand();
            plate.colour[1] = 1.0f;
            plate.colour[2] = 1.0f;
        } else {
            plate.colour[0] = 0.9f - 0.2f * frand();
            plate.colour[1] = 0.07f;
            plate.colour[2] = 0.4f;
        }
    }
}

void buildPlate(const PlateShape& plate, StripMesh& mesh) {
    const float a = plate.inner, q = plate.outer;
    const float bottom = plate.bottom, top = plate.bottom + kPlateThickness;
    const Vector down(0.0f, -1.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    mesh.setColour(plate.colour[0], plate.colour[1], plate.colour[2]);

    // The three strips walk the same offsets; the last one used places the end cap.
    float lastOffset = 0.0f;
    mesh.begin(GL_QUAD_STRIP);
    for (float o = 0.0f; o < plate.length; o += kPlateAngleStep) {
        const Vector d = direction(plate.start + o);
        mesh.add(Vector(a * d.x, bottom, a * d.z), down);
        mesh.add(Vector(q * d.x, bottom, q * d.z), down);
        lastOffset = o;
    }
    mesh.begin(GL_QUAD_STRIP);
    for (float o = 0.0f; o < plate.length; o += kPlateAngleStep) {
        const Vector d = direction(plate.start + o);
        mesh.add(Vector(a * d.x, top, a * d.z), up);
        mesh.add(Vector(q * d.x, top, q * d.z), up);
    }
    mesh.begin(GL_QUAD_STRIP);
    for (float o = 0.0f; o < plate.length; o += kPlateAngleStep) {
        const Vector d = direction(plate.start + o);
        const Vector normal = d * a;
        mesh.add(Vector(a * d.x, bottom, a * d.z), normal);
        mesh.add(Vector(a * d.x, top, a * d.z), normal);
    }

    mesh.begin(GL_QUADS);
    for (float angle : {plate.start, plate.start + lastOffset}) {
        const Vector d = direction(angle);
        mesh.add(Vector(q * d.x, top, q * d.z), d);
        mesh.add(Vector(q * d.x, bottom, q * d.z), d);
        mesh.add(Vector(a * d.x, bottom, a * d.z), d * a);
        mesh.add(Vector(a * d.x, top, a * d.z), d * a);
    }
}

int flyingGeospheres(int relativeSection, float phase, float position, GeosphereFlight out[kMaxGeospheres]) {
    if (relativeSection == 0) return 0;
    seedRandom(relativeSection == 1 ? 119 : 78);
    const int count = relativeSection == 1 ? 2 : kMaxGeospheres;
    // 315 sin(3.14): the spheres of section 2 fly half a unit lower.
    const float sink = static_cast<float>(315.0 * std::sin(3.14));
    for (int i = 0; i < count; ++i) {
        const int j = i & 1;
        GeosphereFlight& flight = out[i];
        flight.at = lerpVector3(phase, Vector3(-5.0f, -5.0f, -5.0f), Vector3(0.0f, 0.0f, 0.0f));
        flight.at.y = (0.15f * j + 0.2f) * 15.0f;
        flight.at += Vector3(randomUnitVector() * 3.0f);
        if (relativeSection == 2) flight.at.y -= sink;
        flight.angleX = frandRange(360.0f) + position * 1200.0f;
        flight.angleY = frandRange(360.0f);
        flight.angleZ = frandRange(360.0f) + position * 600.0f;
        flight.node = j;
    }
    return count;
}

namespace {

// Reflective geospheres with the "growmotikka" shader over the environment
// cube map, culled, when shaded; otherwise in the caller's state.
void drawFlyingGeospheres(bool shaded, float position) {
    GeosphereFlight flights[kMaxGeospheres];
    const int count = flyingGeospheres(g_platesSection, g_platesPhase, position, flights);
    if (count == 0 || !g_geosphereScene) return;
    if (shaded) {
        Shader* spheres = effectShader("growmotikka");
        DrawState().depth(true, true).cull().texture(Texturing::CubeMap).use(spheres).apply();
        g_envCubemap->bind();
        if (spheres) {
            spheres->setUniform1i("cube", 0);
            spheres->setUniform1f("sync", 0.0f);
        }
    }
    static const GLubyte kColours[2][4] = {{180, 5, 0, 0}, {160, 238, 5, 0}};
    for (int i = 0; i < count; ++i) {
        const GeosphereFlight& flight = flights[i];
        glColor4ubv(kColours[flight.node]);
        glPushMatrix();
        glTranslatef(flight.at.x, flight.at.y, flight.at.z);
        glRotatef(flight.angleX, 1.0f, 0.0f, 0.0f);
        glRotatef(flight.angleY, 0.0f, 1.0f, 0.0f);
        glRotatef(flight.angleZ, 0.0f, 0.0f, 1.0f);
        glScalef(0.025f, 0.025f, 0.025f);
        g_geosphereScene->drawNode(g_geosphereScene->getNode(static_cast<unsigned>(flight.node)), false);
        glPopMatrix();
    }
}

StripMesh g_plateMesh;

} // namespace

void drawPlates(float position, bool shaded, float level) {
    const DrawState scene = DrawState().depth(true, true);
    if (shaded) {
        loadShadowLookup();
        Shader* floor = effectShader("plates_texture");
        scene.texture(Texturing::Texture2D, Texturing::Texture2D).use(floor).apply();
        bindShadowMap(floor, 0);
        glActiveTextureARB(GL_TEXTURE1_ARB);
        stmGetTexture("test_layer.jpg")->bind();
        glActiveTextureARB(GL_TEXTURE0_ARB);
        if (floor) floor->setUniform1i("tex", 1);
    }

    // The floor square breathes with the music and spins under the stack.
    const float h = g_spectrum->level() * 0.45f + 4.3f;
    glColor3f(0.96f, 0.12f, 0.27f);
    glPushMatrix();
    glRotatef(position * 900.0f, 0.0f, -1.0f, 0.0f);
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-h, -0.5f, -h);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(h, -0.5f, -h);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(h, -0.5f, h);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-h, -0.5f, h);
    glEnd();
    glPopMatrix();

    if (shaded) glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawFlyingGeospheres(shaded, position);

    if (shaded) {
        Shader* plates = effectShader("plates");
        scene.texture(Texturing::Texture2D).use(plates).apply();
        bindShadowMap(plates, 0);
    }
    PlateShape shapes[kPlateCount];
    platesShapes(position, level, g_platesSection, g_platesPhase, shapes);
    g_plateMesh.clear();
    for (const PlateShape& plate : shapes) buildPlate(plate, g_plateMesh);
    g_plateMesh.draw();

    if (shaded) {
        scene.apply();
        resetShadowLookup();
    }
}

float renderPlatesShadowMap(float position, float fovDegrees, float zNear, float zFar, Matrix4& projection,
                            Matrix4& modelview, void (*drawCasters)(float position, float sample)) {
    stmSetPerspective(fovDegrees, zNear, zFar);
    const float b = 3.1415925f * position;
    glLoadIdentity();
    stmLookAt(5.0f * std::cos(2.0f * b), 30.0f - 5.0f * position, 5.0f * std::sin(3.0f * b), 0.0f, 0.0f, 0.0f, 0.0f,
              1.0f, 0.0f);
    const float sample = g_spectrum->sample();
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    captureLightView(projection, modelview);

    g_renderTargets.bindTextureFBO2048(g_renderTargets.tex2048);
    DrawState().depth(true, true).use(effectShader("plates_depth")).apply();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawCasters(position, sample);
    DrawState().apply();
    g_renderTargets.unbind();
    glColor3f(1.0f, 1.0f, 1.0f);
    return sample;
}

static void drawPlateCasters(float position, float sample) { drawPlates(position, false, sample); }

void Plates::render(float position, float fade) {
    timer->update(static_cast<int>(time));
    while (timer->hasStep()) timer->consumeStep();

    const float sample =
        renderPlatesShadowMap(position, 90.0f, 15.0f, 50.0f, g_lightProjection, g_lightModelview, drawPlateCasters);

    stmSetPerspective(56.0f, 1.0f, 50.0f);
    const int section = updatePlatesSection(*g_beatClock, time, end);
    const PlatesCamera camera = platesSectionCamera(section, g_platesSection, g_platesPhase, position);
    glLoadIdentity();
    stmLookAt(camera.eye.x, camera.eye.y, camera.eye.z, camera.target.x, camera.target.y, camera.target.z, 0.0f, 1.0f,
              0.0f);

    g_renderTargets.beginSceneMRT();
    g_spectrum->level(); // unused: keeps the analyser's history and decay moving
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    drawPlates(position, true, sample);
    g_renderTargets.endSceneMRT();

    // Occlusion where the plates overlap, then depth of field.
    static const PostChain kChain = {0.00284f, 0.00017f, 12.0f, 15.0f, 6, 1.0f, 2, 0.5f, 0.049f, 0.197f, 0.35f};
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    runPostChain(kChain);

    const float k = 1.0f - fade;
    drawBlinds(position * 200.0f - 60.0f, 4, k, k * k * k);

    // The blinds cover the start; after it each section fades in and out.
    if (position > 0.05f) drawColorOverlay(0.0f, 0.0f, 0.0f, 1.0f - sectionFade(g_platesPhase));
}
