// The scene manager singleton, made once at start-up. Scenes are not
// registered with it; it only marks that the scene graph is in service.
#pragma once

class SceneManager {
public:
    // Makes the one instance and logs it. A second call throws the text
    // "One instance of class SceneManager already running" (a const char*).
    static SceneManager* create();
    // Does nothing: the instance and the scenes live until the process ends.
    void release();

private:
    SceneManager() = default;
};

// The program's scene manager, stored by the start-up code.
extern SceneManager* g_sceneManager;
