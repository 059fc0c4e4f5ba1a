// Scoped 2-D drawing spaces.
#include "render/Space2D.h"

#include "engine/stagemill.h"

#include <GL/gl.h>

Space2D::Space2D(float width, float height) {
    save();
    stmPerspective2D(width, height);
    glLoadIdentity();
}

Space2D::Space2D(float width, float height, TopDown) {
    save();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, width, height, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

Space2D Space2D::pixels() {
    return Space2D(static_cast<float>(stmGetWindowWidth()), static_cast<float>(stmGetWindowHeight()));
}

Space2D Space2D::topDown(float width, float height) { return Space2D(width, height, TopDown{}); }

void Space2D::save() {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
}

Space2D::~Space2D() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}
