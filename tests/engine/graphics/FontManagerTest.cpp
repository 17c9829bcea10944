#include "engine/graphics/FontManager.h"

#include "engine/base/Exception.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/Painter.h"
#include "engine/graphics/Texture.h"

#include "tests/engine/graphics/GraphicsFixture.h"
#include "tests/support/PrintTo.h"
#include "tests/support/Throws.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

using namespace Fernhouse::Base;
using namespace Fernhouse::Graphics;
using TestSupport::TestImage;
using TestSupport::throwsWith;

namespace
{

const std::string Tag = "src/FontManager";

class FontManagerTest : public TestSupport::GraphicsTest
{
};

} // namespace

TEST_F(FontManagerTest, OneNameSharesOneFontUntilTheLastFree)
{
    saveFont("shared", 16, 16);
    Font* first = m_fonts.loadFont("shared");
    EXPECT_EQ(m_fonts.loadFont("shared"), first);
    EXPECT_EQ(m_fonts.getReferenceCount("shared"), 2);
    EXPECT_EQ(m_factory.getTextureMapCount(), 1u);
    const GLuint name = first->getTexture()->getGlName();
    m_fonts.freeFont("shared");
    EXPECT_EQ(glIsTexture(name), GL_TRUE);
    m_fonts.freeFont(first);
    EXPECT_EQ(m_fonts.getReferenceCount("shared"), 0);
    EXPECT_EQ(glIsTexture(name), GL_FALSE);
    const std::string notLoaded = "Cannot free a font that is not loaded.";
    EXPECT_TRUE(throwsWith<ArgumentException>([this] { m_fonts.freeFont("shared"); }, notLoaded, Tag));
    EXPECT_TRUE(throwsWith<ArgumentException>([this] { m_fonts.freeFont("never"); }, notLoaded, Tag));
    EXPECT_TRUE(throwsWith<ArgumentException>([this] { m_fonts.freeFont(static_cast<const Font*>(nullptr)); },
                                              "Cannot free a null font.", Tag));
}

TEST_F(FontManagerTest, GlyphsAreAnEighthOfTheImageInEachDirectionAndBlackIsTransparent)
{
    saveFont("flat", 16, 12);
    save(TestImage(100, 100, White), "odd.png");
    EXPECT_EQ(m_fonts.loadFont("odd")->getGlyphSize(), Size(12, 12));
    Font* flat = m_fonts.loadFont("flat");
    EXPECT_EQ(flat->getTextSize("SCORE"), Size(80, 12));
    EXPECT_EQ(flat->getTextSize(""), Size(0, 12));

    TestImage sheet = TestSupport::glyphSheet(16, 16);
    sheet.fill(16, 0, 8, 16, Color(0, 0, 0, 255)); // left half of "A"
    sheet.savePng(m_dir.file("holes.png"), false);
    fillBackground();
    Painter().drawText("A", Point(10, 10), m_fonts.loadFont("holes"), Painter::AlignLeft, Painter::AlignTop);
    expectBackground(10, 10);
    expectBackground(17, 25);
    expectGlyph(18, 10, 1);
}

TEST_F(FontManagerTest, SheetNeedingSeveralTilesOrUnreadableIsRejectedAndNothingStaysLoaded)
{
    save(TestImage(600, 600, White), "huge.png");
    for (int attempt = 0; attempt < 2; ++attempt)
    {
        EXPECT_TRUE(throwsWith<FontLoadFailedException>([this] { m_fonts.loadFont("huge"); },
                                                        "Invalid font graphics size.", Tag));
    }
    m_dir.writeFile("junk.png", "GIF89a but not really");
    for (const std::string name : {"absent", "junk"})
    {
        const std::string path = m_dir.file(name + ".png");
        EXPECT_TRUE(throwsWith<FileNotFoundException>([&] { m_fonts.loadFont(name); },
                                                      "Could not load file: " + path, "src/TextureFactory"));
        EXPECT_EQ(m_fonts.getReferenceCount(name), 0);
    }
    EXPECT_EQ(m_fonts.getReferenceCount("huge"), 0);
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);
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
    }
    EXPECT_EQ(FontManager::getInstance(), nullptr);
    EXPECT_EQ(factory.getTextureMapCount(), 0u);
}
