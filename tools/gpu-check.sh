#!/bin/sh
# The demo on a real GPU driver: a machine with an NVIDIA GPU and its driver
# but no display and no package registry, where SDL's offscreen driver runs
# on the driver's EGL.
#
#   tools/gpu-check.sh prepare DIR   on a machine like the build machine,
#                                    after the build: gathers into DIR the
#                                    program, data.pak, pngdiff, the Debian
#                                    packages of the shared libraries they link
#                                    (and SDL's EGL) unpacked into DIR/prefix,
#                                    and the reference shots rendered with Mesa.
#   DIR/gpu-check.sh check DIR       on the GPU machine: the capability log,
#                                    shots at the span middles compared with
#                                    the references (mean absolute difference
#                                    per channel, 0..255), --benchmark at
#                                    1920x1080 and --gl-check over the whole
#                                    programme, then one summary table.
#
# GPU_CHECK_DRY_RUN=1 runs the check on whatever GL there is (Mesa here),
# smaller and at lower frame rates, to try the script end to end.
set -eu

# The middles of the timeline's spans (collada5 and collada6 share theirs).
SPANS="collada:8334 collada1:37271 plates2:73617 collada5+collada6:104175 growmotikka:141446
slicedsphere:171078 particleflower:185663 growPrimitives:209260"
SHOT_SIZE=640x360

prepare() {
    dir=$1
    root=$(cd "$(dirname "$0")/.." && pwd)
    build=$root/build
    for f in "$build/zephran" "$build/data.pak" "$build/tools/pngdiff/pngdiff"; do
        [ -f "$f" ] || { echo "gpu-check: $f is missing: build the project first" >&2; exit 1; }
    done
    mkdir -p "$dir/bin" "$dir/prefix" "$dir/reference" "$dir/debs"
    cp "$build/zephran" "$build/data.pak" "$build/tools/pngdiff/pngdiff" "$dir/bin/"
    cp "$0" "$dir/gpu-check.sh"
    # Every library the two programs link, by the Debian package that holds
    # it, less the C library and the GL vendor libraries the driver brings;
    # libegl1 too, which SDL opens at run time for its offscreen driver.
    packages=$( (ldd "$build/zephran"; ldd "$build/tools/pngdiff/pngdiff") | awk '/=> \// {print $3}' | sort -u |
        grep -v -E '/(libc|libm|libdl|libpthread|librt)\.so|/ld-linux|nvidia' |
        while read -r lib; do dpkg -S "$(readlink -f "$lib")" 2>/dev/null | head -1 | cut -d: -f1; done | sort -u)
    packages="$packages libegl1"
    # The installed version of each; where the registry no longer has it
    # (a superseded security update), the installed files themselves.
    copied=0
    for p in $packages; do
        if (cd "$dir/debs" && apt-get -q download "$p=$(dpkg-query -W -f='${Version}' "$p")" >/dev/null 2>&1); then
            continue
        fi
        dpkg -L "$p" | while read -r f; do [ -f "$f" ] && cp --parents -P "$f" "$dir/prefix"; done
        copied=$((copied + 1))
    done
    for deb in "$dir"/debs/*.deb; do dpkg-deb -x "$deb" "$dir/prefix"; done
    echo "gpu-check: $(ls "$dir"/debs | wc -l) packages unpacked and $copied copied as installed into $dir/prefix"
    for span in $SPANS; do
        t=${span#*:}
        (cd "$dir/bin" && SDL_VIDEODRIVER=offscreen ./zephran --headless --size $SHOT_SIZE --shot "$t" \
            "$dir/reference/shot_$t.png" >/dev/null 2>&1) || { echo "gpu-check: reference shot at $t failed" >&2; exit 1; }
    done
    echo "gpu-check: reference shots in $dir/reference; copy $dir to the GPU machine and run $dir/gpu-check.sh check $dir"
}

check() {
    dir=$(cd "$1" && pwd)
    bench_size=1920x1080 bench_fps=30 check_size=640x360 check_fps=10
    if [ "${GPU_CHECK_DRY_RUN:-0}" = 1 ]; then
        bench_size=160x90 bench_fps=2 check_size=48x27 check_fps=2
    fi
    # The packed libraries where the machine has none of its own; the GL
    # vendor libraries stay the driver's.
    lib=$dir/prefix/usr/lib/x86_64-linux-gnu
    export LD_LIBRARY_PATH="$lib:$lib/pulseaudio${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
    export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
    out=$dir/gpu-out
    rm -rf "$out" && mkdir -p "$out"
    cd "$dir/bin"
    rows=""
    for span in $SPANS; do
        name=${span%:*} t=${span#*:}
        if ./zephran --headless --size $SHOT_SIZE --shot "$t" "$out/shot_$t.png" >"$out/shot_$t.log" 2>&1; then
            diff=$(./pngdiff "$dir/reference/shot_$t.png" "$out/shot_$t.png") || diff="(no comparison)"
        else
            diff="(shot failed: see $out/shot_$t.log)"
        fi
        rows="$rows$(printf '%-20s %8s ms   %s' "$name" "$t" "$diff")
"
    done
    echo "== capability log (from the first shot)"
    grep -E "stmInitEx|vendor|Renderer|Version|Using depth|Multisample|No support" "$out/shot_8334.log" || true
    echo "== benchmark at $bench_size, $bench_fps fps"
    ./zephran --headless --size "$bench_size" --fps "$bench_fps" --benchmark >"$out/benchmark.txt" 2>"$out/benchmark.log" ||
        echo "benchmark failed: see $out/benchmark.log"
    cat "$out/benchmark.txt"
    echo "== gl-check at $check_size, $check_fps fps"
    status=0
    ./zephran --headless --size "$check_size" --fps "$check_fps" --gl-check >"$out/glcheck.log" 2>&1 || status=$?
    grep '^gl-check' "$out/glcheck.log" || true
    echo "== summary"
    printf '%-20s %11s   %s\n' "span" "shot" "mean |GPU - Mesa| R G B all (0..255)"
    printf '%s' "$rows"
    printf '%-20s %s\n' "benchmark" "$(grep '^rendering:' "$out/benchmark.txt" || echo failed)"
    printf '%-20s %s (exit %s)\n' "gl-check" "$(grep -E '^gl-check: [0-9]+ frames' "$out/glcheck.log" || echo failed)" "$status"
}

case "${1:-}" in
prepare) [ $# -eq 2 ] || { echo "usage: $0 prepare DIR" >&2; exit 2; }; prepare "$2" ;;
check) [ $# -eq 2 ] || { echo "usage: $0 check DIR" >&2; exit 2; }; check "$2" ;;
*) echo "usage: $0 prepare DIR | check DIR" >&2; exit 2 ;;
esac
