// The C-runtime-style generator's exact sequence from its start state and
// after reseeding.
#include "core/CrtRandom.h"

#include <gtest/gtest.h>

TEST(CrtRandom, ClassicSequence) {
    crt::srand(1);
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724};
    for (int value : expected) EXPECT_EQ(crt::rand(), value);
    crt::srand(1);
    EXPECT_EQ(crt::rand(), 41);
    // Full 32-bit wrap: state 0xFFFFFFFF steps to 0x00235AC6 -> 35.
    crt::srand(0xFFFFFFFFu);
    EXPECT_EQ(crt::rand(), 35);
}
