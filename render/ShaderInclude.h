// Includes in archive shader texts. GLSL has none, so the registry expands a
// line of the form
//     #include "name.glsl"
// (blanks allowed around it) into the archive text of that name before the
// uniform scanner and the compiler see the source. Included texts may
// include others. Shared pieces of GLSL (the shadow-map lookup, the depth
// packing) are written once this way. An include text is named with a single
// '.', so the registry never takes it for half of a shader pair.
#pragma once

#include <functional>
#include <string>

// The text of an archive member, or null when there is none.
using ShaderTextLookup = std::function<const char*(const std::string& name)>;

// Expands the includes of `source` into `expanded`. False when an include
// names no text or includes itself again (directly or through others), or
// when a line starting with #include names no text in double quotes; `error`
// then says which and `expanded` is unspecified.
bool expandShaderIncludes(const char* source, const ShaderTextLookup& lookup, std::string& expanded,
                          std::string& error);
