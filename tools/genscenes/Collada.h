// Writes COLLADA 1.4.1 documents: one geometry per mesh (positions, normals
// and texture coordinates sharing one index stream), a Phong material per
// colour, and one visual scene of nodes placed by translation. Optionally a
// camera and a directional light, each on its own node.
#pragma once

#include "Mesh.h"

#include <string>
#include <vector>

namespace collada {

struct Colour {
    float r, g, b;
};

struct Node {
    std::string id; // also the scene graph's key: choose for its sort order
    mesh::Vec3 translation;
    int geometry = -1; // index into Document::geometries, -1 for none
    enum Kind { Plain, Camera, Light } kind = Plain;
};

struct Geometry {
    std::string id;
    mesh::Mesh mesh;
    int material = 0; // index into Document::materials
};

struct Material {
    std::string id;
    Colour diffuse;
    float shininess = 40;
};

struct Document {
    std::string sceneName;
    std::vector<Material> materials;
    std::vector<Geometry> geometries;
    std::vector<Node> nodes;
    // Camera (perspective) and light (directional) for nodes of those kinds.
    float cameraFovX = 60, cameraAspect = 16.0f / 9.0f, cameraNear = 0.1f, cameraFar = 500;
    Colour lightColour{1, 1, 1};

    std::string write() const;
};

} // namespace collada
