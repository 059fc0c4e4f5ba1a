// genimages [--size N] OUTDIR FONTDIR CREDITS NAME...: paints the named
// archive images into OUTDIR, sized from the member table, or N x N with
// --size (the installed desktop icon is the archive's icon painted at 256).
// Output depends only on the sources, so every run gives the same bytes.
#include "CubeFace.h"
#include "Generators.h"
#include "data/members.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>

namespace {

typedef void (*Maker)(gen::Image&, const gen::Context&);

struct Entry {
    const char* name;
    Maker make;
};

const Entry kMakers[] = {
    {"bg1.png", gen::makeBackground1},
    {"bg2.png", gen::makeBackground2},
    {"bg3.png", gen::makeBackground3},
    {"bg4.png", gen::makeBackground4},
    {"bg5.png", gen::makeBackground5},
    {"vignet.jpg", gen::makeVignette},
    {"vignet2.jpg", gen::makeVignette2},
    {"logo_splat.jpg", gen::makeLogoSplat},
    {"zprn_flare_blur.jpg", gen::makeEmberFlare},
    {"flare_blur.jpg", gen::makeGlowFlare},
    {"circle_alpha.png", gen::makeSoftCircle},
    {"test_layer.jpg", gen::makeFloorLayer},
    {"matsku.jpg", gen::makeTrailTexture},
    {"flower.jpg", gen::makeFlowerSkin},
    {"t_bg.png", gen::makePictureLayer},
    {"credits.png", gen::makeCredits},
    {"banner.png", gen::makeBanner},
    {"icon.png", gen::makeIcon},
};

Maker makerFor(const zdata::Member& m) {
    if (m.needs & zdata::kEnvFace) return gen::makeEnvFace;
    if (m.needs & zdata::kDarkFace) return gen::makeDarkFace;
    for (const Entry& e : kMakers)
        if (std::strcmp(e.name, m.name) == 0) return e.make;
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    int size = 0;
    if (argc > 2 && std::strcmp(argv[1], "--size") == 0) {
        size = std::atoi(argv[2]);
        argc -= 2;
        argv += 2;
    }
    if (argc < 5 || size < 0 || size > 4096) {
        std::fprintf(stderr, "usage: genimages [--size N] OUTDIR FONTDIR CREDITS NAME...\n");
        return 2;
    }
    for (int i = 4; i < argc; ++i) {
        const zdata::Member* m = zdata::findMember(argv[i]);
        Maker make = m && m->kind == zdata::Kind::Image ? makerFor(*m) : nullptr;
        if (!make) {
            std::fprintf(stderr, "genimages: '%s' is not an image of the archive's member table\n", argv[i]);
            return 1;
        }
        gen::Context ctx{m->name, argv[2], argv[3]};
        gen::Image img(size ? size : m->width, size ? size : m->height, m->channels);
        try {
            make(img, ctx);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "genimages: %s: %s\n", m->name, e.what());
            return 1;
        }
        std::string path = std::string(argv[1]) + "/" + m->name;
        if (!img.write(path)) {
            std::fprintf(stderr, "genimages: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
