// Loading an effect's COLLADA scene.
#include "effects/SceneLoading.h"

#include "collada/Collada.h"
#include "engine/stagemill.h"
#include "scene/Scene.h"

Scene* loadEffectScene(const char* file, Collada::Document*& document, const char* owner, const char* consequence) {
    document = loadCollada(file);
    Scene* scene = document ? buildScene(document) : nullptr;
    if (!scene) stmMsg("%s\"%s\" holds no visual scene; %s\n", owner, file, consequence);
    return scene;
}
