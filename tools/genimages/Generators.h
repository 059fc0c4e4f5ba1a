// The image generators: one function per archive image (cube faces take
// their face from the member name). Each fills an image already sized from
// the member table.
#pragma once

#include "Image.h"

#include <string>

namespace gen {

struct Context {
    std::string name;        // member name being made
    std::string fontDir;     // folder holding the DejaVu fonts
    std::string creditsPath; // credits text
};

void makeEnvFace(Image& img, const Context& ctx);
void makeDarkFace(Image& img, const Context& ctx);

void makeBackground1(Image& img, const Context& ctx);
void makeBackground2(Image& img, const Context& ctx);
void makeBackground3(Image& img, const Context& ctx);
void makeBackground4(Image& img, const Context& ctx);
void makeBackground5(Image& img, const Context& ctx);

void makeVignette(Image& img, const Context& ctx);
void makeVignette2(Image& img, const Context& ctx);
void makeLogoSplat(Image& img, const Context& ctx);
void makeEmberFlare(Image& img, const Context& ctx);
void makeGlowFlare(Image& img, const Context& ctx);
void makeSoftCircle(Image& img, const Context& ctx);

void makeFloorLayer(Image& img, const Context& ctx);
void makeTrailTexture(Image& img, const Context& ctx);
void makeFlowerSkin(Image& img, const Context& ctx);
void makePictureLayer(Image& img, const Context& ctx);

void makeCredits(Image& img, const Context& ctx);
void makeBanner(Image& img, const Context& ctx);
void makeIcon(Image& img, const Context& ctx);

} // namespace gen
