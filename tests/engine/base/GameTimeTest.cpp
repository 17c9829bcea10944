#include "engine/base/GameTime.h"

#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

using Fernhouse::Base::GameTime;
using TestSupport::FakeClock;

TEST(GameTime, StaysAtZeroUntilStarted)
{
    FakeClock clock(5000);
    GameTime time;
    clock.advance(300);
    time.update();
    EXPECT_EQ(time.getTime(), 0u);
    EXPECT_TRUE(time.isStopped());
    EXPECT_EQ(GameTime::getInstance(), &time);
}

TEST(GameTime, StoppedSpanIsNotCounted)
{
    FakeClock clock(1000);
    GameTime time;
    time.start();
    clock.advance(250);
    time.update();
    EXPECT_EQ(time.getTime(), 250u);

    time.stop();
    clock.advance(4000);
    time.update();
    EXPECT_EQ(time.getTime(), 250u);
    EXPECT_EQ(GameTime::getTicks(), 5250u);

    time.start();
    clock.advance(100);
    time.update();
    EXPECT_EQ(time.getTime(), 350u);
}

TEST(GameTime, StartingTwiceDoesNotMoveTheBase)
{
    FakeClock clock(0);
    GameTime time;
    time.start();
    clock.advance(400);
    time.start();
    time.update();
    EXPECT_EQ(time.getTime(), 400u);
}

TEST(GameTime, ResetStopsAtZero)
{
    FakeClock clock(0);
    GameTime time;
    time.start();
    clock.advance(700);
    time.update();
    time.reset();
    clock.advance(700);
    time.update();
    EXPECT_EQ(time.getTime(), 0u);
    EXPECT_TRUE(time.isStopped());
}

TEST(GameTime, CountsOnAcrossTheTickCounterWrapping)
{
    FakeClock clock(0xFFFFFF00u);
    GameTime time;
    time.start();
    clock.advance(0x100u + 50u); // the counter wraps to 50
    time.update();
    EXPECT_EQ(clock.now(), 50u);
    EXPECT_EQ(time.getTime(), 0x100u + 50u);

    time.stop();
    clock.advance(1000);
    time.start();
    clock.advance(10);
    time.update();
    EXPECT_EQ(time.getTime(), 0x100u + 60u);
}

TEST(GameTime, SingletonSlotIsClearedOnDestruction)
{
    {
        GameTime time;
        EXPECT_EQ(GameTime::getInstance(), &time);
    }
    EXPECT_EQ(GameTime::getInstance(), nullptr);
}
