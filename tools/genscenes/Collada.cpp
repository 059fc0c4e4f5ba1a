// COLLADA text output. Numbers are printed with a fixed format so the same
// meshes always give the same bytes.
#include "Collada.h"

#include <cmath>
#include <cstdio>
#include <sstream>

namespace collada {
namespace {

std::string num(float v) {
    if (std::fabs(v) < 5e-7f) v = 0;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

void floatArray(std::ostringstream& o, const std::string& id, const std::vector<float>& values, int stride,
                const char* params) {
    o << "        <source id=\"" << id << "\">\n"
      << "          <float_array id=\"" << id << "-array\" count=\"" << values.size() << "\">";
    for (size_t i = 0; i < values.size(); ++i) o << (i ? (i % stride ? " " : "\n") : "") << num(values[i]);
    o << "</float_array>\n"
      << "          <technique_common>\n"
      << "            <accessor source=\"#" << id << "-array\" count=\"" << values.size() / stride << "\" stride=\""
      << stride << "\">\n";
    for (const char* p = params; *p; ++p) o << "              <param name=\"" << *p << "\" type=\"float\"/>\n";
    o << "            </accessor>\n"
      << "          </technique_common>\n"
      << "        </source>\n";
}

} // namespace

std::string Document::write() const {
    std::ostringstream o;
    o << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
      << "<COLLADA xmlns=\"http://www.collada.org/2005/11/COLLADASchema\" version=\"1.4.1\">\n"
      << "  <asset>\n"
      << "    <contributor>\n"
      << "      <author>Zephran</author>\n"
      << "      <authoring_tool>genscenes</authoring_tool>\n"
      << "    </contributor>\n"
      << "    <created>2010-01-01T12:00:00Z</created>\n"
      << "    <modified>2010-01-01T12:00:00Z</modified>\n"
      << "    <unit name=\"meter\" meter=\"1\"/>\n"
      << "    <up_axis>Y_UP</up_axis>\n"
      << "  </asset>\n";
    bool hasCamera = false, hasLight = false;
    for (const Node& n : nodes) {
        hasCamera |= n.kind == Node::Camera;
        hasLight |= n.kind == Node::Light;
    }
    if (hasCamera)
        o << "  <library_cameras>\n"
          << "    <camera id=\"camera\" name=\"camera\">\n"
          << "      <optics>\n"
          << "        <technique_common>\n"
          << "          <perspective>\n"
          << "            <xfov>" << num(cameraFovX) << "</xfov>\n"
          << "            <aspect_ratio>" << num(cameraAspect) << "</aspect_ratio>\n"
          << "            <znear>" << num(cameraNear) << "</znear>\n"
          << "            <zfar>" << num(cameraFar) << "</zfar>\n"
          << "          </perspective>\n"
          << "        </technique_common>\n"
          << "      </optics>\n"
          << "    </camera>\n"
          << "  </library_cameras>\n";
    if (hasLight)
        o << "  <library_lights>\n"
          << "    <light id=\"light\" name=\"light\">\n"
          << "      <technique_common>\n"
          << "        <directional>\n"
          << "          <color>" << num(lightColour.r) << " " << num(lightColour.g) << " " << num(lightColour.b)
          << "</color>\n"
          << "        </directional>\n"
          << "      </technique_common>\n"
          << "    </light>\n"
          << "  </library_lights>\n";
    o << "  <library_effects>\n";
    for (const Material& m : materials)
        o << "    <effect id=\"" << m.id << "-effect\">\n"
          << "      <profile_COMMON>\n"
          << "        <technique sid=\"common\">\n"
          << "          <phong>\n"
          << "            <diffuse><color>" << num(m.diffuse.r) << " " << num(m.diffuse.g) << " " << num(m.diffuse.b)
          << " 1</color></diffuse>\n"
          << "            <specular><color>1 1 1 1</color></specular>\n"
          << "            <shininess><float>" << num(m.shininess) << "</float></shininess>\n"
          << "          </phong>\n"
          << "        </technique>\n"
          << "      </profile_COMMON>\n"
          << "    </effect>\n";
    o << "  </library_effects>\n"
      << "  <library_materials>\n";
    for (const Material& m : materials)
        o << "    <material id=\"" << m.id << "\" name=\"" << m.id << "\">\n"
          << "      <instance_effect url=\"#" << m.id << "-effect\"/>\n"
          << "    </material>\n";
    o << "  </library_materials>\n"
      << "  <library_geometries>\n";
    for (const Geometry& g : geometries) {
        std::vector<float> p, n, t;
        for (const mesh::Vertex& v : g.mesh.vertices) {
            p.insert(p.end(), {v.p.x, v.p.y, v.p.z});
            n.insert(n.end(), {v.n.x, v.n.y, v.n.z});
            t.insert(t.end(), {v.u, v.v});
        }
        o << "    <geometry id=\"" << g.id << "\" name=\"" << g.id << "\">\n"
          << "      <mesh>\n";
        floatArray(o, g.id + "-positions", p, 3, "XYZ");
        floatArray(o, g.id + "-normals", n, 3, "XYZ");
        floatArray(o, g.id + "-uvs", t, 2, "ST");
        o << "        <vertices id=\"" << g.id << "-vertices\">\n"
          << "          <input semantic=\"POSITION\" source=\"#" << g.id << "-positions\"/>\n"
          << "        </vertices>\n"
          << "        <triangles count=\"" << g.mesh.triangleCount() << "\" material=\"surface\">\n"
          << "          <input semantic=\"VERTEX\" source=\"#" << g.id << "-vertices\" offset=\"0\"/>\n"
          << "          <input semantic=\"NORMAL\" source=\"#" << g.id << "-normals\" offset=\"0\"/>\n"
          << "          <input semantic=\"TEXCOORD\" source=\"#" << g.id << "-uvs\" offset=\"0\"/>\n"
          << "          <p>";
        for (size_t i = 0; i < g.mesh.indices.size(); ++i) o << (i ? (i % 3 ? " " : "  ") : "") << g.mesh.indices[i];
        o << "</p>\n"
          << "        </triangles>\n"
          << "      </mesh>\n"
          << "    </geometry>\n";
    }
    o << "  </library_geometries>\n"
      << "  <library_visual_scenes>\n"
      << "    <visual_scene id=\"scene\" name=\"" << sceneName << "\">\n";
    for (const Node& n : nodes) {
        o << "      <node id=\"" << n.id << "\" name=\"" << n.id << "\" type=\"NODE\">\n"
          << "        <translate sid=\"location\">" << num(n.translation.x) << " " << num(n.translation.y) << " "
          << num(n.translation.z) << "</translate>\n";
        if (n.kind == Node::Camera) o << "        <instance_camera url=\"#camera\"/>\n";
        if (n.kind == Node::Light) o << "        <instance_light url=\"#light\"/>\n";
        if (n.geometry >= 0) {
            const Geometry& g = geometries[n.geometry];
            o << "        <instance_geometry url=\"#" << g.id << "\">\n"
              << "          <bind_material>\n"
              << "            <technique_common>\n"
              << "              <instance_material symbol=\"surface\" target=\"#" << materials[g.material].id
              << "\"/>\n"
              << "            </technique_common>\n"
              << "          </bind_material>\n"
              << "        </instance_geometry>\n";
        }
        o << "      </node>\n";
    }
    o << "    </visual_scene>\n"
      << "  </library_visual_scenes>\n"
      << "  <scene>\n"
      << "    <instance_visual_scene url=\"#scene\"/>\n"
      << "  </scene>\n"
      << "</COLLADA>\n";
    return o.str();
}

} // namespace collada
