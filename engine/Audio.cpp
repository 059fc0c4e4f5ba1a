// The song: "song.ogg" from the archive, decoded progressively on a worker
// thread into 16-bit PCM, played through an SDL audio device, seekable, with
// its spectrum at the song time and an export to WAV.
//
// Playback starts at once; the device reads only what the decoder has
// finished and plays silence beyond it (and past the song's end, so the clock
// runs on). The spectrum waits for the samples it needs, so a given song time
// always gives the same values. Without a device (headless, shots, captures)
// the decoder keeps only a few seconds ahead of what the spectrum has asked
// for, so a shot or a short capture neither waits for nor competes with
// decoding the whole song; an open device or the export wants all of it.
#include "engine/Internal.h"

#include <SDL.h>
#include <kissfft/kiss_fftr.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <mutex>
#include <new>
#include <thread>

namespace {

const int kFftSize = 1024;
// Magnitudes are scaled so that loud music sums to about 0.5..3 over bins 0..510.
const float kSpectrumScale = 3.2f / 1024.0f;
const int kDeviceFrames = 1024;
// How far ahead of the spectrum's last request the decoder runs without a
// device, in seconds.
const int kDecodeAheadSeconds = 4;

struct MemoryFile {
    const std::vector<unsigned char>* bytes;
    size_t at;
};

size_t memRead(void* dst, size_t size, size_t n, void* source) {
    MemoryFile* f = static_cast<MemoryFile*>(source);
    size_t want = size * n, left = f->bytes->size() - f->at;
    size_t got = std::min(want, left);
    if (got > 0) std::memcpy(dst, f->bytes->data() + f->at, got);
    f->at += got;
    return size ? got / size : 0;
}

int memSeek(void* source, ogg_int64_t offset, int whence) {
    MemoryFile* f = static_cast<MemoryFile*>(source);
    long long base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? (long long)f->at : (long long)f->bytes->size();
    long long to = base + offset;
    if (to < 0 || to > (long long)f->bytes->size()) return -1;
    f->at = size_t(to);
    return 0;
}

long memTell(void* source) { return long(static_cast<MemoryFile*>(source)->at); }

struct Song {
    bool loaded = false;
    int rate = 44100, channels = 2;
    std::vector<short> pcm;            // frames * channels, filled by the decoder
    std::atomic<long long> decoded{0}; // frames ready in pcm
    std::atomic<bool> finished{false};
    std::atomic<bool> abort{false};
    // The decoder stops before this frame until someone wants more.
    std::atomic<long long> wanted{0};
    long long frames = 0; // total, known once finished
    std::thread decoder;
    std::mutex mutex;
    std::condition_variable progress; // the decoder moved on or finished
    std::condition_variable demand;   // wanted grew or abort was set
    MemoryFile source{nullptr, 0};
    OggVorbis_File vf;
};
Song* g_song = nullptr;

struct Device {
    SDL_AudioDeviceID id = 0;
    std::atomic<float> gain{1.0f};
    // Owned by the callback, read and seeked under the device lock.
    long long playFrame = 0;
    long long framesAtCallback = 0;
    Uint64 callbackCounter = 0;
    double lastReportedMs = 0.0;
};
Device g_device;

kiss_fftr_cfg g_fft = nullptr;

void decodeLoop(Song* song) {
    long long capacity = (long long)song->pcm.size() / song->channels;
    long long done = 0;
    int section = 0;
    char buffer[16384];
    while (!song->abort.load()) {
        if (done >= song->wanted.load()) {
            std::unique_lock<std::mutex> lock(song->mutex);
            song->demand.wait(lock, [&] { return song->abort.load() || done < song->wanted.load(); });
            continue;
        }
        long got = ov_read(&song->vf, buffer, sizeof(buffer), 0, 2, 1, &section);
        if (got == OV_HOLE) continue;
        if (got <= 0) {
            if (got < 0) stmMsg("song.ogg: decoding stopped at frame %lld (error %ld)\n", done, got);
            break;
        }
        long long n = got / (2 * song->channels);
        if (done + n > capacity) {
            // The buffer is sized from the stream's own length and never
            // moves, so the device and the spectrum read it without locks.
            stmMsg("song.ogg: more samples than its header announces; the rest is dropped\n");
            break;
        }
        std::memcpy(song->pcm.data() + done * song->channels, buffer, size_t(n) * 2 * song->channels);
        done += n;
        {
            // Under the lock, so a waiter cannot miss the notification.
            std::lock_guard<std::mutex> lock(song->mutex);
            song->decoded.store(done);
        }
        song->progress.notify_all();
    }
    ov_clear(&song->vf);
    song->frames = done;
    {
        std::lock_guard<std::mutex> lock(song->mutex);
        song->finished.store(true);
    }
    song->progress.notify_all();
}

// The most frames the stream's packets can decode to: each audio packet
// gives at most half a long block. The header's length is a claim taken from
// the last page; this bound comes from the data actually present.
long long framesBound(const std::vector<unsigned char>& bytes, vorbis_info* info) {
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    char* buffer = ogg_sync_buffer(&sync, long(bytes.size()));
    long long packets = 0;
    if (buffer) {
        std::memcpy(buffer, bytes.data(), bytes.size());
        ogg_sync_wrote(&sync, long(bytes.size()));
        ogg_page page;
        for (int r; (r = ogg_sync_pageout(&sync, &page)) != 0;)
            if (r > 0) packets += ogg_page_packets(&page);
    }
    ogg_sync_clear(&sync);
    return packets * (vorbis_info_blocksize(info, 1) / 2);
}

Song* song() {
    if (g_song) return g_song->loaded ? g_song : nullptr;
    g_song = new Song();
    const std::vector<unsigned char>* bytes = stm_internal::member("song.ogg");
    if (!bytes) return nullptr;
    g_song->source = MemoryFile{bytes, 0};
    ov_callbacks callbacks = {memRead, memSeek, nullptr, memTell};
    int err = ov_open_callbacks(&g_song->source, &g_song->vf, nullptr, 0, callbacks);
    if (err != 0) {
        stmMsg("song.ogg: not an Ogg Vorbis stream (error %d); the song stays silent\n", err);
        return nullptr;
    }
    vorbis_info* info = ov_info(&g_song->vf, -1);
    g_song->rate = int(info->rate);
    g_song->channels = info->channels;
    ogg_int64_t total = ov_pcm_total(&g_song->vf, -1);
    if (total <= 0) {
        stmMsg("song.ogg: the stream does not say its length; the song stays silent\n");
        ov_clear(&g_song->vf);
        return nullptr;
    }
    long long bound = framesBound(*bytes, info);
    if (total > bound) {
        stmMsg("song.ogg: the stream claims %.1f s, its data holds at most %.1f s; the buffer is sized by the data\n",
               double(total) / g_song->rate, double(bound) / g_song->rate);
        total = bound;
    }
    try {
        g_song->pcm.assign(size_t(total) * g_song->channels, 0);
    } catch (const std::bad_alloc&) {
        stmMsg("song.ogg: no memory for %.1f s of audio; the song stays silent\n", double(total) / g_song->rate);
        ov_clear(&g_song->vf);
        return nullptr;
    }
    g_song->loaded = true;
    g_song->decoder = std::thread(decodeLoop, g_song);
    // A process that ends without stmShutDown must still stop the decoder
    // before the archive it reads from is destroyed.
    static bool stopAtExit = (std::atexit(stm_internal::shutdownAudio), true);
    (void)stopAtExit;
    stmMsg("song.ogg: %d Hz, %d channels, %.1f s\n", g_song->rate, g_song->channels, double(total) / g_song->rate);
    return g_song;
}

// Lets the decoder run up to frame `end` (exclusive); a value past the
// song's length lets it finish.
void want(Song* s, long long end) {
    {
        std::lock_guard<std::mutex> lock(s->mutex);
        if (end <= s->wanted.load()) return;
        s->wanted.store(end);
    }
    s->demand.notify_all();
}

const long long kWholeSong = (long long)1 << 62;

// Waits until frame `end` (exclusive) is decoded or the song is complete,
// and lets the decoder run a few seconds further meanwhile.
void waitForFrames(Song* s, long long end) {
    want(s, end >= kWholeSong ? end : end + (long long)kDecodeAheadSeconds * s->rate);
    if (s->decoded.load() >= end || s->finished.load()) return;
    std::unique_lock<std::mutex> lock(s->mutex);
    s->progress.wait(lock, [&] { return s->decoded.load() >= end || s->finished.load(); });
}

void audioCallback(void*, Uint8* stream, int len) {
    Song* s = g_song;
    short* out = reinterpret_cast<short*>(stream);
    int channels = s->channels;
    int frames = len / (2 * channels);
    long long ready = s->decoded.load();
    float gain = g_device.gain.load();
    for (int i = 0; i < frames; ++i) {
        long long f = g_device.playFrame + i;
        for (int c = 0; c < channels; ++c)
            out[i * channels + c] = f >= 0 && f < ready ? short(s->pcm[size_t(f) * channels + c] * gain) : 0;
    }
    g_device.playFrame += frames;
    g_device.framesAtCallback = g_device.playFrame;
    g_device.callbackCounter = SDL_GetPerformanceCounter();
}

// Every byte is checked; on failure the cause is logged and whatever was at
// `path` stays (the WAV is made beside it and renamed into place).
bool writeWav(const char* path, const Song& s) {
    stm_internal::OutputFile out(path);
    std::string cause;
    FILE* f = out.create(cause) ? out.stream() : nullptr;
    if (!f) {
        stmMsg("stmExportSong: cannot write '%s': %s\n", path, cause.empty() ? std::strerror(errno) : cause.c_str());
        return false;
    }
    bool ok = true;
    auto put = [&](const void* data, size_t size, size_t count) {
        ok = ok && std::fwrite(data, size, count, f) == count;
    };
    auto u32 = [&](uint32_t v) {
        unsigned char b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        put(b, 1, 4);
    };
    auto u16 = [&](uint16_t v) {
        unsigned char b[2] = {uint8_t(v), uint8_t(v >> 8)};
        put(b, 1, 2);
    };
    uint32_t dataBytes = uint32_t(s.frames * s.channels * 2);
    put("RIFF", 1, 4);
    u32(36 + dataBytes);
    put("WAVEfmt ", 1, 8);
    u32(16);
    u16(1);
    u16(uint16_t(s.channels));
    u32(uint32_t(s.rate));
    u32(uint32_t(s.rate * s.channels * 2));
    u16(uint16_t(s.channels * 2));
    u16(16);
    put("data", 1, 4);
    u32(dataBytes);
    // Samples are little-endian on every platform we build for.
    put(s.pcm.data(), 2, size_t(s.frames) * s.channels);
    if (!ok) cause = std::strerror(errno);
    if (!ok || !out.commit(cause)) {
        stmMsg("stmExportSong: writing '%s' failed: %s\n", path, cause.c_str());
        return false;
    }
    return true;
}

} // namespace

namespace stm_internal {
bool audioDeviceOpen() { return g_device.id != 0; }

double audioPositionMs() {
    if (!g_device.id) return 0.0;
    SDL_LockAudioDevice(g_device.id);
    long long frames = g_device.framesAtCallback;
    Uint64 at = g_device.callbackCounter;
    SDL_UnlockAudioDevice(g_device.id);
    // What is heard now: the start of the buffer last handed to the device
    // plus the time since, at most one buffer.
    double since = double(SDL_GetPerformanceCounter() - at) / double(SDL_GetPerformanceFrequency());
    double rate = g_song ? g_song->rate : 44100;
    double heard = double(frames - kDeviceFrames) + std::min(since * rate, double(kDeviceFrames));
    double ms = std::max(0.0, heard * 1000.0 / rate);
    // Never backwards between seeks, whatever the callback's jitter.
    ms = std::max(ms, g_device.lastReportedMs);
    g_device.lastReportedMs = ms;
    return ms;
}

void seekAudio(double ms) {
    if (!g_device.id) return;
    SDL_LockAudioDevice(g_device.id);
    g_device.playFrame = (long long)(ms * g_song->rate / 1000.0);
    g_device.framesAtCallback = g_device.playFrame + kDeviceFrames;
    g_device.callbackCounter = SDL_GetPerformanceCounter();
    g_device.lastReportedMs = ms;
    SDL_UnlockAudioDevice(g_device.id);
}

void pauseAudio(bool paused) {
    if (!g_device.id) return;
    if (!paused) seekAudio(double(stmGetTime())); // the interpolation restarts from the paused time
    SDL_PauseAudioDevice(g_device.id, paused ? 1 : 0);
}

void shutdownAudio() {
    if (g_device.id) {
        SDL_CloseAudioDevice(g_device.id);
        g_device.id = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    g_device.gain.store(1.0f);
    if (g_song) {
        {
            std::lock_guard<std::mutex> lock(g_song->mutex);
            g_song->abort.store(true);
        }
        g_song->demand.notify_all();
        if (g_song->decoder.joinable()) g_song->decoder.join();
        delete g_song;
        g_song = nullptr;
    }
    if (g_fft) {
        kiss_fftr_free(g_fft);
        g_fft = nullptr;
    }
}

const std::vector<unsigned char>* songFile() { return song() ? member("song.ogg") : nullptr; }

long long songFramesDecoded() { return g_song ? g_song->decoded.load() : 0; }
} // namespace stm_internal

void stmPlaySong(int play) {
    Song* s = song();
    if (!play) {
        if (g_device.id) SDL_PauseAudioDevice(g_device.id, 1);
        return;
    }
    if (!s) {
        // A song.ogg that is there but not playable has said so already.
        if (!stm_internal::member("song.ogg"))
            stmMsg("stmPlaySong: no song.ogg in the archive; the clock runs silently\n");
        return;
    }
    if (g_device.id) {
        SDL_PauseAudioDevice(g_device.id, 0);
        return;
    }
    const StmRunOptions& options = stmGetRunOptions();
    if (options.mute || options.fixedFps > 0) return; // silent runs keep the wall (or fixed) clock
    // The device plays whatever is decoded: from here on, decode it all.
    want(s, kWholeSong);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        stmMsg("stmPlaySong: no audio (%s); the clock runs silently\n", SDL_GetError());
        return;
    }
    SDL_AudioSpec want = {}, have = {};
    want.freq = s->rate;
    want.format = AUDIO_S16SYS;
    want.channels = Uint8(s->channels);
    want.samples = kDeviceFrames;
    want.callback = audioCallback;
    g_device.playFrame = (long long)(double(stmGetTime()) * s->rate / 1000.0);
    g_device.framesAtCallback = g_device.playFrame + kDeviceFrames;
    g_device.callbackCounter = SDL_GetPerformanceCounter();
    g_device.lastReportedMs = stmGetTime();
    g_device.id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!g_device.id) {
        stmMsg("stmPlaySong: cannot open an audio device (%s); the clock runs silently\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    SDL_PauseAudioDevice(g_device.id, 0);
}

void stmSetVolume(float volume) {
    // 0..1 is a gain (the closing fade), above 1 a percentage (100 restores).
    float gain = volume <= 0.0f ? 0.0f : volume <= 1.0f ? volume : std::min(1.0f, volume / 100.0f);
    g_device.gain.store(gain);
}

float stmGetVolume() { return g_device.gain.load(); }

float stmGetSongLength() {
    Song* s = song();
    if (!s) return 0.0f;
    long long frames = s->finished.load() ? s->frames : (long long)s->pcm.size() / s->channels;
    return float(double(frames) * 1000.0 / s->rate);
}

void stmGetSpectrum(float* buffer, int count) {
    if (!buffer || count <= 0) return;
    std::fill(buffer, buffer + count, 0.0f);
    Song* s = song();
    if (!s) return;
    if (!g_fft) g_fft = kiss_fftr_alloc(kFftSize, 0, nullptr, nullptr);
    long long centre = (long long)std::floor(double(stmGetTime()) * s->rate / 1000.0);
    long long first = centre - kFftSize / 2;
    waitForFrames(s, first + kFftSize);
    long long ready = s->decoded.load();
    float in[kFftSize];
    for (int i = 0; i < kFftSize; ++i) {
        long long f = first + i;
        float v = 0.0f;
        if (f >= 0 && f < ready)
            for (int c = 0; c < s->channels; ++c) v += s->pcm[size_t(f) * s->channels + c];
        float window = 0.5f - 0.5f * std::cos(2.0f * 3.14159265f * i / (kFftSize - 1));
        in[i] = v / (32768.0f * s->channels) * window;
    }
    kiss_fft_cpx out[kFftSize / 2 + 1];
    kiss_fftr(g_fft, in, out);
    int n = std::min(count, kFftSize / 2);
    for (int i = 0; i < n; ++i) buffer[i] = std::sqrt(out[i].r * out[i].r + out[i].i * out[i].i) * kSpectrumScale;
}

bool stmExportSong(const char* wavPath) {
    Song* s = song();
    if (!s) {
        if (!stm_internal::member("song.ogg")) stmMsg("stmExportSong: no song.ogg in the archive\n");
        return false;
    }
    waitForFrames(s, kWholeSong);
    bool ok = writeWav(wavPath, *s);
    if (ok) stmMsg("stmExportSong: wrote '%s' (%.1f s)\n", wavPath, double(s->frames) / s->rate);
    return ok;
}
