#include "engine/base/Random.h"

#include <gtest/gtest.h>

#include <algorithm>

using Fernhouse::Base::RandomMax;
using Fernhouse::Base::seedRandom;

TEST(Random, UnseededSequenceIsTheClassicOne)
{
    seedRandom(1);
    EXPECT_EQ(Fernhouse::Base::random(), 41);
    EXPECT_EQ(Fernhouse::Base::random(), 18467);
    EXPECT_EQ(Fernhouse::Base::random(), 6334);
    EXPECT_EQ(Fernhouse::Base::random(), 26500);
}

TEST(Random, ValuesSpanZeroTo32767)
{
    seedRandom(12345);
    int lowest = RandomMax;
    int highest = 0;
    for (int i = 0; i < 200000; ++i)
    {
        const int r = Fernhouse::Base::random();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, RandomMax);
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, RandomMax);
}

TEST(Random, SameSeedReplaysTheSameSequence)
{
    seedRandom(777);
    const int a = Fernhouse::Base::random();
    const int b = Fernhouse::Base::random();
    seedRandom(777);
    EXPECT_EQ(Fernhouse::Base::random(), a);
    EXPECT_EQ(Fernhouse::Base::random(), b);
}
