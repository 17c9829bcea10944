#include "engine/base/GameTime.h"

#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

using Fernhouse::Base::GameTime;
using TestSupport::FakeClock;

namespace
{

class GameTimeTest : public ::testing::Test
{
protected:
    // Moves the tick source on and lets the game clock see it.
    std::uint32_t after(std::uint32_t milliseconds)
    {
        m_clock.advance(milliseconds);
        m_time.update();
        return m_time.getTime();
    }

    FakeClock m_clock{0xFFFFFF00u};
    GameTime m_time;
};

} // namespace

TEST_F(GameTimeTest, CountsOnlyStartedSpansAcrossTheCounterWrapping)
{
    EXPECT_EQ(after(100), 0u);
    EXPECT_TRUE(m_time.isStopped());
    m_time.start();
    EXPECT_EQ(after(256 + 50), 306u); // across the counter wrapping
    m_time.start();                   // starting twice does not move the base
    EXPECT_EQ(after(100), 406u);
    m_time.stop();
    EXPECT_EQ(after(4000), 406u);
    EXPECT_EQ(GameTime::getTicks(), m_clock.now());
    m_time.start();
    EXPECT_EQ(after(10), 416u);
}

TEST_F(GameTimeTest, ResetStopsAtZero)
{
    m_time.start();
    after(700);
    m_time.reset();
    EXPECT_EQ(after(700), 0u);
    EXPECT_TRUE(m_time.isStopped());
}

TEST(GameTime, SingletonSlotIsClearedOnDestruction)
{
    {
        GameTime time;
        EXPECT_EQ(GameTime::getInstance(), &time);
    }
    EXPECT_EQ(GameTime::getInstance(), nullptr);
}
