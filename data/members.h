// The archive members the program names, with the shape each one's use needs.
// The image generator sizes its output from this table and the members test
// checks the built data.pak against it, so a name or size lives in one place.
#pragma once

namespace zdata {

enum class Kind { Image, Scene };

// What a member's use requires beyond existing and decoding.
enum Need : unsigned {
    kNone = 0,
    kPowerOfTwo = 1u << 0, // uploaded with mipmaps or repeated: both sides 2^n
    kAlpha = 1u << 1,      // drawn blended: grey (alpha = grey) or RGBA with varying alpha
    kEnvFace = 1u << 2,    // face of the bright environment cube ("px.png" ...)
    kDarkFace = 1u << 3,   // face of the dark sky cube ("dark_px.png" ...)
    kTileable = 1u << 4,   // sampled with world-space coordinates: wraps without a seam
    kVignette = 1u << 5,   // grey frame: bright at the borders, black in the middle
};

struct Member {
    const char* name;
    Kind kind;
    int width; // images only
    int height;
    int channels; // 1 grey, 3 RGB, 4 RGBA as stored in the file
    unsigned needs;
};

constexpr unsigned kFaceNeeds = kPowerOfTwo;
constexpr int kFaceSize = 512;

inline constexpr Member kMembers[] = {
    // Environment cube: reflections on the logo, cubes, slices, spheres, primitives.
    {"px.png", Kind::Image, kFaceSize, kFaceSize, 3, kFaceNeeds | kEnvFace},
    {"nx.png", Kind::Image, kFaceSize, kFaceSize, 3, kFaceNeeds | kEnvFace},
    {"py.png", Kind::Image, kFaceSize, kFaceSize, 3, kFaceNeeds | kEnvFace},
    {"ny.png", Kind::Image, kFaceSize, kFaceSize, 3, kFaceNeeds | kEnvFace},
    {"pz.png", Kind::Image, kFaceSize, kFaceSize, 3, kFaceNeeds | kEnvFace},
    {"nz.png", Kind::Image, kFaceSize, kFaceSize, 3, kFaceNeeds | kEnvFace},
    // Dark sky cube, drawn as a tinted sky box.
    {"dark_px.png", Kind::Image, kFaceSize, kFaceSize, 3, kFaceNeeds | kDarkFace},
    {"dark_nx.png", Kind::Image, kFaceSize, kFaceSize, 3, kFaceNeeds | kDarkFace},
    {"dark_py.png", Kind::Image, kFaceSize, kFaceSize, 3, kFaceNeeds | kDarkFace},
    {"dark_ny.png", Kind::Image, kFaceSize, kFaceSize, 3, kFaceNeeds | kDarkFace},
    {"dark_pz.png", Kind::Image, kFaceSize, kFaceSize, 3, kFaceNeeds | kDarkFace},
    {"dark_nz.png", Kind::Image, kFaceSize, kFaceSize, 3, kFaceNeeds | kDarkFace},
    // Full-screen backgrounds, one per scene.
    {"bg1.png", Kind::Image, 1024, 512, 3, kPowerOfTwo},
    {"bg2.png", Kind::Image, 1024, 512, 3, kPowerOfTwo},
    {"bg3.png", Kind::Image, 1024, 512, 3, kPowerOfTwo},
    {"bg4.png", Kind::Image, 1024, 512, 3, kPowerOfTwo},
    {"bg5.png", Kind::Image, 1024, 512, 3, kPowerOfTwo},
    // Overlays and sprites.
    {"vignet.jpg", Kind::Image, 512, 512, 1, kPowerOfTwo | kAlpha | kVignette},
    {"vignet2.jpg", Kind::Image, 512, 512, 1, kPowerOfTwo | kAlpha | kVignette},
    {"logo_splat.jpg", Kind::Image, 1024, 1024, 3, kPowerOfTwo},
    {"zprn_flare_blur.jpg", Kind::Image, 256, 256, 3, kPowerOfTwo},
    {"flare_blur.jpg", Kind::Image, 256, 256, 3, kPowerOfTwo},
    {"circle_alpha.png", Kind::Image, 128, 128, 4, kPowerOfTwo | kAlpha},
    // Surface textures.
    {"test_layer.jpg", Kind::Image, 1024, 1024, 3, kPowerOfTwo},
    {"matsku.jpg", Kind::Image, 512, 512, 3, kPowerOfTwo},
    {"flower.jpg", Kind::Image, 256, 256, 3, kPowerOfTwo | kTileable},
    {"t_bg.png", Kind::Image, 1024, 512, 4, kPowerOfTwo | kAlpha},
    {"credits.png", Kind::Image, 1024, 1024, 4, kPowerOfTwo | kAlpha},
    // Launcher picture (213 x 64 dialog units at twice the size) and window icon.
    {"banner.png", Kind::Image, 426, 128, 3, kNone},
    {"icon.png", Kind::Image, 64, 64, 4, kAlpha},
    // Scenes.
    {"logo.dae", Kind::Scene, 0, 0, 0, kNone},
    {"chamfercube.dae", Kind::Scene, 0, 0, 0, kNone},
    {"geosphere.dae", Kind::Scene, 0, 0, 0, kNone},
    {"sliced_sphere.dae", Kind::Scene, 0, 0, 0, kNone},
    {"primitives.dae", Kind::Scene, 0, 0, 0, kNone},
};

inline constexpr const char* kBannerName = "banner.png";
inline constexpr const char* kIconName = "icon.png";

// Null when the name is not a member the program names.
inline const Member* findMember(const char* name) {
    for (const Member& m : kMembers) {
        const char* a = m.name;
        const char* b = name;
        while (*a && *a == *b) {
            ++a;
            ++b;
        }
        if (*a == 0 && *b == 0) return &m;
    }
    return nullptr;
}

} // namespace zdata
