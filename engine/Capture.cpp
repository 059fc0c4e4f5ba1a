// Headless capture: every stmSwapBuffers reads the finished frame back and
// writes it as a PNG file (one file, or numbered files in a directory), or
// pipes it to ffmpeg with the song as the audio track for a video name. Frames
// depend only on the fixed clock, never on wall time; wall time only feeds
// the progress line.
//
// The frame loop only reads the pixels back: making them opaque, encoding
// and writing (or piping) happen in order on a writer thread, so they
// overlap the next frames' rendering. The loop waits only when the writer
// is a few frames behind.
//
// Every write is checked and goes through an OutputFile, so a file is only
// ever replaced by a complete one. The first failure is logged with the file
// and its cause (for a video, ffmpeg's own last error line), nothing
// half-written is left behind, and stmCaptureFailed tells the caller to
// stop; stmFinishCapture then answers false. A first SIGINT or SIGTERM only
// raises stmStopSignal, so the run can finish the frames it has as a valid
// file.
#include "engine/Internal.h"

#include <SDL.h>
#include <GL/gl.h>
#include <png.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <mutex>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

enum class Mode { Off, Directory, SingleFile, Video };

// Containers ffmpeg writes with H.264 video and AAC audio.
const char* const kVideoExtensions[] = {".mp4", ".mkv", ".mov", ".avi"};

// Frames read back but not yet written, at most this many.
const size_t kQueuedFrames = 3;

struct PendingFrame {
    std::string path; // empty for a video frame
    std::vector<unsigned char> pixels;
};

struct Capture {
    Mode mode = Mode::Off;
    bool started = false;
    std::atomic<bool> failed{false};
    std::string failure; // the first failure's message, under `mutex`
    int width = 0, height = 0;
    int written = 0;  // frames of the latest capture
    int expected = 0; // frames in from..to, 0 when unknown
    Uint64 startCounter = 0, lastReport = 0;
    pid_t ffmpeg = 0;                                // the encoder, in its own process group
    int ffmpegInput = -1;                            // write end of its stdin
    std::unique_ptr<stm_internal::OutputFile> video; // what ffmpeg writes, renamed into place at the end
    std::thread ffmpegErrors;                        // passes ffmpeg's stderr on to the log
    std::string ffmpegLastError;                     // its latest line, under `mutex`
    std::thread writer;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<PendingFrame> queue;
    // Pixel buffers the writer is done with, for the next read-backs.
    std::vector<std::vector<unsigned char>> spare;
    bool stopping = false;
};
Capture g_capture;

// Records and logs the first failure; later ones are consequences.
void fail(const std::string& message) {
    {
        std::lock_guard<std::mutex> lock(g_capture.mutex);
        if (g_capture.failed.load()) return;
        g_capture.failure = message;
        g_capture.failed.store(true);
    }
    stmMsg("capture: %s\n", message.c_str());
}

std::string lowerCase(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

bool endsWith(const std::string& s, const char* suffix) {
    size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

bool isVideoName(const std::string& name) {
    for (const char* ext : kVideoExtensions)
        if (endsWith(lowerCase(name), ext)) return true;
    return false;
}

// libpng's errors end in a longjmp; the cause (errno of the failed write, or
// libpng's own text) is kept for the message.
void pngError(png_structp png, png_const_charp message) {
    std::string* cause = static_cast<std::string*>(png_get_error_ptr(png));
    *cause = errno ? std::strerror(errno) : message;
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

// Encodes the frame into `f`; false (the cause kept by pngError) when libpng
// gave up. Rows arrive bottom-up as glReadPixels gives them; the file is
// top-down. Fast zlib settings: capture speed matters more than file size.
bool encodePng(png_structp png, png_infop info, FILE* f, int width, int height, const unsigned char* rgba,
               std::vector<png_bytep>& rows) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_init_io(png, f);
    png_set_compression_level(png, 1);
    png_set_filter(png, 0, PNG_FILTER_SUB);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    for (int y = 0; y < height; ++y)
        rows[size_t(y)] = const_cast<png_bytep>(rgba + size_t(height - 1 - y) * size_t(width) * 4);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    return true;
}

// Writes one frame as a PNG file; on failure `cause` says why and whatever
// was at `path` stays.
bool writePng(const std::string& path, int width, int height, const unsigned char* rgba, std::string& cause) {
    stm_internal::OutputFile out(path);
    if (!out.create(cause)) return false;
    FILE* f = out.stream();
    if (!f) {
        cause = std::strerror(errno);
        return false;
    }
    errno = 0;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &cause, pngError, pngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    const bool created = png && info;
    if (!created) cause = "out of memory";
    const bool encoded = created && encodePng(png, info, f, width, height, rgba, rows);
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    // Buffered bytes meet a full disk only when the stream is closed.
    return encoded && out.commit(cause);
}

bool writeAll(int fd, const unsigned char* data, size_t size) {
    while (size > 0) {
        ssize_t n = write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

bool finishVideo();

// Makes the frame opaque and writes it: a PNG file, or ffmpeg's next frame.
void writeFrame(PendingFrame& frame) {
    // The picture is opaque whatever the effects left in the alpha channel.
    std::vector<unsigned char>& pixels = frame.pixels;
    for (size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 255;
    if (g_capture.mode == Mode::Video) {
        // ffmpeg stopped: its own reason is what the user needs.
        if (!writeAll(g_capture.ffmpegInput, pixels.data(), pixels.size())) finishVideo();
        return;
    }
    std::string cause;
    if (!writePng(frame.path, g_capture.width, g_capture.height, pixels.data(), cause))
        fail("cannot write '" + frame.path + "': " + cause);
}

void writerLoop() {
    for (;;) {
        PendingFrame frame;
        {
            std::unique_lock<std::mutex> lock(g_capture.mutex);
            g_capture.changed.wait(lock, [] { return !g_capture.queue.empty() || g_capture.stopping; });
            if (g_capture.queue.empty()) return;
            frame = std::move(g_capture.queue.front());
            g_capture.queue.pop_front();
        }
        if (!g_capture.failed.load()) writeFrame(frame);
        {
            std::lock_guard<std::mutex> lock(g_capture.mutex);
            g_capture.spare.push_back(std::move(frame.pixels));
        }
        g_capture.changed.notify_all();
    }
}

// The song as a file ffmpeg can open and seek: an anonymous in-memory file
// (nothing on disk to leave behind), or -1 when there is no song.
int stageSong() {
    const std::vector<unsigned char>* song = stm_internal::songFile();
    if (!song) return -1;
    int fd = memfd_create("zephran-song", MFD_CLOEXEC);
    size_t done = 0;
    while (fd >= 0 && done < song->size()) {
        ssize_t n = write(fd, song->data() + done, song->size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            close(fd);
            fd = -1;
            break;
        }
        done += size_t(n);
    }
    if (fd < 0)
        stmMsg("capture: cannot stage the song for ffmpeg (%s); the video stays silent\n", std::strerror(errno));
    return fd;
}

// Logs each line ffmpeg writes on stderr (a log line ends the progress
// line, so none is lost in it) and keeps the latest for the failure message.
void readFfmpegErrors(int fd) {
    std::string pending;
    char buffer[1024];
    for (;;) {
        ssize_t n = read(fd, buffer, sizeof(buffer));
        if (n < 0 && errno == EINTR) continue;
        if (n > 0) pending.append(buffer, size_t(n));
        size_t end;
        while ((end = pending.find_first_of("\r\n")) != std::string::npos || (n <= 0 && !pending.empty())) {
            if (end == std::string::npos) end = pending.size();
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (line.find_first_not_of(" \t") == std::string::npos) continue;
            stmMsg("ffmpeg: %.500s\n", line.c_str());
            std::lock_guard<std::mutex> lock(g_capture.mutex);
            g_capture.ffmpegLastError = line;
        }
        if (n <= 0) break;
    }
    close(fd);
}

// Starts ffmpeg reading raw frames on its stdin, the song (if any) as its
// fd 3. It runs in its own process group, so a Ctrl-C meant for the capture
// does not cut the video short; the capture closes its input instead.
bool startVideo(const std::string& out) {
    const StmRunOptions& options = stmGetRunOptions();
    std::string size = std::to_string(g_capture.width) + "x" + std::to_string(g_capture.height);
    std::string rate = std::to_string(options.fixedFps > 0 ? options.fixedFps : 60);
    char seek[64];
    std::snprintf(seek, sizeof(seek), "%.3f", stmGetTime() / 1000.0);
    g_capture.video.reset(new stm_internal::OutputFile(out));
    std::string cause;
    if (!g_capture.video->create(cause)) {
        fail("cannot write '" + out + "': " + cause);
        return false;
    }
    // ffmpeg writes the temporary file (a relative name that begins with '-'
    // would read as an option).
    std::string target = g_capture.video->temporaryPath();
    if (target[0] == '-') target = "./" + target;
    std::vector<std::string> args = {"ffmpeg", "-nostdin", "-y", "-loglevel",  "error", "-f", "rawvideo", "-pix_fmt",
                                     "rgba",   "-s",       size, "-framerate", rate,    "-i", "pipe:0"};
    int song = stageSong();
    if (song >= 0)
        args.insert(args.end(), {"-ss", seek, "-i", "/dev/fd/3", "-map", "0:v:0", "-map", "1:a:0", "-c:a", "aac",
                                 "-b:a", "192k", "-shortest"});
    args.insert(args.end(), {"-vf", "vflip", "-c:v", "libx264", "-preset", "veryfast", "-crf", "18", "-pix_fmt",
                             "yuv420p", target});
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    int pipeFds[2], errorFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) {
        fail(std::string("cannot start ffmpeg: ") + std::strerror(errno));
        if (song >= 0) close(song);
        return false;
    }
    if (pipe2(errorFds, O_CLOEXEC) != 0) {
        fail(std::string("cannot start ffmpeg: ") + std::strerror(errno));
        close(pipeFds[0]);
        close(pipeFds[1]);
        if (song >= 0) close(song);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[0], 0);
    posix_spawn_file_actions_adddup2(&actions, errorFds[1], 2);
    if (song >= 0) posix_spawn_file_actions_adddup2(&actions, song, 3);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);
    pid_t pid = 0;
    int error = posix_spawnp(&pid, "ffmpeg", &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[0]);
    close(errorFds[1]);
    if (song >= 0) close(song);
    if (error != 0) {
        close(pipeFds[1]);
        close(errorFds[0]);
        fail(std::string("cannot start ffmpeg for '") + out + "': " + std::strerror(error));
        return false;
    }
    signal(SIGPIPE, SIG_IGN); // a dying ffmpeg is reported, not fatal
    g_capture.ffmpeg = pid;
    g_capture.ffmpegInput = pipeFds[1];
    g_capture.ffmpegLastError.clear();
    g_capture.ffmpegErrors = std::thread(readFfmpegErrors, errorFds[0]);
    return true;
}

// Closes ffmpeg's input and waits for it. The video is renamed into place
// when ffmpeg ended cleanly; otherwise the failure is logged with ffmpeg's
// last error line and only the temporary file is removed. Called by the
// writer when ffmpeg stops taking frames, else at the end of the capture.
bool finishVideo() {
    if (!g_capture.ffmpeg) return !g_capture.failed.load();
    close(g_capture.ffmpegInput);
    g_capture.ffmpegInput = -1;
    int status = 0;
    while (waitpid(g_capture.ffmpeg, &status, 0) < 0 && errno == EINTR) {}
    g_capture.ffmpeg = 0;
    if (g_capture.ffmpegErrors.joinable()) g_capture.ffmpegErrors.join();
    std::string out = stmGetRunOptions().captureOut;
    std::string cause;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && !g_capture.failed.load()) {
        if (g_capture.video->commit(cause)) return true;
        fail("cannot write '" + out + "': " + cause);
        return false;
    }
    g_capture.video->discard();
    std::string reason;
    {
        std::lock_guard<std::mutex> lock(g_capture.mutex);
        reason = g_capture.ffmpegLastError;
    }
    std::string exit = WIFEXITED(status) ? "exit status " + std::to_string(WEXITSTATUS(status))
                                         : "signal " + std::to_string(WTERMSIG(status));
    fail("ffmpeg failed writing '" + out + "': " + (reason.empty() ? exit : reason + " (" + exit + ")"));
    return false;
}

bool start() {
    const StmRunOptions& options = stmGetRunOptions();
    std::string out = options.captureOut;
    g_capture.started = true;
    g_capture.written = 0;
    g_capture.width = stm_internal::framebufferWidth();
    g_capture.height = stm_internal::framebufferHeight();
    g_capture.startCounter = g_capture.lastReport = SDL_GetPerformanceCounter();
    if (options.captureTo >= 0.0f && options.fixedFps > 0)
        g_capture.expected = int((options.captureTo - stmGetTime()) * options.fixedFps / 1000.0f + 0.999f);
    if (isVideoName(out)) {
        g_capture.mode = Mode::Video;
        if (!startVideo(out)) {
            g_capture.video.reset();
            return false;
        }
        g_capture.writer = std::thread(writerLoop);
        return true;
    }
    if (endsWith(lowerCase(out), ".png")) {
        g_capture.mode = Mode::SingleFile;
    } else {
        std::error_code ec;
        std::filesystem::create_directories(out, ec);
        if (ec) {
            fail("cannot create directory '" + out + "': " + ec.message());
            return false;
        }
        g_capture.mode = Mode::Directory;
    }
    g_capture.writer = std::thread(writerLoop);
    return true;
}

void reportProgress(bool last) {
    Uint64 now = SDL_GetPerformanceCounter();
    double freq = double(SDL_GetPerformanceFrequency());
    if (!last && double(now - g_capture.lastReport) / freq < 0.25) return;
    g_capture.lastReport = now;
    double seconds = double(now - g_capture.startCounter) / freq;
    double fps = seconds > 0.0 ? g_capture.written / seconds : 0.0;
    char line[128];
    if (g_capture.expected > 0) {
        int left = g_capture.expected - g_capture.written;
        int eta = fps > 0.0 && left > 0 ? int(left / fps) : 0;
        const int width = 24;
        int filled = std::min(width, g_capture.written * width / g_capture.expected);
        std::snprintf(line, sizeof(line), "capture [%.*s%*s] %d/%d frames  %.1f fps  ETA %d:%02d ", filled,
                      "########################", width - filled, "", g_capture.written, g_capture.expected, fps,
                      eta / 60, eta % 60);
    } else {
        std::snprintf(line, sizeof(line), "capture %d frames  %.1f fps ", g_capture.written, fps);
    }
    stm_internal::progressLine(line);
    if (last) stm_internal::endProgressLine();
}

} // namespace

namespace stm_internal {

void captureFrame() {
    const StmRunOptions& options = stmGetRunOptions();
    if (!options.captureOut || g_capture.failed.load()) return;
    if (options.captureTo >= 0.0f && stmGetTime() >= options.captureTo) return;
    if (!g_capture.started && !start()) return;
    PendingFrame frame;
    if (g_capture.mode == Mode::Directory) {
        char name[32];
        std::snprintf(name, sizeof(name), "/frame_%06d.png", g_capture.written);
        frame.path = std::string(options.captureOut) + name;
    } else if (g_capture.mode == Mode::SingleFile) {
        frame.path = options.captureOut;
    }
    std::unique_lock<std::mutex> lock(g_capture.mutex);
    g_capture.changed.wait(lock, [] { return g_capture.queue.size() < kQueuedFrames; });
    if (!g_capture.spare.empty()) {
        frame.pixels = std::move(g_capture.spare.back());
        g_capture.spare.pop_back();
    }
    lock.unlock();
    frame.pixels.resize(size_t(g_capture.width) * g_capture.height * 4);
    bindWindowFramebuffer();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, g_capture.width, g_capture.height, GL_RGBA, GL_UNSIGNED_BYTE, frame.pixels.data());
    lock.lock();
    g_capture.queue.push_back(std::move(frame));
    lock.unlock();
    g_capture.changed.notify_all();
    ++g_capture.written;
    reportProgress(false);
}

bool finishCapture() {
    if (!g_capture.started) return !g_capture.failed.load();
    if (g_capture.writer.joinable()) {
        {
            std::lock_guard<std::mutex> lock(g_capture.mutex);
            g_capture.stopping = true;
        }
        g_capture.changed.notify_all();
        g_capture.writer.join();
    }
    if (g_capture.ffmpeg) finishVideo();
    reportProgress(true);
    bool ok = !g_capture.failed.load();
    const char* out = stmGetRunOptions().captureOut;
    if (ok && stmStopSignal())
        stmMsg("capture: interrupted by signal %d after %d frames; '%s' holds them\n", stmStopSignal(),
               g_capture.written, out);
    else if (ok)
        stmMsg("capture: %d frames to '%s'\n", g_capture.written, out);
    else
        stmMsg("capture: failed after %d frames: %s\n", g_capture.written, g_capture.failure.c_str());
    g_capture.mode = Mode::Off;
    g_capture.started = g_capture.stopping = false;
    g_capture.queue.clear();
    g_capture.spare.clear();
    return ok;
}

void resetCapture() {
    g_capture.failed.store(false);
    g_capture.failure.clear();
    g_capture.written = 0;
}

} // namespace stm_internal

int stmCapturedFrames() { return g_capture.written; }

bool stmCaptureFailed() { return g_capture.failed.load(); }

bool stmFinishCapture() { return stm_internal::finishCapture(); }

namespace {

// Where a capture directory would be made: the nearest part of its path that
// exists.
std::string existingAncestor(const std::string& path) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(path, ec);
    while (p.has_relative_path() && !std::filesystem::exists(p, ec)) p = p.parent_path();
    return p.string();
}

// A capture directory: it, or the files it would replace, cannot be written.
std::string directoryProblem(const std::string& out) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (!fs::exists(out, ec)) {
        std::string ancestor = existingAncestor(out);
        if (!fs::is_directory(ancestor, ec))
            return "cannot create directory '" + out + "': '" + ancestor + "' is not a directory";
        stm_internal::OutputFile probe(ancestor + "/frames");
        std::string cause;
        if (!probe.create(cause)) return "cannot create directory '" + out + "' in '" + ancestor + "': " + cause;
        return std::string();
    }
    for (auto it = fs::directory_iterator(out, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (name.rfind("frame_", 0) == 0 && endsWith(name, ".png")) {
            std::string problem = stm_internal::outputPathProblem(it->path().string(), false);
            if (!problem.empty()) return problem;
        }
    }
    return stm_internal::outputWriteProblem(out + "/frame_000000.png");
}

} // namespace

const char* stmOutputProblem(const char* name, StmOutputKind kind) {
    static std::string problem;
    std::string out = name ? name : "";
    std::string lower = lowerCase(out);
    std::error_code ec;
    const bool directory = kind == STM_OUTPUT_CAPTURE && !isVideoName(out);
    problem.clear();
    if (out.empty())
        problem = "the output name is empty";
    else if (kind == STM_OUTPUT_SHOT && !endsWith(lower, ".png"))
        problem = "'" + out + "' is not a .png file name; a shot is written as one PNG file";
    else if (directory && !std::filesystem::is_directory(out, ec) && endsWith(lower, ".png"))
        problem = "'" + out +
                  "' is one PNG file, but a capture writes every frame: give a directory, or a video "
                  "name (.mp4, .mkv, .mov, .avi); --shot writes a single frame";
    else if (directory && !std::filesystem::is_directory(out, ec) && std::filesystem::path(out).has_extension())
        problem = "'" + out + "' is neither a video name (.mp4, .mkv, .mov, .avi) nor a directory";
    if (problem.empty()) problem = stm_internal::outputPathProblem(out, directory);
    if (problem.empty()) problem = directory ? directoryProblem(out) : stm_internal::outputWriteProblem(out);
    return problem.empty() ? nullptr : problem.c_str();
}
