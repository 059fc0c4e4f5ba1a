// The Doors effect: DanceCube's picture as it is, then on revolving leaves.
#include "effects/Doors.h"

#include <cmath>

#include "effects/EffectHelpers.h"
#include "effects/EffectShaders.h"
#include "render/DrawState.h"
#include "render/GLExtensions.h"
#include "render/PostProcess.h"
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"

int g_doorsFirstSection = 0;

namespace {

// Turning of the whole door: none, fast one way, stepping 24 degrees a beat,
// slower the other way.
void turnDoor(int pattern, int beat, float position) {
    if (pattern == 1)
        glRotatef(1440.0f * position, 0.0f, 1.0f, 0.0f);
    else if (pattern == 2)
        glRotatef(static_cast<float>((beat + 1) * 360 / 15), 0.0f, 1.0f, 0.0f);
    else if (pattern != 0)
        glRotatef(-1080.0f * position, 0.0f, 1.0f, 0.0f);
}

// One leaf from the axis (x = 0) out to x = 1, showing the left half of the
// picture with s = 0 at its outer edge. A folding leaf shows a narrower strip
// whose outer part is stretched from one texture column.
void drawLeaf(bool folding, float position) {
    float outerS = 0.0f, middleS = 0.5f, middleX = 0.0f;
    if (folding) {
        const float cycle = 10.0f * position;
        const float o = absf(std::sin((cycle - std::floor(cycle)) * 3.1415925f)) * 0.5f;
        outerS = 0.5f - o;
        middleS = 0.5f - o;
        middleX = 2.0f * o;
    }
    glBegin(GL_QUADS);
    glTexCoord2f(outerS, 0.0f);
    glVertex3f(1.0f, -1.0f, 0.0f);
    glTexCoord2f(outerS, 1.0f);
    glVertex3f(1.0f, 1.0f, 0.0f);
    glTexCoord2f(middleS, 1.0f);
    glVertex3f(middleX, 1.0f, 0.0f);
    glTexCoord2f(middleS, 0.0f);
    glVertex3f(middleX, -1.0f, 0.0f);

    glTexCoord2f(middleS, 0.0f);
    glVertex3f(middleX, -1.0f, 0.0f);
    glTexCoord2f(middleS, 1.0f);
    glVertex3f(middleX, 1.0f, 0.0f);
    glTexCoord2f(0.5f, 1.0f);
    glVertex3f(0.0f, 1.0f, 0.0f);
    glTexCoord2f(0.5f, 0.0f);
    glVertex3f(0.0f, -1.0f, 0.0f);
    glEnd();
}

} // namespace

Doors::Doors() : Effect(FadeRules::logo()) {}

int doorsSectionOfBeat(int beat) { return (beat + 1) / 8; }

int doorsPattern(int section) { return section % 4; }

int doorLeafCount(int pattern) {
    const int leaves = pattern != 0 ? pattern + 3 : 2;
    return leaves <= 5 ? 5 : leaves;
}

void Doors::render(float position, float /*fade*/) {
    timer->update();
    while (timer->hasStep()) timer->consumeStep();

    g_spectrum->sample(); // keeps the analyser's history moving

    stmSetPerspective(60.0f, 0.001f, 10.0f);
    glLoadIdentity();
    stmLookAt(0.0f, 0.0f, -1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f);

    const DrawState leaves = DrawState().depth(true, true).texture(Texturing::Texture2D);
    leaves.apply();
    glBindTexture(GL_TEXTURE_2D, g_renderTargets.tex1024);
    glColor3f(1.0f, 1.0f, 1.0f);

    const int beat = g_beatClock->updateBeatNumber();
    const int section = doorsSectionOfBeat(beat);
    const int pattern = doorsPattern(section);
    turnDoor(pattern, beat, position);

    if (g_doorsFirstSection == 0) g_doorsFirstSection = section;
    if (section == g_doorsFirstSection) {
        drawScreenQuad(false, true); // the picture upright over the whole screen
        return;
    }

    Shader* doors = effectShader("doors");
    leaves.use(doors).apply();
    if (doors) {
        doors->setUniform1i("TColor", 0);
        doors->setUniform1f("position", position);
        doors->setUniform1i("beatCount", pattern);
    }
    const int count = doorLeafCount(pattern);
    for (int i = 0; i < count; ++i) {
        glRotatef(static_cast<float>(360 / count), 0.0f, 1.0f, 0.0f);
        glColor3f(1.0f, 1.0f, 1.0f);
        drawLeaf(i % 3 == 0, position);
    }
    leaves.apply();
}
