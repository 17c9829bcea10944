#include "game/BarScrollSplash.h"

#include "engine/base/Color.h"
#include "engine/base/GameTime.h"
#include "engine/graphics/Image.h"
#include "engine/graphics/TextureFactory.h"

#include "tests/support/FakeClock.h"
#include "tests/support/GLWindow.h"
#include "tests/support/TempDir.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

using Fernhouse::Base::Color;
using Fernhouse::Base::GameTime;
using Fernhouse::Base::Size;
using Fernhouse::Graphics::Image;
using Tarvo::BarScrollSplash;
using TestSupport::pixel;

namespace
{

constexpr Color Fill(200, 60, 120, 255);
constexpr Color Marker(30, 220, 200, 255);
constexpr Size Screen(800, 600);
constexpr std::uint32_t Ticks = 10000;

// A picture of fill with its first column in the marker colour, so that a copy's left edge can be found.
void saveImage(const std::string& path, int width, int height)
{
    SDL_Surface* surface = SDL_CreateRGBSurface(0, width, height, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    ASSERT_NE(surface, nullptr) << SDL_GetError();
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, Fill.r, Fill.g, Fill.b));
    SDL_Rect column{0, 0, 1, static_cast<Uint16>(height)};
    SDL_FillRect(surface, &column, SDL_MapRGB(surface->format, Marker.r, Marker.g, Marker.b));
    EXPECT_EQ(SDL_SaveBMP(surface, path.c_str()), 0) << SDL_GetError();
    SDL_FreeSurface(surface);
}

int stencilAt(int x, int y)
{
    GLubyte value = 0;
    glReadPixels(x, TestSupport::WindowHeight - 1 - y, 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, &value);
    return value;
}

class BarScrollSplashTest : public TestSupport::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        glEnable(GL_BLEND);
        m_clock.start();
        saveImage(m_dir.file("maker.bmp"), 200, 40);
    }

    // Game time t, as the frame loop would see it.
    void at(std::uint32_t t)
    {
        m_ticks.set(Ticks + t);
        m_clock.update();
    }

    static void clearFrame() { glClear(GL_COLOR_BUFFER_BIT); }

    static void expectColor(int x, int y, const Color& c)
    {
        EXPECT_RGB(pixel(x, y), c.r, c.g, c.b) << "at " << x << "," << y;
    }

    static void expectBlack(int x, int y) { expectColor(x, y, Color(0, 0, 0, 255)); }

    TestSupport::TempDir m_dir;
    TestSupport::FakeClock m_ticks{Ticks};
    GameTime m_clock;
    Fernhouse::Graphics::TextureFactory m_factory;
};

} // namespace

TEST_F(BarScrollSplashTest, CopiesSlideInThroughAlternateStripesMeetAndHold)
{
    Image image(m_dir.file("maker.bmp"));
    at(300);
    BarScrollSplash splash(&image, Screen);
    EXPECT_EQ(splash.getCenterX(), 300u);
    EXPECT_EQ(splash.getCenterY(), 280u);
    EXPECT_EQ(splash.getStripeCount(), 10u);
    EXPECT_EQ(splash.getStripeHeight(), 4u);
    EXPECT_EQ(splash.getLeftX(), -200);
    EXPECT_EQ(splash.getRightX(), 800);
    // Building the mask writes no colour.
    expectBlack(100, 281);

    // Half way: both copies have covered half of their 500 pixels.
    at(800);
    splash.update();
    EXPECT_EQ(splash.getLeftX(), 50);
    EXPECT_EQ(splash.getRightX(), 550);
    splash.draw();
    // Rows 280-283 are stripe 0 (the left copy's), 284-287 stripe 1 (the right copy's), and so on.
    expectColor(50, 280, Marker);
    expectColor(249, 283, Fill);
    expectBlack(49, 281);
    expectBlack(250, 281);
    expectBlack(100, 284);
    expectColor(550, 284, Marker);
    expectColor(749, 287, Fill);
    expectBlack(600, 283);
    expectBlack(750, 287);
    expectColor(100, 288, Fill);
    expectColor(600, 319, Fill);
    expectBlack(100, 319);
    expectBlack(600, 320);
    expectBlack(100, 279);
    EXPECT_EQ(glIsEnabled(GL_STENCIL_TEST), GL_FALSE);
    EXPECT_FALSE(splash.isDone());

    // At 1000 ms they meet and stay; the picture is whole.
    at(1300);
    splash.update();
    EXPECT_EQ(splash.getLeftX(), 300);
    EXPECT_EQ(splash.getRightX(), 300);
    EXPECT_EQ(splash.getMeetTime(), 1300u);
    clearFrame();
    splash.draw();
    for (int y = 280; y < 320; ++y)
    {
        expectColor(300, y, Marker);
        expectColor(499, y, Fill);
    }
    expectBlack(299, 300);
    expectBlack(500, 300);

    at(2000);
    splash.update();
    EXPECT_EQ(splash.getLeftX(), 300);
    EXPECT_EQ(splash.getMeetTime(), 1300u);
    at(2799);
    splash.update();
    EXPECT_FALSE(splash.isDone());
    at(2800);
    splash.update();
    EXPECT_TRUE(splash.isDone());
}

TEST_F(BarScrollSplashTest, MaskMarksTheEvenStripesUntilTheSplashIsDestroyed)
{
    Image image(m_dir.file("maker.bmp"));
    auto splash = std::make_unique<BarScrollSplash>(&image, Screen);
    EXPECT_EQ(stencilAt(0, 279), 0);
    EXPECT_EQ(stencilAt(0, 280), 1);
    EXPECT_EQ(stencilAt(799, 283), 1);
    EXPECT_EQ(stencilAt(400, 284), 0);
    EXPECT_EQ(stencilAt(400, 288), 1);
    // The loop runs to the stripe count itself: stripe 10, just below the picture, is marked too.
    EXPECT_EQ(stencilAt(400, 320), 1);
    EXPECT_EQ(stencilAt(400, 324), 0);
    GLboolean mask[4] = {GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    EXPECT_TRUE(mask[0] && mask[1] && mask[2] && mask[3]);

    splash.reset();
    EXPECT_EQ(stencilAt(0, 280), 0);
    EXPECT_EQ(stencilAt(400, 288), 0);
}

TEST_F(BarScrollSplashTest, EscapeReturnAndSpaceEndItAndOtherKeysPassOn)
{
    Image image(m_dir.file("maker.bmp"));
    for (SDLKey key : {SDLK_ESCAPE, SDLK_RETURN, SDLK_SPACE})
    {
        BarScrollSplash splash(&image, Screen);
        EXPECT_FALSE(splash.keyDown(SDLK_a, false, false, false));
        EXPECT_FALSE(splash.keyDown(SDLK_DOWN, false, false, false));
        EXPECT_FALSE(splash.isDone());
        // Alt+Return ends the splash too, rather than switching the screen.
        EXPECT_TRUE(splash.keyDown(key, false, false, true));
        EXPECT_TRUE(splash.isDone());
    }
}

TEST_F(BarScrollSplashTest, NullImageIsDoneAtOnceAndDrawsNothing)
{
    BarScrollSplash splash(nullptr, Screen);
    EXPECT_TRUE(splash.isDone());
    EXPECT_EQ(stencilAt(0, 0), 0);
    at(500);
    splash.update();
    splash.draw();
    expectBlack(400, 300);
}

TEST_F(BarScrollSplashTest, ImageUnderFourRowsHighGetsOneStripe)
{
    saveImage(m_dir.file("thin.bmp"), 200, 2);
    Image image(m_dir.file("thin.bmp"));
    BarScrollSplash splash(&image, Screen);
    EXPECT_EQ(splash.getStripeCount(), 1u);
    EXPECT_EQ(splash.getStripeHeight(), 2u);
    at(1000);
    splash.update();
    splash.draw();
    expectColor(300, 299, Marker);
    expectColor(499, 300, Fill);
    at(2500);
    splash.update();
    EXPECT_TRUE(splash.isDone());
}
