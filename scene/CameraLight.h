// The runtime cameras and lights a Scene keeps, built from the document's
// records once the scene's nodes exist.
#pragma once

#include <string>

#include "collada/ColladaDocument.h"
#include "engine/stagemill.h"

class SceneNode;

class Camera {
public:
    virtual ~Camera() = default;
    std::string name;          // COLLADA camera id
    SceneNode* node = nullptr; // the node that instances it, null when none
    float fov = 0.0f;          // horizontal field of view, degrees
    float aspectRatio = 0.0f;
    float zNear = 0.0f;
    float zFar = 0.0f;
};

class Light {
public:
    virtual ~Light() = default;
    std::string name;          // COLLADA light id
    SceneNode* node = nullptr; // the node that instances it, null when none
    ZEPHRAN_STAGEMILL::Vector3 colour;
    int type = Collada::LIGHT_AMBIENT;
};

// One Camera per document camera (key order) into `out` under its id. Its
// node is the scene node of the last node in key order that instances it.
void buildCameras(Collada::Document* document, ZEPHRAN_STAGEMILL::Map<SceneNode*>& sceneNodes,
                  ZEPHRAN_STAGEMILL::Map<Camera*>& out);
// Likewise for lights.
void buildLights(Collada::Document* document, ZEPHRAN_STAGEMILL::Map<SceneNode*>& sceneNodes,
                 ZEPHRAN_STAGEMILL::Map<Light*>& out);
