// Pictures with type, set with stb_truetype in the DejaVu family: the credits
// (white names, pink roles, lilac notes, a soft dark halo so they read over any frame),
// the launcher banner and the window icon.
#include "Generators.h"
#include "Type.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace gen {
namespace {

// How a line is inked: white names, pink headings, lilac grey notes.
enum class Ink { White, Pink, Muted };

struct Style {
    const char* font;
    float px;
    float tracking;
    float lineHeight;
    Ink ink;
};

// Credits line styles by the tag before '|' in the credits text.
const std::map<std::string, Style>& styles() {
    static const std::map<std::string, Style> s = {
        {"title", {"DejaVuSans-Bold.ttf", 124, 14, 150, Ink::White}},
        {"sub", {"DejaVuSansCondensed.ttf", 36, 6, 64, Ink::Pink}},
        {"role", {"DejaVuSansCondensed-Bold.ttf", 30, 9, 44, Ink::Pink}},
        {"name", {"DejaVuSans.ttf", 44, 1, 62, Ink::White}},
        {"note", {"DejaVuSansCondensed.ttf", 28, 2, 40, Ink::Muted}},
        {"gap", {"DejaVuSans.ttf", 0, 0, 40, Ink::White}},
    };
    return s;
}

} // namespace

void makeCredits(Image& img, const Context& ctx) {
    std::ifstream in(ctx.creditsPath);
    if (!in) throw std::runtime_error("cannot read credits text " + ctx.creditsPath);
    struct Line {
        const Style* style;
        std::string text;
    };
    std::vector<Line> lines;
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        if (raw.empty() || raw[0] == '#') continue;
        size_t bar = raw.find('|');
        std::string tag = raw.substr(0, bar);
        auto it = styles().find(tag);
        if (it == styles().end())
            throw std::runtime_error(ctx.creditsPath + ":" + std::to_string(number) + ": unknown style '" + tag +
                                     "' (expected title, sub, role, name, note or gap)");
        lines.push_back({&it->second, bar == std::string::npos ? "" : raw.substr(bar + 1)});
    }
    std::map<std::string, std::unique_ptr<Font>> fonts;
    float total = 0;
    for (const Line& l : lines) {
        total += l.style->lineHeight;
        if (!fonts.count(l.style->font))
            fonts[l.style->font] = std::make_unique<Font>(ctx.fontDir + "/" + l.style->font);
    }
    int w = img.width(), h = img.height();
    if (total > h)
        throw std::runtime_error(ctx.creditsPath + ": the lines need " + std::to_string(int(total)) +
                                 " pixels, the picture has " + std::to_string(h));
    const Col inks[3] = {Col(1, 1, 1), Col(art::kPink), mix(Col(1, 1, 1), Col(art::kPink), 0.35f) * 0.8f};
    std::vector<Coverage> type(3, Coverage(w, h));
    float y = (h - total) / 2;
    for (const Line& l : lines) {
        y += l.style->lineHeight;
        if (l.style->px > 0)
            drawCentred(type[static_cast<int>(l.style->ink)], *fonts[l.style->font], l.text, w / 2.0f,
                        y - l.style->lineHeight * 0.22f, l.style->px, l.style->tracking);
    }
    // Halo: the blurred union of all type, as a dark backing.
    Image halo(w, h, 1);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) halo.at(i, j)[0] = std::max({type[0].at(i, j), type[1].at(i, j), type[2].at(i, j)});
    halo.blurChannel(0, 9);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            float t = 0, sum = 0;
            Col ink(0, 0, 0);
            for (int k = 0; k < 3; ++k) {
                float c = type[k].at(i, j);
                t = std::max(t, c);
                sum += c;
                ink = ink + inks[k] * c;
            }
            float hal = clamp01(halo.at(i, j)[0] * 1.6f) * 0.55f;
            float a = t + hal * (1 - t);
            Col c = t > 0 ? ink * (1.0f / sum) * (t / std::max(a, 1e-6f)) : Col(0, 0, 0);
            img.set(i, j, c, a);
        }
}

void makeBanner(Image& img, const Context& ctx) {
    int w = img.width(), h = img.height();
    Font bold(ctx.fontDir + "/DejaVuSans-Bold.ttf"), cond(ctx.fontDir + "/DejaVuSansCondensed.ttf");
    Coverage title(w, h), sub(w, h);
    drawCentred(title, bold, "ZEPHRAN", w / 2.0f, 70, 58, 10);
    drawCentred(sub, cond, "EMBERFALL \xc2\xb7 2010", w / 2.0f, 100, 20, 7);
    Image glow(w, h, 1);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) glow.at(i, j)[0] = title.at(i, j);
    glow.blurChannel(0, 8);
    const art::Rgb stripes[5] = {art::kPink, art::kGreen, art::kLightGreen, art::kYellow, art::kOrange};
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            float x = (i + 0.5f) / w - 0.5f, y = (j + 0.5f) / h - 0.5f;
            float r = std::sqrt(x * x * 1.5f + y * y * 3);
            Col c = mix(Col(art::kPlum) * 1.1f, Col(art::kNight), smooth(0.0f, 0.8f, r));
            c = screen(c, Col(art::kMagenta) * (clamp01(glow.at(i, j)[0] * 2.2f) * 0.7f));
            c = mix(c, Col(1, 1, 1), title.at(i, j));
            c = mix(c, Col(art::kPink), sub.at(i, j));
            if (j >= h - 5) c = Col(stripes[std::min(4, i * 5 / w)]);
            img.set(i, j, c);
        }
}

void makeIcon(Image& img, const Context& ctx) {
    int n = img.width();
    Font bold(ctx.fontDir + "/DejaVuSans-Bold.ttf");
    Coverage z(n, n);
    drawCentred(z, bold, "Z", n / 2.0f, n * 0.76f, n * 0.78f, 0);
    for (int j = 0; j < n; ++j)
        for (int i = 0; i < n; ++i) {
            // Rounded square, anti-aliased by distance.
            float x = std::fabs(i + 0.5f - n / 2.0f), y = std::fabs(j + 0.5f - n / 2.0f);
            float half = n / 2.0f - 1, rad = n * 0.2f;
            float qx = std::max(x - (half - rad), 0.0f), qy = std::max(y - (half - rad), 0.0f);
            float d = std::sqrt(qx * qx + qy * qy) - rad;
            float alpha = clamp01(0.5f - d);
            Col c = mix(Col(art::kPlum) * 1.3f, Col(art::kNight), clamp01((j + 0.5f) / n));
            c = mix(c, Col(art::kPink), z.at(i, j));
            if (j > n * 0.8f && j < n * 0.86f && x < n * 0.22f) c = Col(art::kGreen);
            img.set(i, j, c, alpha);
        }
}

} // namespace gen
