#include "game/Apple.h"

#include "engine/base/GameTime.h"

#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

using Fernhouse::Base::GameTime;
using Tarvo::Apple;
using TestSupport::FakeClock;

namespace
{

// A running game clock whose time the test sets directly.
class AppleClock
{
public:
    AppleClock() { m_time.start(); }

    void at(std::uint32_t ms)
    {
        m_clock.set(ms);
        m_time.update();
    }

private:
    FakeClock m_clock{0};
    GameTime m_time;
};

// The kind after updating the apple at the given game time.
std::int32_t kindAt(AppleClock& clock, Apple& apple, std::uint32_t ms)
{
    clock.at(ms);
    apple.update();
    return apple.getKind();
}

} // namespace

TEST(Apple, KindsGrowAndScoreAsTabled)
{
    const std::uint32_t growth[] = {2, 3, 1, 2, 2, 7};
    const std::int32_t points[] = {10, 50, -10, 20, -5, 20};
    for (std::int32_t kind = 0; kind < Apple::KindCount; ++kind)
    {
        EXPECT_EQ(Apple::getGrowth(kind), growth[kind]) << kind;
        EXPECT_EQ(Apple::getPoints(kind), points[kind]) << kind;
    }
    for (std::int32_t kind : {Apple::Gone, Apple::KindCount, 1000})
    {
        EXPECT_EQ(Apple::getGrowth(kind), 0u) << kind;
        EXPECT_EQ(Apple::getPoints(kind), 0) << kind;
    }
}

TEST(Apple, NewAppleIsNormalOnCellZeroAndHitsNothing)
{
    AppleClock clock;
    clock.at(1234);
    Apple apple;
    Apple other;
    EXPECT_EQ(apple.getKind(), Apple::Normal);
    EXPECT_EQ(apple.getCell(), Fernhouse::Base::Point(0, 0));
    EXPECT_EQ(apple.getSince(), 1234u);
    EXPECT_EQ(apple.getType(), 2);
    EXPECT_FALSE(apple.collidesWith(&other));
    EXPECT_FALSE(apple.collidesWith(&apple));
}

TEST(Apple, NormalAppleTurnsRottenAfterTwentySecondsAndGoesTenSecondsLater)
{
    AppleClock clock;
    clock.at(1000);
    Apple apple;
    EXPECT_EQ(kindAt(clock, apple, 21000), Apple::Normal);
    EXPECT_EQ(kindAt(clock, apple, 21001), Apple::Rotten);
    EXPECT_EQ(apple.getSince(), 21001u);
    EXPECT_EQ(kindAt(clock, apple, 31001), Apple::Rotten);
    EXPECT_EQ(kindAt(clock, apple, 31002), Apple::Gone);
}

TEST(Apple, SuperAppleTurnsRottenAfterFifteenSeconds)
{
    AppleClock clock;
    clock.at(0);
    Apple apple;
    apple.setKind(Apple::Super);
    EXPECT_EQ(kindAt(clock, apple, 15000), Apple::Super);
    EXPECT_EQ(kindAt(clock, apple, 15001), Apple::Rotten);
    EXPECT_EQ(kindAt(clock, apple, 25002), Apple::Gone);
}

TEST(Apple, TurboCakeAndBeerDisappearWithoutRotting)
{
    struct Case
    {
        std::int32_t kind;
        std::uint32_t lifetime;
    };

    for (const Case& c : {Case{Apple::Turbo, 15000}, Case{Apple::Cake, 15000}, Case{Apple::Beer, 20000}})
    {
        AppleClock clock;
        clock.at(500);
        Apple apple;
        apple.setKind(c.kind);
        EXPECT_EQ(kindAt(clock, apple, 500 + c.lifetime), c.kind);
        EXPECT_EQ(kindAt(clock, apple, 501 + c.lifetime), Apple::Gone) << c.kind;
    }
}

TEST(Apple, AgeingSurvivesTheClockWrapping)
{
    AppleClock clock;
    clock.at(0xFFFFF000u);
    Apple apple;
    // 4096 ms later the counter has wrapped to a small number; the apple is still young.
    EXPECT_EQ(kindAt(clock, apple, 0), Apple::Normal);
    EXPECT_EQ(kindAt(clock, apple, 20000 - 4096 + 1), Apple::Rotten);
}
