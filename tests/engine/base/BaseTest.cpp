#include "engine/base/Application.h"
#include "engine/base/ErrorLog.h"
#include "engine/base/EventRouter.h"
#include "engine/base/Exception.h"
#include "engine/base/FramePacer.h"
#include "engine/base/Layout.h"
#include "engine/base/Random.h"
#include "engine/base/Screen.h"
#include "engine/graphics/Image.h"
#include "engine/io/KeyboardControl.h"

#include "tests/engine/graphics/GraphicsFixture.h"
#include "tests/support/FakeClock.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <limits>
#include <regex.h>

using namespace Fernhouse::Base;
using namespace Fernhouse::Graphics;
using namespace Fernhouse::IO;
using namespace TestSupport;
using Log = std::vector<std::string>;
using Bits = std::vector<std::uint32_t>;
using EntityTest = GLTest;

namespace
{

constexpr std::uint32_t Left = Control::LeftBit, Right = Control::RightBit, Up = Control::UpBit,
                        Down = Control::DownBit;

// Writes what it receives into the log as "name:event", runs its hook on a key press, consumes when told to.
struct Recorder final : EventHandler
{
    Recorder(const char* n, Log& l, bool c = false) : name(n), log(l), consume(c) {}

    bool keyDown(SDLKey key, bool c, bool s, bool a) override
    {
        hook();
        return note(":down" + std::to_string(key) + (c ? "c" : "") + (s ? "s" : "") + (a ? "a" : ""));
    }

    bool keyUp(SDLKey key, bool, bool, bool) override { return note(":up" + std::to_string(key)); }

    bool quit() override { return note(":quit"); }

    bool userEvent(std::int32_t code, void* one, void* two) override
    {
        return note(":user" + std::to_string(code) + "=" + std::to_string(*static_cast<int*>(one)) + "," +
                    std::to_string(*static_cast<int*>(two)));
    }

    bool note(const std::string& what) { return log.push_back(name + what), consume; }

    std::string name;
    Log& log;
    bool consume;
    std::function<void()> hook = [] {};
};

void pushKey(Uint8 type, SDLKey key, int mod = KMOD_NONE)
{
    SDL_Event event{};
    event.type = event.key.type = type;
    event.key.keysym.sym = key;
    event.key.keysym.mod = static_cast<SDLMod>(mod);
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

// Arrow keys and the action keys; presses merge until read, or queue when buffered.
KeySet arrows(bool buffered, SDLKey action1 = SDLK_UNKNOWN, SDLKey action2 = SDLK_UNKNOWN)
{
    return KeySet{buffered, SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN, action1, action2};
}

// Presses the keys, each of which the control must consume, then reads the direction that many times.
Bits readsAfter(KeyboardControl& control, const std::vector<SDLKey>& keys, std::size_t reads)
{
    for (const SDLKey key : keys)
    {
        EXPECT_TRUE(control.keyDown(key, false, false, false)) << key;
    }
    Bits read(reads);
    std::generate(read.begin(), read.end(), [&] { return control.getDirection(); });
    return read;
}

using EventRouterTest = GLTest;

class TestApp final : public Application
{
public:
    int run() override { return 0; }

    void open() { init("Tarvo test", 800, 600, 32, false, 44100, AUDIO_S16LSB, 16, 2048); }

    bool runFrame() { return frame(); }

    std::function<void()> m_step = [] {};

protected:
    void step() override { m_step(); }
};

} // namespace

TEST(Random, SeedOneGivesTheClassicSequenceASeedReplaysAndValuesSpanZeroTo32767)
{
    // POSIX has a random() of its own; a braced list calls from left to right.
    const auto random = &Fernhouse::Base::random;
    seedRandom(1);
    const std::vector<int> first{random(), random(), random(), random()};
    seedRandom(1);
    EXPECT_EQ(std::pair(first, random()), std::pair(std::vector<int>{41, 18467, 6334, 26500}, 41));
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
    FakeClock clock(0xFFFFFF00u);
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
    static std::uint64_t now; // microseconds; sleeping moves it on
    static int sleeps;
    for (const auto& [name, swapInterval, workUs, swapped, sleepingFrames] : cases)
    {
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
        EXPECT_EQ(sleeps, sleepingFrames) << name;
        // Never more than a period behind or ahead on average.
        const std::uint64_t period = std::max(Period, workUs);
        EXPECT_TRUE(now - start + 1000 >= 20 * period && now - start <= 20 * period + Period) << name;
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
    const std::string dated = "[A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9][0-9] [0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}\n";
    for (const auto& [block, failure] : cases)
    {
        TempDir dir;
        ScopedWorkingDirectory cwd(dir.path());
        block();
        ::testing::internal::CaptureStderr();
        ErrorLog::write("first problem");
        ErrorLog::write(IOException("Failed to open file.", "src/ErrorLogTest", 42));
        const std::string records = (failure.empty() ? "earlier content\n" : "") + dated + failure +
                                    "-{32}\nfirst problem\n\n" + dated + failure +
                                    "-{32}\nException in src/ErrorLogTest:42: Failed to open file\\.\n\n";
        // Nothing reaches standard error while the log can be written.
        const std::string got =
            ::testing::internal::GetCapturedStderr() + (failure.empty() ? dir.readFile("ErrorLog.txt") : "");
        // POSIX extended expressions: <regex> would take longer to compile than the rest of this file.
        regex_t whole;
        ASSERT_EQ(regcomp(&whole, ("^" + records + "$").c_str(), REG_EXTENDED | REG_NOSUB), 0);
        EXPECT_EQ(regexec(&whole, got.c_str(), 0, nullptr, 0), 0) << got;
        regfree(&whole);
    }
}

TEST(Application, OwnsItsServicesForItsLifetimeStepsUpdatesAndDrawsEachFrameUntilAQuitAndSwitchesFullscreen)
{
    FakeClock clock(1000);
    {
        TestApp app;
        app.open();
        // The step's child is updated and drawn in that frame, on its game time; a GL error is printed.
        Square child(4, Color(0, 255, 0, 255));
        int steps = 0;
        app.m_step = [&] {
            app.getScreen()->addChild(&child);
            glEnable(GL_TEXTURE_ENV);
            ++steps;
        };
        app.getGameTime()->start();
        clock.advance(40);
        ::testing::internal::CaptureStdout();
        EXPECT_TRUE(app.runFrame());
        EXPECT_EQ(std::tuple(child.m_updates, child.m_draws, app.getGameTime()->getTime(),
                             ::testing::internal::GetCapturedStdout()),
                  std::tuple(1, 1, 40u, "invalid enumerant\n"));
        app.getScreen()->removeChild(&child);
        // A quit ends the loop before the step.
        app.getEventRouter()->pushQuit();
        EXPECT_FALSE(app.runFrame());
        EXPECT_EQ(steps, 1);

        // A switch keeps the textures and the pixel projection; setting the value it has does nothing.
        TempDir dir;
        TestImage(16, 16, Color(200, 40, 10, 255)).savePng(dir.file("red.png"));
        Image image(dir.file("red.png"));
        image.setPosition(20, 30);
        Screen* screen = app.getScreen();
        for (const bool fullscreen : {false, true, false})
        {
            screen->setFullscreen(fullscreen);
            EXPECT_EQ(std::pair(screen->isFullscreen(), (SDL_GetVideoSurface()->flags & SDL_FULLSCREEN) != 0),
                      std::pair(fullscreen, fullscreen));
        }
        screen->setBackgroundColor(Color(255, 128, 1, 255));
        screen->clear();
        image.draw();
        EXPECT_TRUE(rgbAt({20, 30, 35, 45}, 200, 40, 10));
        EXPECT_TRUE(rgbAt({36, 46, 19, 30, 20, 29, 0, 0, 799, 599}, 255, 128, 1));
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    EXPECT_EQ(std::tuple(Application::getInstance(), EventRouter::getInstance(), GameTime::getInstance(),
                         TextureFactory::getInstance(), FontManager::getInstance()),
              std::tuple(nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
}

TEST_F(EntityTest, ChildrenDrawInOrderInTheirParentsChainedTransformAndEachListingIsVisitedWhileItOutlivesIt)
{
    // A plain entity applies no transform of its own; later children draw on top.
    Square first(10, Color(255, 0, 0, 255)), second(10, Color(0, 255, 0, 255));
    second.setPosition(5, 5);
    {
        Entity plain;
        plain.setPosition(100, 100);
        for (Entity* child : {&first, &second, &second})
        {
            plain.addChild(child);
        }
        plain.update();
        plain.draw();
        EXPECT_TRUE(rgbAt({2, 2}, 255, 0, 0));
        EXPECT_TRUE(rgbAt({7, 7}, 0, 255, 0));
        EXPECT_TRUE(rgbAt({15, 15, 110, 110}, 0, 0, 0));
        EXPECT_EQ(std::tuple(first.m_updates, first.m_draws, second.m_updates, second.m_draws),
                  std::tuple(1, 1, 2, 2));
        plain.removeChild(&second);
        plain.removeChild(&second);
        EXPECT_EQ(plain.getChildren(), std::vector<Entity*>{&first});
    }

    // Moves add up to (200, 100), scales multiply to 2 and turns add up to 90 degrees clockwise: local (x, y)
    // lands on (200 - 2y, 100 + 2x), the parent on x 180..199, y 100..119, the child on x 190..199, y 140..149.
    Square parent(10, Color(0, 0, 255, 255));
    parent.move(203, 96).move(-3, 4).scale(4.0f).scale(0.5f).rotate(300.0f).rotate(150.0f);
    Square child(5, Color(0, 255, 0, 255));
    child.setPosition(20, 0);
    parent.addChild(&child);
    parent.draw();
    EXPECT_TRUE(rgbAt({181, 101, 198, 118}, 0, 0, 255));
    EXPECT_TRUE(rgbAt({191, 141, 198, 148}, 0, 255, 0));
    EXPECT_TRUE(rgbAt({201, 110, 191, 151, 188, 145}, 0, 0, 0));
}

TEST_F(EventRouterTest,
       NewestHandlerIsAskedFirstUntilOneConsumesAndHandlersChangedMidWalkCountFromTheNextEvent)
{
    EventRouter router;
    Log log;
    // On its first key the swapping handler leaves, brings in its consuming replacement and drops a handler
    // not yet asked, as the settings panels swap their selectors.
    Recorder older("A", log), dropped("D", log), replacement("R", log, true), swapping("S", log);
    swapping.hook = [&] {
        router.removeHandler(&swapping);
        router.addHandler(&replacement);
        router.removeHandler(&dropped);
    };
    // Older is asked on either side of the dropped one.
    for (Recorder* handler : {&older, &dropped, &older, &swapping})
    {
        router.addHandler(handler);
    }
    pushKey(SDL_KEYDOWN, SDLK_a);
    pushKey(SDL_KEYUP, SDLK_b);
    EXPECT_TRUE(router.poll());
    EXPECT_EQ(log, (Log{"S:down97", "A:down97", "A:down97", "R:up98"}));
    EXPECT_EQ(router.getHandlers(), (std::vector<EventHandler*>{&replacement, &older, &older}));
}

TEST_F(EventRouterTest, EventsCarryModifierFlagsCodesAndDataUntilAQuitThatLeavesLaterEventsQueued)
{
    EventRouter router;
    Log log;
    Recorder a("A", log);
    router.addHandler(&a);
    pushKey(SDL_KEYDOWN, SDLK_RETURN, KMOD_RALT);
    pushKey(SDL_KEYDOWN, SDLK_x, KMOD_LCTRL | KMOD_RSHIFT);
    pushKey(SDL_KEYDOWN, SDLK_z, KMOD_LALT | KMOD_RCTRL | KMOD_LSHIFT);
    int payload[2] = {3, 4};
    router.pushUserEvent(-7, &payload[0], &payload[1]);
    router.pushQuit();
    pushKey(SDL_KEYDOWN, SDLK_RIGHT);
    EXPECT_FALSE(router.poll());
    EXPECT_EQ(log, (Log{"A:down13a", "A:down120cs", "A:down122csa", "A:user-7=3,4", "A:quit"}));
    EXPECT_TRUE(router.poll());
    EXPECT_EQ(log.back(), "A:down275");
}

TEST(KeyboardControl, PressesMergeUntilReadOrQueueTwoDroppingTheOldestAndOnlyDirectionKeysSteer)
{
    KeyboardControl merged(arrows(false)), queued(arrows(true));
    // Steps on one control after another: the keys pressed, then the directions read.
    const std::tuple<KeyboardControl*, std::vector<SDLKey>, Bits> steps[] = {
        {&merged, {SDLK_RIGHT, SDLK_DOWN}, {Right | Down, 0}},
        {&merged, {SDLK_LEFT, SDLK_UP, SDLK_LEFT}, {Left | Up}},
        {&queued, {SDLK_UP, SDLK_LEFT, SDLK_DOWN}, {Left, Down, 0, 0}},
        // The order holds after empty reads too.
        {&queued, {SDLK_UP, SDLK_LEFT}, {Up}},
        {&queued, {SDLK_RIGHT}, {Left, Right, 0}}};
    for (const auto& [control, keys, directions] : steps)
    {
        EXPECT_EQ(readsAfter(*control, keys, directions.size()), directions);
    }
    // An unset action key must not catch the presses SDL reports as SDLK_UNKNOWN; a set one is taken, with
    // any modifiers, but never steers. A key bound twice steers: the direction is its first match.
    KeyboardControl control(arrows(false, SDLK_UNKNOWN, SDLK_SPACE)), twice(arrows(false, SDLK_UP));
    EXPECT_FALSE(control.keyDown(SDLK_UNKNOWN, false, false, false) ||
                 control.keyDown(SDLK_a, false, false, false));
    EXPECT_TRUE(control.keyDown(SDLK_SPACE, true, true, true));
    EXPECT_EQ(std::pair(readsAfter(control, {}, 1), readsAfter(twice, {SDLK_UP}, 1)),
              std::pair(Bits{0}, Bits{Up}));
}
