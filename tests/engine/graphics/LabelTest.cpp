#include "engine/graphics/Label.h"

#include "engine/base/Exception.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/Painter.h"
#include "engine/graphics/Texture.h"

#include "tests/engine/graphics/GraphicsFixture.h"
#include "tests/support/Throws.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <type_traits>

using namespace Fernhouse::Base;
using namespace Fernhouse::Graphics;
using Fernhouse::GUI::Label;
using TestSupport::glyphColor;
using TestSupport::throwsWith;
using FontManagerTest = TestSupport::GraphicsTest;
using LabelTest = TestSupport::GraphicsTest;

static_assert(!std::is_copy_constructible_v<Label> && !std::is_copy_assignable_v<Label>);

TEST_F(LabelTest, BackgroundBoxReachesTheMarginBeyondTheTextAndNeedsTextAndFont)
{
    constexpr Color Box(200, 40, 40, 255);
    Label label("sheet");
    Label fontless;
    for (Label* each : {&label, &fontless})
    {
        each->setMargin(Size(4, 2));
        each->setBackgroundColor(Box);
        each->setDrawBackground(true);
        each->setPosition(100, 100);
        each->draw();
    }
    EXPECT_TRUE(shows(Background, {96, 98, 100, 100}));
    fontless.setText("HELLO");
    fontless.draw();
    EXPECT_TRUE(shows(Background, {96, 98, 100, 100}));
    label.setText("SCORE");
    label.draw();
    // The box spans (-4, -2) to (84, 18) around the position, the text (0, 0) to (80, 16).
    EXPECT_TRUE(shows(Box, {96, 98, 183, 117, 99, 100, 180, 100}));
    EXPECT_TRUE(shows(Background, {95, 98, 96, 97, 184, 117, 183, 118}));
    EXPECT_TRUE(shows(glyphColor(19), {100, 100})); // S
    EXPECT_TRUE(shows(glyphColor(5), {179, 115}));  // E
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);
}

TEST_F(LabelTest, TextTakesTheEntityColourAndTransformAndAnInvalidCharacterThrowsOnlyWhenDrawn)
{
    Label label("sheet");
    constexpr Color Magenta(255, 0, 255, 255);
    label.setText("score");
    label.setColor(Magenta);
    label.setPosition(10, 10);
    label.setScale(2.0f);
    label.draw();
    EXPECT_TRUE(shows(glyphColor(19, Magenta), {10, 10, 41, 41}));
    EXPECT_TRUE(shows(glyphColor(3, Magenta), {42, 41}));
    EXPECT_TRUE(shows(Background, {170, 10}));

    fillBackground();
    EXPECT_NO_THROW(label.setText("A%"));
    glColor4ub(10, 20, 30, 40);
    GLint depth[2] = {};
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth[0]);
    EXPECT_THROW(label.draw(), GenericFontException);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth[1]);
    EXPECT_TRUE(shows(glyphColor(1, Magenta), {10, 10}));
    EXPECT_TRUE(shows(Background, {42, 10}));
    // The matrix and the colour are as they were before the draw.
    EXPECT_EQ(std::pair(depth[1], Painter::getColor()), std::pair(depth[0], Color(10, 20, 30, 40)));
}

TEST_F(LabelTest, LabelsShareTheirFontReleaseItBeforeLoadingAnotherAndTheLastOneFreesIt)
{
    save(TestSupport::glyphSheet(8, 8), "other.png");
    auto first = std::make_unique<Label>("sheet");
    Label second("sheet");
    EXPECT_EQ(std::pair(first->getFont(), m_fonts.getReferenceCount("sheet")),
              std::pair(second.getFont(), 2));
    const GLuint name = second.getFont()->getTexture()->getGlName();
    first.reset();
    EXPECT_EQ(m_fonts.getReferenceCount("sheet"), 1);
    second.setText("AB");
    second.draw();
    EXPECT_TRUE(shows(glyphColor(2), {16, 0}));

    Label keeper("other");
    second.setFont("other");
    second.setFont("other");
    EXPECT_EQ(
        std::tuple(second.getFont(), second.getFont()->getGlyphSize(), m_fonts.getReferenceCount("other")),
        std::tuple(keeper.getFont(), Size(8, 8), 2));
    EXPECT_EQ(
        std::tuple(m_fonts.getReferenceCount("sheet"), m_factory.getTextureMapCount(), glIsTexture(name)),
        std::tuple(0, std::size_t{1}, GLboolean{GL_FALSE}));
    // A font that fails to load leaves the label with none, the old one already released.
    EXPECT_THROW(second.setFont("absent"), FileNotFoundException);
    EXPECT_EQ(std::pair(second.getFont(), m_fonts.getReferenceCount("other")),
              std::pair(static_cast<Font*>(nullptr), 1));
    fillBackground();
    second.draw();
    EXPECT_TRUE(shows(Background, {0, 0}));
}

TEST_F(FontManagerTest, GlyphsAreAnEighthOfTheImageInEachDirectionAndBlackIsTransparent)
{
    save(TestSupport::TestImage(100, 100, White), "odd.png");
    save(TestSupport::glyphSheet(16, 12), "flat.png");
    EXPECT_EQ(m_fonts.loadFont("odd")->getGlyphSize(), Size(12, 12));
    EXPECT_EQ(
        std::pair(m_fonts.loadFont("flat")->getTextSize("SCORE"), m_fonts.loadFont("flat")->getTextSize("")),
        std::pair(Size(80, 12), Size(0, 12)));
    // The left half of "A" is black.
    save(TestSupport::glyphSheet(16, 16).fill(16, 0, 8, 16, Color(0, 0, 0, 255)), "holes.png", false);
    Painter().drawText("A", Point(10, 10), m_fonts.loadFont("holes"), Painter::AlignLeft, Painter::AlignTop);
    EXPECT_TRUE(shows(Background, {10, 10, 17, 25}));
    EXPECT_TRUE(shows(TestSupport::glyphColor(1), {18, 10}));
}

TEST_F(FontManagerTest, SheetsNeedingSeveralTilesOrUnreadableAreRejectedAndNothingStaysLoaded)
{
    save(TestSupport::TestImage(600, 600, White), "huge.png");
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        EXPECT_TRUE(throwsWith<FontLoadFailedException>([this] { m_fonts.loadFont("huge"); },
                                                        "Invalid font graphics size.", "src/FontManager"));
    }
    const std::string whole = m_dir.readFile("sheet.png");
    m_dir.writeFile("junk.png", "GIF89a but not really");
    m_dir.writeFile("truncated.png", whole.substr(0, whole.size() / 2));
    m_dir.writeFile("empty.png", "");
    for (const std::string name : {"absent", "junk", "truncated", "empty", "huge"})
    {
        const std::string path = m_dir.file(name + ".png");
        EXPECT_TRUE(name == "huge" ||
                    throwsWith<FileNotFoundException>([&] { m_fonts.loadFont(name); },
                                                      "Could not load file: " + path, "src/TextureFactory"));
        EXPECT_EQ(m_fonts.getReferenceCount(name), 0);
    }
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);
}
