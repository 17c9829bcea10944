#include "game/FadeSplash.h"

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

#include <string>

using Fernhouse::Base::Color;
using Fernhouse::Base::GameTime;
using Fernhouse::Base::Size;
using Fernhouse::Graphics::Image;
using Tarvo::FadeSplash;
using TestSupport::pixel;

namespace
{

constexpr Color First(240, 120, 0, 255);
constexpr Color Second(0, 100, 220, 255);
constexpr Size Screen(800, 600);
constexpr std::uint32_t Ticks = 50000;

void saveImage(const std::string& path, int width, int height, const Color& color)
{
    SDL_Surface* surface = SDL_CreateRGBSurface(0, width, height, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    ASSERT_NE(surface, nullptr) << SDL_GetError();
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, color.r, color.g, color.b));
    EXPECT_EQ(SDL_SaveBMP(surface, path.c_str()), 0) << SDL_GetError();
    SDL_FreeSurface(surface);
}

class FadeSplashTest : public TestSupport::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        glEnable(GL_BLEND);
        m_clock.start();
        saveImage(m_dir.file("first.bmp"), 200, 100, First);
        saveImage(m_dir.file("second.bmp"), 400, 300, Second);
    }

    void at(std::uint32_t t)
    {
        m_ticks.set(Ticks + t);
        m_clock.update();
    }

    TestSupport::TempDir m_dir;
    TestSupport::FakeClock m_ticks{Ticks};
    GameTime m_clock;
    Fernhouse::Graphics::TextureFactory m_factory;
};

} // namespace

TEST_F(FadeSplashTest, FirstFadesOutThenSecondFadesInHoldsAndEnds)
{
    Image first(m_dir.file("first.bmp"));
    Image second(m_dir.file("second.bmp"));
    second.setColor(Color(255, 255, 255, 77));
    at(1000);
    FadeSplash splash(&first, &second, Screen);
    EXPECT_EQ(first.getPosition(), Fernhouse::Base::Point(300, 250));
    EXPECT_EQ(second.getPosition(), Fernhouse::Base::Point(200, 150));
    EXPECT_EQ(first.getColor().a, 255);
    EXPECT_EQ(second.getColor().a, 0);
    EXPECT_TRUE(splash.isShowingFirst());

    at(1500);
    splash.update();
    EXPECT_EQ(first.getColor().a, 191); // (1 - 500 / 2000) x 255 = 191.25
    splash.draw();
    EXPECT_RGB_NEAR(pixel(300, 250), 180, 90, 0, 1);
    // Only the first image is drawn while it fades.
    EXPECT_RGB(pixel(250, 200), 0, 0, 0);

    at(2999);
    splash.update();
    EXPECT_EQ(first.getColor().a, 0);
    EXPECT_TRUE(splash.isShowingFirst());

    // The fade-in starts from the frame that ends the fade-out.
    at(3000);
    splash.update();
    EXPECT_FALSE(splash.isShowingFirst());
    EXPECT_EQ(second.getColor().a, 0);
    at(4000);
    splash.update();
    EXPECT_EQ(second.getColor().a, 127);
    glClear(GL_COLOR_BUFFER_BIT);
    splash.draw();
    EXPECT_RGB_NEAR(pixel(200, 150), 0, 50, 110, 1);
    EXPECT_RGB(pixel(199, 150), 0, 0, 0);

    at(5000);
    splash.update();
    EXPECT_EQ(second.getColor().a, 255);
    // The hold keeps the last alpha.
    at(6999);
    splash.update();
    EXPECT_EQ(second.getColor().a, 255);
    EXPECT_FALSE(splash.isDone());
    at(7000);
    splash.update();
    EXPECT_TRUE(splash.isDone());
    // The tint's colour channels are left alone.
    EXPECT_EQ(second.getColor(), Color(255, 255, 255, 255));
}

TEST_F(FadeSplashTest, OnlyASecondImageStartsWithTheFadeInAndNoImageIsDoneAtOnce)
{
    Image second(m_dir.file("second.bmp"));
    FadeSplash splash(nullptr, &second, Screen);
    EXPECT_FALSE(splash.isShowingFirst());
    at(1000);
    splash.update();
    EXPECT_EQ(second.getColor().a, 127);
    at(4000);
    splash.update();
    EXPECT_TRUE(splash.isDone());

    FadeSplash empty(nullptr, nullptr, Screen);
    EXPECT_TRUE(empty.isDone());
    empty.update();
    empty.draw();
    EXPECT_RGB(pixel(400, 300), 0, 0, 0);
}

TEST_F(FadeSplashTest, OnlyAFirstImageFadesOutAndEndsAfterTheHold)
{
    Image first(m_dir.file("first.bmp"));
    FadeSplash splash(&first, nullptr, Screen);
    at(2000);
    splash.update();
    EXPECT_FALSE(splash.isShowingFirst());
    at(3999);
    splash.update();
    EXPECT_FALSE(splash.isDone());
    at(6000);
    splash.update();
    EXPECT_TRUE(splash.isDone());
    splash.draw();
    EXPECT_RGB(pixel(400, 300), 0, 0, 0);
}

TEST_F(FadeSplashTest, EscapeReturnAndSpaceEndItAndOtherKeysPassOn)
{
    Image first(m_dir.file("first.bmp"));
    for (SDLKey key : {SDLK_ESCAPE, SDLK_RETURN, SDLK_SPACE})
    {
        FadeSplash splash(&first, nullptr, Screen);
        EXPECT_FALSE(splash.keyDown(SDLK_LEFT, false, false, false));
        EXPECT_FALSE(splash.isDone());
        EXPECT_TRUE(splash.keyDown(key, true, false, false));
        EXPECT_TRUE(splash.isDone());
    }
}
