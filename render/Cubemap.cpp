// Environment cube maps: static setup from archive images, render-to-cube,
// and the sky box.
#include "render/Cubemap.h"
#include "render/TextureSetup.h"

#include <GL/glu.h>

#include <vector>

// Every cube map clamps to its edge texels: GL_CLAMP would blend the border
// colour into each face edge and draw dark seams between the faces.

namespace {

// The turn that points the camera at each face; sides 0 and 1 also get a
// half turn about z in setupRenderSide.
const Cubemap::Rotation kSideRotations[6] = {
    {-90.0f, 0.0f, 1.0f, 0.0f}, {90.0f, 0.0f, 1.0f, 0.0f},  {-90.0f, 1.0f, 0.0f, 0.0f},
    {90.0f, 1.0f, 0.0f, 0.0f},  {180.0f, 1.0f, 0.0f, 0.0f}, {180.0f, 0.0f, 0.0f, 1.0f},
};

// Sky-box faces in drawing order: face texture, normal, and four corners as
// signs of (x, y, z) with their texture coordinates.
struct SkyFace {
    int texture;
    float normal[3];
    float corners[4][5]; // sx, sy, sz, s, t
};

const SkyFace kSkyFaces[6] = {
    {2, {0, -1, 0}, {{-1, -1, -1, 0, 0}, {1, -1, -1, 1, 0}, {1, -1, 1, 1, 1}, {-1, -1, 1, 0, 1}}},
    {3, {0, 1, 0}, {{-1, 1, -1, 0, 0}, {1, 1, -1, 1, 0}, {1, 1, 1, 1, 1}, {-1, 1, 1, 0, 1}}},
    {4, {0, 0, -1}, {{-1, -1, 1, 0, 0}, {1, -1, 1, 1, 0}, {1, 1, 1, 1, 1}, {-1, 1, 1, 0, 1}}},
    {5, {0, 0, 1}, {{-1, -1, -1, 1, 0}, {1, -1, -1, 0, 0}, {1, 1, -1, 0, 1}, {-1, 1, -1, 1, 1}}},
    {1, {-1, 0, 0}, {{-1, -1, -1, 0, 0}, {-1, -1, 1, 1, 0}, {-1, 1, 1, 1, 1}, {-1, 1, -1, 0, 1}}},
    {0, {1, 0, 0}, {{1, -1, -1, 1, 0}, {1, -1, 1, 0, 0}, {1, 1, 1, 0, 1}, {1, 1, -1, 1, 1}}},
};

GLenum faceTarget(int face) { return GL_TEXTURE_CUBE_MAP_POSITIVE_X + face; }

// The image of one face, or null (logged) when it is not a size x size
// RGBA image, so a wrong archive image gives a black face instead of a read
// past its pixels.
const unsigned char* faceImage(stm::Texture* t, int face, int size) {
    if (!t || !t->getImgData() || t->getWidth() != size || t->getHeight() != size) {
        stmMsg("Cubemap::setupStatic(): face %d needs a %dx%d image, got %dx%d%s\n", face, size, size,
               t ? t->getWidth() : 0, t ? t->getHeight() : 0, t && !t->getImgData() ? " without pixels" : "");
        return nullptr;
    }
    return t->getImgData();
}

// The static cube maps and the engine textures their faces came from, so a
// face image edited while the programme plays can rebuild its cube.
struct StaticCube {
    GLuint id;
    stm::Texture* faces[6];
};
std::vector<StaticCube> g_staticCubes;

void uploadFaces(stm::Texture* const faces[6], int size) {
    for (int i = 0; i < 6; ++i)
        glTexImage2D(faceTarget(i), 0, 3, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, faceImage(faces[i], i, size));
}

} // namespace

int rebuildStaticCubemaps(const stm::Texture* face, std::string& problem) {
    problem.clear();
    int rebuilt = 0;
    for (const StaticCube& cube : g_staticCubes) {
        bool uses = false;
        for (stm::Texture* f : cube.faces) uses = uses || f == face;
        if (!uses) continue;
        const int size = cube.faces[0] ? cube.faces[0]->getWidth() : 0;
        bool fits = size > 0;
        for (stm::Texture* f : cube.faces)
            fits = fits && f && f->getImgData() && f->getWidth() == size && f->getHeight() == size;
        if (!fits) {
            problem = "the cube map's six faces must be square images of one size; the cube map stays as it was";
            continue;
        }
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_CUBE_MAP, &bound);
        glBindTexture(GL_TEXTURE_CUBE_MAP, cube.id);
        uploadFaces(cube.faces, size);
        glBindTexture(GL_TEXTURE_CUBE_MAP, static_cast<GLuint>(bound));
        ++rebuilt;
    }
    return rebuilt;
}

void forgetStaticCubemaps() { g_staticCubes.clear(); }

Cubemap::Cubemap() : dynamic(false), keepFaceTextures(false), size(0), id(0), sideRotations(), faceTextures() {}

void Cubemap::setupStatic(stm::Texture* t0, stm::Texture* t1, stm::Texture* t2, stm::Texture* t3, stm::Texture* t4,
                          stm::Texture* t5) {
    stm::Texture* faces[6] = {t0, t1, t2, t3, t4, t5};
    keepFaceTextures = false;
    size = t0 ? t0->getWidth() : 0;
    glEnable(GL_TEXTURE_CUBE_MAP);
    createClampedTexture(GL_TEXTURE_CUBE_MAP, id, GL_LINEAR);
    uploadFaces(faces, size);
    glDisable(GL_TEXTURE_CUBE_MAP);
    for (int i = 0; i < 6; ++i) faceTextures[i] = faces[i] ? faces[i]->getID() : 0;
    g_staticCubes.push_back({id, {t0, t1, t2, t3, t4, t5}});
}

void Cubemap::setupStatic(stm::Texture* t) { setupStatic(t, t, t, t, t, t); }

// The empty cube both dynamic forms render into. Leaves it enabled and bound.
static void createDynamicCube(Cubemap& cube, int size) {
    cube.dynamic = true;
    cube.size = size;
    glEnable(GL_TEXTURE_CUBE_MAP);
    createClampedTexture(GL_TEXTURE_CUBE_MAP, cube.id, GL_LINEAR);
    const std::vector<unsigned char> zeros(static_cast<size_t>(size) * size * 4, 0);
    for (int i = 0; i < 6; ++i)
        glTexImage2D(faceTarget(i), 0, 3, size, size, 0, GL_RGBA, GL_UNSIGNED_BYTE, zeros.data());
    for (int i = 0; i < 6; ++i) cube.sideRotations[i] = kSideRotations[i];
}

void Cubemap::setupDynamic(int size_) {
    keepFaceTextures = false;
    createDynamicCube(*this, size_);
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP);
    glTexGeni(GL_R, GL_TEXTURE_GEN_MODE, GL_REFLECTION_MAP);
}

void Cubemap::setupDynamic(int size_, std::string name) {
    keepFaceTextures = true;
    static const char* const kSuffixes[6] = {"00", "01", "02", "03", "04", "05"};
    for (int i = 0; i < 6; ++i) {
        faceNames[i] = name + kSuffixes[i];
        stmAddRenderToTexture(size_, size_, faceNames[i].c_str());
        faceTextures[i] = stmGetTexture(faceNames[i].c_str())->getID();
    }
    createDynamicCube(*this, size_);
}

void Cubemap::bind() { glBindTexture(GL_TEXTURE_CUBE_MAP, id); }

void Cubemap::startRendering() {
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glViewport(0, 0, size, size);
    glLoadIdentity();
    gluPerspective(90.0, 1.0, 1.0, 5000.0);
    glMatrixMode(GL_MODELVIEW);
    bind();
}

void Cubemap::setupRenderSide(int side) {
    if (side < 0 || side > 5) return;
    glClear(GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    const Rotation& r = sideRotations[side];
    glRotatef(r.angle, r.x, r.y, r.z);
    if (side < 2) glRotatef(180.0f, 0.0f, 0.0f, 1.0f);
}

void Cubemap::finishRenderSide(int side) {
    if (side < 0 || side > 5) return;
    bind();
    glCopyTexSubImage2D(faceTarget(side), 0, 0, 0, 0, 0, size, size);
    if (keepFaceTextures) {
        glBindTexture(GL_TEXTURE_2D, faceTextures[side]);
        glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 0, 0, size, size, 0);
    }
}

void Cubemap::endRendering() {
    stmResetViewport();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
}

void Cubemap::renderCube(float s) {
    glPushMatrix();
    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);
    glEnable(GL_TEXTURE_2D);
    for (const SkyFace& f : kSkyFaces) {
        glBindTexture(GL_TEXTURE_2D, faceTextures[f.texture]);
        glBegin(GL_QUADS);
        glNormal3fv(f.normal);
        for (const auto& c : f.corners) {
            glTexCoord2f(c[3], c[4]);
            glVertex3f(c[0] * s, c[1] * s, c[2] * s);
        }
        glEnd();
    }
    glPopMatrix();
}
