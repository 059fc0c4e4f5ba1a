// Logging, message boxes and ending the process.
#include "engine/Internal.h"

#include <SDL.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {
StmExitHandler g_exitHandler = nullptr;
// A progress line (loading, capture) is on screen without its newline.
bool g_progressOpen = false;
} // namespace

namespace stm_internal {
void progressLine(const char* text) {
    std::fprintf(stderr, "\r%s", text);
    std::fflush(stderr);
    g_progressOpen = true;
}

void endProgressLine() {
    if (g_progressOpen) std::fputc('\n', stderr);
    g_progressOpen = false;
}
} // namespace stm_internal

// One call is one line: a text that does not end in a newline gets one, and
// an open progress line is ended first, so messages never run together.
void stmMsg(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    char small[512];
    int length = std::vsnprintf(small, sizeof(small), format, args);
    va_end(args);
    std::string text;
    if (length >= int(sizeof(small))) {
        text.resize(size_t(length) + 1);
        std::vsnprintf(&text[0], text.size(), format, again);
        text.resize(size_t(length));
    } else if (length > 0) {
        text = small;
    }
    va_end(again);
    if (text.empty() || text.back() != '\n') text += '\n';
    stm_internal::endProgressLine();
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
}

void stmMessageBox(const char* text, const char* caption, unsigned int flags) {
    if (!text) text = "";
    if (!caption) caption = "";
    // Always logged, so headless runs and logs of windowed runs both keep it.
    stm_internal::endProgressLine();
    std::fprintf(stderr, "[%s] %s\n", caption, text);
    std::fflush(stderr);
    if (stmIsHeadless() || !stm_internal::hasDisplay()) return;
    Uint32 kind = SDL_MESSAGEBOX_INFORMATION;
    if ((flags & 0xF0) == STM_MB_ICONERROR)
        kind = SDL_MESSAGEBOX_ERROR;
    else if ((flags & 0xF0) == STM_MB_ICONEXCLAMATION)
        kind = SDL_MESSAGEBOX_WARNING;
    SDL_ShowSimpleMessageBox(kind, caption, text, static_cast<SDL_Window*>(stm_internal::window()));
}

void stmSetExitHandler(StmExitHandler handler) { g_exitHandler = handler; }

void stmExit(int code) {
    if (g_exitHandler) g_exitHandler(code); // may throw to let a test observe the stop
    stm_internal::finishCapture();
    stm_internal::shutdownAudio();
    std::fflush(stdout);
    std::fflush(stderr);
    std::exit(code);
}
