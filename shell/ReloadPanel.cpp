// Drawing of the reload panel.
#include "shell/ReloadPanel.h"

#include "shell/OverlayDrawing.h"

#include <GL/gl.h>

#include <algorithm>

void drawReloadPanel(const ReloadReport& report) {
    if (report.messages().empty()) return;
    OverlayDrawing drawing;
    const float scale = drawing.scale, margin = 6.0f * scale, line = 10.0f * scale;
    float wide = 0.0f;
    for (const ReloadReport::Message& m : report.messages()) wide = std::max(wide, overlayTextWidth(m.text) * scale);
    const float bottom = margin + line * float(report.messages().size()) + 4.0f * scale;
    const float left = std::max(0.0f, drawing.width - wide - 2.0f * margin);
    glColor4f(0.0f, 0.0f, 0.0f, 0.65f);
    overlayRect(left, 0.0f, drawing.width, bottom);
    float y = margin;
    for (const ReloadReport::Message& m : report.messages()) {
        if (m.error)
            overlayText(left + margin, y, scale, m.text, 255, 110, 90);
        else
            overlayText(left + margin, y, scale, m.text, 170, 235, 150);
        y += line;
    }
}
