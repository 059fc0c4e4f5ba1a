// The draw state a pass needs, stated once. A DrawState names the blend
// mode, depth test, depth writes, face culling, the texturing of units 0 and
// 1 and the program; apply() sets all of it, the way a pipeline object bakes
// render state, so a pass never depends on what the pass before it left.
// The default is the resting state: nothing blended, tested, culled or
// textured, depth writes on, fixed function.
#pragma once

class Shader;

enum class Blend {
    Off,
    Alpha,    // GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA
    Add,      // GL_ONE, GL_ONE
    AddAlpha, // GL_SRC_ALPHA, GL_ONE
    Screen,   // GL_ONE, GL_ONE_MINUS_SRC_COLOR
};

enum class Texturing { Off, Texture2D, CubeMap };

struct DrawState {
    Blend blending = Blend::Off;
    bool depthTest = false;
    bool depthWrites = true;
    bool cullBackFaces = false;
    Texturing unit0 = Texturing::Off;
    Texturing unit1 = Texturing::Off;
    Shader* program = nullptr; // null: fixed function

    DrawState blend(Blend b) const {
        DrawState s = *this;
        s.blending = b;
        return s;
    }
    DrawState depth(bool test, bool writes) const {
        DrawState s = *this;
        s.depthTest = test;
        s.depthWrites = writes;
        return s;
    }
    DrawState cull() const {
        DrawState s = *this;
        s.cullBackFaces = true;
        return s;
    }
    DrawState texture(Texturing first, Texturing second = Texturing::Off) const {
        DrawState s = *this;
        s.unit0 = first;
        s.unit1 = second;
        return s;
    }
    DrawState use(Shader* shader) const {
        DrawState s = *this;
        s.program = shader;
        return s;
    }

    // Sets every part of the state; leaves texture unit 0 active and the
    // program bound (or none).
    void apply() const;
};
