// Post-processing on a real (headless) driver: blur brightness and
// ping-pong targets, screen-quad orientation, and a test scene through the
// whole chain written to PNG (final picture and occlusion).
#include "tests/render/GLTestSupport.h"

#include <GL/glu.h>

#include <cstdlib>

#include "render/PostProcess.h"
#include "render/RenderTargets.h"
#include "render/ShaderManager.h"

namespace {

// Fills `texture` (window-sized) with one colour through the screen target.
void fillScreenTexture(GLuint texture, float r, float g, float b) {
    g_renderTargets.bindScreenFBOScreenNormal(texture);
    glClearColor(r, g, b, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    g_renderTargets.unbind();
}

TEST(PostProcess, PlainBlurPassBrightensFlatGreyByTwentyPercentEachWay) {
    RenderTargets& rt = g_renderTargets;
    fillScreenTexture(rt.texScreenColor, 0.5f, 0.5f, 0.5f);
    blurScreen(rt.texScreenColor, 1, 1.0f / rt.width, 1.0f / rt.height, true);
    int w = 0, h = 0;
    std::vector<uint8_t> out = rtest::readTexture(rt.texScreenBlurA, w, h);
    for (int y = 4; y < h - 4; y += 7)
        for (int x = 4; x < w - 4; x += 11) {
            rtest::Rgba p = rtest::pixelAt(out, w, x, y);
            ASSERT_NEAR(p.r, 0.72 * 255, 2.0) << x << "," << y;
            ASSERT_EQ(p.r, p.b);
        }
    GLint bound = -1;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &bound);
    EXPECT_EQ(bound, 0);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    EXPECT_TRUE(depthWrites);
}

TEST(PostProcess, QuarterBlurWithoutPassesIsADownsampleThroughTheHalfTarget) {
    RenderTargets& rt = g_renderTargets;
    rt.bindScreenFBOScreenNormal(rt.texScreenColor);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(rt.width / 2, 0, rt.width / 2, rt.height);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    rt.unbind();
    fillScreenTexture(rt.texScreenCombined, 0.0f, 1.0f, 0.0f);
    blurHalf(rt.texScreenCombined, 0, 0.0f, 0.0f, false); // texHalfA all green

    blurQuarter(rt.texScreenColor, 0, 1.0f, 1.0f, false);
    int w = 0, h = 0;
    std::vector<uint8_t> quarter = rtest::readTexture(rt.texQuarterA, w, h);
    ASSERT_EQ(w, rtest::kWidth / 4);
    ASSERT_EQ(h, rtest::kHeight / 4);
    EXPECT_EQ(rtest::pixelAt(quarter, w, 5, h / 2).r, 255);
    EXPECT_EQ(rtest::pixelAt(quarter, w, w - 5, h / 2).b, 255);
    std::vector<uint8_t> half = rtest::readTexture(rt.texHalfA, w, h);
    EXPECT_EQ(rtest::pixelAt(half, w, 5, h / 2).r, 255) << "texHalfA holds the half-size step";
    EXPECT_EQ(rtest::pixelAt(half, w, w - 5, h / 2).b, 255);
    EXPECT_EQ(rtest::pixelAt(half, w, w - 5, h / 2).g, 0);
}

// A 2x2 texture: bottom row (t = 0) red, green; top row (t = 1) blue, white.
GLuint cornerTexture() {
    static GLuint id = 0;
    if (!id) {
        const uint8_t texels[16] = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255};
        glGenTextures(1, &id);
        glBindTexture(GL_TEXTURE_2D, id);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    }
    return id;
}

// The window's bottom-left pixel after drawing the corner texture.
template <typename Draw>
rtest::Rgba bottomLeftAfter(Draw draw) {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, cornerTexture());
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    draw();
    std::vector<uint8_t> px = rtest::readFramebuffer(rtest::kWidth, rtest::kHeight);
    return rtest::pixelAt(px, rtest::kWidth, 2, 2);
}

bool is(const rtest::Rgba& p, int r, int g, int b) { return p.r == r && p.g == g && p.b == b; }

TEST(PostProcess, ScreenQuadAndCroppedQuadAreOppositeWaysUp) {
    EXPECT_TRUE(is(bottomLeftAfter([] { drawScreenQuad(false, false); }), 0, 0, 255));
    EXPECT_TRUE(is(bottomLeftAfter([] { drawScreenQuad(true, false); }), 255, 255, 255));
    EXPECT_TRUE(is(bottomLeftAfter([] { drawScreenQuad(false, true); }), 255, 0, 0));
    EXPECT_TRUE(is(bottomLeftAfter([] { drawScreenQuadCropped(false, false, 0.0f, 0.0f, 0.0f, 0.0f); }), 255, 0, 0));
    EXPECT_TRUE(is(bottomLeftAfter([] { drawScreenQuadCropped(true, false, 0.0f, 0.0f, 0.0f, 0.0f); }), 0, 255, 0));
    EXPECT_TRUE(is(bottomLeftAfter([] { drawScreenQuadCropped(false, true, 0.1f, 0.1f, 0.0f, 0.0f); }), 0, 0, 255));
    // Shifted by half the texture the window starts in the right column.
    EXPECT_TRUE(is(bottomLeftAfter([] { drawScreenQuadCropped(false, false, 0.0f, 0.0f, 0.5f, 0.0f); }), 0, 255, 0));
}

// --- The whole chain on a test scene ---------------------------------------

const char* const kSceneVertex =
    "varying vec3 normal;\nvarying vec3 eyePosition;\n"
    "void main(){vec4 eye=gl_ModelViewMatrix*gl_Vertex;eyePosition=eye.xyz;"
    "normal=gl_NormalMatrix*gl_Normal;gl_FrontColor=gl_Color;gl_Position=ftransform();}";
const char* const kSceneFragment =
    "uniform float farPlane;\nvarying vec3 normal;\nvarying vec3 eyePosition;\n"
    "void main(){vec3 n=normalize(normal);vec3 l=normalize(vec3(0.3,0.8,0.5));"
    "float d=max(dot(n,l),0.0);"
    "gl_FragData[0]=vec4(gl_Color.rgb*(0.35+0.65*d),1.0);"
    "gl_FragData[1]=vec4(n*0.5+0.5,1.0);"
    "vec3 z=fract(length(eyePosition)/farPlane*vec3(1.0,255.0,65025.0));"
    "gl_FragData[2]=vec4(z-z.yzz*vec3(1.0/255.0,1.0/255.0,0.0),1.0);}";

// An axis-aligned box centred at (x, y, z) with edge lengths sx, sy, sz.
void box(float x, float y, float z, float sx, float sy, float sz) {
    // Per face: the normal, then four corners as signs, wound outwards.
    static const float faces[6][5][3] = {
        {{1, 0, 0}, {1, -1, -1}, {1, 1, -1}, {1, 1, 1}, {1, -1, 1}},
        {{-1, 0, 0}, {-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}},
        {{0, 1, 0}, {-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}},
        {{0, -1, 0}, {-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}},
        {{0, 0, 1}, {-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}},
        {{0, 0, -1}, {-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}},
    };
    glBegin(GL_QUADS);
    for (const auto& f : faces) {
        glNormal3fv(f[0]);
        for (int c = 1; c < 5; ++c)
            glVertex3f(x + f[c][0] * sx * 0.5f, y + f[c][1] * sy * 0.5f, z + f[c][2] * sz * 0.5f);
    }
    glEnd();
}

void drawTestScene() {
    static Shader* scene = nullptr;
    static GLUquadric* quadric = nullptr;
    if (!scene) {
        scene = new Shader();
        scene->init("chain-test-scene", kSceneFragment, kSceneVertex);
        quadric = gluNewQuadric();
        gluQuadricNormals(quadric, GLU_SMOOTH);
    }
    stmSetPerspective(60.0f, 0.5f, 30.0f);
    glLoadIdentity();
    stmLookAt(0.0f, 3.2f, 7.0f, 0.0f, 0.7f, 0.0f, 0.0f, 1.0f, 0.0f);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    scene->bind();
    glColor3f(0.8f, 0.78f, 0.72f);
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 1.0f, 0.0f);
    glVertex3f(-8.0f, 0.0f, 4.0f);
    glVertex3f(8.0f, 0.0f, 4.0f);
    glVertex3f(8.0f, 0.0f, -12.0f);
    glVertex3f(-8.0f, 0.0f, -12.0f);
    glEnd();
    glColor3f(0.85f, 0.3f, 0.2f);
    box(-1.8f, 0.6f, 0.2f, 1.2f, 1.2f, 1.2f);
    glColor3f(0.25f, 0.5f, 0.85f);
    box(1.4f, 1.1f, -1.2f, 0.9f, 2.2f, 0.9f);
    glColor3f(0.9f, 0.85f, 0.3f);
    box(4.0f, 0.5f, -6.0f, 1.0f, 1.0f, 1.0f); // far away: blurred by the depth of field
    glColor3f(0.35f, 0.8f, 0.4f);
    glPushMatrix();
    glTranslatef(0.1f, 0.65f, 1.4f);
    gluSphere(quadric, 0.65, 40, 20);
    glPopMatrix();
    Shader::unbind();
}

// Replaces the whole level 0 of `texture` (w x h) with rows-bottom-first RGBA.
void uploadTexture(GLuint texture, int w, int h, const std::vector<uint8_t>& rgba) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
}

// A w x h picture whose column x has colour(x) and plain depth depth(x).
template <typename Colour>
std::vector<uint8_t> columns(int w, int h, Colour colour) {
    std::vector<uint8_t> out(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const rtest::Rgba c = colour(x);
            uint8_t* p = &out[(static_cast<size_t>(y) * w + x) * 4];
            p[0] = static_cast<uint8_t>(c.r), p[1] = static_cast<uint8_t>(c.g), p[2] = static_cast<uint8_t>(c.b);
            p[3] = static_cast<uint8_t>(c.a);
        }
    return out;
}

rtest::Rgba grey(int v) { return rtest::Rgba{v, v, v, 255}; }

TEST(PostProcess, DepthOfFieldKeepsTheFocusSharpBlursAwayFromItAndDrawsNoHalo) {
    RenderTargets& rt = g_renderTargets;
    const int w = rt.width, h = rt.height;
    // Four bands: one-pixel black and white stripes in focus (depth 0.2),
    // green sky (nothing drawn), two-pixel stripes far behind focus (0.99)
    // and close to the eye (0.02). The blurred copy is flat grey.
    auto band = [w](int x) { return x * 4 / w; };
    uploadTexture(rt.texScreenColor, w, h, columns(w, h, [&](int x) {
                      if (band(x) == 1) return rtest::Rgba{0, 255, 0, 255};
                      return grey((band(x) == 0 ? x : x / 2) % 2 ? 255 : 0);
                  }));
    const int depths[4] = {51, 0, 252, 5};
    uploadTexture(rt.texScreenDepth, w, h, columns(w, h, [&](int x) { return grey(depths[band(x)]); }));
    uploadTexture(rt.texHalfA, w / 2, h / 2, columns(w / 2, h / 2, [](int) { return grey(128); }));

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    applyDepthOfField(rt.texScreenColor, rt.texScreenDepth, rt.texHalfA, 0.05f, 0.2f, 0.2f);
    const std::vector<uint8_t> out = rtest::readFramebuffer(w, h);
    rtest::writePNG("dof-bands.png", out, w, h);
    const int y = h / 2;
    // Between neighbouring wide stripes.
    auto contrast = [&](int x) {
        x = x / 4 * 4;
        return std::abs(rtest::pixelAt(out, w, x, y).r - rtest::pixelAt(out, w, x + 2, y).r);
    };

    // In focus the stripes come through untouched, up to the sky's edge.
    for (int x = 4; x < w / 4; ++x) ASSERT_EQ(rtest::pixelAt(out, w, x, y).r, x % 2 ? 255 : 0) << x;
    // The sky right beside them stays green: the sharp stripes in front of
    // it neither bleed into it nor let the blurred copy's grey in.
    for (int x = w / 4; x < w / 4 + 3; ++x) {
        const rtest::Rgba p = rtest::pixelAt(out, w, x, y);
        EXPECT_GT(p.g, 200) << x;
        EXPECT_LT(p.r, 40) << x;
    }
    // Away from the edge the sky takes the full blur: the grey.
    EXPECT_NEAR(rtest::pixelAt(out, w, w * 3 / 8, y).r, 128, 3);
    // Behind focus the stripes soften but are not gone; close to the eye
    // they are blurred to the grey.
    EXPECT_LT(contrast(w * 5 / 8), 200);
    EXPECT_GT(contrast(w * 5 / 8), 40);
    EXPECT_LT(contrast(w * 7 / 8), 20);
}

TEST(PostProcess, CombineStretchesTheQuarterOcclusionAlongDepthEdges) {
    RenderTargets& rt = g_renderTargets;
    const int w = rt.width, h = rt.height;
    // A depth edge two pixels into quarter texel w / 8 (near on the left, far
    // on the right), with occlusion 0 on the quarter texels whose centres lie
    // on the near side and 1 on the others; the colour is white.
    const int edge = w / 2 + 2;
    uploadTexture(rt.texScreenColor, w, h, columns(w, h, [](int) { return grey(255); }));
    uploadTexture(rt.texScreenDepth, w, h, columns(w, h, [&](int x) { return grey(x < edge ? 51 : 153); }));
    uploadTexture(rt.texQuarterA, w / 4, h / 4,
                  columns(w / 4, h / 4, [&](int x) { return grey(4 * x + 2 < edge ? 0 : 255); }));
    rt.bindScreenFBOScreenNormal(rt.texScreenCombined);
    applyCombine(rt.texQuarterA);
    rt.unbind();
    int tw = 0, th = 0;
    const std::vector<uint8_t> out = rtest::readTexture(rt.texScreenCombined, tw, th);
    const int y = h / 2;
    // A plain bilinear stretch would give these pixels 0.375 and 0.875 of
    // the far side's openness, and the first far pixel 0.125 of the shade.
    EXPECT_LT(rtest::pixelAt(out, w, edge - 3, y).r, 20);
    EXPECT_LT(rtest::pixelAt(out, w, edge - 1, y).r, 20);
    EXPECT_GT(rtest::pixelAt(out, w, edge, y).r, 235);
    EXPECT_GT(rtest::pixelAt(out, w, edge + 2, y).r, 235);
}

double meanBrightness(const std::vector<uint8_t>& rgba) {
    double sum = 0.0;
    for (size_t i = 0; i < rgba.size(); i += 4) sum += rgba[i] + rgba[i + 1] + rgba[i + 2];
    return sum / (rgba.size() / 4 * 3);
}

TEST(PostProcess, TestSceneThroughTheWholeChain) {
    RenderTargets& rt = g_renderTargets;
    const int w = rt.width, h = rt.height;
    rt.beginSceneMRT();
    drawTestScene();
    rt.endSceneMRT();

    applySSAO(0.025f, 0.0004f, 3.0f, 18.0f);
    blurQuarter(rt.texHalfSSAO, 3, 1.5f / (w / 4), 1.5f / (h / 4), false);
    rt.bindScreenFBOScreenNormal(rt.texScreenCombined);
    applyCombine(rt.texQuarterA);
    rt.unbind();
    blurHalf(rt.texScreenCombined, 3, 1.5f / w, 1.5f / h, false);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    applyDepthOfField(rt.texScreenCombined, rt.texScreenDepth, rt.texHalfA, 0.1f, 0.25f, 0.12f);

    std::vector<uint8_t> picture = rtest::readFramebuffer(w, h);
    for (size_t i = 3; i < picture.size(); i += 4) picture[i] = 255; // as the window shows it
    int tw = 0, th = 0;
    std::vector<uint8_t> occlusion = rtest::readTexture(rt.texHalfSSAO, tw, th);
    std::vector<uint8_t> blurredOcclusion = rtest::readTexture(rt.texQuarterA, tw, th);
    std::vector<uint8_t> colour = rtest::readTexture(rt.texScreenColor, tw, th);
    std::vector<uint8_t> depth = rtest::readTexture(rt.texScreenDepth, tw, th);
    std::printf("wrote %s\n", rtest::writePNG("chain-final.png", picture, w, h).c_str());
    rtest::writePNG("chain-colour.png", colour, w, h);
    rtest::writePNG("chain-depth.png", depth, w, h);
    std::printf("wrote %s\n", rtest::writePNG("chain-occlusion.png", occlusion, w / 2, h / 2).c_str());
    rtest::writePNG("chain-occlusion-blurred.png", blurredOcclusion, w / 4, h / 4);

    // Open sky has no occlusion; somewhere (the contacts) is clearly shaded.
    int darkest = 255;
    for (size_t i = 0; i < occlusion.size(); i += 4) darkest = std::min<int>(darkest, occlusion[i]);
    EXPECT_EQ(rtest::pixelAt(occlusion, w / 2, w / 4, h / 2 - 2).r, 255) << "sky";
    EXPECT_LT(darkest, 170);
    // The combine darkened the picture, and the occlusion was not everywhere.
    EXPECT_LT(meanBrightness(picture), meanBrightness(colour));
    EXPECT_GT(meanBrightness(picture), 0.7 * meanBrightness(colour));
}

} // namespace
