// daecheck FILE.dae...: what the demo makes of exported COLLADA files. Each
// file goes through the demo's own loader (its log and message boxes on
// stderr), then a summary of what was read goes to stdout: meshes with
// triangle counts, sources, nodes in key order with their local translation,
// cameras, lights and animations. A refused file is reported and the next one
// checked. With --scene each document is also built into a scene (vertex
// buffers included) in a headless GL context.
//
// Exit status: 0 when every file loaded, 2 when any was refused, missing or
// had no COLLADA root.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "collada/Collada.h"
#include "engine/stagemill.h"
#include "render/GLExtensions.h"
#include "scene/Scene.h"

namespace {

struct Refused {
    int code;
};

// The file's bytes, or false when it cannot be read.
bool readFile(const char* path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = bytes.str();
    return true;
}

const char* lightType(int type) {
    static const char* const names[] = {"ambient", "directional", "point", "spot"};
    return type >= 0 && type < 4 ? names[type] : "?";
}

int countAnimations(const Collada::Animation* animation) {
    int count = 1;
    for (unsigned i = 0; i < animation->children.size(); ++i) count += countAnimations(animation->children.get(i));
    return count;
}

void printAnimations(const Collada::Map<Collada::Animation*>& animations, int depth) {
    for (unsigned i = 0; i < animations.size(); ++i) {
        const Collada::Animation* a = animations.get(i);
        std::printf("  %*s\"%s\": target \"%s\", %d keys, %u inputs\n", depth * 2, "", animations.getKey(i).c_str(),
                    a->target.c_str(), a->keyCount, a->inputs.size());
        printAnimations(a->children, depth + 1);
    }
}

// Primitives of a mesh that become drawables: those of the built scene, or
// (without one) those the vertex-buffer expansion accepts, checked without GL.
unsigned drawablePrimitives(const Collada::Document* d, unsigned meshIndex, const Scene* built) {
    const std::string& key = d->meshes.getKey(meshIndex);
    if (built) {
        const MeshVBO* first = built->meshVBOs.find(key);
        return first ? 1 + first->chained.size() : 0;
    }
    const Collada::Mesh* mesh = d->meshes.get(meshIndex);
    unsigned drawable = 0;
    for (unsigned s = 0; s < mesh->subMeshes.size(); ++s) {
        std::unique_ptr<MeshVBO> vbo(expandSubMesh(key, *mesh, *mesh->subMeshes.get(s), static_cast<int>(s)));
        drawable += vbo ? 1 : 0;
    }
    std::fflush(stderr);
    return drawable;
}

void printMeshes(const Collada::Document* d, const Scene* built) {
    std::printf("meshes: %u\n", d->meshes.size());
    for (unsigned i = 0; i < d->meshes.size(); ++i) {
        const Collada::Mesh* mesh = d->meshes.get(i);
        long triangles = 0;
        for (unsigned s = 0; s < mesh->subMeshes.size(); ++s) triangles += mesh->subMeshes.get(s)->triangleCount;
        std::printf("  \"%s\": %ld triangles in %u primitives (%u drawable), %d positions, index stride %d\n",
                    d->meshes.getKey(i).c_str(), triangles, mesh->subMeshes.size(), drawablePrimitives(d, i, built),
                    mesh->vertexCount, mesh->indexStride);
    }
}

void printDocument(const Collada::Document* d, const Scene* built) {
    printMeshes(d, built);
    std::printf("sources: %u\n", d->sources.size());
    std::printf("cameras: %u\n", d->cameras.size());
    for (unsigned i = 0; i < d->cameras.size(); ++i)
        std::printf("  \"%s\"%s\n", d->cameras.getKey(i).c_str(),
                    d->cameras.get(i)->orthographic ? " orthographic" : "");
    std::printf("lights: %u\n", d->lights.size());
    for (unsigned i = 0; i < d->lights.size(); ++i)
        std::printf("  \"%s\" %s\n", d->lights.getKey(i).c_str(), lightType(d->lights.get(i)->type));
    int animations = 0;
    for (unsigned i = 0; i < d->animations.size(); ++i) animations += countAnimations(d->animations.get(i));
    std::printf("animations: %d\n", animations);
    printAnimations(d->animations, 0);
}

// The scene's nodes in key order: the indexes effects pick nodes by.
void printNodes(const Scene* scene) {
    std::printf("scene \"%s\": %u nodes in key order\n", scene->name.c_str(), scene->getNodeCount());
    for (unsigned i = 0; i < scene->getNodeCount(); ++i) {
        const SceneNode* node = scene->getNode(i);
        std::printf("  [%u] \"%s\" name \"%s\" translation (%g, %g, %g)%s\n", i, scene->nodes.getKey(i).c_str(),
                    node->name.c_str(), node->local[12], node->local[13], node->local[14], node->mesh ? " mesh" : "");
    }
}

void printBuiltScene(const Scene* scene) {
    unsigned drawn = 0, meshes = 0;
    for (unsigned i = 0; i < scene->meshVBOs.size(); ++i) {
        const MeshVBO* vbo = scene->meshVBOs.get(i);
        if (!vbo) continue;
        drawn += 1 + vbo->chained.size();
        ++meshes;
    }
    std::printf("built: %u of %u meshes drawable (%u primitives), %u cameras, %u lights, %u animations\n", meshes,
                scene->meshVBOs.size(), drawn, scene->cameras.size(), scene->lights.size(),
                scene->player->animations.size());
}

// The node tree of the scene buildScene would return, without meshes: needs
// no GL context.
void printSceneNodes(Collada::Document* document) {
    if (document->scenes.size() == 0) {
        std::printf("scene: none\n");
        return;
    }
    const Collada::Scene* last = document->scenes.get(document->scenes.size() - 1);
    Scene* scene = new Scene(last->name);
    buildNodes(scene, scene->root, last->nodes);
    printNodes(scene);
    releaseScene(scene);
}

// Checks one file; false when it did not load.
bool check(const char* path, bool buildScenes) {
    std::printf("== %s\n", path);
    std::fflush(stdout);
    std::string text;
    bool found = readFile(path, text);
    std::unique_ptr<Collada::Document> document;
    try {
        document.reset(loadColladaText(path, found ? text.c_str() : nullptr));
    } catch (const Refused& refused) {
        std::fflush(stderr);
        std::printf("daecheck: %s: refused (the demo would exit with status %d)\n", path, refused.code);
        return false;
    }
    std::fflush(stderr);
    if (!document) {
        std::printf("daecheck: %s: no COLLADA root\n", path);
        return false;
    }
    Scene* built = buildScenes ? buildScene(document.get()) : nullptr;
    std::fflush(stderr);
    printDocument(document.get(), built);
    if (!built) {
        printSceneNodes(document.get());
    } else {
        printNodes(built);
        printBuiltScene(built);
        releaseScene(built);
    }
    std::printf("daecheck: %s: loaded\n", path);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    bool buildScenes = false;
    int first = 1;
    if (first < argc && std::strcmp(argv[first], "--scene") == 0) {
        buildScenes = true;
        ++first;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: daecheck [--scene] FILE.dae...\n");
        return 2;
    }
    StmRunOptions options;
    options.headless = true;
    stmConfigure(options);
    stmSetExitHandler([](int code) { throw Refused{code}; });
    if (buildScenes) {
        if (!stmInitEx(64, 64, 32, false, false, false, false, 8, 1.0f, 1.0f, "", 60) || !loadGLExtensions()) {
            std::fprintf(stderr, "daecheck: no headless OpenGL context with vertex buffers\n");
            return 2;
        }
    }
    bool allLoaded = true;
    for (int i = first; i < argc; ++i) allLoaded = check(argv[i], buildScenes) && allLoaded;
    std::printf("daecheck: done\n");
    if (buildScenes) stmShutDown();
    return allLoaded ? 0 : 2;
}
