// Writes the archive's members out as loose files, the starting point of
// editing the demo's data: a directory written here is what --data reads
// back. Each file is written beside its final name and renamed into place,
// so a failed or interrupted write never leaves a partial member behind.
#include "engine/Internal.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Why `name` cannot become a path below the directory (absolute, empty or
// dot pieces, a backslash), or null when it is a plain relative path.
const char* unsafeMemberName(const std::string& name) {
    if (name.empty() || name[0] == '/') return "it is not a relative path";
    if (name.find('\\') != std::string::npos) return "it holds a backslash";
    size_t start = 0;
    for (;;) {
        size_t slash = name.find('/', start);
        std::string piece = name.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (piece.empty() || piece == "." || piece == "..") return "it holds an empty, '.' or '..' path piece";
        if (slash == std::string::npos) return nullptr;
        start = slash + 1;
    }
}

// Writes `bytes` to a temporary file beside `path` and renames it onto
// `path`. False with `why` set when any step fails; nothing is left then.
bool writeReplacing(const std::string& path, const std::vector<unsigned char>& bytes, std::string& why) {
    std::string temp = path + ".partXXXXXX";
    std::vector<char> pattern(temp.begin(), temp.end());
    pattern.push_back('\0');
    int fd = mkstemp(pattern.data());
    if (fd < 0) {
        why = std::strerror(errno);
        return false;
    }
    temp = pattern.data();
    fchmod(fd, 0644);
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            why = n < 0 ? std::strerror(errno) : "nothing written";
            close(fd);
            unlink(temp.c_str());
            return false;
        }
        done += size_t(n);
    }
    if (close(fd) != 0) {
        why = std::strerror(errno);
        unlink(temp.c_str());
        return false;
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        why = std::strerror(errno);
        unlink(temp.c_str());
        return false;
    }
    return true;
}

} // namespace

bool stmExtractArchive(const char* directory, bool overwrite) {
    const std::string dir = directory ? directory : "";
    std::error_code ec;
    if (dir.empty() || (!fs::is_directory(dir, ec) && !fs::create_directories(dir, ec))) {
        stmMsg("stmExtractArchive: cannot make the directory '%s': %s\n", dir.c_str(),
               ec ? ec.message().c_str() : "no name given");
        return false;
    }
    int written = 0, kept = 0;
    bool ok = true;
    for (const std::string& name : stm_internal::memberNames()) {
        const std::string path = dir + "/" + name;
        if (const char* why = unsafeMemberName(name)) {
            stmMsg("stmExtractArchive: member '%s' not written: %s\n", name.c_str(), why);
            ok = false;
            continue;
        }
        const fs::path parent = fs::path(path).parent_path();
        if (!fs::is_directory(parent, ec) && !fs::create_directories(parent, ec)) {
            stmMsg("stmExtractArchive: cannot write '%s': cannot make '%s': %s\n", path.c_str(), parent.c_str(),
                   ec.message().c_str());
            ok = false;
            continue;
        }
        struct stat st;
        if (lstat(path.c_str(), &st) == 0) {
            if (!S_ISREG(st.st_mode)) {
                stmMsg("stmExtractArchive: cannot write '%s': something other than a file is there\n", path.c_str());
                ok = false;
                continue;
            }
            if (!overwrite) {
                ++kept;
                continue;
            }
        }
        std::string why;
        if (!writeReplacing(path, *stm_internal::member(name), why)) {
            stmMsg("stmExtractArchive: cannot write '%s': %s\n", path.c_str(), why.c_str());
            ok = false;
            continue;
        }
        ++written;
    }
    stmMsg("stmExtractArchive: %d files written to '%s'%s\n", written, dir.c_str(), ok ? "" : "; some failed");
    if (kept > 0)
        stmMsg(
            "stmExtractArchive: %d files were there already and are kept as they are (--force overwrites "
            "them)\n",
            kept);
    return ok;
}
