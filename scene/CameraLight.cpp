// Building runtime cameras and lights from the document's records.
#include "scene/CameraLight.h"

#include <cmath>

#include "collada/ColladaDiagnostics.h"

using Collada::Attribute;
using Collada::ObjectNode;
using ZEPHRAN_STAGEMILL::Array;
using ZEPHRAN_STAGEMILL::Map;

namespace {

// The scene node of the last node in key order whose url list names `id`.
SceneNode* instancingNode(Collada::Document* document, Map<SceneNode*>& sceneNodes, const std::string& id,
                          Array<std::string> ObjectNode::*urls) {
    SceneNode* found = nullptr;
    for (unsigned i = 0; i < document->nodes.size(); ++i) {
        const ObjectNode* node = document->nodes.get(i);
        const Array<std::string>& list = node->*urls;
        for (unsigned u = 0; u < list.size(); ++u)
            if (list.get(u) == id) found = sceneNodes.find(node->id);
    }
    return found;
}

// The first number of a camera parameter into `out`; a parameter without
// numbers is reported and leaves `out` as it was. False when absent.
bool firstValue(const Collada::Camera* camera, const char* param, float& out) {
    const Attribute* attribute = camera->params.find(param);
    if (!attribute) return false;
    if (attribute->values.size() == 0) {
        Collada::reportError(
            Collada::formatText("camera '%.200s': <%s> holds no number; 0 is used", camera->id.c_str(), param));
        return true;
    }
    out = attribute->values.get(0);
    return true;
}

} // namespace

void buildCameras(Collada::Document* document, Map<SceneNode*>& sceneNodes, Map<Camera*>& out) {
    for (unsigned i = 0; i < document->cameras.size(); ++i) {
        const Collada::Camera* source = document->cameras.get(i);
        Camera* camera = new Camera();
        camera->name = document->cameras.getKey(i);
        camera->node = instancingNode(document, sceneNodes, camera->name, &ObjectNode::cameraUrls);
        if (source->orthographic) {
            stmMsg("No ortho camera support yet implemented.");
        } else {
            firstValue(source, "aspect_ratio", camera->aspectRatio);
            firstValue(source, "znear", camera->zNear);
            firstValue(source, "zfar", camera->zFar);
            float yfov = 0.0f;
            if (!firstValue(source, "xfov", camera->fov) && firstValue(source, "yfov", yfov)) {
                if (source->params.exists("aspect_ratio")) {
                    const float toRadians = 3.14159265f / 180.0f;
                    camera->fov = 2.0f * std::atan(std::tan(yfov * toRadians * 0.5f) * camera->aspectRatio) / toRadians;
                } else {
                    stmMsg("YFov used but no aspect ratio was provided.");
                }
            }
        }
        out.add(camera->name, camera);
    }
}

void buildLights(Collada::Document* document, Map<SceneNode*>& sceneNodes, Map<Light*>& out) {
    for (unsigned i = 0; i < document->lights.size(); ++i) {
        const Collada::Light* source = document->lights.get(i);
        Light* light = new Light();
        light->name = document->lights.getKey(i);
        light->node = instancingNode(document, sceneNodes, light->name, &ObjectNode::lightUrls);
        light->type = source->type;
        if (const Attribute* colour = source->params.find("color")) {
            if (colour->values.size() >= 3)
                light->colour =
                    ZEPHRAN_STAGEMILL::Vector3(colour->values.get(0), colour->values.get(1), colour->values.get(2));
            else
                Collada::reportError(
                    Collada::formatText("light '%.200s': <color> holds %u numbers, expected 3; black is used",
                                        light->name.c_str(), colour->values.size()));
        }
        out.add(light->name, light);
    }
}
