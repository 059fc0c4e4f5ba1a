// The launcher's SDL window with a GL 2 context, Dear ImGui's SDL2 and OpenGL2
// backends, and the display-mode enumeration.
#include "launcher/LauncherWindow.h"

#include "data/members.h"
#include "engine/stagemill.h"
#include "launcher/LauncherDialog.h"

#include <SDL.h>
#include <GL/gl.h>
#include <backends/imgui_impl_opengl2.h>
#include <backends/imgui_impl_sdl.h>
#include <stb_image.h>

namespace {

const char* const kTitle = "Zephran Emberfall 2010";

// SDL lists XRGB8888 as 24 bits; a pixel of four bytes counts as 32.
int bitsOf(Uint32 format) { return SDL_BYTESPERPIXEL(format) == 4 ? 32 : int(SDL_BITSPERPIXEL(format)); }

DisplayMode modeOf(const SDL_DisplayMode& m) { return {m.w, m.h, bitsOf(m.format), m.refresh_rate}; }

std::vector<DisplayMode> listModes(int display) {
    std::vector<DisplayMode> modes;
    int count = SDL_GetNumDisplayModes(display);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode m;
        if (SDL_GetDisplayMode(display, i, &m) == 0) modes.push_back(modeOf(m));
    }
    return modes;
}

// An archive image as RGBA pixels; empty when absent or unreadable.
struct Image {
    int width = 0, height = 0;
    std::unique_ptr<unsigned char, void (*)(void*)> rgba{nullptr, stbi_image_free};
};

Image loadImage(const char* member) {
    Image image;
    unsigned int size = 0;
    const unsigned char* bytes = stmGetFile(member, &size);
    int channels = 0;
    if (bytes) image.rgba.reset(stbi_load_from_memory(bytes, int(size), &image.width, &image.height, &channels, 4));
    if (!image.rgba) stmMsg("launcher: no picture '%s' in the archive\n", member);
    return image;
}

// Leaves the new texture bound to GL_TEXTURE_2D.
GLuint uploadTexture(const Image& image) {
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE, image.rgba.get());
    return id;
}

void setIcon(SDL_Window* window, const Image& icon) {
    if (!icon.rgba) return;
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(icon.rgba.get(), icon.width, icon.height, 32,
                                                              icon.width * 4, SDL_PIXELFORMAT_RGBA32);
    if (surface) {
        SDL_SetWindowIcon(window, surface);
        SDL_FreeSurface(surface);
    }
}

bool closeRequest(const SDL_Event& event) {
    return event.type == SDL_QUIT || (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_CLOSE);
}

// ImGui 1.86 reads the keys once a frame: a press and its release taken in
// the same frame would cancel out, so a frame is drawn after each key event.
bool endsInputBatch(const SDL_Event& event) { return event.type == SDL_KEYDOWN || event.type == SDL_KEYUP; }

// Runs the dialog until Play or Quit; the window and context are current.
void runDialog(SDL_Window* window, Launcher& launcher, ImTextureID picture) {
    LauncherDialog dialog(picture);
    for (;;) {
        // The dialog waits for input instead of spinning; a redraw at least
        // every 100 ms keeps it fresh.
        SDL_Event event;
        bool pending = SDL_WaitEventTimeout(&event, 100);
        if (stmStopSignal()) { // Ctrl-C or a kill: as Quit (the caller exits with the signal)
            launcher.quit();
            return;
        }
        while (pending) {
            ImGui_ImplSDL2_ProcessEvent(&event);
            if (closeRequest(event)) {
                launcher.quit();
                return;
            }
            pending = !endsInputBatch(event) && SDL_PollEvent(&event);
        }
        ImGui_ImplOpenGL2_NewFrame();
        ImGui_ImplSDL2_NewFrame();
        ImGui::NewFrame();
        LauncherAction action = dialog.frame(launcher);
        ImGui::Render();
        int w = 0, h = 0;
        SDL_GL_GetDrawableSize(window, &w, &h);
        glViewport(0, 0, w, h);
        glClearColor(0.94f, 0.94f, 0.94f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        ImGui_ImplOpenGL2_RenderDrawData(ImGui::GetDrawData());
        SDL_GL_SwapWindow(window);
        if (action != LauncherAction::None) return;
    }
}

} // namespace

std::unique_ptr<Launcher> runLauncherWindow(const char* archiveName) {
    if (!stmDisplayAvailable() || SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return nullptr;
    SDL_DisplayMode desktopMode;
    if (SDL_GetDesktopDisplayMode(0, &desktopMode) != 0) {
        stmMsg("launcher: no desktop mode: %s\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    auto launcher = std::make_unique<Launcher>(listModes(0));
    launcher->begin(modeOf(desktopMode));

    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_Window* window =
        SDL_CreateWindow(kTitle, SDL_WINDOWPOS_CENTERED_DISPLAY(0), SDL_WINDOWPOS_CENTERED_DISPLAY(0), kLauncherWidth,
                         kLauncherHeight, SDL_WINDOW_OPENGL | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_ALLOW_HIGHDPI);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context) {
        stmMsg("launcher: cannot open the dialog's window: %s\n", SDL_GetError());
        if (window) SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return nullptr;
    }
    SDL_GL_MakeCurrent(window, context);
    SDL_GL_SetSwapInterval(1);

    stmReadPak(archiveName);
    setIcon(window, loadImage(zdata::kIconName));
    Image banner = loadImage(zdata::kBannerName);
    GLuint picture = banner.rgba ? uploadTexture(banner) : 0;

    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGui::GetIO().IniFilename = nullptr; // the program keeps no state between runs
    ImGui::GetIO().ConfigFlags |= ImGuiConfigFlags_NavEnableKeyboard;
    applyLauncherStyle();
    ImGui_ImplSDL2_InitForOpenGL(window, context);
    ImGui_ImplOpenGL2_Init();
    SDL_RaiseWindow(window);

    runDialog(window, *launcher, picture ? reinterpret_cast<ImTextureID>(uintptr_t(picture)) : nullptr);

    ImGui_ImplOpenGL2_Shutdown();
    ImGui_ImplSDL2_Shutdown();
    ImGui::DestroyContext();
    if (picture) glDeleteTextures(1, &picture);
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    return launcher;
}
