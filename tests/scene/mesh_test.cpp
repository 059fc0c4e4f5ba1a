// Expansion of primitives into vertex streams: offsets, strides, chained
// sub-meshes, and primitives that do not fit their buffers.
#include "scene/MeshVBO.h"

#include <cmath>

#include "tests/collada/ColladaTestSupport.h"
#include "tests/support/HeadlessGL.h"

using namespace Collada;

namespace {

const char* const kSources =
    "<source id=\"n\"><float_array>0 0 1 0 1 0</float_array>"
    "<technique_common><accessor count=\"2\" stride=\"3\"/></technique_common></source>"
    "<source id=\"uv\"><float_array>0 0 1 1</float_array>"
    "<technique_common><accessor count=\"2\" stride=\"2\"/></technique_common></source>";
const char* const kInputs =
    "<input semantic=\"VERTEX\" source=\"#g-v\" offset=\"0\"/>"
    "<input semantic=\"NORMAL\" source=\"#n\" offset=\"1\"/>";

class MeshTest : public ColladaTest {
protected:
    // Expands sub-mesh `index` of geometry "g" of a document with four
    // positions, two normals "n" and two texture coordinates "uv".
    MeshVBO* expand(const std::string& primitives, unsigned index = 0) {
        load(geometry("g", "0 0 0 1 0 0 0 1 0 1 1 0", primitives, kSources));
        const Mesh* mesh = document->meshes.find("g");
        vbo.reset(expandSubMesh("g", *mesh, *mesh->subMeshes.get(index), static_cast<int>(index)));
        return vbo.get();
    }
    std::unique_ptr<MeshVBO> vbo;
};

} // namespace

TEST_F(MeshTest, ExpansionFollowsEachInputsOffset) {
    ASSERT_NE(expand(std::string("<triangles count=\"2\" material=\"m\">") + kInputs +
                     "<p>0 0 1 1 2 0 1 1 3 0 2 1</p></triangles>"),
              nullptr);
    EXPECT_EQ(vbo->vertexCount, 6);
    EXPECT_EQ(vbo->materialName, "m");
    ASSERT_EQ(vbo->attributes.size(), 2u);
    const MeshVBO::MeshVBOAttribute* positions = vbo->attributes.get(0);
    const MeshVBO::MeshVBOAttribute* normals = vbo->attributes.get(1);
    EXPECT_EQ(positions->glArray, static_cast<GLenum>(GL_VERTEX_ARRAY));
    EXPECT_EQ(normals->glArray, static_cast<GLenum>(GL_NORMAL_ARRAY));
    ASSERT_EQ(positions->data.size(), 18u);
    ASSERT_EQ(normals->written, 18);
    // Corner 3 is position 1, normal 1; corner 4 is position 3, normal 0.
    EXPECT_EQ(positions->data[9], 1.0f);
    EXPECT_EQ(positions->data[12], 1.0f);
    EXPECT_EQ(positions->data[13], 1.0f);
    EXPECT_EQ(normals->data[10], 1.0f);
    EXPECT_EQ(normals->data[14], 1.0f);
    EXPECT_EQ(vbo->current, normals);
}

TEST_F(MeshTest, InputsWithoutClientArrayGetNoBuffer) {
    ASSERT_NE(expand("<triangles count=\"1\"><input semantic=\"VERTEX\" source=\"#g-v\" offset=\"0\"/>"
                     "<input semantic=\"TEXTANGENT\" source=\"#n\" offset=\"0\"/>"
                     "<input semantic=\"BLENDWEIGHT\" source=\"#n\" offset=\"0\"/><p>0 1 2</p></triangles>"),
              nullptr);
    ASSERT_EQ(vbo->attributes.size(), 1u);
    EXPECT_EQ(vbo->attributes.get(0)->components, 3);
}

TEST_F(MeshTest, PrimitivesThatDoNotFitAreReportedWithoutDrawable) {
    struct Case {
        const char* primitive;
        const char* why;
    } cases[] = {
        {"<triangles count=\"1\"><input semantic=\"VERTEX\" source=\"#g-v\" offset=\"0\"/><p>0 1 2 3</p></triangles>",
         "4 index groups for 3 x count = 3 corners"},
        {"<triangles count=\"1\"><input semantic=\"VERTEX\" source=\"#g-v\" offset=\"0\"/><p>0 1 9</p></triangles>",
         "input 0 index 9 is outside its 12 values"},
        {"<triangles count=\"1\"><input semantic=\"VERTEX\" source=\"#g-v\" offset=\"0\"/><p>0 -1 2</p></triangles>",
         "input 0 index -1 is outside"},
        {"<triangles count=\"1\"><input semantic=\"VERTEX\" source=\"#g-v\" offset=\"0\"/>"
         "<input semantic=\"NORMAL\" source=\"#n\" offset=\"1\"/><p>0 0 1 1 2</p></triangles>",
         "input 1 reads index 5 of 5"},
        {"<triangles count=\"1\"><input semantic=\"VERTEX\" source=\"#g-v\" offset=\"0\"/>"
         "<input semantic=\"NORMAL\" source=\"#uv\" offset=\"0\"/><p>0 1 0</p></triangles>",
         "input 1 has 2 values per vertex, at least 3 expected"},
        {"<triangles count=\"1\"><input semantic=\"COLOR\" source=\"#nothing\" offset=\"0\"/><p>0 1 0</p></triangles>",
         "no input gives positions"},
        {"<triangles count=\"1\"><input semantic=\"VERTEX\" source=\"#nothing\" offset=\"0\"/><p>0 1 0</p></triangles>",
         "input 0 has 0 values per vertex, at least 3 expected"},
        {"<triangles count=\"-2\"><input semantic=\"VERTEX\" source=\"#g-v\" offset=\"0\"/></triangles>",
         "count -2 is not a triangle count"},
        {"<triangles count=\"1000000000\"><input semantic=\"VERTEX\" source=\"#g-v\" offset=\"0\"/></triangles>",
         "count 1000000000 is not a triangle count"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(expand(c.primitive), nullptr) << c.primitive;
        std::string text = log();
        EXPECT_NE(text.find(" Error: geometry 'g', primitive 0: "), std::string::npos) << text;
        EXPECT_NE(text.find(c.why), std::string::npos) << text;
    }
}

// A normal, colour or texture-coordinate input that names an unknown source
// costs only its own array: the primitive still draws from its positions.
TEST_F(MeshTest, InputsWithoutValuesAreLeftOutAndThePrimitiveKept) {
    ASSERT_NE(expand("<triangles count=\"1\"><input semantic=\"VERTEX\" source=\"#g-v\" offset=\"0\"/>"
                     "<input semantic=\"NORMAL\" source=\"#nothing\" offset=\"0\"/>"
                     "<input semantic=\"TEXCOORD\" source=\"#uv\" offset=\"0\"/>"
                     "<input semantic=\"COLOR\" source=\"#nothing\" offset=\"0\"/><p>0 1 0</p></triangles>"),
              nullptr);
    ASSERT_EQ(vbo->attributes.size(), 2u);
    EXPECT_EQ(vbo->attributes.get(0)->glArray, static_cast<GLenum>(GL_VERTEX_ARRAY));
    EXPECT_EQ(vbo->attributes.get(1)->glArray, static_cast<GLenum>(GL_TEXTURE_COORD_ARRAY));
    EXPECT_EQ(vbo->attributes.get(1)->written, 6);
    std::string text = log();
    EXPECT_NE(text.find("geometry 'g', primitive 0: input 1 has no values"), std::string::npos) << text;
    EXPECT_NE(text.find("input 3 has no values"), std::string::npos) << text;
    EXPECT_EQ(text.find("not drawn"), std::string::npos) << text;
}

// Exporters such as 3ds Max write S T P texture coordinates; the buffer
// takes S and T of each vertex, and an index of the last vertex still reads
// only inside the source.
TEST_F(MeshTest, WiderSourcesGiveTheirLeadingValues) {
    ASSERT_NE(expand("<triangles count=\"1\"><input semantic=\"VERTEX\" source=\"#g-v\" offset=\"0\"/>"
                     "<input semantic=\"TEXCOORD\" source=\"#n\" offset=\"1\" set=\"0\"/>"
                     "<p>0 1 1 0 2 1</p></triangles>"),
              nullptr);
    ASSERT_EQ(vbo->attributes.size(), 2u);
    const MeshVBO::MeshVBOAttribute* texCoords = vbo->attributes.get(1);
    EXPECT_EQ(texCoords->components, 2);
    EXPECT_EQ(texCoords->written, 6);
    const float expected[] = {0, 1, 0, 0, 0, 1};
    for (int k = 0; k < 6; ++k) EXPECT_EQ(texCoords->data[k], expected[k]) << k;
}

// Blender and kwxport write RGB colours; the colour buffer gets them with
// alpha 1, and the last colour is read without passing the source's end.
TEST_F(MeshTest, RgbColoursExpandWithOpaqueAlpha) {
    ASSERT_NE(expand("<triangles count=\"1\"><input semantic=\"VERTEX\" source=\"#g-v\" offset=\"0\"/>"
                     "<input semantic=\"COLOR\" source=\"#n\" offset=\"1\"/>"
                     "<p>0 1 1 0 2 1</p></triangles>"),
              nullptr);
    ASSERT_EQ(vbo->attributes.size(), 2u);
    const MeshVBO::MeshVBOAttribute* colours = vbo->attributes.get(1);
    EXPECT_EQ(colours->glArray, static_cast<GLenum>(GL_COLOR_ARRAY));
    EXPECT_EQ(colours->components, 4);
    ASSERT_EQ(colours->written, 12);
    const float expected[] = {0, 1, 0, 1, 0, 0, 1, 1, 0, 1, 0, 1};
    for (int k = 0; k < 12; ++k) EXPECT_EQ(colours->data[k], expected[k]) << k;
}

TEST_F(MeshTest, LaterPrimitivesKeepTheirOwnCounts) {
    ASSERT_NE(expand(std::string("<triangles count=\"2\">") + kInputs +
                         "<p>0 0 1 1 2 0 1 1 3 0 2 1</p></triangles><triangles count=\"1\">" + kInputs +
                         "<p>3 0 2 0 1 0</p></triangles>",
                     1),
              nullptr);
    EXPECT_EQ(vbo->vertexCount, 3);
    EXPECT_EQ(vbo->attributes.get(0)->data[0], 1.0f);
    EXPECT_EQ(vbo->attributes.get(0)->data[1], 1.0f);
}

TEST_F(MeshTest, BoundsCoverTheDrawnPositionsAndTheChain) {
    // Positions 0 (0,0,0), 1 (1,0,0), 3 (1,1,0): position 2 is never drawn.
    ASSERT_NE(expand(std::string("<triangles count=\"1\">") + kInputs + "<p>0 0 1 1 3 0</p></triangles>"), nullptr);
    EXPECT_FALSE(vbo->bounds.empty);
    EXPECT_FALSE(vbo->bounds.unbounded);
    EXPECT_EQ(vbo->bounds.min[0], 0.0f);
    EXPECT_EQ(vbo->bounds.max[0], 1.0f);
    EXPECT_EQ(vbo->bounds.max[1], 1.0f);
    EXPECT_EQ(vbo->bounds.max[2], 0.0f);

    load(geometry("g", "0 0 0 1 0 0 0 1 0 -4 1 7",
                  "<triangles count=\"1\">" + std::string(kInputs) +
                      "<p>0 0 1 0 2 0</p></triangles><triangles count=\"1\">" + kInputs +
                      "<p>0 0 3 0 2 0</p></triangles>",
                  kSources));
    ASSERT_NO_FATAL_FAILURE(headless::openWindow(32, 32, StmRunOptions(), ""));
    ASSERT_TRUE(loadGLExtensions());
    ZEPHRAN_STAGEMILL::Map<MeshVBO*> meshes;
    buildMeshVBOs(document, meshes);
    MeshVBO* first = meshes.find("g");
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(first->chained.size(), 1u);
    EXPECT_EQ(first->bounds.min[0], -4.0f) << "the chained primitive's corner";
    EXPECT_EQ(first->bounds.max[2], 7.0f);
    EXPECT_EQ(first->chained.get(0)->bounds.max[0], 0.0f);
    stmShutDown();
}

TEST_F(MeshTest, ANonFinitePositionLeavesTheBoundsUnknown) {
    load(geometry("g", "0 0 0 nan 0 0 0 1 0",
                  "<triangles count=\"1\">" + std::string(kInputs) + "<p>0 0 1 0 2 0</p></triangles>", kSources));
    const Mesh* mesh = document->meshes.find("g");
    vbo.reset(expandSubMesh("g", *mesh, *mesh->subMeshes.get(0), 0));
    ASSERT_NE(vbo, nullptr);
    EXPECT_TRUE(vbo->bounds.unbounded);
}

TEST(MeshSharing, CornersEqualInEveryStreamAreStoredOnce) {
    // Two triangles over a square, corners a b c and a c d; a fifth corner
    // at a's position with another normal, a sixth at -0 instead of 0.
    const std::vector<float> positions = {0, 0, 0, 1, 0, 0, 1, 1,     0, 0, 0, 0, 1, 1,
                                          0, 0, 1, 0, 0, 0, 0, -0.0f, 0, 0, 1, 0, 0};
    const std::vector<float> normals = {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0,
                                        1, 0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 0, 1};
    std::vector<std::vector<float>> shared;
    const std::vector<GLuint> indices = shareVertices({&positions, &normals}, {3, 3}, 9, shared);
    const std::vector<GLuint> expected = {0, 1, 2, 0, 2, 3, 4, 5, 1};
    EXPECT_EQ(indices, expected);
    ASSERT_EQ(shared.size(), 2u);
    ASSERT_EQ(shared[0].size(), 18u);
    EXPECT_EQ(shared[0][9], 0.0f); // d, first used by corner 5
    EXPECT_EQ(shared[0][10], 1.0f);
    EXPECT_EQ(shared[1][12], 1.0f); // the fifth corner keeps its own normal
    EXPECT_TRUE(std::signbit(shared[0][15]));
    // Every corner reads back the values it was given.
    for (size_t v = 0; v < indices.size(); ++v)
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(shared[0][3 * indices[v] + k], positions[3 * v + k]) << v;
            EXPECT_EQ(shared[1][3 * indices[v] + k], normals[3 * v + k]) << v;
        }
    EXPECT_TRUE(shareVertices({}, {}, 0, shared).empty());
}

TEST(MeshTables, SemanticsMapToClientArrays) {
    EXPECT_EQ(glArrayForSemantic(SEMANTIC_COLOR), static_cast<GLenum>(GL_COLOR_ARRAY));
    EXPECT_EQ(componentCountForSemantic(SEMANTIC_COLOR), 4);
    EXPECT_EQ(glArrayForSemantic(11), static_cast<GLenum>(GL_TEXTURE_COORD_ARRAY));
    EXPECT_EQ(componentCountForSemantic(5), 2);
    for (int none : {0, 12, 13, 14}) {
        EXPECT_EQ(glArrayForSemantic(none), 0u);
        EXPECT_EQ(componentCountForSemantic(none), 0);
    }
}
