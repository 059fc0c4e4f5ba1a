// zephran: the demo's entry point.
#include "shell/Options.h"
#include "shell/Programme.h"

#include <cstdio>

int main(int argc, char** argv) {
    ShellOptions options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "zephran: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(usageText(), stdout);
        return 0;
    }
    return runProgramme(options);
}
