// The window and its OpenGL context, the message pump and the keys, the GL
// lookups, swap and shutdown. Headless runs use SDL's offscreen video driver.
#include "engine/Internal.h"

#include <SDL.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct WindowState {
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    int width = 0, height = 0;
    bool display = false;
    bool fullscreen = false;
    bool gammaChanged = false;
    Uint32 lastPointerMotion = 0; // SDL ticks; the pointer hides after a still spell
};
WindowState g_win;

StmRunOptions g_options;
std::string g_dataDir, g_captureOut;

StmProcLookup g_procOverride = nullptr;
StmStringLookup g_stringOverride = nullptr;

// Key state by Windows virtual-key code: from keyboard events, and from tests.
// A key pressed since the last swap counts as down until the next one, so a
// tap that begins and ends between two frames is still seen by one frame.
bool g_keyDown[256];
bool g_keyPressed[256];
bool g_keyInjected[256];

int virtualKeyOf(SDL_Keycode key) {
    switch (key) {
    case SDLK_ESCAPE: return 27;
    case SDLK_RETURN: return 13;
    case SDLK_SPACE: return 32;
    case SDLK_TAB: return 9;
    case SDLK_BACKSPACE: return 8;
    case SDLK_LEFT: return 37;
    case SDLK_UP: return 38;
    case SDLK_RIGHT: return 39;
    case SDLK_DOWN: return 40;
    case SDLK_PAGEUP: return 33;
    case SDLK_PAGEDOWN: return 34;
    case SDLK_COMMA: return 188;
    case SDLK_PERIOD: return 190;
    case SDLK_LEFTBRACKET: return 219;
    case SDLK_RIGHTBRACKET: return 221;
    default: break;
    }
    if (key >= SDLK_F1 && key <= SDLK_F12) return 112 + (key - SDLK_F1);
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    return -1;
}

} // namespace

bool stmDisplayAvailable() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) return false;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 && *x11) || (wayland && *wayland);
}

namespace {
// Whether the display can switch to exactly width x height. A display that
// cannot (a virtual one, or an odd size) gets a window covering the desktop
// at its own mode instead, with the picture letterboxed in it: never a crop.
bool displayOffersSize(int width, int height) {
    SDL_DisplayMode want = {}, got;
    want.w = width;
    want.h = height;
    return SDL_GetClosestDisplayMode(0, &want, &got) && got.w == width && got.h == height;
}

const Uint32 kPointerHideMs = 1500;

// In full screen the pointer never shows; in a window it hides once it has
// stood still over the window for a moment and comes back when it moves.
void updatePointer() {
    if (!g_win.display) return;
    bool still = SDL_GetTicks() - g_win.lastPointerMotion >= kPointerHideMs;
    bool hide = g_win.fullscreen || (still && SDL_GetMouseFocus() == g_win.window);
    if ((SDL_ShowCursor(SDL_QUERY) == SDL_ENABLE) == hide) SDL_ShowCursor(hide ? SDL_DISABLE : SDL_ENABLE);
}

void applyFullscreenMode(int width, int height, int refreshHz) {
    SDL_DisplayMode want = {};
    want.w = width;
    want.h = height;
    want.refresh_rate = refreshHz;
    SDL_DisplayMode got;
    int display = SDL_GetWindowDisplayIndex(g_win.window);
    if (SDL_GetClosestDisplayMode(display < 0 ? 0 : display, &want, &got)) SDL_SetWindowDisplayMode(g_win.window, &got);
}

// Whether SDL's video subsystem, started for a run with a display, drives a
// window system. When the X11 or Wayland connection fails SDL falls back to
// its offscreen or dummy driver without a word, and the programme would play
// into no window: that is stopped here, naming the display and the cause
// (the error of each window-system driver, tried once more on its own).
bool checkWindowSystem() {
    const char* current = SDL_GetCurrentVideoDriver();
    if (!current || (std::strcmp(current, "offscreen") != 0 && std::strcmp(current, "dummy") != 0)) return true;
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    std::string displays, causes;
    const struct { const char *variable, *driver; } kSystems[] = {{"DISPLAY", "x11"}, {"WAYLAND_DISPLAY", "wayland"}};
    for (const auto& system : kSystems) {
        const char* value = std::getenv(system.variable);
        if (!value || !*value) continue;
        displays += std::string(displays.empty() ? "" : " and ") + system.variable + "=" + value;
        std::string cause = "not built into this SDL";
        for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i)
            if (std::strcmp(SDL_GetVideoDriver(i), system.driver) == 0)
                cause = SDL_VideoInit(system.driver) == 0 ? "it worked when tried again" : SDL_GetError();
        SDL_VideoQuit();
        causes += std::string(causes.empty() ? "" : "; ") + "SDL's " + system.driver + " driver: " + cause;
    }
    stmMsg(
        "stmInitEx: cannot open a window on %s (%s); SDL fell back to its %s driver, which shows nothing. "
        "Run with --headless to render without a window.\n",
        displays.c_str(), causes.c_str(), current);
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
    return false;
}

} // namespace

namespace stm_internal {
bool hasDisplay() { return g_win.display; }
void* window() { return g_win.window; }
int framebufferWidth() { return g_win.width; }
int framebufferHeight() { return g_win.height; }
void* glProc(const char* name) { return g_win.context ? SDL_GL_GetProcAddress(name) : nullptr; }

void bindWindowFramebuffer() {
    typedef void (*BindFramebuffer)(GLenum, GLuint);
    static BindFramebuffer bind = nullptr;
    if (!bind) bind = reinterpret_cast<BindFramebuffer>(glProc("glBindFramebufferEXT"));
    if (bind) bind(GL_FRAMEBUFFER_EXT, 0);
}
} // namespace stm_internal

void stmConfigure(const StmRunOptions& options) {
    g_options = options;
    g_dataDir = options.dataDir ? options.dataDir : "";
    g_captureOut = options.captureOut ? options.captureOut : "";
    g_options.dataDir = options.dataDir ? g_dataDir.c_str() : nullptr;
    g_options.captureOut = options.captureOut ? g_captureOut.c_str() : nullptr;
    stm_internal::installStopHandlers();
    stm_internal::resetCapture();
}

const StmRunOptions& stmGetRunOptions() { return g_options; }
bool stmIsHeadless() { return g_options.headless; }

bool stmInitEx(int width, int height, int bpp, bool fullscreen, bool flag5, bool alwaysOnTop, bool alwaysOnTopCopy,
               int stencilBits, float aspect, float desktopAspect, const char* archiveName, int refreshHz) {
    if (g_win.window) {
        stmMsg("stmInitEx: already initialised\n");
        return true;
    }
    if (!g_options.headless && !stmDisplayAvailable()) g_options.headless = true;
    if (g_options.headless) {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        fullscreen = false;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        stmMsg("stmInitEx: SDL video init failed: %s\n", SDL_GetError());
        return false;
    }
    if (!g_options.headless && !checkWindowSystem()) return false;
    g_win.display = !g_options.headless;

    if (g_options.sizeW > 0 && g_options.sizeH > 0) {
        width = g_options.sizeW;
        height = g_options.sizeH;
    }
    if (width <= 0 || height <= 0) {
        SDL_DisplayMode desktop;
        if (!g_options.headless && SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
            width = desktop.w;
            height = desktop.h;
        } else {
            width = 1280;
            height = 720;
        }
    }

    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, bpp >= 32 ? 8 : 0);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, stencilBits > 0 ? stencilBits : 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_FLAGS, g_options.glDebug ? SDL_GL_CONTEXT_DEBUG_FLAG : 0);

    Uint32 flags = SDL_WINDOW_OPENGL;
    if (g_options.headless) flags |= SDL_WINDOW_HIDDEN;
    if (fullscreen && displayOffersSize(width, height)) {
        flags |= SDL_WINDOW_FULLSCREEN;
    } else if (fullscreen) {
        // Made at the desktop's size from the start, so the drawable never
        // changes size under the render targets.
        SDL_DisplayMode desktop;
        if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
            stmMsg("stmInitEx: the display has no %dx%d mode; full screen at the desktop's %dx%d instead\n", width,
                   height, desktop.w, desktop.h);
            width = desktop.w;
            height = desktop.h;
        }
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    if (alwaysOnTop || alwaysOnTopCopy) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    (void)flag5; // the window is always a plain top-level one
    g_win.window = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, flags);
    if (!g_win.window) {
        stmMsg("stmInitEx: cannot create a %dx%d window: %s\n", width, height, SDL_GetError());
        return false;
    }
    if ((flags & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN) applyFullscreenMode(width, height, refreshHz);
    g_win.fullscreen = fullscreen;
    g_win.lastPointerMotion = SDL_GetTicks();
    g_win.context = SDL_GL_CreateContext(g_win.window);
    if (!g_win.context) {
        stmMsg("stmInitEx: cannot create an OpenGL compatibility context: %s\n", SDL_GetError());
        SDL_DestroyWindow(g_win.window);
        g_win.window = nullptr;
        return false;
    }
    SDL_GL_MakeCurrent(g_win.window, g_win.context);
    if (g_options.glDebug && !stm_internal::installGLDebug())
        stmMsg("stmInitEx: the context offers no GL_KHR_debug; driver messages are not collected\n");
    // Captures and headless runs never wait for a display refresh.
    SDL_GL_SetSwapInterval(g_options.headless || g_options.fixedFps > 0 ? 0 : 1);
    SDL_GL_GetDrawableSize(g_win.window, &g_win.width, &g_win.height);
    std::memset(g_keyDown, 0, sizeof(g_keyDown));
    std::memset(g_keyPressed, 0, sizeof(g_keyPressed));

    SDL_DisplayMode desktop;
    if (desktopAspect <= 0.0f && !g_options.headless && SDL_GetDesktopDisplayMode(0, &desktop) == 0 && desktop.h > 0)
        desktopAspect = float(desktop.w) / float(desktop.h);
    stm_internal::setWindowSize(g_win.width, g_win.height, aspect, desktopAspect, fullscreen);
    stmMsg("stmInitEx: %dx%d%s%s, %s (%s)\n", g_win.width, g_win.height, fullscreen ? " fullscreen" : "",
           g_options.headless ? " headless" : "", reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
           reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    (void)archiveName; // the shell reads the archive with stmReadPak
    return true;
}

void stmSetWindowTitle(const char* title) {
    if (g_win.window) SDL_SetWindowTitle(g_win.window, title ? title : "");
}

void stmSetWindowIcon(const unsigned char* rgba, int width, int height) {
    if (!g_win.window || !rgba || width <= 0 || height <= 0) return;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<unsigned char*>(rgba), width, height, 32,
                                                           width * 4, SDL_PIXELFORMAT_RGBA32);
    if (!icon) {
        stmMsg("stmSetWindowIcon: %s\n", SDL_GetError());
        return;
    }
    SDL_SetWindowIcon(g_win.window, icon);
    SDL_FreeSurface(icon);
}

void* stmGetHWND() { return g_win.window; }
void* stmGetHDC() { return g_win.context; }

void stmSwapBuffers() {
    if (!g_win.window) return;
    stm_internal::captureFrame();
    updatePointer();
    SDL_GL_SwapWindow(g_win.window);
    std::memset(g_keyPressed, 0, sizeof(g_keyPressed));
}

void stmSetGamma(int value) {
    if (!g_win.window || !g_win.display) return;
    if (value == 0 && !g_win.gammaChanged) return;
    SDL_SetWindowBrightness(g_win.window, 1.0f + value / 100.0f);
    g_win.gammaChanged = value != 0;
}

void stmShutDown() {
    stm_internal::finishCapture();
    stmClearEffects(); // while their GL context is still current
    stm_internal::shutdownAudio();
    stm_internal::stopDataWatch();
    stm_internal::releaseArchive();
    if (g_win.context) {
        stm_internal::releaseTextures();
        SDL_GL_DeleteContext(g_win.context);
        g_win.context = nullptr;
    }
    if (g_win.window) {
        SDL_DestroyWindow(g_win.window);
        g_win.window = nullptr;
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

int stmPeekMessage() {
    if (!g_win.window) return 0;
    SDL_Event event;
    if (!SDL_PollEvent(&event)) return 0;
    switch (event.type) {
    case SDL_QUIT: return 1;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        int vk = virtualKeyOf(event.key.keysym.sym);
        if (vk >= 0) {
            g_keyDown[vk] = event.type == SDL_KEYDOWN;
            g_keyPressed[vk] = g_keyPressed[vk] || event.type == SDL_KEYDOWN;
        }
        break;
    }
    case SDL_MOUSEMOTION: g_win.lastPointerMotion = SDL_GetTicks(); break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            std::memset(g_keyDown, 0, sizeof(g_keyDown));
            std::memset(g_keyPressed, 0, sizeof(g_keyPressed));
        }
        break;
    default: break;
    }
    return 2;
}

bool stmGetKey(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) return false;
    return g_keyDown[virtualKey] || g_keyPressed[virtualKey] || g_keyInjected[virtualKey];
}

void stmInjectKey(int virtualKey, bool down) {
    if (virtualKey >= 0 && virtualKey <= 255) g_keyInjected[virtualKey] = down;
}

void stmInjectQuit() {
    SDL_Event event = {};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}

void* stmGetProcAddress(const char* name) {
    if (!name) return nullptr;
    if (g_procOverride) return g_procOverride(name);
    return stm_internal::glProc(name);
}

const char* stmGetGLString(unsigned int name) {
    if (g_stringOverride) return g_stringOverride(name);
    if (!g_win.context) return nullptr;
    return reinterpret_cast<const char*>(glGetString(name));
}

void stmOverrideGL(StmProcLookup procLookup, StmStringLookup stringLookup) {
    g_procOverride = procLookup;
    g_stringOverride = stringLookup;
}
