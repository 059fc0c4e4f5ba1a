// Include expansion of archive shader texts.
#include "render/ShaderInclude.h"

#include <cstring>
#include <vector>

namespace {

// The name between the quotes of an include line, or empty when the line is
// not of the form  #include "name".
std::string includedName(const std::string& directive) {
    const size_t open = directive.find('"');
    const size_t close = open == std::string::npos ? open : directive.find('"', open + 1);
    if (close == std::string::npos || close == open + 1) return std::string();
    if (directive.find_first_not_of(" \t\r", close + 1) != std::string::npos) return std::string();
    if (directive.find_first_not_of(" \t", std::strlen("#include")) != open) return std::string();
    return directive.substr(open + 1, close - open - 1);
}

std::string chain(const std::vector<std::string>& open, const std::string& last) {
    std::string text;
    for (const std::string& name : open) text += name + " -> ";
    return text + last;
}

// `open` holds the texts being expanded, outermost first (the shader's own
// source is not named there: an include cannot refer back to it).
// `charged` counts the output plus the include lines met, against the size bound.
bool expand(const char* source, const ShaderTextLookup& lookup, std::vector<std::string>& open, std::string& out,
            size_t& charged, std::string& error) {
    const char* line = source;
    while (*line) {
        const char* end = std::strchr(line, '\n');
        const size_t length = end ? static_cast<size_t>(end - line) : std::strlen(line);
        charged += length + 1;
        if (charged > kMaxExpandedShaderBytes) {
            error = "expands past " + std::to_string(kMaxExpandedShaderBytes) + " bytes";
            if (!open.empty()) error += " (in " + open.back() + ")";
            return false;
        }
        const std::string text(line, length);
        const size_t first = text.find_first_not_of(" \t");
        if (first != std::string::npos && text.compare(first, 8, "#include") == 0) {
            const std::string name = includedName(text.substr(first));
            if (name.empty()) {
                error = "malformed include line '" + text + "'";
                return false;
            }
            for (const std::string& o : open)
                if (o == name) {
                    error = "include \"" + name + "\" includes itself (" + chain(open, name) + ")";
                    return false;
                }
            if (open.size() >= size_t(kMaxIncludeDepth)) {
                error = "includes nest deeper than " + std::to_string(kMaxIncludeDepth) + " levels (" +
                        chain(open, name) + ")";
                return false;
            }
            const char* included = lookup(name);
            if (!included) {
                error = "include \"" + name + "\" not found";
                if (!open.empty()) error += " (" + chain(open, name) + ")";
                return false;
            }
            open.push_back(name);
            if (!expand(included, lookup, open, out, charged, error)) return false;
            open.pop_back();
            if (!out.empty() && out.back() != '\n') out += '\n';
        } else {
            out.append(line, length);
            if (end) out += '\n';
        }
        if (!end) break;
        line = end + 1;
    }
    return true;
}

} // namespace

bool expandShaderIncludes(const char* source, const ShaderTextLookup& lookup, std::string& expanded,
                          std::string& error) {
    expanded.clear();
    error.clear();
    std::vector<std::string> open;
    size_t charged = 0;
    return expand(source, lookup, open, expanded, charged, error);
}
