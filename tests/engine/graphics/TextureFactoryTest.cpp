#include "engine/graphics/TextureFactory.h"

#include "engine/base/Exception.h"
#include "engine/graphics/Painter.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureMap.h"
#include "engine/graphics/TextureSource.h"

#include "tests/engine/graphics/GraphicsFixture.h"
#include "tests/support/PrintTo.h"
#include "tests/support/Throws.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstring>

using namespace Fernhouse::Base;
using namespace Fernhouse::Graphics;
using TestSupport::coordinateImage;
using TestSupport::pixel;
using TestSupport::TestImage;
using TestSupport::throwsWith;

namespace
{

constexpr Color Magenta(255, 0, 255, 255);

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
                const auto texels =
                    TestSupport::readTexture(map.getTexture(column, row)->getGlName(), tile.w, tile.h);
                for (std::uint32_t i = 0; i < texels.size(); ++i)
                {
                    const int ix = static_cast<int>(column * tile.w + i % tile.w);
                    const int iy = static_cast<int>(row * tile.h + i / tile.w);
                    const bool inside = ix < image.width() && iy < image.height();
                    mismatches += texels[i] != (inside ? image.at(ix, iy) : Color()) ? 1 : 0;
                }
            }
        }
        return mismatches;
    }

    // One blended quad of the whole texture at (x, y), 1:1, over whatever is there.
    static void drawTexture(const Texture* texture, int x, int y)
    {
        const auto w = static_cast<std::uint32_t>(texture->getWidth());
        const auto h = static_cast<std::uint32_t>(texture->getHeight());
        Painter::drawTexture(Rect(x, y, w, h), texture, Rect(0, 0, w, h));
    }

    // Replaces the GL context the way a change of window decoration does, comes back to the shared
    // window's mode and starts the frame again as the screen would.
    ::testing::AssertionResult replaceContext()
    {
        const Uint32 flags = SDL_GetVideoSurface()->flags & (SDL_HWSURFACE | SDL_OPENGL | SDL_ANYFORMAT);
        for (const Uint32 mode : {flags | SDL_NOFRAME, flags})
        {
            if (SDL_SetVideoMode(TestSupport::WindowWidth, TestSupport::WindowHeight, 32, mode) == nullptr)
            {
                return ::testing::AssertionFailure() << SDL_GetError();
            }
        }
        GraphicsTest::SetUp();
        fillBackground();
        return ::testing::AssertionSuccess();
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

    const TextureFactory& m_factory;
    const Texture* m_original;
    mutable int m_renders = 0;
};

} // namespace

TEST_F(TextureFactoryTest, TileSidesArePowersOfTwoFrom64To512WastingLeastAndTheLargerWinsATie)
{
    // 100: 64 and 128 both waste 28; 1000: every size wastes 24.
    const std::pair<std::uint32_t, std::uint32_t> best[] = {{100, 128},  {200, 256}, {300, 64}, {600, 128},
                                                            {1000, 512}, {50, 64},   {512, 512}};
    for (const auto& [side, tile] : best)
    {
        EXPECT_EQ(m_factory.bestTileSize(side), tile) << side;
    }
    for (const std::uint32_t side : {0u, 32u, 63u, 65u, 96u, 1024u})
    {
        EXPECT_FALSE(m_factory.isTileSizeAllowed(side)) << side;
    }
    for (const std::uint32_t side : {64u, 128u, 256u, 512u})
    {
        EXPECT_TRUE(m_factory.isTileSizeAllowed(side)) << side;
    }
}

TEST_F(TextureFactoryTest, ImagesAreCutIntoTilesOfTheBestSizeAndPaddedWithTransparentBlack)
{
    struct Case
    {
        Size image, grid, tile;
    };

    // An allowed side is kept only when the other one is allowed too.
    const Case cases[] = {{{64, 64}, {1, 1}, {64, 64}},    {{512, 256}, {1, 1}, {512, 256}},
                          {{100, 50}, {1, 1}, {128, 64}},  {{300, 200}, {5, 1}, {64, 256}},
                          {{1000, 10}, {2, 1}, {512, 64}}, {{300, 64}, {5, 1}, {64, 64}},
                          {{64, 300}, {1, 5}, {64, 64}}};
    for (const Case& c : cases)
    {
        const TestImage image = coordinateImage(static_cast<int>(c.image.w), static_cast<int>(c.image.h));
        TextureMap* map = m_factory.createTextureMap(save(image, "image.png"), nullptr);
        EXPECT_EQ(map->getGridSize(), c.grid) << c.image.w << "x" << c.image.h;
        EXPECT_EQ(map->getTileSize(), c.tile) << c.image.w << "x" << c.image.h;
        EXPECT_EQ(map->getImageSize(), c.image);
        EXPECT_EQ(tileMismatches(*map, image), 0) << c.image.w << "x" << c.image.h;
        m_factory.freeTextureMap(map);
    }
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);

    // Drawn whole, the padding of the last tile lets the background through.
    TextureMap* map = m_factory.createTextureMap(save(coordinateImage(300, 200), "wide.png"), nullptr);
    fillBackground();
    drawTexture(map->getTexture(4, 0), 0, 0);
    EXPECT_RGB(pixel(43, 199), 43, 199, 16); // image pixel (299, 199)
    expectBackground(44, 0);
    expectBackground(0, 200);
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

    // Partial alpha reaches the texture unchanged instead of being blended into the scratch surface; it
    // cannot be cut out, and neither can an alpha of 1 in the last texel.
    TestImage translucent = coordinateImage(64, 20);
    translucent.fill(0, 0, 32, 20, Color(200, 100, 50, 128));
    TextureMap* map = m_factory.createTextureMap(save(translucent, "alpha.png"), nullptr);
    EXPECT_EQ(tileMismatches(*map, translucent), 0);
    EXPECT_FALSE(map->getTexture(0, 0)->isCutOut());
    TestImage lastTexel = coordinateImage(64, 64);
    lastTexel.set(63, 63, Color(1, 2, 3, 1));
    EXPECT_FALSE(
        m_factory.createTextureMap(save(lastTexel, "last.png"), nullptr)->getTexture(0, 0)->isCutOut());

    // Keyed pixels and opaque ones only: a picture that can be cut out instead of blended.
    TestImage keyed = coordinateImage(64, 64);
    keyed.fill(0, 0, 8, 8, Magenta);
    TextureMap* keyedMap = m_factory.createTextureMap(save(keyed, "keyed64.png"), &Magenta);
    EXPECT_TRUE(keyedMap->getTexture(0, 0)->isCutOut());
    EXPECT_TRUE(m_factory.createTextureMap(save(coordinateImage(64, 64), "opaque.png"), nullptr)
                    ->getTexture(0, 0)
                    ->isCutOut());
    fillBackground();
    drawTexture(keyedMap->getTexture(0, 0), 100, 100);
    expectBackground(107, 107);
    EXPECT_RGB(pixel(108, 107), 8, 7, 0);
}

TEST_F(TextureFactoryTest, ExplicitTileSizeMustBeAllowedOnBothSides)
{
    const TestImage image = coordinateImage(100, 50);
    const std::string path = save(image, "tiles.png");
    for (const Size& tile : {Size(64, 100), Size(100, 64), Size(1024, 64)})
    {
        EXPECT_TRUE(throwsWith<TextureCreationFailedException>(
            [&] { m_factory.createTextureMap(path, tile, nullptr); }, "Tile size not allowed.",
            "src/TextureFactory"));
    }
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);
    TextureMap* map = m_factory.createTextureMap(path, Size(64, 64), nullptr);
    EXPECT_EQ(map->getGridSize(), Size(2, 1));
    EXPECT_EQ(tileMismatches(*map, image), 0);
}

TEST_F(TextureFactoryTest, MissingJunkTruncatedAndEmptyFilesThrowFileNotFoundAndRegisterNothing)
{
    save(coordinateImage(64, 64), "whole.png");
    const std::string whole = m_dir.readFile("whole.png");
    m_dir.writeFile("junk.png", "this is no picture at all");
    m_dir.writeFile("truncated.png", whole.substr(0, whole.size() / 2));
    m_dir.writeFile("empty.png", "");
    for (const std::string name : {"absent.png", "junk.png", "truncated.png", "empty.png"})
    {
        const std::string path = m_dir.file(name);
        EXPECT_TRUE(throwsWith<FileNotFoundException>([&] { m_factory.createTextureMap(path, nullptr); },
                                                      "Could not load file: " + path, "src/TextureFactory"));
    }
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);
}

TEST_F(TextureFactoryTest, FreeingDeletesTheTexturesAndIgnoresUnknownMaps)
{
    TextureMap* first = m_factory.createTextureMap(save(coordinateImage(300, 10), "a.png"), nullptr);
    TextureMap* second = m_factory.createTextureMap(save(coordinateImage(64, 64), "b.png"), &Magenta);
    std::vector<GLuint> names;
    for (std::uint32_t column = 0; column < first->getGridSize().w; ++column)
    {
        names.push_back(first->getTexture(column, 0)->getGlName());
        EXPECT_EQ(glIsTexture(names.back()), GL_TRUE);
    }
    m_factory.freeTextureMap(first);
    for (GLuint name : names)
    {
        EXPECT_EQ(glIsTexture(name), GL_FALSE);
    }
    TextureMap stranger(Size(64, 64), Size(1, 1), Size(64, 64));
    m_factory.freeTextureMap(&stranger);
    m_factory.freeTextureMap(nullptr);
    m_factory.freeTextureMap(first);
    EXPECT_EQ(m_factory.getTextureMapCount(), 1u);
    EXPECT_EQ(glIsTexture(second->getTexture(0, 0)->getGlName()), GL_TRUE);
}

TEST_F(TextureFactoryTest, ReloadAfterTheContextWasReplacedRemakesFilesThenSourcesInTheSameObjects)
{
    TestImage keyedImage = coordinateImage(100, 50);
    keyedImage.fill(0, 0, 10, 10, Magenta);
    const TestImage square = coordinateImage(256, 256);
    TextureMap* keyed = m_factory.createTextureMap(save(keyedImage, "keyed.png", false), &Magenta);
    TextureMap* file = m_factory.createTextureMap(save(square, "file.png"), nullptr);
    MirrorSource source(m_factory, file->getTexture(0, 0));
    EXPECT_THROW(m_factory.createTextureMap(&source, Size(100, 128)), TextureCreationFailedException);
    EXPECT_EQ(source.m_renders, 0);
    TextureMap* mirror = m_factory.createTextureMap(&source, Size(128, 64));
    EXPECT_EQ(mirror->getGridSize(), Size(2, 4));
    EXPECT_EQ(tileMismatches(*mirror, square), 0);
    Texture* keyedTexture = keyed->getTexture(0, 0);
    Texture* lastTile = mirror->getTexture(1, 3);
    const GLuint oldName = keyedTexture->getGlName();

    // A frameless mode cannot keep the context; returning to the framed mode replaces it once more.
    ASSERT_TRUE(replaceContext());
    EXPECT_EQ(glIsTexture(oldName), GL_FALSE) << "the old context survived; this test proves less";
    m_factory.reloadAll();
    EXPECT_EQ(m_factory.getTextureMapCount(), 3u);
    EXPECT_EQ(source.m_renders, 2);
    EXPECT_EQ(keyed->getTexture(0, 0), keyedTexture);
    EXPECT_EQ(mirror->getTexture(1, 3), lastTile);
    EXPECT_EQ(tileMismatches(*mirror, square), 0);
    keyedImage.fill(0, 0, 10, 10, Color());
    EXPECT_EQ(tileMismatches(*keyed, keyedImage), 0);
    drawTexture(keyedTexture, 0, 0);
    expectBackground(9, 9);
    EXPECT_RGB(pixel(10, 10), 10, 10, 0);

    const GLuint name = lastTile->getGlName();
    m_factory.freeTextureMap(mirror);
    EXPECT_EQ(m_factory.getTextureMapCount(), 2u);
    EXPECT_EQ(glIsTexture(name), GL_FALSE);
}
