// The engine interface: window and OpenGL context, music and clock, keys, the
// data archive, textures, camera helpers and the effect scheduler, plus the
// math and effect base classes the demo is written against.
//
// Everything platform-specific (SDL, audio devices, zip, image decoding,
// ffmpeg) lives behind this header in engine/. The one other place is
// launcher/: its dialog runs before the engine starts, in an SDL window of
// its own, and decodes its banner and icon itself. The rest of the program
// talks to these functions only. All functions run on the thread that owns
// the GL context.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ZEPHRAN_STAGEMILL {

// ---------------------------------------------------------------------------
// Math
// ---------------------------------------------------------------------------

class Vector3;

// Four-component vector. Arithmetic works on all four components; length,
// normalize and crossProduct on x, y, z only (w is kept, or 0 for a cross
// product). Vector(s) sets x = y = z = s and w = 0; a Vector3 widens with w = 0.
class Vector {
public:
    float x, y, z, w;
    Vector() : x(0), y(0), z(0), w(0) {}
    explicit Vector(float s) : x(s), y(s), z(s), w(0) {}
    Vector(float x_, float y_, float z_, float w_ = 0) : x(x_), y(y_), z(z_), w(w_) {}
    Vector(const Vector3& v);

    Vector operator+(const Vector& o) const { return Vector(x + o.x, y + o.y, z + o.z, w + o.w); }
    Vector operator-(const Vector& o) const { return Vector(x - o.x, y - o.y, z - o.z, w - o.w); }
    Vector operator*(const Vector& o) const { return Vector(x * o.x, y * o.y, z * o.z, w * o.w); }
    Vector operator*(float s) const { return Vector(x * s, y * s, z * s, w * s); }
    Vector operator/(float s) const { return Vector(x / s, y / s, z / s, w / s); }
    Vector operator-() const { return Vector(-x, -y, -z, -w); }
    Vector& operator+=(const Vector& o) {
        x += o.x;
        y += o.y;
        z += o.z;
        w += o.w;
        return *this;
    }
    Vector& operator-=(const Vector& o) {
        x -= o.x;
        y -= o.y;
        z -= o.z;
        w -= o.w;
        return *this;
    }
    Vector& operator*=(float s) {
        x *= s;
        y *= s;
        z *= s;
        w *= s;
        return *this;
    }
    Vector& operator*=(const Vector& o) {
        x *= o.x;
        y *= o.y;
        z *= o.z;
        w *= o.w;
        return *this;
    }

    float sqLength() const { return x * x + y * y + z * z; }
    float length() const;
    float dot(const Vector& o) const { return x * o.x + y * o.y + z * o.z; }
    // Scales x, y, z to unit length; a zero vector stays zero.
    Vector& normalize();
    Vector crossProduct(const Vector& o) const;
};

class Vector3 {
public:
    float x, y, z;
    Vector3() : x(0), y(0), z(0) {}
    explicit Vector3(float s) : x(s), y(s), z(s) {}
    Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    Vector3(const Vector& v) : x(v.x), y(v.y), z(v.z) {}

    Vector3 operator+(const Vector3& o) const { return Vector3(x + o.x, y + o.y, z + o.z); }
    Vector3 operator-(const Vector3& o) const { return Vector3(x - o.x, y - o.y, z - o.z); }
    Vector3 operator*(const Vector3& o) const { return Vector3(x * o.x, y * o.y, z * o.z); }
    Vector3 operator*(float s) const { return Vector3(x * s, y * s, z * s); }
    Vector3 operator/(float s) const { return Vector3(x / s, y / s, z / s); }
    Vector3 operator-() const { return Vector3(-x, -y, -z); }
    Vector3& operator+=(const Vector3& o) {
        x += o.x;
        y += o.y;
        z += o.z;
        return *this;
    }
    Vector3& operator-=(const Vector3& o) {
        x -= o.x;
        y -= o.y;
        z -= o.z;
        return *this;
    }
    Vector3& operator*=(float s) {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }

    float sqLength() const { return x * x + y * y + z * z; }
    float length() const;
    float dot(const Vector3& o) const { return x * o.x + y * o.y + z * o.z; }
    Vector3 crossProduct(const Vector3& o) const {
        return Vector3(y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x);
    }
    // Scales to unit length; a zero vector stays zero.
    Vector3& normalize();
};

inline Vector::Vector(const Vector3& v) : x(v.x), y(v.y), z(v.z), w(0) {}

// 4x4 matrix in OpenGL column order: m[column * 4 + row], ready for
// glLoadMatrixf / glMultMatrixf. Translation lives in m[12], m[13], m[14].
class Matrix4 {
public:
    float m[16];
    Matrix4() { makeIdentity(); }
    explicit Matrix4(const float* columnMajor);

    Matrix4 operator*(const Matrix4& o) const;
    Vector operator*(const Vector& v) const;       // full 4x4 product
    Vector3 multipleBy3x3(const Vector3& v) const; // rotation/scale part only
    Matrix4 transpose() const;
    Matrix4 inverse() const;          // identity when singular
    Matrix4 inverseTranspose() const; // normal matrix of the upper 3x3
    Matrix4& makeIdentity();
    Matrix4& makeRotation(float angleDegrees, float x, float y, float z); // as glRotatef
    Matrix4& makeScaleXYZ(float x, float y, float z);
    Matrix4& makeTranslation(float x, float y, float z);
    float& operator[](int i) { return m[i]; }
    float operator[](int i) const { return m[i]; }
};

// ---------------------------------------------------------------------------
// Textures
// ---------------------------------------------------------------------------

// A GL texture made from an archive image (or a render texture). Image data is
// kept after upload as 4-byte RGBA pixels, rows of getWidth() pixels, top row
// first; render textures have no image data (null).
class Texture {
public:
    Texture(unsigned int id, int width, int height, unsigned char* rgba);
    ~Texture();
    unsigned int getID() const { return id_; }
    int getWidth() const { return width_; }
    int getHeight() const { return height_; }
    unsigned char* getImgData() const { return rgba_; }
    // New pixels for the same texture (malloc'd, owned from now on); the GL
    // upload is the caller's.
    void replaceImage(int width, int height, unsigned char* rgba);
    void bind() const; // glBindTexture(GL_TEXTURE_2D, id)
private:
    unsigned int id_;
    int width_, height_;
    unsigned char* rgba_;
};

// Six face textures of one cube; the demo's Cubemap class builds GL cube maps
// from them.
class TextureCube {
public:
    Texture* faces[6] = {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr}; // px nx py ny pz nz
};

// ---------------------------------------------------------------------------
// Effects
// ---------------------------------------------------------------------------

// The effect interface driven by the scheduler. `time` is the song time in ms,
// kept current by the engine before draw() runs; start/end are the span.
class Base {
public:
    Base() = default;
    virtual ~Base() = default;
    // Stores the span and returns true; effects that load data override it,
    // store the two values first and return true.
    virtual bool init(unsigned long start_, unsigned long end_) {
        start = start_;
        end = end_;
        return true;
    }
    virtual void update(float songTime) { time = songTime; }
    virtual void draw() = 0;
    virtual void release() {}
    virtual void render(float position, float fade) = 0;

    int engineWord = 0;
    float time = 0.0f;
    unsigned long start = 0;
    unsigned long end = 0;
};

} // namespace ZEPHRAN_STAGEMILL

// ---------------------------------------------------------------------------
// Engine functions
// ---------------------------------------------------------------------------

namespace stm = ZEPHRAN_STAGEMILL;

// How the process runs: filled by the shell from the command line before
// stmInitEx. Defaults give an ordinary windowed run.
struct StmRunOptions {
    bool headless = false;         // SDL offscreen video, message boxes on stderr
    const char* dataDir = nullptr; // loose files here override archive members
    bool mute = false;             // never open an audio device (the shell mutes headless runs)
    // Fixed clock: when fixedFps > 0 the song clock advances exactly
    // 1000/fixedFps ms per stmUpdateTimer, starting at fixedFrom, and never
    // reads the wall clock or the audio position. A fixedFrom on the grid of
    // frames from 0 (k * 1000 / fixedFps, within 0.01 ms) gives frame k the
    // same time, to the bit, as a run from 0.
    int fixedFps = 0;
    float fixedFrom = 0.0f;
    // Capture: every stmSwapBuffers reads the frame back. captureOut is a
    // directory (frame_000000.png, ...), one .png file (each frame overwrites
    // it), or a .mp4/.mkv/.mov/.avi file (piped to ffmpeg with the song from
    // the first written frame's time); stmOutputProblem tells whether a name
    // fits one of these. Frames drawn without a swap are not written.
    const char* captureOut = nullptr;
    float captureTo = -1.0f; // ms, frames at or after it are not written; < 0: no limit
    // Render size for headless runs (0: as stmInitEx says).
    int sizeW = 0, sizeH = 0;
    // Ask for a debug context and pass its GL_KHR_debug messages to the
    // handler of stmSetGLMessageHandler.
    bool glDebug = false;
};
void stmConfigure(const StmRunOptions& options);
const StmRunOptions& stmGetRunOptions();
bool stmIsHeadless();
// Whether a window system is there to show windows on (an X11 or Wayland
// display, and SDL not told to use its offscreen or dummy driver).
bool stmDisplayAvailable();

// Window and context. Returns false (after logging why) when no window or GL
// context could be made. Width or height 0 takes the desktop mode (1280x720
// headless); StmRunOptions::sizeW/H override both. `aspect` is the picture's
// shape (0: the screen's): when it differs from the window's, the picture is a
// centred rectangle with black bars around it (see stmResetViewport).
// `desktopAspect` is the monitor's shape for full screen (0: asked of SDL).
bool stmInitEx(int width, int height, int bpp, bool fullscreen, bool flag5, bool alwaysOnTop, bool alwaysOnTopCopy,
               int stencilBits, float aspect, float desktopAspect, const char* archiveName, int refreshHz);
void stmSetWindowTitle(const char* title);
void stmSetWindowIcon(const unsigned char* rgba, int width, int height);
void* stmGetHWND(); // opaque window handle (SDL_Window*), null before stmInitEx
void* stmGetHDC();  // opaque context handle (SDL_GLContext)
void stmSwapBuffers();
void stmSetGamma(int value);
void stmShutDown();

// Message pump: 0 = nothing pending, 1 = the window was closed (quit request),
// 2 = some other message, already handled.
int stmPeekMessage();

// GL entry points beyond 1.1, looked up by exact name; null when absent.
void* stmGetProcAddress(const char* name);
// glGetString through the engine, so tests can stand in for a driver.
const char* stmGetGLString(unsigned int name);
typedef void* (*StmProcLookup)(const char* name);
typedef const char* (*StmStringLookup)(unsigned int name);
// Replaces the two lookups above (null restores the real driver's).
void stmOverrideGL(StmProcLookup procLookup, StmStringLookup stringLookup);

// Driver messages of severity low or above from the debug context
// (StmRunOptions::glDebug), each formatted as one line and handed to the
// handler inside the GL call that caused it. stmGLDebugActive: whether the
// context offers GL_KHR_debug and messages are being collected.
typedef void (*StmGLMessageHandler)(const char* message);
void stmSetGLMessageHandler(StmGLMessageHandler handler);
bool stmGLDebugActive();

// Modal message box (flags as the Windows MB_* bits: 0x30 warning, 0x10 error,
// 0x40000 topmost). Headless runs write it to stderr and return at once.
enum { STM_MB_ICONERROR = 0x10, STM_MB_ICONEXCLAMATION = 0x30, STM_MB_TOPMOST = 0x40000 };
void stmMessageBox(const char* text, const char* caption, unsigned int flags);
// Ends the process with `code` (flushes logs, stops capture). Tests install a
// handler that throws instead, so a stop can be observed.
[[noreturn]] void stmExit(int code);
typedef void (*StmExitHandler)(int code);
void stmSetExitHandler(StmExitHandler handler);

// Archive. stmReadPak looks for the file as named, then beside the
// executable, in its data/ folder and where an installed copy keeps it
// (../share/zephran/ beside bin/); loose files of the run's dataDir are
// laid over the members. False when neither gave anything; stmPakError then
// says why (missing, unreadable, not a zip), else it is null. A member whose
// size or CRC disagrees with its data is logged by name and left out.
bool stmReadPak(const char* archiveName);
const char* stmPakError();
// Why `dir` cannot be the run's data directory (it is not a directory), or
// null when it can. The text is kept until the next call.
const char* stmDataDirProblem(const char* dir);
// Finds the cube face sets: every prefix P with images P + "px.png", "nx.png",
// "py.png", "ny.png", "pz.png", "nz.png"; stmGetTextureCube(P) gives its faces.
void stmInitCubemaps();
stm::TextureCube* stmGetTextureCube(const char* prefix); // null when absent
void stmSetTextureParameter(const char* fileName, unsigned int pname, float value);
void stmUploadTextures();
// The texture of an archive image or render texture; a missing name gives a
// logged, clearly visible placeholder, never null.
stm::Texture* stmGetTexture(const char* fileName);
// Decodes the image member `fileName` again and uploads it into the texture
// object it already has, keeping that texture's sampling parameters (and
// regenerating its mipmaps). True when done, or when the image has no texture
// yet (it uploads when first asked for). False, with stmReloadError saying
// why, when it does not decode or has only the placeholder: the texture keeps
// its old pixels then.
bool stmReloadTexture(const char* fileName);
const char* stmReloadError();
void stmAddRenderToTexture(int width, int height, const char* name);
int stmGetTextCount();
const char* stmGetTextFileNameAtIndex(int index);
const char* stmGetTextAtIndex(int index);
const char* stmGetText(const char* fileName); // null when absent
// Raw bytes of any member (null when absent).
const unsigned char* stmGetFile(const char* fileName, unsigned int* size);
// Writes every member (as stmReadPak read them) as a file under `directory`
// by its member name, making the directory and any folders a name holds.
// An existing file is kept unless `overwrite`; each file is written under a
// temporary name and renamed into place. False when any member could not be
// written (each failure logged with the file and why).
bool stmExtractArchive(const char* directory, bool overwrite);

// Watching the run's data directory while the programme plays. stmWatchData
// starts it for StmRunOptions::dataDir (before stmReadPak reads it, so that
// nothing saved while loading is missed); false (logged) when there is none or
// it cannot be watched. stmPollDataChanges takes the file events since the
// last call: every file there that was written and closed (or renamed into
// place) since, and not opened for writing again, is read again into the
// members, so stmGetText and stmGetFile give its new bytes; a file still being
// written waits for a later call. Returns how many members changed, named by
// stmGetChangedFileName(0 .. n-1) until the next call. Names beginning with
// '.' or ending in '~' (editors' scratch and backup files) are left out; a
// removed file is logged and its member kept.
bool stmWatchData();
int stmPollDataChanges();
const char* stmGetChangedFileName(int index);

// Scheduler. An effect runs while start <= song time < end; stmRun calls
// update(time) then draw() on each, lower layers first, equal layers in
// registration order. stmInitEffects calls every init in registration order.
void stmAddEffect(unsigned int start, unsigned int end, int layer, const char* name, stm::Base* effect);
void stmInitEffects();
void stmLoadBar();
void stmRun();
// Called after each effect's draw() in stmRun with the effect's timeline
// name and the song time (null: none).
typedef void (*StmEffectObserver)(const char* name, float songMs);
void stmSetEffectObserver(StmEffectObserver afterDraw);
// Releases and deletes every registered effect (tests start each case afresh;
// stmShutDown does it too).
void stmClearEffects();

// Clock and music. Song time is the audio position while a song plays, the
// wall clock when there is no audio device, and the fixed clock in captures.
void stmInitTimer();
void stmUpdateTimer();
float stmGetTime();      // ms
float stmGetDeltaTime(); // seconds since the previous stmUpdateTimer
// Fixed clock only: the next stmUpdateTimer gives frame `frame` of the clock
// (the frames it counts from fixedFrom, or from 0 when fixedFrom lies on the
// grid from 0), as if the frames between had been drawn.
void stmSetFixedFrame(long long frame);
// Runs the effects of song time `ms` as stmRun does, the clock reading `ms`
// with no time elapsed, then puts the clock back as it was: a frame drawn
// ahead of its time (the start-up's warm-up).
void stmRunAt(float ms);
void stmAdjustTime(float ms); // never below 0
// Pause: the song clock and the music stand still (delta 0 each frame) until
// resumed; seeks still move the paused clock. Resuming plays on from the
// paused time on every clock.
void stmPause(bool paused);
bool stmIsPaused();
// Plays "song.ogg" of the archive from the current song time. Muted and
// fixed-clock runs open no audio device and keep their clock.
void stmPlaySong(int play);
void stmSetVolume(float volume); // 0 mutes, 100 restores, 0..1 during the closing fade
float stmGetVolume();            // the gain in effect, 0..1
// Length of the song in ms as its stream says (bounded by its data), 0
// without a song.
float stmGetSongLength();
// Magnitudes of the song's spectrum around the current song time (bins of a
// 1024-sample real FFT, bin i at i * rate / 1024 Hz); zeros without a song.
void stmGetSpectrum(float* buffer, int count);
// Writes the whole song as 16-bit PCM WAV; false (logged) when there is none.
bool stmExportSong(const char* wavPath);

// Keys: Windows virtual-key codes (27 Escape, 112 F1, 37 Left, 39 Right,
// 38 Up, 40 Down, 'A'..'Z', '0'..'9', 112..123 F1..F12), updated as
// stmPeekMessage takes keyboard messages. A key pressed since the last
// stmSwapBuffers reads as down even if it was released already.
bool stmGetKey(int virtualKey);
// Tests and fuzzing: decodes image bytes as stmUploadTextures does, under its
// bounds (each side at most maxSide, the RGBA pixels at most budget bytes,
// both checked from the header before decoding); false with `failure` set
// when the image is refused or undecodable.
bool stmDecodeImage(const unsigned char* bytes, size_t size, int maxSide, size_t budget, int& width, int& height,
                    std::string& failure);

// Tests: a key held down (or released) as if on the keyboard, and a window
// close request as if the user had closed the window.
void stmInjectKey(int virtualKey, bool down);
void stmInjectQuit();

// Camera and projection. stmGetWindowWidth/Height are the window's pixels;
// stmGetWidth/Height the picture rectangle inside it (smaller when the chosen
// aspect differs from the window's), which stmResetViewport makes the
// viewport. These functions change only the matrices named and leave
// GL_MODELVIEW the current matrix mode; depth and other state are untouched.
// Projection := glOrtho(0, width, 0, height, -1, 1).
void stmPerspective2D(float width, float height);
// Projection := gluPerspective(fov, stmGetAspectRatio(), zNear, zFar) with the
// values of the latest stmSetPerspective (60, 0.1, 1000 at start).
void stmPerspective3D();
void stmSetPerspective(float fovDegrees, float zNear, float zFar);
// Multiplies the current matrix by gluLookAt and remembers the camera.
void stmLookAt(float ex, float ey, float ez, float tx, float ty, float tz, float ux, float uy, float uz);
void stmResetViewport();
int stmGetWindowWidth();
int stmGetWindowHeight();
int stmGetWidth();
int stmGetHeight();
float stmGetAspectRatio();
float stmGetZNear();
float stmGetZFar();
stm::Vector3 stmGetCameraPosition();
stm::Vector3 stmGetCameraTarget();
stm::Vector3 stmGetCameraDirection();
stm::Vector3 stmGetCameraUp();

// Frames written by the latest capture.
int stmCapturedFrames();
// What an output name is for: a shot (one .png file), a capture (a directory
// of frames or a video name) or the exported song (any file name).
enum StmOutputKind { STM_OUTPUT_SHOT, STM_OUTPUT_CAPTURE, STM_OUTPUT_SONG };
// Why `name` cannot take that output, or null when it can: a name of the
// wrong kind, something there that is not a regular file (for a capture
// directory: not a directory, or frames in it that are not regular files),
// or a place where no file can be made (tried). The text is kept until the
// next call.
const char* stmOutputProblem(const char* name, StmOutputKind kind);
// True once a write of the capture has failed (logged with the file and the
// cause); the run should stop at once.
bool stmCaptureFailed();
// Waits for the frames in flight and ends the capture: logs how many frames
// went where, or the failure; false when any write failed. stmShutDown does
// the same when it was not called.
bool stmFinishCapture();
// The first SIGINT or SIGTERM received since stmConfigure, 0 if none: the
// run should end at its next chance, finishing the output it writes. A
// second one ends the process at once with 128 + the signal.
int stmStopSignal();

// printf-style log line on stderr; a newline is added when the text does not
// end with one.
void stmMsg(const char* format, ...) __attribute__((format(printf, 1, 2)));
