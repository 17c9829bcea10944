#include "engine/base/Random.h"

#include <gtest/gtest.h>

#include <algorithm>

using Fernhouse::Base::seedRandom;

TEST(Random, SeedOneGivesTheClassicSequenceASeedReplaysAndValuesSpanZeroTo32767)
{
    seedRandom(1);
    for (const int expected : {41, 18467, 6334, 26500})
    {
        EXPECT_EQ(Fernhouse::Base::random(), expected);
    }
    seedRandom(1);
    EXPECT_EQ(Fernhouse::Base::random(), 41);
    seedRandom(12345);
    int lowest = Fernhouse::Base::RandomMax;
    int highest = 0;
    for (int i = 0; i < 200000; ++i)
    {
        const int r = Fernhouse::Base::random();
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    EXPECT_EQ(std::pair(lowest, highest), std::pair(0, 32767));
}
