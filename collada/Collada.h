// The COLLADA loader's entry points: read a .dae text from the data archive
// (or a text the caller holds) into a Collada::Document.
#pragma once

#include <string>

#include "collada/ColladaDocument.h"

// Loads `fileName` from the data archive (stmGetText). Returns the document,
// owned by the caller, or null when the file has no "COLLADA" root element.
// A missing file or a construct the loader refuses ends the program with a
// message box and a non-zero exit status (through stmExit, so a caller that
// installed an exit handler which throws gets the throw instead).
Collada::Document* loadCollada(std::string fileName);

// The same reading over a text the caller supplies; null `text` is a missing
// file. `fileName` names the document in the log and in messages.
Collada::Document* loadColladaText(const std::string& fileName, const char* text);
