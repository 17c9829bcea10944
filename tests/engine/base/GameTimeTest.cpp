#include "engine/base/GameTime.h"

#include "engine/base/FramePacer.h"

#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

#include <algorithm>

using Fernhouse::Base::FramePacer;
using Fernhouse::Base::GameTime;

TEST(GameTime, CountsOnlyStartedSpansAcrossTheCounterWrappingAndResetStopsAtZero)
{
    TestSupport::FakeClock clock(0xFFFFFF00u);
    GameTime time;
    const auto after = [&](std::uint32_t milliseconds) {
        clock.advance(milliseconds);
        time.update();
        return time.getTime();
    };
    EXPECT_EQ(after(100), 0u);
    EXPECT_TRUE(time.isStopped());
    time.start();
    EXPECT_EQ(after(256 + 50), 306u); // across the counter wrapping
    time.start();                     // starting twice does not move the base
    EXPECT_EQ(after(100), 406u);
    time.stop();
    EXPECT_EQ(after(4000), 406u);
    EXPECT_EQ(GameTime::getTicks(), clock.now());
    time.start();
    EXPECT_EQ(after(10), 416u);
    time.reset();
    EXPECT_TRUE(time.isStopped());
    EXPECT_EQ(after(700), 0u);
}

namespace
{

// Microseconds; sleeping moves it on.
std::uint64_t g_now = 0;
int g_sleeps = 0;

} // namespace

TEST(FramePacer, SleepsToTheDisplayRateUnlessSwapsWaitForVerticalSync)
{
    constexpr std::uint64_t Period = FramePacer::PeriodUs;

    struct Case
    {
        const char* name;
        int swapInterval;     // as the driver reports it
        std::uint64_t workUs; // a frame's own cost, swap included
        bool swapped;         // whether the frames are drawn and swapped
        int sleepingFrames;   // of the 20 frames after the first
    };

    const Case cases[] = {
        {"no vertical sync, cheap frames", 0, 2000, true, 20},
        {"no vertical sync, frames not drawn", 0, 100, false, 20},
        // A driver that claims vertical sync but swaps at once is found out by its second swap.
        {"vertical sync claimed, swaps at once", 1, 2000, true, 20},
        // Swaps that wait for the display are the pace themselves.
        {"vertical sync working", 1, Period, true, 0},
        {"vertical sync, frames not drawn", 1, 100, false, 20},
        // Frames slower than the display are never slowed further.
        {"no vertical sync, slow frames", 0, 25000, true, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        g_now = 1000000;
        FramePacer pacer([] { return g_now; },
                         [](std::uint32_t milliseconds) {
                             ++g_sleeps;
                             g_now += std::uint64_t{milliseconds} * 1000;
                         });
        pacer.setSwapInterval(c.swapInterval);
        g_now += c.workUs;
        pacer.endFrame(c.swapped);
        g_sleeps = 0;
        const std::uint64_t start = g_now;
        for (int i = 0; i < 20; ++i)
        {
            g_now += c.workUs;
            pacer.endFrame(c.swapped);
        }
        EXPECT_EQ(g_sleeps, c.sleepingFrames);
        // Never more than a period behind or ahead on average.
        const std::uint64_t period = std::max(Period, c.workUs);
        EXPECT_GE(g_now - start, 20 * period - 1000);
        EXPECT_LE(g_now - start, 20 * period + Period);
    }
}
