// Dust sorting and drawing.
#include "effects/Dust.h"

#include <algorithm>

#include "effects/Easing.h"
#include "effects/EffectShaders.h"
#include "render/DrawState.h"
#include "render/GLExtensions.h"
#include "render/ShaderManager.h"

using ZEPHRAN_STAGEMILL::Vector;
using ZEPHRAN_STAGEMILL::Vector3;

int compareDust(const DustParticle& a, const DustParticle& b, const Vector& origin) {
    const float da = (a.position - origin).sqLength();
    const float db = (b.position - origin).sqLength();
    if (db < da) return -1;
    if (db > da) return 1;
    return 0;
}

void sortDust(DustParticle* dust, int count, const Vector& origin) {
    std::sort(dust, dust + count,
              [&origin](const DustParticle& a, const DustParticle& b) { return compareDust(a, b, origin) < 0; });
}

float dustHalfSize(int n, float sizeStep) { return ((n & 1) + 1) * sizeStep + 0.1f; }

void drawDust(const Vector& origin, float sizeStep) {
    Vector3 right, up, back;
    getViewAxes(right, up, back);
    Shader* flare = effectShader("background_flare");
    DrawState().blend(Blend::Alpha).depth(true, false).texture(Texturing::Texture2D).use(flare).apply();
    if (flare) flare->setUniform1i("texture", 0);
    glColor3f(1.0f, 1.0f, 1.0f);
    if (stm::Texture* circle = stmGetTexture("circle_alpha.png")) circle->bind();

    sortDust(g_dust, kDustCount, origin);
    glBegin(GL_QUADS);
    for (int n = 0; n < kDustCount; ++n) {
        const Vector3 c(g_dust[n].position);
        const float h = dustHalfSize(n, sizeStep);
        const Vector3 r = right * h;
        const Vector3 u = up * h;
        const Vector3 corners[4] = {c - r - u, c + r - u, c + r + u, c - r + u};
        const float coords[4][2] = {{0.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, 0.0f}, {0.0f, 0.0f}};
        for (int k = 0; k < 4; ++k) {
            glTexCoord2f(coords[k][0], coords[k][1]);
            glVertex3f(corners[k].x, corners[k].y, corners[k].z);
        }
    }
    glEnd();

    DrawState().depth(true, true).apply();
}
