// The drawable form of one COLLADA visual scene: a tree of SceneNodes with
// local matrices and vertex-buffer meshes, plus the scene's cameras, lights
// and animations; drawn with the fixed-function matrix stack.
#pragma once

#include <string>

#include "collada/ColladaDocument.h"
#include "engine/stagemill.h"
#include "scene/AnimationPlayer.h"
#include "scene/CameraLight.h"
#include "scene/MeshVBO.h"

class SceneNode {
public:
    explicit SceneNode(std::string name_) : name(std::move(name_)) {}
    virtual ~SceneNode() = default;

    // Sets the child's parent to this node and appends it.
    void addChild(SceneNode* child);
    // Translation part of `world` as the last drawNode through this node left it.
    ZEPHRAN_STAGEMILL::Vector3 getWorldPosition() const;

    ZEPHRAN_STAGEMILL::Array<SceneNode*> children;
    SceneNode* parent = nullptr;
    std::string name;
    MeshVBO* mesh = nullptr;
    ZEPHRAN_STAGEMILL::Matrix4 local;
    ZEPHRAN_STAGEMILL::Matrix4 world;
};

class Scene {
public:
    // Creates the root (named `name`, stored under "root") and an empty player.
    explicit Scene(std::string name);

    // nodes.add: a node already under `key` stays in the tree but leaves the map.
    void addNode(const std::string& key, SceneNode* node);
    void draw(bool skipMaterials);
    // Draws `node` and its subtree on top of the current modelview matrix:
    // its ancestors' matrices are not applied. Updates each drawn non-root
    // node's world matrix to its parent's local x its own local, culled or
    // not. Leaves the matrix stack as it found it.
    void drawNode(SceneNode* node, bool skipMaterials);
    // Entries of `nodes`, the root included.
    unsigned getNodeCount() const;
    // The node at `index` in key order (byte order of the node ids).
    SceneNode* getNode(unsigned index) const;

    std::string name;
    SceneNode* root;
    ZEPHRAN_STAGEMILL::Map<SceneNode*> nodes; // by COLLADA node id, root under "root", no id under ""
    ZEPHRAN_STAGEMILL::Map<Camera*> cameras;
    ZEPHRAN_STAGEMILL::Map<Light*> lights;
    AnimationPlayer* player;
    ZEPHRAN_STAGEMILL::Map<MeshVBO*> meshVBOs;
    // When set, drawNode leaves out a mesh whose bounds lie wholly outside
    // the clip volume of the current projection x modelview: it could not
    // touch a pixel. Only for scenes whose every draw places vertices with
    // those matrices alone (fixed function or ftransform), with no user clip
    // plane or depth clamp widening what is drawn.
    bool cullOutsideView = false;
};

// Builds the scene of every visual scene of the document (key order) and
// returns the last one; null when the document has none. Uploads vertex
// buffers: needs a current GL context with the buffer-object entry points.
Scene* buildScene(Collada::Document* document);
// Frees a scene made by buildScene (or a Scene whose tree was built with
// buildNodes): nodes, meshes with their GL buffers, cameras, lights,
// animations. The demo's scenes live until the process ends; tools and
// benchmarks that build many call this.
void releaseScene(Scene* scene);
// Builds the loader nodes `nodes` and their subtrees below `parent`.
void buildNodes(Scene* scene, SceneNode* parent, const ZEPHRAN_STAGEMILL::Array<Collada::ObjectNode*>& nodes);
