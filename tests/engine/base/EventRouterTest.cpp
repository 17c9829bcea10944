#include "engine/base/EventRouter.h"

#include "engine/io/KeyboardControl.h"

#include "tests/support/GLWindow.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace Fernhouse::Base;
using Fernhouse::IO::Control;
using Fernhouse::IO::KeyboardControl;
using Fernhouse::IO::KeySet;
using Log = std::vector<std::string>;
using Bits = std::vector<std::uint32_t>;

namespace
{

// Writes what it receives into the log as "name:event", runs its hook on a key press, consumes when told to.
struct Recorder final : EventHandler
{
    Recorder(const char* n, Log& l, bool c = false) : name(n), log(l), consume(c) {}

    bool keyDown(SDLKey key, bool ctrl, bool shift, bool alt) override
    {
        hook();
        return note(":down" + std::to_string(key) + (ctrl ? "c" : "") + (shift ? "s" : "") +
                    (alt ? "a" : ""));
    }

    bool keyUp(SDLKey key, bool, bool, bool) override { return note(":up" + std::to_string(key)); }

    bool quit() override { return note(":quit"); }

    bool userEvent(std::int32_t code, void* data1, void* data2) override
    {
        data = {data1, data2};
        return note(":user" + std::to_string(code));
    }

    bool note(const std::string& what)
    {
        log.push_back(name + what);
        return consume;
    }

    std::string name;
    Log& log;
    bool consume;
    std::function<void()> hook = [] {};
    std::pair<void*, void*> data;
};

void pushKey(Uint8 type, SDLKey key, int mod = KMOD_NONE)
{
    SDL_Event event{};
    event.type = type;
    event.key.type = type;
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

// Whether the control consumed every one of the key presses.
bool press(KeyboardControl& control, std::initializer_list<SDLKey> keys)
{
    bool consumed = true;
    for (const SDLKey key : keys)
    {
        consumed = control.keyDown(key, false, false, false) && consumed;
    }
    return consumed;
}

class EventRouterTest : public TestSupport::GLTest
{
protected:
    EventRouter m_router;
    Log m_log;
};

} // namespace

TEST_F(EventRouterTest, NewestHandlerIsAskedFirstUntilOneConsumesAndEachListingIsAsked)
{
    Recorder a("A", m_log);
    Recorder b("B", m_log);
    Recorder stranger("S", m_log);
    Recorder consuming("C", m_log, true);
    m_router.addHandler(&a);
    m_router.addHandler(&a);
    m_router.addHandler(&b);
    m_router.removeHandler(&stranger);
    pushKey(SDL_KEYDOWN, SDLK_a);
    EXPECT_TRUE(m_router.poll());
    m_router.addHandler(&consuming);
    pushKey(SDL_KEYUP, SDLK_UP);
    EXPECT_TRUE(m_router.poll());
    m_router.removeHandler(&consuming);
    m_router.removeHandler(&a);
    pushKey(SDL_KEYUP, SDLK_UP);
    EXPECT_TRUE(m_router.poll());
    EXPECT_EQ(m_log, (Log{"B:down97", "A:down97", "A:down97", "C:up273", "B:up273"}));
    EXPECT_EQ(m_router.getHandlers(), std::vector<EventHandler*>{&b});
}

TEST_F(EventRouterTest, QuitEndsThePollLeavingLaterEventsQueuedEvenWithoutHandlers)
{
    pushKey(SDL_KEYDOWN, SDLK_ESCAPE);
    EXPECT_TRUE(m_router.poll());
    m_router.pushQuit();
    EXPECT_FALSE(m_router.poll());
    Recorder a("A", m_log);
    m_router.addHandler(&a);
    pushKey(SDL_KEYDOWN, SDLK_LEFT);
    m_router.pushQuit();
    pushKey(SDL_KEYDOWN, SDLK_RIGHT);
    EXPECT_FALSE(m_router.poll());
    EXPECT_EQ(m_log, (Log{"A:down276", "A:quit"}));
    EXPECT_TRUE(m_router.poll());
    EXPECT_EQ(m_log, (Log{"A:down276", "A:quit", "A:down275"}));
}

TEST_F(EventRouterTest, HandlersChangedMidWalkAreAskedOnlyFromTheNextEventOn)
{
    // On its first key the swapping handler leaves, brings in its replacement and drops a handler not yet
    // asked, as the settings panels swap their selectors.
    Recorder older("A", m_log);
    Recorder dropped("D", m_log);
    Recorder replacement("R", m_log);
    Recorder swapping("S", m_log);
    swapping.hook = [&] {
        m_router.removeHandler(&swapping);
        m_router.addHandler(&replacement);
        m_router.removeHandler(&dropped);
    };
    m_router.addHandler(&older);
    m_router.addHandler(&dropped);
    m_router.addHandler(&older); // asked twice, once on either side of the dropped one
    m_router.addHandler(&swapping);
    pushKey(SDL_KEYDOWN, SDLK_a);
    pushKey(SDL_KEYDOWN, SDLK_b);
    EXPECT_TRUE(m_router.poll());
    EXPECT_EQ(m_log, (Log{"S:down97", "A:down97", "A:down97", "R:down98", "A:down98", "A:down98"}));
    EXPECT_EQ(m_router.getHandlers(), (std::vector<EventHandler*>{&replacement, &older, &older}));
}

TEST_F(EventRouterTest, KeyModifiersBecomeFlagsAndUserEventsCarryTheirCodeAndData)
{
    EXPECT_EQ(EventRouter::getInstance(), &m_router);
    Recorder a("A", m_log);
    m_router.addHandler(&a);
    pushKey(SDL_KEYDOWN, SDLK_RETURN, KMOD_RALT);
    pushKey(SDL_KEYDOWN, SDLK_x, KMOD_LCTRL | KMOD_RSHIFT);
    pushKey(SDL_KEYDOWN, SDLK_y, KMOD_NUM);
    pushKey(SDL_KEYDOWN, SDLK_z, KMOD_LALT | KMOD_RCTRL | KMOD_LSHIFT);
    int payload[2] = {};
    m_router.pushUserEvent(-7, &payload[0], &payload[1]);
    EXPECT_TRUE(m_router.poll());
    EXPECT_EQ(m_log, (Log{"A:down13a", "A:down120cs", "A:down121", "A:down122csa", "A:user-7"}));
    EXPECT_EQ(a.data, (std::pair<void*, void*>(&payload[0], &payload[1])));
}

// The reads in each braced list run from left to right.
TEST(KeyboardControl, UnbufferedPressesMergeUntilReadAndBufferedOnesQueueTwoDroppingTheOldest)
{
    KeyboardControl merged(arrows(false));
    EXPECT_TRUE(press(merged, {SDLK_RIGHT, SDLK_DOWN}));
    EXPECT_EQ((Bits{merged.getDirection(), merged.getDirection()}),
              (Bits{Control::RightBit | Control::DownBit, 0}));
    EXPECT_TRUE(press(merged, {SDLK_LEFT, SDLK_UP, SDLK_LEFT}));
    EXPECT_EQ(merged.getDirection(), Control::LeftBit | Control::UpBit);

    KeyboardControl queued(arrows(true));
    EXPECT_TRUE(press(queued, {SDLK_UP, SDLK_LEFT, SDLK_DOWN}));
    EXPECT_EQ(
        (Bits{queued.getDirection(), queued.getDirection(), queued.getDirection(), queued.getDirection()}),
        (Bits{Control::LeftBit, Control::DownBit, 0, 0}));
    // The order holds after empty reads too.
    EXPECT_TRUE(press(queued, {SDLK_UP, SDLK_LEFT}));
    EXPECT_EQ(queued.getDirection(), Control::UpBit);
    EXPECT_TRUE(press(queued, {SDLK_RIGHT}));
    EXPECT_EQ((Bits{queued.getDirection(), queued.getDirection(), queued.getDirection()}),
              (Bits{Control::LeftBit, Control::RightBit, 0}));
}

TEST(KeyboardControl, ActionKeysSetTheirBitsAndUnsetKeysMatchNothing)
{
    // Up listed twice: the direction, its first match, wins. Action keys of 0 must not catch the presses
    // SDL reports as SDLK_UNKNOWN.
    KeyboardControl control(arrows(false, SDLK_SPACE, SDLK_UP));
    EXPECT_FALSE(control.keyDown(SDLK_UNKNOWN, false, false, false) ||
                 control.keyDown(SDLK_a, false, false, false));
    EXPECT_EQ(control.getCommands(), 0u);
    EXPECT_TRUE(press(control, {SDLK_UP}));
    EXPECT_EQ(control.getCommands(), Control::UpBit);
    EXPECT_TRUE(control.keyDown(SDLK_SPACE, true, true, true)); // modifiers are ignored
    EXPECT_TRUE(press(control, {SDLK_RIGHT}));
    EXPECT_EQ(
        (Bits{control.getAction2(), control.getAction1(), control.getAction1(), control.getDirection()}),
        (Bits{0, Control::Action1Bit, 0, Control::RightBit}));
    // Buffered directions wait in the queue, not in the command word.
    KeyboardControl buffered(arrows(true, SDLK_UNKNOWN, SDLK_RETURN));
    EXPECT_TRUE(press(buffered, {SDLK_RETURN, SDLK_DOWN}));
    EXPECT_EQ((Bits{buffered.getCommands(), buffered.getDirection()}),
              (Bits{Control::Action2Bit, Control::DownBit}));
}

TEST(KeyboardControl, RegistersOnceInFrontOfTheRouterAndPassesForeignKeysToOlderHandlers)
{
    struct Counter final : EventHandler
    {
        bool keyDown(SDLKey, bool, bool, bool) override { return ++m_presses < 0; }

        int m_presses = 0;
    } older;

    EventRouter router;
    router.addHandler(&older);
    {
        KeyboardControl control(arrows(false));
        control.setRegistered(true);
        control.setRegistered(true);
        EXPECT_EQ(router.getHandlers(), (std::vector<EventHandler*>{&control, &older}));
        EXPECT_TRUE(router.keyDown(SDLK_LEFT, false, false, false));
        EXPECT_FALSE(router.keyDown(SDLK_q, false, false, false));
        EXPECT_EQ(std::pair(older.m_presses, control.getDirection()), std::pair(1, Control::LeftBit));
        control.setRegistered(false);
        control.setRegistered(false);
        EXPECT_EQ(router.getHandlers().size(), 1u);
        control.setRegistered(true);
    }
    // The destructor left the router.
    EXPECT_EQ(router.getHandlers(), std::vector<EventHandler*>{&older});
}
