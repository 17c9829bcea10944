#include "engine/base/EventHandler.h"

#include <gtest/gtest.h>

using Fernhouse::Base::EventHandler;

// A handler consumes only what it overrides; everything else goes on to the older handlers.
TEST(EventHandler, ConsumesNoEventItDoesNotOverride)
{
    struct Plain final : EventHandler
    {
    } handler;

    EXPECT_FALSE(handler.keyDown(SDLK_a, false, false, false));
    EXPECT_FALSE(handler.keyUp(SDLK_a, false, false, false));
    EXPECT_FALSE(handler.mouseMotion(1, 2, 3, 4));
    EXPECT_FALSE(handler.mouseButtonDown(1, 2, 3));
    EXPECT_FALSE(handler.mouseButtonUp(1, 2, 3));
    EXPECT_FALSE(handler.joyAxisMotion(0, 1, 2));
    EXPECT_FALSE(handler.joyBallMotion(0, 1, 2, 3));
    EXPECT_FALSE(handler.joyHatMotion(0, 1, 2));
    EXPECT_FALSE(handler.joyButtonDown(0, 1));
    EXPECT_FALSE(handler.joyButtonUp(0, 1));
    EXPECT_FALSE(handler.quit());
    EXPECT_FALSE(handler.userEvent(1, nullptr, nullptr));
}
