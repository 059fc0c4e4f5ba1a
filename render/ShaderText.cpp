// Text helpers of the shader registry's word scanner and archive-name rules.
#include "render/ShaderText.h"

#include <cstring>

std::vector<std::string> splitString(const std::string& text, const char* delimiters) {
    std::vector<std::string> pieces;
    if (text.empty()) return pieces;
    size_t start = 0;
    for (;;) {
        size_t at = text.find_first_of(delimiters, start);
        if (at == std::string::npos) {
            pieces.push_back(text.substr(start));
            return pieces;
        }
        pieces.push_back(text.substr(start, at - start));
        start = at + 1;
    }
}

std::string trimRight(const std::string& text, const char* set) {
    size_t end = text.find_last_not_of(set);
    return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}
