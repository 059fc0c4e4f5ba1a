// Taking and restoring the effects' state outside the GL.
#include "effects/EffectState.h"

#include <algorithm>
#include <iterator>

#include "core/CrtRandom.h"
#include "effects/AudioAnalyser.h"
#include "effects/BeatClock.h"
#include "effects/DanceCube.h"
#include "effects/Doors.h"
#include "effects/Effect.h"
#include "effects/Globals.h"
#include "effects/GrowingMotikka.h"
#include "effects/Plates.h"
#include "effects/Plates2.h"
#include "effects/Random.h"
#include "effects/SharedResources.h"

namespace {

// An effect's own part: its step timer and the song time of its last update.
struct EffectPart {
    Effect* effect;
    FixedStepTimer timer;
    float time;
};

} // namespace

struct EffectStateSnapshot::Kept {
    std::vector<EffectPart> effects;
    SpectrumAnalyser spectrum{1};
    BeatClock beatClock{0.0f, 0};
    unsigned int random = 0;
    uint32_t crtRandom = 0;

    float platesPhase = 0.0f;
    int platesSection = 0, platesSectionBeat = 0, platesFirstSection = 0;
    std::vector<Walker> walkers;
    int walkerStep = 0;
    std::vector<Trail> trails; // one per non-null g_trails entry, in order
    int trailStep = 0, danceFirstSection = 0, danceSection = 0;
    int doorsFirstSection = 0;
    int motikkaFirstBeat = 0;
    std::vector<DustParticle> dust;
};

EffectStateSnapshot::EffectStateSnapshot(const std::vector<Effect*>& effects) : kept(new Kept) {
    Kept& k = *kept;
    for (Effect* effect : effects) k.effects.push_back(EffectPart{effect, *effect->timer, effect->time});
    if (g_spectrum) k.spectrum = *g_spectrum;
    if (g_beatClock) k.beatClock = *g_beatClock;
    k.random = randomState();
    k.crtRandom = crt::g_randState;

    k.platesPhase = g_platesPhase;
    k.platesSection = g_platesSection;
    k.platesSectionBeat = g_platesSectionBeat;
    k.platesFirstSection = g_platesFirstSection;
    k.walkers.assign(std::begin(g_walkers), std::end(g_walkers));
    k.walkerStep = g_walkerStep;
    for (const Trail* trail : g_trails)
        if (trail) k.trails.push_back(*trail);
    k.trailStep = g_trailStep;
    k.danceFirstSection = g_danceFirstSection;
    k.danceSection = g_danceSection;
    k.doorsFirstSection = g_doorsFirstSection;
    k.motikkaFirstBeat = g_motikkaFirstBeat;
    k.dust.assign(std::begin(g_dust), std::end(g_dust));
}

EffectStateSnapshot::~EffectStateSnapshot() = default;

void EffectStateSnapshot::restore() const {
    const Kept& k = *kept;
    for (const EffectPart& part : k.effects) {
        *part.effect->timer = part.timer;
        part.effect->time = part.time;
    }
    if (g_spectrum) *g_spectrum = k.spectrum;
    if (g_beatClock) *g_beatClock = k.beatClock;
    seedRandom(k.random);
    crt::g_randState = k.crtRandom;

    g_platesPhase = k.platesPhase;
    g_platesSection = k.platesSection;
    g_platesSectionBeat = k.platesSectionBeat;
    g_platesFirstSection = k.platesFirstSection;
    std::copy(k.walkers.begin(), k.walkers.end(), g_walkers);
    g_walkerStep = k.walkerStep;
    auto trail = k.trails.begin();
    for (Trail* t : g_trails)
        if (t) *t = *trail++;
    g_trailStep = k.trailStep;
    g_danceFirstSection = k.danceFirstSection;
    g_danceSection = k.danceSection;
    g_doorsFirstSection = k.doorsFirstSection;
    g_motikkaFirstBeat = k.motikkaFirstBeat;
    std::copy(k.dust.begin(), k.dust.end(), g_dust);
}
