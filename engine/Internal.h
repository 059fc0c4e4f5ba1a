// Engine-private declarations shared between the engine's source files. Never
// included outside engine/: it is where SDL-facing state meets the rest.
#pragma once

#include "engine/stagemill.h"

#include <cstddef>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

namespace stm_internal {

// Window (Window.cpp).
bool hasDisplay(); // a real window system is in use
void* window();    // SDL_Window*, null before stmInitEx
int framebufferWidth();
int framebufferHeight();
void* glProc(const char* name); // stmGetProcAddress without the override
void bindWindowFramebuffer();   // draw and read framebuffer 0

// Debug messages (GLDebug.cpp): on the current context, routes GL_KHR_debug
// messages to the handler of stmSetGLMessageHandler; false when the context
// has no GL_KHR_debug.
bool installGLDebug();

// Archive (Archive.cpp): raw bytes of a member, null when absent.
const std::vector<unsigned char>* member(const std::string& name);
std::vector<std::string> memberNames();
// Sets a member's bytes (a new one is added); its text, when it is one,
// follows. Pointers to other texts stay valid when the member existed.
void replaceMember(const std::string& name, std::vector<unsigned char> bytes);
void releaseArchive();
// Whether a member name ends in one of the extensions (given in lower case),
// ignoring the name's case.
bool hasExtension(const std::string& name, std::initializer_list<const char*> extensions);

// Viewport (Camera.cpp): recomputes the picture rectangle for the window size.
void setWindowSize(int width, int height, float aspect, float desktopAspect, bool fullscreen);

// Audio (Audio.cpp).
bool audioDeviceOpen();
double audioPositionMs(); // interpolated position of the audio heard
void seekAudio(double ms);
void pauseAudio(bool paused); // holds the device; resuming plays from the clock's time
void shutdownAudio();
const std::vector<unsigned char>* songFile();
long long songFramesDecoded(); // 0 without a song

// Log (Log.cpp): a progress line is rewritten in place ("\r" first) until a
// log line or endProgressLine ends it with a newline.
void progressLine(const char* text);
void endProgressLine();

// Capture (Capture.cpp): captureFrame is called by stmSwapBuffers before the
// swap; finishCapture ends the capture, false when any write failed;
// resetCapture starts a run's capture afresh (from stmConfigure).
void captureFrame();
bool finishCapture();
void resetCapture();

// Outputs (OutputFile.cpp). An output is written to a temporary file beside
// its final path (beside a symbolic link's target) and renamed into place by
// commit; discard, or destruction before commit, removes only the temporary
// file, so a failure leaves what was there before.
class OutputFile {
public:
    explicit OutputFile(const std::string& path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    // Makes the temporary file, open for writing; false with `cause`.
    bool create(std::string& cause);
    int fd() const { return fd_; }
    FILE* stream(); // the file as a stdio stream, owned here
    const std::string& temporaryPath() const { return temporary_; }
    // Closes the file (every buffered byte checked) and renames it into
    // place; false with `cause` (the temporary file then removed).
    bool commit(std::string& cause);
    void discard();

private:
    void release();
    std::string target_, temporary_;
    int fd_ = -1;
    FILE* file_ = nullptr;
    int slot_ = -1;
};
// Why an existing `path` cannot be replaced by an output (it is not a regular
// file, or not a directory when `directory`); empty when it can, or when
// there is nothing there.
std::string outputPathProblem(const std::string& path, bool directory);
// Why no output can be written at `path` (tried by making and removing a
// temporary file beside it); empty when it can.
std::string outputWriteProblem(const std::string& path);
// SIGINT and SIGTERM: the first only raises stmStopSignal, a second ends the
// process at once with 128 + the signal, removing the temporary files.
void installStopHandlers();

// Textures (Textures.cpp).
void releaseTextures();

// Data watch (DataWatch.cpp).
void stopDataWatch();

} // namespace stm_internal
