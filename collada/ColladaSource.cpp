// <source> elements with their arrays and accessor, the value-list splitting
// every reader uses, and the table of geometry input semantics.
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include <tinyxml.h>

#include "collada/ColladaDiagnostics.h"
#include "collada/ColladaReaders.h"
#include "engine/stagemill.h"

namespace Collada {

namespace {

bool isSeparator(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// Calls `take(start, end)` for every token of `text`, split at spaces, tabs
// and line feeds.
template <typename Take>
void forEachToken(const char* text, Take take) {
    if (!text) return;
    const char* p = text;
    while (*p) {
        while (isSeparator(*p)) ++p;
        if (!*p) break;
        const char* start = p;
        while (*p && !isSeparator(*p)) ++p;
        take(start, p);
    }
}

// The token [start, end) read the way atof reads it. A plain decimal number
// that from_chars takes whole gives the same correctly rounded double as
// strtod, much faster; anything else ("+1", "0x1p3", "2abc", out of range)
// goes to strtod on a NUL-terminated copy, so it never reads into the next
// token.
double readDouble(const char* start, const char* end, std::string& scratch) {
    double value = 0.0;
    std::from_chars_result read = std::from_chars(start, end, value);
    if (read.ec == std::errc() && read.ptr == end) return value;
    scratch.assign(start, end);
    return std::strtod(scratch.c_str(), nullptr);
}

// A double beyond float's range becomes an infinity, as the hardware
// conversion does, without the conversion's undefined behaviour.
float toFloat(double value) {
    if (value > FLT_MAX) return HUGE_VALF;
    if (value < -FLT_MAX) return -HUGE_VALF;
    return static_cast<float>(value);
}

// The token read the way atoi reads it, without its undefined behaviour on
// overflow; the fast path as for readDouble.
int readInt(const char* start, const char* end, std::string& scratch) {
    int value = 0;
    std::from_chars_result read = std::from_chars(start, end, value);
    if (read.ec == std::errc() && read.ptr == end) return value;
    scratch.assign(start, end);
    return static_cast<int>(std::strtol(scratch.c_str(), nullptr, 10));
}

} // namespace

int semanticFromString(const char* semantic) {
    static const struct {
        const char* name;
        int id;
    } table[] = {
        {"POSITION", SEMANTIC_POSITION},
        {"VERTEX", SEMANTIC_POSITION},
        {"NORMAL", SEMANTIC_NORMAL},
        {"COLOR", SEMANTIC_COLOR},
        {"TEXCOORD", 4},
        {"TEXCOORD0", 4},
        {"TEXCOORD1", 5},
        {"TEXCOORD2", 6},
        {"TEXCOORD3", 7},
        {"TEXCOORD4", 8},
        {"TEXCOORD5", 9},
        {"TEXCOORD6", 10},
        {"TEXCOORD7", 11},
        {"TEXTANGENT", SEMANTIC_TEXTANGENT},
        {"TEXBINORMAL", SEMANTIC_TEXBINORMAL},
    };
    if (!semantic) return SEMANTIC_NOT_SET;
    for (const auto& entry : table)
        if (std::strcmp(semantic, entry.name) == 0) return entry.id;
    return SEMANTIC_UNKNOWN;
}

std::string stripHash(const char* reference) {
    if (!reference) return std::string();
    while (*reference == '#') ++reference;
    return reference;
}

bool isTag(TiXmlElement* element, const char* tag) { return std::strcmp(element->Value(), tag) == 0; }

int intAttribute(TiXmlElement* element, const char* name, int fallback) {
    const char* value = element->Attribute(name);
    std::string scratch;
    return value ? readInt(value, value + std::strlen(value), scratch) : fallback;
}

void parseFloatText(const char* text, Array<float>& out) {
    std::string scratch;
    forEachToken(text, [&](const char* start, const char* end) { out.add(toFloat(readDouble(start, end, scratch))); });
}

void parseIntText(const char* text, Array<int>& out) {
    std::string scratch;
    forEachToken(text, [&](const char* start, const char* end) { out.add(readInt(start, end, scratch)); });
}

void parseFloatList(TiXmlElement* element, Array<float>& out) { parseFloatText(element->GetText(), out); }

void parseIntList(TiXmlElement* element, Array<int>& out) { parseIntText(element->GetText(), out); }

void parseNameList(TiXmlElement* element, Array<std::string>& out) {
    forEachToken(element->GetText(), [&](const char* start, const char* end) { out.add(std::string(start, end)); });
}

void parseAccessor(Document* document, TiXmlElement* techniqueCommon, Source* source) {
    for (TiXmlElement* child = techniqueCommon->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (!isTag(child, "accessor")) {
            reportUnknown(child);
            continue;
        }
        source->offset = intAttribute(child, "offset", source->offset);
        source->stride = intAttribute(child, "stride", 1);
        if (child->Attribute("count"))
            source->count = intAttribute(child, "count", source->count);
        else
            reportError("Accessor missing required attribute 'count'");
    }
}

void parseSource(Document* document, TiXmlElement* element) {
    const char* id = element->Attribute("id");
    if (!id) {
        stmMsg("Error: %s: source missing required attribute 'id'", element->Value());
        return;
    }
    Source* source = document->make<Source>();
    for (TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
        if (isTag(child, "asset") || isTag(child, "technique"))
            reportIgnored(child);
        else if (isTag(child, "IDREF_array") || isTag(child, "Name_array"))
            parseNameList(child, source->names);
        else if (isTag(child, "bool_array"))
            reportNotSupported(child);
        else if (isTag(child, "float_array"))
            parseFloatList(child, source->floats);
        else if (isTag(child, "int_array"))
            parseIntList(child, source->ints);
        else if (isTag(child, "technique_common"))
            parseAccessor(document, child, source);
        else
            reportUnknown(child);
    }
    document->sources.add(id, source);
}

} // namespace Collada
