// The timeline table: one row per effect, in programme order.
#include "shell/Timeline.h"

#include "effects/DanceCube.h"
#include "effects/Doors.h"
#include "effects/GrowPrimitives.h"
#include "effects/GrowingMotikka.h"
#include "effects/Logo.h"
#include "effects/ParticleFlower.h"
#include "effects/Plates.h"
#include "effects/Plates2.h"
#include "effects/SlicedSphere.h"

namespace {

template <class T>
Effect* make() {
    return new T();
}

struct Row {
    const char* name;
    int layer;
    unsigned int rawEnd; // ms, before quantising
    bool quantised;      // the last boundary is kept as written
    bool sharesPrevious; // same span as the row before
    Effect* (*create)();
    bool steps; // a simulation stepped every frame
};

const Row kRows[] = {
    {"collada", 0, 17000, true, false, make<Logo>, false},                    // Logo
    {"collada1", 0, 58000, true, false, make<Plates>, false},                 // Plates
    {"plates2", 0, 89400, true, false, make<Plates2>, true},                  // Plates2
    {"collada5", 0, 119200, true, false, make<DanceCube>, true},              // DanceCube
    {"collada6", 10, 119200, true, true, make<Doors>, false},                 // Doors
    {"growmotikka", 0, 163950, true, false, make<GrowingMotikka>, false},     // GrowingMotikka
    {"slicedsphere", 0, 178600, true, false, make<SlicedSphere>, false},      // SlicedSphere
    {"particleflower", 0, 193500, true, false, make<ParticleFlower>, false},  // ParticleFlower
    {"growPrimitives", 0, 225450, false, false, make<GrowPrimitives>, false}, // GrowPrimitives
};

} // namespace

BeatClock programmeBeatClock() { return BeatClock(129.5f, 350); }

std::vector<TimelineSpan> timelineSpans(const BeatClock& clock) {
    std::vector<TimelineSpan> spans;
    unsigned int previousStart = 0, previousEnd = 0;
    for (const Row& row : kRows) {
        unsigned int end = row.quantised ? clock.quantiseToBeat(row.rawEnd) : row.rawEnd;
        unsigned int start = row.sharesPrevious ? previousStart : previousEnd;
        spans.push_back(TimelineSpan{row.name, row.layer, start, end, row.create, row.steps});
        previousStart = start;
        previousEnd = end;
    }
    return spans;
}

std::vector<Effect*> registerTimeline(const BeatClock& clock) {
    std::vector<Effect*> registered;
    for (const TimelineSpan& span : timelineSpans(clock)) {
        registered.push_back(span.create());
        stmAddEffect(span.start, span.end, span.layer, span.name, registered.back());
    }
    return registered;
}
