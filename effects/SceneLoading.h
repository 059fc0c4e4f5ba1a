// An effect's COLLADA scene: load the document from the archive, build its
// scene, and say in the log what goes undrawn when there is none.
#pragma once

namespace Collada {
class Document;
}
class Scene;

// Loads `file` into `document` (null when refused) and builds its scene.
// Without a visual scene logs "<owner>\"<file>\" holds no visual scene;
// <consequence>" and gives null; `owner` is an effect's name and ": ", or "".
Scene* loadEffectScene(const char* file, Collada::Document*& document, const char* owner, const char* consequence);
