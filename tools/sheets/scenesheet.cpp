// scenesheet DATA.PAK FONTDIR OUT.png: a contact sheet of every scene the
// program names, each loaded from the archive through the demo's own loader
// and scene graph and drawn headless from the front, the side and above, and
// once more with its nodes pulled apart.
// Nodes are shaded in turn with the production's accent colours so the
// pieces of the logo and the slices of the sphere can be told apart; the
// root's own node count and triangle count go in the label.
#include "Image.h"
#include "Type.h"
#include "collada/Collada.h"
#include "data/art/palette.h"
#include "data/members.h"
#include "engine/stagemill.h"
#include "render/GLExtensions.h"
#include "scene/Scene.h"

#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kShot = 320, kLabel = 28, kPad = 10;

// The first-level nodes with meshes, and where the sheet draws each: at its
// place, or pulled apart (placed nodes pushed out from the middle, nodes that
// share the origin set side by side) so every piece shows on its own.
struct Placed {
    SceneNode* node;
    float offset[3];
};

float nodeRadius(const SceneNode* n) {
    float r = 0;
    for (unsigned a = 0; a < n->mesh->attributes.size(); ++a) {
        const MeshVBO::MeshVBOAttribute* attr = n->mesh->attributes.get(a);
        if (attr->glArray != GL_VERTEX_ARRAY) continue;
        for (size_t v = 0; v + 2 < attr->data.size(); v += 3)
            r = std::max(r, std::sqrt(attr->data[v] * attr->data[v] + attr->data[v + 1] * attr->data[v + 1] +
                                      attr->data[v + 2] * attr->data[v + 2]));
    }
    return r;
}

std::vector<Placed> place(Scene* scene, bool apart) {
    std::vector<Placed> out;
    std::vector<size_t> atOrigin;
    float widest = 0;
    for (unsigned i = 0; i < scene->getNodeCount(); ++i) {
        SceneNode* n = scene->getNode(i);
        if (!n->mesh || n->parent != scene->root) continue;
        Placed p{n, {0, 0, 0}};
        float t2 = n->local[12] * n->local[12] + n->local[13] * n->local[13] + n->local[14] * n->local[14];
        if (apart && t2 > 1e-8f)
            for (int k = 0; k < 3; ++k) p.offset[k] = n->local[12 + k] * 0.6f;
        if (apart && t2 <= 1e-8f) {
            atOrigin.push_back(out.size());
            widest = std::max(widest, nodeRadius(n));
        }
        out.push_back(p);
    }
    if (atOrigin.size() > 1)
        for (size_t k = 0; k < atOrigin.size(); ++k)
            out[atOrigin[k]].offset[0] = (k - (atOrigin.size() - 1) / 2.0f) * widest * 2.2f;
    return out;
}

// Centre and radius of what `placed` draws.
void sceneBounds(const std::vector<Placed>& placed, float centre[3], float& radius) {
    float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
    for (const Placed& p : placed)
        for (unsigned a = 0; a < p.node->mesh->attributes.size(); ++a) {
            const MeshVBO::MeshVBOAttribute* attr = p.node->mesh->attributes.get(a);
            if (attr->glArray != GL_VERTEX_ARRAY) continue;
            for (size_t v = 0; v + 2 < attr->data.size(); v += 3)
                for (int k = 0; k < 3; ++k) {
                    float q = attr->data[v + k] + p.node->local[12 + k] + p.offset[k];
                    lo[k] = std::min(lo[k], q);
                    hi[k] = std::max(hi[k], q);
                }
        }
    radius = 0;
    for (int k = 0; k < 3; ++k) {
        centre[k] = (lo[k] + hi[k]) / 2;
        radius += (hi[k] - lo[k]) * (hi[k] - lo[k]) / 4;
    }
    radius = std::sqrt(radius) * 0.9f;
}

int triangles(Scene* scene) {
    int t = 0;
    for (unsigned i = 0; i < scene->meshVBOs.size(); ++i) {
        MeshVBO* m = scene->meshVBOs.get(i);
        if (!m) continue;
        t += m->vertexCount / 3;
        for (unsigned c = 0; c < m->chained.size(); ++c) t += m->chained.get(c)->vertexCount / 3;
    }
    return t;
}

// Draws the scene from direction `eye` (unit) and reads the frame back.
std::vector<unsigned char> shoot(Scene* scene, const float eye[3], const float up[3], bool apart) {
    std::vector<Placed> placed = place(scene, apart);
    float c[3], r;
    sceneBounds(placed, c, r);
    glViewport(0, 0, kShot, kShot);
    glClearColor(0.08f, 0.07f, 0.1f, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(35, 1, r * 0.2f, r * 8);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    float d = r / std::sin(17.5f * 3.14159265f / 180) * 1.05f;
    gluLookAt(c[0] + eye[0] * d, c[1] + eye[1] * d, c[2] + eye[2] * d, c[0], c[1], c[2], up[0], up[1], up[2]);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_NORMALIZE);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    const float key[4] = {0.4f, 0.8f, 0.6f, 0}, white[4] = {1, 1, 1, 1}, ambient[4] = {0.25f, 0.25f, 0.28f, 1};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_POSITION, key);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, white);
    glLightfv(GL_LIGHT0, GL_SPECULAR, white);
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, white);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 40);
    const art::Rgb palette[5] = {art::kPink, art::kGreen, art::kLightGreen, art::kYellow, art::kOrange};
    int shade = 0;
    for (const Placed& p : placed) {
        const art::Rgb& col = palette[shade++ % 5];
        glColor3f(col.r, col.g, col.b);
        glPushMatrix();
        glTranslatef(p.offset[0], p.offset[1], p.offset[2]);
        scene->drawNode(p.node, true);
        glPopMatrix();
    }
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    std::vector<unsigned char> px(static_cast<size_t>(kShot) * kShot * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kShot, kShot, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    return px;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: scenesheet DATA.PAK FONTDIR OUT.png\n");
        return 2;
    }
    StmRunOptions options;
    options.headless = true;
    options.mute = true;
    options.sizeW = kShot;
    options.sizeH = kShot;
    stmConfigure(options);
    if (!stmInitEx(kShot, kShot, 32, false, false, false, false, 8, 1.0f, 1.0f, argv[1], 60) || !loadGLExtensions()) {
        std::fprintf(stderr, "scenesheet: no headless OpenGL context with vertex buffers\n");
        return 1;
    }
    if (!stmReadPak(argv[1])) {
        std::fprintf(stderr, "scenesheet: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<const zdata::Member*> scenes;
    for (const zdata::Member& m : zdata::kMembers)
        if (m.kind == zdata::Kind::Scene) scenes.push_back(&m);
    const int kViews = 4;
    const float eyes[kViews][3] = {{0, 0.15f, 1}, {1, 0.15f, 0}, {0.35f, 1, 0.45f}, {0.45f, 0.5f, 0.75f}};
    const float ups[kViews][3] = {{0, 1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 1, 0}};
    const char* views[kViews] = {"front", "side", "above", "pulled apart"};
    int w = kViews * (kShot + kPad) + kPad, h = static_cast<int>(scenes.size()) * (kShot + kLabel + kPad) + kPad;
    gen::Image sheet(w, h, 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) sheet.set(x, y, gen::Col(0.13f, 0.13f, 0.14f));
    gen::Font font(std::string(argv[2]) + "/DejaVuSans.ttf");
    for (size_t s = 0; s < scenes.size(); ++s) {
        Collada::Document* doc = loadCollada(scenes[s]->name);
        Scene* scene = doc ? buildScene(doc) : nullptr;
        if (!scene) {
            std::fprintf(stderr, "scenesheet: %s gave no scene\n", scenes[s]->name);
            return 1;
        }
        for (int v = 0; v < kViews; ++v) {
            std::vector<unsigned char> px = shoot(scene, eyes[v], ups[v], v == kViews - 1);
            int ox = kPad + v * (kShot + kPad), oy = kPad + static_cast<int>(s) * (kShot + kLabel + kPad);
            for (int y = 0; y < kShot; ++y)
                for (int x = 0; x < kShot; ++x) {
                    const unsigned char* p = &px[(static_cast<size_t>(kShot - 1 - y) * kShot + x) * 3];
                    sheet.set(ox + x, oy + y, gen::Col(p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f));
                }
            char label[160];
            if (v == 0)
                std::snprintf(label, sizeof label, "%s  (%u nodes, %d triangles)", scenes[s]->name,
                              scene->getNodeCount(), triangles(scene));
            else
                std::snprintf(label, sizeof label, "%s", views[v]);
            gen::drawCaption(sheet, font, label, ox, oy + kShot, kShot, kLabel, 19, 14);
        }
    }
    stmShutDown();
    if (!sheet.write(argv[3])) {
        std::fprintf(stderr, "scenesheet: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
