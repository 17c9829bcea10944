#include "engine/graphics/Label.h"

#include "engine/base/Exception.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/Painter.h"
#include "engine/graphics/Texture.h"

#include "tests/engine/graphics/GraphicsFixture.h"
#include "tests/support/PrintTo.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <type_traits>

using namespace Fernhouse::Base;
using namespace Fernhouse::Graphics;
using Fernhouse::GUI::Label;
using TestSupport::glyphColor;
using TestSupport::pixel;

static_assert(!std::is_copy_constructible_v<Label> && !std::is_copy_assignable_v<Label>);

namespace
{

constexpr Color Box(200, 40, 40, 255);

class LabelTest : public TestSupport::GraphicsTest
{
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        saveFont("sheet", 16, 16);
        saveFont("other", 8, 8);
        fillBackground();
    }

    static void expectBackground(int x, int y)
    {
        EXPECT_RGB(pixel(x, y), Background.r, Background.g, Background.b) << "at " << x << "," << y;
    }

    static void expectColor(int x, int y, const Color& c)
    {
        EXPECT_RGB(pixel(x, y), c.r, c.g, c.b) << "at " << x << "," << y;
    }
};

} // namespace

TEST_F(LabelTest, BackgroundBoxReachesTheMarginBeyondTheText)
{
    Label label("sheet");
    label.setText("SCORE");
    label.setMargin(Size(4, 2));
    label.setBackgroundColor(Box);
    label.setDrawBackground(true);
    label.setPosition(100, 100);
    label.draw();

    // The box spans (-4, -2) to (84, 18) around the position, the text (0, 0) to (80, 16).
    expectColor(96, 98, Box);
    expectColor(183, 117, Box);
    expectColor(99, 100, Box);
    expectColor(180, 100, Box);
    expectBackground(95, 98);
    expectBackground(96, 97);
    expectBackground(184, 117);
    expectBackground(183, 118);
    expectColor(100, 100, glyphColor(19)); // S
    expectColor(179, 115, glyphColor(5));  // E
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);
}

TEST_F(LabelTest, TextIsDrawnInTheEntityColourWithTheEntityTransform)
{
    Label label("sheet");
    label.setText("score");
    label.setColor(Color(255, 0, 255, 255));
    label.setPosition(10, 10);
    label.draw();
    const Color s = glyphColor(19);
    expectColor(10, 10, Color(s.r, 0, s.b, 255));
    expectBackground(90, 10);

    fillBackground();
    label.setColor(Color(255, 255, 255, 255));
    label.setText("A");
    label.setScale(2.0f);
    label.draw();
    expectColor(10, 10, glyphColor(1));
    expectColor(41, 41, glyphColor(1));
    expectBackground(42, 41);

    const auto colour = [] {
        std::array<float, 4> c{};
        glGetFloatv(GL_CURRENT_COLOR, c.data());
        return c;
    }();
    EXPECT_EQ(colour, (std::array<float, 4>{1.0f, 1.0f, 1.0f, 1.0f}));
}

TEST_F(LabelTest, EmptyTextDrawsNoBackgroundAndAFontlessLabelNothing)
{
    Label label("sheet");
    label.setMargin(Size(4, 2));
    label.setBackgroundColor(Box);
    label.setDrawBackground(true);
    label.setPosition(100, 100);
    label.draw();
    expectBackground(96, 98);
    expectBackground(100, 100);

    Label bare;
    bare.setText("HELLO");
    bare.setDrawBackground(true);
    bare.setBackgroundColor(Box);
    bare.draw();
    expectBackground(0, 0);
    EXPECT_EQ(bare.getFont(), nullptr);
    EXPECT_EQ(bare.getText(), "HELLO");
}

TEST_F(LabelTest, InvalidCharacterThrowsWhenDrawnNotWhenSet)
{
    Label label("sheet");
    label.setPosition(10, 10);
    EXPECT_NO_THROW(label.setText("A%"));
    glColor4ub(10, 20, 30, 40);
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    try
    {
        label.draw();
        ADD_FAILURE() << "no exception";
    }
    catch (const GenericFontException& e)
    {
        EXPECT_EQ(e.getMessage(), "Invalid character.");
    }
    expectColor(10, 10, glyphColor(1));
    expectBackground(26, 10);
    // The matrix and the colour are as they were before the draw.
    GLint after = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &after);
    EXPECT_EQ(after, depth);
    EXPECT_EQ(Painter::getColor(), Color(10, 20, 30, 40));
}

TEST_F(LabelTest, LabelsShareTheirFontAndTheLastOneFreesIt)
{
    auto* first = new Label("sheet");
    auto* second = new Label("sheet");
    EXPECT_EQ(first->getFont(), second->getFont());
    EXPECT_EQ(m_fonts.getReferenceCount("sheet"), 2);
    const GLuint name = first->getFont()->getTexture()->getGlName();

    delete first;
    EXPECT_EQ(m_fonts.getReferenceCount("sheet"), 1);
    second->setText("AB");
    second->draw();
    expectColor(16, 0, glyphColor(2));

    delete second;
    EXPECT_EQ(m_fonts.getReferenceCount("sheet"), 0);
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);
    EXPECT_EQ(glIsTexture(name), GL_FALSE);
}

TEST_F(LabelTest, SetFontReleasesTheOldFontFirst)
{
    Label label("sheet");
    Label keeper("other");
    label.setFont("other");
    EXPECT_EQ(label.getFont(), keeper.getFont());
    EXPECT_EQ(label.getFont()->getGlyphSize(), Size(8, 8));
    EXPECT_EQ(m_fonts.getReferenceCount("sheet"), 0);
    EXPECT_EQ(m_fonts.getReferenceCount("other"), 2);

    // Shared: setting the same name keeps the object. Sole holder: it is reloaded.
    Font* shared = label.getFont();
    label.setFont("other");
    EXPECT_EQ(label.getFont(), shared);
    EXPECT_EQ(m_fonts.getReferenceCount("other"), 2);

    // A font that fails to load leaves the label with none, the old one already released.
    EXPECT_THROW(label.setFont("absent"), FileNotFoundException);
    EXPECT_EQ(label.getFont(), nullptr);
    EXPECT_EQ(m_fonts.getReferenceCount("other"), 1);
    label.setText("A");
    label.draw();
    expectBackground(0, 0);
}
