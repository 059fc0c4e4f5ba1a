// Geometry reading: primitives, inputs and their index stride, the
// <vertices> alias, and the polylist rule.
#include "tests/collada/ColladaTestSupport.h"

using namespace Collada;

namespace {
const char* const kNormals =
    "<source id=\"n\"><float_array>0 0 1 0 1 0</float_array>"
    "<technique_common><accessor count=\"2\" stride=\"3\"/></technique_common></source>";
}

TEST_F(ColladaTest, TrianglesWithOffsetsRaiseIndexStride) {
    load(geometry("g", "0 0 0 1 0 0 0 1 0 1 1 0",
                  "<triangles count=\"2\" material=\"steel\"><input semantic=\"VERTEX\" source=\"#g-v\" offset=\"0\"/>"
                  "<input semantic=\"NORMAL\" source=\"#n\" offset=\"1\"/><p>0 0 1 1 2 0 1 1 3 0 2 1</p></triangles>",
                  kNormals));
    Mesh* mesh = document->meshes.find("g");
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->indexStride, 2);
    EXPECT_EQ(mesh->vertexCount, 4);
    ASSERT_EQ(mesh->subMeshes.size(), 1u);
    Mesh::SubMesh* sub = mesh->subMeshes.get(0);
    EXPECT_EQ(sub->triangleCount, 2);
    EXPECT_EQ(sub->material, "steel");
    EXPECT_EQ(sub->indices.size(), 12u);
    ASSERT_EQ(sub->inputs.size(), 2u);
    EXPECT_EQ(sub->inputs.get(1)->semantic, SEMANTIC_NORMAL);
    EXPECT_EQ(sub->inputs.get(1)->offset, 1);
    EXPECT_EQ(sub->inputs.get(1)->stride, 3);
    EXPECT_EQ(sub->inputs.get(1)->values.size(), 6u);
    EXPECT_EQ(document->sources.find("g-v"), document->sources.find("g-pos"));
}

TEST_F(ColladaTest, PolygonsConcatenateEveryP) {
    load(geometry("g", "0 0 0 1 0 0 0 1 0",
                  "<polygons count=\"2\"><input semantic=\"VERTEX\" source=\"#g-v\" offset=\"0\"/>"
                  "<p>0 1 2</p><p>2 1 0</p><ph/></polygons><triangles count=\"1\"><p>0 1 2</p></triangles>"));
    Mesh* mesh = document->meshes.find("g");
    ASSERT_EQ(mesh->subMeshes.size(), 2u);
    EXPECT_EQ(mesh->subMeshes.get(0)->indices.size(), 6u);
    EXPECT_EQ(mesh->subMeshes.get(0)->indices.get(3), 2);
    EXPECT_TRUE(mesh->subMeshes.get(1)->material.empty());
    EXPECT_NE(log().find(" Unknown: ph\n"), std::string::npos);
}

TEST_F(ColladaTest, PolylistAcceptsOnlyTriangles) {
    const std::string inputs = "<input semantic=\"VERTEX\" source=\"#g-v\" offset=\"0\"/>";
    load(geometry("g", "0 0 0 1 0 0 0 1 0",
                  "<polylist count=\"3\">" + inputs + "<vcount>3 3 3</vcount><p>0 1 2 0 1 2 0 1 2</p></polylist>"));
    EXPECT_EQ(document->meshes.find("g")->subMeshes.get(0)->triangleCount, 3);
    EXPECT_NE(
        refusedStatus(geometry("g", "0 0 0", "<polylist count=\"3\">" + inputs + "<vcount>3 3 4</vcount></polylist>")),
        0);
    EXPECT_NE(log().find(" Error: polylist contained polygons with != 3 vertices\n"), std::string::npos);
}

TEST_F(ColladaTest, PrimitiveAndInputErrorsAreReportedAndSkipped) {
    load(geometry("g", "0 0 0",
                  "<triangles><p>0</p></triangles><polylist/>"
                  "<triangles count=\"1\"><input source=\"#g-v\"/><input semantic=\"NORMAL\"/>"
                  "<input semantic=\"TEXCOORD\" source=\"#nowhere\" set=\"0\" offset=\"3\"/></triangles>"
                  "<linestrips/><mystery/>"));
    Mesh* mesh = document->meshes.find("g");
    ASSERT_EQ(mesh->subMeshes.size(), 1u);
    Mesh::SubMesh* sub = mesh->subMeshes.get(0);
    EXPECT_EQ(sub->inputs.get(0)->semantic, SEMANTIC_NOT_SET);
    EXPECT_EQ(sub->inputs.get(2)->stride, 0);
    EXPECT_EQ(sub->inputs.get(2)->values.size(), 0u);
    EXPECT_EQ(mesh->indexStride, 4);
    std::string text = log();
    EXPECT_NE(text.find(" Error: triangles missing required attribute 'count'\n"), std::string::npos);
    EXPECT_NE(text.find(" Error: polylist missing required attribute 'count'\n"), std::string::npos);
    EXPECT_NE(text.find(" Error: Triangles input missing required attribute 'semantic'\n"), std::string::npos);
    EXPECT_NE(text.find(" Error: Triangles input missing required attribute 'source'\n"), std::string::npos);
    EXPECT_NE(text.find("mesh input semantic \"set\" ignored.\n"), std::string::npos);
    EXPECT_NE(text.find(" Ignored: linestrips\n"), std::string::npos);
    EXPECT_NE(text.find(" Unknown: mystery\n"), std::string::npos);
}

TEST_F(ColladaTest, VerticesAliasToUnknownSourceIsReportedNotStored) {
    load(
        "<library_geometries><geometry id=\"g\"><mesh><vertices id=\"v\"><input semantic=\"POSITION\" "
        "source=\"#missing\"/></vertices><vertices><input/></vertices><triangles count=\"1\">"
        "<input semantic=\"VERTEX\" source=\"#v\" offset=\"0\"/><p>0 0 0</p></triangles></mesh></geometry>"
        "<geometry><mesh/></geometry></library_geometries>");
    EXPECT_FALSE(document->sources.exists("v"));
    EXPECT_EQ(document->meshes.size(), 1u);
    Mesh* mesh = document->meshes.find("g");
    EXPECT_EQ(mesh->vertexCount, 0);
    EXPECT_EQ(mesh->subMeshes.get(0)->inputs.get(0)->values.size(), 0u);
    std::string text = log();
    EXPECT_NE(text.find("vertices 'v': POSITION source 'missing' not found"), std::string::npos);
    EXPECT_NE(text.find(" ERROR: vertices: vertices missing required attribute 'id'"), std::string::npos);
    EXPECT_NE(text.find(" Error: Mesh had no vertices\n"), std::string::npos);
}

TEST_F(ColladaTest, VerticesInputsOtherThanPositionRaiseIndexStrideOnly) {
    load(
        "<library_geometries><geometry id=\"g\"><mesh><source id=\"p\"><float_array>0 0 0</float_array>"
        "<technique_common><accessor count=\"1\" stride=\"3\"/></technique_common></source>"
        "<vertices id=\"v\"><input semantic=\"POSITION\" source=\"p\"/><input semantic=\"NORMAL\" source=\"#p\" "
        "offset=\"2\"/></vertices></mesh></geometry></library_geometries>");
    Mesh* mesh = document->meshes.find("g");
    EXPECT_EQ(mesh->indexStride, 3);
    EXPECT_EQ(mesh->vertexCount, 0); // positions are counted from a primitive's VERTEX input
    EXPECT_EQ(document->sources.find("v"), document->sources.find("p"));
}
