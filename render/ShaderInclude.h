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

// Bounds far above any real shader (ours nest two deep and expand to a few
// KB); a text that passes one is refused rather than expanded without end.
const int kMaxIncludeDepth = 32;
const size_t kMaxExpandedShaderBytes = size_t(1) << 20;

// Expands the includes of `source` into `expanded`. False when an include
// names no text or includes itself again (directly or through others), when
// a line starting with #include names no text in double quotes, when
// includes nest deeper than kMaxIncludeDepth or when the expansion would
// pass kMaxExpandedShaderBytes; `error` then says which and `expanded` is
// unspecified. The work done is linear in the expanded size: each include
// line also counts its own length against the size bound, so even texts
// that include empty ones cannot make it loop long.
bool expandShaderIncludes(const char* source, const ShaderTextLookup& lookup, std::string& expanded,
                          std::string& error);
