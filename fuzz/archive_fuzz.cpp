// libFuzzer target over the archive reader's own checks: arbitrary bytes as
// data.pak (a zip whose directory sizes, CRCs and names may lie, and whose
// texts may be UTF-16), read, then every text and member looked up as the
// program does. The bytes go through a file in memory, as the reader opens
// archives by name.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

#include "engine/stagemill.h"

namespace {
std::string g_path;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    StmRunOptions options;
    options.headless = true;
    stmConfigure(options);
    const int fd = memfd_create("fuzz.pak", 0);
    g_path = "/proc/self/fd/" + std::to_string(fd);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* f = std::fopen(g_path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    if (!stmReadPak(g_path.c_str())) return 0;
    for (int i = 0; i < stmGetTextCount(); ++i) {
        const char* name = stmGetTextFileNameAtIndex(i);
        const char* text = stmGetText(name);
        if (!text || text != stmGetTextAtIndex(i)) __builtin_trap(); // the lookup must find each text
        unsigned int bytes = 0;
        if (!stmGetFile(name, &bytes)) __builtin_trap();
    }
    return 0;
}
