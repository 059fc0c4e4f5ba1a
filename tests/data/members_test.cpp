// Checks the built data.pak against the member table the program reads its
// names from: every member is there and decodes, images have the size,
// channels and alpha their use needs, cube faces meet without seams, tiling
// textures wrap, vignettes darken only the border, and each scene has the
// node layout its effect indexes.
#include "CubeFace.h"
#include "Pak.h"
#include "data/members.h"

#include <gtest/gtest.h>
#include <stb_image.h>
#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

const pak::Reader& archive() {
    static pak::Reader reader(ZEPHRAN_DATA_PAK);
    return reader;
}

struct Decoded {
    int w = 0, h = 0, channels = 0;
    std::vector<unsigned char> px; // as stored: `channels` bytes per texel
    float at(int x, int y, int c) const { return px[(static_cast<size_t>(y) * w + x) * channels + c] / 255.0f; }
    float alpha(int x, int y) const { return channels == 1 ? at(x, y, 0) : channels == 4 ? at(x, y, 3) : 1.0f; }
};

bool decode(const std::string& name, Decoded& d) {
    std::vector<unsigned char> bytes;
    if (!archive().read(name, bytes)) return false;
    unsigned char* px = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &d.w, &d.h, &d.channels, 0);
    if (!px) return false;
    d.px.assign(px, px + static_cast<size_t>(d.w) * d.h * d.channels);
    stbi_image_free(px);
    return true;
}

bool powerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

float texelDiff(const Decoded& a, int ax, int ay, const Decoded& b, int bx, int by) {
    float d = 0;
    for (int c = 0; c < a.channels; ++c) d += std::fabs(a.at(ax, ay, c) - b.at(bx, by, c));
    return d / a.channels;
}

class Images : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(archive().ok()) << archive().error(); }
};

TEST_F(Images, EveryNamedMemberIsInTheArchiveAndDecodes) {
    std::vector<std::string> names = archive().names();
    for (const zdata::Member& m : zdata::kMembers) {
        EXPECT_NE(std::find(names.begin(), names.end(), m.name), names.end()) << m.name << " missing from data.pak";
        if (m.kind != zdata::Kind::Image) continue;
        Decoded d;
        ASSERT_TRUE(decode(m.name, d)) << m.name << ": " << stbi_failure_reason();
        EXPECT_EQ(d.w, m.width) << m.name;
        EXPECT_EQ(d.h, m.height) << m.name;
        EXPECT_EQ(d.channels, m.channels) << m.name;
        if (m.needs & zdata::kPowerOfTwo) {
            EXPECT_TRUE(powerOfTwo(d.w) && powerOfTwo(d.h)) << m.name;
        }
    }
    EXPECT_NE(zdata::findMember(zdata::kBannerName), nullptr);
    EXPECT_NE(zdata::findMember(zdata::kIconName), nullptr);
}

// A blended image whose alpha is constant would cover the whole screen.
TEST_F(Images, BlendedImagesCarryAnAlphaThatVaries) {
    for (const zdata::Member& m : zdata::kMembers) {
        if (!(m.needs & zdata::kAlpha)) continue;
        Decoded d;
        ASSERT_TRUE(decode(m.name, d)) << m.name;
        ASSERT_TRUE(d.channels == 1 || d.channels == 4) << m.name << " is blended but has no alpha to give";
        float lo = 1, hi = 0;
        for (int y = 0; y < d.h; ++y)
            for (int x = 0; x < d.w; ++x) {
                lo = std::min(lo, d.alpha(x, y));
                hi = std::max(hi, d.alpha(x, y));
            }
        EXPECT_LT(lo, 0.05f) << m.name << " is nowhere transparent";
        EXPECT_GT(hi, 0.6f) << m.name << " is nowhere opaque";
    }
}

TEST_F(Images, VignettesDarkenTheBorderAndLeaveTheMiddle) {
    for (const zdata::Member& m : zdata::kMembers) {
        if (!(m.needs & zdata::kVignette)) continue;
        Decoded d;
        ASSERT_TRUE(decode(m.name, d)) << m.name;
        float centre = 0;
        int n = 0;
        for (int y = d.h * 3 / 8; y < d.h * 5 / 8; ++y)
            for (int x = d.w * 3 / 8; x < d.w * 5 / 8; ++x, ++n) centre += d.alpha(x, y);
        EXPECT_LT(centre / n, 0.03f) << m.name << " darkens the middle";
        EXPECT_GT(d.alpha(0, 0), 0.9f) << m.name;
        EXPECT_GT(d.alpha(d.w - 1, d.h - 1), 0.9f) << m.name;
        EXPECT_GT(d.alpha(d.w / 2, 0), 0.35f) << m.name << " leaves the top edge bright";
        EXPECT_GT(d.alpha(0, d.h / 2), 0.35f) << m.name << " leaves the left edge bright";
    }
}

// Steps across every face edge onto the neighbouring face and compares with
// the step between the last two rows inside the face.
TEST_F(Images, CubeFacesAreSquareEqualAndSeamless) {
    for (unsigned group : {unsigned(zdata::kEnvFace), unsigned(zdata::kDarkFace)}) {
        Decoded faces[6];
        int found = 0;
        for (const zdata::Member& m : zdata::kMembers) {
            if (!(m.needs & group)) continue;
            int f = cubeface::faceOfName(m.name);
            ASSERT_GE(f, 0) << m.name;
            ASSERT_TRUE(decode(m.name, faces[f])) << m.name;
            ASSERT_EQ(faces[f].w, faces[f].h) << m.name << " is not square";
            ++found;
        }
        ASSERT_EQ(found, 6);
        for (int f = 1; f < 6; ++f) ASSERT_EQ(faces[f].w, faces[0].w) << "cube faces differ in size";
        int n = faces[0].w;
        double across = 0, inside = 0;
        int count = 0;
        for (int f = 0; f < 6; ++f)
            for (int i = 0; i < n; ++i)
                for (int edge = 0; edge < 4; ++edge) {
                    int x = edge == 0 ? 0 : edge == 1 ? n - 1 : i, y = edge == 2 ? 0 : edge == 3 ? n - 1 : i;
                    int ix = edge == 0 ? 1 : edge == 1 ? n - 2 : i, iy = edge == 2 ? 1 : edge == 3 ? n - 2 : i;
                    float s = (x + 0.5f) / n, t = (y + 0.5f) / n;
                    float step = 1.0f / n;
                    if (edge == 0)
                        s -= step;
                    else if (edge == 1)
                        s += step;
                    else if (edge == 2)
                        t -= step;
                    else
                        t += step;
                    float d[3];
                    cubeface::direction(f, s, t, d);
                    float ns, nt;
                    int g = cubeface::lookup(d, ns, nt);
                    if (g == f) continue; // corner texel whose step stays on the face
                    int gx = std::clamp(static_cast<int>(ns * n), 0, n - 1),
                        gy = std::clamp(static_cast<int>(nt * n), 0, n - 1);
                    across += texelDiff(faces[f], x, y, faces[g], gx, gy);
                    inside += texelDiff(faces[f], x, y, faces[f], ix, iy);
                    ++count;
                }
        ASSERT_GT(count, 0);
        EXPECT_LT(across / count, 2.5 * inside / count + 2.0 / 255)
            << (group == zdata::kEnvFace ? "px.png" : "dark_px.png") << " cube has seams: mean step across edges "
            << across / count << ", inside " << inside / count;
    }
}

TEST_F(Images, TilingTexturesWrapWithoutASeam) {
    for (const zdata::Member& m : zdata::kMembers) {
        if (!(m.needs & zdata::kTileable)) continue;
        Decoded d;
        ASSERT_TRUE(decode(m.name, d)) << m.name;
        double wrap = 0, inside = 0;
        for (int y = 0; y < d.h; ++y) {
            wrap += texelDiff(d, d.w - 1, y, d, 0, y);
            inside += texelDiff(d, d.w - 2, y, d, d.w - 1, y);
        }
        for (int x = 0; x < d.w; ++x) {
            wrap += texelDiff(d, x, d.h - 1, d, x, 0);
            inside += texelDiff(d, x, d.h - 2, d, x, d.h - 1);
        }
        EXPECT_LT(wrap, 2.5 * inside + (d.w + d.h) * 2.0 / 255) << m.name << " shows a seam when repeated";
    }
}

// The parts of a scene the effects rely on: nodes by id with translation and
// the positions of their geometry.
struct SceneNode {
    std::string id;
    float t[3] = {0, 0, 0};
    std::vector<float> positions; // of its geometry, empty without one
};

struct SceneFile {
    std::vector<SceneNode> nodes; // in key order, with an empty "root" entry
    std::string error;
};

SceneFile readScene(const std::string& name) {
    SceneFile out;
    std::vector<unsigned char> bytes;
    if (!archive().read(name, bytes)) {
        out.error = name + " missing";
        return out;
    }
    std::string text(bytes.begin(), bytes.end());
    TiXmlDocument doc(name.c_str());
    doc.Parse(text.c_str());
    if (doc.Error()) {
        out.error = name + ": " + doc.ErrorDesc();
        return out;
    }
    TiXmlElement* root = doc.FirstChildElement("COLLADA");
    if (!root || !root->Attribute("version") || std::string(root->Attribute("version")) != "1.4.1") {
        out.error = name + ": no COLLADA 1.4.1 root";
        return out;
    }
    for (const char* lib : {"asset", "library_geometries", "library_visual_scenes", "scene"})
        if (!root->FirstChildElement(lib)) out.error += name + ": no <" + lib + "> ";
    std::map<std::string, std::vector<float>> geometry;
    for (TiXmlElement* g = root->FirstChildElement("library_geometries")->FirstChildElement("geometry"); g;
         g = g->NextSiblingElement("geometry")) {
        TiXmlElement* mesh = g->FirstChildElement("mesh");
        std::string pos = std::string(g->Attribute("id")) + "-positions";
        for (TiXmlElement* s = mesh->FirstChildElement("source"); s; s = s->NextSiblingElement("source"))
            if (pos == s->Attribute("id")) {
                std::istringstream in(s->FirstChildElement("float_array")->GetText());
                float v;
                while (in >> v) geometry[g->Attribute("id")].push_back(v);
            }
    }
    TiXmlElement* vs = root->FirstChildElement("library_visual_scenes")->FirstChildElement("visual_scene");
    for (TiXmlElement* n = vs->FirstChildElement("node"); n; n = n->NextSiblingElement("node")) {
        SceneNode node;
        node.id = n->Attribute("id") ? n->Attribute("id") : "";
        if (TiXmlElement* tr = n->FirstChildElement("translate")) {
            std::istringstream in(tr->GetText());
            in >> node.t[0] >> node.t[1] >> node.t[2];
        }
        if (TiXmlElement* ig = n->FirstChildElement("instance_geometry"))
            node.positions = geometry[ig->Attribute("url") + 1];
        out.nodes.push_back(node);
    }
    SceneNode rootNode;
    rootNode.id = "root";
    out.nodes.push_back(rootNode);
    std::sort(out.nodes.begin(), out.nodes.end(), [](const SceneNode& a, const SceneNode& b) { return a.id < b.id; });
    return out;
}

// Bounds of a node's geometry in its own coordinates.
void bounds(const SceneNode& n, float lo[3], float hi[3]) {
    for (int k = 0; k < 3; ++k) {
        lo[k] = 1e9f;
        hi[k] = -1e9f;
    }
    for (size_t i = 0; i + 2 < n.positions.size(); i += 3)
        for (int k = 0; k < 3; ++k) {
            lo[k] = std::min(lo[k], n.positions[i + k]);
            hi[k] = std::max(hi[k], n.positions[i + k]);
        }
}

TEST(Scenes, LogoPiecesAreCentredStandOnTheFloorAndSpanTheWord) {
    SceneFile s = readScene("logo.dae");
    ASSERT_TRUE(s.error.empty()) << s.error;
    int pieces = 0;
    float minX = 1e9f, maxX = -1e9f;
    for (const SceneNode& n : s.nodes) {
        if (n.positions.empty()) continue;
        ++pieces;
        float lo[3], hi[3];
        bounds(n, lo, hi);
        for (int k = 0; k < 3; ++k)
            EXPECT_LT(std::fabs(lo[k] + hi[k]) / 2, 0.25f * (hi[k] - lo[k]) + 0.05f)
                << n.id << " not centred on its node";
        EXPECT_GE(n.t[1] + lo[1], -1e-3f) << n.id << " reaches below the floor";
        minX = std::min(minX, n.t[0]);
        maxX = std::max(maxX, n.t[0]);
    }
    EXPECT_GE(pieces, 12);
    EXPECT_LT(minX, -8.5f);
    EXPECT_GT(maxX, 8.5f);
    EXPECT_LE(std::max(-minX, maxX), 11.0f);
}

TEST(Scenes, ChamferCubeIsOneUnitAcrossAndCentred) {
    SceneFile s = readScene("chamfercube.dae");
    ASSERT_TRUE(s.error.empty()) << s.error;
    const SceneNode* cube = nullptr;
    for (const SceneNode& n : s.nodes)
        if (!n.positions.empty()) cube = &n;
    ASSERT_NE(cube, nullptr);
    float lo[3], hi[3];
    bounds(*cube, lo, hi);
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(lo[k] + cube->t[k], -0.5f, 1e-3f);
        EXPECT_NEAR(hi[k] + cube->t[k], 0.5f, 1e-3f);
    }
}

TEST(Scenes, GeosphereNodesZeroAndOneAreSpheresOfRadiusTwenty) {
    SceneFile s = readScene("geosphere.dae");
    ASSERT_TRUE(s.error.empty()) << s.error;
    ASSERT_GE(s.nodes.size(), 3u);
    for (int i = 0; i < 2; ++i) {
        const SceneNode& n = s.nodes[i];
        ASSERT_FALSE(n.positions.empty()) << "node " << i << " (" << n.id << ") has no geometry";
        for (size_t v = 0; v + 2 < n.positions.size(); v += 3) {
            float r = std::sqrt(n.positions[v] * n.positions[v] + n.positions[v + 1] * n.positions[v + 1] +
                                n.positions[v + 2] * n.positions[v + 2]);
            ASSERT_NEAR(r, 20.0f, 0.05f) << n.id;
        }
    }
}

TEST(Scenes, SlicedSphereDrawsExactlyItsSlices) {
    SceneFile s = readScene("sliced_sphere.dae");
    ASSERT_TRUE(s.error.empty()) << s.error;
    size_t count = s.nodes.size();
    ASSERT_GT(count, 5u);
    int slices = 0;
    for (size_t i = 0; i < count; ++i) {
        bool drawn = i >= 4 && i <= count - 2;
        EXPECT_EQ(!s.nodes[i].positions.empty(), drawn) << "node " << i << " (" << s.nodes[i].id << ")";
        slices += drawn;
    }
    EXPECT_GE(slices, 24);
}

TEST(Scenes, PrimitivesAreCentredSoTheRootDrawsOneCompound) {
    SceneFile s = readScene("primitives.dae");
    ASSERT_TRUE(s.error.empty()) << s.error;
    int shapes = 0;
    for (const SceneNode& n : s.nodes) {
        if (n.id == "root") continue;
        ASSERT_FALSE(n.positions.empty()) << n.id;
        ++shapes;
        float lo[3], hi[3];
        bounds(n, lo, hi);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(n.t[k], 0.0f) << n.id;
            EXPECT_LT(std::fabs(lo[k] + hi[k]), 0.1f * (hi[k] - lo[k])) << n.id << " off centre";
        }
    }
    EXPECT_GE(shapes, 5);
}

} // namespace
