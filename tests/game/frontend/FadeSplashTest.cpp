#include "game/frontend/FadeSplash.h"

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

using Fernhouse::Graphics::Image;
using Tarvo::FadeSplash;
using TestSupport::pixel;

namespace
{

constexpr Fernhouse::Base::Size Screen(800, 600);

// A 200 x 100 orange first image and a 400 x 300 blue second one.
class FadeSplashTest : public TestSupport::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        glEnable(GL_BLEND);
        m_clock.start();
        m_first = solid("first.bmp", 200, 100, 240, 120, 0);
        m_second = solid("second.bmp", 400, 300, 0, 100, 220);
    }

    std::unique_ptr<Image> solid(const std::string& name, int w, int h, Uint8 r, Uint8 g, Uint8 b) const
    {
        SDL_Surface* surface = SDL_CreateRGBSurface(0, w, h, 24, 0xFF, 0xFF00, 0xFF0000, 0);
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, r, g, b));
        SDL_SaveBMP(surface, m_dir.file(name).c_str());
        SDL_FreeSurface(surface);
        return std::make_unique<Image>(m_dir.file(name));
    }

    void at(std::uint32_t t)
    {
        m_ticks.set(t);
        m_clock.update();
    }

    TestSupport::TempDir m_dir;
    TestSupport::FakeClock m_ticks;
    Fernhouse::Base::GameTime m_clock;
    Fernhouse::Graphics::TextureFactory m_factory;
    std::unique_ptr<Image> m_first;
    std::unique_ptr<Image> m_second;
};

} // namespace

TEST_F(FadeSplashTest, FirstFadesOutCentredThenSecondFadesInHoldsAndEnds)
{
    at(1000);
    FadeSplash splash(m_first.get(), m_second.get(), Screen);
    at(1500);
    splash.update();
    splash.draw();
    EXPECT_RGB_NEAR(pixel(300, 250), 180, 90, 0, 1); // (1 - 500 / 2000) of the colour
    EXPECT_RGB(pixel(299, 250), 0, 0, 0);
    EXPECT_RGB(pixel(250, 200), 0, 0, 0);
    at(2999);
    splash.update();
    EXPECT_TRUE(splash.isShowingFirst());
    at(3000); // the fade-in starts with the frame that ends the fade-out
    splash.update();
    EXPECT_FALSE(splash.isShowingFirst());
    at(4000);
    splash.update();
    glClear(GL_COLOR_BUFFER_BIT);
    splash.draw();
    EXPECT_RGB_NEAR(pixel(200, 150), 0, 50, 110, 1);
    EXPECT_RGB(pixel(199, 150), 0, 0, 0);
    at(5000);
    splash.update();
    EXPECT_EQ(m_second->getColor().a, 255);
    at(6999);
    splash.update();
    EXPECT_FALSE(splash.isDone());
    at(7000);
    splash.update();
    EXPECT_TRUE(splash.isDone());
}

TEST_F(FadeSplashTest, MissingImagesShortenTheSequence)
{
    FadeSplash secondOnly(nullptr, m_second.get(), Screen);
    FadeSplash firstOnly(m_first.get(), nullptr, Screen);
    FadeSplash none(nullptr, nullptr, Screen);
    EXPECT_TRUE(none.isDone());
    EXPECT_FALSE(secondOnly.isShowingFirst());
    at(1000);
    secondOnly.update();
    firstOnly.update();
    EXPECT_EQ(m_second->getColor().a, 127);
    at(2000);
    firstOnly.update();
    EXPECT_FALSE(firstOnly.isShowingFirst());
    at(4000);
    secondOnly.update();
    EXPECT_TRUE(secondOnly.isDone());
    at(6000);
    firstOnly.update();
    EXPECT_TRUE(firstOnly.isDone());
    firstOnly.draw();
    none.draw();
    EXPECT_RGB(pixel(400, 300), 0, 0, 0);
}

TEST_F(FadeSplashTest, EscapeReturnAndSpaceEndItAndOtherKeysPassOn)
{
    for (SDLKey key : {SDLK_ESCAPE, SDLK_RETURN, SDLK_SPACE})
    {
        FadeSplash splash(m_first.get(), nullptr, Screen);
        EXPECT_FALSE(splash.keyDown(SDLK_LEFT, false, false, false));
        EXPECT_TRUE(splash.keyDown(key, true, false, false));
        EXPECT_TRUE(splash.isDone());
    }
}
