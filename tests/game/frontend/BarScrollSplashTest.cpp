#include "game/frontend/BarScrollSplash.h"

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

using Fernhouse::Graphics::Image;
using Tarvo::BarScrollSplash;
using TestSupport::pixel;

namespace
{

constexpr Fernhouse::Base::Size Screen(800, 600);

int stencilAt(int x, int y)
{
    GLubyte value = 0;
    glReadPixels(x, TestSupport::WindowHeight - 1 - y, 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, &value);
    return value;
}

// A red 200 x 40 picture with a blue first column to find a copy's left edge, centred at (300, 280).
class BarScrollSplashTest : public TestSupport::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        glEnable(GL_BLEND);
        m_clock.start();
        m_image = image("maker.bmp", 40);
    }

    std::unique_ptr<Image> image(const std::string& name, int height) const
    {
        SDL_Surface* surface = SDL_CreateRGBSurface(0, 200, height, 24, 0xFF, 0xFF00, 0xFF0000, 0);
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 255, 0, 0));
        SDL_Rect column{0, 0, 1, static_cast<Uint16>(height)};
        SDL_FillRect(surface, &column, SDL_MapRGB(surface->format, 0, 0, 255));
        SDL_SaveBMP(surface, m_dir.file(name).c_str());
        SDL_FreeSurface(surface);
        return std::make_unique<Image>(m_dir.file(name));
    }

    // Game time t, as the frame loop sees it.
    void at(std::uint32_t t)
    {
        m_ticks.set(t);
        m_clock.update();
    }

    TestSupport::TempDir m_dir;
    TestSupport::FakeClock m_ticks;
    Fernhouse::Base::GameTime m_clock;
    Fernhouse::Graphics::TextureFactory m_factory;
    std::unique_ptr<Image> m_image;
};

} // namespace

TEST_F(BarScrollSplashTest, CopiesSlideInThroughAlternateStripesMeetAndHold)
{
    at(300);
    BarScrollSplash splash(m_image.get(), Screen);
    // Half way each copy has covered half of its 500 pixels. Rows 280-283 are stripe 0 (the left copy's),
    // 284-287 stripe 1 (the right copy's), and so on down to 316-319.
    at(800);
    splash.update();
    splash.draw();
    EXPECT_RGB(pixel(50, 280), 0, 0, 255);
    EXPECT_RGB(pixel(249, 283), 255, 0, 0);
    EXPECT_RGB(pixel(250, 283), 0, 0, 0);
    EXPECT_RGB(pixel(100, 284), 0, 0, 0);
    EXPECT_RGB(pixel(550, 284), 0, 0, 255);
    EXPECT_RGB(pixel(600, 283), 0, 0, 0);
    EXPECT_RGB(pixel(100, 288), 255, 0, 0);
    EXPECT_RGB(pixel(749, 319), 255, 0, 0);
    EXPECT_RGB(pixel(600, 320), 0, 0, 0);
    EXPECT_EQ(glIsEnabled(GL_STENCIL_TEST), GL_FALSE);

    at(1300);
    splash.update();
    glClear(GL_COLOR_BUFFER_BIT);
    splash.draw();
    for (int y = 280; y < 320; ++y)
    {
        EXPECT_RGB(pixel(300, y), 0, 0, 255);
        EXPECT_RGB(pixel(499, y), 255, 0, 0);
    }
    at(2799); // held 1500 ms from the meeting
    splash.update();
    EXPECT_FALSE(splash.isDone());
    at(2800);
    splash.update();
    EXPECT_TRUE(splash.isDone());
}

TEST_F(BarScrollSplashTest, StencilMarksTheEvenStripesUntilTheSplashIsDestroyed)
{
    auto splash = std::make_unique<BarScrollSplash>(m_image.get(), Screen);
    EXPECT_RGB(pixel(100, 281), 0, 0, 0);
    // Marking runs to the stripe count itself, so stripe 10 just below the picture is marked too.
    for (const auto& [x, y, marked] :
         {std::tuple{0, 279, 0}, {0, 280, 1}, {799, 283, 1}, {400, 284, 0}, {400, 323, 1}, {400, 324, 0}})
    {
        EXPECT_EQ(stencilAt(x, y), marked) << x << "," << y;
    }
    splash.reset();
    EXPECT_EQ(stencilAt(0, 280), 0);
}

TEST_F(BarScrollSplashTest, EndingKeysNullImagesAndThinImages)
{
    BarScrollSplash splash(m_image.get(), Screen);
    EXPECT_FALSE(splash.keyDown(SDLK_a, false, false, false));
    EXPECT_FALSE(splash.isDone());
    for (SDLKey key : {SDLK_ESCAPE, SDLK_SPACE, SDLK_RETURN})
    {
        BarScrollSplash ended(m_image.get(), Screen);
        EXPECT_TRUE(
            ended.keyDown(key, false, false, true)); // Alt+Return ends it rather than switching screens
        EXPECT_TRUE(ended.isDone());
    }
    BarScrollSplash none(nullptr, Screen);
    EXPECT_TRUE(none.isDone());
    none.update();
    none.draw();

    // Under four rows the picture gets one stripe instead of a division by zero.
    const auto thin = image("thin.bmp", 2);
    BarScrollSplash narrow(thin.get(), Screen);
    at(1000);
    narrow.update();
    EXPECT_EQ(narrow.getLeftX(), 300);
    at(2500);
    narrow.update();
    EXPECT_TRUE(narrow.isDone());
}
