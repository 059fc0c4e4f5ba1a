// Watching the run's data directory while the programme plays, with Linux
// inotify: files written and closed (or moved in) there are read again into
// the archive's members, so the shell can rebuild what they feed.
//
// A file counts as finished once its writer has closed it (or it was renamed
// into place) and nothing has opened it for writing since; one still being
// written waits for a later poll, so an editor that saves in steps is never
// read half-way through its save.
#include "engine/Internal.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace {

int g_fd = -1;
std::string g_root;
std::map<int, std::string> g_dirs;     // watch -> its path below the root ("" or "sub/")
std::map<std::string, bool> g_pending; // member name -> finished (closed since its last write)
std::vector<std::string> g_changed;    // members read again by the latest poll

const uint32_t kEvents = IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_MOVED_FROM;

// Editors' scratch and backup files: never members anybody asks for.
bool ignored(const std::string& fileName) { return fileName.empty() || fileName[0] == '.' || fileName.back() == '~'; }

bool addWatch(const std::string& relative) {
    const std::string path = relative.empty() ? g_root : g_root + "/" + relative;
    int wd = inotify_add_watch(g_fd, path.c_str(), kEvents | IN_ONLYDIR);
    if (wd < 0) {
        stmMsg("stmWatchData: cannot watch '%s': %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    g_dirs[wd] = relative.empty() ? "" : relative + "/";
    return true;
}

// The file's bytes, or false when it cannot be read whole.
bool readWhole(const std::string& path, std::vector<unsigned char>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

void handle(const inotify_event& event) {
    if (event.mask & IN_Q_OVERFLOW) {
        stmMsg("stmPollDataChanges: too many file events at once; some changes were missed (save them again)\n");
        return;
    }
    auto dir = g_dirs.find(event.wd);
    if (dir == g_dirs.end() || event.len == 0 || ignored(event.name)) return;
    const std::string name = dir->second + event.name;
    if (event.mask & IN_ISDIR) {
        if (event.mask & (IN_CREATE | IN_MOVED_TO)) addWatch(name);
        return;
    }
    if (event.mask & (IN_DELETE | IN_MOVED_FROM)) {
        g_pending.erase(name);
        if (stm_internal::member(name))
            stmMsg("stmPollDataChanges: '%s' was removed; what was read from it stays in use\n", name.c_str());
    } else if (event.mask & (IN_CLOSE_WRITE | IN_MOVED_TO)) {
        g_pending[name] = true;
    } else if (event.mask & (IN_MODIFY | IN_CREATE)) {
        g_pending[name] = false;
    }
}

} // namespace

namespace stm_internal {
void stopDataWatch() {
    if (g_fd >= 0) close(g_fd);
    g_fd = -1;
    g_dirs.clear();
    g_pending.clear();
    g_changed.clear();
}
} // namespace stm_internal

bool stmWatchData() {
    stm_internal::stopDataWatch();
    const char* dir = stmGetRunOptions().dataDir;
    std::error_code ec;
    if (!dir || !*dir || !fs::is_directory(dir, ec)) {
        stmMsg("stmWatchData: no data directory to watch ('%s')\n", dir ? dir : "");
        return false;
    }
    g_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (g_fd < 0) {
        stmMsg("stmWatchData: cannot watch '%s': %s\n", dir, std::strerror(errno));
        return false;
    }
    g_root = dir;
    bool ok = addWatch("");
    for (auto it = fs::recursive_directory_iterator(g_root, ec); ok && !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        if (it->is_directory(ec)) ok = addWatch(fs::relative(it->path(), g_root, ec).generic_string());
    if (!ok) {
        stm_internal::stopDataWatch();
        return false;
    }
    stmMsg("stmWatchData: watching '%s'\n", dir);
    return true;
}

int stmPollDataChanges() {
    g_changed.clear();
    if (g_fd < 0) return 0;
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        ssize_t n = read(g_fd, buffer, sizeof buffer);
        if (n <= 0) break;
        for (ssize_t at = 0; at < n;) {
            const inotify_event& event = *reinterpret_cast<const inotify_event*>(buffer + at);
            handle(event);
            at += ssize_t(sizeof(inotify_event) + event.len);
        }
    }
    for (auto it = g_pending.begin(); it != g_pending.end();) {
        if (!it->second) {
            ++it;
            continue;
        }
        std::vector<unsigned char> bytes;
        if (readWhole(g_root + "/" + it->first, bytes)) {
            stm_internal::replaceMember(it->first, std::move(bytes));
            g_changed.push_back(it->first);
        } else {
            stmMsg("stmPollDataChanges: cannot read '%s/%s'; the loaded data stays in use\n", g_root.c_str(),
                   it->first.c_str());
        }
        it = g_pending.erase(it);
    }
    return int(g_changed.size());
}

const char* stmGetChangedFileName(int index) {
    if (index < 0 || index >= int(g_changed.size())) return nullptr;
    return g_changed[size_t(index)].c_str();
}
