// Camera, projection and viewport: the picture rectangle inside the window
// (letterboxed to the chosen aspect), the perspective and 2-D projections and
// the camera the effects last looked through.
#include "engine/Internal.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

namespace {

struct View {
    int windowW = 0, windowH = 0;
    int x = 0, y = 0, w = 0, h = 0; // picture rectangle in window pixels
    float aspect = 1.0f;            // picture aspect, as projections use it
    float fov = 60.0f, zNear = 0.1f, zFar = 1000.0f;
    stm::Vector3 eye{0, 0, 0}, target{0, 0, -1}, up{0, 1, 0};
};
View g_view;

void loadPerspective() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(g_view.fov, g_view.aspect, g_view.zNear, g_view.zFar);
    glMatrixMode(GL_MODELVIEW);
}

} // namespace

namespace stm_internal {
void setWindowSize(int width, int height, float aspect, float desktopAspect, bool fullscreen) {
    g_view.windowW = width;
    g_view.windowH = height;
    float windowAspect = height > 0 ? float(width) / float(height) : 1.0f;
    // A fullscreen mode fills the monitor, whose shape is the desktop's; the
    // pixels are then as wide as that shape over the mode's shape.
    float screenAspect = fullscreen && desktopAspect > 0.0f ? desktopAspect : windowAspect;
    float pixelAspect = screenAspect / windowAspect;
    float picture = aspect > 0.0f ? aspect : screenAspect;
    int w = width, h = height;
    if (picture > screenAspect)
        h = int(std::lround(width * pixelAspect / picture));
    else if (picture < screenAspect)
        w = int(std::lround(height * picture / pixelAspect));
    g_view.w = w > 0 ? w : 1;
    g_view.h = h > 0 ? h : 1;
    g_view.x = (width - g_view.w) / 2;
    g_view.y = (height - g_view.h) / 2;
    g_view.aspect = picture;
    stmResetViewport();
    loadPerspective();
}
} // namespace stm_internal

void stmResetViewport() { glViewport(g_view.x, g_view.y, g_view.w, g_view.h); }

void stmPerspective2D(float width, float height) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
}

void stmPerspective3D() { loadPerspective(); }

void stmSetPerspective(float fovDegrees, float zNear, float zFar) {
    g_view.fov = fovDegrees;
    g_view.zNear = zNear;
    g_view.zFar = zFar;
    loadPerspective();
}

void stmLookAt(float ex, float ey, float ez, float tx, float ty, float tz, float ux, float uy, float uz) {
    g_view.eye = stm::Vector3(ex, ey, ez);
    g_view.target = stm::Vector3(tx, ty, tz);
    g_view.up = stm::Vector3(ux, uy, uz);
    gluLookAt(ex, ey, ez, tx, ty, tz, ux, uy, uz);
}

int stmGetWindowWidth() { return g_view.windowW; }
int stmGetWindowHeight() { return g_view.windowH; }
int stmGetWidth() { return g_view.w; }
int stmGetHeight() { return g_view.h; }
float stmGetAspectRatio() { return g_view.aspect; }
float stmGetZNear() { return g_view.zNear; }
float stmGetZFar() { return g_view.zFar; }
stm::Vector3 stmGetCameraPosition() { return g_view.eye; }
stm::Vector3 stmGetCameraTarget() { return g_view.target; }
stm::Vector3 stmGetCameraDirection() { return (g_view.target - g_view.eye).normalize(); }
stm::Vector3 stmGetCameraUp() { return g_view.up; }
