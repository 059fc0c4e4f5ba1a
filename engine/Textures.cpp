// Archive images as GL textures, render textures, cube face sets and the
// placeholder that stands in for a missing image.
//
// Every image uploads as RGBA8, top row first: grey gives r = g = b = alpha =
// grey, grey+alpha keeps its alpha, RGB gets alpha 255. Defaults are linear
// mipmapped filtering and repeat wrapping; stmSetTextureParameter values are
// applied on top at upload (or at once when the texture already exists).
#include "engine/Internal.h"

#include <GL/gl.h>
#include <stb/stb_image.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <map>
#include <thread>
#include <vector>

namespace ZEPHRAN_STAGEMILL {

Texture::Texture(unsigned int id, int width, int height, unsigned char* rgba)
    : id_(id), width_(width), height_(height), rgba_(rgba) {}

Texture::~Texture() { std::free(rgba_); }

void Texture::bind() const { glBindTexture(GL_TEXTURE_2D, id_); }

void Texture::replaceImage(int width, int height, unsigned char* rgba) {
    std::free(rgba_);
    width_ = width;
    height_ = height;
    rgba_ = rgba;
}

} // namespace ZEPHRAN_STAGEMILL

namespace {

struct Parameter {
    GLenum pname;
    float value;
};

std::map<std::string, stm::Texture*> g_textures;
std::map<std::string, std::vector<Parameter>> g_parameters;
std::map<std::string, stm::TextureCube*> g_cubes;
stm::Texture* g_placeholder = nullptr;
std::map<std::string, bool> g_reportedMissing;

const char* const kFaceSuffixes[6] = {"px", "nx", "py", "ny", "pz", "nz"};

bool isImageName(const std::string& name) {
    return stm_internal::hasExtension(name, {".png", ".jpg", ".jpeg", ".bmp", ".tga"});
}

// Bounds on what the archive's images may cost: every side within the
// driver's largest texture, and all decoded images together within a budget
// far above the demo's own (under 30 MiB).
const size_t kTextureBudget = size_t(512) << 20;
size_t g_textureBytes = 0; // decoded bytes of the textures uploaded so far

size_t rgbaBytes(int w, int h) { return size_t(w) * size_t(h) * 4; }

std::string amount(size_t bytes) {
    return bytes < (size_t(1) << 20) ? std::to_string(bytes >> 10) + " KiB" : std::to_string(bytes >> 20) + " MiB";
}

// Why an image of w x h is not made a texture, or empty when it fits.
std::string sizeProblem(int w, int h, int maxSide, size_t budget) {
    char text[192];
    if (w > maxSide || h > maxSide)
        std::snprintf(text, sizeof text, "%dx%d is larger than the driver's largest texture (%d pixels a side)", w, h,
                      maxSide);
    else if (rgbaBytes(w, h) > budget)
        std::snprintf(text, sizeof text, "%dx%d needs %s, more than the %s left of the textures' budget", w, h,
                      amount(rgbaBytes(w, h)).c_str(), amount(budget).c_str());
    else
        return std::string();
    return text;
}

// stb_image picks its decoder by the data, not by the name, and also reads
// GIF, PSD, PIC, PNM and HDR pictures. Archive images are PNG, JPEG, BMP or
// TGA; data that another decoder would claim is refused before any decoder
// reads it, which keeps the other five (its PNM header reader overflows an
// int on a long number, for one) out of reach. TGA has no signature, but
// none of these can begin a TGA (its second byte is 0 or 1).
std::string formatProblem(const std::vector<unsigned char>& b) {
    struct Signature {
        const char* bytes;
        size_t size;
        const char* format;
    };
    static const Signature others[] = {
        {"GIF8", 4, "GIF"}, {"8BPS", 4, "PSD"},          {"\x53\x80\xF6\x34", 4, "PIC"}, {"P5", 2, "PNM"},
        {"P6", 2, "PNM"},   {"#?RADIANCE\n", 11, "HDR"}, {"#?RGBE\n", 7, "HDR"},
    };
    for (const Signature& s : others)
        if (b.size() >= s.size && std::memcmp(b.data(), s.bytes, s.size) == 0)
            return std::string("its data is a ") + s.format + " picture; images are PNG, JPEG, BMP or TGA";
    return std::string();
}

// stb_image 2.27 writes past its Huffman size table (257 entries) when a
// JPEG's DHT segment declares more than 256 codes in one table; such a file
// is refused before it reaches the decoder. Every FF C4 pair in the file is
// taken for a DHT marker (the decoder skips fill bytes and stray data to
// find markers, so no narrower walk is safe) and its tables are read as the
// decoder reads them: by the segment's length, bytes past the end as 0.
std::string jpegProblem(const std::vector<unsigned char>& b) {
    size_t start = 0;
    while (start < b.size() && b[start] == 0xFF) ++start;
    if (start == 0 || start >= b.size() || b[start] != 0xD8) return std::string();
    auto at = [&](size_t i) -> unsigned { return i < b.size() ? b[i] : 0; };
    for (size_t i = start; i + 1 < b.size(); ++i) {
        if (b[i] != 0xFF || b[i + 1] != 0xC4) continue;
        long left = long(at(i + 2) << 8 | at(i + 3)) - 2;
        for (size_t table = i + 4; left > 0;) {
            unsigned codes = 0;
            for (size_t k = 1; k <= 16; ++k) codes += at(table + k);
            if (codes > 256) return "its JPEG Huffman table declares " + std::to_string(codes) + " codes (at most 256)";
            table += 17 + codes;
            left -= long(17 + codes);
        }
    }
    return std::string();
}

// stb_image grows its compressed-data buffer to each IDAT chunk's declared
// length (up to 1 GiB) before it reads the chunk, so a PNG of a hundred
// bytes could make it allocate a gigabyte. A chunk that declares more bytes
// than the file has left is refused first; such a file cannot decode anyway.
std::string pngProblem(const std::vector<unsigned char>& b) {
    static const unsigned char signature[8] = {137, 'P', 'N', 'G', 13, 10, 26, 10};
    if (b.size() < 8 || std::memcmp(b.data(), signature, 8) != 0) return std::string();
    for (size_t at = 8; at + 8 <= b.size();) {
        const size_t length = size_t(b[at]) << 24 | size_t(b[at + 1]) << 16 | size_t(b[at + 2]) << 8 | b[at + 3];
        std::string type(reinterpret_cast<const char*>(&b[at + 4]), 4);
        for (char& c : type) c = std::isalpha(static_cast<unsigned char>(c)) ? c : '?';
        const size_t left = b.size() - (at + 8);
        if (length > left)
            return "its PNG chunk " + type + " declares " + std::to_string(length) + " bytes, more than the " +
                   std::to_string(left) + " left in the file";
        if (type == "IEND") break;
        at += 8 + length + 4;
    }
    return std::string();
}

// Pixels as RGBA, malloc'd; null with `failure` set when undecodable or out
// of bounds. The header's size is checked before anything is decoded. Safe
// to run on several threads at once: it touches no shared state.
unsigned char* decodeRGBA(const std::vector<unsigned char>& bytes, int maxSide, size_t budget, int& w, int& h,
                          std::string& failure) {
    int channels = 0;
    if (bytes.size() > size_t(INT32_MAX)) {
        failure = "larger than 2 GiB";
        return nullptr;
    }
    failure = formatProblem(bytes); // before stb_image reads any of it, its header too
    if (failure.empty()) failure = jpegProblem(bytes);
    if (!failure.empty()) return nullptr;
    if (stbi_info_from_memory(bytes.data(), int(bytes.size()), &w, &h, &channels)) {
        failure = sizeProblem(w, h, maxSide, budget);
        if (!failure.empty()) return nullptr;
    }
    failure = pngProblem(bytes);
    if (!failure.empty()) return nullptr;
    int headerW = w, headerH = h;
    unsigned char* src = stbi_load_from_memory(bytes.data(), int(bytes.size()), &w, &h, &channels, 0);
    if (!src) {
        failure = stbi_failure_reason(); // thread-local in stb_image
        return nullptr;
    }
    if (w != headerW || h != headerH) {
        failure = sizeProblem(w, h, maxSide, budget);
        if (failure.empty()) failure = "its header and its data disagree on its size";
        stbi_image_free(src);
        return nullptr;
    }
    size_t n = size_t(w) * size_t(h);
    unsigned char* rgba = static_cast<unsigned char*>(std::malloc(n * 4));
    if (!rgba) {
        failure = "no memory for its " + std::to_string(n * 4 >> 20) + " MiB of pixels";
        stbi_image_free(src);
        return nullptr;
    }
    for (size_t i = 0; i < n; ++i) {
        const unsigned char* s = src + i * channels;
        unsigned char* d = rgba + i * 4;
        switch (channels) {
        case 1: d[0] = d[1] = d[2] = d[3] = s[0]; break;
        case 2:
            d[0] = d[1] = d[2] = s[0];
            d[3] = s[1];
            break;
        case 3:
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            d[3] = 255;
            break;
        default: std::memcpy(d, s, 4); break;
        }
    }
    stbi_image_free(src);
    return rgba;
}

int maxTextureSide() {
    GLint most = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &most);
    return most > 0 ? int(most) : 1024; // the least GL 2 promises
}

// An archive image decoded, not yet uploaded.
struct Decoded {
    std::string name;
    const std::vector<unsigned char>* bytes = nullptr;
    size_t budget = 0; // of the textures' budget, what it may take
    int w = 0, h = 0;
    unsigned char* rgba = nullptr;
    std::string failure;
};

// Decodes every entry on as many threads as there are cores; the entries
// are taken in turn, so one large image does not hold up the rest. Each
// entry's share of the budget is settled first, in archive order, from the
// sizes the headers give, so the outcome does not depend on the threads.
void decodeInParallel(std::vector<Decoded>& images) {
    const int maxSide = maxTextureSide();
    size_t left = kTextureBudget - std::min(kTextureBudget, g_textureBytes);
    for (Decoded& d : images) {
        d.budget = left;
        int w = 0, h = 0, channels = 0;
        if (d.bytes->size() <= size_t(INT32_MAX) && jpegProblem(*d.bytes).empty() &&
            stbi_info_from_memory(d.bytes->data(), int(d.bytes->size()), &w, &h, &channels) &&
            sizeProblem(w, h, maxSide, left).empty())
            left -= rgbaBytes(w, h);
    }
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < images.size(); i = next++) {
            Decoded& d = images[i];
            d.rgba = decodeRGBA(*d.bytes, maxSide, d.budget, d.w, d.h, d.failure);
        }
    };
    const unsigned threads = std::max(1u, std::min(std::thread::hardware_concurrency(), unsigned(images.size())));
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads; ++t) helpers.emplace_back(work);
    work();
    for (std::thread& t : helpers) t.join();
}

void applyParameters(const std::string& name) {
    auto it = g_parameters.find(name);
    if (it == g_parameters.end()) return;
    for (const Parameter& p : it->second) glTexParameterf(GL_TEXTURE_2D, p.pname, p.value);
}

// Leaves the new texture bound to GL_TEXTURE_2D on the active unit.
GLuint uploadRGBA(const std::string& name, int w, int h, const unsigned char* rgba) {
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    applyParameters(name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return id;
}

// Uploads a decoded image under its name; logs once and returns null for
// one that did not decode or that the driver had no memory for (the name is
// then marked, so stmGetTexture hands out the placeholder without trying
// again or calling the image absent).
stm::Texture* upload(Decoded& d) {
    if (!d.rgba) {
        stmMsg("stmUploadTextures: '%s' is not usable: %s; using the placeholder\n", d.name.c_str(), d.failure.c_str());
        g_reportedMissing[d.name] = true;
        return nullptr;
    }
    while (glGetError() != GL_NO_ERROR) {}
    GLuint id = uploadRGBA(d.name, d.w, d.h, d.rgba);
    if (glGetError() == GL_OUT_OF_MEMORY) {
        stmMsg("stmUploadTextures: '%s' (%dx%d): the driver is out of memory for it; using the placeholder\n",
               d.name.c_str(), d.w, d.h);
        glDeleteTextures(1, &id);
        std::free(d.rgba);
        d.rgba = nullptr;
        g_reportedMissing[d.name] = true;
        return nullptr;
    }
    stm::Texture* texture = new stm::Texture(id, d.w, d.h, d.rgba);
    g_textures[d.name] = texture;
    g_textureBytes += rgbaBytes(d.w, d.h);
    return texture;
}

stm::Texture* uploadMember(const std::string& name) {
    std::vector<Decoded> one(1);
    one[0].name = name;
    one[0].bytes = stm_internal::member(name);
    if (!one[0].bytes) return nullptr;
    decodeInParallel(one);
    return upload(one[0]);
}

// Magenta and black 8-pixel checks: impossible to miss on screen.
stm::Texture* placeholder() {
    if (g_placeholder) return g_placeholder;
    const int size = 64;
    unsigned char* rgba = static_cast<unsigned char*>(std::malloc(size * size * 4));
    if (!rgba) throw "stmGetTexture: no memory for the placeholder texture";
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            unsigned char* p = rgba + (y * size + x) * 4;
            bool on = ((x / 8) + (y / 8)) % 2 == 0;
            p[0] = on ? 255 : 0;
            p[1] = 0;
            p[2] = on ? 255 : 0;
            p[3] = 255;
        }
    g_placeholder = new stm::Texture(uploadRGBA("", size, size, rgba), size, size, rgba);
    return g_placeholder;
}

} // namespace

namespace stm_internal {
void releaseTextures() {
    for (auto& t : g_textures) {
        GLuint id = t.second->getID();
        glDeleteTextures(1, &id);
        delete t.second;
    }
    g_textures.clear();
    for (auto& c : g_cubes) delete c.second;
    g_cubes.clear();
    if (g_placeholder) {
        GLuint id = g_placeholder->getID();
        glDeleteTextures(1, &id);
        delete g_placeholder;
        g_placeholder = nullptr;
    }
    g_parameters.clear();
    g_reportedMissing.clear();
    g_textureBytes = 0;
}
} // namespace stm_internal

void stmInitCubemaps() {
    // A cube is every prefix P for which the archive holds P + "px.png" … P + "nz.png".
    for (const std::string& name : stm_internal::memberNames()) {
        const std::string suffix = "px.png";
        if (name.size() < suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        std::string prefix = name.substr(0, name.size() - suffix.size());
        bool complete = true;
        for (const char* face : kFaceSuffixes) complete = complete && stm_internal::member(prefix + face + ".png");
        if (complete && !g_cubes.count(prefix)) g_cubes[prefix] = new stm::TextureCube();
    }
    stmMsg("stmInitCubemaps: %d cube face sets\n", int(g_cubes.size()));
}

stm::TextureCube* stmGetTextureCube(const char* prefix) {
    auto it = g_cubes.find(prefix ? prefix : "");
    if (it == g_cubes.end()) return nullptr;
    for (int i = 0; i < 6; ++i)
        if (!it->second->faces[i])
            it->second->faces[i] = stmGetTexture((it->first + kFaceSuffixes[i] + ".png").c_str());
    return it->second;
}

void stmSetTextureParameter(const char* fileName, unsigned int pname, float value) {
    if (!fileName) return;
    g_parameters[fileName].push_back({pname, value});
    auto it = g_textures.find(fileName);
    if (it != g_textures.end()) {
        glBindTexture(GL_TEXTURE_2D, it->second->getID());
        glTexParameterf(GL_TEXTURE_2D, pname, value);
    }
}

void stmUploadTextures() {
    // Decoding runs on every core; the uploads follow in archive order, so
    // each image gets the texture name it always had.
    std::vector<Decoded> images;
    for (const std::string& name : stm_internal::memberNames())
        if (isImageName(name) && !g_textures.count(name)) {
            Decoded d;
            d.name = name;
            d.bytes = stm_internal::member(name);
            if (d.bytes) images.push_back(std::move(d));
        }
    decodeInParallel(images);
    int uploaded = 0;
    for (Decoded& d : images)
        if (upload(d)) ++uploaded;
    glBindTexture(GL_TEXTURE_2D, 0);
    stmMsg("stmUploadTextures: %d textures\n", uploaded);
}

stm::Texture* stmGetTexture(const char* fileName) {
    std::string name = fileName ? fileName : "";
    auto it = g_textures.find(name);
    if (it != g_textures.end()) return it->second;
    // An image not uploaded yet (stmUploadTextures not called) uploads now;
    // one that failed once is not decoded again.
    if (isImageName(name) && !g_reportedMissing.count(name)) {
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        stm::Texture* texture = uploadMember(name);
        glBindTexture(GL_TEXTURE_2D, GLuint(bound));
        if (texture) return texture;
    }
    if (!g_reportedMissing[name]) {
        g_reportedMissing[name] = true;
        stmMsg("stmGetTexture: no texture '%s' in the archive; using the placeholder\n", name.c_str());
    }
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    stm::Texture* texture = placeholder();
    glBindTexture(GL_TEXTURE_2D, GLuint(bound));
    return texture;
}

namespace {
std::string g_reloadError;
}

bool stmReloadTexture(const char* fileName) {
    g_reloadError.clear();
    const std::string name = fileName ? fileName : "";
    auto it = g_textures.find(name);
    if (it == g_textures.end()) {
        if (!g_reportedMissing.count(name)) return true;
        g_reloadError = "it was missing when the effects started, so they use the placeholder until the next run";
        return false;
    }
    const std::vector<unsigned char>* bytes = stm_internal::member(name);
    if (!bytes || !it->second->getImgData()) {
        g_reloadError = "it is no archive image";
        return false;
    }
    // The new picture takes the old one's share of the budget.
    const size_t old = rgbaBytes(it->second->getWidth(), it->second->getHeight());
    const size_t budget = kTextureBudget - std::min(kTextureBudget, g_textureBytes - std::min(g_textureBytes, old));
    int w = 0, h = 0;
    std::string failure;
    unsigned char* rgba = decodeRGBA(*bytes, maxTextureSide(), budget, w, h, failure);
    if (!rgba) {
        g_reloadError = "not a readable image (" + failure + "); the old picture stays";
        return false;
    }
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, it->second->getID());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    glBindTexture(GL_TEXTURE_2D, GLuint(bound));
    it->second->replaceImage(w, h, rgba);
    g_textureBytes = g_textureBytes - std::min(g_textureBytes, old) + rgbaBytes(w, h);
    return true;
}

const char* stmReloadError() { return g_reloadError.empty() ? nullptr : g_reloadError.c_str(); }

void stmAddRenderToTexture(int width, int height, const char* name) {
    if (!name || width <= 0 || height <= 0) {
        stmMsg("stmAddRenderToTexture: bad request %dx%d '%s'\n", width, height, name ? name : "(null)");
        return;
    }
    auto it = g_textures.find(name);
    if (it != g_textures.end()) {
        stmMsg("stmAddRenderToTexture: '%s' exists already; replacing it\n", name);
        GLuint old = it->second->getID();
        glDeleteTextures(1, &old);
        delete it->second;
        g_textures.erase(it);
    }
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glBindTexture(GL_TEXTURE_2D, GLuint(bound));
    g_textures[name] = new stm::Texture(id, width, height, nullptr);
}

bool stmDecodeImage(const unsigned char* bytes, size_t size, int maxSide, size_t budget, int& width, int& height,
                    std::string& failure) {
    std::vector<unsigned char> copy(bytes, bytes + size);
    unsigned char* rgba = decodeRGBA(copy, maxSide, budget, width, height, failure);
    std::free(rgba);
    return rgba != nullptr;
}
