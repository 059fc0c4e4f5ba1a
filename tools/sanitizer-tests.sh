#!/bin/sh
# Builds the COLLADA loader, the scene graph, daecheck, the spline and tube
# tests and the demo with AddressSanitizer and UBSan in build-asan/, runs the
# tests and the real-exporter corpus through them, then the whole demo
# headless over a short capture and a few shots across the programme with
# leak checking on. Run after the normal build (needs the same packages and
# build/data.pak).
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build-asan -DZEPHRAN_SANITIZE=ON -DZEPHRAN_BENCH=OFF -DZEPHRAN_WERROR=ON
cmake --build build-asan -j"$(nproc)" --target daecheck collada_tests scene_tests test_flower zephran
ctest --test-dir build-asan --output-on-failure -R '^(ColladaTest|ColladaTables|collada_corpus|Spline|TubeMesh|FlowerRange)'
# Mesa and SDL keep allocations until exit, and scenes live as long as the
# process by design, so leak reports are off for the GL-side tests.
ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build-asan --output-on-failure -R '^(MeshTest|MeshTables|SceneTest|AnimationTest)'
# The whole program, leaks included. The suppressions name only what the GL
# driver itself keeps until exit; everything the demo allocates must be freed
# or still reachable when it ends. Tiny frames and 10 fps (shots replay the
# frames before them) keep it quick.
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export LSAN_OPTIONS="suppressions=$PWD/tools/lsan-driver.supp:print_suppressions=0"
export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
# EGL unloads the driver when the display closes, and leaks from an unloaded
# library cannot be told apart; preloaded, it stays and its leaks carry its name.
lib=/usr/lib/$(gcc -print-multiarch)
export LD_PRELOAD="$lib/dri/swrast_dri.so $lib/libEGL_mesa.so.0" ASAN_OPTIONS=verify_asan_link_order=0
demo="$PWD/build-asan/zephran --headless --size 48x27"
(cd build && $demo --capture "$out/frames" --fps 10 --from 16000 --to 17500)
for t in 8000 70000 110000 150000 170000 185000 210000; do
  (cd build && $demo --fps 10 --shot "$t" "$out/shot-$t.png")
done
# A zero-byte song is refused cleanly (exit 1), not handed to memcpy.
mkdir -p "$out/empty" && : >"$out/empty/song.ogg"
status=0
(cd build && $demo --data "$out/empty" --export-song "$out/song.wav") || status=$?
if [ "$status" -ne 1 ]; then
  echo "zero-byte song: exit status $status, expected 1" >&2
  exit 1
fi
