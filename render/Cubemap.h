// Environment cube maps: filled from one or six square archive images, or
// rendered from one point six times (once per face) into the cube and
// optionally into six engine render textures; drawn as a sky box.
//
// A Cubemap is copyable and copies name the same GL textures; nothing
// deletes them. Face order is OpenGL's: +X, -X, +Y, -Y, +Z, -Z.
#pragma once

#include <string>

#include "engine/stagemill.h"
#include "render/GLExtensions.h"

// Uploads again, from their face textures' current pixels, the static cube
// maps that have `face` among their faces (a face image edited while the
// programme plays); returns how many. A cube whose faces are no longer
// square images of one size keeps its old faces and `problem` says so.
int rebuildStaticCubemaps(const ZEPHRAN_STAGEMILL::Texture* face, std::string& problem);
// Forgets the static cube maps noted so far: called at shutdown, before the
// engine frees the face textures, so a later start never rebuilds from them.
void forgetStaticCubemaps();

class Cubemap {
public:
    Cubemap();

    // Six faces; the face size is t0's width, every image must be square and
    // of that size. Leaves the cube map bound, GL_TEXTURE_CUBE_MAP disabled.
    void setupStatic(ZEPHRAN_STAGEMILL::Texture* t0, ZEPHRAN_STAGEMILL::Texture* t1, ZEPHRAN_STAGEMILL::Texture* t2,
                     ZEPHRAN_STAGEMILL::Texture* t3, ZEPHRAN_STAGEMILL::Texture* t4, ZEPHRAN_STAGEMILL::Texture* t5);
    // One image on all six faces.
    void setupStatic(ZEPHRAN_STAGEMILL::Texture* t);
    // An empty cube to render into, with reflection-map texture-coordinate
    // generation selected for S, T and R (enabling it is the caller's).
    // Leaves GL_TEXTURE_CUBE_MAP enabled and the cube bound.
    void setupDynamic(int size);
    // As above without coordinate generation, and each rendered face is also
    // kept in the engine render texture name + "00" .. "05".
    void setupDynamic(int size, std::string name);

    void bind();
    GLuint getID() const { return id; }

    // Render-to-cube sequence: startRendering(); for side 0..5
    // { setupRenderSide(side); draw; finishRenderSide(side); } endRendering().
    // Faces are copied from the lower-left size x size pixels of the bound
    // framebuffer. Only for dynamic cube maps.
    void startRendering();
    void setupRenderSide(int side);
    void finishRenderSide(int side);
    void endRendering();

    // Sky box of half-size s with the face textures. Leaves GL_TEXTURE_2D
    // enabled and the last face texture bound.
    void renderCube(float s);

    struct Rotation {
        float angle, x, y, z;
    };

    bool dynamic;
    bool keepFaceTextures;
    int size;
    GLuint id;
    Rotation sideRotations[6];
    GLuint faceTextures[6];
    std::string faceNames[6];
};
