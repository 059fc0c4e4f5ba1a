// The process-wide second random generator: the C runtime's classic linear
// congruential rand()/srand() pair, reproduced here so its exact sequence is
// the same on every platform. The noise texture and the effects that pick
// directions with it depend on that sequence. It lives in namespace crt so it
// never collides with the C library's rand().
#pragma once

#include <cstdint>

namespace crt {

// One state for the whole process; 1 until someone calls srand().
inline uint32_t g_randState = 1;

// Next value in 0..32767.
inline int rand() {
    g_randState = g_randState * 214013u + 2531011u;
    return static_cast<int>((g_randState >> 16) & 0x7FFFu);
}

inline void srand(unsigned int seed) { g_randState = seed; }

} // namespace crt
