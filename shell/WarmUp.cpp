// Drawing each span's first frame ahead of the song.
#include "shell/WarmUp.h"

#include "effects/EffectState.h"

#include <GL/gl.h>

#include <set>

int warmUpEffects(const std::vector<TimelineSpan>& spans, const std::vector<Effect*>& effects) {
    const EffectStateSnapshot before(effects);
    std::set<unsigned int> starts;
    for (const TimelineSpan& span : spans) starts.insert(span.start);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1, 1);
    for (unsigned int start : starts) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        stmRunAt(float(start));
    }
    glDisable(GL_SCISSOR_TEST);
    before.restore();
    return int(starts.size());
}
