#include "engine/base/Random.h"

#include <gtest/gtest.h>

#include <algorithm>

using Fernhouse::Base::seedRandom;

TEST(Random, SeedOneGivesTheClassicSequenceASeedReplaysAndValuesSpanZeroTo32767)
{
    // POSIX has a random() of its own; a braced list calls from left to right.
    const auto random = &Fernhouse::Base::random;
    seedRandom(1);
    const std::vector<int> first{random(), random(), random(), random()};
    seedRandom(1);
    EXPECT_EQ(first, (std::vector<int>{41, 18467, 6334, 26500}));
    EXPECT_EQ(random(), 41);
    seedRandom(12345);
    int lowest = Fernhouse::Base::RandomMax;
    int highest = 0;
    for (int i = 0; i < 200000; ++i)
    {
        const int r = random();
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    EXPECT_EQ(std::pair(lowest, highest), std::pair(0, 32767));
}
