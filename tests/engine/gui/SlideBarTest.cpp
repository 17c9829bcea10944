#include "engine/gui/SlideBar.h"

#include "engine/base/Exception.h"
#include "engine/graphics/TextureMap.h"

#include "tests/engine/graphics/GraphicsFixture.h"
#include "tests/support/Throws.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Fernhouse::Base;
using Fernhouse::GUI::SlideBar;
using TestSupport::throwsWith;

namespace
{

constexpr Color Knob(240, 40, 40, 255);
constexpr Color Track(40, 200, 40, 255);
constexpr Color LeftEnd(40, 40, 230, 255);
constexpr Color RightEnd(220, 220, 30, 255);

class SlideBarTest : public TestSupport::GraphicsTest
{
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        TestSupport::TestImage sheet(64, 64, Knob);
        sheet.fill(32, 0, 32, 32, Track);
        sheet.fill(0, 32, 32, 32, LeftEnd);
        sheet.fill(32, 32, 32, 32, RightEnd);
        m_bar = std::make_unique<SlideBar>(
            m_factory.createTextureMap(save(sheet, "s.png"), nullptr)->getTexture(0, 0));
        m_bar->setPosition(100, 200);
        fillBackground();
    }

    std::unique_ptr<SlideBar> m_bar;
};

} // namespace

TEST_F(SlideBarTest, ValueStaysInRangeThroughKeysAndRangeChanges)
{
    EXPECT_TRUE(
        throwsWith<ArgumentException>([] { SlideBar bar(nullptr); }, "texture is 0.", "src/SlideBar"));
    SlideBar& bar = *m_bar;
    // A bar lives inside a panel and is never waited for.
    EXPECT_TRUE(bar.isDone());
    bar.setValue(95);
    EXPECT_TRUE(bar.keyDown(SDLK_RIGHT, false, false, false));
    EXPECT_EQ(bar.getValue(), 100);
    bar.setValue(5);
    EXPECT_TRUE(bar.keyDown(SDLK_LEFT, false, false, false));
    EXPECT_EQ(bar.getValue(), 0);
    EXPECT_FALSE(bar.keyDown(SDLK_RIGHT, false, true, false));
    EXPECT_FALSE(bar.keyDown(SDLK_RETURN, false, false, false));
    EXPECT_EQ(bar.getValue(), 0);

    bar.setValue(80);
    bar.setMaximum(50);
    EXPECT_EQ(bar.getValue(), 50);
    const std::function<void()> outOfRange[] = {[&] { bar.setMinimum(60); }, [&] { bar.setMaximum(-1); },
                                                [&] { bar.setValue(51); }};
    for (const auto& call : outOfRange)
    {
        EXPECT_TRUE(throwsWith<OutOfBoundException>(call, "value is out of bound.", "src/SlideBar"));
    }
    EXPECT_EQ(bar.getMinimum(), 0);
    EXPECT_EQ(bar.getMaximum(), 50);
    EXPECT_EQ(bar.getValue(), 50);
    bar.setValue(10);
    bar.setMinimum(30);
    EXPECT_EQ(bar.getValue(), 30);
    // Even a negative step cannot push the value out.
    bar.setStep(-30);
    bar.increase();
    EXPECT_EQ(bar.getValue(), 30);
    bar.decrease();
    EXPECT_EQ(bar.getValue(), 50);
}

TEST_F(SlideBarTest, DrawsBothEndsTheStretchedTrackAndTheKnobWhereTheValueLies)
{
    m_bar->setWidth(200);
    m_bar->setValue(50);
    m_bar->update();
    m_bar->draw();
    // The knob's left edge: 0.5 + 50 x (200 - 32) / 100 = 84.5 from the bar's.
    const std::tuple<int, int, Color> shows[] = {
        {100, 200, LeftEnd},  {131, 231, LeftEnd},  {132, 200, Track},      {183, 200, Track},
        {184, 200, Knob},     {215, 231, Knob},     {216, 200, Track},      {267, 231, Track},
        {268, 200, RightEnd}, {299, 231, RightEnd}, {300, 200, Background}, {100, 232, Background}};
    for (const auto& [x, y, colour] : shows)
    {
        expectColor(x, y, colour);
    }
    m_bar->setValue(100);
    m_bar->update();
    EXPECT_EQ(m_bar->getKnobX(), 268);
    // An empty range has no scale: the knob rests at the left end.
    m_bar->setMinimum(100);
    m_bar->update();
    EXPECT_EQ(m_bar->getKnobX(), 100);

    // A bar narrower than its two ends gets no track, rather than one wrapped to a huge width.
    fillBackground();
    m_bar->setWidth(40);
    m_bar->draw();
    expectColor(132, 200, RightEnd);
    expectBackground(140, 200);
    expectBackground(600, 210);
}
