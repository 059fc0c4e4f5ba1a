// The post-processing chain of the scene effects.
#include "effects/PostChain.h"

#include "render/PostProcess.h"
#include "render/RenderTargets.h"

void runPostChain(const PostChain& c) {
    RenderTargets& rt = g_renderTargets;
    applySSAO(c.ssaoRadius, c.ssaoFalloff, c.ssaoStrength, c.ssaoOffset);
    blurQuarter(rt.texHalfSSAO, c.quarterPasses, c.quarterSpread / (rt.width / 4), c.quarterSpread / (rt.height / 4),
                false);
    rt.bindScreenFBOScreenNormal(rt.texScreenCombined);
    applyCombine(rt.texQuarterA);
    rt.unbind();
    blurHalf(rt.texScreenCombined, c.halfPasses, c.halfSpread / rt.width, c.halfSpread / rt.height, false);
    applyDepthOfField(rt.texScreenCombined, rt.texScreenDepth, rt.texHalfA, c.dofNear, c.dofFocus, c.dofFar);
}
