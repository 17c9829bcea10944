#include "engine/gui/SlideBar.h"

#include "engine/base/Exception.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureMap.h"

#include "tests/engine/graphics/GraphicsFixture.h"
#include "tests/support/PrintTo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace Fernhouse::Base;
using namespace Fernhouse::Graphics;
using Fernhouse::GUI::SlideBar;
using TestSupport::pixel;

namespace
{

constexpr Color Knob(240, 40, 40, 255);
constexpr Color Track(40, 200, 40, 255);
constexpr Color LeftEnd(40, 40, 230, 255);
constexpr Color RightEnd(220, 220, 30, 255);
constexpr Color Grey(150, 150, 150, 255);

class SlideBarTest : public TestSupport::GraphicsTest
{
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        // The slider sheet: knob and track middle on the top row, the two ends below.
        TestSupport::TestImage sheet(64, 64, Knob);
        sheet.fill(32, 0, 32, 32, Track);
        sheet.fill(0, 32, 32, 32, LeftEnd);
        sheet.fill(32, 32, 32, 32, RightEnd);
        m_map = m_factory.createTextureMap(save(sheet, "slider.png"), nullptr);
        m_texture = m_map->getTexture(0, 0);
        fillBackground();
    }

    static void expectColor(int x, int y, const Color& c)
    {
        EXPECT_RGB(pixel(x, y), c.r, c.g, c.b) << "at " << x << "," << y;
    }

    static void expectOutOfBound(const std::function<void()>& call)
    {
        try
        {
            call();
            ADD_FAILURE() << "no exception";
        }
        catch (const OutOfBoundException& e)
        {
            EXPECT_EQ(e.getMessage(), "value is out of bound.");
            EXPECT_EQ(e.getFile(), "src/SlideBar");
        }
    }

    TextureMap* m_map = nullptr;
    Texture* m_texture = nullptr;
};

} // namespace

TEST_F(SlideBarTest, NullTextureThrowsArgumentException)
{
    try
    {
        SlideBar bar(nullptr);
        ADD_FAILURE() << "no exception";
    }
    catch (const ArgumentException& e)
    {
        EXPECT_EQ(e.getMessage(), "texture is 0.");
        EXPECT_EQ(e.getFile(), "src/SlideBar");
    }
}

TEST_F(SlideBarTest, RangeChangesKeepTheValueInsideAndRefusalsChangeNothing)
{
    SlideBar bar(m_texture);
    EXPECT_TRUE(bar.isDone());
    EXPECT_EQ(bar.getValue(), 0);
    EXPECT_EQ(bar.getMinimum(), 0);
    EXPECT_EQ(bar.getMaximum(), 100);

    bar.setValue(80);
    bar.setMaximum(50);
    EXPECT_EQ(bar.getValue(), 50);

    expectOutOfBound([&] { bar.setMinimum(60); });
    EXPECT_EQ(bar.getMinimum(), 0);
    EXPECT_EQ(bar.getValue(), 50);

    expectOutOfBound([&] { bar.setMaximum(-1); });
    EXPECT_EQ(bar.getMaximum(), 50);

    expectOutOfBound([&] { bar.setValue(51); });
    expectOutOfBound([&] { bar.setValue(-1); });
    EXPECT_EQ(bar.getValue(), 50);

    bar.setValue(10);
    bar.setMinimum(30);
    EXPECT_EQ(bar.getValue(), 30);
    // An empty range is allowed: its one value is both ends.
    bar.setMinimum(50);
    EXPECT_EQ(bar.getValue(), 50);
    EXPECT_NO_THROW(bar.setValue(50));
}

TEST_F(SlideBarTest, ArrowKeysStepAndStopAtTheEnds)
{
    SlideBar bar(m_texture);
    bar.setValue(95);
    EXPECT_TRUE(bar.keyDown(SDLK_RIGHT, false, false, false));
    EXPECT_EQ(bar.getValue(), 100);
    EXPECT_TRUE(bar.keyDown(SDLK_RIGHT, false, false, false));
    EXPECT_EQ(bar.getValue(), 100);

    bar.setValue(5);
    EXPECT_TRUE(bar.keyDown(SDLK_LEFT, false, false, false));
    EXPECT_EQ(bar.getValue(), 0);

    EXPECT_FALSE(bar.keyDown(SDLK_RIGHT, false, true, false));
    EXPECT_FALSE(bar.keyDown(SDLK_RIGHT, true, false, false));
    EXPECT_FALSE(bar.keyDown(SDLK_RETURN, false, false, false));
    EXPECT_EQ(bar.getValue(), 0);

    // Whatever the step's sign, the value stays in range.
    bar.setStep(-30);
    bar.decrease();
    EXPECT_EQ(bar.getValue(), 30);
    bar.increase();
    bar.increase();
    EXPECT_EQ(bar.getValue(), 0);
}

TEST_F(SlideBarTest, KnobSitsInProportionAlongTheTrack)
{
    SlideBar bar(m_texture);
    bar.setPosition(100, 200);
    bar.setWidth(200);
    bar.setValue(50);
    // Not moved before the update.
    EXPECT_EQ(bar.getKnobX(), 0);
    bar.update();
    // 0.5 + 50 x (200 - 32) / 100 = 84.5
    EXPECT_EQ(bar.getKnobX(), 184);
    EXPECT_EQ(bar.getKnobY(), 200);

    bar.setValue(100);
    bar.update();
    EXPECT_EQ(bar.getKnobX(), 268);

    bar.setMinimum(-100);
    bar.setValue(-100);
    bar.update();
    EXPECT_EQ(bar.getKnobX(), 100);

    // An empty range has no scale: the knob rests at the left end.
    bar.setValue(100);
    bar.setMinimum(100);
    bar.update();
    EXPECT_EQ(bar.getKnobX(), 100);
}

TEST_F(SlideBarTest, DrawsBothEndsTheStretchedTrackAndTheKnob)
{
    SlideBar bar(m_texture);
    bar.setPosition(100, 200);
    bar.setWidth(200);
    bar.setValue(50);
    bar.update();
    bar.draw();

    expectColor(100, 200, LeftEnd);
    expectColor(131, 231, LeftEnd);
    expectColor(132, 200, Track);
    expectColor(183, 231, Track);
    expectColor(184, 200, Knob);
    expectColor(215, 231, Knob);
    expectColor(216, 200, Track);
    expectColor(267, 231, Track);
    expectColor(268, 200, RightEnd);
    expectColor(299, 231, RightEnd);
    expectColor(300, 200, Background);
    expectColor(99, 200, Background);
    expectColor(100, 199, Background);
    expectColor(100, 232, Background);

    // The entity colour tints every tile.
    fillBackground();
    bar.setColor(Grey);
    bar.draw();
    const auto grey = [](std::uint8_t c) { return static_cast<int>(std::lround(c * 150 / 255.0)); };
    EXPECT_RGB(pixel(184, 200), grey(Knob.r), grey(Knob.g), grey(Knob.b));
    EXPECT_RGB(pixel(100, 200), grey(LeftEnd.r), grey(LeftEnd.g), grey(LeftEnd.b));
}

TEST_F(SlideBarTest, BarNarrowerThanItsEndsDrawsNoTrack)
{
    SlideBar bar(m_texture);
    bar.setPosition(100, 200);
    bar.setWidth(40);
    bar.update();
    bar.draw();
    // The ends overlap and the knob covers the left one; no track wraps around to a huge quad.
    expectColor(100, 200, Knob);
    expectColor(132, 200, RightEnd);
    expectColor(139, 231, RightEnd);
    expectColor(140, 200, Background);
    expectColor(99, 200, Background);
    expectColor(600, 210, Background);
}
