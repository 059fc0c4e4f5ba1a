#!/bin/sh
# Builds the COLLADA loader, the scene graph, daecheck and the spline and tube
# tests with AddressSanitizer and UBSan in build-asan/, then runs their tests
# and the real-exporter corpus through them. Run after the normal build
# (needs the same packages).
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build-asan -DZEPHRAN_SANITIZE=ON -DZEPHRAN_BENCH=OFF -DZEPHRAN_WERROR=ON
cmake --build build-asan -j"$(nproc)" --target daecheck collada_tests scene_tests test_flower
ctest --test-dir build-asan --output-on-failure -R '^(ColladaTest|ColladaTables|collada_corpus|Spline|TubeMesh|FlowerRange)'
# Mesa and SDL keep allocations until exit, and scenes live as long as the
# process by design, so leak reports are off for the GL-side tests.
ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build-asan --output-on-failure -R '^(MeshTest|MeshTables|SceneTest|AnimationTest)'
