// Visual scenes, node trees, transformation matrices, cameras, lights and
// animation channels as read from the document.
#include "collada/ColladaTransform.h"
#include "tests/collada/ColladaTestSupport.h"

using namespace Collada;
using ZEPHRAN_STAGEMILL::Matrix4;

namespace {

std::string scene(const std::string& nodes) {
    return "<library_visual_scenes><visual_scene id=\"vs\" name=\"Main\">" + nodes +
           "<evaluate_scene/></visual_scene></library_visual_scenes>";
}

Matrix4 localOf(const ObjectNode* node) {
    Matrix4 local;
    for (unsigned i = 0; i < node->transformations.size(); ++i)
        local = local * transformationMatrix(*node->transformations.get(i));
    return local;
}

void expectMatrix(const Matrix4& actual, const Matrix4& expected) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(actual[i], expected[i], 1e-6f) << "element " << i;
}

} // namespace

TEST_F(ColladaTest, NodeTreeKeepsNestingInstancesAndIds) {
    load(
        scene("<node id=\"a\" name=\"A\"><node><node id=\"c\"><node id=\"d\" name=\"D\">"
              "<instance_geometry url=\"#geo\"><bind_material><technique_common>"
              "<instance_material symbol=\"m\" target=\"#mat1\"/></technique_common><technique>"
              "<instance_material target=\"#mat2\"/></technique></bind_material></instance_geometry>"
              "<instance_controller url=\"#skin\"><skeleton/></instance_controller>"
              "<instance_camera url=\"#cam\"/><instance_light url=\"#sun\"/><instance_light/>"
              "</node></node></node></node><node id=\"b\"><lookat>0 0 1 0 0 0 0 1 0</lookat>"
              "<instance_node url=\"#a\"/><instance_geometry/></node>"));
    Collada::Scene* visual = document->scenes.find("vs");
    ASSERT_NE(visual, nullptr);
    EXPECT_EQ(visual->name, "Main");
    ASSERT_EQ(visual->nodes.size(), 2u);
    ObjectNode* d = visual->nodes.get(0)->children.get(0)->children.get(0)->children.get(0);
    EXPECT_EQ(d, document->nodes.find("d"));
    EXPECT_EQ(d->name, "D");
    ASSERT_EQ(d->geometryInstances.size(), 2u);
    EXPECT_EQ(d->geometryInstances.get(0)->url, "geo");
    EXPECT_EQ(d->geometryInstances.get(0)->materialTarget, "mat2");
    EXPECT_EQ(d->geometryInstances.get(1)->url, "skin");
    EXPECT_EQ(d->cameraUrls.get(0), "cam");
    EXPECT_EQ(d->lightUrls.size(), 1u);
    EXPECT_EQ(document->nodes.size(), 4u); // a, b, c, d; the node without id is only its parent's
    std::string text = log();
    EXPECT_NE(text.find(" Error: COLLADA unsupported transformation type: lookat.\n"), std::string::npos);
    EXPECT_NE(text.find(" Error: COLLADA node instancing is not supported.\n"), std::string::npos);
    EXPECT_NE(text.find(" Error: instance missing required attribute 'url'\n"), std::string::npos);
    EXPECT_NE(text.find(" Ignored: skeleton\n"), std::string::npos);
    EXPECT_NE(text.find(" Ignored: evaluate_scene\n"), std::string::npos);
}

TEST_F(ColladaTest, MatrixIsTransposedIntoColumnOrder) {
    load(
        scene("<node id=\"m\"><matrix>1 0 0 5\n0 1 0 6\n0 0 1 7\n0 0 0 1</matrix></node>"
              "<node id=\"i\"><matrix>1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1</matrix></node>"));
    const Transformation* t = document->nodes.find("m")->transformations.get(0);
    EXPECT_EQ(t->type, TRANSFORM_MATRIX);
    EXPECT_EQ(t->values.get(12), 5.0f);
    EXPECT_EQ(t->values.get(13), 6.0f);
    EXPECT_EQ(t->values.get(14), 7.0f);
    EXPECT_EQ(t->values.get(3), 0.0f);
    expectMatrix(localOf(document->nodes.find("i")), Matrix4());
}

TEST_F(ColladaTest, RotateNegatesTheAngleAndIgnoresTinyOnes) {
    load(
        scene("<node id=\"tiny\"><rotate>0 0 1 0.0005</rotate></node>"
              "<node id=\"quarter\"><rotate>0 0 1 90</rotate></node>"));
    expectMatrix(localOf(document->nodes.find("tiny")), Matrix4());
    Matrix4 expected;
    expected.makeRotation(-90.0f, 0, 0, 1);
    expectMatrix(localOf(document->nodes.find("quarter")), expected);
}

TEST_F(ColladaTest, ShortTransformationsAreReportedAndUseTheIdentity) {
    load(
        scene("<node id=\"n\" name=\"short\"><matrix>1 2 3</matrix><rotate>0 1</rotate><scale>3</scale>"
              "<translate/></node>"));
    const ObjectNode* node = document->nodes.find("n");
    ASSERT_EQ(node->transformations.size(), 4u);
    expectMatrix(localOf(node), Matrix4());
    std::string text = log();
    EXPECT_NE(text.find("node 'n': <matrix> holds 3 numbers, expected 16"), std::string::npos);
    EXPECT_NE(text.find("node 'n': <rotate> holds 2 numbers, expected 4"), std::string::npos);
    EXPECT_NE(text.find("node 'n': <scale> holds 1 numbers, expected 3"), std::string::npos);
    EXPECT_NE(text.find("node 'n': <translate> holds 0 numbers, expected 3"), std::string::npos);
}

TEST_F(ColladaTest, CamerasAndLightsKeepParametersByTag) {
    load(
        "<library_cameras><camera id=\"cam\"><optics><technique_common><perspective>"
        "<xfov sid=\"HFOV\">37.8</xfov><znear>0.1</znear></perspective></technique_common>"
        "<technique profile=\"x\"/></optics><extra><technique><target/><thing/></technique></extra></camera>"
        "<camera id=\"ortho\"><optics><technique_common><orthographic><xmag>2</xmag></orthographic>"
        "</technique_common></optics></camera><camera/></library_cameras>"
        "<library_lights><light id=\"sun\"><technique_common><spot><color>1 0.5 0.25</color>"
        "<falloff_angle>45</falloff_angle></spot></technique_common><extra/></light>"
        "<light id=\"sun\"><technique_common><point/><glow/></technique_common></light></library_lights>");
    Collada::Camera* camera = document->cameras.find("cam");
    ASSERT_NE(camera, nullptr);
    EXPECT_FALSE(camera->orthographic);
    ASSERT_TRUE(camera->params.exists("xfov"));
    EXPECT_EQ(camera->params.find("xfov")->name, "HFOV");
    EXPECT_FLOAT_EQ(camera->params.find("xfov")->values.get(0), 37.8f);
    EXPECT_TRUE(document->cameras.find("ortho")->orthographic);
    EXPECT_EQ(document->cameras.size(), 2u);
    // The second light of the same id replaces the first.
    Collada::Light* light = document->lights.find("sun");
    EXPECT_EQ(light->type, LIGHT_POINT);
    EXPECT_FALSE(light->params.exists("color"));
    std::string text = log();
    EXPECT_NE(text.find(" Ignored: technique\n"), std::string::npos);
    EXPECT_NE(text.find(" Ignored: thing\n"), std::string::npos);
    EXPECT_EQ(text.find(" Ignored: target\n"), std::string::npos);
    EXPECT_NE(text.find(" Unknown: glow\n"), std::string::npos);
}

TEST_F(ColladaTest, AnimationsReadSamplersChannelsAndNesting) {
    load(
        "<library_animations><animation id=\"a\"><channel source=\"#s\" target=\"node/rotation_z.ANGLE\"/>"
        "<source id=\"t\"><float_array>0 1 2 3 4</float_array></source>"
        "<sampler id=\"s\"><input semantic=\"INTERPOLATION\" source=\"#i\"/><input semantic=\"INPUT\" "
        "source=\"#t\"/><input semantic=\"OUTPUT\" source=\"#o\"/><input semantic=\"input\" source=\"#x\"/>"
        "<input semantic=\"OUTPUT\"/><param/></sampler>"
        "<animation><channel/></animation><animation><sampler><input source=\"#q\"/></sampler></animation>"
        "<asset/></animation><animation/></library_animations>");
    ASSERT_EQ(document->animations.size(), 2u);
    EXPECT_TRUE(document->animations.exists(kNoIdentifierKey));
    Collada::Animation* a = document->animations.find("a");
    EXPECT_EQ(a->keyCount, 5);
    EXPECT_EQ(a->target, "node/rotation_z.ANGLE");
    ASSERT_EQ(a->inputs.size(), 4u);
    EXPECT_EQ(a->inputs.getKey(0), "i");
    EXPECT_EQ(a->inputs.get(0), ANIM_INTERPOLATION);
    EXPECT_EQ(a->inputs.find("x"), ANIM_OTHER);
    ASSERT_EQ(a->children.size(), 1u); // of two nested animations without id only the last stays
    EXPECT_EQ(a->children.getKey(0), kNoIdentifierKey);
    EXPECT_EQ(a->children.get(0)->inputs.find("q"), ANIM_OTHER);
    std::string text = log();
    EXPECT_NE(text.find(" Error: Animation channel missing required attribute target.\n"), std::string::npos);
    EXPECT_NE(text.find(" Error: Animation sampler missing required attribute semantic.\n"), std::string::npos);
    EXPECT_NE(text.find(" Unknown: param\n"), std::string::npos);
    EXPECT_NE(text.find(" Unknown: asset\n"), std::string::npos);
}
