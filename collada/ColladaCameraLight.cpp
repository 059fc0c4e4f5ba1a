// <library_cameras> and <library_lights>: camera optics and light types with
// their parameters as named number lists.
#include <tinyxml.h>

#include "collada/ColladaDiagnostics.h"
#include "collada/ColladaReaders.h"

namespace Collada {

namespace {

// Every child of `element` becomes a number list under its tag name, named
// after its sid attribute (cameras) or its tag (lights).
void parseParams(Document* document, TiXmlElement* element, Map<Attribute*>& params, bool nameBySid) {
    for (TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        Attribute* attribute = document->make<Attribute>();
        if (!nameBySid)
            attribute->name = child->Value();
        else if (const char* sid = child->Attribute("sid"))
            attribute->name = sid;
        parseFloatList(child, attribute->values);
        params.add(child->Value(), attribute);
    }
}

} // namespace

void parseCameraParams(Document* document, TiXmlElement* element, Camera* camera) {
    parseParams(document, element, camera->params, true);
}

void parseCameraTechnique(Document* document, TiXmlElement* element, Camera* camera) {
    for (TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (isTag(child, "orthographic")) {
            parseCameraParams(document, child, camera);
            camera->orthographic = true;
        } else if (isTag(child, "perspective")) {
            parseCameraParams(document, child, camera);
            camera->orthographic = false;
        } else if (isTag(child, "imager") || isTag(child, "extra")) {
            reportIgnored(child);
        } else {
            reportUnknown(child);
        }
    }
}

void parseOptics(Document* document, TiXmlElement* element, Camera* camera) {
    for (TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (isTag(child, "technique_common"))
            parseCameraTechnique(document, child, camera);
        else if (isTag(child, "technique") || isTag(child, "extra"))
            reportIgnored(child);
        else
            reportUnknown(child);
    }
}

void parseCameraExtra(Document* document, TiXmlElement* element, Camera* camera) {
    for (TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (isTag(child, "technique"))
            parseCameraExtra(document, child, camera);
        else if (!isTag(child, "target"))
            reportIgnored(child);
    }
}

void parseCamera(Document* document, TiXmlElement* element) {
    Camera* camera = document->make<Camera>();
    if (const char* id = element->Attribute("id")) {
        camera->id = id;
        document->cameras.add(id, camera);
    }
    for (TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (isTag(child, "asset") || isTag(child, "imager"))
            reportIgnored(child);
        else if (isTag(child, "optics"))
            parseOptics(document, child, camera);
        else if (isTag(child, "extra"))
            parseCameraExtra(document, child, camera);
        else
            reportUnknown(child);
    }
}

void parseCameraLibrary(Document* document, TiXmlElement* library) {
    for (TiXmlElement* child = library->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (isTag(child, "asset") || isTag(child, "extra"))
            reportIgnored(child);
        else if (isTag(child, "camera"))
            parseCamera(document, child);
        else
            reportUnknown(child);
    }
}

void parseLightParams(Document* document, TiXmlElement* element, Light* light) {
    parseParams(document, element, light->params, false);
}

void parseLightTechnique(Document* document, TiXmlElement* element, Light* light) {
    static const char* const kTypes[] = {"ambient", "directional", "point", "spot"};
    for (TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        int type = -1;
        for (int i = 0; i < 4; ++i)
            if (isTag(child, kTypes[i])) type = i;
        if (type < 0) {
            reportUnknown(child);
            continue;
        }
        light->type = type;
        parseLightParams(document, child, light);
    }
}

void parseLight(Document* document, TiXmlElement* element) {
    Light* light = document->make<Light>();
    if (const char* id = element->Attribute("id")) {
        light->id = id;
        document->lights.add(id, light);
    }
    for (TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (isTag(child, "asset") || isTag(child, "technique") || isTag(child, "extra"))
            reportIgnored(child);
        else if (isTag(child, "technique_common"))
            parseLightTechnique(document, child, light);
        else
            reportUnknown(child);
    }
}

void parseLightLibrary(Document* document, TiXmlElement* library) {
    for (TiXmlElement* child = library->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (isTag(child, "asset") || isTag(child, "extra"))
            reportIgnored(child);
        else if (isTag(child, "light"))
            parseLight(document, child);
        else
            reportUnknown(child);
    }
}

} // namespace Collada
