// Type setting with stb_truetype for the generated pictures and the contact
// sheets: a loaded font and a coverage canvas that glyphs are drawn into.
#pragma once

#include <stb_truetype.h>

#include <string>
#include <vector>

namespace gen {

class Image;

class Font {
public:
    // Throws std::runtime_error naming the file when it cannot be read or is
    // not a TrueType font.
    explicit Font(const std::string& path);
    const stbtt_fontinfo* info() const { return &info_; }

private:
    std::vector<unsigned char> bytes_;
    stbtt_fontinfo info_;
};

// Coverage canvas: glyphs are merged with max so overlaps stay crisp.
struct Coverage {
    int w, h;
    std::vector<float> v;
    Coverage(int w_, int h_) : w(w_), h(h_), v(static_cast<size_t>(w_) * h_, 0.0f) {}
    float& at(int x, int y) { return v[static_cast<size_t>(y) * w + x]; }
};

// Width in pixels of UTF-8 `text` at `px` with `tracking` extra pixels per letter.
float textWidth(const Font& f, const std::string& text, float px, float tracking);
// Draws `text` with its baseline at y, starting at x.
void drawText(Coverage& cov, const Font& f, const std::string& text, float x, float y, float px, float tracking);
void drawCentred(Coverage& cov, const Font& f, const std::string& text, float cx, float y, float px, float tracking);
// A caption: text centred in the w x h strip whose top-left pixel is (x, y)
// of img, its baseline `baseline` below the strip's top, blended in light grey
// (0.92) over what is there. The strip must lie inside img.
void drawCaption(Image& img, const Font& f, const std::string& text, int x, int y, int w, int h, float baseline,
                 float px);

} // namespace gen
