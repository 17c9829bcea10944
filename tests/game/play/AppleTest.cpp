#include "game/play/Apple.h"

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

TEST(Apple, EveryOtherKindAgesAfterItsOwnLifetime)
{
    struct Case
    {
        std::int32_t kind;
        std::uint32_t lifetime;
        std::int32_t next;
    };

    for (const Case& c : {Case{Apple::Super, 15000, Apple::Rotten}, Case{Apple::Turbo, 15000, Apple::Gone},
                          Case{Apple::Cake, 15000, Apple::Gone}, Case{Apple::Beer, 20000, Apple::Gone}})
    {
        AppleClock clock;
        clock.at(500);
        Apple apple;
        apple.setKind(c.kind);
        EXPECT_EQ(kindAt(clock, apple, 500 + c.lifetime), c.kind);
        EXPECT_EQ(kindAt(clock, apple, 501 + c.lifetime), c.next) << c.kind;
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
