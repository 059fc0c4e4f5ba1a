// Effect base: position from the song time and each effect's fade rule.
#include "effects/Effect.h"

#include <gtest/gtest.h>

namespace {
class Probe : public Effect {
public:
    explicit Probe(const FadeRule& rule) : Effect(rule) {}
    void render(float position_, float fade_) override {
        position = position_;
        fade = fade_;
    }
    void at(float t) {
        time = t;
        draw();
    }
    float position = -1.0f, fade = -1.0f;
};
} // namespace

TEST(Effect, PositionSpansStartToEnd) {
    Probe p(FadeRules::logo());
    p.init(16668, 57875);
    p.at(16668.0f);
    EXPECT_EQ(p.position, 0.0f);
    EXPECT_EQ(p.fade, 0.0f);
    p.at(37271.5f);
    EXPECT_EQ(p.position, 0.5f);
    EXPECT_EQ(p.fade, 1.0f);
    p.at(57875.0f);
    EXPECT_EQ(p.position, 1.0f);
    EXPECT_EQ(p.fade, 0.0f);

    EXPECT_EQ(effectPosition(5.0f, 10, 10), 0.0f); // empty span: no NaN
    EXPECT_EQ(p.timer->step, 16);
    EXPECT_EQ(p.timer->maxSteps, 5);
}

TEST(Effect, FadeWindowsUseSinglePrecisionSpans) {
    const FadeRule logo = FadeRules::logo();
    EXPECT_EQ(logo.apply(0.05f), 0.05f / 0.1f);
    EXPECT_EQ(logo.apply(0.95f), 1.0f - (0.95f - 0.9f) / 0.100000024f);
    EXPECT_NE(logo.apply(0.95f), 1.0f - (0.95f - 0.9f) / 0.1f);

    const FadeRule plates = FadeRules::plates();
    EXPECT_EQ(plates.apply(0.05f), 0.5f);
    EXPECT_EQ(plates.apply(1.0f), 1.0f);

    EXPECT_EQ(FadeRules::growingMotikka().apply(0.98f), 1.0f - (0.98f - 0.965f) / 0.035000026f);
    EXPECT_EQ(FadeRules::slicedSphere().apply(0.03f), 0.5f);
    EXPECT_EQ(FadeRules::slicedSphere().apply(1.0f), 0.0f);
}

TEST(Effect, GrowPrimitivesAndParticleFlowerForms) {
    const FadeRule grow = FadeRules::growPrimitives();
    EXPECT_EQ(grow.apply(0.9375f), 0.5f);
    EXPECT_EQ(grow.apply(0.9f), 1.0f - (0.9f - 0.875f) * 8.0f);
    EXPECT_EQ(grow.apply(0.015f), 0.5f);

    const FadeRule flower = FadeRules::particleFlower();
    EXPECT_EQ(flower.apply(0.0f), 1.0f);
    EXPECT_EQ(flower.apply(0.9875f), 1.0f - (0.9875f - 0.975f) / 0.024999976f);
    EXPECT_EQ(flower.apply(1.0f), 0.0f);
    EXPECT_EQ(FadeRule::none().apply(0.0f), 1.0f);
}
