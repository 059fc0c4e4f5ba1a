#!/bin/sh
# Every C++ source and header follows .clang-format, so a change arrives in
# the project's one layout; clang-format names each file and line that does
# not.
set -eu
cd "$1"
files=$(find bench collada core data effects engine fuzz launcher render scene shell tests tools \
    \( -name '*.cpp' -o -name '*.h' \) -type f | sort)
clang-format --dry-run --Werror $files
echo "$(echo "$files" | wc -l) files formatted"
