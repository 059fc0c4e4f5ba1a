// Resources that several effects share: the geosphere scene (GrowingMotikka's
// shells, the spheres of Plates and ParticleFlower), the bright environment
// cube and the dark sky cube, and the thousand dust records that
// GrowingMotikka, SlicedSphere and ParticleFlower each rewrite every frame.
// GrowingMotikka's init creates them; the engine runs every effect's init
// before the programme starts, so they exist when any effect first draws.
#pragma once

#include "engine/stagemill.h"

class Cubemap;
class Scene;
namespace Collada {
struct Document;
}

// One dust sprite. Positions are rewritten by each effect that draws dust.
struct DustParticle {
    stm::Vector position;
    int index; // the record's number 0..999, set once
};

const int kDustCount = 1000;

extern Collada::Document* g_geosphereDocument; // "geosphere.dae"
extern Scene* g_geosphereScene;                // null when the document holds no scene
extern Cubemap* g_darkCubemap;                 // "dark_px.png" .. "dark_nz.png"
extern Cubemap* g_envCubemap;                  // "px.png" .. "nz.png"
extern DustParticle g_dust[kDustCount];

// A static cube map of the six faces prefix + "px.png" ... prefix + "nz.png".
// The faces are fetched in the order nz, pz, ny, py, nx, px and handed to
// Cubemap::setupStatic as px, nx, py, ny, pz, nz.
Cubemap* loadFaceCubemap(const char* prefix);

// Loads the geosphere scene, builds both cube maps and numbers the dust.
// Needs the engine's archive and textures and a current GL context. Only the
// first call does anything.
void createSharedEffectResources();
