// The loader's diagnostics: log lines through the engine, message boxes owned
// by the engine window, and the refusal that ends the program.
#include "collada/ColladaDiagnostics.h"

#include <cstdarg>
#include <cstdio>

#include <tinyxml.h>

#include "engine/stagemill.h"

namespace Collada {

namespace {
const char* const kErrorCaption = "Collada loader error.";
// A refusal is a failure: the program ends with this status, never 0.
const int kRefusalExitCode = 1;
} // namespace

std::string formatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(&text[0], text.size() + 1, format, again);
    va_end(again);
    return text;
}

void reportError(const char* message) {
    stmMsg(" Error: %s\n", message);
    stmMessageBox(message, kErrorCaption, STM_MB_TOPMOST);
}

void reportError(const std::string& message) { reportError(message.c_str()); }

void reportUnknown(TiXmlElement* element) { stmMsg(" Unknown: %s\n", element->Value()); }

void reportIgnored(TiXmlElement* element) { stmMsg(" Ignored: %s\n", element->Value()); }

void exitRefused() { stmExit(kRefusalExitCode); }

void refuse(const std::string& message, const char* caption) {
    stmMessageBox(message.c_str(), caption, STM_MB_TOPMOST);
    exitRefused();
}

void reportNotSupported(TiXmlElement* element) {
    std::string message = formatText(" Not supported: %s\n", element->Value());
    stmMsg("%s", message.c_str());
    refuse(message, kErrorCaption);
}

} // namespace Collada
