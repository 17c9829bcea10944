// Measures how much of a frame a crowded round costs: the computer player's direction query, the game
// engine's step, and whole frames against the floor of an empty frame. Run it from anywhere with a display
// (Xvfb will do); it reads the game's data from the source tree and writes its map to a temporary file.

#include "engine/base/Application.h"
#include "engine/base/EventRouter.h"
#include "engine/base/Exception.h"
#include "engine/base/GameTime.h"
#include "engine/base/Screen.h"
#include "engine/graphics/FontManager.h"
#include "engine/sound/SoundManager.h"

#include "game/ai/AIControl.h"
#include "game/play/GameEngine.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchClock.h"
#include "bench/BenchWorld.h"
#include "bench/StagedControl.h"

namespace TarvoBench
{

namespace
{

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t ScreenWidth = 800;
constexpr std::uint32_t ScreenHeight = 600;
constexpr std::uint32_t ScreenDepth = 32;
constexpr int AudioFrequency = 44100;
constexpr int AudioChannels = 16;
constexpr int AudioChunk = 2048;
constexpr int QueryRounds = 100;
// A frame at 250 frames per second; at normal speed a worm steps about every 83 frames.
constexpr std::uint32_t FastFrameMs = 4;
constexpr int FastFrames = 2500;
// Every worm then moves 30 cells, about what it does in 2500 frames of 4 ms.
constexpr int SteppingFrames = 30;
// Frames of a round and of an empty screen alternate in blocks.
constexpr int FrameBlocks = 10;
constexpr int BlockFrames = 150;
constexpr double MicrosecondsPerSecond = 1e6;
constexpr double MicrosecondsPerMillisecond = 1e3;
constexpr int BreakdownFrames = 300;

const std::vector<std::string> Personalities = {"buffy",  "bumble", "toxic", "ember",
                                                "shadow", "frost",  "king"};
const char* const GameSounds[][2] = {
    {"eatNormal", "sounds/wormEatNormal.wav"},
    {"eatRotten", "sounds/wormEatRotten.wav"},
    {"eatBeer", "sounds/wormEatBeer.wav"},
    {"eatTurbo", "sounds/wormEatTurbo.wav"},
    {"eatSuper", "sounds/wormEatSuper.wav"},
    {"eatCake", "sounds/wormEatCake.wav"},
    {"die", "sounds/wormDie.wav"},
    {"move", "sounds/wormMove.wav"},
};

// Median, 99th percentile and maximum of samples in microseconds.
struct Summary
{
    double median = 0.0;
    double p99 = 0.0;
    double max = 0.0;
    std::size_t count = 0;
};

Summary summarize(std::vector<double> samples)
{
    Summary summary;
    summary.count = samples.size();
    if (samples.empty())
    {
        return summary;
    }
    std::sort(samples.begin(), samples.end());
    summary.median = samples[samples.size() / 2];
    summary.p99 = samples[samples.size() * 99 / 100];
    summary.max = samples.back();
    return summary;
}

double microseconds(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count() * MicrosecondsPerSecond;
}

void print(const char* what, const Summary& s, const char* unit, double scale)
{
    std::printf("%-58s median %8.3f %s   p99 %8.3f %s   max %8.3f %s   (%zu samples)\n", what,
                s.median / scale, unit, s.p99 / scale, unit, s.max / scale, unit, s.count);
}

class BenchApp final : public Fernhouse::Base::Application
{
public:
    enum class Parts
    {
        All,
        Logic,
        Frames
    };

    BenchApp(const std::string& mapPath, Parts parts) : m_mapPath(mapPath), m_parts(parts)
    {
        try
        {
            init("Tarvo benchmark", ScreenWidth, ScreenHeight, ScreenDepth, false, AudioFrequency,
                 AUDIO_S16LSB, AudioChannels, AudioChunk);
        }
        catch (const Fernhouse::Base::SoundException&)
        {
            // A silent manager is in place; sound is not what is measured.
        }
        getFontManager()->setFontDirectory("graphics/fonts/");
        for (const auto& sound : GameSounds)
        {
            getSoundManager()->addSound("game", sound[0], sound[1], false);
        }
        getSoundManager()->pushContext("menu");
        getGameTime()->start();
    }

    int run() override
    {
        if (m_parts != Parts::Frames)
        {
            measureQueryAndStep();
        }
        if (m_parts != Parts::Logic)
        {
            std::vector<double> empties;
            const Summary one = measureRound(1, "(c) full frame, one player and 31 computer worms", empties);
            const Summary two = measureRound(2, "(c) full frame, two players and 30 computer worms", empties);
            print("(c) empty frame (clear and swap), the floor", summarize(empties), "ms",
                  MicrosecondsPerMillisecond);
            std::printf("(c) above the floor: one player %+.3f ms, two players %+.3f ms (medians of the same "
                        "stretch of time)\n",
                        one.median / MicrosecondsPerMillisecond, two.median / MicrosecondsPerMillisecond);
        }
        return 0;
    }

private:
    // (a) and (b), each on a fresh world of 2 humans and 30 computer players, with the clock stepped by hand.
    void measureQueryAndStep()
    {
        std::printf("world: %dx%d map, %zu worms of %u cells, %zu apples\n", BenchWorld::MapSide,
                    BenchWorld::MapSide, BenchWorld::WormCount, BenchWorld::WormLength,
                    BenchWorld::AppleCount);
        m_clock.useManualTime();
        {
            BenchWorld world(m_mapPath, getSoundManager(), m_clock, 2, Personalities);
            std::vector<double> queries;
            for (int round = 0; round < QueryRounds; ++round)
            {
                for (StagedControl* control : world.computers())
                {
                    const Clock::time_point start = Clock::now();
                    control->getAI()->getDirection();
                    queries.push_back(microseconds(start, Clock::now()));
                }
            }
            print("(a) one AI direction query", summarize(queries), "us", 1.0);
            print("(b) engine step, 4 ms frames (2 humans, 30 computer)",
                  steps(world, FastFrameMs, FastFrames), "us", 1.0);
            std::printf("    worms alive at the end: %zu of %zu\n", world.countLiving(),
                        BenchWorld::WormCount);
        }
        {
            BenchWorld world(m_mapPath, getSoundManager(), m_clock, 2, Personalities);
            print("(b) engine step, every worm steps in every frame",
                  steps(world, BenchWorld::StepMs, SteppingFrames), "us", 1.0);
            std::printf("    worms alive at the end: %zu of %zu\n", world.countLiving(),
                        BenchWorld::WormCount);
        }
    }

    // Engine updates without drawing, timed one by one while the round runs.
    Summary steps(BenchWorld& world, std::uint32_t frameMs, int frames)
    {
        std::vector<double> samples;
        for (int i = 0; i < frames && world.isLive(); ++i)
        {
            world.steerHumans();
            m_clock.advance(frameMs);
            getGameTime()->update();
            const Clock::time_point start = Clock::now();
            world.engine().update();
            samples.push_back(microseconds(start, Clock::now()));
        }
        return summarize(samples);
    }

    // Whole frames of the frame loop in real time, of a round with that many humans and of an empty screen,
    // in alternating blocks, so that both medians come from the same stretch of the machine's time.
    Summary measureRound(std::size_t humans, const char* label, std::vector<double>& empties)
    {
        m_clock.useManualTime();
        BenchWorld world(m_mapPath, getSoundManager(), m_clock, humans, Personalities);
        m_clock.useRealTime();
        std::vector<double> full;
        std::vector<double> empty;
        for (int block = 0; block < FrameBlocks && world.isLive(); ++block)
        {
            for (int i = 0; i < BlockFrames; ++i)
            {
                const Clock::time_point start = Clock::now();
                frame();
                empty.push_back(microseconds(start, Clock::now()));
            }
            getScreen()->addChild(&world.engine());
            getEventRouter()->addHandler(&world.engine());
            for (int i = 0; i < BlockFrames && world.isLive(); ++i)
            {
                world.steerHumans();
                const Clock::time_point start = Clock::now();
                frame();
                full.push_back(microseconds(start, Clock::now()));
            }
            getEventRouter()->removeHandler(&world.engine());
            getScreen()->removeChild(&world.engine());
        }
        const Summary summary = summarize(full);
        const Summary floor = summarize(empty);
        print(label, summary, "ms", MicrosecondsPerMillisecond);
        print("    empty frames between its blocks", floor, "ms", MicrosecondsPerMillisecond);
        getScreen()->addChild(&world.engine());
        getEventRouter()->addHandler(&world.engine());
        breakdown(world);
        getEventRouter()->removeHandler(&world.engine());
        getScreen()->removeChild(&world.engine());
        empties.insert(empties.end(), empty.begin(), empty.end());
        Summary above = summary;
        above.median -= floor.median;
        return above;
    }

    // Where a round's frame goes: the same steps as the frame loop, with the drawing finished before the
    // swap so that the rasteriser's work is counted as drawing.
    void breakdown(BenchWorld& world)
    {
        std::vector<double> updates;
        std::vector<double> draws;
        std::vector<double> swaps;
        for (int i = 0; i < BreakdownFrames && world.isLive(); ++i)
        {
            world.steerHumans();
            getEventRouter()->poll();
            getGameTime()->update();
            getScreen()->clear();
            const Clock::time_point start = Clock::now();
            getScreen()->update();
            const Clock::time_point updated = Clock::now();
            getScreen()->draw();
            glFinish();
            const Clock::time_point drawn = Clock::now();
            getScreen()->swapBuffers();
            const Clock::time_point swapped = Clock::now();
            updates.push_back(microseconds(start, updated));
            draws.push_back(microseconds(updated, drawn));
            swaps.push_back(microseconds(drawn, swapped));
        }
        print("    of which update", summarize(updates), "ms", MicrosecondsPerMillisecond);
        print("    of which draw, rasterised", summarize(draws), "ms", MicrosecondsPerMillisecond);
        print("    of which swap", summarize(swaps), "ms", MicrosecondsPerMillisecond);
    }

    BenchClock m_clock;
    std::string m_mapPath;
    Parts m_parts;
};

} // namespace

} // namespace TarvoBench

// tarvo_bench [logic|frames] [data directory]: every part by default, the game's data from the source tree.
int main(int argc, char** argv)
{
    using Parts = TarvoBench::BenchApp::Parts;
    Parts parts = Parts::All;
    int next = 1;
    if (next < argc && std::string(argv[next]) == "logic")
    {
        parts = Parts::Logic;
        ++next;
    }
    else if (next < argc && std::string(argv[next]) == "frames")
    {
        parts = Parts::Frames;
        ++next;
    }
    const std::filesystem::path data =
        next < argc ? std::filesystem::path(argv[next]) : std::filesystem::path(TARVO_SOURCE_DIR);
    const std::filesystem::path mapPath = std::filesystem::temp_directory_path() / "tarvo-bench.map";
    try
    {
        std::filesystem::current_path(data);
        TarvoBench::BenchWorld::writeMap(mapPath.string(), "graphics/tilesets/meadow.png");
        TarvoBench::BenchApp app(mapPath.string(), parts);
        const int result = app.run();
        std::filesystem::remove(mapPath);
        return result;
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "%s\n", e.what());
        return EXIT_FAILURE;
    }
}
