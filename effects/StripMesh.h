// StripMesh: geometry an effect builds on the CPU each frame (quad strips
// and quad batches with normals, texture coordinates and a colour per batch)
// and then draws from client-side arrays in one go. Plates builds its plates
// into one, Plates2 its walker trails; both draw the same mesh in the shadow
// pass and the colour pass.
#pragma once

#include <vector>

#include "engine/stagemill.h"
#include "render/GLExtensions.h"

struct StripVertex {
    float position[3];
    float normal[3];
    float texCoord[2];
};

// A run of vertices drawn with one primitive mode in one colour.
struct StripBatch {
    GLenum mode;
    int first;
    int count;
    float colour[4];
};

class StripMesh {
public:
    void clear();
    // The colour of batches begun from now on.
    void setColour(float r, float g, float b, float a = 1.0f);
    // Starts a batch of `mode` (GL_QUAD_STRIP or GL_QUADS); the vertices added
    // until the next begin() belong to it.
    void begin(GLenum mode);
    void add(const stm::Vector& position, const stm::Vector& normal, float s = 0.0f, float t = 0.0f);

    // Every batch with glDrawArrays from client arrays (vertex, normal and
    // texture coordinate of the client-active unit), each in its colour.
    // Leaves the client arrays disabled and the colour of the last batch.
    void draw() const;

    std::vector<StripVertex> vertices;
    std::vector<StripBatch> batches;

private:
    float colour_[4] = {1.0f, 1.0f, 1.0f, 1.0f};
};
