// genscenes OUTDIR NAME...: writes the named COLLADA scenes into OUTDIR.
#include "Scenes.h"

#include <cstdio>
#include <cstring>
#include <fstream>

namespace {

struct Entry {
    const char* name;
    collada::Document (*make)();
};

const Entry kScenes[] = {
    {"logo.dae", scenes::logo},
    {"chamfercube.dae", scenes::chamferCube},
    {"geosphere.dae", scenes::geosphere},
    {"sliced_sphere.dae", scenes::slicedSphere},
    {"primitives.dae", scenes::primitives},
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: genscenes OUTDIR NAME...\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        const Entry* entry = nullptr;
        for (const Entry& e : kScenes)
            if (std::strcmp(e.name, argv[i]) == 0) entry = &e;
        if (!entry) {
            std::fprintf(stderr, "genscenes: no scene named '%s'\n", argv[i]);
            return 1;
        }
        std::string path = std::string(argv[1]) + "/" + entry->name;
        std::ofstream out(path, std::ios::binary);
        out << entry->make().write();
        if (!out.flush()) {
            std::fprintf(stderr, "genscenes: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
