#include "engine/gui/BoolSelect.h"

#include "engine/graphics/Label.h"

#include "tests/engine/graphics/GraphicsFixture.h"
#include "tests/support/PrintTo.h"

#include <gtest/gtest.h>

using namespace Fernhouse::Base;
using Fernhouse::GUI::BoolSelect;

namespace
{

constexpr Color Green(83, 148, 28, 255);
constexpr Color Orange(255, 90, 0, 255);

class BoolSelectTest : public TestSupport::GraphicsTest
{
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        saveFont("sheet", 16, 16);
        fillBackground();
    }
};

} // namespace

TEST_F(BoolSelectTest, WordsSitSideBySideInTheSelectorsFrameAndTheFontIsFreedAfterwards)
{
    {
        BoolSelect select("sheet", &Green, &Orange, "ON", "OFF", "/");
        EXPECT_EQ(select.getWidth(), 96);
        EXPECT_EQ(select.getHeight(), 16);
        select.setPosition(100, 50);
        select.setScale(2.0f);
        select.update();
        select.draw();
        // "ON" from 100, "/" from 164, "OFF" from 196 to 291 at twice the size; O is cell 15, / 50, F 6.
        expectGlyph(100, 50, 15, Orange);
        expectGlyph(164, 50, 50, Green);
        expectGlyph(196, 50, 15, Green);
        expectGlyph(291, 81, 6, Green);
        expectBackground(292, 50);
    }
    EXPECT_EQ(m_fonts.getReferenceCount("sheet"), 0);
}

TEST_F(BoolSelectTest, LeftAndRightToggleAndTheColoursFollowAtTheNextUpdate)
{
    BoolSelect select("sheet", &Green, &Orange, "ON", "OFF", "/");
    const auto* on = select.getChildren().at(0);
    const auto* off = select.getChildren().at(1);
    // A selector lives inside a panel and is never waited for.
    EXPECT_TRUE(select.isDone());
    EXPECT_TRUE(select.keyDown(SDLK_LEFT, false, false, false));
    EXPECT_FALSE(select.getValue());
    EXPECT_TRUE(select.keyDown(SDLK_RIGHT, false, false, false));
    EXPECT_TRUE(select.keyDown(SDLK_RIGHT, false, false, false));
    EXPECT_FALSE(select.keyDown(SDLK_LEFT, false, false, true));
    EXPECT_FALSE(select.keyDown(SDLK_UP, false, false, false));
    EXPECT_FALSE(select.getValue());
    EXPECT_EQ(off->getColor(), White);
    select.update();
    EXPECT_EQ(on->getColor(), Green);
    EXPECT_EQ(off->getColor(), Orange);

    // Without colours the words keep their own.
    BoolSelect plain("sheet", nullptr, nullptr, "ON", "OFF", "/");
    plain.update();
    EXPECT_EQ(plain.getChildren().at(0)->getColor(), White);
}
