#include "engine/graphics/Image.h"

#include "game/frontend/BarScrollSplash.h"
#include "game/frontend/FadeSplash.h"

#include "tests/game/frontend/FrontFixture.h"

using Fernhouse::Base::Color;
using namespace TestSupport;

namespace
{

constexpr Fernhouse::Base::Size Screen(800, 600);
constexpr Color Red(255, 0, 0, 255), Blue(0, 0, 255, 255);

class SplashTest : public FrontSupport::WorldTest
{
protected:
    std::unique_ptr<Fernhouse::Graphics::Image> picture(int w, int h, const Color& left,
                                                        const Color& right) const
    {
        const std::string path = m_dir.file(std::to_string(w) + "x" + std::to_string(h) + ".bmp");
        FrontSupport::saveHalves(path, w, h, left, right);
        return std::make_unique<Fernhouse::Graphics::Image>(path);
    }

    void show(Fernhouse::GUI::Widget& splash, std::uint32_t t)
    {
        at(t);
        glClear(GL_COLOR_BUFFER_BIT);
        splash.update();
        splash.draw();
    }

    bool endsAt(Fernhouse::GUI::Widget& splash, std::uint32_t t)
    {
        show(splash, t - 1);
        const bool before = splash.isDone();
        show(splash, t);
        return !before && splash.isDone();
    }
};

} // namespace

// The picture is centred at (300, 280); the left copy shows in its even stripes of four rows.
TEST_F(SplashTest, BarCopiesSlideInThroughAlternateStripesMeetHoldAndClearTheStencil)
{
    const auto maker = picture(200, 40, Blue, Red); // blue on the left to find a copy's edge
    auto splash = std::make_unique<Tarvo::BarScrollSplash>(maker.get(), Screen);
    show(*splash, 500); // half way: each copy has covered half of its 500 pixels
    EXPECT_TRUE(rgbAt({50, 280, 550, 284}, 0, 0, 255));
    EXPECT_TRUE(rgbAt({249, 283, 200, 288, 749, 319}, 255, 0, 0));
    EXPECT_TRUE(rgbAt({250, 283, 100, 284, 600, 283, 600, 320}, 0, 0, 0));
    EXPECT_EQ(glIsEnabled(GL_STENCIL_TEST), GL_FALSE);
    show(*splash, 1000);
    EXPECT_TRUE(rgbAt({300, 280, 300, 284, 300, 319}, 0, 0, 255)); // joined in stripes of both copies
    EXPECT_TRUE(rgbAt({499, 280, 499, 284, 499, 319}, 255, 0, 0));
    EXPECT_TRUE(endsAt(*splash, 2500)); // held 1500 ms from the meeting
    splash.reset();
    GLubyte stencil = 1;
    glReadPixels(0, TestSupport::WindowHeight - 1 - 280, 1, 1, GL_STENCIL_INDEX, GL_UNSIGNED_BYTE, &stencil);
    EXPECT_EQ(stencil, 0);
    EXPECT_TRUE(Tarvo::BarScrollSplash(nullptr, Screen).isDone());
}

TEST_F(SplashTest, FadeTakesTheFirstPictureOutThenBringsTheSecondInAndHoldsIt)
{
    const auto maker = picture(200, 40, Blue, Red);
    const auto game = picture(400, 300, Color(0, 100, 220, 255), Color(0, 100, 220, 255));
    Tarvo::FadeSplash splash(maker.get(), game.get(), Screen);
    show(splash, 500);
    EXPECT_RGB_NEAR(pixel(300, 280), 0, 0, 191, 1); // 3/4 of the colour, centred
    show(splash, 2000); // the fade-in starts with the frame that ends the fade-out
    show(splash, 3000);
    EXPECT_RGB_NEAR(pixel(200, 150), 0, 50, 110, 1);
    show(splash, 4500); // a frame past the end of the fade-in still shows the picture whole
    EXPECT_RGB(pixel(200, 150), 0, 100, 220);
    EXPECT_TRUE(endsAt(splash, 6000));
    EXPECT_TRUE(Tarvo::FadeSplash(nullptr, nullptr, Screen).isDone());
}
