// The loader-side records of one COLLADA document: sources, meshes, visual
// scenes with their nodes, cameras, lights and animation channels, exactly as
// the readers found them. Scene building (scene/) turns these into drawables.
//
// Ownership: the Document owns every record made while reading it (also the
// ones a later element with the same id replaced in a map, and nodes without
// id that only their parent lists); deleting the Document frees them all.
// The maps and arrays only point.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/Array.h"
#include "core/Map.h"

namespace Collada {

using ZEPHRAN_STAGEMILL::Array;
using ZEPHRAN_STAGEMILL::Map;

// Attribute ids of geometry inputs (semanticFromString).
enum {
    SEMANTIC_UNKNOWN = 0,
    SEMANTIC_POSITION = 1,
    SEMANTIC_NORMAL = 2,
    SEMANTIC_COLOR = 3,
    SEMANTIC_TEXCOORD0 = 4, // TEXCOORD1..7 are 5..11
    SEMANTIC_TEXTANGENT = 12,
    SEMANTIC_TEXBINORMAL = 13,
    SEMANTIC_NOT_SET = 14,
};

// One <source>: its arrays and the accessor's offset, stride and count.
struct Source {
    Array<float> floats;
    Array<int> ints;
    Array<std::string> names;
    Array<bool> bools; // never filled: a <bool_array> is refused
    int offset = 0;
    int stride = 1;
    int count = 0;
};

// One <geometry>'s <mesh>, with one sub-mesh per primitive element.
struct Mesh {
    struct MeshAttribute {
        int semantic = SEMANTIC_NOT_SET;
        int offset = 0;
        int stride = 0;      // stride of the source it refers to, 0 when none was found
        Array<float> values; // copy of that source's floats
    };
    struct SubMesh {
        int triangleCount = 0;
        Array<int> indices; // every <p> of the element, concatenated
        std::string material;
        Array<MeshAttribute*> inputs;
    };

    Array<SubMesh*> subMeshes;
    int vertexCount = 0; // positions: value count of the position source / its stride
    int indexStride = 0; // largest input offset + 1 over the whole mesh
};

// Transformation types, in the order of the Transformation::type field.
enum { TRANSFORM_MATRIX = 0, TRANSFORM_ROTATE = 1, TRANSFORM_SCALE = 2, TRANSFORM_TRANSLATE = 3 };

// One transformation element. A matrix is stored in OpenGL column order
// (transposed from the row-by-row text).
struct Transformation {
    int type = TRANSFORM_MATRIX;
    Array<float> values;
};

struct GeometryInstance {
    std::string url;            // geometry or controller id
    std::string materialTarget; // target of the last <instance_material>
};

struct ObjectNode {
    std::string id;
    std::string name;
    Array<ObjectNode*> children;
    Array<GeometryInstance*> geometryInstances;
    Array<Transformation*> transformations;
    Array<std::string> cameraUrls;
    Array<std::string> lightUrls;
};

struct Scene {
    std::string name;
    Array<ObjectNode*> nodes; // top-level nodes in document order
};

// A named list of numbers: a camera or light parameter.
struct Attribute {
    std::string name;
    Array<float> values;
};

struct Camera {
    std::string id;
    bool orthographic = false;
    Map<Attribute*> params; // keyed by tag name: "xfov", "yfov", "aspect_ratio", "znear", "zfar", ...
};

enum { LIGHT_AMBIENT = 0, LIGHT_DIRECTIONAL = 1, LIGHT_POINT = 2, LIGHT_SPOT = 3 };

struct Light {
    std::string id;
    int type = LIGHT_AMBIENT;
    Map<Attribute*> params; // keyed by tag name: "color", attenuation values, ...
};

// Kind of a sampler input (inputKindFromString).
enum AnimationAttribute {
    ANIM_INPUT = 0,
    ANIM_OUTPUT = 1,
    ANIM_IN_TANGENT = 2,
    ANIM_OUT_TANGENT = 3,
    ANIM_INTERPOLATION = 4,
    ANIM_OTHER = 5,
};

// Key under which animations without id are stored.
extern const char* const kNoIdentifierKey;

struct Animation {
    int keyCount = 0;               // number of values of the INPUT source
    std::string target;             // "<node id>/<attribute>"
    Map<AnimationAttribute> inputs; // source id -> kind
    Map<Animation*> children;
};

struct Document {
    std::string fileName;
    Map<Mesh*> meshes;
    Map<Source*> sources; // also holds an alias under each <vertices> id
    Map<ObjectNode*> nodes;
    Map<Scene*> scenes;
    Map<Camera*> cameras;
    Map<Light*> lights;
    Map<Animation*> animations;

    // Creates a record owned by this document.
    template <typename T>
    T* make() {
        T* record = new T();
        owned_.emplace_back(record); // shared_ptr<void> remembers T's deleter
        return record;
    }

private:
    std::vector<std::shared_ptr<void>> owned_;
};

} // namespace Collada
