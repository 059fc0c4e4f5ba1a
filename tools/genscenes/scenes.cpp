// The chamfered cube, the geospheres, the sliced sphere and the primitives.
// Node ids are chosen for the order the effects index nodes in (byte order
// of the ids, with the root under "root").
#include "Scenes.h"
#include "Shapes.h"

#include <cmath>
#include <cstdio>

namespace scenes {
namespace {

constexpr float kPi = 3.14159265f;

collada::Colour rgb(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f}; }

void addObject(collada::Document& doc, const std::string& id, mesh::Mesh m, int material, mesh::Vec3 at = {}) {
    doc.geometries.push_back({id + "-mesh", std::move(m), material});
    doc.nodes.push_back({id, at, static_cast<int>(doc.geometries.size() - 1)});
}

} // namespace

// One unit across, centred; rounded edges catch the light on the tiles.
collada::Document chamferCube() {
    collada::Document doc;
    doc.sceneName = "chamfercube";
    doc.materials.push_back({"tile", rgb(230, 230, 230), 50});
    addObject(doc, "chamfercube", shapes::roundedBox({0.5f, 0.5f, 0.5f}, 0.075f, 3), 0);
    return doc;
}

// Nodes 0 and 1: a faceted geosphere (glints like a mirror ball) and a smooth
// one, radius 20.
collada::Document geosphere() {
    collada::Document doc;
    doc.sceneName = "geosphere";
    doc.materials.push_back({"ember", rgb(180, 5, 0), 80});
    doc.materials.push_back({"lime", rgb(160, 238, 5), 80});
    addObject(doc, "geosphere_faceted", shapes::geosphere(20, 2, true), 0);
    addObject(doc, "geosphere_smooth", shapes::geosphere(20, 3, false), 1);
    return doc;
}

// A sphere of radius 10 cut into eight slabs, each slab into wedges (fewer
// near the poles). Every slice is a node at its centre, its geometry centred
// on it and shrunk slightly so cut faces show a gap. The four helper nodes
// (camera, light and their targets) sort before the slices and the root
// after them, so nodes 4 .. count-2 are exactly the slices.
collada::Document slicedSphere() {
    collada::Document doc;
    doc.sceneName = "sliced_sphere";
    doc.materials.push_back({"slice", rgb(242, 60, 141), 70});
    doc.nodes.push_back({"Camera", {0, 8, 36}, -1, collada::Node::Camera});
    doc.nodes.push_back({"CameraTarget", {0, 0, 0}, -1});
    doc.nodes.push_back({"Light", {0, 59, 19.5f}, -1, collada::Node::Light});
    doc.nodes.push_back({"LightTarget", {0, 0, 0}, -1});
    const float radius = 10;
    const int wedges[8] = {4, 8, 10, 12, 12, 10, 8, 4};
    for (int ring = 0; ring < 8; ++ring) {
        float y1 = radius - 2.5f * ring, y0 = y1 - 2.5f;
        for (int s = 0; s < wedges[ring]; ++s) {
            float a0 = 2 * kPi * s / wedges[ring], a1 = 2 * kPi * (s + 1) / wedges[ring];
            mesh::Mesh m = shapes::sphereSlice(radius, y0, y1, a0, a1, 5, 96 / wedges[ring]);
            mesh::Vec3 c = m.centroid();
            m.scaleAbout(c, 0.965f);
            m.translate(-c);
            char id[32];
            std::snprintf(id, sizeof id, "ring%d_seg%02d", ring, s);
            addObject(doc, id, std::move(m), 0, c);
        }
    }
    return doc;
}

// Small solids, all centred on the origin and turned along different axes,
// so that the root draws them as one star-like compound. About 20 units
// across, the size of the discs the effect scatters beside them.
collada::Document primitives() {
    collada::Document doc;
    doc.sceneName = "primitives";
    doc.materials.push_back({"ember", rgb(180, 5, 0), 60});
    doc.materials.push_back({"lime", rgb(160, 238, 5), 60});
    doc.materials.push_back({"magenta", rgb(205, 0, 116), 60});
    doc.materials.push_back({"orange", rgb(255, 116, 0), 60});

    addObject(doc, "box", shapes::roundedBox({6, 6, 6}, 1.2f, 3), 0);
    mesh::Mesh capsule = shapes::capsule(3.6f, 6, 12, 18);
    shapes::rotate(capsule, 0, 90);
    addObject(doc, "capsule", capsule, 1);
    addObject(doc, "cone", shapes::cone(6.5f, -8, 8, 0.5f, 32), 2);
    mesh::Mesh cylinder = shapes::cylinder(3.8f, 10, 0.5f, 28);
    shapes::rotate(cylinder, 2, 90);
    addObject(doc, "cylinder", cylinder, 3);
    addObject(doc, "gem", shapes::flatten(shapes::lathe({{0, 11, 0, 1}, {6.5f, 0, 1, 0}, {0, -11, 0, -1}}, 6)), 0);
    addObject(doc, "sphere", shapes::sphere(8, 14, 22), 2);
    mesh::Mesh torus = shapes::torus(7.5f, 2.4f, 28, 12);
    shapes::rotate(torus, 0, 90);
    addObject(doc, "torus", torus, 3);
    return doc;
}

} // namespace scenes
