// Scene building from a loaded document, and the scene-graph draw.
#include "scene/Scene.h"

#include "collada/ColladaTransform.h"

using ZEPHRAN_STAGEMILL::Array;
using ZEPHRAN_STAGEMILL::Matrix4;
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

namespace {

// Whether a mesh with these bounds, drawn now, lies wholly outside the view.
bool outsideView(const Box& bounds) {
    if (bounds.empty || bounds.unbounded) return false;
    Matrix4 projection, modelview;
    glGetFloatv(GL_PROJECTION_MATRIX, projection.m);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.m);
    return boxOutsideClipVolume((projection * modelview).m, bounds);
}

} // namespace

void Scene::drawNode(SceneNode* node, bool skipMaterials) {
    glPushMatrix();
    if (node != root && node->parent) node->world = node->parent->local * node->local;
    glMultMatrixf(node->local.m);
    if (node->mesh && !(cullOutsideView && outsideView(node->mesh->bounds))) node->mesh->draw(lights, skipMaterials);
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

namespace {

void releaseNodes(SceneNode* node) {
    for (unsigned i = 0; i < node->children.size(); ++i) releaseNodes(node->children.get(i));
    delete node;
}

void releaseMesh(MeshVBO* mesh) {
    for (unsigned i = 0; i < mesh->attributes.size(); ++i) {
        GLuint buffer = mesh->attributes.get(i)->bufferId;
        if (buffer) glDeleteBuffersARB(1, &buffer);
    }
    if (mesh->indexBufferId) glDeleteBuffersARB(1, &mesh->indexBufferId);
    delete mesh;
}

void releaseAnimation(Animation* animation) {
    for (unsigned i = 0; i < animation->children.size(); ++i) releaseAnimation(animation->children.get(i));
    for (unsigned i = 0; i < animation->keyframes.size(); ++i) delete animation->keyframes.get(i);
    delete animation;
}

} // namespace

void releaseScene(Scene* scene) {
    releaseNodes(scene->root);
    for (unsigned i = 0; i < scene->meshVBOs.size(); ++i) {
        MeshVBO* first = scene->meshVBOs.get(i);
        if (!first) continue;
        for (unsigned c = 0; c < first->chained.size(); ++c) releaseMesh(first->chained.get(c));
        releaseMesh(first);
    }
    for (unsigned i = 0; i < scene->cameras.size(); ++i) delete scene->cameras.get(i);
    for (unsigned i = 0; i < scene->lights.size(); ++i) delete scene->lights.get(i);
    for (unsigned i = 0; i < scene->player->animations.size(); ++i) releaseAnimation(scene->player->animations.get(i));
    delete scene->player;
    delete scene;
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
