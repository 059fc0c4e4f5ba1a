// The shared effect resources and their creation.
#include "effects/SceneLoading.h"
#include "effects/SharedResources.h"

#include <string>

#include "collada/Collada.h"
#include "render/Cubemap.h"
#include "scene/Scene.h"

Collada::Document* g_geosphereDocument = nullptr;
Scene* g_geosphereScene = nullptr;
Cubemap* g_darkCubemap = nullptr;
Cubemap* g_envCubemap = nullptr;
DustParticle g_dust[kDustCount];

Cubemap* loadFaceCubemap(const char* prefix) {
    const std::string p(prefix);
    stm::Texture* nz = stmGetTexture((p + "nz.png").c_str());
    stm::Texture* pz = stmGetTexture((p + "pz.png").c_str());
    stm::Texture* ny = stmGetTexture((p + "ny.png").c_str());
    stm::Texture* py = stmGetTexture((p + "py.png").c_str());
    stm::Texture* nx = stmGetTexture((p + "nx.png").c_str());
    stm::Texture* px = stmGetTexture((p + "px.png").c_str());
    Cubemap* cube = new Cubemap();
    cube->setupStatic(px, nx, py, ny, pz, nz);
    return cube;
}

void createSharedEffectResources() {
    static bool created = false;
    if (created) return;
    created = true;
    g_geosphereScene = loadEffectScene("geosphere.dae", g_geosphereDocument, "", "no geospheres are drawn");
    // Plates, GrowingMotikka and ParticleFlower place the spheres with the
    // matrices alone ("growmotikka", "plates_depth").
    if (g_geosphereScene) g_geosphereScene->cullOutsideView = true;
    g_darkCubemap = loadFaceCubemap("dark_");
    g_envCubemap = loadFaceCubemap("");
    for (int i = 0; i < kDustCount; ++i) {
        g_dust[i].position = stm::Vector();
        g_dust[i].index = i;
    }
}
