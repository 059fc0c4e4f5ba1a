// Sprite quads and flare batches.
#include "effects/Flares.h"

#include "render/GLExtensions.h"

void drawSpriteQuad(float halfWidth, float halfHeight, float z) {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-halfWidth, -halfHeight, z);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(halfWidth, -halfHeight, z);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(halfWidth, halfHeight, z);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-halfWidth, halfHeight, z);
    glEnd();
}

void drawFlareQuads(const ZEPHRAN_STAGEMILL::Array<FlareQuad>& flares) {
    for (unsigned int i = 0; i < flares.size(); ++i) {
        const FlareQuad& f = flares.data()[i];
        glPushMatrix();
        glTranslatef(f.x, f.y, 0.0f);
        glRotatef(f.angle, 0.0f, 0.0f, 1.0f);
        drawSpriteQuad(f.halfSize, f.halfSize, f.z);
        glPopMatrix();
    }
}
