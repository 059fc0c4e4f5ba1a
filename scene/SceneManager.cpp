// The scene manager singleton's creation and release.
#include "scene/SceneManager.h"

#include <new>

#include "engine/stagemill.h"

SceneManager* g_sceneManager = nullptr;

namespace {
bool g_sceneManagerExists = false;
}

SceneManager* SceneManager::create() {
    if (g_sceneManagerExists) throw "One instance of class SceneManager already running";
    SceneManager* instance = new (std::nothrow) SceneManager();
    if (!instance) throw "SceneManager::create(): Memory allocation error";
    g_sceneManagerExists = true;
    stmMsg("SceneManager::create(): SceneManager instance created\n");
    return instance;
}

void SceneManager::release() {}
