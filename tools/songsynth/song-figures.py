#!/usr/bin/env python3
# The song's figures per section of the programme, from a rendered stereo WAV
# (44.1 kHz, 16 bit) and three band-split mono versions of it made by
# check-song.sh: bar loudness range, left/right correlation, and the
# arrangement event at each effect boundary (the beat at which the sound
# changes most, which should be the boundary's own beat).
#   song-figures.py SONG.wav LOW.wav MID.wav HIGH.wav
# The band files are mono at 11025 Hz; SONG.wav is read at 11025 Hz too
# (check-song.sh passes a resampled copy), which keeps pure Python fast.
import array
import math
import sys
import wave

P = 463320   # microseconds per beat at 129.5 BPM
OFFSET = 350

# Effect spans in beats; the song ends at 225.5 s (beat 486.7).
SECTIONS = [("Logo", 0, 36), ("Plates", 36, 125), ("Plates2", 125, 193), ("DanceCube", 193, 257),
            ("GrowingMotikka", 257, 354), ("SlicedSphere", 354, 385), ("ParticleFlower", 385, 417),
            ("GrowPrimitives", 417, 486)]
BOUNDARIES = [36, 125, 193, 257, 354, 385, 417]


def read(path):
    w = wave.open(path, "rb")
    rate, channels = w.getframerate(), w.getnchannels()
    data = array.array("h", w.readframes(w.getnframes()))
    if sys.byteorder == "big":
        data.byteswap()
    return rate, [data[c::channels] for c in range(channels)]


def beat_frame(beat, rate):
    return max(0, int(round((beat * P - OFFSET) / 1e6 * rate)))


def db(power):
    return 10 * math.log10(power / (32768.0 ** 2) + 1e-12)


def power(x, a, b):
    seg = x[a:b]
    return sum(v * v for v in seg) / max(1, len(seg))


def main():
    rate, (left, right) = read(sys.argv[1])
    bands = [read(p)[1][0] for p in sys.argv[2:5]]
    end = len(left)

    print("== sections: bar RMS range (dB, the mix), left/right correlation")
    print("%-15s %7s %7s %7s %7s %6s" % ("section", "from s", "bar min", "bar max", "range", "corr"))
    for name, b0, b1 in SECTIONS:
        a, b = beat_frame(b0, rate), min(end, beat_frame(b1, rate))
        bars = []
        k = b0
        while k + 4 <= b1:
            f0, f1 = beat_frame(k, rate), min(end, beat_frame(k + 4, rate))
            if f1 > f0:
                bars.append(db((power(left, f0, f1) + power(right, f0, f1)) / 2))
            k += 4
        ll = rr = lr = 0.0
        for i in range(a, b):
            x, y = left[i], right[i]
            ll += x * x
            rr += y * y
            lr += x * y
        corr = lr / math.sqrt(ll * rr) if ll > 0 and rr > 0 else 1.0
        print("%-15s %7.2f %7.1f %7.1f %7.1f %6.2f" % (name, a / rate, min(bars), max(bars), max(bars) - min(bars), corr))

    print("== boundaries: beat of the largest change within 3 beats, the change on the boundary's own beat, and the")
    print("   band levels of that beat against the one before (low, mid, high)")
    status = 0
    for bnd in BOUNDARIES:
        per_beat = []
        for k in range(bnd - 4, bnd + 4):
            f0, f1 = beat_frame(k, rate), beat_frame(k + 1, rate)
            per_beat.append([db(power(x, f0, f1)) for x in bands])
        changes = []
        for j in range(1, len(per_beat)):
            changes.append((sum(abs(per_beat[j][c] - per_beat[j - 1][c]) for c in range(3)), bnd - 4 + j))
        best = max(c for c in changes if abs(c[1] - bnd) <= 3)
        at = next(c[0] for c in changes if c[1] == bnd)
        # The event belongs on the boundary's beat; a fill may take the beat
        # before it, as long as the boundary's own beat still changes clearly.
        ok = best[1] == bnd or (best[1] == bnd - 1 and at >= 6.0)
        status |= not ok
        before, after = per_beat[3], per_beat[4]
        print("beat %3d (%7.3f s): largest change at beat %3d (%4.1f dB summed), on beat %3d %4.1f dB; "
              "low %+5.1f mid %+5.1f high %+5.1f dB  %s" %
              (bnd, (bnd * P - OFFSET) / 1e6, best[1], best[0], bnd, at, after[0] - before[0],
               after[1] - before[1], after[2] - before[2], "ok" if ok else "OFF THE BOUNDARY"))
    return status


if __name__ == "__main__":
    sys.exit(main())
