#pragma once

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>

namespace TestSupport
{

constexpr int WindowWidth = 800;
constexpr int WindowHeight = 600;

// The colour of the current frame at (x, y), top-left origin, read before the buffer swap.
std::array<int, 4> pixel(int x, int y);

::testing::AssertionResult rgbIs(const std::array<int, 4>& got, int r, int g, int b, int tolerance = 0);

// Whether every (x, y) pair of points shows exactly (r, g, b); names the pixels that do not.
::testing::AssertionResult rgbAt(std::initializer_list<int> points, int r, int g, int b);

// Every test that draws derives from this: the binary's shared window, opened on first use, and GL state reset to the screen's set-up
// (pixel projection with the origin at the top left, blending off, black clear colour).
class GLTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
};

} // namespace TestSupport

#define EXPECT_RGB(px, r, g, b) EXPECT_TRUE(::TestSupport::rgbIs((px), (r), (g), (b)))
#define EXPECT_RGB_NEAR(px, r, g, b, tol) EXPECT_TRUE(::TestSupport::rgbIs((px), (r), (g), (b), (tol)))
