// What drawing a frame changes outside the GL: the effects' timers and song
// times, the spectrum analyser and the beat clock, both random generators,
// the latches of the first frames (sections, beats), the simulations (walkers,
// trails) and the dust records. A snapshot taken before frames that must
// leave no trace (the start-up's warm-up) puts all of it back on restore(),
// so the frames after it are the ones a run without those frames draws.
// State that every frame writes before it reads it (eye positions, meshes
// rebuilt each frame, scene world matrices) is not kept.
#pragma once

#include <memory>
#include <vector>

class Effect;

class EffectStateSnapshot {
public:
    explicit EffectStateSnapshot(const std::vector<Effect*>& effects);
    ~EffectStateSnapshot();
    EffectStateSnapshot(const EffectStateSnapshot&) = delete;
    EffectStateSnapshot& operator=(const EffectStateSnapshot&) = delete;

    void restore() const;

private:
    struct Kept;
    std::unique_ptr<Kept> kept;
};
