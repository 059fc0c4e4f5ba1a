// The blinds overlay.
#include "effects/Blinds.h"

#include "engine/stagemill.h"
#include "render/DrawState.h"
#include "render/GLExtensions.h"
#include "render/Space2D.h"

void drawBlinds(float angleDegrees, int halfCount, float rightCover, float leftCover) {
    const Space2D space = Space2D::unit();
    glTranslatef(0.5f, 0.5f, 0.0f);
    glRotatef(angleDegrees, 0.0f, 0.0f, 1.0f);
    DrawState().depth(false, false).apply();
    glColor3f(0.0f, 0.0f, 0.0f);
    const float n = static_cast<float>(halfCount);
    glBegin(GL_QUADS);
    for (int i = -halfCount; i < halfCount; ++i) {
        glVertex2f(-1.0f, i / n);
        glVertex2f(1.0f, i / n);
        glVertex2f(1.0f, (i + rightCover) / n);
        glVertex2f(-1.0f, (i + leftCover) / n);
    }
    glEnd();
    glDepthMask(GL_TRUE);
}
