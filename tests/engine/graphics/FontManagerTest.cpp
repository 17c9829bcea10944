#include "engine/graphics/FontManager.h"

#include "engine/base/Exception.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/Painter.h"
#include "engine/graphics/Texture.h"

#include "tests/engine/graphics/GraphicsFixture.h"
#include "tests/support/PrintTo.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <functional>

using namespace Fernhouse::Base;
using namespace Fernhouse::Graphics;
using TestSupport::glyphColor;
using TestSupport::pixel;
using TestSupport::TestImage;

namespace
{

class FontManagerTest : public TestSupport::GraphicsTest
{
};

template <typename E> void expectError(const std::function<void()>& action, const std::string& message)
{
    try
    {
        action();
        ADD_FAILURE() << "no exception, expected \"" << message << "\"";
    }
    catch (const E& e)
    {
        EXPECT_EQ(e.getMessage(), message);
        EXPECT_EQ(e.getFile(), "src/FontManager");
    }
}

} // namespace

TEST_F(FontManagerTest, OneNameSharesOneFontUntilTheLastFree)
{
    saveFont("shared", 16, 16);
    Font* first = m_fonts.loadFont("shared");
    Font* second = m_fonts.loadFont("shared");
    EXPECT_EQ(first, second);
    EXPECT_EQ(first->getName(), "shared");
    EXPECT_EQ(m_fonts.getReferenceCount("shared"), 2);
    EXPECT_EQ(m_factory.getTextureMapCount(), 1u);
    const GLuint name = first->getTexture()->getGlName();

    m_fonts.freeFont("shared");
    EXPECT_EQ(m_fonts.getReferenceCount("shared"), 1);
    EXPECT_EQ(glIsTexture(name), GL_TRUE);
    m_fonts.freeFont(second);
    EXPECT_EQ(m_fonts.getReferenceCount("shared"), 0);
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);
    EXPECT_EQ(glIsTexture(name), GL_FALSE);

    // Loaded again from the file under a new object.
    Font* again = m_fonts.loadFont("shared");
    EXPECT_EQ(m_fonts.getReferenceCount("shared"), 1);
    m_fonts.freeFont(again);
}

TEST_F(FontManagerTest, GlyphsAreAnEighthOfTheImageInEachDirection)
{
    saveFont("big", 32, 32);
    saveFont("flat", 16, 12);
    save(TestImage(100, 100, Color(255, 255, 255, 255)), "odd.png");
    Font* big = m_fonts.loadFont("big");
    Font* flat = m_fonts.loadFont("flat");
    Font* odd = m_fonts.loadFont("odd");
    EXPECT_EQ(big->getGlyphSize(), Size(32, 32));
    EXPECT_EQ(flat->getGlyphSize(), Size(16, 12));
    EXPECT_EQ(odd->getGlyphSize(), Size(12, 12));
    EXPECT_EQ(odd->getTexture()->getWidth(), 128u);
    EXPECT_EQ(flat->getTextSize("SCORE"), Size(80, 12));
    EXPECT_EQ(flat->getTextSize(""), Size(0, 12));
}

TEST_F(FontManagerTest, BlackPixelsOfTheSheetAreTransparent)
{
    TestImage sheet = TestSupport::glyphSheet(16, 16);
    sheet.fill(16, 0, 8, 16, Color(0, 0, 0, 255)); // left half of "A"
    sheet.savePng(m_dir.file("holes.png"), false);
    Font* font = m_fonts.loadFont("holes");
    fillBackground();
    Painter painter;
    painter.drawText("A", Point(10, 10), font, Painter::AlignLeft, Painter::AlignTop);
    EXPECT_RGB(pixel(10, 10), Background.r, Background.g, Background.b);
    EXPECT_RGB(pixel(17, 25), Background.r, Background.g, Background.b);
    const Color a = glyphColor(1);
    EXPECT_RGB(pixel(18, 10), a.r, a.g, a.b);
}

TEST_F(FontManagerTest, SheetNeedingSeveralTilesIsRejectedAndNothingStaysLoaded)
{
    save(TestImage(600, 600, Color(255, 255, 255, 255)), "huge.png");
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        expectError<FontLoadFailedException>([this] { m_fonts.loadFont("huge"); },
                                             "Invalid font graphics size.");
        EXPECT_EQ(m_fonts.getReferenceCount("huge"), 0);
        EXPECT_EQ(m_factory.getTextureMapCount(), 0u);
    }
}

TEST_F(FontManagerTest, MissingOrBrokenFontFilesPassTheLoadingErrorOn)
{
    const std::string missing = m_dir.file("absent.png");
    try
    {
        m_fonts.loadFont("absent");
        ADD_FAILURE() << "no exception";
    }
    catch (const FileNotFoundException& e)
    {
        EXPECT_EQ(e.getMessage(), "Could not load file: " + missing);
    }
    m_dir.writeFile("junk.png", "GIF89a but not really");
    EXPECT_THROW(m_fonts.loadFont("junk"), FileNotFoundException);
    EXPECT_EQ(m_fonts.getReferenceCount("absent"), 0);
    EXPECT_EQ(m_fonts.getReferenceCount("junk"), 0);
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);
}

TEST_F(FontManagerTest, FreeingAFontNotLoadedOrNullIsAnArgumentError)
{
    expectError<ArgumentException>([this] { m_fonts.freeFont("never"); },
                                   "Cannot free a font that is not loaded.");
    expectError<ArgumentException>([this] { m_fonts.freeFont(static_cast<const Font*>(nullptr)); },
                                   "Cannot free a null font.");

    saveFont("once", 16, 16);
    m_fonts.loadFont("once");
    m_fonts.freeFont("once");
    expectError<ArgumentException>([this] { m_fonts.freeFont("once"); },
                                   "Cannot free a font that is not loaded.");
}

TEST(FontManagerLifetime, DestroyingTheManagerFreesFontsStillHeld)
{
    const std::string error = TestSupport::ensureGLWindow();
    ASSERT_TRUE(error.empty()) << error;
    TestSupport::TempDir dir;
    TestSupport::glyphSheet(16, 16).savePng(dir.file("kept.png"));
    TextureFactory factory;
    {
        FontManager fonts(dir.path().string() + "/", ".png");
        EXPECT_EQ(FontManager::getInstance(), &fonts);
        fonts.loadFont("kept");
        fonts.loadFont("kept");
        EXPECT_EQ(factory.getTextureMapCount(), 1u);
    }
    EXPECT_EQ(FontManager::getInstance(), nullptr);
    EXPECT_EQ(factory.getTextureMapCount(), 0u);
}
