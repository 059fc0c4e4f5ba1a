// Outputs written so that a failure never destroys what was there: each is
// made as a temporary file beside its final path and renamed over it only
// when complete; on failure only the temporary file goes. Also the checks
// made on an output path before anything renders, and the stop signals,
// whose forced exit removes the temporary files still open.
#include "engine/Internal.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Temporary files in the making, for the forced exit to remove. A fixed
// table of fixed buffers: the signal handler may only read plain memory.
const int kTemporarySlots = 8;
enum SlotState { kFree, kFilling, kHeld };
struct TemporarySlot {
    std::atomic<int> state{kFree};
    char path[4096];
};
TemporarySlot g_temporaries[kTemporarySlots];

mode_t g_umask = 022;

volatile std::sig_atomic_t g_stopSignal = 0;

// The first stop signal asks the run to end at its next chance (finishing
// the output it writes); a second ends the process at once.
void onStopSignal(int signal) {
    if (g_stopSignal) {
        for (TemporarySlot& slot : g_temporaries)
            if (slot.state.load() == kHeld) unlink(slot.path);
        _exit(128 + signal);
    }
    g_stopSignal = signal;
}

int claimSlot(const std::string& path) {
    if (path.size() >= sizeof(g_temporaries[0].path)) return -1;
    for (int i = 0; i < kTemporarySlots; ++i) {
        TemporarySlot& slot = g_temporaries[i];
        int expected = kFree;
        if (!slot.state.compare_exchange_strong(expected, kFilling)) continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.state.store(kHeld);
        return i;
    }
    return -1;
}

// The file an output replaces: a symbolic link is followed, so the link
// stays and its target gets the new contents.
std::string finalTarget(const std::string& path) {
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(path, ec))) {
        fs::path target = fs::canonical(path, ec);
        if (!ec) return target.string();
    }
    return path;
}

std::string quoted(const std::string& path) { return "'" + path + "'"; }

} // namespace

namespace stm_internal {

OutputFile::OutputFile(const std::string& path) : target_(finalTarget(path)) {}

OutputFile::~OutputFile() { discard(); }

bool OutputFile::create(std::string& cause) {
    fs::path target(target_);
    std::string dir = target.has_parent_path() ? target.parent_path().string() : ".";
    std::string extension = target.extension().string();
    // The extension stays last: ffmpeg picks the container by it.
    std::string pattern = dir + "/." + target.filename().string() + "-XXXXXX" + extension;
    // The name is made in its slot, so that from the moment the file exists
    // a stop signal on any thread finds it there to remove.
    std::vector<char> local;
    slot_ = claimSlot(pattern);
    char* name = nullptr;
    if (slot_ >= 0) {
        name = g_temporaries[slot_].path;
    } else {
        local.assign(pattern.begin(), pattern.end());
        local.push_back('\0');
        name = local.data();
    }
    fd_ = mkostemps(name, int(extension.size()), O_CLOEXEC);
    if (fd_ < 0) {
        cause = std::strerror(errno);
        release();
        return false;
    }
    temporary_ = name;
    // As fopen would have made it, not mkstemp's owner-only mode.
    if (fchmod(fd_, 0666 & ~g_umask) != 0) {
        cause = std::strerror(errno);
        discard();
        return false;
    }
    return true;
}

FILE* OutputFile::stream() {
    if (!file_ && fd_ >= 0) {
        file_ = fdopen(fd_, "wb");
        if (file_) fd_ = -1; // owned by the stream now
    }
    return file_;
}

bool OutputFile::commit(std::string& cause) {
    bool ok = true;
    if (file_) {
        ok = std::fclose(file_) == 0;
        file_ = nullptr;
    } else if (fd_ >= 0) {
        ok = close(fd_) == 0;
    }
    fd_ = -1;
    if (ok && std::rename(temporary_.c_str(), target_.c_str()) != 0) ok = false;
    if (!ok) {
        cause = std::strerror(errno);
        discard();
        return false;
    }
    release();
    return true;
}

void OutputFile::discard() {
    if (file_)
        std::fclose(file_);
    else if (fd_ >= 0)
        close(fd_);
    file_ = nullptr;
    fd_ = -1;
    if (!temporary_.empty()) unlink(temporary_.c_str());
    release();
}

void OutputFile::release() {
    if (slot_ >= 0) g_temporaries[slot_].state.store(kFree);
    slot_ = -1;
    temporary_.clear();
}

std::string outputPathProblem(const std::string& path, bool directory) {
    std::error_code ec;
    fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) return std::string();
    if (directory && !fs::is_directory(status)) return quoted(path) + " exists and is not a directory";
    if (!directory && !fs::is_regular_file(status)) return quoted(path) + " exists and is not a regular file";
    return std::string();
}

std::string outputWriteProblem(const std::string& path) {
    OutputFile probe(path);
    std::string cause;
    if (!probe.create(cause)) return "cannot write " + quoted(path) + ": " + cause;
    return std::string();
}

void installStopHandlers() {
    g_stopSignal = 0;
    g_umask = umask(0);
    umask(g_umask);
    // No SA_RESTART: a blocking call returns, so the run gets to look at the
    // flag. Installed before SDL starts, which then leaves these two alone.
    // Each blocks the other while it runs, so the first is always seen as
    // the first.
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace stm_internal

int stmStopSignal() { return int(g_stopSignal); }
