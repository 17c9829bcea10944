#include "engine/base/ErrorLog.h"
#include "engine/base/Exception.h"
#include "engine/base/FramePacer.h"
#include "engine/base/GameTime.h"
#include "engine/base/Layout.h"
#include "engine/base/Random.h"

#include "tests/support/FakeClock.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <regex>

using namespace Fernhouse::Base;

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
    std::vector<int> values(200000);
    std::generate(values.begin(), values.end(), random);
    const auto [lowest, highest] = std::minmax_element(values.begin(), values.end());
    EXPECT_EQ(std::pair(*lowest, *highest), std::pair(0, RandomMax));
}

TEST(Layout, WrappedBreaksAtBlanksInsideLongWordsIndentsAndEndsInDotsPastTheLastLine)
{
    // Text, width in characters, most lines, indent, lines.
    constexpr std::size_t All = std::numeric_limits<std::size_t>::max();
    const std::tuple<std::string, std::size_t, std::size_t, std::string, std::vector<std::string>> cases[] = {
        {"aaa bbb ccc", 7, All, "", {"aaa bbb", "ccc"}},
        {"abcdefghij", 4, All, "", {"abcd", "efgh", "ij"}},
        {"aaa    bbb", 5, All, "", {"aaa  ", "bbb"}},
        {"- one two three four", 10, All, " ", {"- one two", " three", " four"}},
        {"one two three four", 8, 2, "", {"one two", "three..."}},
        {"one two three four", 7, 2, "", {"one two", "thre..."}},
        {"", 7, All, "", {}}};
    for (const auto& [text, width, maxLines, indent, lines] : cases)
    {
        const auto fits = [width = width](const std::string& line) { return line.size() <= width; };
        EXPECT_EQ(Layout::wrapped(text, fits, maxLines, indent), lines) << text << " in " << width;
    }
}

TEST(GameTime, CountsOnlyStartedSpansAcrossTheCounterWrappingAndResetStopsAtZero)
{
    TestSupport::FakeClock clock(0xFFFFFF00u);
    GameTime time;
    // Per step: what is done to the clock, the milliseconds that pass, whether it is then stopped, its time.
    const std::tuple<void (GameTime::*)(), std::uint32_t, bool, std::uint32_t> steps[] = {
        {&GameTime::update, 100, true, 0},
        {&GameTime::start, 256 + 50, false, 306}, // across the counter wrapping
        {&GameTime::start, 100, false, 406},      // starting twice does not move the base
        {&GameTime::stop, 4000, true, 406},
        {&GameTime::start, 10, false, 416},
        {&GameTime::reset, 700, true, 0}};
    for (const auto& [action, milliseconds, stopped, now] : steps)
    {
        (time.*action)();
        clock.advance(milliseconds);
        time.update();
        EXPECT_EQ(std::pair(time.isStopped(), time.getTime()), std::pair(stopped, now)) << milliseconds;
    }
    EXPECT_EQ(GameTime::getTicks(), clock.now());
}

TEST(FramePacer, SleepsToTheDisplayRateUnlessSwapsWaitForVerticalSync)
{
    constexpr std::uint64_t Period = FramePacer::PeriodUs;
    // The swap interval the driver reports, a frame's own cost with its swap in microseconds, whether the
    // frames are drawn and swapped, how many of the 20 frames after the first sleep.
    const std::tuple<const char*, int, std::uint64_t, bool, int> cases[] = {
        {"no vertical sync, cheap frames", 0, 2000, true, 20},
        // A driver that claims vertical sync but swaps at once is found out by its second swap.
        {"vertical sync claimed, swaps at once", 1, 2000, true, 20},
        // Swaps that wait for the display are the pace themselves.
        {"vertical sync working", 1, Period, true, 0},
        {"vertical sync, frames not drawn", 1, 100, false, 20},
        // Frames slower than the display are never slowed further.
        {"no vertical sync, slow frames", 0, 25000, true, 0}};
    // Microseconds; sleeping moves it on.
    static std::uint64_t now;
    static int sleeps;
    for (const auto& [name, swapInterval, workUs, swapped, sleepingFrames] : cases)
    {
        SCOPED_TRACE(name);
        now = 1000000;
        FramePacer pacer([] { return now; },
                         [](std::uint32_t milliseconds) {
                             ++sleeps;
                             now += std::uint64_t{milliseconds} * 1000;
                         });
        pacer.setSwapInterval(swapInterval);
        now += workUs;
        pacer.endFrame(swapped);
        sleeps = 0;
        const std::uint64_t start = now;
        for (int i = 0; i < 20; ++i)
        {
            now += workUs;
            pacer.endFrame(swapped);
        }
        EXPECT_EQ(sleeps, sleepingFrames);
        // Never more than a period behind or ahead on average.
        const std::uint64_t period = std::max(Period, workUs);
        EXPECT_GE(now - start, 20 * period - 1000);
        EXPECT_LE(now - start, 20 * period + Period);
    }
}

TEST(ErrorLog, EachErrorAppendsADatedRecordNamingAThrownOnesSourceAndLineOrGoesToStandardErrorIfItCannot)
{
    // A directory in the log's place cannot be opened for appending, even by root; /dev/full opens, but
    // every write fails as on a full disk.
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[] { std::ofstream("ErrorLog.txt") << "earlier content\n"; }, ""},
        {[] { std::filesystem::create_directory("ErrorLog.txt"); }, "Failed to create log file\\.\n"},
        {[] { std::filesystem::create_symlink("/dev/full", "ErrorLog.txt"); },
         "Failed to write log file\\.\n"}};
    // A ctime line (weekday, month, day, hh:mm:ss, year), then the rest of a record.
    const std::string dated = R"([A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9]\d \d{2}:\d{2}:\d{2} \d{4}\n)";
    for (const auto& [block, failure] : cases)
    {
        TestSupport::TempDir dir;
        TestSupport::ScopedWorkingDirectory cwd(dir.path());
        block();
        ::testing::internal::CaptureStderr();
        ErrorLog::write("first problem");
        ErrorLog::write(IOException("Failed to open file.", "src/ErrorLogTest", 42));
        const std::string records = dated + failure + "-{32}\nfirst problem\n\n" + dated + failure +
                                    "-{32}\nException in src/ErrorLogTest:42: Failed to open file\\.\n\n";
        // Nothing reaches standard error while the log can be written.
        const std::string got =
            ::testing::internal::GetCapturedStderr() + (failure.empty() ? dir.readFile("ErrorLog.txt") : "");
        EXPECT_TRUE(
            std::regex_match(got, std::regex(failure.empty() ? "earlier content\n" + records : records)))
            << got;
    }
}
