// imagesheet DATA.PAK FONTDIR OUT.png [NAME...]: a contact sheet of every
// image the program names, read back from the archive as the engine will
// read it; with names, only those, in larger tiles, for a closer look.
// Alpha images sit on a checkerboard; each cube map is also shown as an
// unfolded cross so seams show; the vignettes are shown once more as the
// scenes use them (black at half strength over their backgrounds), to check
// that they darken the borders and leave the middle alone.
#include "Image.h"
#include "Pak.h"
#include "Type.h"
#include "data/members.h"

#include <stb_image.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// Decoded member as RGBA floats, grey expanded with alpha = grey.
struct Picture {
    int w = 0, h = 0, channels = 0;
    std::vector<float> rgba;
    const float* at(int x, int y) const { return &rgba[(static_cast<size_t>(y) * w + x) * 4]; }
};

bool load(const pak::Reader& pak, const std::string& name, Picture& pic, std::string& error) {
    std::vector<unsigned char> bytes;
    if (!pak.read(name, bytes)) {
        error = name + ": not in the archive";
        return false;
    }
    unsigned char* px =
        stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &pic.w, &pic.h, &pic.channels, 4);
    if (!px) {
        error = name + ": " + stbi_failure_reason();
        return false;
    }
    pic.rgba.resize(static_cast<size_t>(pic.w) * pic.h * 4);
    for (size_t i = 0; i < pic.rgba.size(); ++i) pic.rgba[i] = px[i] / 255.0f;
    if (pic.channels <= 2)
        for (size_t i = 0; i < pic.rgba.size(); i += 4) pic.rgba[i + 3] = pic.rgba[i];
    stbi_image_free(px);
    return true;
}

constexpr int kLabel = 30, kPad = 14;
int kTile = 240, kColumns = 6;

class Sheet {
public:
    Sheet(int cells, const std::string& fontDir)
        : rows_((cells + kColumns - 1) / kColumns),
          img_(kColumns * (kTile + kPad) + kPad, rows_ * (kTile + kLabel + kPad) + kPad, 3),
          font_(fontDir + "/DejaVuSans.ttf") {
        for (int y = 0; y < img_.height(); ++y)
            for (int x = 0; x < img_.width(); ++x) img_.set(x, y, gen::Col(0.13f, 0.13f, 0.14f));
    }

    // Places the picture (scaled to fit, nearest texel) into the next cell;
    // `sample` maps cell coordinates 0..1 to a colour and coverage.
    template <typename F>
    void cell(const std::string& label, float aspect, F sample) {
        int cx = kPad + (n_ % kColumns) * (kTile + kPad), cy = kPad + (n_ / kColumns) * (kTile + kLabel + kPad);
        ++n_;
        int w = aspect >= 1 ? kTile : static_cast<int>(kTile * aspect);
        int h = aspect >= 1 ? static_cast<int>(kTile / aspect) : kTile;
        int ox = cx + (kTile - w) / 2, oy = cy + (kTile - h) / 2;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                bool checker = ((x / 12) + (y / 12)) & 1;
                gen::Col back = checker ? gen::Col(0.42f, 0.42f, 0.45f) : gen::Col(0.25f, 0.25f, 0.27f);
                float a;
                gen::Col c = sample((x + 0.5f) / w, (y + 0.5f) / h, a);
                img_.set(ox + x, oy + y, gen::mix(back, c, a));
            }
        gen::drawCaption(img_, font_, label, cx, cy + kTile, kTile, kLabel, 20, 15);
    }

    bool write(const std::string& path) const { return img_.write(path); }

private:
    int rows_, n_ = 0;
    gen::Image img_;
    gen::Font font_;
};

gen::Col texel(const Picture& p, float u, float v, float& alpha) {
    int x = std::min(p.w - 1, static_cast<int>(u * p.w)), y = std::min(p.h - 1, static_cast<int>(v * p.h));
    const float* c = p.at(x, y);
    alpha = c[3];
    return gen::Col(c[0], c[1], c[2]);
}

std::string describe(const zdata::Member& m, const Picture& p) {
    const char* kind = p.channels == 1 ? "grey" : p.channels == 3 ? "RGB" : p.channels == 4 ? "RGBA" : "?";
    char buf[160];
    std::snprintf(buf, sizeof buf, "%s  %dx%d %s", m.name, p.w, p.h, kind);
    return buf;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: imagesheet DATA.PAK FONTDIR OUT.png [NAME...]\n");
        return 2;
    }
    pak::Reader pak(argv[1]);
    if (!pak.ok()) {
        std::fprintf(stderr, "imagesheet: %s\n", pak.error().c_str());
        return 1;
    }
    std::vector<const zdata::Member*> images;
    std::vector<Picture> pictures;
    std::vector<std::string> only(argv + 4, argv + argc);
    for (const zdata::Member& m : zdata::kMembers) {
        if (m.kind != zdata::Kind::Image) continue;
        Picture p;
        std::string error;
        if (!load(pak, m.name, p, error)) {
            std::fprintf(stderr, "imagesheet: %s\n", error.c_str());
            return 1;
        }
        images.push_back(&m);
        pictures.push_back(std::move(p));
    }
    auto find = [&](const char* name) -> const Picture& {
        for (size_t i = 0; i < images.size(); ++i)
            if (std::strcmp(images[i]->name, name) == 0) return pictures[i];
        return pictures[0];
    };
    struct Use {
        const char* vignette;
        const char* background;
        float strength;
    };
    if (!only.empty()) {
        kTile = 512;
        kColumns = 2;
        Sheet closer(static_cast<int>(only.size()), argv[2]);
        for (const std::string& name : only) {
            const zdata::Member* m = zdata::findMember(name.c_str());
            if (!m || m->kind != zdata::Kind::Image) {
                std::fprintf(stderr, "imagesheet: '%s' is not an image member\n", name.c_str());
                return 1;
            }
            const Picture& p = find(m->name);
            closer.cell(describe(*m, p), static_cast<float>(p.w) / p.h,
                        [&](float u, float v, float& a) { return texel(p, u, v, a); });
        }
        return closer.write(argv[3]) ? 0 : 1;
    }
    const Use uses[] = {
        {"vignet.jpg", "bg4.png", 0.5f}, {"vignet.jpg", "bg2.png", 0.42f}, {"vignet2.jpg", "bg5.png", 0.595f}};
    const int crosses = 2, usesCount = sizeof uses / sizeof uses[0];
    Sheet sheet(static_cast<int>(images.size()) + crosses + usesCount, argv[2]);
    for (size_t i = 0; i < images.size(); ++i) {
        const Picture& p = pictures[i];
        sheet.cell(describe(*images[i], p), static_cast<float>(p.w) / p.h,
                   [&](float u, float v, float& a) { return texel(p, u, v, a); });
    }
    // Unfolded crosses: +Y above, then -X +Z +X -Z, then -Y below +Z.
    const char* prefixes[crosses] = {"", "dark_"};
    const char* faceNames[6] = {"px.png", "nx.png", "py.png", "ny.png", "pz.png", "nz.png"};
    const int layout[3][4] = {{-1, 2, -1, -1}, {1, 4, 0, 5}, {-1, 3, -1, -1}};
    for (int c = 0; c < crosses; ++c) {
        const Picture* faces[6];
        for (int f = 0; f < 6; ++f) faces[f] = &find((std::string(prefixes[c]) + faceNames[f]).c_str());
        sheet.cell(std::string(prefixes[c]) + "cube, unfolded", 4.0f / 3.0f, [&](float u, float v, float& a) {
            float gu = u * 4, gv = v * 3;
            int fx = std::min(3, static_cast<int>(gu)), fy = std::min(2, static_cast<int>(gv));
            int f = layout[fy][fx];
            if (f < 0) {
                a = 0;
                return gen::Col();
            }
            return texel(*faces[f], gu - fx, gv - fy, a);
        });
    }
    for (const Use& use : uses) {
        const Picture &vig = find(use.vignette), &bg = find(use.background);
        sheet.cell(std::string(use.vignette) + " over " + use.background, 16.0f / 9.0f,
                   [&](float u, float v, float& a) {
                       float va, ba;
                       texel(vig, u, v, va);
                       gen::Col c = texel(bg, u, v, ba);
                       a = 1;
                       return c * (1 - va * use.strength);
                   });
    }
    if (!sheet.write(argv[3])) {
        std::fprintf(stderr, "imagesheet: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
