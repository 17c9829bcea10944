#include "engine/io/KeyboardControl.h"

#include "engine/base/EventRouter.h"

#include <gtest/gtest.h>

using Fernhouse::Base::EventHandler;
using Fernhouse::Base::EventRouter;
using Fernhouse::IO::Control;
using Fernhouse::IO::KeyboardControl;
using Fernhouse::IO::KeySet;

namespace
{

KeySet arrows(bool buffered, SDLKey action1 = SDLK_UNKNOWN, SDLKey action2 = SDLK_UNKNOWN)
{
    KeySet keys;
    keys.buffered = buffered;
    keys.left = SDLK_LEFT;
    keys.right = SDLK_RIGHT;
    keys.up = SDLK_UP;
    keys.down = SDLK_DOWN;
    keys.action1 = action1;
    keys.action2 = action2;
    return keys;
}

void press(KeyboardControl& control, std::initializer_list<SDLKey> keys)
{
    for (SDLKey key : keys)
    {
        EXPECT_TRUE(control.keyDown(key, false, false, false)) << key;
    }
}

// Counts the key presses that reach it and never consumes them.
class CountingHandler final : public EventHandler
{
public:
    bool keyDown(SDLKey, bool, bool, bool) override { return ++m_presses < 0; }

    int m_presses = 0;
};

} // namespace

TEST(KeyboardControl, UnbufferedPressesMergeUntilTheNextStep)
{
    KeyboardControl control(arrows(false));
    press(control, {SDLK_RIGHT, SDLK_DOWN});
    EXPECT_EQ(control.getDirection(), Control::RightBit | Control::DownBit);
    EXPECT_EQ(control.getDirection(), 0u);
    press(control, {SDLK_LEFT, SDLK_UP, SDLK_LEFT});
    EXPECT_EQ(control.getDirection(), Control::LeftBit | Control::UpBit);
}

TEST(KeyboardControl, BufferedQueueOfTwoDropsTheOldestPressAndKeepsOrderAfterEmptyReads)
{
    KeyboardControl control(arrows(true));
    press(control, {SDLK_UP, SDLK_LEFT, SDLK_DOWN});
    const std::uint32_t expected[] = {Control::LeftBit, Control::DownBit, 0, 0};
    for (std::uint32_t bits : expected)
    {
        EXPECT_EQ(control.getDirection(), bits);
    }
    press(control, {SDLK_UP, SDLK_LEFT});
    EXPECT_EQ(control.getDirection(), Control::UpBit);
    press(control, {SDLK_RIGHT});
    EXPECT_EQ(control.getDirection(), Control::LeftBit);
    EXPECT_EQ(control.getDirection(), Control::RightBit);
    EXPECT_EQ(control.getDirection(), 0u);
}

TEST(KeyboardControl, ActionKeysSetTheirBitsAndUnsetKeysMatchNothing)
{
    // Up listed twice: the direction, its first match, wins.
    KeyboardControl control(arrows(false, SDLK_SPACE, SDLK_UP));
    // Action keys of 0 must not catch the presses SDL reports as SDLK_UNKNOWN.
    EXPECT_FALSE(control.keyDown(SDLK_UNKNOWN, false, false, false));
    EXPECT_FALSE(control.keyDown(SDLK_a, false, false, false));
    EXPECT_EQ(control.getCommands(), 0u);
    press(control, {SDLK_UP});
    EXPECT_EQ(control.getCommands(), Control::UpBit);

    EXPECT_TRUE(control.keyDown(SDLK_SPACE, true, true, true)); // modifiers are ignored
    press(control, {SDLK_RIGHT});
    EXPECT_EQ(control.getAction2(), 0u);
    EXPECT_EQ(control.getAction1(), Control::Action1Bit);
    EXPECT_EQ(control.getAction1(), 0u);
    EXPECT_EQ(control.getDirection(), Control::RightBit);

    // Buffered directions wait in the queue, not in the command word.
    KeyboardControl buffered(arrows(true, SDLK_UNKNOWN, SDLK_RETURN));
    press(buffered, {SDLK_RETURN, SDLK_DOWN});
    EXPECT_EQ(buffered.getCommands(), Control::Action2Bit);
    EXPECT_EQ(buffered.getDirection(), Control::DownBit);
}

TEST(KeyboardControl, RegistersOnceAndPassesForeignKeysToOlderHandlers)
{
    EventRouter router;
    CountingHandler older;
    router.addHandler(&older);
    {
        KeyboardControl control(arrows(false));
        control.setRegistered(true);
        control.setRegistered(true);
        ASSERT_EQ(router.getHandlers().size(), 2u);
        EXPECT_EQ(router.getHandlers().front(), &control);
        EXPECT_TRUE(router.keyDown(SDLK_LEFT, false, false, false));
        EXPECT_FALSE(router.keyDown(SDLK_q, false, false, false));
        EXPECT_EQ(older.m_presses, 1);
        EXPECT_EQ(control.getDirection(), Control::LeftBit);

        control.setRegistered(false);
        control.setRegistered(false);
        EXPECT_EQ(router.getHandlers().size(), 1u);
        control.setRegistered(true);
    }
    // The destructor left the router.
    EXPECT_EQ(router.getHandlers(), std::vector<EventHandler*>{&older});
}

TEST(KeyboardControlDeathTest, RegisteringBeforeTheRouterExistsIsAProgrammingError)
{
    KeyboardControl control(arrows(false));
    control.setRegistered(false);
    EXPECT_DEBUG_DEATH(control.setRegistered(true), "registered before the event router");
}
