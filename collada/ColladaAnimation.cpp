// <library_animations>: animations with their samplers' inputs, channel
// targets and nested animations.
#include <cstring>

#include <tinyxml.h>

#include "collada/ColladaDiagnostics.h"
#include "collada/ColladaReaders.h"

namespace Collada {

namespace {

std::string animationKey(TiXmlElement* element) {
    const char* id = element->Attribute("id");
    return id ? id : kNoIdentifierKey;
}

} // namespace

AnimationAttribute inputKindFromString(const char* semantic) {
    static const char* const kKinds[] = {"INPUT", "OUTPUT", "IN_TANGENT", "OUT_TANGENT", "INTERPOLATION"};
    if (semantic)
        for (int i = 0; i < 5; ++i)
            if (std::strcmp(semantic, kKinds[i]) == 0) return static_cast<AnimationAttribute>(i);
    return ANIM_OTHER;
}

void parseSampler(Document* document, TiXmlElement* sampler, Animation* animation) {
    for (TiXmlElement* child = sampler->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (!isTag(child, "input")) {
            reportUnknown(child);
            continue;
        }
        const char* semantic = child->Attribute("semantic");
        AnimationAttribute kind = inputKindFromString(semantic);
        if (!semantic) reportError("Animation sampler missing required attribute semantic.");
        const char* reference = child->Attribute("source");
        if (!reference) continue;
        std::string sourceId = stripHash(reference);
        animation->inputs.add(sourceId, kind);
        if (kind == ANIM_INPUT) {
            Source* times = document->sources.find(sourceId);
            animation->keyCount = times ? static_cast<int>(times->floats.size()) : 0;
        }
    }
}

void parseChannel(Document* document, TiXmlElement* channel, Animation* animation) {
    if (const char* target = channel->Attribute("target"))
        animation->target = target;
    else
        reportError("Animation channel missing required attribute target.");
}

Animation* parseAnimation(Document* document, TiXmlElement* element) {
    Animation* animation = document->make<Animation>();
    for (TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (isTag(child, "source"))
            parseSource(document, child);
        else if (isTag(child, "sampler"))
            parseSampler(document, child, animation);
        else if (isTag(child, "channel"))
            parseChannel(document, child, animation);
        else if (isTag(child, "animation"))
            animation->children.add(animationKey(child), parseAnimation(document, child));
        else
            reportUnknown(child);
    }
    return animation;
}

void parseAnimationLibrary(Document* document, TiXmlElement* library) {
    for (TiXmlElement* child = library->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (isTag(child, "asset") || isTag(child, "extra"))
            reportIgnored(child);
        else if (isTag(child, "animation"))
            document->animations.add(animationKey(child), parseAnimation(document, child));
        else
            reportUnknown(child);
    }
}

} // namespace Collada
