// makepak OUT FILE...: packs the files into the zip archive OUT, each member
// named after its file's base name.
#include "Pak.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: makepak OUT FILE...\n");
        return 2;
    }
    std::vector<pak::Input> inputs;
    for (int i = 2; i < argc; ++i) {
        std::string path = argv[i];
        size_t slash = path.find_last_of('/');
        inputs.push_back({slash == std::string::npos ? path : path.substr(slash + 1), path});
    }
    std::string error;
    if (!pak::write(argv[1], inputs, error)) {
        std::fprintf(stderr, "makepak: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
