#include "engine/base/EventRouter.h"

#include "engine/io/KeyboardControl.h"

#include "tests/support/GLWindow.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <functional>

using namespace Fernhouse::Base;
using namespace Fernhouse::IO;
using Log = std::vector<std::string>;
using Bits = std::vector<std::uint32_t>;
using Handlers = std::vector<EventHandler*>;

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

    // Names the two numbers the data point to.
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
    event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
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
    for (std::uint32_t& direction : read)
    {
        direction = control.getDirection();
    }
    return read;
}

using EventRouterTest = TestSupport::GLTest;

} // namespace

TEST_F(EventRouterTest,
       NewestHandlerIsAskedFirstUntilOneConsumesAndHandlersChangedMidWalkCountFromTheNextEvent)
{
    EventRouter router;
    Log log;
    // On its first key the swapping handler leaves, brings in its consuming replacement and drops a handler
    // not yet asked, as the settings panels swap their selectors.
    Recorder older("A", log), dropped("D", log), replacement("R", log, true), swapping("S", log),
        stranger("X", log);
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
    router.removeHandler(&stranger);
    pushKey(SDL_KEYDOWN, SDLK_a);
    pushKey(SDL_KEYUP, SDLK_b);
    EXPECT_TRUE(router.poll());
    EXPECT_EQ(log, (Log{"S:down97", "A:down97", "A:down97", "R:up98"}));
    EXPECT_EQ(router.getHandlers(), (Handlers{&replacement, &older, &older}));
    router.removeHandler(&older);
    EXPECT_EQ(router.getHandlers(), Handlers{&replacement});
}

TEST_F(EventRouterTest, EventsCarryModifierFlagsCodesAndDataUntilAQuitThatLeavesLaterEventsQueued)
{
    EventRouter router;
    pushKey(SDL_KEYDOWN, SDLK_ESCAPE);
    EXPECT_TRUE(router.poll());
    router.pushQuit();
    EXPECT_FALSE(router.poll()); // even without handlers
    Log log;
    Recorder a("A", log);
    router.addHandler(&a);
    pushKey(SDL_KEYDOWN, SDLK_RETURN, KMOD_RALT);
    pushKey(SDL_KEYDOWN, SDLK_x, KMOD_LCTRL | KMOD_RSHIFT);
    pushKey(SDL_KEYDOWN, SDLK_y, KMOD_NUM);
    pushKey(SDL_KEYDOWN, SDLK_z, KMOD_LALT | KMOD_RCTRL | KMOD_LSHIFT);
    int payload[2] = {3, 4};
    router.pushUserEvent(-7, &payload[0], &payload[1]);
    router.pushQuit();
    pushKey(SDL_KEYDOWN, SDLK_RIGHT);
    EXPECT_FALSE(router.poll());
    EXPECT_EQ(log, (Log{"A:down13a", "A:down120cs", "A:down121", "A:down122csa", "A:user-7=3,4", "A:quit"}));
    EXPECT_TRUE(router.poll());
    EXPECT_EQ(log.back(), "A:down275");
}

TEST(KeyboardControl, PressesMergeUntilReadOrQueueTwoDroppingTheOldestAndActionKeysSetTheirBits)
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
    // Up listed twice: the direction, its first match, wins. Action keys of 0 must not catch the presses
    // SDL reports as SDLK_UNKNOWN; modifiers are ignored.
    KeyboardControl control(arrows(false, SDLK_SPACE, SDLK_UP));
    EXPECT_FALSE(control.keyDown(SDLK_UNKNOWN, false, false, false) ||
                 control.keyDown(SDLK_a, false, false, false));
    readsAfter(control, {SDLK_UP}, 0);
    EXPECT_EQ(control.getCommands(), Up);
    EXPECT_TRUE(control.keyDown(SDLK_SPACE, true, true, true));
    readsAfter(control, {SDLK_RIGHT}, 0);
    EXPECT_EQ(
        (Bits{control.getAction2(), control.getAction1(), control.getAction1(), control.getDirection()}),
        (Bits{0, Control::Action1Bit, 0, Right}));
    // Buffered directions wait in the queue, not in the command word.
    KeyboardControl buffered(arrows(true, SDLK_UNKNOWN, SDLK_RETURN));
    readsAfter(buffered, {SDLK_RETURN, SDLK_DOWN}, 0);
    EXPECT_EQ((Bits{buffered.getCommands(), buffered.getDirection()}), (Bits{Control::Action2Bit, Down}));
}

TEST(KeyboardControl, RegistersOnceInFrontOfTheRouterAndPassesForeignKeysToOlderHandlers)
{
    Log log;
    Recorder older("O", log);
    EventRouter router;
    router.addHandler(&older);
    {
        KeyboardControl control(arrows(false));
        control.setRegistered(true);
        control.setRegistered(true);
        EXPECT_EQ(router.getHandlers(), (Handlers{&control, &older}));
        EXPECT_TRUE(router.keyDown(SDLK_LEFT, false, false, false));
        EXPECT_FALSE(router.keyDown(SDLK_q, false, false, false));
        EXPECT_EQ(std::pair(log, control.getDirection()), std::pair(Log{"O:down113"}, Left));
        control.setRegistered(false);
        control.setRegistered(false);
        EXPECT_EQ(router.getHandlers().size(), 1u);
        control.setRegistered(true);
    }
    // The destructor left the router.
    EXPECT_EQ(router.getHandlers(), Handlers{&older});
}
