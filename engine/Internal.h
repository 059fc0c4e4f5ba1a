// Engine-private declarations shared between the engine's source files. Never
// included outside engine/: it is where SDL-facing state meets the rest.
#pragma once

#include "engine/stagemill.h"

#include <cstddef>
#include <initializer_list>
#include <string>
#include <vector>

namespace stm_internal {

// Window (Window.cpp).
bool hasDisplay();                 // a real window system is in use
void* window();                    // SDL_Window*, null before stmInitEx
int framebufferWidth();
int framebufferHeight();
void* glProc(const char* name);    // stmGetProcAddress without the override
void bindWindowFramebuffer();      // draw and read framebuffer 0

// Archive (Archive.cpp): raw bytes of a member, null when absent.
const std::vector<unsigned char>* member(const std::string& name);
std::vector<std::string> memberNames();
void releaseArchive();
// Whether a member name ends in one of the extensions (given in lower case),
// ignoring the name's case.
bool hasExtension(const std::string& name, std::initializer_list<const char*> extensions);

// Viewport (Camera.cpp): recomputes the picture rectangle for the window size.
void setWindowSize(int width, int height, float aspect, float desktopAspect, bool fullscreen);

// Audio (Audio.cpp).
bool audioDeviceOpen();
double audioPositionMs();          // interpolated position of the audio heard
void seekAudio(double ms);
void pauseAudio(bool paused);      // holds the device; resuming plays from the clock's time
void shutdownAudio();
const std::vector<unsigned char>* songFile();

// Capture (Capture.cpp): called by stmSwapBuffers before the swap.
void captureFrame();
void finishCapture();

// Textures (Textures.cpp).
void releaseTextures();

} // namespace stm_internal
