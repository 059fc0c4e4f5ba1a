// <library_geometries>: meshes with their sources, the <vertices> alias and
// the triangle primitives (<triangles>, <polygons>, all-triangle <polylist>).
// Lines, fans and strips are refused.
#include <climits>
#include <cstring>

#include <tinyxml.h>

#include "collada/ColladaDiagnostics.h"
#include "collada/ColladaReaders.h"
#include "engine/stagemill.h"

namespace Collada {

namespace {

// Reads one triangle primitive; `polylist` adds the <vcount> check.
void parsePrimitive(Document* document, TiXmlElement* element, Mesh* mesh, bool polylist) {
    if (!element->Attribute("count")) {
        reportError(polylist ? "polylist missing required attribute 'count'"
                             : "triangles missing required attribute 'count'");
        return;
    }
    Mesh::SubMesh* subMesh = document->make<Mesh::SubMesh>();
    subMesh->triangleCount = intAttribute(element, "count", 0);
    if (const char* material = element->Attribute("material")) subMesh->material = material;
    for (TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (isTag(child, "input")) {
            subMesh->inputs.add(parseInput(document, child, mesh));
        } else if (isTag(child, "p")) {
            parseIntList(child, subMesh->indices);
        } else if (polylist && isTag(child, "vcount")) {
            Array<int> corners;
            parseIntList(child, corners);
            for (unsigned i = 0; i < corners.size(); ++i) {
                if (corners.get(i) != 3) {
                    reportError("polylist contained polygons with != 3 vertices");
                    exitRefused();
                }
            }
        } else if (isTag(child, "extra")) {
            reportIgnored(child);
        } else {
            reportUnknown(child);
        }
    }
    mesh->subMeshes.add(subMesh);
}

} // namespace

Mesh::MeshAttribute* parseInput(Document* document, TiXmlElement* input, Mesh* mesh) {
    Mesh::MeshAttribute* attribute = document->make<Mesh::MeshAttribute>();
    if (input->Attribute("set")) stmMsg("mesh input semantic \"set\" ignored.\n");
    if (const char* semantic = input->Attribute("semantic"))
        attribute->semantic = semanticFromString(semantic);
    else
        reportError("Triangles input missing required attribute 'semantic'");

    Source* source = nullptr;
    if (const char* reference = input->Attribute("source")) {
        source = document->sources.find(stripHash(reference));
        if (source) {
            attribute->values = source->floats;
            attribute->stride = source->stride;
        }
    } else {
        reportError("Triangles input missing required attribute 'source'");
    }
    if (attribute->semantic == SEMANTIC_POSITION && source && attribute->stride > 0)
        mesh->vertexCount = static_cast<int>(attribute->values.size()) / attribute->stride;

    attribute->offset = intAttribute(input, "offset", 0);
    if (attribute->offset >= 0 && attribute->offset < INT_MAX && attribute->offset + 1 > mesh->indexStride)
        mesh->indexStride = attribute->offset + 1;
    return attribute;
}

void parseVertices(Document* document, TiXmlElement* vertices, Mesh* mesh) {
    const char* id = vertices->Attribute("id");
    if (!id) {
        stmMsg(" ERROR: %s: vertices missing required attribute 'id'", vertices->Value());
        return;
    }
    for (TiXmlElement* child = vertices->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (isTag(child, "input")) {
            const char* semantic = child->Attribute("semantic");
            if (!semantic || std::strcmp(semantic, "POSITION") != 0) {
                parseInput(document, child, mesh);
                continue;
            }
            const char* reference = child->Attribute("source");
            if (!reference) {
                stmMsg("vertices input element missing required attribute 'source'\n");
                continue;
            }
            // An alias to nothing would hand later readers a null source:
            // report it and leave the alias out, so the mesh has no positions.
            std::string sourceId = stripHash(reference);
            Source* positions = document->sources.find(sourceId);
            if (positions)
                document->sources.add(id, positions);
            else
                reportError(formatText("vertices '%.200s': POSITION source '%.200s' not found", id, sourceId.c_str()));
        } else if (isTag(child, "extra")) {
            reportIgnored(child);
        } else {
            reportUnknown(child);
        }
    }
}

void parseTriangles(Document* document, TiXmlElement* element, Mesh* mesh) {
    parsePrimitive(document, element, mesh, false);
}

void parsePolylist(Document* document, TiXmlElement* element, Mesh* mesh) {
    parsePrimitive(document, element, mesh, true);
}

void parseMesh(Document* document, TiXmlElement* meshElement, Mesh* mesh) {
    for (TiXmlElement* child = meshElement->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (isTag(child, "source"))
            parseSource(document, child);
        else if (isTag(child, "vertices"))
            parseVertices(document, child, mesh);
        else if (isTag(child, "lines") || isTag(child, "trifans") || isTag(child, "tristrips"))
            reportNotSupported(child);
        else if (isTag(child, "linestrips") || isTag(child, "extra"))
            reportIgnored(child);
        else if (isTag(child, "polygons") || isTag(child, "triangles"))
            parseTriangles(document, child, mesh);
        else if (isTag(child, "polylist"))
            parsePolylist(document, child, mesh);
        else
            reportUnknown(child);
    }
}

void parseGeometry(Document* document, TiXmlElement* geometry) {
    const char* id = geometry->Attribute("id");
    if (!id) return;
    for (TiXmlElement* child = geometry->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (isTag(child, "asset") || isTag(child, "convex_mesh") || isTag(child, "spline") || isTag(child, "extra")) {
            reportIgnored(child);
        } else if (isTag(child, "mesh")) {
            Mesh* mesh = document->make<Mesh>();
            document->meshes.add(id, mesh);
            parseMesh(document, child, mesh);
            if (mesh->vertexCount == 0) reportError("Mesh had no vertices");
        } else {
            reportUnknown(child);
        }
    }
}

void parseGeometryLibrary(Document* document, TiXmlElement* library) {
    for (TiXmlElement* child = library->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (isTag(child, "asset") || isTag(child, "extra"))
            reportIgnored(child);
        else if (isTag(child, "geometry"))
            parseGeometry(document, child);
        else
            reportUnknown(child);
    }
}

} // namespace Collada
