#include "engine/graphics/TextureFactory.h"

#include "engine/base/Exception.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/Image.h"
#include "engine/graphics/Label.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureMap.h"
#include "engine/graphics/TextureSource.h"

#include "tests/engine/graphics/GraphicsFixture.h"
#include "tests/engine/graphics/TestImage.h"
#include "tests/support/PrintTo.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

using namespace Fernhouse::Base;
using namespace Fernhouse::Graphics;
using Fernhouse::GUI::Label;
using TestSupport::coordinateImage;
using TestSupport::pixel;
using TestSupport::readTexture;
using TestSupport::TestImage;

namespace
{

constexpr Color Magenta(255, 0, 255, 255);
constexpr Color Grey = TestSupport::GraphicsTest::Background;

class TextureFactoryTest : public TestSupport::GraphicsTest
{
protected:
    // Counts texels of every tile that differ from the image, or from transparent black beyond its edges.
    static int tileMismatches(const TextureMap& map, const TestImage& image)
    {
        int mismatches = 0;
        const Size tile = map.getTileSize();
        for (std::uint32_t column = 0; column < map.getGridSize().w; ++column)
        {
            for (std::uint32_t row = 0; row < map.getGridSize().h; ++row)
            {
                const Texture* texture = map.getTexture(column, row);
                const auto texels = readTexture(texture->getGlName(), tile.w, tile.h);
                for (std::uint32_t y = 0; y < tile.h; ++y)
                {
                    for (std::uint32_t x = 0; x < tile.w; ++x)
                    {
                        const int ix = static_cast<int>(column * tile.w + x);
                        const int iy = static_cast<int>(row * tile.h + y);
                        const bool inside = ix < image.width() && iy < image.height();
                        const Color expected = inside ? image.at(ix, iy) : Color();
                        if (texels[y * tile.w + x] != expected && ++mismatches <= 3)
                        {
                            ADD_FAILURE() << "tile " << column << "," << row << " texel " << x << "," << y;
                        }
                    }
                }
            }
        }
        return mismatches;
    }

    // One blended quad of the whole texture at (x, y), 1:1, over whatever is there.
    static void drawTexture(const Texture* texture, int x, int y)
    {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture->getGlName());
        const int w = static_cast<int>(texture->getWidth());
        const int h = static_cast<int>(texture->getHeight());
        glBegin(GL_QUADS);
        glTexCoord2i(0, 0);
        glVertex2i(x, y);
        glTexCoord2i(1, 0);
        glVertex2i(x + w, y);
        glTexCoord2i(1, 1);
        glVertex2i(x + w, y + h);
        glTexCoord2i(0, 1);
        glVertex2i(x, y + h);
        glEnd();
        glDisable(GL_TEXTURE_2D);
    }

    // Replaces the GL context the way a change of window decoration does, and comes back to the
    // shared window's mode; returns false with the SDL error when a mode cannot be set.
    static ::testing::AssertionResult replaceContext()
    {
        SDL_Surface* screen = SDL_GetVideoSurface();
        if (screen == nullptr)
        {
            return ::testing::AssertionFailure() << "no window";
        }
        const Uint32 flags = screen->flags & (SDL_HWSURFACE | SDL_OPENGL | SDL_ANYFORMAT);
        for (const Uint32 mode : {flags | SDL_NOFRAME, flags})
        {
            if (SDL_SetVideoMode(TestSupport::WindowWidth, TestSupport::WindowHeight, 32, mode) == nullptr)
            {
                return ::testing::AssertionFailure() << SDL_GetError();
            }
        }
        return ::testing::AssertionSuccess();
    }

    // The mode switch reset the projection; start the frame again as the screen would.
    void restartFrame()
    {
        GraphicsTest::SetUp();
        fillBackground();
    }
};

// Copies a texture of the factory's, so that its pixels come out right only if the files are back first.
class MirrorSource final : public TextureSource
{
public:
    MirrorSource(const TextureFactory& factory, const Texture* original)
        : m_factory(factory),
          m_original(original)
    {
    }

    SDL_Surface* render() const override
    {
        ++m_renders;
        const std::vector<std::uint8_t> pixels = m_original->readPixels();
        SDL_Surface* surface = m_factory.createSurface(m_original->getWidth(), m_original->getHeight());
        std::memcpy(surface->pixels, pixels.data(), pixels.size());
        return surface;
    }

    int getRenders() const { return m_renders; }

private:
    const TextureFactory& m_factory;
    const Texture* m_original;
    mutable int m_renders = 0;
};

void expectLoadFailure(TextureFactory& factory, const std::string& path)
{
    try
    {
        factory.createTextureMap(path, nullptr);
        ADD_FAILURE() << "no exception for " << path;
    }
    catch (const FileNotFoundException& e)
    {
        EXPECT_EQ(e.getMessage(), "Could not load file: " + path);
        EXPECT_EQ(e.getFile(), "src/TextureFactory");
    }
    EXPECT_EQ(factory.getTextureMapCount(), 0u);
}

} // namespace

TEST_F(TextureFactoryTest, TileSidesWasteLeastAndTheLargerSizeWinsATie)
{
    EXPECT_EQ(m_factory.bestTileSize(100), 128u); // 64 and 128 both waste 28
    EXPECT_EQ(m_factory.bestTileSize(200), 256u);
    EXPECT_EQ(m_factory.bestTileSize(300), 64u);
    EXPECT_EQ(m_factory.bestTileSize(600), 128u);
    EXPECT_EQ(m_factory.bestTileSize(1000), 512u); // every size wastes 24
    EXPECT_EQ(m_factory.bestTileSize(50), 64u);
    EXPECT_EQ(m_factory.bestTileSize(512), 512u);

    EXPECT_FALSE(m_factory.isTileSizeAllowed(0));
    EXPECT_FALSE(m_factory.isTileSizeAllowed(32));
    EXPECT_TRUE(m_factory.isTileSizeAllowed(64));
    EXPECT_FALSE(m_factory.isTileSizeAllowed(96));
    EXPECT_TRUE(m_factory.isTileSizeAllowed(128));
    EXPECT_TRUE(m_factory.isTileSizeAllowed(256));
    EXPECT_TRUE(m_factory.isTileSizeAllowed(512));
    EXPECT_FALSE(m_factory.isTileSizeAllowed(1024));
}

TEST_F(TextureFactoryTest, ImagesOfAllowedSizesBecomeOneTileOfExactlyTheirSize)
{
    for (const auto& [w, h] : {std::pair(64, 64), std::pair(512, 256)})
    {
        const TestImage image = coordinateImage(w, h);
        TextureMap* map = m_factory.createTextureMap(save(image, "exact.png"), nullptr);
        const Size size(static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h));
        EXPECT_EQ(map->getGridSize(), Size(1, 1));
        EXPECT_EQ(map->getTileSize(), size);
        EXPECT_EQ(map->getImageSize(), size);
        EXPECT_EQ(map->getTexture(0, 0)->getWidth(), size.w);
        EXPECT_EQ(map->getTexture(0, 0)->getHeight(), size.h);
        EXPECT_EQ(tileMismatches(*map, image), 0);
        m_factory.freeTextureMap(map);
    }
}

TEST_F(TextureFactoryTest, SmallImageIsPaddedWithTransparentBlackInOneTexture)
{
    const TestImage image = coordinateImage(100, 50);
    TextureMap* map = m_factory.createTextureMap(save(image, "small.png"), nullptr);
    EXPECT_EQ(map->getGridSize(), Size(1, 1));
    EXPECT_EQ(map->getTileSize(), Size(128, 64));
    EXPECT_EQ(map->getImageSize(), Size(100, 50));
    EXPECT_EQ(tileMismatches(*map, image), 0);

    fillBackground();
    drawTexture(map->getTexture(0, 0), 10, 20);
    EXPECT_RGB(pixel(10, 20), 0, 0, 0);
    EXPECT_RGB(pixel(109, 69), 99, 49, 0);
    EXPECT_RGB(pixel(110, 20), Grey.r, Grey.g, Grey.b);
    EXPECT_RGB(pixel(10, 70), Grey.r, Grey.g, Grey.b);
    EXPECT_RGB(pixel(137, 83), Grey.r, Grey.g, Grey.b);
}

TEST_F(TextureFactoryTest, ImageWiderThanATileIsCutIntoTiles)
{
    const TestImage wide = coordinateImage(300, 200);
    TextureMap* map = m_factory.createTextureMap(save(wide, "wide.png"), nullptr);
    EXPECT_EQ(map->getGridSize(), Size(5, 1));
    EXPECT_EQ(map->getTileSize(), Size(64, 256));
    EXPECT_EQ(map->getImageSize(), Size(300, 200));
    EXPECT_EQ(tileMismatches(*map, wide), 0);

    fillBackground();
    drawTexture(map->getTexture(4, 0), 0, 0);
    EXPECT_RGB(pixel(43, 199), 43, 199, 16); // image pixel (299, 199)
    EXPECT_RGB(pixel(44, 0), Grey.r, Grey.g, Grey.b);
    EXPECT_RGB(pixel(0, 200), Grey.r, Grey.g, Grey.b);

    const TestImage strip = coordinateImage(1000, 10);
    TextureMap* stripMap = m_factory.createTextureMap(save(strip, "strip.png"), nullptr);
    EXPECT_EQ(stripMap->getGridSize(), Size(2, 1));
    EXPECT_EQ(stripMap->getTileSize(), Size(512, 64));
    EXPECT_EQ(tileMismatches(*stripMap, strip), 0);
    EXPECT_EQ(m_factory.getTextureMapCount(), 2u);
}

TEST_F(TextureFactoryTest, ColorKeyedPixelsAreTransparentAndAlphaIsCopied)
{
    // An RGB image keyed on magenta, once in one padded tile and once cut into three.
    for (int width : {70, 130})
    {
        TestImage image = coordinateImage(width, 40);
        image.fill(10, 5, 20, 10, Magenta);
        TextureMap* map = m_factory.createTextureMap(save(image, "keyed.png", false), &Magenta);
        image.fill(10, 5, 20, 10, Color());
        EXPECT_EQ(tileMismatches(*map, image), 0) << "width " << width;
    }

    // Partial alpha reaches the texture unchanged instead of being blended into the scratch surface.
    TestImage translucent = coordinateImage(100, 20);
    translucent.fill(0, 0, 50, 20, Color(200, 100, 50, 128));
    translucent.set(99, 19, Color(1, 2, 3, 1));
    TextureMap* map = m_factory.createTextureMap(save(translucent, "alpha.png"), nullptr);
    EXPECT_EQ(tileMismatches(*map, translucent), 0);
    EXPECT_FALSE(map->getTexture(0, 0)->isCutOut());

    TestImage keyed = coordinateImage(64, 64);
    keyed.fill(0, 0, 8, 8, Magenta);
    TextureMap* keyedMap = m_factory.createTextureMap(save(keyed, "keyed64.png"), &Magenta);
    // Keyed pixels and opaque ones only: a picture that can be cut out instead of blended.
    EXPECT_TRUE(keyedMap->getTexture(0, 0)->isCutOut());
    fillBackground();
    drawTexture(keyedMap->getTexture(0, 0), 100, 100);
    EXPECT_RGB(pixel(100, 100), Grey.r, Grey.g, Grey.b);
    EXPECT_RGB(pixel(107, 107), Grey.r, Grey.g, Grey.b);
    EXPECT_RGB(pixel(108, 107), 8, 7, 0);
}

TEST_F(TextureFactoryTest, ExplicitTileSizeMustBeAllowedOnBothSides)
{
    const TestImage image = coordinateImage(100, 50);
    const std::string path = save(image, "tiles.png");
    try
    {
        m_factory.createTextureMap(path, Size(64, 100), nullptr);
        ADD_FAILURE() << "a tile side of 100 was accepted";
    }
    catch (const TextureCreationFailedException& e)
    {
        EXPECT_EQ(e.getMessage(), "Tile size not allowed.");
    }
    EXPECT_THROW(m_factory.createTextureMap(path, Size(1024, 64), nullptr), TextureCreationFailedException);
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);

    TextureMap* map = m_factory.createTextureMap(path, Size(64, 64), nullptr);
    EXPECT_EQ(map->getGridSize(), Size(2, 1));
    EXPECT_EQ(map->getImageSize(), Size(100, 50));
    EXPECT_EQ(tileMismatches(*map, image), 0);
}

TEST_F(TextureFactoryTest, MissingJunkAndTruncatedFilesThrowFileNotFound)
{
    expectLoadFailure(m_factory, m_dir.file("absent.png"));

    m_dir.writeFile("junk.png", "this is no picture at all");
    expectLoadFailure(m_factory, m_dir.file("junk.png"));

    const std::string whole = save(coordinateImage(64, 64), "whole.png");
    const std::string bytes = m_dir.readFile("whole.png");
    m_dir.writeFile("truncated.png", bytes.substr(0, bytes.size() / 2));
    expectLoadFailure(m_factory, m_dir.file("truncated.png"));
    m_dir.writeFile("empty.png", "");
    expectLoadFailure(m_factory, m_dir.file("empty.png"));
}

TEST_F(TextureFactoryTest, FreeingDeletesTheTexturesAndIgnoresUnknownMaps)
{
    TextureMap* first = m_factory.createTextureMap(save(coordinateImage(300, 10), "a.png"), nullptr);
    TextureMap* second = m_factory.createTextureMap(save(coordinateImage(64, 64), "b.png"), &Magenta);
    std::vector<GLuint> names;
    for (std::uint32_t column = 0; column < first->getGridSize().w; ++column)
    {
        names.push_back(first->getTexture(column, 0)->getGlName());
    }
    for (GLuint name : names)
    {
        EXPECT_EQ(glIsTexture(name), GL_TRUE);
    }

    m_factory.freeTextureMap(first);
    for (GLuint name : names)
    {
        EXPECT_EQ(glIsTexture(name), GL_FALSE);
    }
    EXPECT_EQ(m_factory.getTextureMapCount(), 1u);

    TextureMap stranger(Size(64, 64), Size(1, 1), Size(64, 64));
    m_factory.freeTextureMap(&stranger);
    m_factory.freeTextureMap(nullptr);
    m_factory.freeTextureMap(first);
    EXPECT_EQ(m_factory.getTextureMapCount(), 1u);
    EXPECT_EQ(glIsTexture(second->getTexture(0, 0)->getGlName()), GL_TRUE);
}

TEST_F(TextureFactoryTest, ReloadAfterTheContextWasReplacedKeepsEveryMapDrawable)
{
    TestImage keyedImage = coordinateImage(100, 50);
    keyedImage.fill(0, 0, 10, 10, Magenta);
    const TestImage wideImage = coordinateImage(300, 200);
    TextureMap* keyed = m_factory.createTextureMap(save(keyedImage, "keyed.png", false), &Magenta);
    TextureMap* wide = m_factory.createTextureMap(save(wideImage, "wide.png"), nullptr);
    Texture* keyedTexture = keyed->getTexture(0, 0);
    Texture* lastWideTile = wide->getTexture(4, 0);
    const GLuint oldName = keyedTexture->getGlName();

    // A frameless mode cannot keep the context; returning to the framed mode replaces it once more.
    ASSERT_TRUE(replaceContext());
    restartFrame();
    EXPECT_EQ(glIsTexture(oldName), GL_FALSE) << "the old context survived; this test proves less";

    m_factory.reloadAll();
    EXPECT_EQ(m_factory.getTextureMapCount(), 2u);
    EXPECT_EQ(keyed->getTexture(0, 0), keyedTexture);
    EXPECT_EQ(wide->getTexture(4, 0), lastWideTile);
    keyedImage.fill(0, 0, 10, 10, Color());
    EXPECT_EQ(tileMismatches(*keyed, keyedImage), 0);
    EXPECT_EQ(tileMismatches(*wide, wideImage), 0);

    drawTexture(keyedTexture, 0, 0);
    drawTexture(lastWideTile, 200, 0);
    EXPECT_RGB(pixel(9, 9), Grey.r, Grey.g, Grey.b);
    EXPECT_RGB(pixel(10, 10), 10, 10, 0);
    EXPECT_RGB(pixel(243, 199), 43, 199, 16);
    EXPECT_RGB(pixel(244, 199), Grey.r, Grey.g, Grey.b);
}

TEST_F(TextureFactoryTest, MapsOfASourceAreCutLikeFilesAndMadeAgainAfterTheFilesOnReload)
{
    const TestImage image = coordinateImage(256, 256);
    TextureMap* file = m_factory.createTextureMap(save(image, "file.png"), nullptr);
    MirrorSource source(m_factory, file->getTexture(0, 0));
    EXPECT_THROW(m_factory.createTextureMap(&source, Size(100, 128)), TextureCreationFailedException);
    EXPECT_EQ(source.getRenders(), 0);

    TextureMap* mirror = m_factory.createTextureMap(&source, Size(128, 64));
    EXPECT_EQ(source.getRenders(), 1);
    EXPECT_EQ(mirror->getGridSize(), Size(2, 4));
    EXPECT_EQ(m_factory.getTextureMapCount(), 2u);
    EXPECT_EQ(tileMismatches(*mirror, image), 0);

    Texture* lastTile = mirror->getTexture(1, 3);
    const GLuint oldName = lastTile->getGlName();
    ASSERT_TRUE(replaceContext());
    restartFrame();
    EXPECT_EQ(glIsTexture(oldName), GL_FALSE) << "the old context survived; this test proves less";
    m_factory.reloadAll();
    EXPECT_EQ(source.getRenders(), 2);
    EXPECT_EQ(mirror->getTexture(1, 3), lastTile);
    EXPECT_EQ(tileMismatches(*mirror, image), 0);

    const GLuint name = lastTile->getGlName();
    m_factory.freeTextureMap(mirror);
    EXPECT_EQ(m_factory.getTextureMapCount(), 1u);
    EXPECT_EQ(glIsTexture(name), GL_FALSE);
}

TEST_F(TextureFactoryTest, ImagesFontsAndLabelsStayDrawableAcrossModeChanges)
{
    Image image(save(coordinateImage(100, 50), "picture.png"));
    image.setPosition(10, 20);
    saveFont("sheet", 16, 16);
    Label label("sheet");
    label.setText("AB");
    label.setPosition(300, 300);
    Font* font = label.getFont();
    Texture* glyphs = font->getTexture();
    ASSERT_EQ(m_factory.getTextureMapCount(), 2u);

    // Full screen and back, as the screen switches, then a switch that loses the context.
    ASSERT_EQ(SDL_WM_ToggleFullScreen(SDL_GetVideoSurface()), 1);
    EXPECT_NE(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN, 0u);
    m_factory.reloadAll();
    ASSERT_EQ(SDL_WM_ToggleFullScreen(SDL_GetVideoSurface()), 1);
    m_factory.reloadAll();
    ASSERT_TRUE(replaceContext());
    m_factory.reloadAll();
    restartFrame();

    EXPECT_EQ(m_factory.getTextureMapCount(), 2u);
    EXPECT_EQ(label.getFont(), font);
    EXPECT_EQ(font->getTexture(), glyphs);
    EXPECT_EQ(m_fonts.getReferenceCount("sheet"), 1);
    image.draw();
    label.draw();
    EXPECT_RGB(pixel(10, 20), 0, 0, 0);
    EXPECT_RGB(pixel(109, 69), 99, 49, 0);
    EXPECT_RGB(pixel(137, 83), Grey.r, Grey.g, Grey.b);
    const Color a = TestSupport::glyphColor(1);
    const Color b = TestSupport::glyphColor(2);
    EXPECT_RGB(pixel(300, 300), a.r, a.g, a.b);
    EXPECT_RGB(pixel(331, 315), b.r, b.g, b.b);
    EXPECT_RGB(pixel(332, 315), Grey.r, Grey.g, Grey.b);
}
