// The panel of interactive runs with --watch: what was reloaded, what
// failed and why, for a few seconds each, at the top right of the picture.
#pragma once

#include "shell/LiveReload.h"

// Draws the report's current messages (nothing when there are none); errors
// in red. Leaves every GL state as it found it.
void drawReloadPanel(const ReloadReport& report);
