#include "engine/graphics/TextureFactory.h"

#include "engine/base/Exception.h"
#include "engine/graphics/Painter.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureMap.h"
#include "engine/graphics/TextureSource.h"

#include "tests/engine/graphics/GraphicsFixture.h"
#include "tests/support/Throws.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstring>

using namespace Fernhouse::Base;
using namespace Fernhouse::Graphics;
using TestSupport::coordinateImage;
using TestSupport::TestImage;
using TestSupport::throwsWith;

namespace
{

constexpr Color Magenta(255, 0, 255, 255);

// Texels of every tile that differ from the image, or from transparent black beyond its edges.
int tileMismatches(const TextureMap& map, const TestImage& image)
{
    int mismatches = 0;
    const Size tile = map.getTileSize();
    for (std::uint32_t t = 0; t < map.getGridSize().w * map.getGridSize().h; ++t)
    {
        const std::uint32_t column = t % map.getGridSize().w, row = t / map.getGridSize().w;
        const std::vector<std::uint8_t> texels = map.getTexture(column, row)->readPixels();
        for (std::uint32_t i = 0; i < tile.w * tile.h; ++i)
        {
            const auto x = static_cast<int>(column * tile.w + i % tile.w);
            const auto y = static_cast<int>(row * tile.h + i / tile.w);
            const Color want = x < image.width && y < image.height ? image.at(x, y) : Color();
            mismatches += std::memcmp(&texels[4 * i], &want, 4) != 0 ? 1 : 0;
        }
    }
    return mismatches;
}

// Draws the whole texture 1:1 at (x, y), blended over what is there.
void drawWhole(const Texture* texture, int x, int y)
{
    Painter::drawTexture(Rect(x, y, texture->getWidth(), texture->getHeight()), texture,
                         Rect(0, 0, texture->getWidth(), texture->getHeight()));
}

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

using TextureFactoryTest = TestSupport::GraphicsTest;

} // namespace

TEST_F(TextureFactoryTest, ImagesAreCutIntoTilesOfTheBestOrTheAskedSizePaddedWithTransparentBlack)
{
    // Image, grid and tile sizes, and the tile size asked for (0: the best, a power of two from 64 to 512
    // wasting least, the larger on a tie: 64 and 128 both waste 28 on 100, all waste 24 on 1000). An
    // allowed side is kept only when the other one is allowed too.
    const std::uint32_t cases[][8] = {{512, 256, 1, 1, 512, 256, 0, 0}, {100, 50, 1, 1, 128, 64, 0, 0},
                                      {300, 200, 5, 1, 64, 256, 0, 0},  {1000, 10, 2, 1, 512, 64, 0, 0},
                                      {300, 64, 5, 1, 64, 64, 0, 0},    {64, 300, 1, 5, 64, 64, 0, 0},
                                      {100, 50, 2, 1, 64, 64, 64, 64}};
    for (const auto& c : cases)
    {
        const TestImage image = coordinateImage(static_cast<int>(c[0]), static_cast<int>(c[1]));
        const std::string path = save(image, "image.png");
        TextureMap* map = c[6] == 0 ? m_factory.createTextureMap(path, nullptr)
                                    : m_factory.createTextureMap(path, Size(c[6], c[7]), nullptr);
        EXPECT_EQ(std::tuple(map->getImageSize(), map->getGridSize(), map->getTileSize(),
                             tileMismatches(*map, image)),
                  std::tuple(Size(c[0], c[1]), Size(c[2], c[3]), Size(c[4], c[5]), 0));
        m_factory.freeTextureMap(map);
    }
    for (const Size& tile : {Size(64, 100), Size(100, 64), Size(1024, 64)})
    {
        EXPECT_TRUE(throwsWith<TextureCreationFailedException>(
            [&] { m_factory.createTextureMap(m_dir.file("image.png"), tile, nullptr); },
            "Tile size not allowed.", "src/TextureFactory"));
    }
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);
    // Drawn whole, the padding of the last tile lets the background through.
    drawWhole(
        m_factory.createTextureMap(save(coordinateImage(300, 200), "wide.png"), nullptr)->getTexture(4, 0), 0,
        0);
    EXPECT_TRUE(shows(Color(43, 199, 16, 255), {43, 199})); // image pixel (299, 199)
    EXPECT_TRUE(shows(Background, {44, 0, 0, 200}));
}

TEST_F(TextureFactoryTest, ColorKeyedPixelsAreTransparentAndAlphaIsCopied)
{
    // An RGB image keyed on magenta, once in one padded tile and once cut into three.
    for (int width : {70, 130})
    {
        TestImage image = coordinateImage(width, 40);
        const std::string path = save(image.fill(10, 5, 20, 10, Magenta), "keyed.png", false);
        EXPECT_EQ(
            tileMismatches(*m_factory.createTextureMap(path, &Magenta), image.fill(10, 5, 20, 10, Color())),
            0);
    }
    // Partial alpha reaches the texture unchanged instead of being blended into the scratch surface; it cannot
    // be cut out (drawn without blending), and neither can an alpha of 1 in the last texel.
    TestImage translucent = coordinateImage(64, 20);
    translucent.fill(0, 0, 32, 20, Color(200, 100, 50, 128));
    TextureMap* map = m_factory.createTextureMap(save(translucent, "alpha.png"), nullptr);
    EXPECT_EQ(tileMismatches(*map, translucent), 0);
    TestImage lastTexel = coordinateImage(64, 64);
    lastTexel.at(63, 63) = Color(1, 2, 3, 1);
    const std::string keyed = save(coordinateImage(64, 64).fill(0, 0, 8, 8, Magenta), "keyed64.png");
    const Texture* keyedTexture = m_factory.createTextureMap(keyed, &Magenta)->getTexture(0, 0);
    const auto cutOut = [this](auto path) {
        return m_factory.createTextureMap(path, nullptr)->getTexture(0, 0)->isCutOut();
    };
    EXPECT_EQ(std::tuple(map->getTexture(0, 0)->isCutOut(), cutOut(save(lastTexel, "last.png")),
                         keyedTexture->isCutOut(), cutOut(save(coordinateImage(64, 64), "opaque.png"))),
              std::tuple(false, false, true, true));
    drawWhole(keyedTexture, 100, 100);
    EXPECT_TRUE(shows(Background, {107, 107}));
    EXPECT_TRUE(shows(Color(8, 7, 0, 255), {108, 107}));
}

TEST_F(TextureFactoryTest, ReloadAfterTheContextWasReplacedRemakesFilesThenSourcesInTheSameObjects)
{
    TestImage keyedImage = coordinateImage(100, 50);
    const TestImage square = coordinateImage(256, 256);
    TextureMap* keyed =
        m_factory.createTextureMap(save(keyedImage.fill(0, 0, 10, 10, Magenta), "k.png", false), &Magenta);
    TextureMap* file = m_factory.createTextureMap(save(square, "file.png"), nullptr);
    MirrorSource source(m_factory, file->getTexture(0, 0));
    EXPECT_THROW(m_factory.createTextureMap(&source, Size(100, 128)), TextureCreationFailedException);
    EXPECT_EQ(source.m_renders, 0);
    TextureMap* mirror = m_factory.createTextureMap(&source, Size(128, 64));
    EXPECT_EQ(std::pair(mirror->getGridSize(), tileMismatches(*mirror, square)), std::pair(Size(2, 4), 0));
    Texture* keyedTexture = keyed->getTexture(0, 0);
    Texture* lastTile = mirror->getTexture(1, 3);
    const GLuint oldName = keyedTexture->getGlName();

    // A frameless mode cannot keep the context; returning to the framed mode replaces it once more.
    const Uint32 flags = SDL_GetVideoSurface()->flags & (SDL_HWSURFACE | SDL_OPENGL | SDL_ANYFORMAT);
    for (const Uint32 mode : {flags | SDL_NOFRAME, flags})
    {
        ASSERT_NE(SDL_SetVideoMode(TestSupport::WindowWidth, TestSupport::WindowHeight, 32, mode), nullptr);
    }
    SetUp();
    EXPECT_EQ(glIsTexture(oldName), GL_FALSE) << "the old context survived; this test proves less";
    m_factory.reloadAll();
    EXPECT_EQ(std::tuple(m_factory.getTextureMapCount(), source.m_renders, keyed->getTexture(0, 0),
                         mirror->getTexture(1, 3)),
              std::tuple(std::size_t{3}, 2, keyedTexture, lastTile));
    EXPECT_EQ(tileMismatches(*mirror, square), 0);
    EXPECT_EQ(tileMismatches(*keyed, keyedImage.fill(0, 0, 10, 10, Color())), 0);
    drawWhole(keyedTexture, 0, 0);
    EXPECT_TRUE(shows(Background, {9, 9}));
    EXPECT_TRUE(shows(Color(10, 10, 0, 255), {10, 10}));

    // Freeing deletes the textures; a map the factory does not hold, or one already freed, is ignored.
    const GLuint name = lastTile->getGlName();
    m_factory.freeTextureMap(mirror);
    TextureMap stranger(Size(64, 64), Size(1, 1), Size(64, 64));
    m_factory.freeTextureMap(&stranger);
    m_factory.freeTextureMap(nullptr);
    m_factory.freeTextureMap(mirror);
    EXPECT_EQ(
        std::tuple(m_factory.getTextureMapCount(), glIsTexture(name), glIsTexture(keyedTexture->getGlName())),
        std::tuple(std::size_t{2}, GLboolean{GL_FALSE}, GLboolean{GL_TRUE}));
}

// The sanitizer build also checks that a replaced texture is deleted once and a kept one not at all.
TEST(TextureMap, TilesOutsideTheGridThrowAndAReplacedTextureIsDeleted)
{
    TextureMap map(Size(64, 64), Size(3, 2), Size(150, 100));
    EXPECT_EQ(map.getTexture(0, 0), nullptr);
    auto* last = new Texture(64, 64, 7);
    map.setTexture(new Texture(64, 64, 6), 2, 1);
    map.setTexture(last, 2, 1);
    map.setTexture(last, 2, 1);
    EXPECT_EQ(map.getTexture(2, 1), last);
    EXPECT_TRUE(throwsWith<TextureMapOutOfBoundException>([&] { map.getTexture(3, 0); },
                                                          "Position is out of bound.", "src/TextureMap"));
    Texture stray(64, 64, 8);
    EXPECT_THROW(map.setTexture(&stray, 0, 2), TextureMapOutOfBoundException);
    TextureMap other(Size(64, 64), Size(2, 3), Size(100, 150));
    EXPECT_TRUE(throwsWith<Exception>([&] { map.adoptTextureNames(other); }, "tMap's size doesn't match.",
                                      "src/TextureMap"));
}
