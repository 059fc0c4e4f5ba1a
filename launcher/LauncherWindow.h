// The launcher's window: the one place where the launcher meets SDL, OpenGL
// and the display. The rest of the program sees only this function.
#pragma once

#include "launcher/Launcher.h"

#include <memory>

// Enumerates the modes of the desktop's display, shows the dialog centred on
// the desktop and on top, with the program's icon and the archive's banner
// (`archiveName` is read through the engine for them), and returns once Play
// or Quit was pressed or the window was closed (Quit). Null when no dialog can
// be shown: no display, or no window or GL context (logged); the caller then
// goes on with its own defaults. Leaves SDL's video subsystem as it found it.
std::unique_ptr<Launcher> runLauncherWindow(const char* archiveName);
