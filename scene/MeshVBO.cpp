// Expansion of COLLADA primitives into per-attribute vertex streams, their
// upload into ARB vertex buffers, and their draw.
#include "scene/MeshVBO.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <unordered_map>

#include "collada/ColladaDiagnostics.h"
#include "engine/stagemill.h"

using Collada::Mesh;
using ZEPHRAN_STAGEMILL::Map;

GLenum glArrayForSemantic(int attributeId) {
    if (attributeId == Collada::SEMANTIC_POSITION) return GL_VERTEX_ARRAY;
    if (attributeId == Collada::SEMANTIC_NORMAL) return GL_NORMAL_ARRAY;
    if (attributeId == Collada::SEMANTIC_COLOR) return GL_COLOR_ARRAY;
    if (attributeId >= Collada::SEMANTIC_TEXCOORD0 && attributeId <= Collada::SEMANTIC_TEXCOORD0 + 7)
        return GL_TEXTURE_COORD_ARRAY; // every set feeds the one client array
    return 0;
}

int componentCountForSemantic(int attributeId) {
    switch (glArrayForSemantic(attributeId)) {
    case GL_VERTEX_ARRAY:
    case GL_NORMAL_ARRAY: return 3;
    case GL_COLOR_ARRAY: return 4;
    case GL_TEXTURE_COORD_ARRAY: return 2;
    default: return 0;
    }
}

void setArrayPointer(GLenum glArray, int components) {
    switch (glArray) {
    case GL_VERTEX_ARRAY: glVertexPointer(components, GL_FLOAT, 0, nullptr); break;
    case GL_NORMAL_ARRAY: glNormalPointer(GL_FLOAT, 0, nullptr); break;
    case GL_COLOR_ARRAY: glColorPointer(components, GL_FLOAT, 0, nullptr); break;
    case GL_TEXTURE_COORD_ARRAY: glTexCoordPointer(components, GL_FLOAT, 0, nullptr); break;
    default: break;
    }
}

MeshVBO::MeshVBO(int vertexCount_) : vertexCount(vertexCount_) {}

MeshVBO::~MeshVBO() {
    for (unsigned i = 0; i < attributes.size(); ++i) delete attributes.get(i);
}

void MeshVBO::addAttribute(int attributeId) {
    MeshVBOAttribute* attribute = new MeshVBOAttribute();
    attribute->glArray = glArrayForSemantic(attributeId);
    attribute->components = componentCountForSemantic(attributeId);
    attribute->data.assign(static_cast<size_t>(attribute->components) * static_cast<size_t>(vertexCount), 0.0f);
    attributes.add(attribute);
    current = attribute;
}

void MeshVBO::push(float value) { current->data[current->written++] = value; }

std::vector<GLuint> shareVertices(const std::vector<const std::vector<float>*>& streams,
                                  const std::vector<int>& components, int vertexCount,
                                  std::vector<std::vector<float>>& shared) {
    shared.assign(streams.size(), std::vector<float>());
    std::vector<GLuint> indices(static_cast<size_t>(vertexCount));
    std::unordered_map<std::string, GLuint> first;
    std::string key;
    GLuint next = 0;
    for (int v = 0; v < vertexCount; ++v) {
        key.clear();
        for (size_t s = 0; s < streams.size(); ++s)
            key.append(reinterpret_cast<const char*>(streams[s]->data() + static_cast<size_t>(v) * components[s]),
                       sizeof(float) * static_cast<size_t>(components[s]));
        auto found = first.emplace(key, next);
        if (found.second) {
            for (size_t s = 0; s < streams.size(); ++s) {
                const float* values = streams[s]->data() + static_cast<size_t>(v) * components[s];
                shared[s].insert(shared[s].end(), values, values + components[s]);
            }
            ++next;
        }
        indices[static_cast<size_t>(v)] = found.first->second;
    }
    return indices;
}

void MeshVBO::upload() {
    std::vector<const std::vector<float>*> streams;
    std::vector<int> components;
    for (unsigned i = 0; i < attributes.size(); ++i) {
        streams.push_back(&attributes.get(i)->data);
        components.push_back(attributes.get(i)->components);
    }
    std::vector<std::vector<float>> shared;
    const std::vector<GLuint> indices = shareVertices(streams, components, vertexCount, shared);
    for (unsigned i = 0; i < attributes.size(); ++i) {
        MeshVBOAttribute* attribute = attributes.get(i);
        glGenBuffersARB(1, &attribute->bufferId);
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, attribute->bufferId);
        setArrayPointer(attribute->glArray, attribute->components);
        glBufferDataARB(GL_ARRAY_BUFFER_ARB, static_cast<GLsizeiptrARB>(shared[i].size() * sizeof(float)),
                        shared[i].data(), GL_STATIC_DRAW_ARB);
    }
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    glGenBuffersARB(1, &indexBufferId);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, indexBufferId);
    glBufferDataARB(GL_ELEMENT_ARRAY_BUFFER_ARB, static_cast<GLsizeiptrARB>(indices.size() * sizeof(GLuint)),
                    indices.data(), GL_STATIC_DRAW_ARB);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
}

void MeshVBO::draw(Map<Light*>& lights, bool skipMaterials) {
    for (unsigned i = 0; i < attributes.size(); ++i) {
        MeshVBOAttribute* attribute = attributes.get(i);
        glBindBufferARB(GL_ARRAY_BUFFER_ARB, attribute->bufferId);
        setArrayPointer(attribute->glArray, attribute->components);
        glEnableClientState(attribute->glArray);
    }
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, indexBufferId);
    glDrawElements(GL_TRIANGLES, vertexCount, GL_UNSIGNED_INT, nullptr);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    for (unsigned i = 0; i < attributes.size(); ++i) glDisableClientState(attributes.get(i)->glArray);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    for (unsigned i = 0; i < chained.size(); ++i) chained.get(i)->draw(lights, skipMaterials);
}

namespace {

// Fewest values per vertex a source of the semantic must give: its component
// count, except RGB colours (Blender, kwxport), which expand with alpha 1.
int leastValuesForSemantic(int attributeId) {
    if (glArrayForSemantic(attributeId) == GL_COLOR_ARRAY) return 3;
    return componentCountForSemantic(attributeId);
}

// A normal, colour or texture-coordinate input without values (its source
// is unknown or empty) is left out of the buffers; the primitive is still
// drawn without that array. Positions have no such fallback.
bool leftOut(const Mesh::MeshAttribute& input) {
    return glArrayForSemantic(input.semantic) != 0 && input.semantic != Collada::SEMANTIC_POSITION &&
           input.values.size() == 0;
}

// Why the primitive cannot be expanded into buffers of 3 x count vertices,
// or empty when every input fits: the group count must match, each drawn
// input must give at least leastValuesForSemantic values per vertex (the
// expansion takes the leading ones, so S T P texture coordinates give S T),
// and every index position and index must lie inside the index list and the
// input's values.
std::string misfit(const Mesh& mesh, const Mesh::SubMesh& subMesh) {
    using Collada::formatText;
    int64_t vertices = 3 * static_cast<int64_t>(subMesh.triangleCount);
    if (subMesh.triangleCount < 0 || vertices > INT32_MAX)
        return formatText("count %d is not a triangle count", subMesh.triangleCount);
    int64_t indexCount = subMesh.indices.size();
    int64_t stride = mesh.indexStride;
    if (stride <= 0) {
        if (indexCount == 0 && vertices == 0) return std::string();
        return "no input gives an index offset";
    }
    int64_t groups = (indexCount + stride - 1) / stride;
    if (groups != vertices)
        return formatText("%lld index groups for 3 x count = %lld corners", static_cast<long long>(groups),
                          static_cast<long long>(vertices));
    bool positions = false;
    for (unsigned i = 0; i < subMesh.inputs.size(); ++i)
        positions = positions || subMesh.inputs.get(i)->semantic == Collada::SEMANTIC_POSITION;
    if (!positions && vertices > 0) return "no input gives positions";
    for (unsigned i = 0; i < subMesh.inputs.size(); ++i) {
        const Mesh::MeshAttribute* input = subMesh.inputs.get(i);
        int least = leastValuesForSemantic(input->semantic);
        if (least == 0 || leftOut(*input)) continue;
        if (input->stride < least)
            return formatText("input %u has %d values per vertex, at least %d expected", i, input->stride, least);
        if (input->offset < 0) return formatText("input %u has offset %d", i, input->offset);
        int64_t valueCount = input->values.size();
        for (int64_t g = 0; g < indexCount; g += stride) {
            int64_t position = g + input->offset;
            if (position >= indexCount)
                return formatText("input %u reads index %lld of %lld", i, static_cast<long long>(position),
                                  static_cast<long long>(indexCount));
            int64_t n = subMesh.indices.get(static_cast<unsigned>(position));
            if (n < 0 || (n + 1) * input->stride > valueCount)
                return formatText("input %u index %lld is outside its %lld values", i, static_cast<long long>(n),
                                  static_cast<long long>(valueCount));
        }
    }
    return std::string();
}

} // namespace

MeshVBO* expandSubMesh(const std::string& geometryId, const Mesh& mesh, const Mesh::SubMesh& subMesh,
                       int subMeshIndex) {
    std::string why = misfit(mesh, subMesh);
    if (!why.empty()) {
        Collada::reportError(Collada::formatText("geometry '%.200s', primitive %d: %s; not drawn", geometryId.c_str(),
                                                 subMeshIndex, why.c_str()));
        return nullptr;
    }
    MeshVBO* vbo = new MeshVBO(3 * subMesh.triangleCount);
    vbo->materialName = subMesh.material;
    size_t indexCount = subMesh.indices.size();
    size_t nonFinite = 0;
    for (unsigned i = 0; i < subMesh.inputs.size(); ++i) {
        const Mesh::MeshAttribute* input = subMesh.inputs.get(i);
        if (!glArrayForSemantic(input->semantic)) continue;
        if (leftOut(*input)) {
            stmMsg(
                " Error: geometry '%.200s', primitive %d: input %u has no values (unknown or empty source); "
                "drawn without it\n",
                geometryId.c_str(), subMeshIndex, i);
            continue;
        }
        vbo->addAttribute(input->semantic);
        int components = vbo->current->components;
        // Only an RGB colour gives fewer values than components; the
        // missing alpha is opaque.
        int taken = input->stride < components ? input->stride : components;
        const float* values = input->values.data();
        const int* indices = subMesh.indices.data();
        const bool positions = input->semantic == Collada::SEMANTIC_POSITION;
        for (size_t g = 0; g < indexCount; g += static_cast<size_t>(mesh.indexStride)) {
            const float* vertex = values + static_cast<size_t>(input->stride) * indices[g + input->offset];
            for (int k = 0; k < taken; ++k) {
                nonFinite += std::isfinite(vertex[k]) ? 0 : 1;
                // Where a non-finite position lands is the driver's affair.
                if (positions && !std::isfinite(vertex[k])) vbo->bounds.unbounded = true;
                vbo->push(vertex[k]);
            }
            for (int k = taken; k < components; ++k) vbo->push(1.0f);
            if (positions) vbo->bounds.include(vertex[0], vertex[1], vertex[2]);
        }
    }
    // A NaN or infinite position makes its triangles vanish; say so, once.
    if (nonFinite > 0)
        stmMsg(
            " Error: geometry '%.200s', primitive %d: %zu vertex values are NaN or infinite; what uses "
            "them may not show\n",
            geometryId.c_str(), subMeshIndex, nonFinite);
    return vbo;
}

void buildMeshVBOs(Collada::Document* document, Map<MeshVBO*>& out) {
    for (unsigned m = 0; m < document->meshes.size(); ++m) {
        const Mesh* mesh = document->meshes.get(m);
        std::string geometryId = document->meshes.getKey(m);
        MeshVBO* first = nullptr;
        for (unsigned s = 0; s < mesh->subMeshes.size(); ++s) {
            MeshVBO* vbo = expandSubMesh(geometryId, *mesh, *mesh->subMeshes.get(s), static_cast<int>(s));
            if (!vbo) continue;
            vbo->upload();
            if (first) {
                first->chained.add(vbo);
                first->bounds.include(vbo->bounds);
            } else
                first = vbo;
        }
        out.add(geometryId, first);
    }
}
