#!/bin/sh
# Checks a rendered song: kick onsets on the 129.5 BPM grid, tempo, loudness,
# true peak, clipping, and spectrograms of the whole song and of each section.
#   tools/songsynth/check-song.sh SONG.wav|SONG.ogg OUTDIR
# Needs sox, aubio-tools, ffmpeg and python3. Exits non-zero when the kick
# grid, the loudness window (-16..-11 LUFS) or the true-peak limit fails.
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
ok = -16 <= v['I'] <= -11 and v['Peak'] < -0.5
print("integrated %.1f LUFS, true peak %.1f dBFS: %s" % (v['I'], v['Peak'], "ok" if ok else "OUT OF RANGE"))
sys.exit(0 if ok else 1)
PY
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
