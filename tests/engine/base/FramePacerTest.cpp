#include "engine/base/FramePacer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

using Fernhouse::Base::FramePacer;

namespace
{

// Microseconds; sleeping moves it on.
std::uint64_t g_now = 0;
std::vector<std::uint32_t> g_sleeps;

std::uint64_t fakeNow()
{
    return g_now;
}

void fakeSleep(std::uint32_t milliseconds)
{
    g_sleeps.push_back(milliseconds);
    g_now += std::uint64_t{milliseconds} * 1000;
}

struct PacingCase
{
    const char* name;
    int swapInterval;       // as the driver reports it
    std::uint64_t workUs;   // a frame's own cost, swap included
    bool swapped;           // whether the frames are drawn and swapped
    int sleepingFrames;     // of the 20 frames after the first
    std::uint64_t periodUs; // from the first frame's end to the last's, over 20 frames, at least
};

} // namespace

TEST(FramePacer, SleepsToTheDisplayRateUnlessSwapsWaitForVerticalSync)
{
    const std::vector<PacingCase> cases = {
        {"no vertical sync, cheap frames", 0, 2000, true, 20, 20 * FramePacer::PeriodUs},
        {"no vertical sync, frames not drawn", 0, 100, false, 20, 20 * FramePacer::PeriodUs},
        // A driver that claims vertical sync but swaps at once is found out by its second swap.
        {"vertical sync claimed, swaps at once", 1, 2000, true, 20, 20 * FramePacer::PeriodUs},
        // Swaps that wait for the display are the pace themselves.
        {"vertical sync working", 1, FramePacer::PeriodUs, true, 0, 20 * FramePacer::PeriodUs},
        {"vertical sync, frames not drawn", 1, 100, false, 20, 20 * FramePacer::PeriodUs},
        // Frames slower than the display are never slowed further.
        {"no vertical sync, slow frames", 0, 25000, true, 0, 20 * 25000},
    };
    for (const PacingCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        g_now = 1000000;
        FramePacer pacer(&fakeNow, &fakeSleep);
        pacer.setSwapInterval(c.swapInterval);
        g_now += c.workUs;
        pacer.endFrame(c.swapped);
        g_sleeps.clear();
        const std::uint64_t start = g_now;
        for (int i = 0; i < 20; ++i)
        {
            g_now += c.workUs;
            pacer.endFrame(c.swapped);
        }
        EXPECT_EQ(static_cast<int>(g_sleeps.size()), c.sleepingFrames);
        EXPECT_GE(g_now - start, c.periodUs - 1000);
        // Never more than a period behind or ahead on average.
        EXPECT_LE(g_now - start, std::max(c.periodUs, 20 * c.workUs) + FramePacer::PeriodUs);
    }
}
