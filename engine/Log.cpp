// Logging, message boxes and ending the process.
#include "engine/Internal.h"

#include <SDL.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {
StmExitHandler g_exitHandler = nullptr;
}

void stmMsg(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fflush(stderr);
}

void stmMessageBox(const char* text, const char* caption, unsigned int flags)
{
    if (!text)
        text = "";
    if (!caption)
        caption = "";
    // Always logged, so headless runs and logs of windowed runs both keep it.
    std::fprintf(stderr, "[%s] %s\n", caption, text);
    std::fflush(stderr);
    if (stmIsHeadless() || !stm_internal::hasDisplay())
        return;
    Uint32 kind = SDL_MESSAGEBOX_INFORMATION;
    if ((flags & 0xF0) == STM_MB_ICONERROR)
        kind = SDL_MESSAGEBOX_ERROR;
    else if ((flags & 0xF0) == STM_MB_ICONEXCLAMATION)
        kind = SDL_MESSAGEBOX_WARNING;
    SDL_ShowSimpleMessageBox(kind, caption, text, static_cast<SDL_Window*>(stm_internal::window()));
}

void stmSetExitHandler(StmExitHandler handler) { g_exitHandler = handler; }

void stmExit(int code)
{
    if (g_exitHandler)
        g_exitHandler(code);   // may throw to let a test observe the stop
    stm_internal::finishCapture();
    stm_internal::shutdownAudio();
    std::fflush(stdout);
    std::fflush(stderr);
    std::exit(code);
}
