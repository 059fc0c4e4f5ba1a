// The element readers behind loadCollada, one per COLLADA element kind. Each
// walks the element's children in document order and fills the document;
// what it does not read it names through the diagnostics.
#pragma once

#include "collada/ColladaDocument.h"

class TiXmlElement;

namespace Collada {

// Sources and value lists.
int semanticFromString(const char* semantic);
void parseSource(Document* document, TiXmlElement* source);
void parseAccessor(Document* document, TiXmlElement* techniqueCommon, Source* source);
void parseFloatList(TiXmlElement* element, Array<float>& out);
void parseIntList(TiXmlElement* element, Array<int>& out);
void parseNameList(TiXmlElement* element, Array<std::string>& out);
// The same splitting over a plain text (null adds nothing).
void parseFloatText(const char* text, Array<float>& out);
void parseIntText(const char* text, Array<int>& out);
// Reference id: the text with its leading '#' characters removed.
std::string stripHash(const char* reference);
// Whether the element's tag name is `tag`.
bool isTag(TiXmlElement* element, const char* tag);
// Integer attribute read the way atoi reads it; `fallback` when absent.
int intAttribute(TiXmlElement* element, const char* name, int fallback);

// Geometry.
void parseGeometryLibrary(Document* document, TiXmlElement* library);
void parseGeometry(Document* document, TiXmlElement* geometry);
void parseMesh(Document* document, TiXmlElement* meshElement, Mesh* mesh);
void parseVertices(Document* document, TiXmlElement* vertices, Mesh* mesh);
void parseTriangles(Document* document, TiXmlElement* element, Mesh* mesh);
void parsePolylist(Document* document, TiXmlElement* element, Mesh* mesh);
Mesh::MeshAttribute* parseInput(Document* document, TiXmlElement* input, Mesh* mesh);

// Visual scenes and nodes.
void parseVisualSceneLibrary(Document* document, TiXmlElement* library);
void parseVisualScene(Document* document, TiXmlElement* visualScene);
ObjectNode* parseNode(Document* document, TiXmlElement* element);
void parseTransformation(Document* document, TiXmlElement* element, int type, ObjectNode* node);
void parseGeometryInstance(Document* document, TiXmlElement* element, ObjectNode* node);
void parseBindMaterial(Document* document, TiXmlElement* element, GeometryInstance* instance);

// Cameras.
void parseCameraLibrary(Document* document, TiXmlElement* library);
void parseCamera(Document* document, TiXmlElement* element);
void parseOptics(Document* document, TiXmlElement* element, Camera* camera);
void parseCameraTechnique(Document* document, TiXmlElement* element, Camera* camera);
void parseCameraParams(Document* document, TiXmlElement* element, Camera* camera);
void parseCameraExtra(Document* document, TiXmlElement* element, Camera* camera);

// Lights.
void parseLightLibrary(Document* document, TiXmlElement* library);
void parseLight(Document* document, TiXmlElement* element);
void parseLightTechnique(Document* document, TiXmlElement* element, Light* light);
void parseLightParams(Document* document, TiXmlElement* element, Light* light);

// Animations.
AnimationAttribute inputKindFromString(const char* semantic);
void parseAnimationLibrary(Document* document, TiXmlElement* library);
Animation* parseAnimation(Document* document, TiXmlElement* element);
void parseSampler(Document* document, TiXmlElement* sampler, Animation* animation);
void parseChannel(Document* document, TiXmlElement* channel, Animation* animation);

} // namespace Collada
