// libFuzzer target over the command-line parser: the input is the argument
// list, NUL-separated. Whatever it is, parsing ends with options or with an
// error that names what was wrong.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "shell/Options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<std::string> args = {"zephran"};
    std::string current;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(current);
            current.clear();
        } else {
            current += char(data[i]);
        }
    }
    args.push_back(current);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    ShellOptions options;
    std::string error;
    if (!parseOptions(int(args.size()), argv.data(), options, error) && error.empty())
        __builtin_trap(); // a refusal must say why
    return 0;
}
