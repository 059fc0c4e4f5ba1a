// Scoped 2-D drawing. A Space2D saves the projection and the modelview
// matrix, sets an orthographic space with an identity modelview, and on
// leaving its scope restores both matrices, the stack depths they had and
// GL_MODELVIEW as the current matrix mode. Nothing drawn in it can leave a
// 2-D projection or a changed camera behind for the next draw.
//
// It takes one level of each matrix stack; the GL guarantees two levels of
// the projection stack, so a Space2D must not be opened inside another one or
// inside a cube-map pass (which holds the other level).
#pragma once

class Space2D {
public:
    // 0..width by 0..height, y up (stmPerspective2D).
    Space2D(float width, float height);
    ~Space2D();
    Space2D(const Space2D&) = delete;
    Space2D& operator=(const Space2D&) = delete;

    // 0..1 both ways: a quad (0,0)-(1,1) covers the screen.
    static Space2D unit() { return Space2D(1.0f, 1.0f); }
    // The window in pixels.
    static Space2D pixels();
    // 0..width by 0..height with y down from the top left (text, overlays).
    static Space2D topDown(float width, float height);

private:
    struct TopDown {};
    Space2D(float width, float height, TopDown);
    void save();
};
