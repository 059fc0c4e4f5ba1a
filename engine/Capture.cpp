// Headless capture: every stmSwapBuffers reads the finished frame back and
// writes it as a PNG file (one file, or numbered files in a directory), or
// pipes it to ffmpeg with the song as the audio track for .mp4/.mkv. Frames
// depend only on the fixed clock, never on wall time; wall time only feeds
// the progress line.
#include "engine/Internal.h"

#include <SDL.h>
#include <GL/gl.h>
#include <png.h>

#include <cerrno>
#include <csignal>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <mutex>
#include <thread>
#include <unistd.h>

namespace {

enum class Mode { Off, Directory, SingleFile, Video };

struct PendingFrame {
    std::string path;
    std::vector<unsigned char> pixels;
};

struct Capture {
    Mode mode = Mode::Off;
    bool started = false;
    bool failed = false;
    int width = 0, height = 0;
    int written = 0;                // frames of the latest capture
    int expected = 0;               // frames in from..to, 0 when unknown
    Uint64 startCounter = 0, lastReport = 0;
    FILE* ffmpeg = nullptr;
    std::string songPath;           // temporary copy of song.ogg for ffmpeg
    // PNG encoding runs on a worker so it overlaps the next frame's rendering.
    std::thread writer;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<PendingFrame> queue;
    bool stopping = false;
};
Capture g_capture;

bool endsWith(const std::string& s, const char* suffix)
{
    size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

std::string shellQuote(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// Rows arrive bottom-up as glReadPixels gives them; the file is top-down.
// Fast zlib settings: capture speed matters more than file size.
bool writePng(const std::string& path, int width, int height, const unsigned char* rgba)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    bool ok = png && info;
    if (ok && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, f);
        png_set_compression_level(png, 1);
        png_set_filter(png, 0, PNG_FILTER_SUB);
        png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        for (int y = 0; y < height; ++y)
            rows[size_t(y)] = const_cast<png_bytep>(rgba + size_t(height - 1 - y) * size_t(width) * 4);
        png_set_rows(png, info, rows.data());
        png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    } else {
        ok = false;
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return std::fclose(f) == 0 && ok;
}

void writerLoop()
{
    for (;;) {
        PendingFrame frame;
        {
            std::unique_lock<std::mutex> lock(g_capture.mutex);
            g_capture.changed.wait(lock, [] { return !g_capture.queue.empty() || g_capture.stopping; });
            if (g_capture.queue.empty())
                return;
            frame = std::move(g_capture.queue.front());
            g_capture.queue.pop_front();
        }
        g_capture.changed.notify_all();
        if (!writePng(frame.path, g_capture.width, g_capture.height, frame.pixels.data()))
            stmMsg("capture: cannot write '%s'\n", frame.path.c_str());
    }
}

bool startVideo(const std::string& out)
{
    const StmRunOptions& options = stmGetRunOptions();
    std::string audio;
    if (const std::vector<unsigned char>* song = stm_internal::songFile()) {
        char tmpl[] = "/tmp/zephran-song-XXXXXX";
        int fd = mkstemp(tmpl);
        if (fd >= 0) {
            bool ok = write(fd, song->data(), song->size()) == ssize_t(song->size());
            close(fd);
            if (ok) {
                g_capture.songPath = tmpl;
                char seek[64];
                std::snprintf(seek, sizeof(seek), "%.3f", stmGetTime() / 1000.0);
                audio = std::string(" -ss ") + seek + " -i " + shellQuote(tmpl) +
                        " -map 0:v:0 -map 1:a:0 -c:a aac -b:a 192k -shortest";
            }
        }
        if (audio.empty())
            stmMsg("capture: cannot stage the song for ffmpeg; the video stays silent\n");
    }
    char video[256];
    std::snprintf(video, sizeof(video),
                  "ffmpeg -y -loglevel error -f rawvideo -pix_fmt rgba -s %dx%d -framerate %d -i -", g_capture.width,
                  g_capture.height, options.fixedFps > 0 ? options.fixedFps : 60);
    std::string command = std::string(video) + audio +
                          " -vf vflip -c:v libx264 -preset veryfast -crf 18 -pix_fmt yuv420p " + shellQuote(out);
    signal(SIGPIPE, SIG_IGN);   // a dying ffmpeg is reported, not fatal
    g_capture.ffmpeg = popen(command.c_str(), "w");
    if (!g_capture.ffmpeg) {
        stmMsg("capture: cannot start ffmpeg: %s\n", std::strerror(errno));
        return false;
    }
    return true;
}

bool start()
{
    const StmRunOptions& options = stmGetRunOptions();
    std::string out = options.captureOut;
    g_capture.started = true;
    g_capture.written = 0;
    g_capture.width = stm_internal::framebufferWidth();
    g_capture.height = stm_internal::framebufferHeight();
    g_capture.startCounter = g_capture.lastReport = SDL_GetPerformanceCounter();
    if (options.captureTo >= 0.0f && options.fixedFps > 0)
        g_capture.expected = int((options.captureTo - stmGetTime()) * options.fixedFps / 1000.0f + 0.999f);
    if (endsWith(out, ".mp4") || endsWith(out, ".mkv")) {
        g_capture.mode = Mode::Video;
        return startVideo(out);
    }
    if (endsWith(out, ".png")) {
        g_capture.mode = Mode::SingleFile;
    } else {
        std::error_code ec;
        std::filesystem::create_directories(out, ec);
        if (ec) {
            stmMsg("capture: cannot create directory '%s': %s\n", out.c_str(), ec.message().c_str());
            return false;
        }
        g_capture.mode = Mode::Directory;
    }
    g_capture.writer = std::thread(writerLoop);
    return true;
}

void reportProgress(bool last)
{
    Uint64 now = SDL_GetPerformanceCounter();
    double freq = double(SDL_GetPerformanceFrequency());
    if (!last && double(now - g_capture.lastReport) / freq < 0.25)
        return;
    g_capture.lastReport = now;
    double seconds = double(now - g_capture.startCounter) / freq;
    double fps = seconds > 0.0 ? g_capture.written / seconds : 0.0;
    if (g_capture.expected > 0) {
        int left = g_capture.expected - g_capture.written;
        int eta = fps > 0.0 && left > 0 ? int(left / fps) : 0;
        const int width = 24;
        int filled = std::min(width, g_capture.written * width / g_capture.expected);
        std::fprintf(stderr, "\rcapture [%.*s%*s] %d/%d frames  %.1f fps  ETA %d:%02d ", filled,
                     "########################", width - filled, "", g_capture.written, g_capture.expected, fps,
                     eta / 60, eta % 60);
    } else {
        std::fprintf(stderr, "\rcapture %d frames  %.1f fps ", g_capture.written, fps);
    }
    if (last)
        std::fprintf(stderr, "\n");
    std::fflush(stderr);
}

} // namespace

namespace stm_internal {

void captureFrame()
{
    const StmRunOptions& options = stmGetRunOptions();
    if (!options.captureOut || g_capture.failed)
        return;
    if (options.captureTo >= 0.0f && stmGetTime() >= options.captureTo)
        return;
    if (!g_capture.started && !start()) {
        g_capture.failed = true;
        return;
    }
    std::vector<unsigned char> pixels(size_t(g_capture.width) * g_capture.height * 4);
    bindWindowFramebuffer();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, g_capture.width, g_capture.height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    // The picture is opaque whatever the effects left in the alpha channel.
    for (size_t i = 3; i < pixels.size(); i += 4)
        pixels[i] = 255;

    if (g_capture.mode == Mode::Video) {
        if (std::fwrite(pixels.data(), 1, pixels.size(), g_capture.ffmpeg) != pixels.size()) {
            stmMsg("capture: ffmpeg stopped taking frames\n");
            g_capture.failed = true;
            return;
        }
    } else {
        std::string path = options.captureOut;
        if (g_capture.mode == Mode::Directory) {
            char name[32];
            std::snprintf(name, sizeof(name), "/frame_%06d.png", g_capture.written);
            path += name;
        }
        std::unique_lock<std::mutex> lock(g_capture.mutex);
        g_capture.changed.wait(lock, [] { return g_capture.queue.size() < 2; });
        g_capture.queue.push_back(PendingFrame{path, std::move(pixels)});
        lock.unlock();
        g_capture.changed.notify_all();
    }
    ++g_capture.written;
    reportProgress(false);
}

void finishCapture()
{
    if (!g_capture.started)
        return;
    if (g_capture.writer.joinable()) {
        {
            std::lock_guard<std::mutex> lock(g_capture.mutex);
            g_capture.stopping = true;
        }
        g_capture.changed.notify_all();
        g_capture.writer.join();
    }
    if (g_capture.ffmpeg) {
        int status = pclose(g_capture.ffmpeg);
        g_capture.ffmpeg = nullptr;
        if (status != 0)
            stmMsg("capture: ffmpeg failed (status %d)\n", status);
    }
    if (!g_capture.songPath.empty())
        std::remove(g_capture.songPath.c_str());
    reportProgress(true);
    stmMsg("capture: %d frames to '%s'\n", g_capture.written, stmGetRunOptions().captureOut);
    g_capture.mode = Mode::Off;
    g_capture.started = g_capture.failed = g_capture.stopping = false;
    g_capture.songPath.clear();
    g_capture.queue.clear();
}

} // namespace stm_internal

int stmCapturedFrames() { return g_capture.written; }
