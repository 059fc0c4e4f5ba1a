// <library_visual_scenes>: visual scenes, their node trees, transformation
// elements and geometry instances; and the matrix of each transformation.
#include <cmath>

#include <tinyxml.h>

#include "collada/ColladaDiagnostics.h"
#include "collada/ColladaReaders.h"
#include "collada/ColladaTransform.h"

using ZEPHRAN_STAGEMILL::Matrix4;

namespace Collada {

namespace {

const char* const kTransformTags[] = {"matrix", "rotate", "scale", "translate"};
const unsigned kTransformValueCount[] = {16, 4, 3, 3};

// The values an element with too few numbers gets instead: the identity of
// its kind (rotate about z by 0 degrees is the identity branch).
void setDefaultValues(Transformation* transformation) {
    static const float identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    static const float rotate[4] = {0, 0, 1, 0};
    static const float scale[3] = {1, 1, 1};
    static const float translate[3] = {0, 0, 0};
    static const float* const defaults[] = {identity, rotate, scale, translate};
    transformation->values.clear();
    for (unsigned i = 0; i < kTransformValueCount[transformation->type]; ++i)
        transformation->values.add(defaults[transformation->type][i]);
}

} // namespace

void parseTransformation(Document* document, TiXmlElement* element, int type, ObjectNode* node) {
    Transformation* transformation = document->make<Transformation>();
    transformation->type = type;
    parseFloatList(element, transformation->values);
    unsigned expected = kTransformValueCount[type];
    if (transformation->values.size() < expected) {
        reportError(formatText("node '%.200s': <%s> holds %u numbers, expected %u; the identity is used",
                               node->id.empty() ? node->name.c_str() : node->id.c_str(), kTransformTags[type],
                               transformation->values.size(), expected));
        setDefaultValues(transformation);
    } else if (type == TRANSFORM_MATRIX) {
        Matrix4 rowByRow(transformation->values.data());
        Matrix4 columns = rowByRow.transpose();
        for (int i = 0; i < 16; ++i) transformation->values.set(i, columns[i]);
    }
    node->transformations.add(transformation);
}

Matrix4 transformationMatrix(const Transformation& t) {
    Matrix4 m;
    const Array<float>& v = t.values;
    switch (t.type) {
    case TRANSFORM_MATRIX:
        for (int i = 0; i < 16; ++i) m[i] = v.get(i);
        break;
    case TRANSFORM_ROTATE: {
        float angle = -v.get(3);
        // The engine's makeRotation takes degrees (as glRotatef does).
        if (std::fabs(angle) - 0.001f > 0.0f) m.makeRotation(angle, v.get(0), v.get(1), v.get(2));
        break;
    }
    case TRANSFORM_SCALE: m.makeScaleXYZ(v.get(0), v.get(1), v.get(2)); break;
    case TRANSFORM_TRANSLATE:
        m[12] = v.get(0);
        m[13] = v.get(1);
        m[14] = v.get(2);
        break;
    }
    return m;
}

void parseBindMaterial(Document* document, TiXmlElement* element, GeometryInstance* instance) {
    for (TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (isTag(child, "technique_common") || isTag(child, "technique")) {
            parseBindMaterial(document, child, instance);
        } else if (isTag(child, "instance_material")) {
            if (const char* target = child->Attribute("target"))
                instance->materialTarget = stripHash(target);
            else
                reportError("instance_material missing required attribute 'target'");
        } else {
            reportUnknown(child);
        }
    }
}

void parseGeometryInstance(Document* document, TiXmlElement* element, ObjectNode* node) {
    const char* url = element->Attribute("url");
    if (!url) {
        reportError("instance missing required attribute 'url'");
        return;
    }
    GeometryInstance* instance = document->make<GeometryInstance>();
    instance->url = stripHash(url);
    node->geometryInstances.add(instance);
    for (TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (isTag(child, "skeleton") || isTag(child, "extra"))
            reportIgnored(child);
        else if (isTag(child, "bind_material"))
            parseBindMaterial(document, child, instance);
        else
            reportUnknown(child);
    }
}

ObjectNode* parseNode(Document* document, TiXmlElement* element) {
    ObjectNode* node = document->make<ObjectNode>();
    if (const char* id = element->Attribute("id")) {
        node->id = id;
        document->nodes.add(id, node);
    }
    if (const char* name = element->Attribute("name")) node->name = name;
    for (TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (isTag(child, "asset") || isTag(child, "extra")) {
            reportIgnored(child);
        } else if (isTag(child, "lookat")) {
            reportError("COLLADA unsupported transformation type: lookat.");
        } else if (isTag(child, "matrix")) {
            parseTransformation(document, child, TRANSFORM_MATRIX, node);
        } else if (isTag(child, "rotate")) {
            parseTransformation(document, child, TRANSFORM_ROTATE, node);
        } else if (isTag(child, "scale")) {
            parseTransformation(document, child, TRANSFORM_SCALE, node);
        } else if (isTag(child, "translate")) {
            parseTransformation(document, child, TRANSFORM_TRANSLATE, node);
        } else if (isTag(child, "instance_camera")) {
            if (const char* url = child->Attribute("url")) node->cameraUrls.add(stripHash(url));
        } else if (isTag(child, "instance_light")) {
            if (const char* url = child->Attribute("url")) node->lightUrls.add(stripHash(url));
        } else if (isTag(child, "instance_controller") || isTag(child, "instance_geometry")) {
            parseGeometryInstance(document, child, node);
        } else if (isTag(child, "instance_node")) {
            reportError("COLLADA node instancing is not supported.");
        } else if (isTag(child, "node")) {
            node->children.add(parseNode(document, child));
        } else {
            reportUnknown(child);
        }
    }
    return node;
}

void parseVisualScene(Document* document, TiXmlElement* visualScene) {
    const char* id = visualScene->Attribute("id");
    if (!id) return;
    Scene* scene = document->make<Scene>();
    if (const char* name = visualScene->Attribute("name")) scene->name = name;
    for (TiXmlElement* child = visualScene->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (isTag(child, "node"))
            scene->nodes.add(parseNode(document, child));
        else if (isTag(child, "evaluate_scene") || isTag(child, "extra"))
            reportIgnored(child);
        else
            reportUnknown(child);
    }
    document->scenes.add(id, scene);
}

void parseVisualSceneLibrary(Document* document, TiXmlElement* library) {
    for (TiXmlElement* child = library->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (isTag(child, "asset") || isTag(child, "extra"))
            reportIgnored(child);
        else if (isTag(child, "visual_scene"))
            parseVisualScene(document, child);
        else
            reportUnknown(child);
    }
}

} // namespace Collada
