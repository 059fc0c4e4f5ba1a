// loadCollada: fetches a .dae text, parses it with TinyXML, walks the root's
// libraries in file order through the element readers and logs the summary.
#include "collada/Collada.h"

#include <cctype>
#include <cstring>
#include <memory>

#include <tinyxml.h>

#include "collada/ColladaDiagnostics.h"
#include "collada/ColladaReaders.h"
#include "engine/stagemill.h"

namespace Collada {

const char* const kNoIdentifierKey = "ZPRN::no_identifier_set";

namespace {

// TinyXML 2.6 steps over a UTF-8 sequence by the length its lead byte claims,
// so a text that ends inside one moves the parser past the terminating NUL.
// The parser gets a copy with this many more NULs, which stop it in bounds.
const size_t kParserPadding = 16;

// TinyXML parses nested elements by recursion, and its work grows with the
// square of the depth; real exports stay far below this.
const int kMaxNesting = 1024;

typedef void (*LibraryReader)(Document*, TiXmlElement*);

// The line at which the text's elements first nest deeper than kMaxNesting,
// or 0 when they never do. A linear scan of tags that steps over comments,
// CDATA, processing instructions, declarations and quoted attribute values;
// it need not agree with the parser on malformed text, only bound the depth.
int lineTooDeep(const char* text) {
    int depth = 0, line = 1;
    auto skipTo = [&](const char*& p, const char* end) {
        while (*p && std::strncmp(p, end, std::strlen(end)) != 0) line += *p++ == '\n';
        if (*p) p += std::strlen(end);
    };
    for (const char* p = text; *p;) {
        if (*p != '<') {
            line += *p++ == '\n';
            continue;
        }
        if (std::strncmp(p, "<!--", 4) == 0) {
            skipTo(p, "-->");
        } else if (std::strncmp(p, "<![CDATA[", 9) == 0) {
            skipTo(p, "]]>");
        } else if (p[1] == '?' || p[1] == '!') {
            skipTo(p, ">");
        } else if (p[1] == '/') {
            --depth;
            skipTo(p, ">");
        } else {
            char quote = 0, last = 0;
            for (++p; *p && (quote || *p != '>'); ++p) {
                line += *p == '\n';
                if (quote && *p == quote)
                    quote = 0;
                else if (!quote && (*p == '"' || *p == '\''))
                    quote = *p;
                if (!std::isspace(static_cast<unsigned char>(*p))) last = *p;
            }
            if (*p) ++p;
            if (last != '/' && ++depth > kMaxNesting) return line;
        }
    }
    return 0;
}

void ignoreLibrary(Document*, TiXmlElement* element) { reportIgnored(element); }
void skipLibrary(Document*, TiXmlElement*) {}

const struct {
    const char* tag;
    LibraryReader read;
} kLibraries[] = {
    {"asset", ignoreLibrary},
    {"library_animations", parseAnimationLibrary},
    {"library_cameras", parseCameraLibrary},
    {"library_controllers", ignoreLibrary},
    {"library_effects", ignoreLibrary},
    {"library_force_fields", ignoreLibrary},
    {"library_geometries", parseGeometryLibrary},
    {"library_images", ignoreLibrary},
    {"library_lights", parseLightLibrary},
    {"library_materials", ignoreLibrary},
    {"library_nodes", ignoreLibrary},
    {"library_physics_materials", ignoreLibrary},
    {"library_physics_models", skipLibrary},
    {"library_physics_scenes", ignoreLibrary},
    {"library_visual_scenes", parseVisualSceneLibrary},
    {"scene", ignoreLibrary}, // every visual scene is kept; <instance_visual_scene> is not read
    {"extra", ignoreLibrary},
};

void readRoot(Document* document, TiXmlElement* root) {
    for (TiXmlElement* child = root->FirstChildElement(); child; child = child->NextSiblingElement()) {
        LibraryReader read = nullptr;
        for (const auto& library : kLibraries)
            if (std::strcmp(child->Value(), library.tag) == 0) read = library.read;
        if (read)
            read(document, child);
        else
            stmMsg(" Unknown type: %s\n", child->Value());
    }
}

void logSummary(const Document* document) {
    if (document->scenes.size() == 0) stmMsg(" Warning: Collada file did not contain a scene element.\n");
    if (document->scenes.size() > 1) stmMsg(" Warning: Collada file contained multiple scenes.\n");
    stmMsg(" Loaded meshes: %d\n", static_cast<int>(document->meshes.size()));
    stmMsg(" Loaded sources: %d\n", static_cast<int>(document->sources.size()));
    stmMsg("Loading %.200s finished.\n", document->fileName.c_str());
}

} // namespace
} // namespace Collada

Collada::Document* loadColladaText(const std::string& fileName, const char* text) {
    using namespace Collada;
    stmMsg("Loading collada file %s\n", fileName.c_str());
    // Owned here until returned, so a refusal that unwinds (an exit handler
    // that throws) frees the half-read document.
    std::unique_ptr<Document> document(new Document());
    document->fileName = fileName;
    TiXmlDocument xml(fileName.c_str());
    if (!text) refuse(formatText("Could not find file: '%s'", fileName.c_str()), fileName.c_str());

    std::string padded(text);
    padded.append(kParserPadding, '\0');
    const int deepLine = lineTooDeep(text);
    if (deepLine == 0) xml.Parse(padded.c_str());
    if (deepLine != 0) {
        reportError(formatText("Opening document failed:\nelements nest deeper than %d levels at line %d \n",
                               kMaxNesting, deepLine));
    } else if (xml.Error()) {
        reportError(formatText("Opening document failed:\n%s \n", xml.ErrorDesc()));
    } else {
        TiXmlElement* root = TiXmlHandle(&xml).FirstChildElement("COLLADA").ToElement();
        if (!root) {
            reportError("No \"COLLADA\" root element found \n");
            return nullptr;
        }
        readRoot(document.get(), root);
    }
    logSummary(document.get());
    return document.release();
}

Collada::Document* loadCollada(std::string fileName) { return loadColladaText(fileName, stmGetText(fileName.c_str())); }
