#include "engine/graphics/Painter.h"

#include "engine/base/Exception.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/TextureMap.h"

#include "tests/engine/graphics/GraphicsFixture.h"
#include "tests/support/Throws.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

using namespace Fernhouse::Base;
using namespace Fernhouse::Graphics;
using TestSupport::pixel;

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

    // The cells shown one after another from (x, y), each filling its whole 16 x 16 quad, and nothing
    // drawn just before or after them.
    static void expectText(int x, int y, const std::vector<int>& cells)
    {
        for (std::size_t i = 0; i < cells.size(); ++i)
        {
            expectGlyph(x + static_cast<int>(i) * Glyph, y, cells[i]);
            expectGlyph(x + static_cast<int>(i + 1) * Glyph - 1, y + Glyph - 1, cells[i]);
        }
        expectBackground(x - 1, y);
        expectBackground(x, y - 1);
        expectBackground(x + static_cast<int>(cells.size()) * Glyph, y);
        expectBackground(x, y + Glyph);
    }

    // The rectangle shows the colour up to its edges and the background just beyond them.
    static void expectCovers(const Rect& r, const Color& c)
    {
        const int right = r.x + static_cast<int>(r.w) - 1;
        const int bottom = r.y + static_cast<int>(r.h) - 1;
        expectColor(r.x, r.y, c);
        expectColor(right, bottom, c);
        expectBackground(r.x - 1, r.y);
        expectBackground(r.x, r.y - 1);
        expectBackground(right + 1, bottom);
        expectBackground(right, bottom + 1);
    }

    void drawText(const std::string& text, int x, int y, int horizontal = Painter::AlignLeft,
                  int vertical = Painter::AlignTop)
    {
        Painter().drawText(text, Point(x, y), m_font, horizontal, vertical);
    }

    Font* m_font = nullptr;
};

} // namespace

TEST_F(PainterTest, TextGlyphsLandInTheirCellsOneAfterAnother)
{
    drawText("Hi 5!", 100, 100);
    expectText(100, 100, {8, 9, 0, 32, 39});
    drawText("az09.,!?-+_#:;$()/\\='<>&", 16, 300);
    expectText(16, 300, {1,  26, 27, 36, 37, 38, 39, 40, 41, 42, 43, 44,
                         45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56});
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);
}

TEST_F(PainterTest, AlignmentShiftsTheTextBoxByHalfOrAllOfItsSizeRoundingDown)
{
    // "ABC" is 48 x 16: centred moves it 24 (8) back, right (bottom) 48 (16).
    const int shiftX[] = {0, 24, 48};
    const int shiftY[] = {0, 8, 16};
    for (int horizontal = 0; horizontal < 3; ++horizontal)
    {
        for (int vertical = 0; vertical < 3; ++vertical)
        {
            SCOPED_TRACE(testing::Message() << "alignment " << horizontal << ", " << vertical);
            fillBackground();
            drawText("ABC", 400, 300, horizontal, vertical);
            expectText(400 - shiftX[horizontal], 300 - shiftY[vertical], {1, 2, 3});
        }
    }
}

TEST_F(PainterTest, InvalidCharacterThrowsAfterTheGlyphsBeforeItWereDrawn)
{
    for (const std::string text : {"AB%C", "AB\nC"})
    {
        fillBackground();
        EXPECT_TRUE(TestSupport::throwsWith<GenericFontException>([&] { drawText(text, 100, 100); },
                                                                  "Invalid character.", "src/Painter"));
        expectText(100, 100, {1, 2});
        EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);
    }
}

TEST_F(PainterTest, SetColorSavesTheFormerColourOnceForRestoreColor)
{
    glColor4ub(10, 20, 30, 40);
    Painter painter;
    painter.restoreColor(); // nothing saved: no change
    painter.setColor(Color(200, 0, 0, 255));
    // A second setColor first restores, so the colour saved is still the original one.
    painter.setColor(Blue);
    painter.fillRect(Rect(20, 0, 10, 10));
    expectColor(25, 5, Blue);
    painter.restoreColor();
    EXPECT_EQ(Painter::getColor(), Color(10, 20, 30, 40));
}

TEST_F(PainterTest, FillRectCoversExactlyItsPixelsAndRestoresTheState)
{
    GLint depthBefore = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    Painter::fillRect(Rect(50, 60, 30, 20), Blue);
    expectCovers(Rect(50, 60, 30, 20), Blue);
    GLint depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
    EXPECT_EQ(Painter::getColor(), White);
}

TEST_F(PainterTest, TexelModesCopyOrCutOutWhatBlendingWouldShowAndBlendingComesBack)
{
    // Opaque on the left half, fully transparent on the right.
    constexpr Color Opaque(200, 30, 90, 255);
    TestSupport::TestImage image(64, 64, Opaque);
    image.fill(32, 0, 32, 64, Color());
    TextureMap* map = m_factory.createTextureMap(save(image, "halves.png"), nullptr);
    for (const auto& [mode, right] : {std::pair(Painter::TexelMode::Blended, Background),
                                      {Painter::TexelMode::CutOut, Background},
                                      {Painter::TexelMode::Copied, Color()}})
    {
        fillBackground();
        Painter::setTexelMode(mode);
        Painter::drawTexture(Rect(100, 100, 64, 64), map->getTexture(0, 0), Rect(0, 0, 64, 64));
        Painter::setTexelMode(Painter::TexelMode::Blended);
        expectColor(110, 110, Opaque);
        expectColor(150, 110, right);
    }
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
    expectGlyph(200, 200, 9);
    expectGlyph(231, 231, 9);
    expectBackground(232, 231);
    expectBackground(231, 232);
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);

    // Two cells side by side from one source rectangle at 1:1.
    Painter painter;
    painter.bindTexture(m_font->getTexture());
    painter.drawTexturedRect(Rect(300, 300, 32, 16), Rect(0, 16, 32, 16));
    painter.unbindTexture();
    expectText(300, 300, {8, 9});
}

TEST_F(PainterTest, ClipRectHoldsToItsEdgesUntilCleared)
{
    Painter painter;
    painter.setClipRect(Rect(100, 40, 50, 20));
    painter.setColor(Blue);
    painter.fillRect(Rect(0, 0, 800, 600));
    expectCovers(Rect(100, 40, 50, 20), Blue);
    painter.clearClipRect();
    painter.fillRect(Rect(0, 0, 10, 10));
    painter.restoreColor();
    expectColor(0, 0, Blue);
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
    // (231, 231) is 44 pixels from the centre, (240, 240) 57; no segments, no circle.
    for (const auto& [x, y, inside] : {std::tuple(200, 200, true),
                                       {246, 200, true},
                                       {200, 154, true},
                                       {231, 231, true},
                                       {253, 200, false},
                                       {240, 240, false},
                                       {200, 400, false}})
    {
        expectColor(x, y, inside ? Blue : Background);
    }
    // The outline passes x = 550 on the centre row; its inside stays empty.
    int lit = 0;
    for (int x = 547; x <= 552; ++x)
    {
        lit += pixel(x, 200)[2] == 255 ? 1 : 0;
    }
    EXPECT_GE(lit, 1);
    expectBackground(500, 200);
    expectBackground(530, 200);
}
