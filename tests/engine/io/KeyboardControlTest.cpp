#include "engine/io/KeyboardControl.h"

#include "engine/base/EventRouter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <type_traits>

using Fernhouse::Base::EventHandler;
using Fernhouse::Base::EventRouter;
using Fernhouse::IO::Control;
using Fernhouse::IO::KeyboardControl;
using Fernhouse::IO::KeySet;

namespace
{

static_assert(!std::is_copy_constructible_v<Control>);
static_assert(!std::is_copy_assignable_v<KeyboardControl>);

KeySet arrows(bool buffered)
{
    KeySet keys;
    keys.buffered = buffered;
    keys.left = SDLK_LEFT;
    keys.right = SDLK_RIGHT;
    keys.up = SDLK_UP;
    keys.down = SDLK_DOWN;
    return keys;
}

void press(KeyboardControl& control, SDLKey key)
{
    EXPECT_TRUE(control.keyDown(key, false, false, false)) << key;
}

// Counts the key presses that reach it and never consumes them.
class CountingHandler final : public EventHandler
{
public:
    bool keyDown(SDLKey, bool, bool, bool) override
    {
        ++m_presses;
        return false;
    }

    int m_presses = 0;
};

} // namespace

TEST(KeyboardControl, UnbufferedPressesMergeUntilTheNextStep)
{
    KeyboardControl control(arrows(false));
    press(control, SDLK_RIGHT);
    press(control, SDLK_DOWN);
    EXPECT_EQ(control.getDirection(), 10u);
    EXPECT_EQ(control.getDirection(), 0u);

    press(control, SDLK_LEFT);
    press(control, SDLK_UP);
    press(control, SDLK_LEFT);
    EXPECT_EQ(control.getDirection(), 5u);
    EXPECT_EQ(control.getDirection(), 0u);
}

TEST(KeyboardControl, BufferedQueueOfTwoDropsTheOldestPress)
{
    KeyboardControl control(arrows(true));
    press(control, SDLK_UP);
    press(control, SDLK_LEFT);
    press(control, SDLK_DOWN);
    EXPECT_EQ(control.getDirection(), Control::LeftBit);
    EXPECT_EQ(control.getDirection(), Control::DownBit);
    EXPECT_EQ(control.getDirection(), 0u);

    // Empty reads move the read index; the order of later presses still holds, one per step.
    EXPECT_EQ(control.getDirection(), 0u);
    press(control, SDLK_UP);
    press(control, SDLK_LEFT);
    EXPECT_EQ(control.getDirection(), Control::UpBit);
    press(control, SDLK_RIGHT);
    EXPECT_EQ(control.getDirection(), Control::LeftBit);
    EXPECT_EQ(control.getDirection(), Control::RightBit);
    EXPECT_EQ(control.getDirection(), 0u);
}

TEST(KeyboardControl, ActionKeysSetTheirBitsAndUnsetKeysMatchNothing)
{
    KeySet keys = arrows(false);
    keys.action1 = SDLK_SPACE;
    keys.action2 = SDLK_UP; // listed twice: the direction, its first match, wins
    KeyboardControl control(keys);

    // Action keys of 0 must not catch the presses SDL reports as SDLK_UNKNOWN.
    EXPECT_FALSE(control.keyDown(SDLK_UNKNOWN, false, false, false));
    EXPECT_FALSE(control.keyDown(SDLK_a, false, false, false));
    EXPECT_EQ(control.getCommands(), 0u);

    press(control, SDLK_UP);
    EXPECT_EQ(control.getCommands(), Control::UpBit);

    EXPECT_TRUE(control.keyDown(SDLK_SPACE, true, true, true)); // modifiers are ignored
    press(control, SDLK_RIGHT);
    EXPECT_EQ(control.getAction2(), 0u);
    EXPECT_EQ(control.getAction1(), Control::Action1Bit);
    EXPECT_EQ(control.getAction1(), 0u);
    EXPECT_EQ(control.getDirection(), Control::RightBit);

    KeySet second = arrows(true);
    second.action2 = SDLK_RETURN;
    KeyboardControl buffered(second);
    press(buffered, SDLK_RETURN);
    press(buffered, SDLK_DOWN);
    // Buffered directions wait in the queue, not in the command word.
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
        EXPECT_TRUE(control.isRegistered());

        EXPECT_TRUE(router.keyDown(SDLK_LEFT, false, false, false));
        EXPECT_FALSE(router.keyDown(SDLK_q, false, false, false));
        EXPECT_EQ(older.m_presses, 1);
        EXPECT_EQ(control.getDirection(), Control::LeftBit);

        control.setRegistered(false);
        control.setRegistered(false);
        EXPECT_EQ(router.getHandlers().size(), 1u);
        router.keyDown(SDLK_LEFT, false, false, false);
        EXPECT_EQ(older.m_presses, 2);
        control.setRegistered(true);
    }
    // The destructor left the router.
    ASSERT_EQ(router.getHandlers().size(), 1u);
    EXPECT_EQ(router.getHandlers().front(), &older);
}
