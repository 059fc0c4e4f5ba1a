#!/bin/bash
# render-farm over 10 s at 160x90 in 3 chunks on the local cores gives the
# very PNGs of one capture of the same range.
#   render_farm_check.sh ZEPHRAN RENDER_FARM
set -euo pipefail
zephran=$1
farm=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$farm" -z "$zephran" -s 160x90 -r 10 -f 12000 -t 22000 -c 3 -j 2 "$work/farm"
"$zephran" --headless --size 160x90 --fps 10 --from 12000 --to 22000 --capture "$work/one" 2>"$work/log" ||
  { cat "$work/log" >&2; exit 1; }
count=$(find "$work/one" -name 'frame_*.png' | wc -l)
[ "$count" -eq 100 ] || { echo "one capture wrote $count frames, expected 100" >&2; exit 1; }
diff -r "$work/one" "$work/farm" >&2 || { echo "the joined frames differ from one capture" >&2; exit 1; }
echo "render-farm: 100 frames in 3 chunks identical to one capture"
