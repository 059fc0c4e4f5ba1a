// Runtime animations: properties, degree conversion, keys from every input
// kind, the stable sort, and sources that do not hold enough values.
#include "scene/Scene.h"
#include "tests/collada/ColladaTestSupport.h"

namespace {

// One animation of node `node` driving `attribute`, with INPUT and OUTPUT
// sources and any extra sampler inputs/sources.
std::string animation(const std::string& id, const std::string& target, const std::string& times,
                      const std::string& values, const std::string& extra = "") {
    return "<animation id=\"" + id + "\"><source id=\"" + id + "-t\"><float_array>" + times +
           "</float_array></source><source id=\"" + id + "-o\"><float_array>" + values + "</float_array></source>" +
           extra + "<sampler><input semantic=\"INPUT\" source=\"#" + id +
           "-t\"/><input semantic=\"OUTPUT\" source=\"#" + id + "-o\"/>" +
           (extra.empty() ? ""
                          : "<input semantic=\"INTERPOLATION\" source=\"#" + id +
                                "-i\"/>"
                                "<input semantic=\"IN_TANGENT\" source=\"#" +
                                id + "-in\"/>") +
           "</sampler><channel target=\"" + target + "\"/></animation>";
}

class AnimationTest : public ColladaTest {
protected:
    Scene* build(const std::string& animations) {
        load("<library_animations>" + animations +
             "</library_animations><library_visual_scenes>"
             "<visual_scene id=\"vs\"><node id=\"n\"/></visual_scene></library_visual_scenes>");
        return buildScene(document);
    }
};

} // namespace

TEST_F(AnimationTest, PropertiesAreSortedStablyAndBoundToTheirNode) {
    Scene* scene = build(animation("a1", "n/translate.Y", "0", "1") + animation("a2", "n/RotZ.ANGLE", "0", "1") +
                         animation("a3", "n/scale.X", "0", "1") + animation("a4", "n/translation.Y", "0", "2") +
                         animation("a5", "gone/rotation_x.ANGLE", "0", "3"));
    const auto& list = scene->player->animations;
    ASSERT_EQ(list.size(), 5u);
    int expected[] = {PROPERTY_ROTATION_Z, PROPERTY_ROTATION_X, PROPERTY_SCALE_X, PROPERTY_TRANSLATION_Y,
                      PROPERTY_TRANSLATION_Y};
    for (unsigned i = 0; i < 5; ++i) EXPECT_EQ(list.get(i)->property, expected[i]) << i;
    EXPECT_EQ(list.get(0)->target, scene->nodes.find("n"));
    EXPECT_EQ(list.get(1)->target, nullptr);
    EXPECT_EQ(list.get(1)->keyframes.size(), 1u);
    // Equal properties keep their key order: a1 before a4.
    EXPECT_EQ(list.get(3)->keyframes.get(0)->value, 1.0f);
    EXPECT_EQ(list.get(4)->keyframes.get(0)->value, 2.0f);
}

TEST_F(AnimationTest, KeysTakeEveryInputAndRotationsBecomeRadians) {
    std::string extra =
        "<source id=\"r-i\"><Name_array>STEP LINEAR BEZIER</Name_array></source>"
        "<source id=\"r-in\"><float_array>0.5 90 1.5 180 2.5 -90</float_array></source>";
    Scene* scene = build(animation("r", "n/rotation_y.ANGLE", "1 2 4", "90 0 -90", extra) +
                         animation("t", "n/translate.X", "0 1", "90 91"));
    const Animation* r = scene->player->animations.get(0);
    ASSERT_EQ(r->property, PROPERTY_ROTATION_Y);
    ASSERT_EQ(r->keyframes.size(), 3u);
    EXPECT_EQ(r->startTime, 1.0f);
    EXPECT_EQ(r->endTime, 4.0f);
    const AnimationKeyFrame* k = r->keyframes.get(0);
    EXPECT_EQ(k->value, static_cast<float>(90 * static_cast<double>(0.01745f)));
    EXPECT_FLOAT_EQ(k->value, 1.5705f);
    EXPECT_EQ(k->inTangentTime, 0.5f);
    EXPECT_FLOAT_EQ(k->inTangentValue, 1.5705f);
    EXPECT_EQ(k->interpolation, INTERPOLATION_STEP);
    EXPECT_EQ(r->keyframes.get(1)->interpolation, INTERPOLATION_LINEAR);
    EXPECT_EQ(r->keyframes.get(2)->interpolation, INTERPOLATION_BEZIER);
    EXPECT_EQ(r->keyframes.get(2)->inTangentTime, 2.5f);
    EXPECT_EQ(scene->player->animations.get(1)->keyframes.get(0)->value, 90.0f);
}

TEST_F(AnimationTest, UnknownNamesAreLoggedAndKeylessAnimationsSpanZeroToOne) {
    std::string extra = "<source id=\"u-i\"><Name_array>HERMITE LINEAR HERMITE</Name_array></source>";
    Scene* scene = build(animation("u", "n/visibility", "0 1 2", "0 0 0", extra) +
                         "<animation id=\"empty\"><channel target=\"n/scale.Z\"/><animation>"
                         "<channel target=\"n/scale.Y\"/></animation></animation>");
    const Animation* empty = scene->player->animations.get(0);
    EXPECT_EQ(empty->property, PROPERTY_SCALE_Z);
    EXPECT_EQ(empty->startTime, 0.0f);
    EXPECT_EQ(empty->endTime, 1.0f);
    ASSERT_EQ(empty->children.size(), 1u);
    EXPECT_EQ(empty->children.get(0)->property, PROPERTY_SCALE_Y);
    EXPECT_EQ(scene->player->animations.get(1)->property, PROPERTY_UNKNOWN);
    std::string text = log();
    EXPECT_NE(text.find("Unknown animation type\nvisibility"), std::string::npos);
    size_t first = text.find(" Error: Unsupported interpolation type: HERMITE\n");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(text.find(" Error: Unsupported interpolation type: HERMITE\n", first + 1), std::string::npos);
}

TEST_F(AnimationTest, SourcesTooShortForTheKeysAreReportedAndUnused) {
    std::string extra =
        "<source id=\"s-i\"><Name_array>LINEAR</Name_array></source>"
        "<source id=\"s-in\"><float_array>1 2 3</float_array></source>";
    Scene* scene = build(animation("s", "n/scale.X", "0 1", "5", extra));
    const Animation* s = scene->player->animations.get(0);
    ASSERT_EQ(s->keyframes.size(), 2u);
    EXPECT_EQ(s->keyframes.get(1)->time, 1.0f);
    EXPECT_EQ(s->keyframes.get(0)->value, 0.0f);
    EXPECT_EQ(s->keyframes.get(0)->inTangentTime, 0.0f);
    std::string text = log();
    EXPECT_NE(text.find("source 's-o' holds 1 values for 2 keys"), std::string::npos);
    EXPECT_NE(text.find("source 's-in' holds 3 values for 2 keys"), std::string::npos);
    EXPECT_NE(text.find("source 's-i' holds 1 values for 2 keys"), std::string::npos);
}
