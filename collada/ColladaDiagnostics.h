// The loader's four diagnostics, shared by every reader: errors (logged and
// shown, loading goes on), unknown and ignored elements (logged), and the
// refusal of a construct the demo does not draw (shown, then the program ends).
#pragma once

#include <string>

class TiXmlElement;

namespace Collada {

// Logs " Error: <message>" and shows it in a topmost box captioned
// "Collada loader error."; returns when the box is closed.
void reportError(const char* message);
void reportError(const std::string& message);
// Logs " Unknown: <tag>" for a child an element reader does not know.
void reportUnknown(TiXmlElement* element);
// Logs " Ignored: <tag>" for a known child that is skipped.
void reportIgnored(TiXmlElement* element);
// Logs and shows " Not supported: <tag>", then ends the program.
[[noreturn]] void reportNotSupported(TiXmlElement* element);
// Shows `message` under `caption` and ends the program (exitRefused).
[[noreturn]] void refuse(const std::string& message, const char* caption);
// Ends the program with a failure status: the common end of every refusal and
// of a missing file.
[[noreturn]] void exitRefused();

// printf into a std::string of whatever length the values need.
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace Collada
