// CPU-built strip geometry and its client-array draw.
#include "effects/StripMesh.h"

void StripMesh::clear() {
    vertices.clear();
    batches.clear();
}

void StripMesh::setColour(float r, float g, float b, float a) {
    colour_[0] = r;
    colour_[1] = g;
    colour_[2] = b;
    colour_[3] = a;
}

void StripMesh::begin(GLenum mode) {
    StripBatch batch = {mode, static_cast<int>(vertices.size()), 0, {colour_[0], colour_[1], colour_[2], colour_[3]}};
    batches.push_back(batch);
}

void StripMesh::add(const stm::Vector& position, const stm::Vector& normal, float s, float t) {
    StripVertex v = {{position.x, position.y, position.z}, {normal.x, normal.y, normal.z}, {s, t}};
    vertices.push_back(v);
    batches.back().count += 1;
}

void StripMesh::draw() const {
    if (vertices.empty()) return;
    const GLsizei stride = sizeof(StripVertex);
    glVertexPointer(3, GL_FLOAT, stride, vertices[0].position);
    glNormalPointer(GL_FLOAT, stride, vertices[0].normal);
    glTexCoordPointer(2, GL_FLOAT, stride, vertices[0].texCoord);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    for (const StripBatch& batch : batches) {
        if (batch.count == 0) continue;
        glColor4fv(batch.colour);
        glDrawArrays(batch.mode, batch.first, batch.count);
    }
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
}
