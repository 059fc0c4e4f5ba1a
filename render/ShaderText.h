// Text helpers of the shader registry's word scanner and archive-name rules.
#pragma once

#include <string>
#include <vector>

// Splits at every character of `delimiters`, keeping empty pieces: n
// delimiters give n + 1 pieces; an empty text gives none.
std::vector<std::string> splitString(const std::string& text, const char* delimiters);
// Drops every trailing character that belongs to `set`.
std::string trimRight(const std::string& text, const char* set);
