// libFuzzer target over the COLLADA loader: arbitrary bytes go in as the
// archive text of one file. A refusal, which ends the demo, is turned into a
// recoverable stop here through the engine's exit handler, so each input
// runs to its end and the document is freed.
#include <cstddef>
#include <cstdint>
#include <string>

#include "collada/Collada.h"
#include "engine/stagemill.h"

namespace {
struct Refused {};
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StmRunOptions options;
    options.headless = true;
    stmConfigure(options);
    stmSetExitHandler([](int) { throw Refused{}; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size); // the archive hands out NUL-terminated texts
    try {
        delete loadColladaText("fuzz.dae", text.c_str());
    } catch (const Refused&) {}
    return 0;
}
