#include "engine/graphics/Painter.h"

#include "engine/base/Exception.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/TextureMap.h"

#include "tests/engine/graphics/GraphicsFixture.h"
#include "tests/engine/graphics/TestImage.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <type_traits>

using namespace Fernhouse::Base;
using namespace Fernhouse::Graphics;
using TestSupport::glyphColor;
using TestSupport::pixel;

static_assert(!std::is_copy_constructible_v<Painter> && !std::is_copy_assignable_v<Painter>);

namespace
{

constexpr int Glyph = 16;
constexpr Color Blue(0, 0, 255, 255);

class PainterTest : public TestSupport::GraphicsTest
{
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        saveFont("sheet", Glyph, Glyph);
        m_font = m_fonts.loadFont("sheet");
        fillBackground();
    }

    // The glyph's 16 x 16 quad at (x, y) shows cell index, and nothing of it spills left or above.
    static void expectGlyph(int x, int y, int index)
    {
        const Color c = glyphColor(index);
        EXPECT_RGB(pixel(x, y), c.r, c.g, c.b) << "glyph " << index << " at " << x << "," << y;
        EXPECT_RGB(pixel(x + Glyph - 1, y + Glyph - 1), c.r, c.g, c.b) << "glyph " << index;
    }

    static void expectBackground(int x, int y)
    {
        EXPECT_RGB(pixel(x, y), Background.r, Background.g, Background.b) << "at " << x << "," << y;
    }

    static std::array<float, 4> currentColor()
    {
        std::array<float, 4> c{};
        glGetFloatv(GL_CURRENT_COLOR, c.data());
        return c;
    }

    Font* m_font = nullptr;
};

} // namespace

TEST_F(PainterTest, TextGlyphsLandInTheirCellsOneAfterAnother)
{
    Painter painter;
    painter.drawText("Hi 5!", Point(100, 100), m_font, Painter::AlignLeft, Painter::AlignTop);
    const int cells[] = {8, 9, 0, 32, 39};
    for (int i = 0; i < 5; ++i)
    {
        expectGlyph(100 + i * Glyph, 100, cells[i]);
    }
    expectBackground(99, 100);
    expectBackground(100, 99);
    expectBackground(180, 100);
    expectBackground(100, 116);
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);

    fillBackground();
    painter.drawText("az09.,!?-+_#:;$()/\\='<>&", Point(0, 300), m_font, Painter::AlignLeft,
                     Painter::AlignTop);
    const int expected[] = {1,  26, 27, 36, 37, 38, 39, 40, 41, 42, 43, 44,
                            45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56};
    for (int i = 0; i < 24; ++i)
    {
        expectGlyph(i * Glyph, 300, expected[i]);
    }
}

TEST_F(PainterTest, AlignmentShiftsTheTextBoxByHalfOrAllOfItsSize)
{
    // "ABCDE" is 80 x 16: centred moves it 40 (8) back, right (bottom) 80 (16).
    const int shiftX[] = {0, 40, 80};
    const int shiftY[] = {0, 8, 16};
    for (int horizontal = 0; horizontal < 3; ++horizontal)
    {
        for (int vertical = 0; vertical < 3; ++vertical)
        {
            SCOPED_TRACE(testing::Message() << "alignment " << horizontal << ", " << vertical);
            fillBackground();
            Painter painter;
            painter.drawText("ABCDE", Point(400, 300), m_font, horizontal, vertical);
            const int x = 400 - shiftX[horizontal];
            const int y = 300 - shiftY[vertical];
            expectGlyph(x, y, 1);
            expectGlyph(x + 4 * Glyph, y, 5);
            expectBackground(x - 1, y);
            expectBackground(x, y - 1);
            expectBackground(x + 5 * Glyph, y + Glyph - 1);
            expectBackground(x + 5 * Glyph - 1, y + Glyph);
        }
    }
    // An odd width is halved downwards: 3 glyphs of 16 are 48 wide, centred 24 back.
    fillBackground();
    Painter painter;
    painter.drawText("ABC", Point(400, 100), m_font, Painter::AlignCenter, Painter::AlignTop);
    expectGlyph(376, 100, 1);
    expectBackground(375, 100);
}

TEST_F(PainterTest, InvalidCharacterThrowsAfterTheGlyphsBeforeItWereDrawn)
{
    for (const std::string text : {"AB%C", "AB\nC"})
    {
        fillBackground();
        Painter painter;
        try
        {
            painter.drawText(text, Point(100, 100), m_font, Painter::AlignLeft, Painter::AlignTop);
            ADD_FAILURE() << "no exception";
        }
        catch (const GenericFontException& e)
        {
            EXPECT_EQ(e.getMessage(), "Invalid character.");
            EXPECT_EQ(e.getFile(), "src/Painter");
        }
        expectGlyph(100, 100, 1);
        expectGlyph(116, 100, 2);
        expectBackground(132, 100);
        expectBackground(148, 100);
        EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);
    }
}

TEST_F(PainterTest, SetColorSavesTheFormerColourForRestoreColor)
{
    glColor4ub(10, 20, 30, 40);
    Painter painter;
    painter.restoreColor(); // nothing saved: no change
    painter.setColor(Color(200, 0, 0, 255));
    painter.fillRect(Rect(0, 0, 10, 10));
    EXPECT_RGB(pixel(5, 5), 200, 0, 0);
    // A second setColor first restores, so the colour saved is still the original one.
    painter.setColor(Blue);
    painter.fillRect(Rect(20, 0, 10, 10));
    EXPECT_RGB(pixel(25, 5), 0, 0, 255);
    painter.restoreColor();
    const auto c = currentColor();
    EXPECT_FLOAT_EQ(c[0] * 255.0f, 10.0f);
    EXPECT_FLOAT_EQ(c[1] * 255.0f, 20.0f);
    EXPECT_FLOAT_EQ(c[2] * 255.0f, 30.0f);
    EXPECT_FLOAT_EQ(c[3] * 255.0f, 40.0f);
}

TEST_F(PainterTest, FillRectCoversExactlyItsPixelsAndRestoresTheState)
{
    GLint depthBefore = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    Painter::fillRect(Rect(50, 60, 30, 20), Blue);
    EXPECT_RGB(pixel(50, 60), 0, 0, 255);
    EXPECT_RGB(pixel(79, 79), 0, 0, 255);
    expectBackground(49, 60);
    expectBackground(80, 60);
    expectBackground(50, 59);
    expectBackground(50, 80);
    GLint depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
    const auto c = currentColor();
    EXPECT_EQ(c, (std::array<float, 4>{1.0f, 1.0f, 1.0f, 1.0f}));
}

TEST_F(PainterTest, TexelModesCopyOrCutOutWhatBlendingWouldShowAndBlendingComesBack)
{
    // Opaque on the left half, fully transparent on the right.
    constexpr Color Opaque(200, 30, 90, 255);
    TestSupport::TestImage image(64, 64, Opaque);
    image.fill(32, 0, 32, 64, Color());
    TextureMap* map = m_factory.createTextureMap(save(image, "halves.png"), nullptr);
    for (const Painter::TexelMode mode :
         {Painter::TexelMode::Blended, Painter::TexelMode::CutOut, Painter::TexelMode::Copied})
    {
        fillBackground();
        Painter::setTexelMode(mode);
        Painter::drawTexture(Rect(100, 100, 64, 64), map->getTexture(0, 0), Rect(0, 0, 64, 64));
        Painter::setTexelMode(Painter::TexelMode::Blended);
        EXPECT_RGB(pixel(110, 110), Opaque.r, Opaque.g, Opaque.b);
        if (mode == Painter::TexelMode::Copied)
        {
            EXPECT_RGB(pixel(150, 110), 0, 0, 0);
        }
        else
        {
            expectBackground(150, 110);
        }
    }
    m_factory.freeTextureMap(map);
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_TRUE);
    EXPECT_EQ(glIsEnabled(GL_ALPHA_TEST), GL_FALSE);
    GLint env = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ(env, GL_MODULATE);
}

TEST_F(PainterTest, TexturedRectMapsTheSourceTexelsOntoTheDestination)
{
    // Cell 9 of the sheet, magnified twice.
    Painter::drawTexture(Rect(200, 200, 32, 32), m_font->getTexture(), Rect(16, 16, 16, 16));
    const Color c = glyphColor(9);
    EXPECT_RGB(pixel(200, 200), c.r, c.g, c.b);
    EXPECT_RGB(pixel(231, 231), c.r, c.g, c.b);
    expectBackground(232, 231);
    expectBackground(231, 232);
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);

    // Two cells side by side from one source rectangle at 1:1.
    Painter painter;
    painter.bindTexture(m_font->getTexture());
    painter.drawTexturedRect(Rect(300, 300, 32, 16), Rect(0, 16, 32, 16));
    painter.unbindTexture();
    expectGlyph(300, 300, 8);
    expectGlyph(316, 300, 9);
}

TEST_F(PainterTest, ClipRectHoldsToItsEdgesUntilCleared)
{
    Painter painter;
    painter.setClipRect(Rect(100, 40, 50, 20));
    GLint box[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_SCISSOR_BOX, box);
    EXPECT_EQ(box[1], 540); // rows counted from the bottom of the 600-pixel viewport
    painter.setColor(Blue);
    painter.fillRect(Rect(0, 0, 800, 600));
    EXPECT_RGB(pixel(100, 40), 0, 0, 255);
    EXPECT_RGB(pixel(149, 59), 0, 0, 255);
    expectBackground(99, 40);
    expectBackground(150, 59);
    expectBackground(100, 39);
    expectBackground(149, 60);

    painter.clearClipRect();
    painter.fillRect(Rect(0, 0, 10, 10));
    painter.restoreColor();
    EXPECT_RGB(pixel(0, 0), 0, 0, 255);
    EXPECT_EQ(glIsEnabled(GL_SCISSOR_TEST), GL_FALSE);
}

TEST_F(PainterTest, CirclesAreDrawnAroundTheirCentre)
{
    Painter painter;
    painter.setColor(Blue);
    painter.fillCircle(Point(200, 200), 50, 64);
    painter.drawCircle(Point(500, 200), 50, 64);
    painter.fillCircle(Point(200, 400), 50, 0);
    painter.restoreColor();

    EXPECT_RGB(pixel(200, 200), 0, 0, 255);
    EXPECT_RGB(pixel(246, 200), 0, 0, 255);
    EXPECT_RGB(pixel(200, 154), 0, 0, 255);
    EXPECT_RGB(pixel(231, 231), 0, 0, 255); // 44 pixels from the centre
    expectBackground(253, 200);
    expectBackground(240, 240); // 57 pixels from the centre

    // The outline passes x = 550 on the centre row; its inside stays empty.
    int lit = 0;
    for (int x = 547; x <= 552; ++x)
    {
        lit += pixel(x, 200)[2] == 255 ? 1 : 0;
    }
    EXPECT_GE(lit, 1);
    expectBackground(500, 200);
    expectBackground(530, 200);
    // No segments, no circle.
    expectBackground(200, 400);
}
