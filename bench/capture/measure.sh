#!/bin/sh
# Start-up time and capture speed of zephran, headless at 1280x720:
# the wall time of a single shot (start-up, one frame, shutdown) and the
# frames per second of a 10 s capture to PNG files and to an .mp4.
#
#   bench/capture/measure.sh [ZEPHRAN] [DATADIR]
set -eu
zephran=${1:-build/zephran}
data=${2:+--data $2}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
now() { date +%s.%N; }
for i in 1 2 3; do
  t0=$(now)
  # shellcheck disable=SC2086
  "$zephran" --headless --size 1280x720 $data --shot 0 "$tmp/shot.png" 2>/dev/null
  t1=$(now)
  echo "start-up to first frame written and exit: $(echo "$t1 - $t0" | bc) s"
done
# shellcheck disable=SC2086
"$zephran" --headless --size 1280x720 $data --capture "$tmp/frames" --fps 60 --to 10000 2>&1 | grep 'capture \[' | tr '\r' '\n' | tail -1
# shellcheck disable=SC2086
"$zephran" --headless --size 1280x720 $data --capture "$tmp/out.mp4" --fps 60 --to 10000 2>&1 | grep 'capture \[' | tr '\r' '\n' | tail -1
