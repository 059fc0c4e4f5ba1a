// Sky box and sky flares.
#include "effects/SkyBox.h"

#include "effects/EffectShaders.h"
#include "effects/Random.h"
#include "render/Cubemap.h"
#include "render/DrawState.h"
#include "render/GLExtensions.h"
#include "render/PostProcess.h"
#include "render/ShaderManager.h"

void drawSkyBox(Cubemap* sky, const stm::Vector& eye, float r, float g, float b, float flareBrightness) {
    Shader* background = effectShader("background");
    const DrawState backdrop = DrawState().depth(false, false).texture(Texturing::Texture2D).use(background);
    backdrop.apply();
    if (background) background->setUniform1i("texture", 0);
    glPushMatrix();
    glTranslatef(eye.x, eye.y, eye.z);
    glColor3f(r, g, b);
    if (sky) sky->renderCube(30.0f);

    backdrop.blend(Blend::Add).apply();
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_FALSE);
    seedRandom(344);
    if (stm::Texture* flare = stmGetTexture("flare_blur.jpg")) flare->bind();
    for (int i = 0; i < 7; ++i) {
        glColor3f(flareBrightness, flareBrightness, flareBrightness);
        drawBillboard(randomUnitVector() * 25.0f, static_cast<float>((i & 3) * 3 + 16));
    }
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPopMatrix();
    DrawState().apply();
}
