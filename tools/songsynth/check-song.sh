#!/bin/sh
# Checks a rendered song: kick onsets on the 129.5 BPM grid, tempo, loudness,
# loudness range, true peak, per-section bar loudness and stereo correlation,
# the arrangement event at each effect boundary, the chords under each
# section, the analyser's level per effect span (when the song_sync_test
# binary is given in SYNC_TEST), and spectrograms of the whole song and of
# each section.
#   [SYNC_TEST=build/tests/song/song_sync_test] tools/songsynth/check-song.sh SONG.wav|SONG.ogg OUTDIR
# Needs sox, aubio-tools, ffmpeg and python3. Exits non-zero when the kick
# grid, the loudness window (-14..-10 LUFS), the loudness range (at least
# 6 LU), the true-peak limit (-1 dBTP) or a boundary event fails.
set -e
song=$1
out=${2:-song-check}
[ -f "$song" ] || { echo "usage: $0 SONG.wav|SONG.ogg OUTDIR" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)
shared=${ZEPHRAN_SHARED_DIR:-$here/../../../shared}
mkdir -p "$out"
ffmpeg -v error -y -i "$song" -ar 44100 -ac 2 -c:a pcm_s16le "$out/song.wav"
sox "$out/song.wav" -c 1 "$out/low.wav" lowpass 150
aubio onset "$out/low.wav" > "$out/onsets.txt"
status=0
echo "== beat grid"
python3 "$shared/tools/beatgrid.py" < "$out/onsets.txt" || status=1
echo "== kick onsets against beatTime(n)"
python3 - "$out/onsets.txt" <<'PY' || status=1
import sys
# Onsets within an eighth of a beat of the grid are the kick's; the bass's
# offbeat and sixteenth onsets lie further off.
P = 463320
t = [float(l.split()[0]) for l in open(sys.argv[1]) if l.strip()]
near = {}
for x in t:
    n = round((x * 1e6 + 350) / P)
    d = (x - (n * P - 350) / 1e6) * 1000
    if abs(d) < P / 8000 and (n not in near or abs(d) < abs(near[n])):
        near[n] = d
dev = sorted(abs(d) for d in near.values())
sig = sorted(near.values())
med = dev[len(dev) // 2]
print("%d low-band onsets, %d on distinct beats; kick onset median |onset - beatTime(n)| %.2f ms "
      "(median signed %+.2f ms); %d%% within 10 ms" % (len(t), len(dev), med, sig[len(sig) // 2],
      100 * sum(1 for d in dev if d < 10) / len(dev)))
sys.exit(0 if med < 10 else 1)
PY
echo "== aubio tempo"
aubio tempo "$out/song.wav" | tail -1
echo "== loudness (ebur128)"
ffmpeg -hide_banner -nostats -i "$out/song.wav" -af ebur128=peak=true -f null - 2>&1 |
  sed -n '/Summary/,$p' | grep -E 'I:|LRA:|Peak:' | tee "$out/loudness.txt"
python3 - "$out/loudness.txt" <<'PY' || status=1
import sys
v = {l.split(':')[0].strip(): float(l.split(':')[1].split()[0]) for l in open(sys.argv[1])}
ok = -14 <= v['I'] <= -10 and v['Peak'] <= -1.0 and v['LRA'] >= 6.0
print("integrated %.1f LUFS, loudness range %.1f LU, true peak %.1f dBTP: %s" %
      (v['I'], v['LRA'], v['Peak'], "ok" if ok else "OUT OF RANGE"))
sys.exit(0 if ok else 1)
PY
sox "$out/song.wav" -r 11025 "$out/song11k.wav"
sox "$out/song.wav" -r 11025 -c 1 "$out/band-low.wav" lowpass 150
sox "$out/song.wav" -r 11025 -c 1 "$out/band-mid.wav" sinc 150-3000
sox "$out/song.wav" -r 11025 -c 1 "$out/band-high.wav" highpass 3000
python3 "$here/song-figures.py" "$out/song11k.wav" "$out/band-low.wav" "$out/band-mid.wav" "$out/band-high.wav" ||
  status=1
echo "== chords under each section (the pad's patterns in the score)"
grep -E '^play +pad ' "$here/../../data/song/emberfall.score" | awk '{ $1 = ""; $2 = ""; print "  beats" $0 }'
if [ -n "${SYNC_TEST:-}" ]; then
  echo "== analyser level() per effect span"
  "$SYNC_TEST" --gtest_filter='*Analyser*' | grep -vE '^\[|^Note:|^$'
fi
echo "== sox stats"
sox "$out/song.wav" -n stats 2>&1 | grep -E 'Pk lev|RMS lev|Pk count|Length'
echo "== spectrograms in $out"
sox "$out/song.wav" -n remix 1,2 spectrogram -x 1800 -y 500 -z 90 -t "whole song" -o "$out/spectrogram-whole.png"
# name first-beat beats: 16-bar excerpts (shorter where the section is shorter)
for s in "logo 1 36" "plates 61 64" "plates2 129 64" "dancecube 193 64" "motikka 289 64" \
         "slicedsphere 354 31" "particleflower 385 32" "finale 417 64"; do
  set -- $s
  from=$(python3 -c "print(($2*463320-350)/1e6)")
  len=$(python3 -c "print($3*0.46332)")
  sox "$out/song.wav" -n trim "$from" "$len" remix 1,2 spectrogram -x 1200 -y 400 -z 90 -t "$1 from beat $2" \
    -o "$out/spectrogram-$1.png"
done
exit $status
