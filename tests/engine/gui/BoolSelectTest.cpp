#include "engine/gui/BoolSelect.h"

#include "engine/base/Exception.h"
#include "engine/graphics/Label.h"

#include "tests/engine/graphics/GraphicsFixture.h"
#include "tests/support/PrintTo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <type_traits>

using namespace Fernhouse::Base;
using namespace Fernhouse::Graphics;
using Fernhouse::GUI::BoolSelect;
using Fernhouse::GUI::Label;
using TestSupport::glyphColor;
using TestSupport::pixel;

static_assert(!std::is_copy_constructible_v<BoolSelect> && !std::is_copy_assignable_v<BoolSelect>);

namespace
{

constexpr Color Green(83, 148, 28, 255);
constexpr Color Orange(255, 90, 0, 255);
constexpr Color White(255, 255, 255, 255);

// Glyph cells of the test sheet.
constexpr int GlyphO = 15;
constexpr int GlyphN = 14;
constexpr int GlyphF = 6;
constexpr int GlyphSlash = 50;

Color tinted(const Color& texel, const Color& c)
{
    const auto channel = [](int t, int k) { return static_cast<std::uint8_t>(std::lround(t * k / 255.0)); };
    return Color(channel(texel.r, c.r), channel(texel.g, c.g), channel(texel.b, c.b), 255);
}

class BoolSelectTest : public TestSupport::GraphicsTest
{
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        saveFont("sheet", 16, 16);
        fillBackground();
    }

    static void expectColor(int x, int y, const Color& c)
    {
        EXPECT_RGB(pixel(x, y), c.r, c.g, c.b) << "at " << x << "," << y;
    }

    static Label* child(const BoolSelect& select, std::size_t index)
    {
        return static_cast<Label*>(select.getChildren().at(index));
    }
};

} // namespace

TEST_F(BoolSelectTest, WordsSitSideBySideAndFollowTheSelectorsTransform)
{
    BoolSelect select("sheet", &Green, &Orange, "ON", "OFF", "/");
    EXPECT_TRUE(select.isDone());
    EXPECT_TRUE(select.getValue());
    EXPECT_EQ(select.getWidth(), 96);
    EXPECT_EQ(select.getHeight(), 16);
    EXPECT_EQ(m_fonts.getReferenceCount("sheet"), 3);

    select.setPosition(100, 50);
    select.update();
    select.draw();
    // "ON" at 100, "/" at 132, "OFF" at 148; the chosen word orange, the rest green.
    expectColor(100, 50, tinted(glyphColor(GlyphO), Orange));
    expectColor(116, 65, tinted(glyphColor(GlyphN), Orange));
    expectColor(132, 50, tinted(glyphColor(GlyphSlash), Green));
    expectColor(148, 50, tinted(glyphColor(GlyphO), Green));
    expectColor(180, 65, tinted(glyphColor(GlyphF), Green));
    expectColor(196, 50, Background);
    expectColor(99, 50, Background);

    fillBackground();
    select.setScale(2.0f);
    select.draw();
    expectColor(100, 50, tinted(glyphColor(GlyphO), Orange));
    expectColor(164, 50, tinted(glyphColor(GlyphSlash), Green));
    expectColor(291, 81, tinted(glyphColor(GlyphF), Green));
    expectColor(292, 50, Background);
}

TEST_F(BoolSelectTest, LeftAndRightToggleAndTheColoursFollowAtTheNextUpdate)
{
    BoolSelect select("sheet", &Green, &Orange, "ON", "OFF", "/");
    Label* on = child(select, 0);
    Label* off = child(select, 1);

    EXPECT_TRUE(select.keyDown(SDLK_LEFT, false, false, false));
    EXPECT_FALSE(select.getValue());
    EXPECT_TRUE(select.keyDown(SDLK_RIGHT, false, false, false));
    EXPECT_TRUE(select.getValue());
    EXPECT_TRUE(select.keyDown(SDLK_RIGHT, false, false, false));
    EXPECT_FALSE(select.getValue());

    EXPECT_FALSE(select.keyDown(SDLK_LEFT, false, false, true));
    EXPECT_FALSE(select.keyDown(SDLK_UP, false, false, false));
    EXPECT_FALSE(select.keyDown(SDLK_RETURN, false, false, false));
    EXPECT_FALSE(select.getValue());

    // Nothing recoloured before the update.
    EXPECT_EQ(on->getColor(), White);
    EXPECT_EQ(off->getColor(), White);
    select.update();
    EXPECT_EQ(on->getColor(), Green);
    EXPECT_EQ(off->getColor(), Orange);

    select.setValue(true);
    select.update();
    EXPECT_EQ(on->getColor(), Orange);
    EXPECT_EQ(off->getColor(), Green);
}

TEST_F(BoolSelectTest, WithoutColoursTheWordsKeepTheirOwn)
{
    BoolSelect select("sheet", nullptr, nullptr, "YES", "NO", " - ");
    EXPECT_EQ(select.getWidth(), 128);
    select.setValue(false);
    select.update();
    for (std::size_t i = 0; i < 3; ++i)
    {
        EXPECT_EQ(child(select, i)->getColor(), White);
    }
}

TEST_F(BoolSelectTest, MissingFontThrowsAndDestructionReleasesTheFont)
{
    EXPECT_THROW(BoolSelect("absent", &Green, &Orange, "ON", "OFF", "/"), FileNotFoundException);
    {
        BoolSelect select("sheet", &Green, &Orange, "ON", "OFF", "/");
        EXPECT_EQ(m_fonts.getReferenceCount("sheet"), 3);
    }
    EXPECT_EQ(m_fonts.getReferenceCount("sheet"), 0);
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);
}
