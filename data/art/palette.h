// The production's colours, shared by every generated image and scene so the
// whole archive keeps one art direction: the five accents the effects use for
// discs, trails and slices, the deep reds and purples of the sphere tables,
// and the dark grounds they sit on. Components are 0..1 sRGB.
#pragma once

namespace art {

struct Rgb {
    float r, g, b;
};

constexpr Rgb rgb8(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f}; }

// Accents.
constexpr Rgb kPink = rgb8(242, 60, 141);
constexpr Rgb kGreen = rgb8(109, 167, 20);
constexpr Rgb kLightGreen = rgb8(140, 196, 102);
constexpr Rgb kYellow = rgb8(240, 231, 68);
constexpr Rgb kOrange = rgb8(230, 123, 7);
// Sphere reds and purples.
constexpr Rgb kEmber = rgb8(180, 5, 0);
constexpr Rgb kLime = rgb8(160, 238, 5);
constexpr Rgb kMagenta = rgb8(205, 30, 116);
constexpr Rgb kTeal = rgb8(78, 193, 178);
constexpr Rgb kCream = rgb8(241, 218, 170);
// Grounds.
constexpr Rgb kNight = rgb8(6, 4, 12);
constexpr Rgb kAubergine = rgb8(44, 12, 38);
constexpr Rgb kPlum = rgb8(74, 16, 54);
constexpr Rgb kDeepTeal = rgb8(6, 30, 38);
constexpr Rgb kIndigo = rgb8(14, 10, 40);

} // namespace art
