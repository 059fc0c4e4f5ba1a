// Building runtime animations from the document's channels, and their order.
#include "scene/AnimationPlayer.h"

#include "collada/ColladaDiagnostics.h"
#include "scene/Scene.h"

using ZEPHRAN_STAGEMILL::Map;

namespace {

const float kDegreesToRadians = 0.01745f;

// Values one input kind needs for `keys` keys (tangents are time/value pairs).
unsigned valuesNeeded(Collada::AnimationAttribute kind, int keys) {
    bool pairs = kind == Collada::ANIM_IN_TANGENT || kind == Collada::ANIM_OUT_TANGENT;
    return static_cast<unsigned>(keys) * (pairs ? 2u : 1u);
}

float toRadians(float degrees) { return static_cast<float>(degrees * static_cast<double>(kDegreesToRadians)); }

} // namespace

int animatedPropertyFromString(const std::string& attribute) {
    static const struct {
        const char* name;
        int property;
    } table[] = {
        {"rotation_z.ANGLE", PROPERTY_ROTATION_Z},
        {"RotZ.ANGLE", PROPERTY_ROTATION_Z},
        {"rotation_y.ANGLE", PROPERTY_ROTATION_Y},
        {"RotY.ANGLE", PROPERTY_ROTATION_Y},
        {"rotation_x.ANGLE", PROPERTY_ROTATION_X},
        {"RotX.ANGLE", PROPERTY_ROTATION_X},
        {"scale.X", PROPERTY_SCALE_X},
        {"scale.Y", PROPERTY_SCALE_Y},
        {"scale.Z", PROPERTY_SCALE_Z},
        {"translation.X", PROPERTY_TRANSLATION_X},
        {"translate.X", PROPERTY_TRANSLATION_X},
        {"translation.Y", PROPERTY_TRANSLATION_Y},
        {"translate.Y", PROPERTY_TRANSLATION_Y},
        {"translation.Z", PROPERTY_TRANSLATION_Z},
        {"translate.Z", PROPERTY_TRANSLATION_Z},
    };
    for (const auto& entry : table)
        if (attribute == entry.name) return entry.property;
    return PROPERTY_UNKNOWN;
}

Animation* buildAnimation(Collada::Animation* record, Map<SceneNode*>& sceneNodes, Collada::Document* document) {
    Animation* animation = new Animation();
    size_t slash = record->target.find('/');
    std::string nodeId = record->target.substr(0, slash);
    std::string attribute = slash == std::string::npos ? std::string() : record->target.substr(slash + 1);
    animation->target = sceneNodes.find(nodeId);
    animation->property = animatedPropertyFromString(attribute);
    if (animation->property == PROPERTY_UNKNOWN) stmMsg("Unknown animation type\n%s", attribute.c_str());
    bool rotation = animation->property <= PROPERTY_ROTATION_X;
    int keys = record->keyCount;

    // Sources too short for the key count are reported once and contribute
    // nothing, like a missing source.
    Map<Collada::Source*> usable;
    for (unsigned s = 0; s < record->inputs.size(); ++s) {
        std::string id = record->inputs.getKey(s);
        Collada::Source* source = document->sources.find(id);
        if (!source) continue;
        Collada::AnimationAttribute kind = record->inputs.get(s);
        unsigned have = kind == Collada::ANIM_INTERPOLATION ? source->names.size() : source->floats.size();
        if (kind != Collada::ANIM_OTHER && have < valuesNeeded(kind, keys)) {
            Collada::reportError(
                Collada::formatText("animation of '%.200s': source '%.200s' holds %u values for %d keys; not used",
                                    record->target.c_str(), id.c_str(), have, keys));
            continue;
        }
        usable.add(id, source);
    }

    for (int i = 0; i < keys; ++i) {
        AnimationKeyFrame* key = new AnimationKeyFrame();
        for (unsigned s = 0; s < record->inputs.size(); ++s) {
            Collada::Source* source = usable.find(record->inputs.getKey(s));
            if (!source) continue;
            const float* f = source->floats.data();
            switch (record->inputs.get(s)) {
            case Collada::ANIM_INPUT: key->time = f[i]; break;
            case Collada::ANIM_OUTPUT: key->value = rotation ? toRadians(f[i]) : f[i]; break;
            case Collada::ANIM_IN_TANGENT:
                key->inTangentTime = f[2 * i];
                key->inTangentValue = rotation ? toRadians(f[2 * i + 1]) : f[2 * i + 1];
                break;
            case Collada::ANIM_OUT_TANGENT:
                key->outTangentTime = f[2 * i];
                key->outTangentValue = rotation ? toRadians(f[2 * i + 1]) : f[2 * i + 1];
                break;
            case Collada::ANIM_INTERPOLATION: {
                std::string name = source->names.get(i);
                if (name == "STEP")
                    key->interpolation = INTERPOLATION_STEP;
                else if (name == "LINEAR")
                    key->interpolation = INTERPOLATION_LINEAR;
                else if (name == "BEZIER")
                    key->interpolation = INTERPOLATION_BEZIER;
                else
                    Collada::reportError(Collada::formatText("Unsupported interpolation type: %.500s", name.c_str()));
                break;
            }
            default: break;
            }
        }
        animation->keyframes.add(key);
    }
    if (animation->keyframes.size() > 0) {
        animation->startTime = animation->keyframes.getFirst()->time;
        animation->endTime = animation->keyframes.getLast()->time;
    }
    for (unsigned c = 0; c < record->children.size(); ++c)
        animation->children.add(buildAnimation(record->children.get(c), sceneNodes, document));
    return animation;
}

void buildAnimations(Collada::Document* document, Scene* scene) {
    for (unsigned i = 0; i < document->animations.size(); ++i)
        scene->player->animations.add(buildAnimation(document->animations.get(i), scene->nodes, document));
    scene->player->sort();
}

void AnimationPlayer::sort() {
    unsigned n = animations.size();
    if (n < 2) return;
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (unsigned i = 0; i + 1 < n; ++i) {
            if (animations.get(i)->property > animations.get(i + 1)->property) {
                animations.swap(static_cast<int>(i), static_cast<int>(i + 1));
                swapped = true;
            }
        }
    }
}
