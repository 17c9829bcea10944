#include "engine/graphics/Painter.h"

#include "engine/base/Exception.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/TextureMap.h"

#include "tests/engine/graphics/GraphicsFixture.h"
#include "tests/support/Throws.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

using namespace Fernhouse::Base;
using namespace Fernhouse::Graphics;
using TestSupport::glyphColor;

namespace
{

constexpr Color Blue(0, 0, 255, 255);

class PainterTest : public TestSupport::GraphicsTest
{
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        m_font = m_fonts.loadFont("sheet");
    }

    // The 16 x 16 cells shown one after another from (x, y), each filling its whole quad, and nothing
    // drawn just before or after them.
    static void expectText(int x, int y, const std::vector<int>& cells)
    {
        for (std::size_t i = 0; i < cells.size(); ++i)
        {
            const int left = x + static_cast<int>(i) * 16;
            EXPECT_TRUE(shows(glyphColor(cells[i]), {left, y, left + 15, y + 15}));
        }
        EXPECT_TRUE(
            shows(Background, {x - 1, y, x, y - 1, x + static_cast<int>(cells.size()) * 16, y, x, y + 16}));
    }

    // The colour reaches the rectangle's edges and the background is just beyond them.
    static void expectCovers(int x, int y, int w, int h, const Color& c)
    {
        EXPECT_TRUE(shows(c, {x, y, x + w - 1, y + h - 1}));
        EXPECT_TRUE(shows(Background, {x - 1, y, x, y - 1, x + w, y + h - 1, x + w - 1, y + h}));
    }

    void drawText(const std::string& text, int x, int y, int horizontal = 0, int vertical = 0)
    {
        Painter().drawText(text, Point(x, y), m_font, horizontal, vertical);
    }

    static GLint stackDepth()
    {
        GLint depth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        return depth;
    }

    Font* m_font = nullptr;
};

} // namespace

TEST_F(PainterTest, TextGlyphsLandInTheirCellsAlignedByHalfOrAllOfTheBoxUpToAnInvalidCharacter)
{
    drawText("Hi 5!", 100, 100);
    expectText(100, 100, {8, 9, 0, 32, 39});
    drawText("az09.,!?-+_#:;$()/\\='<>&", 16, 300);
    expectText(16, 300, {1,  26, 27, 36, 37, 38, 39, 40, 41, 42, 43, 44,
                         45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56});
    // "ABC" is 48 x 16: centred moves it 24 (8) back, right (bottom) 48 (16).
    for (int alignment = 0; alignment < 9; ++alignment)
    {
        fillBackground();
        drawText("ABC", 400, 300, alignment % 3, alignment / 3);
        expectText(400 - 24 * (alignment % 3), 300 - 8 * (alignment / 3), {1, 2, 3});
    }
    for (const std::string text : {"AB%C", "AB\nC"})
    {
        fillBackground();
        EXPECT_TRUE(TestSupport::throwsWith<GenericFontException>([&] { drawText(text, 100, 100); },
                                                                  "Invalid character.", "src/Painter"));
        expectText(100, 100, {1, 2});
    }
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);
}

TEST_F(PainterTest, FillsAndClipsExactlyAndPutsColourAndMatrixBack)
{
    const GLint depth = stackDepth();
    Painter::fillRect(Rect(50, 60, 30, 20), Blue);
    expectCovers(50, 60, 30, 20, Blue);
    EXPECT_EQ(stackDepth(), depth);
    EXPECT_EQ(Painter::getColor(), White);

    glColor4ub(10, 20, 30, 40);
    Painter painter;
    painter.restoreColor(); // nothing saved: no change
    // A second setColor first restores, so the colour saved is still the original one.
    painter.setColor(Color(200, 0, 0, 255));
    painter.setColor(Blue);
    painter.setClipRect(Rect(100, 40, 50, 20));
    painter.fillRect(Rect(0, 0, 800, 600));
    expectCovers(100, 40, 50, 20, Blue);
    painter.clearClipRect();
    EXPECT_EQ(glIsEnabled(GL_SCISSOR_TEST), GL_FALSE);
    painter.fillRect(Rect(0, 0, 10, 10));
    EXPECT_TRUE(shows(Blue, {0, 0}));
    painter.restoreColor();
    EXPECT_EQ(Painter::getColor(), Color(10, 20, 30, 40));
}

TEST_F(PainterTest, TexturesMapSourceTexelsOntoTheDestinationCopiedOrCutOutAsBlendingWouldShow)
{
    // Cell 9 of the sheet magnified twice, then two cells side by side from one source rectangle at 1:1.
    Painter::drawTexture(Rect(200, 200, 32, 32), m_font->getTexture(), Rect(16, 16, 16, 16));
    expectCovers(200, 200, 32, 32, glyphColor(9));
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);
    Painter painter;
    painter.bindTexture(m_font->getTexture());
    painter.drawTexturedRect(Rect(300, 300, 32, 16), Rect(0, 16, 32, 16));
    painter.unbindTexture();
    expectText(300, 300, {8, 9});

    // Opaque on the left half, fully transparent on the right.
    constexpr Color Opaque(200, 30, 90, 255);
    const std::string halves =
        save(TestSupport::TestImage(64, 64, Opaque).fill(32, 0, 32, 64, Color()), "h.png");
    const Texture* texture = m_factory.createTextureMap(halves, nullptr)->getTexture(0, 0);
    for (const auto& [mode, right] : {std::pair(Painter::TexelMode::Blended, Background),
                                      {Painter::TexelMode::CutOut, Background},
                                      {Painter::TexelMode::Copied, Color()}})
    {
        fillBackground();
        Painter::setTexelMode(mode);
        Painter::drawTexture(Rect(100, 100, 64, 64), texture, Rect(0, 0, 64, 64));
        Painter::setTexelMode(Painter::TexelMode::Blended);
        EXPECT_TRUE(shows(Opaque, {110, 110}));
        EXPECT_TRUE(shows(right, {150, 110}));
    }
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_TRUE);
    EXPECT_EQ(glIsEnabled(GL_ALPHA_TEST), GL_FALSE);
    GLint env = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ(env, GL_MODULATE);
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
    EXPECT_TRUE(shows(Blue, {200, 200, 246, 200, 200, 154, 231, 231}));
    EXPECT_TRUE(shows(Background, {253, 200, 240, 240, 200, 400}));
    // The outline passes x = 550 on the centre row; its inside stays empty.
    int lit = 0;
    for (int x = 547; x <= 552; ++x)
    {
        lit += TestSupport::pixel(x, 200)[2] == 255 ? 1 : 0;
    }
    EXPECT_GE(lit, 1);
    EXPECT_TRUE(shows(Background, {500, 200, 530, 200}));
}
