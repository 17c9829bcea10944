#include "engine/base/Screen.h"

#include "tests/support/GLWindow.h"

#include <gtest/gtest.h>

using Fernhouse::Base::Color;
using Fernhouse::Base::Screen;

class ScreenTest : public TestSupport::GLTest
{
};

TEST_F(ScreenTest, ClearFillsTheFrameWithTheExactBackgroundColour)
{
    Screen screen("Tarvo", TestSupport::WindowWidth, TestSupport::WindowHeight, 32, false);
    screen.setBackgroundColor(Color(255, 128, 1, 255));
    screen.clear();
    EXPECT_RGB(TestSupport::pixel(0, 0), 255, 128, 1);
    EXPECT_RGB(TestSupport::pixel(799, 599), 255, 128, 1);
}
