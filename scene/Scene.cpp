// Scene building from a loaded document, and the scene-graph draw.
#include "scene/Scene.h"

#include "collada/ColladaTransform.h"

using ZEPHRAN_STAGEMILL::Array;
using ZEPHRAN_STAGEMILL::Vector3;

void SceneNode::addChild(SceneNode* child) {
    child->parent = this;
    children.add(child);
}

Vector3 SceneNode::getWorldPosition() const { return Vector3(world[12], world[13], world[14]); }

Scene::Scene(std::string name_) : name(std::move(name_)), root(new SceneNode(name)), player(new AnimationPlayer()) {
    addNode("root", root);
}

void Scene::addNode(const std::string& key, SceneNode* node) { nodes.add(key, node); }

void Scene::draw(bool skipMaterials) { drawNode(root, skipMaterials); }

void Scene::drawNode(SceneNode* node, bool skipMaterials) {
    glPushMatrix();
    if (node != root && node->parent) node->world = node->parent->local * node->local;
    glMultMatrixf(node->local.m);
    if (node->mesh) node->mesh->draw(lights, skipMaterials);
    for (unsigned i = 0; i < node->children.size(); ++i) drawNode(node->children.get(i), skipMaterials);
    glPopMatrix();
}

unsigned Scene::getNodeCount() const { return nodes.size(); }

SceneNode* Scene::getNode(unsigned index) const { return nodes.get(index); }

void buildNodes(Scene* scene, SceneNode* parent, const Array<Collada::ObjectNode*>& nodes) {
    for (unsigned i = 0; i < nodes.size(); ++i) {
        const Collada::ObjectNode* objectNode = nodes.get(i);
        SceneNode* node = new SceneNode(objectNode->name);
        for (unsigned t = 0; t < objectNode->transformations.size(); ++t)
            node->local = node->local * Collada::transformationMatrix(*objectNode->transformations.get(t));
        if (objectNode->geometryInstances.size() > 0)
            node->mesh = scene->meshVBOs.find(objectNode->geometryInstances.get(0)->url);
        parent->addChild(node);
        scene->addNode(objectNode->id, node);
        buildNodes(scene, node, objectNode->children);
    }
}

Scene* buildScene(Collada::Document* document) {
    Scene* scene = nullptr;
    for (unsigned i = 0; i < document->scenes.size(); ++i) {
        const Collada::Scene* colladaScene = document->scenes.get(i);
        scene = new Scene(colladaScene->name);
        buildMeshVBOs(document, scene->meshVBOs);
        buildNodes(scene, scene->root, colladaScene->nodes);
        buildAnimations(document, scene);
        buildCameras(document, scene->nodes, scene->cameras);
        buildLights(document, scene->nodes, scene->lights);
    }
    return scene;
}
