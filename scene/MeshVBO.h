// Drawable meshes: each COLLADA triangle primitive expanded into one flat
// stream per attribute and uploaded once into static ARB vertex buffers.
#pragma once

#include <string>
#include <vector>

#include "collada/ColladaDocument.h"
#include "render/GLExtensions.h"
#include "scene/Bounds.h"

class Light;

class MeshVBO {
public:
    // One vertex buffer: the CPU copy is kept after upload.
    struct MeshVBOAttribute {
        std::vector<float> data; // components x the mesh's vertexCount floats
        int written = 0;         // floats pushed so far
        GLenum glArray = 0;      // client array fed, 0 for none
        GLuint bufferId = 0;     // 0 until upload
        int components = 0;
    };

    explicit MeshVBO(int vertexCount);
    // Frees the attributes' CPU data (not the GL buffers, not chained meshes).
    ~MeshVBO();
    MeshVBO(const MeshVBO&) = delete;
    MeshVBO& operator=(const MeshVBO&) = delete;

    // Adds an attribute for `attributeId` (a geometry input semantic) sized
    // for vertexCount vertices and makes it the one push() appends to.
    void addAttribute(int attributeId);
    // Appends to the current attribute; the caller keeps within its size.
    void push(float value);
    // Generates, binds and fills one static buffer per attribute, setting its
    // array pointer on the way, and the index buffer: corners equal in every
    // attribute are stored once (shareVertices), so the driver shades each
    // once. Leaves the array and element buffers unbound.
    void upload();
    // Draws this mesh and its chained ones as indexed triangle lists from the
    // buffers, enabling each attribute's client array only for the draw.
    // Meshes carry no material, so skipMaterials changes nothing; the caller
    // sets colour, texture, shader and blending. Leaves the array and element
    // buffers unbound.
    void draw(ZEPHRAN_STAGEMILL::Map<Light*>& lights, bool skipMaterials);

    MeshVBOAttribute* current = nullptr;
    ZEPHRAN_STAGEMILL::Array<MeshVBOAttribute*> attributes;
    int vertexCount;          // corners drawn: 3 x the triangles
    GLuint indexBufferId = 0; // 0 until upload
    std::string materialName;
    ZEPHRAN_STAGEMILL::Array<MeshVBO*> chained; // the mesh's later sub-meshes, on its first MeshVBO
    Box bounds;                                 // positions of this mesh and its chained ones; empty when unknown
};

// The corners of `vertexCount` vertices held in `streams` (streams[s] has
// components[s] floats a vertex) with the vertices that are bit for bit
// equal in every stream stored once: `shared` gets the distinct vertices in
// order of first use, the result the index of each corner among them.
std::vector<GLuint> shareVertices(const std::vector<const std::vector<float>*>& streams,
                                  const std::vector<int>& components, int vertexCount,
                                  std::vector<std::vector<float>>& shared);

// Client array and values per vertex of a geometry input semantic; 0 and 0
// for the semantics that are not drawn.
GLenum glArrayForSemantic(int attributeId);
int componentCountForSemantic(int attributeId);
// Points `glArray` at offset 0 of the bound buffer (stride 0); no-op for 0.
void setArrayPointer(GLenum glArray, int components);

// Expands one primitive of the geometry `geometryId` into a MeshVBO (CPU
// data only, not uploaded). An input with more values per vertex than its
// buffer's components contributes the leading ones of each vertex; an RGB
// colour input fills the 4-component colour buffer with alpha 1. A normal,
// colour or texture-coordinate input without values (unknown or empty
// source) is left out, with a log line. A primitive whose positions cannot
// be read, whose index groups or indices do not fit its inputs, or with any
// other input giving fewer values per vertex than its components, is
// reported through reportError naming the geometry and gives null. The
// result's bounds hold its positions (unbounded when one is not finite).
MeshVBO* expandSubMesh(const std::string& geometryId, const Collada::Mesh& mesh, const Collada::Mesh::SubMesh& subMesh,
                       int subMeshIndex);

// Expands and uploads every mesh of the document; `out` receives, per
// geometry id, the mesh's first drawable MeshVBO with the others chained to
// it (null when none of its primitives is drawable), its bounds covering
// them all. Needs a current GL
// context with the buffer-object entry points loaded.
void buildMeshVBOs(Collada::Document* document, ZEPHRAN_STAGEMILL::Map<MeshVBO*>& out);
