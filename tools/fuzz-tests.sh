#!/bin/sh
# Builds the libFuzzer targets with clang, AddressSanitizer and UBSan in
# build-fuzz/ and runs each for a while (default 30 s; the first argument
# gives other seconds) from its seeds and dictionary in fuzz/. New inputs go
# to a scratch corpus, so the tree stays as it is. Fails when a target finds
# a crash, a leak or undefined behaviour (the reproducer is kept in
# build-fuzz/findings/).
set -e
cd "$(dirname "$0")/.."
seconds=${1:-30}
cmake -S . -B build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZEPHRAN_FUZZ=ON \
  -DZEPHRAN_SANITIZE=ON -DZEPHRAN_TESTS=OFF -DZEPHRAN_BENCH=OFF -DZEPHRAN_WERROR=ON
targets="collada archive shader image options"
build=""
for t in $targets; do build="$build ${t}_fuzz"; done
cmake --build build-fuzz -j"$(nproc)" --target $build
mkdir -p build-fuzz/findings
fuzz=$PWD/fuzz
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for t in $targets; do
  mkdir -p "$scratch/$t"
  echo "fuzz: $t for $seconds s"
  (cd build-fuzz/findings && "../fuzz/${t}_fuzz" -max_total_time="$seconds" -max_len=65536 -close_fd_mask=2 \
     -dict="$fuzz/$t.dict" -print_final_stats=1 "$scratch/$t" "$fuzz/corpus/$t")
done
