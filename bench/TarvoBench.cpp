// Measures how much of a frame a crowded round costs: the computer player's direction query, the game
// engine's step, and whole frames against the floor of an empty frame. Run it from anywhere with a display
// (Xvfb will do); it reads the game's data from the source tree and writes its map to a temporary file.

#include "engine/base/Application.h"
#include "engine/base/EventRouter.h"
#include "engine/base/Exception.h"
#include "engine/base/GameTime.h"
#include "engine/base/Screen.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/Image.h"
#include "engine/gui/Menu.h"
#include "engine/sound/SoundManager.h"

#include "game/ai/AIControl.h"
#include "game/play/GameEngine.h"

#include <GL/gl.h>
#include <SDL/SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>
#include <filesystem>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "bench/BenchClock.h"
#include "bench/BenchWorld.h"
#include "bench/StagedControl.h"

namespace TarvoBench
{

// Every C++ heap allocation of the process, the GL driver's own included.
std::atomic<std::uint64_t> g_allocations{0};

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
// Frames of the counted part, after as many that compile the driver's shaders.
constexpr int CountedFrames = 100;
// Game time per counted frame: 60 frames a second.
constexpr std::uint32_t CountedFrameMs = 16;
// Frames of the map sizes' comparison per block.
constexpr int MapBlockFrames = 60;
constexpr std::int32_t MapSides[] = {32, 128, 256};
// Seconds of wall time per scene of the whole game, and of its floor beside it.
constexpr double SceneSeconds = 4.0;
constexpr double FloorSeconds = 2.0;
constexpr const char* MenuFont = "comic_medium";
constexpr const char* MenuBackground = "graphics/menu_back.png";
constexpr const char* OnePlayerMap = "maps/01-meadow.map";
constexpr Fernhouse::Base::Color MenuNormal{255, 255, 255, 255};
constexpr Fernhouse::Base::Color MenuSelected{255, 220, 0, 255};
constexpr std::int32_t MenuX = 400;
constexpr std::int32_t MenuY = 250;

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

// Processor time of the whole process, the GL driver's threads included.
double cpuMicroseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * MicrosecondsPerSecond +
           static_cast<double>(now.tv_nsec) / MicrosecondsPerMillisecond;
}

// Wall and processor time of a run of frames, one sample each.
struct FrameTimes
{
    std::vector<double> wall;
    std::vector<double> cpu;

    template <typename Frame> void measure(Frame&& frame)
    {
        const double cpuStart = cpuMicroseconds();
        const Clock::time_point start = Clock::now();
        frame();
        wall.push_back(microseconds(start, Clock::now()));
        cpu.push_back(cpuMicroseconds() - cpuStart);
    }
};

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
        Frames,
        Maps,
        Game,
        Counted
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
        if (m_parts == Parts::All || m_parts == Parts::Logic)
        {
            measureQueryAndStep();
        }
        if (m_parts == Parts::All || m_parts == Parts::Frames)
        {
            measureFrames();
        }
        if (m_parts == Parts::All || m_parts == Parts::Maps)
        {
            measureMapSizes();
        }
        if (m_parts == Parts::All || m_parts == Parts::Game)
        {
            measureWholeGame();
        }
        if (m_parts == Parts::Counted)
        {
            countFrames();
        }
        return 0;
    }

private:
    // (c): every frame drawn, at full speed.
    void measureFrames()
    {
        setFramePacing(false);
        setDrawOnlyChanges(false);
        FrameTimes empties;
        const FrameTimes one = measureRound(1, "(c) full frame, one player and 31 computer worms", empties);
        const FrameTimes two = measureRound(2, "(c) full frame, two players and 30 computer worms", empties);
        printTimes("(c) empty frame (clear and swap), the floor", empties);
        const auto above = [&](const std::vector<double>& round, const std::vector<double>& floor) {
            return (summarize(round).median - summarize(floor).median) / MicrosecondsPerMillisecond;
        };
        std::printf("(c) above the floor: one player %+.3f ms wall, %+.3f ms CPU; two players %+.3f ms wall, "
                    "%+.3f ms CPU\n",
                    above(one.wall, empties.wall), above(one.cpu, empties.cpu), above(two.wall, empties.wall),
                    above(two.cpu, empties.cpu));
    }

    static void printTimes(const std::string& what, const FrameTimes& times)
    {
        print((what + ", wall").c_str(), summarize(times.wall), "ms", MicrosecondsPerMillisecond);
        print((what + ", CPU").c_str(), summarize(times.cpu), "ms", MicrosecondsPerMillisecond);
    }

    // (f) For an instruction counter: the same frames of the two-player round in every run, the clock
    // stepped by hand, and as many empty frames, each stretch in a function of its own whose inclusive
    // count is the figure.
    void countFrames()
    {
        setFramePacing(false);
        setDrawOnlyChanges(false);
        m_clock.useManualTime();
        BenchWorld world(m_mapPath, getSoundManager(), m_clock, 2, Personalities);
        show(world, true);
        for (int i = 0; i < CountedFrames; ++i)
        {
            m_clock.advance(CountedFrameMs);
            frame();
        }
        show(world, false);
        countedEmptyFrames();
        show(world, true);
        countedRoundFrames(world);
        const std::uint64_t picture = pictureHash();
        show(world, false);
        std::printf("(f) %d empty frames, then %d frames of the two-player round; worms alive at the end: "
                    "%zu of %zu; hash of the last frame's pixels %016llx\n",
                    CountedFrames, CountedFrames, world.countLiving(), world.engine().getWorms().size(),
                    static_cast<unsigned long long>(picture));
    }

    // FNV-1a over the pixels of the screen drawn once more: the same frames must give the same picture
    // whatever the drawing does faster.
    std::uint64_t pictureHash()
    {
        constexpr std::uint64_t Offset = 14695981039346656037ull;
        constexpr std::uint64_t Prime = 1099511628211ull;
        constexpr std::size_t BytesPerPixel = 4;
        getScreen()->clear();
        getScreen()->draw();
        std::vector<unsigned char> pixels(std::size_t{ScreenWidth} * ScreenHeight * BytesPerPixel);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, static_cast<GLsizei>(ScreenWidth), static_cast<GLsizei>(ScreenHeight), GL_RGBA,
                     GL_UNSIGNED_BYTE, pixels.data());
        std::uint64_t hash = Offset;
        for (const unsigned char byte : pixels)
        {
            hash = (hash ^ byte) * Prime;
        }
        return hash;
    }

    __attribute__((noinline)) void countedEmptyFrames()
    {
        for (int i = 0; i < CountedFrames; ++i)
        {
            m_clock.advance(CountedFrameMs);
            frame();
        }
    }

    __attribute__((noinline)) void countedRoundFrames(BenchWorld& world)
    {
        for (int i = 0; i < CountedFrames; ++i)
        {
            world.steerHumans();
            m_clock.advance(CountedFrameMs);
            frame();
        }
    }

    // (d) One player's view onto open maps of several sizes, every frame drawn with time standing still,
    // in blocks alternating with empty frames.
    void measureMapSizes()
    {
        setFramePacing(false);
        setDrawOnlyChanges(false);
        std::vector<double> aboveCpu;
        for (const std::int32_t side : MapSides)
        {
            const std::filesystem::path path =
                std::filesystem::temp_directory_path() / ("tarvo-bench-" + std::to_string(side) + ".map");
            BenchWorld::writeOpenMap(path.string(), "graphics/tilesets/meadow.png", side);
            m_clock.useManualTime();
            {
                BenchWorld world(path.string(), getSoundManager(), m_clock, 1, Personalities, 1, false);
                FrameTimes empty;
                FrameTimes full;
                for (int block = 0; block <= FrameBlocks; ++block)
                {
                    // Block 0 warms up.
                    FrameTimes& emptyTarget = block == 0 ? m_discard : empty;
                    FrameTimes& fullTarget = block == 0 ? m_discard : full;
                    for (int i = 0; i < MapBlockFrames; ++i)
                    {
                        emptyTarget.measure([this] { frame(); });
                    }
                    show(world, true);
                    for (int i = 0; i < MapBlockFrames; ++i)
                    {
                        fullTarget.measure([this] { frame(); });
                    }
                    show(world, false);
                }
                const std::string label =
                    "(d) " + std::to_string(side) + " x " + std::to_string(side) + " map";
                printTimes(label + ", one player's view", full);
                printTimes("    empty frames between its blocks", empty);
                aboveCpu.push_back(summarize(full.cpu).median - summarize(empty.cpu).median);
            }
            std::filesystem::remove(path);
        }
        std::printf("(d) CPU above the floor against the 32 x 32 map: 128 x 128 %.2f, 256 x 256 %.2f\n",
                    aboveCpu[1] / aboveCpu[0], aboveCpu[2] / aboveCpu[0]);
    }

    // (e) The game as it runs: paced and drawing only what changed, the process's processor time per
    // second of wall time for each scene, each beside an empty screen drawn every frame (the floor).
    void measureWholeGame()
    {
        setFramePacing(true);
        std::printf("(e) vertical sync: %s\n",
                    getFramePacer().hasVerticalSync() ? "yes" : "no, paced by sleeping");
        scene("(e) nothing shown, nothing drawn", [] {});

        Fernhouse::Graphics::Font* font = getFontManager()->loadFont(MenuFont);
        {
            Fernhouse::Graphics::Image background(MenuBackground, Fernhouse::Graphics::Image::ScreenTiles);
            Fernhouse::GUI::Menu menu(font, &MenuNormal, &MenuSelected, nullptr, nullptr, true, 5,
                                      Fernhouse::GUI::Menu::AlignCenter);
            menu.setPosition(MenuX, MenuY);
            for (const char* item : {"ONE PLAYER", "TWO PLAYER", "SETTINGS", "CREDITS", "QUIT"})
            {
                menu.addItem(0, item, 0);
            }
            getScreen()->addChild(&background);
            getScreen()->addChild(&menu);
            scene("(e) still menu", [] {});
            getScreen()->removeChild(&menu);
            getScreen()->removeChild(&background);
        }
        getFontManager()->freeFont(font);

        m_clock.useManualTime();
        {
            BenchWorld world(OnePlayerMap, getSoundManager(), m_clock, 1, Personalities,
                             BenchWorld::WormCount, false);
            m_clock.useRealTime();
            show(world, true);
            scene(std::string("(e) one-player round on ") + OnePlayerMap, [&world] { world.steerHumans(); });
            show(world, false);
            std::printf("    worms alive at the end: %zu of %zu, round %s\n", world.countLiving(),
                        world.engine().getWorms().size(), world.isLive() ? "running" : "over");
        }
        m_clock.useManualTime();
        {
            BenchWorld world(m_mapPath, getSoundManager(), m_clock, 2, Personalities);
            m_clock.useRealTime();
            show(world, true);
            scene("(e) two-player round, 128 x 128 map, 32 worms", [&world] { world.steerHumans(); });
            show(world, false);
            std::printf("    worms alive at the end: %zu of %zu, round %s\n", world.countLiving(),
                        world.engine().getWorms().size(), world.isLive() ? "running" : "over");
        }
    }

    // Runs the frame loop for a while after each frame's preparation and prints the processor's share;
    // the floor is measured just before, with the scene's entities in place but not drawn.
    template <typename Prepare> void scene(const std::string& label, Prepare&& prepare)
    {
        // The floor: the screen cleared and swapped every frame, nothing else.
        const std::vector<Fernhouse::Base::Entity*> shown = getScreen()->getChildren();
        for (Fernhouse::Base::Entity* entity : shown)
        {
            getScreen()->removeChild(entity);
        }
        setDrawOnlyChanges(false);
        const double floor = cpuShare(FloorSeconds, [] {});
        for (Fernhouse::Base::Entity* entity : shown)
        {
            getScreen()->addChild(entity);
        }
        setDrawOnlyChanges(true);
        int drawn = 0;
        int frames = 0;
        int allocating = 0; // frames, counted when the next one starts
        std::uint64_t allocations = 0;
        std::uint64_t before = g_allocations;
        const double share = cpuShare(
            SceneSeconds,
            [&] {
                const std::uint64_t now = g_allocations;
                allocating += frames > 0 && now != before ? 1 : 0;
                allocations += frames > 0 ? now - before : 0;
                prepare();
                before = g_allocations;
                ++frames;
            },
            &drawn);
        std::printf(
            "%-58s %5.1f %% of a core (%d of %d frames drawn); empty screen drawn every frame %5.1f %%\n",
            label.c_str(), share * 100.0, drawn, frames, floor * 100.0);
        std::printf("    C++ heap allocations (the GL driver's shader compiler's included): %llu in %d of %d "
                    "frames\n",
                    static_cast<unsigned long long>(allocations), allocating, frames);
    }

    template <typename Prepare> double cpuShare(double seconds, Prepare&& prepare, int* drawn = nullptr)
    {
        const double cpuStart = cpuMicroseconds();
        const Clock::time_point start = Clock::now();
        double elapsed = 0.0;
        while (elapsed < seconds * MicrosecondsPerSecond)
        {
            prepare();
            frame();
            if (drawn != nullptr && wasLastFrameDrawn())
            {
                ++*drawn;
            }
            elapsed = microseconds(start, Clock::now());
        }
        return (cpuMicroseconds() - cpuStart) / elapsed;
    }

    void show(BenchWorld& world, bool shown)
    {
        if (shown)
        {
            getScreen()->addChild(&world.engine());
            getEventRouter()->addHandler(&world.engine());
            return;
        }
        getEventRouter()->removeHandler(&world.engine());
        getScreen()->removeChild(&world.engine());
    }

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
    // in alternating blocks, so that both medians come from the same stretch of the machine's time. The
    // first pair of blocks warms up and is not counted.
    FrameTimes measureRound(std::size_t humans, const char* label, FrameTimes& empties)
    {
        m_clock.useManualTime();
        BenchWorld world(m_mapPath, getSoundManager(), m_clock, humans, Personalities);
        m_clock.useRealTime();
        FrameTimes full;
        FrameTimes empty;
        for (int block = 0; block <= FrameBlocks && world.isLive(); ++block)
        {
            FrameTimes& emptyTarget = block == 0 ? m_discard : empty;
            FrameTimes& fullTarget = block == 0 ? m_discard : full;
            for (int i = 0; i < BlockFrames; ++i)
            {
                emptyTarget.measure([this] { frame(); });
            }
            show(world, true);
            for (int i = 0; i < BlockFrames && world.isLive(); ++i)
            {
                world.steerHumans();
                fullTarget.measure([this] { frame(); });
            }
            show(world, false);
        }
        printTimes(label, full);
        printTimes("    empty frames between its blocks", empty);
        show(world, true);
        breakdown(world);
        show(world, false);
        empties.wall.insert(empties.wall.end(), empty.wall.begin(), empty.wall.end());
        empties.cpu.insert(empties.cpu.end(), empty.cpu.begin(), empty.cpu.end());
        m_discard = FrameTimes();
        return full;
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
    FrameTimes m_discard; // warm-up frames
    std::string m_mapPath;
    Parts m_parts;
};

} // namespace

} // namespace TarvoBench

// Counted, so that the whole game's scenes can tell how often a frame allocates.
void* operator new(std::size_t size)
{
    ++TarvoBench::g_allocations;
    if (void* memory = std::malloc(size != 0 ? size : 1))
    {
        return memory;
    }
    throw std::bad_alloc();
}

void operator delete(void* memory) noexcept
{
    std::free(memory);
}

void operator delete(void* memory, std::size_t /*size*/) noexcept
{
    std::free(memory);
}

// tarvo_bench [logic|frames|maps|game|counted] [data directory]: every part by default, the game's data from the source tree.
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
    else if (next < argc && std::string(argv[next]) == "maps")
    {
        parts = Parts::Maps;
        ++next;
    }
    else if (next < argc && std::string(argv[next]) == "game")
    {
        parts = Parts::Game;
        ++next;
    }
    else if (next < argc && std::string(argv[next]) == "counted")
    {
        parts = Parts::Counted;
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
