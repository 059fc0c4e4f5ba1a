// The effect scheduler: the registered timeline, effect initialisation with
// the loading bar, and the per-frame run of the active effects by layer.
#include "engine/Internal.h"

#include <SDL.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

struct Entry {
    unsigned int start, end;
    int layer;
    std::string name;
    stm::Base* effect;
};
std::vector<Entry> g_entries; // layer order, then registration order
std::vector<stm::Base*> g_initOrder;
StmEffectObserver g_afterDraw = nullptr;

// Loading progress: effects finished plus a share of the current one that
// grows with each stmLoadBar call made inside its init.
struct Loading {
    int total = 0, done = 0, callsInEffect = 0;
    Uint32 lastDrawMs = 0;
    int lastPercent = -1;
};
Loading g_loading;

float loadingFraction() {
    if (g_loading.total <= 0) return 1.0f;
    float inner = 1.0f - std::pow(0.5f, g_loading.callsInEffect / 16.0f);
    return std::min(1.0f, (g_loading.done + inner) / float(g_loading.total));
}

// Draws the bar in the window, leaving all GL state as found.
void drawBar(float fraction) {
    GLint framebuffer = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
    if (framebuffer != 0) return; // an init is rendering off-screen; draw on the next call
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glViewport(0, 0, stmGetWindowWidth(), stmGetWindowHeight());
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_CULL_FACE);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    const float x0 = 0.2f, x1 = 0.8f, y0 = 0.48f, y1 = 0.52f;
    glColor3f(0.35f, 0.35f, 0.35f);
    glBegin(GL_LINE_LOOP);
    glVertex2f(x0, y0);
    glVertex2f(x1, y0);
    glVertex2f(x1, y1);
    glVertex2f(x0, y1);
    glEnd();
    glColor3f(0.9f, 0.9f, 0.9f);
    float xf = x0 + (x1 - x0) * fraction;
    glRectf(x0, y0, xf, y1);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
    SDL_GL_SwapWindow(static_cast<SDL_Window*>(stm_internal::window()));
}

void showProgress(bool force) {
    float fraction = loadingFraction();
    int percent = int(fraction * 100.0f);
    if (stmIsHeadless()) {
        if (percent != g_loading.lastPercent || force) {
            const int width = 30;
            int filled = int(fraction * width);
            char line[64];
            std::snprintf(line, sizeof(line), "Loading [%.*s%*s] %3d%%", filled, "##############################",
                          width - filled, "", percent);
            stm_internal::progressLine(line);
        }
    } else if (stm_internal::window()) {
        // Throttled: a swap may wait for the display, and inits call this often.
        Uint32 now = SDL_GetTicks();
        if (force || now - g_loading.lastDrawMs >= 33) {
            g_loading.lastDrawMs = now;
            drawBar(fraction);
        }
    }
    g_loading.lastPercent = percent;
}

} // namespace

void stmAddEffect(unsigned int start, unsigned int end, int layer, const char* name, stm::Base* effect) {
    if (!effect) {
        stmMsg("stmAddEffect: '%s' has no effect object; not registered\n", name ? name : "");
        return;
    }
    if (end <= start)
        stmMsg("stmAddEffect: '%s' has an empty span %u..%u; it never runs\n", name ? name : "", start, end);
    Entry entry{start, end, layer, name ? name : "", effect};
    auto at =
        std::upper_bound(g_entries.begin(), g_entries.end(), layer, [](int l, const Entry& e) { return l < e.layer; });
    g_entries.insert(at, entry);
    g_initOrder.push_back(effect);
}

void stmInitEffects() {
    g_loading = Loading();
    g_loading.total = int(g_initOrder.size());
    showProgress(true);
    for (stm::Base* effect : g_initOrder) {
        if (stmStopSignal()) break; // the run is ending; the rest need not load
        const Entry* entry = nullptr;
        for (const Entry& e : g_entries)
            if (e.effect == effect) entry = &e;
        g_loading.callsInEffect = 0;
        if (!effect->init(entry->start, entry->end))
            stmMsg("stmInitEffects: '%s' failed to initialise\n", entry->name.c_str());
        ++g_loading.done;
        g_loading.callsInEffect = 0;
        showProgress(false);
    }
    if (stmIsHeadless())
        stm_internal::endProgressLine();
    else
        showProgress(true);
    stm_internal::bindWindowFramebuffer();
    stmResetViewport();
}

void stmLoadBar() {
    ++g_loading.callsInEffect;
    showProgress(false);
}

void stmSetEffectObserver(StmEffectObserver afterDraw) { g_afterDraw = afterDraw; }

void stmRun() {
    float now = stmGetTime();
    for (const Entry& e : g_entries) {
        if (now < float(e.start) || now >= float(e.end)) continue;
        e.effect->update(now);
        e.effect->draw();
        if (g_afterDraw) g_afterDraw(e.name.c_str(), now);
    }
}

void stmClearEffects() {
    for (stm::Base* effect : g_initOrder) {
        effect->release();
        delete effect;
    }
    g_entries.clear();
    g_initOrder.clear();
}
