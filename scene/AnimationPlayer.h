// A scene's animations in runtime form: one Animation per COLLADA animation,
// bound to the node it drives and one animated property, with its keys.
// Nothing evaluates them; they are data kept with the scene.
#pragma once

#include "collada/ColladaDocument.h"

class Scene;
class SceneNode;

// What an animation drives; the first three are rotations (radians).
enum AnimatedProperty {
    PROPERTY_ROTATION_Z = 0,
    PROPERTY_ROTATION_Y = 1,
    PROPERTY_ROTATION_X = 2,
    PROPERTY_SCALE_X = 3,
    PROPERTY_SCALE_Y = 4,
    PROPERTY_SCALE_Z = 5,
    PROPERTY_TRANSLATION_X = 6,
    PROPERTY_TRANSLATION_Y = 7,
    PROPERTY_TRANSLATION_Z = 8,
    PROPERTY_UNKNOWN = 9,
};

enum { INTERPOLATION_STEP = 0, INTERPOLATION_LINEAR = 1, INTERPOLATION_BEZIER = 2 };

struct AnimationKeyFrame {
    float time = 0.0f;
    float value = 0.0f; // radians for rotations
    float inTangentTime = 0.0f;
    float outTangentTime = 0.0f;
    float inTangentValue = 0.0f;  // radians for rotations
    float outTangentValue = 0.0f; // radians for rotations
    int interpolation = INTERPOLATION_STEP;
};

struct Animation {
    ZEPHRAN_STAGEMILL::Array<Animation*> children; // from the nested animations, in key order
    int property = PROPERTY_UNKNOWN;
    SceneNode* target = nullptr; // null when the channel's node is not in the scene
    float startTime = 0.0f;      // first key's time, 0 without keys
    float endTime = 1.0f;        // last key's time, 1 without keys
    ZEPHRAN_STAGEMILL::Array<AnimationKeyFrame*> keyframes;
};

class AnimationPlayer {
public:
    virtual ~AnimationPlayer() = default;
    // Bubble sort, ascending by property; equal properties keep their order.
    void sort();

    ZEPHRAN_STAGEMILL::Array<Animation*> animations;
};

// The property named by a channel target's attribute part ("rotation_z.ANGLE").
int animatedPropertyFromString(const std::string& attribute);
// Builds one animation and, recursively, its children.
Animation* buildAnimation(Collada::Animation* record, ZEPHRAN_STAGEMILL::Map<SceneNode*>& sceneNodes,
                          Collada::Document* document);
// Fills the scene's player from the document's animations and sorts it.
void buildAnimations(Collada::Document* document, Scene* scene);
