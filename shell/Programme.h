// The program: start-up in its fixed order, the frame loop, shutdown, and the
// top-level handling of thrown messages.
#pragma once

#include "shell/Options.h"

#include <functional>

// Runs the whole programme as the options say; returns the exit code.
int runProgramme(const ShellOptions& options);

// Runs `body`; a thrown message string or standard exception is logged as
// "Exception: %s\n" and gives false.
bool runGuarded(const std::function<void()>& body);

// Whether a run shows the programme to a person and so gets the viewer's
// controls (pause, jumps, loops, overlay); captures, shots and benchmarks
// draw the programme untouched.
bool viewerControls(const ShellOptions& options);
