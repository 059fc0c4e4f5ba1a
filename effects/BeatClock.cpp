// BeatClock: integer beat arithmetic in microseconds. Products are formed in
// 64 bits so long seeks cannot overflow; within the programme's length the
// results equal the 32-bit ones.
#include "effects/BeatClock.h"

int BeatClock::beatLength() const { return static_cast<int>(60000.0f / bpm); }

int BeatClock::beatPeriod() const { return static_cast<int>(60000000.0f / bpm); }

float BeatClock::beatPhase(float songTimeMs) {
    const long long period = beatPeriod();
    const long long t = static_cast<long long>(static_cast<int>(songTimeMs)) * 1000 + offset;
    const int remainder = static_cast<int>(t % period);
    beatHit = false;
    if (remainder < lastRemainder) {
        beatHit = true;
        beatNumber = static_cast<int>(t / period);
    }
    lastRemainder = remainder;
    return static_cast<float>(period - remainder) / static_cast<float>(period);
}

int BeatClock::updateBeatNumber(float songTimeMs) {
    const long long t = static_cast<long long>(songTimeMs * 1000.0) + offset;
    beatNumber = static_cast<int>(t / beatPeriod());
    return beatNumber;
}

int BeatClock::beatTime(int n) const {
    return static_cast<int>((static_cast<long long>(n) * beatPeriod() - offset) / 1000);
}

unsigned int BeatClock::quantiseToBeat(unsigned int timeMs) const {
    const int length = beatLength();
    if (length <= 0) return timeMs; // a tempo above 60000 BPM has no ms grid
    return static_cast<unsigned int>(length) * (timeMs / static_cast<unsigned int>(length));
}
