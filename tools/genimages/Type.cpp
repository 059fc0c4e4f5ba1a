// Type setting on stb_truetype.
#include "Type.h"

#include "Image.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace gen {

Font::Font(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read font " + path);
    bytes_.assign(std::istreambuf_iterator<char>(in), {});
    if (!stbtt_InitFont(&info_, bytes_.data(), stbtt_GetFontOffsetForIndex(bytes_.data(), 0)))
        throw std::runtime_error("not a TrueType font: " + path);
}

namespace {

// Decodes one UTF-8 code point and advances p.
int nextCodepoint(const char*& p) {
    unsigned char c = static_cast<unsigned char>(*p++);
    if (c < 0x80) return c;
    int extra = c >= 0xf0 ? 3 : c >= 0xe0 ? 2 : 1;
    int cp = c & (0x3f >> extra);
    for (int i = 0; i < extra && *p; ++i) cp = (cp << 6) | (static_cast<unsigned char>(*p++) & 0x3f);
    return cp;
}

} // namespace

// Width in pixels of `text` at `px` with `tracking` extra pixels per letter.
float textWidth(const Font& f, const std::string& text, float px, float tracking) {
    float scale = stbtt_ScaleForPixelHeight(f.info(), px), x = 0;
    const char* p = text.c_str();
    int prev = 0;
    while (*p) {
        int cp = nextCodepoint(p);
        int adv, lsb;
        stbtt_GetCodepointHMetrics(f.info(), cp, &adv, &lsb);
        if (prev) x += scale * stbtt_GetCodepointKernAdvance(f.info(), prev, cp);
        x += adv * scale + tracking;
        prev = cp;
    }
    return x - tracking;
}

// Draws `text` with its baseline at y, starting at x.
void drawText(Coverage& cov, const Font& f, const std::string& text, float x, float y, float px, float tracking) {
    float scale = stbtt_ScaleForPixelHeight(f.info(), px);
    const char* p = text.c_str();
    int prev = 0;
    while (*p) {
        int cp = nextCodepoint(p);
        if (prev) x += scale * stbtt_GetCodepointKernAdvance(f.info(), prev, cp);
        int adv, lsb;
        stbtt_GetCodepointHMetrics(f.info(), cp, &adv, &lsb);
        float fx = x - std::floor(x);
        int x0, y0, x1, y1;
        stbtt_GetCodepointBitmapBoxSubpixel(f.info(), cp, scale, scale, fx, 0, &x0, &y0, &x1, &y1);
        int gw = x1 - x0, gh = y1 - y0;
        if (gw > 0 && gh > 0) {
            std::vector<unsigned char> glyph(static_cast<size_t>(gw) * gh);
            stbtt_MakeCodepointBitmapSubpixel(f.info(), glyph.data(), gw, gh, gw, scale, scale, fx, 0, cp);
            int ox = static_cast<int>(std::floor(x)) + x0, oy = static_cast<int>(std::lround(y)) + y0;
            for (int gy = 0; gy < gh; ++gy)
                for (int gx = 0; gx < gw; ++gx) {
                    int cx = ox + gx, cy = oy + gy;
                    if (cx < 0 || cy < 0 || cx >= cov.w || cy >= cov.h) continue;
                    cov.at(cx, cy) = std::max(cov.at(cx, cy), glyph[static_cast<size_t>(gy) * gw + gx] / 255.0f);
                }
        }
        x += adv * scale + tracking;
        prev = cp;
    }
}

void drawCentred(Coverage& cov, const Font& f, const std::string& text, float cx, float y, float px, float tracking) {
    drawText(cov, f, text, cx - textWidth(f, text, px, tracking) / 2, y, px, tracking);
}

void drawCaption(Image& img, const Font& f, const std::string& text, int x, int y, int w, int h, float baseline,
                 float px) {
    Coverage cov(w, h);
    drawCentred(cov, f, text, w / 2.0f, baseline, px, 0);
    for (int cy = 0; cy < h; ++cy)
        for (int cx = 0; cx < w; ++cx) {
            float* p = img.at(x + cx, y + cy);
            float t = cov.at(cx, cy);
            for (int k = 0; k < 3; ++k) p[k] = p[k] * (1 - t) + 0.92f * t;
        }
}

} // namespace gen
