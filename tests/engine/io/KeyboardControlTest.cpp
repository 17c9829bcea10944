#include "engine/io/KeyboardControl.h"

#include "engine/base/EventRouter.h"

#include <gtest/gtest.h>

using Fernhouse::Base::EventHandler;
using Fernhouse::Base::EventRouter;
using Fernhouse::IO::Control;
using Fernhouse::IO::KeyboardControl;
using Fernhouse::IO::KeySet;
using Bits = std::vector<std::uint32_t>;

namespace
{

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

} // namespace

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
