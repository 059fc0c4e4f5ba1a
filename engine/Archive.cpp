// The data archive: a zip file read whole into memory at stmReadPak, with loose
// files from the run's data directory laid over its members by name.
#include "engine/Internal.h"

#include <SDL.h>
#include <zip.h>
#include <zlib.h>
#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

std::map<std::string, std::vector<unsigned char>> g_members;
// Texts, NUL-terminated, in name order; rebuilt whenever the members change.
std::vector<std::pair<std::string, std::string>> g_texts;

bool isTextName(const std::string& name) {
    return stm_internal::hasExtension(name, {".glsl", ".dae", ".txt", ".xml", ".vert", ".frag", ".json", ".csv"});
}

// A text as the program reads it: UTF-8. Exporters also write UTF-16 with
// a byte-order mark; such a text is converted (an unconvertible one is
// reported and left as it is, which its reader then refuses).
std::string textOf(const std::string& name, const std::vector<unsigned char>& bytes) {
    std::string text(bytes.begin(), bytes.end());
    const char* from = nullptr;
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        from = "UTF-16LE";
    else if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF)
        from = "UTF-16BE";
    if (!from) return text;
    iconv_t convert = iconv_open("UTF-8", from);
    if (convert == iconv_t(-1)) {
        stmMsg("stmReadPak: '%s' is %s and cannot be converted: %s\n", name.c_str(), from, std::strerror(errno));
        return text;
    }
    std::string out(bytes.size() * 2, '\0'); // UTF-8 takes at most 3 bytes for 2 of UTF-16
    char* in = &text[2];
    size_t inLeft = text.size() - 2;
    char* at = &out[0];
    size_t outLeft = out.size();
    bool ok = iconv(convert, &in, &inLeft, &at, &outLeft) != size_t(-1);
    int error = errno;
    iconv_close(convert);
    if (!ok) {
        stmMsg("stmReadPak: '%s' is %s but not valid %s at byte %zu: %s\n", name.c_str(), from, from,
               size_t(in - text.data()), std::strerror(error));
        return text;
    }
    out.resize(out.size() - outLeft);
    return out;
}

void rebuildTexts() {
    g_texts.clear();
    for (const auto& m : g_members)
        if (isTextName(m.first)) g_texts.emplace_back(m.first, textOf(m.first, m.second));
}

// Why the latest stmReadPak gave nothing; empty when it read something.
std::string g_pakError;

// A member's bytes, read without trusting its directory entry: the data
// comes in chunks until the stream ends, so a claimed size allocates
// nothing. Empty with `why` set when the entry's size or CRC disagrees with
// the data, or the data cannot be read.
bool readMember(zip_t* archive, zip_int64_t index, const zip_stat_t& st, std::vector<unsigned char>& bytes,
                std::string& why) {
    zip_file_t* file = zip_fopen_index(archive, zip_uint64_t(index), 0);
    if (!file) {
        why = zip_strerror(archive);
        return false;
    }
    const size_t kChunk = 1 << 16;
    bytes.clear();
    for (;;) {
        size_t at = bytes.size();
        bytes.resize(at + kChunk);
        zip_int64_t got = zip_fread(file, bytes.data() + at, kChunk);
        if (got < 0) {
            why = zip_file_strerror(file);
            zip_fclose(file);
            return false;
        }
        bytes.resize(at + size_t(got));
        if (got == 0 || bytes.size() > st.size) break;
    }
    zip_fclose(file);
    if (bytes.size() != st.size) {
        why = "its directory entry says " + std::to_string((unsigned long long)st.size) + " bytes, the data " +
              (bytes.size() > st.size ? "holds more" : "holds " + std::to_string(bytes.size()));
        return false;
    }
    uLong crc = crc32(crc32(0L, Z_NULL, 0), bytes.data(), uInt(bytes.size()));
    if ((st.valid & ZIP_STAT_CRC) && crc != st.crc) {
        char text[96];
        std::snprintf(text, sizeof(text), "CRC %08lx, the directory says %08lx", (unsigned long)crc,
                      (unsigned long)st.crc);
        why = text;
        return false;
    }
    return true;
}

// Reads every member; a damaged one is reported by name and left out, as
// if absent. False (with g_pakError) only when the file is no archive.
bool readZip(const std::string& path) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    if (!archive) {
        zip_error_t ze;
        zip_error_init_with_code(&ze, error);
        g_pakError = "cannot open '" + path + "': " + zip_error_strerror(&ze);
        zip_error_fini(&ze);
        return false;
    }
    zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        if (zip_stat_index(archive, zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME) ||
            !(st.valid & ZIP_STAT_SIZE))
            continue;
        std::string name = st.name;
        if (name.empty() || name.back() == '/') continue;
        std::vector<unsigned char> bytes;
        std::string why;
        if (!readMember(archive, i, st, bytes, why)) {
            stmMsg("stmReadPak: '%s': member '%s' is damaged (%s); left out\n", path.c_str(), name.c_str(),
                   why.c_str());
            continue;
        }
        g_members[name] = std::move(bytes);
    }
    zip_close(archive);
    stmMsg("stmReadPak: '%s': %lld members\n", path.c_str(), (long long)count);
    return true;
}

// Loose files below dir, named by their path relative to it with '/'.
int readOverlay(const std::string& dir) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) {
        stmMsg("stmReadPak: data directory '%s' is not a directory\n", dir.c_str());
        return 0;
    }
    int n = 0;
    for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (!it->is_regular_file(ec)) continue;
        std::string name = fs::relative(it->path(), dir, ec).generic_string();
        std::ifstream in(it->path(), std::ios::binary);
        std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) {
            stmMsg("stmReadPak: cannot read '%s'\n", it->path().c_str());
            continue;
        }
        g_members[name] = std::move(bytes);
        ++n;
    }
    stmMsg("stmReadPak: %d loose files from '%s'\n", n, dir.c_str());
    return n;
}

std::string findArchive(const char* name) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::exists(name, ec)) return name;
    if (char* base = SDL_GetBasePath()) {
        std::string dir = base;
        SDL_free(base);
        for (const std::string& candidate : {dir + name, dir + "data/" + name, dir + ZEPHRAN_INSTALLED_DATA + name})
            if (fs::exists(candidate, ec)) return fs::path(candidate).lexically_normal().string();
    }
    return name;
}

} // namespace

namespace stm_internal {
const std::vector<unsigned char>* member(const std::string& name) {
    auto it = g_members.find(name);
    return it == g_members.end() ? nullptr : &it->second;
}

std::vector<std::string> memberNames() {
    std::vector<std::string> names;
    for (const auto& m : g_members) names.push_back(m.first);
    return names;
}
void replaceMember(const std::string& name, std::vector<unsigned char> bytes) {
    const bool known = g_members.count(name) != 0;
    g_members[name] = std::move(bytes);
    if (!isTextName(name)) return;
    if (!known) {
        rebuildTexts();
        return;
    }
    // In place: only this text's pointer changes.
    for (auto& t : g_texts)
        if (t.first == name) t.second.assign(g_members[name].begin(), g_members[name].end());
}

void releaseArchive() {
    g_members.clear();
    g_texts.clear();
}

bool hasExtension(const std::string& name, std::initializer_list<const char*> extensions) {
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    for (const char* ext : extensions) {
        size_t n = std::strlen(ext);
        if (lower.size() >= n && lower.compare(lower.size() - n, n, ext) == 0) return true;
    }
    return false;
}
} // namespace stm_internal

bool stmReadPak(const char* archiveName) {
    g_members.clear();
    g_pakError = archiveName ? "" : "no archive named";
    bool ok = archiveName && readZip(findArchive(archiveName));
    const char* dir = stmGetRunOptions().dataDir;
    if (dir && *dir && readOverlay(dir) > 0 && !ok) {
        stmMsg("stmReadPak: %s; the loose files stand alone\n", g_pakError.c_str());
        ok = true;
    }
    if (ok) g_pakError.clear();
    rebuildTexts();
    return ok;
}

const char* stmPakError() { return g_pakError.empty() ? nullptr : g_pakError.c_str(); }

const char* stmDataDirProblem(const char* dir) {
    static std::string problem;
    std::error_code ec;
    if (dir && std::filesystem::is_directory(dir, ec)) return nullptr;
    problem = std::string("'") + (dir ? dir : "") + "' is not a directory";
    return problem.c_str();
}

int stmGetTextCount() { return int(g_texts.size()); }

const char* stmGetTextFileNameAtIndex(int index) {
    if (index < 0 || index >= int(g_texts.size())) return nullptr;
    return g_texts[index].first.c_str();
}

const char* stmGetTextAtIndex(int index) {
    if (index < 0 || index >= int(g_texts.size())) return nullptr;
    return g_texts[index].second.c_str();
}

const char* stmGetText(const char* fileName) {
    if (!fileName) return nullptr;
    // g_texts is in name order (built from the member map).
    auto before = [](const std::pair<std::string, std::string>& t, const char* name) { return t.first < name; };
    auto it = std::lower_bound(g_texts.begin(), g_texts.end(), fileName, before);
    return it != g_texts.end() && it->first == fileName ? it->second.c_str() : nullptr;
}

const unsigned char* stmGetFile(const char* fileName, unsigned int* size) {
    const std::vector<unsigned char>* bytes = fileName ? stm_internal::member(fileName) : nullptr;
    if (size) *size = bytes ? unsigned(bytes->size()) : 0;
    if (!bytes) return nullptr;
    static const unsigned char kEmpty = 0;
    return bytes->empty() ? &kEmpty : bytes->data();
}
