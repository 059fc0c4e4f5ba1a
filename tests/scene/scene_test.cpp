// Scene building and drawing in a headless GL context: key order of nodes,
// local and world matrices, vertex buffers drawn through the scene graph,
// cameras and lights, and the scene manager.
#include <GL/gl.h>

#include "scene/Scene.h"
#include "scene/SceneManager.h"
#include "tests/collada/ColladaTestSupport.h"
#include "tests/support/HeadlessGL.h"

using ZEPHRAN_STAGEMILL::Matrix4;

namespace {

class SceneTest : public ColladaTest {
protected:
    void SetUp() override {
        ColladaTest::SetUp();
        ASSERT_NO_FATAL_FAILURE(headless::openWindow(32, 32, StmRunOptions(), ""));
        ASSERT_TRUE(loadGLExtensions());
    }
    void TearDown() override {
        stmShutDown();
        ColladaTest::TearDown();
    }
    Scene* build(const std::string& body) {
        load(body);
        return buildScene(document);
    }
};

std::string visualScene(const std::string& nodes, const char* id = "vs") {
    return std::string("<library_visual_scenes><visual_scene id=\"") + id + "\" name=\"S\">" + nodes +
           "</visual_scene></library_visual_scenes>";
}

// One triangle covering most of the unit square around the origin, as two
// primitives of one mesh so that the second draws through the chain.
const char* const kTriangleMesh =
    "<library_geometries><geometry id=\"tri\"><mesh><source id=\"p\"><float_array>-1 -1 0 1 -1 0 -1 1 0 "
    "1 1 0</float_array><technique_common><accessor count=\"4\" stride=\"3\"/></technique_common></source>"
    "<vertices id=\"v\"><input semantic=\"POSITION\" source=\"#p\"/></vertices>"
    "<triangles count=\"1\"><input semantic=\"VERTEX\" source=\"#v\" offset=\"0\"/><p>0 1 2</p></triangles>"
    "<triangles count=\"1\"><input semantic=\"VERTEX\" source=\"#v\" offset=\"0\"/><p>1 3 2</p></triangles>"
    "</mesh></geometry></library_geometries>";

// Red share of the pixel at (x, y) after drawing the scene in red on black.
int redAt(Scene* scene, bool skipMaterials, int x, int y) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(1, 0, 0);
    scene->draw(skipMaterials);
    unsigned char pixel[4] = {0, 0, 0, 0};
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return pixel[0];
}

} // namespace

TEST_F(SceneTest, NodesAreIndexedInKeyOrderWithRootAndEmptyKey) {
    Scene* scene = build(visualScene("<node id=\"b\"/><node id=\"a\"><node name=\"anonymous\"/></node>") +
                         visualScene("<node id=\"zz\"/>", "earlier"));
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->name, "S");
    ASSERT_EQ(scene->getNodeCount(), 4u);
    EXPECT_EQ(scene->nodes.getKey(0), "");
    EXPECT_EQ(scene->getNode(0)->name, "anonymous");
    EXPECT_EQ(scene->nodes.getKey(1), "a");
    EXPECT_EQ(scene->nodes.getKey(2), "b");
    EXPECT_EQ(scene->getNode(3), scene->root);
    EXPECT_EQ(scene->root->name, "S");
    EXPECT_EQ(scene->getNode(0)->parent, scene->getNode(1));
    EXPECT_EQ(buildScene(load("")), nullptr);
}

TEST_F(SceneTest, DrawNodeUpdatesWorldFromTheParentsLocal) {
    Scene* scene =
        build(visualScene("<node id=\"p\"><translate>1 2 3</translate><node id=\"c\">"
                          "<translate>10 0 0</translate><node id=\"g\"><translate>0 5 0</translate>"
                          "<instance_geometry url=\"#unknown\"/></node></node></node>"));
    SceneNode* c = scene->nodes.find("c");
    SceneNode* g = scene->nodes.find("g");
    EXPECT_EQ(g->mesh, nullptr);
    EXPECT_EQ(c->getWorldPosition().x, 0.0f); // never drawn: identity world
    Matrix4 rootWorld = scene->root->world;
    scene->draw(true);
    EXPECT_EQ(c->getWorldPosition().x, 11.0f);
    EXPECT_EQ(c->getWorldPosition().y, 2.0f);
    // The parent's local matrix only, not its world matrix.
    EXPECT_EQ(g->getWorldPosition().x, 10.0f);
    EXPECT_EQ(g->getWorldPosition().y, 5.0f);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(scene->root->world[i], rootWorld[i]);
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
}

// buildNodes itself: the first transformation written is the outermost, so
// a point is scaled, then rotated, then moved. The expected points are worked
// out by hand, not with the product under test.
TEST_F(SceneTest, BuildNodesAppliesTransformationsInDocumentOrder) {
    Scene* scene =
        build(visualScene("<node id=\"n\"><translate>1 2 3</translate><rotate>0 0 1 90</rotate>"
                          "<scale>2 2 2</scale></node>"));
    ASSERT_NE(scene, nullptr);
    const Matrix4& local = scene->nodes.find("n")->local;
    ZEPHRAN_STAGEMILL::Vector p = local * ZEPHRAN_STAGEMILL::Vector(1, 0, 0, 1);
    // (1,0,0) scaled to (2,0,0), turned a quarter about z to (0,-2,0) (rotate
    // negates its angle), moved to (1,0,3). The product reversed gives (4,-4,6).
    EXPECT_NEAR(p.x, 1.0f, 1e-5f);
    EXPECT_NEAR(p.y, 0.0f, 1e-5f);
    EXPECT_NEAR(p.z, 3.0f, 1e-5f);
    EXPECT_NEAR(p.w, 1.0f, 1e-6f);
}

TEST_F(SceneTest, MeshesDrawThroughVertexBuffersAndChains) {
    Scene* scene =
        build(std::string(kTriangleMesh) + visualScene("<node id=\"n\"><instance_geometry url=\"#tri\"/></node>"));
    MeshVBO* mesh = scene->meshVBOs.find("tri");
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->chained.size(), 1u);
    EXPECT_NE(mesh->attributes.get(0)->bufferId, 0u);
    EXPECT_EQ(scene->nodes.find("n")->mesh, mesh);
    for (bool skip : {true, false}) {
        EXPECT_EQ(redAt(scene, skip, 4, 4), 255);   // first primitive
        EXPECT_EQ(redAt(scene, skip, 28, 28), 255); // chained primitive
    }
    EXPECT_NE(mesh->indexBufferId, 0u);
    GLint bound = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING_ARB, &bound);
    EXPECT_EQ(bound, 0);
    glGetIntegerv(GL_ELEMENT_ARRAY_BUFFER_BINDING_ARB, &bound);
    EXPECT_EQ(bound, 0);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
}

// A culling scene draws what reaches into the view, even by a corner, and
// leaves out only what lies wholly outside it; world matrices follow either way.
TEST_F(SceneTest, CullingLeavesOutOnlyMeshesWhollyOutsideTheView) {
    Scene* scene =
        build(std::string(kTriangleMesh) + visualScene("<node id=\"n\"><instance_geometry url=\"#tri\"/></node>"));
    SceneNode* node = scene->nodes.find("n");
    scene->cullOutsideView = true;
    // Moved right by 1.9 the square keeps x in [0.9, 1] of the view: the
    // rightmost pixel column (x = 31 of 32 covers 0.9375..1).
    node->local = Matrix4().makeTranslation(1.9f, 0.0f, 0.0f);
    EXPECT_EQ(redAt(scene, true, 31, 16), 255);
    EXPECT_EQ(redAt(scene, true, 0, 16), 0);
    node->local = Matrix4().makeTranslation(2.1f, 0.0f, 0.0f);
    EXPECT_EQ(redAt(scene, true, 31, 16), 0);
    EXPECT_EQ(node->getWorldPosition().x, 2.1f) << "a culled node's world still follows";
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
}

TEST_F(SceneTest, CamerasAndLightsFindTheirNodes) {
    Scene* scene = build(
        "<library_cameras><camera id=\"x\"><optics><technique_common><perspective><xfov>40</xfov><yfov>10</yfov>"
        "<aspect_ratio>2</aspect_ratio><znear>0.5</znear><zfar>90</zfar></perspective></technique_common>"
        "</optics></camera><camera id=\"y\"><optics><technique_common><perspective><yfov>30</yfov>"
        "<znear/></perspective></technique_common></optics></camera><camera id=\"o\"><optics>"
        "<technique_common><orthographic><xmag>1</xmag><znear>3</znear></orthographic></technique_common>"
        "</optics></camera></library_cameras><library_lights><light id=\"l\"><technique_common><point>"
        "<color>1 0.5 0.25</color></point></technique_common></light><light id=\"short\"><technique_common>"
        "<ambient><color>1 1</color></ambient></technique_common></light></library_lights>" +
        visualScene("<node id=\"m\"><instance_light url=\"#l\"/></node><node id=\"k\"><instance_light url=\"#l\"/>"
                    "<instance_camera url=\"#x\"/></node>"));
    Camera* x = scene->cameras.find("x");
    ASSERT_NE(x, nullptr);
    EXPECT_EQ(x->fov, 40.0f);
    EXPECT_EQ(x->aspectRatio, 2.0f);
    EXPECT_EQ(x->zNear, 0.5f);
    EXPECT_EQ(x->zFar, 90.0f);
    EXPECT_EQ(x->node, scene->nodes.find("k"));
    EXPECT_EQ(scene->cameras.find("y")->fov, 0.0f);
    EXPECT_EQ(scene->cameras.find("y")->node, nullptr);
    EXPECT_EQ(scene->cameras.find("o")->zNear, 0.0f);
    Light* l = scene->lights.find("l");
    EXPECT_EQ(l->node, scene->nodes.find("m")); // "m" sorts after "k"
    EXPECT_EQ(l->type, Collada::LIGHT_POINT);
    EXPECT_EQ(l->colour.y, 0.5f);
    EXPECT_EQ(scene->lights.find("short")->colour.x, 0.0f);
    std::string text = log();
    EXPECT_NE(text.find("YFov used but no aspect ratio was provided."), std::string::npos);
    EXPECT_NE(text.find("No ortho camera support yet implemented."), std::string::npos);
    EXPECT_NE(text.find("camera 'y': <znear> holds no number"), std::string::npos);
    EXPECT_NE(text.find("light 'short': <color> holds 2 numbers, expected 3"), std::string::npos);
}

TEST_F(SceneTest, SceneManagerIsASingleton) {
    SceneManager* manager = SceneManager::create();
    ASSERT_NE(manager, nullptr);
    EXPECT_NE(log().find("SceneManager::create(): SceneManager instance created\n"), std::string::npos);
    try {
        SceneManager::create();
        ADD_FAILURE() << "a second instance was made";
    } catch (const char* message) {
        EXPECT_STREQ(message, "One instance of class SceneManager already running");
    }
    manager->release();
}
