// Shape builders for the scenes: rounded boxes, geodesic spheres, lathed
// solids (spheres, cylinders, cones, capsules, tori), chamfered letter strokes
// and sphere slices. All are closed, outward-wound and centred as stated.
#pragma once

#include "Mesh.h"

#include <vector>

namespace shapes {

using mesh::Mesh;
using mesh::Vec3;

struct P2 {
    float x, y;
};

// Box of half-sizes `half` centred on the origin, edges rounded with `radius`
// in `segments` steps; normals smooth across the rounding.
Mesh roundedBox(Vec3 half, float radius, int segments);

// Icosahedron subdivided `level` times onto a sphere of `radius` about the
// origin: faceted (one normal per triangle) or smooth.
Mesh geosphere(float radius, int level, bool faceted);

// A profile point of a lathe: radius from the y axis, height, and the normal
// in the (radius, height) plane. Two points in a row at the same place make a
// sharp crease.
struct ProfilePoint {
    float r, y, nr, ny;
};
// Revolves the profile (from top to bottom) about the y axis in `segments`.
Mesh lathe(const std::vector<ProfilePoint>& profile, int segments);

Mesh sphere(float radius, int rings, int segments);
Mesh capsule(float radius, float halfLength, int rings, int segments);
// Cylinder and cone along y with chamfered rims of size `chamfer`.
Mesh cylinder(float radius, float halfHeight, float chamfer, int segments);
Mesh cone(float radius, float bottom, float top, float chamfer, int segments);
Mesh torus(float major, float minor, int ringSegments, int tubeSegments);

// Every triangle gets its own vertices and face normal.
Mesh flatten(const Mesh& m);
// Turns positions and normals by `degrees` about the x, y or z axis (0, 1, 2).
void rotate(Mesh& m, int axis, float degrees);

// A letter stroke: the convex polygon (in the xy plane, either winding)
// extruded `depth` along z about z = 0, its edges chamfered by `chamfer`.
// `bevelled` (empty: all) tells per edge, edge i running from corner i to
// i + 1 in the order given, whether it is chamfered; an edge that is not gets
// one flat side of the full depth, so a neighbouring piece can sit flush
// against it with no groove between them.
Mesh chamferedPrism(const std::vector<P2>& polygon, float depth, float chamfer, const std::vector<bool>& bevelled = {});

// A curved stroke: a chamfered width x depth section swept along the path
// (xy plane, z = 0), shaded smooth along the path and flat across it, with
// flat end caps.
Mesh sweep(const std::vector<P2>& path, float width, float depth, float chamfer);

// The part of a solid sphere of `radius` between heights y0 < y1 and
// azimuths a0 < a1 (radians, measured from +x towards +z).
Mesh sphereSlice(float radius, float y0, float y1, float a0, float a1, int rows, int columns);

} // namespace shapes
