#include "engine/graphics/Font.h"
#include "engine/graphics/Image.h"
#include "engine/graphics/Label.h"
#include "engine/graphics/Painter.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureMap.h"
#include "engine/graphics/TextureSource.h"

#include "tests/engine/graphics/GraphicsFixture.h"
#include "tests/support/Throws.h"

#include <SDL/SDL.h>

#include <cstring>

using namespace Fernhouse::Base;
using namespace Fernhouse::Graphics;
using namespace TestSupport;
using Fernhouse::GUI::Label;

namespace
{

constexpr Color Blue(0, 0, 255, 255), Magenta(255, 0, 255, 255);

// Texels of every tile that differ from the image, or from transparent black beyond its edges.
int tileMismatches(const TextureMap& map, TestImage image)
{
    int mismatches = 0;
    const Size tile = map.getTileSize(), grid = map.getGridSize();
    for (std::uint32_t t = 0; t < grid.w * grid.h; ++t)
    {
        const std::vector<std::uint8_t> texels = map.getTexture(t % grid.w, t / grid.w)->readPixels();
        for (std::uint32_t i = 0; i < tile.w * tile.h; ++i)
        {
            const auto x = static_cast<int>(t % grid.w * tile.w + i % tile.w);
            const auto y = static_cast<int>(t / grid.w * tile.h + i / tile.w);
            const Color want = x < image.width && y < image.height ? image.at(x, y) : Color();
            mismatches += std::memcmp(&texels[4 * i], &want, 4) != 0 ? 1 : 0;
        }
    }
    return mismatches;
}

// Copies a texture of the factory's, so that its pixels come out right only if the files are back first.
struct MirrorSource final : TextureSource
{
    explicit MirrorSource(const Texture* original) : m_original(original) {}

    SDL_Surface* render() const override
    {
        const std::vector<std::uint8_t> pixels = m_original->readPixels();
        SDL_Surface* surface =
            TextureFactory::getInstance()->createSurface(m_original->getWidth(), m_original->getHeight());
        std::memcpy(surface->pixels, pixels.data(), pixels.size());
        return surface;
    }

    const Texture* m_original;
};

GLint stackDepth()
{
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    return depth;
}

} // namespace

TEST_F(GraphicsTest, PainterShowsTextTexturesFillsAndCirclesExactlyAndPutsColourMatrixAndStateBack)
{
    // The 16 x 16 cells shown one after another from (x, y), and nothing just before or after them.
    const auto expectText = [](int x, int y, const std::vector<int>& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i)
        {
            const int left = x + static_cast<int>(i) * 16;
            EXPECT_TRUE(shows({{glyphColor(cells[i]), {left, y, left + 15, y + 15}}}));
        }
        EXPECT_TRUE(shows(
            {{Background, {x - 1, y, x, y - 1, x + static_cast<int>(cells.size()) * 16, y, x, y + 16}}}));
    };
    const auto expectCovers = [](int x, int y, int w, int h, const Color& c) {
        EXPECT_TRUE(shows({{c, {x, y, x + w - 1, y + h - 1}},
                           {Background, {x - 1, y, x, y - 1, x + w, y + h - 1, x + w - 1, y + h}}}));
    };
    const Font* sheet = m_fonts.loadFont("sheet");
    Painter().drawText("Az 09.&", Point(100, 100), sheet, Painter::AlignLeft, Painter::AlignTop);
    expectText(100, 100, {1, 26, 0, 27, 36, 37, 56});
    // "ABC" is 48 x 16: centred moves it 24 (8) back, right (bottom) 48 (16).
    for (int alignment = 0; alignment < 9; ++alignment)
    {
        fillBackground();
        Painter().drawText("ABC", Point(400, 300), sheet, alignment % 3, alignment / 3);
        expectText(400 - 24 * (alignment % 3), 300 - 8 * (alignment / 3), {1, 2, 3});
    }
    fillBackground();
    EXPECT_TRUE(
        throwsWith<GenericFontException>([&] { Painter().drawText("AB%C", Point(100, 100), sheet, 0, 0); },
                                         "Invalid character.", "src/Painter"));
    expectText(100, 100, {1, 2});

    // Cell 9 of the sheet magnified twice.
    Painter::drawTexture(Rect(200, 200, 32, 32), sheet->getTexture(), Rect(16, 16, 16, 16));
    expectCovers(200, 200, 32, 32, glyphColor(9));

    constexpr Color Opaque(200, 30, 90, 255);
    // A tall texture, so that its texture coordinates must tell width from height.
    const std::string halves =
        save(TestImage(64, 128, Opaque).fill(32, 0, 32, 128, Color()).fill(0, 0, 32, 8, Blue), "h.png");
    const Texture* texture = m_factory.createTextureMap(halves, nullptr)->getTexture(0, 0);
    for (const auto& [mode, right] : {std::pair(Painter::TexelMode::Blended, Background),
                                      {Painter::TexelMode::CutOut, Background},
                                      {Painter::TexelMode::Copied, Color()}})
    {
        fillBackground();
        Painter::setTexelMode(mode);
        Painter::drawTexture(Rect(100, 100, 64, 128), texture, Rect(0, 0, 64, 128));
        Painter::setTexelMode(Painter::TexelMode::Blended);
        EXPECT_TRUE(shows({{Opaque, {110, 110}}, {Blue, {110, 106}}, {right, {150, 110}}}));
    }
    GLint env = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &env);
    EXPECT_EQ(std::tuple(glIsEnabled(GL_BLEND), glIsEnabled(GL_ALPHA_TEST), glIsEnabled(GL_TEXTURE_2D), env),
              std::tuple(GL_TRUE, GL_FALSE, GL_FALSE, GL_MODULATE));

    const GLint depth = stackDepth();
    Painter::fillRect(Rect(50, 60, 30, 20), Blue);
    expectCovers(50, 60, 30, 20, Blue);
    EXPECT_EQ(std::pair(stackDepth(), Painter::getColor()), std::pair(depth, White));

    glColor4ub(10, 20, 30, 40);
    Painter painter;
    // A second setColor first restores, so the colour saved is still the original one.
    painter.setColor(Color(200, 0, 0, 255));
    painter.setColor(Blue);
    painter.setClipRect(Rect(100, 40, 50, 20));
    painter.fillRect(Rect(0, 0, 800, 600));
    expectCovers(100, 40, 50, 20, Blue);
    painter.clearClipRect();
    painter.fillRect(Rect(0, 0, 10, 10));
    painter.fillCircle(Point(200, 200), 50, 64);
    painter.drawCircle(Point(500, 200), 50, 64);
    painter.fillCircle(Point(200, 400), 50, 0);
    painter.restoreColor();
    EXPECT_EQ(Painter::getColor(), Color(10, 20, 30, 40));
    // (231, 231) is 44 pixels from the centre, (240, 240) 57; no segments, no circle; the outline is hollow.
    EXPECT_TRUE(shows({{Blue, {0, 0, 200, 200, 246, 200, 200, 154, 231, 231}},
                       {Background, {253, 200, 240, 240, 200, 400, 500, 200, 530, 200}}}));
    const auto lit = [](int x) { return pixel(x, 200)[2] == 255; };
    EXPECT_TRUE(lit(547) || lit(548) || lit(549) || lit(550) || lit(551) || lit(552));
}

TEST_F(GraphicsTest, FontsLoadOnceForAllLabelsWhichDrawTheirTextInTheirColourAndTransformOnABox)
{
    constexpr Color Box(200, 40, 40, 255);
    Label label("sheet");
    const GLuint name = label.getFont()->getTexture()->getGlName();
    Label("sheet"); // shares the font and lets go of it
    label.setMargin(Size(4, 2));
    label.setBackgroundColor(Box);
    label.setDrawBackground(true);
    label.setPosition(100, 100);
    label.draw();
    EXPECT_TRUE(shows({{Background, {96, 98, 100, 100}}}));
    label.setText("SCORE");
    label.draw();
    // The box spans (-4, -2) to (84, 18) around the position, the text (0, 0) to (80, 16): S, then E.
    EXPECT_TRUE(shows({{Box, {96, 98, 183, 117, 99, 100, 180, 100}},
                       {Background, {95, 98, 96, 97, 184, 117, 183, 118}},
                       {glyphColor(19), {100, 100}},
                       {glyphColor(5), {179, 115}}}));

    fillBackground();
    label.setDrawBackground(false);
    label.setText("score");
    label.setColor(Magenta);
    label.setPosition(10, 10);
    label.setScale(2.0f);
    label.draw();
    EXPECT_TRUE(shows({{glyphColor(19, Magenta), {10, 10, 41, 41}},
                       {glyphColor(3, Magenta), {42, 41}},
                       {Background, {170, 10}}}));
    // An invalid character throws only when drawn, leaving the matrix and the colour as they were.
    EXPECT_NO_THROW(label.setText("A%"));
    glColor4ub(10, 20, 30, 40);
    const GLint depth = stackDepth();
    EXPECT_THROW(label.draw(), GenericFontException);
    EXPECT_EQ(std::pair(stackDepth(), Painter::getColor()), std::pair(depth, Color(10, 20, 30, 40)));

    save(glyphSheet(8, 8), "other.png");
    Label keeper("other");
    label.setFont("other");
    label.setFont("other");
    EXPECT_EQ(std::tuple(label.getFont(), m_factory.getTextureMapCount(), glIsTexture(name)),
              std::tuple(keeper.getFont(), 1u, GL_FALSE));
    // A font that fails to load leaves the label with none, the old one already released; it draws nothing.
    EXPECT_THROW(label.setFont("absent"), FileNotFoundException);
    label.draw();
    EXPECT_EQ(std::tuple(label.getFont(), m_fonts.getReferenceCount("other")), std::tuple(nullptr, 1));

    // Glyphs are an eighth of the sheet each way, black is clear, and bad sheets leave nothing loaded.
    fillBackground();
    save(TestImage(100, 100, White), "odd.png");
    save(glyphSheet(16, 12), "flat.png");
    save(glyphSheet(16, 16).fill(16, 0, 8, 16, Color(0, 0, 0, 255)), "holes.png", false);
    Painter().drawText("A", Point(10, 10), m_fonts.loadFont("holes"), Painter::AlignLeft, Painter::AlignTop);
    EXPECT_EQ(
        std::pair(m_fonts.loadFont("odd")->getGlyphSize(), m_fonts.loadFont("flat")->getTextSize("SCORE")),
        std::pair(Size(12, 12), Size(80, 12)));
    EXPECT_TRUE(shows({{Background, {10, 10, 17, 25}}, {glyphColor(1), {18, 10}}}));

    save(TestImage(600, 600, White), "huge.png");
    const std::string whole = m_dir.readFile("sheet.png");
    m_dir.written("junk.png", "GIF89a but not really");
    m_dir.written("truncated.png", whole.substr(0, whole.size() / 2));
    m_dir.written("empty.png", "");
    // The huge sheet twice: a rejected sheet must not stay behind as loaded.
    for (const std::string font : {"huge", "huge", "absent", "junk", "truncated", "empty"})
    {
        const auto load = [&] { m_fonts.loadFont(font); };
        EXPECT_TRUE(
            font == "huge"
                ? throwsWith<FontLoadFailedException>(load, "Invalid font graphics size.", "src/FontManager")
                : throwsWith<FileNotFoundException>(load, "Could not load file: " + m_dir.file(font + ".png"),
                                                    "src/TextureFactory"));
    }
    EXPECT_EQ(m_factory.getTextureMapCount(), 4u);
}

TEST_F(GraphicsTest, ImagesTurnAboutTheCentreGrowFromTheCornerTakeTheColourDrawChildrenAndReloadCleanly)
{
    TestImage picture = coordinateImage(100, 50);
    const std::string path = save(picture, "picture.png");
    // Each (x, y, ix, iy): screen pixel (x, y) shows picture pixel (ix, iy), the background for ix -1, or the
    // child square at picture pixels (10, 10) to (13, 13) for ix -2.
    const auto expectShows = [&](const std::vector<int>& points) {
        for (std::size_t i = 0; i + 3 < points.size(); i += 4)
        {
            const int ix = points[i + 2];
            const Color c = ix == -1 ? Background : ix == -2 ? Blue : picture.at(ix, points[i + 3]);
            EXPECT_RGB(pixel(points[i], points[i + 1]), c.r, c.g, c.b)
                << "at " << points[i] << "," << points[i + 1];
        }
    };
    const std::pair<std::pair<float, float>, std::vector<int>> cases[] = {
        // The far corner (137, 83) is that of the 128 x 64 texture: its padding is invisible.
        {{0.0f, 1.0f}, {10, 20, 0,  0,  109, 69, 99,  49, 9,  20, -1, 0,  10, 19, -1, 0,  110, 20,
                        -1, 0,  10, 70, -1,  0,  137, 83, -1, 0,  20, 30, -2, 0,  23, 33, -2,  0}},
        // A quarter turn clockwise about (60, 45), the child with it: pixel (ix, iy) lands at (84 - iy, ix - 5).
        {{90.0f, 1.0f}, {84, 5,  10, 0, 35, 94, 99, 49, 84, 94, 99, 0, 85, 50, -1, 0,
                         34, 50, -1, 0, 60, 95, -1, 0,  74, 5,  -2, 0, 71, 8,  -2, 0}},
        {{0.0f, 2.0f}, {11, 21, 0,   0,   12, 20, 1,  0,  209, 119, 99, 49, 210, 119,
                        -1, 0,  209, 120, -1, 0,  30, 40, -2,  0,   37, 47, -2,  0}},
    };
    for (const auto& [transform, shows] : cases)
    {
        fillBackground();
        Image image(path);
        Square child(4, Blue);
        child.setPosition(10, 10);
        image.addChild(&child);
        image.setPosition(10, 20);
        image.setRotation(transform.first);
        image.setScale(transform.second);
        image.draw();
        expectShows(shows);
    }

    // Picture pixel (99, 49, 0) tinted: 99 * 128 / 255 rounded; faded out; half over half the background.
    Image image(path);
    for (const auto& [tint, want, tolerance] :
         {std::tuple(Color(128, 255, 255, 255), Color(50, 49, 0, 255), 0),
          {Color(255, 255, 255, 0), Background, 0},
          {Color(255, 255, 255, 128), Color(94, 69, 45, 255), 1}})
    {
        fillBackground();
        image.setColor(tint);
        image.draw();
        EXPECT_TRUE(rgbIs(pixel(99, 49), want.r, want.g, want.b, tolerance));
    }
    EXPECT_EQ(Painter::getColor(), White);

    // 100 x 50 in a 128 x 64 texture: the transparent padding does not count against being opaque.
    EXPECT_EQ(std::pair(Image().isOpaque(), image.isOpaque()), std::pair(false, true));
    image.load(save(TestImage(picture).fill(99, 49, 1, 1, Color(1, 2, 3, 254)), "holed.png"), Magenta);
    EXPECT_FALSE(image.isOpaque());
    image.load(save(coordinateImage(300, 200), "other.png"));
    EXPECT_EQ(std::tuple(image.getSize(), m_factory.getTextureMapCount()), std::tuple(Size(300, 200), 1u));
    EXPECT_THROW(image.load(m_dir.file("absent.png")), FileNotFoundException);
    fillBackground();
    image.draw();
    expectShows({250, 150, -1, 0});
    EXPECT_THROW(Image(m_dir.file("absent.png"), Color()), FileNotFoundException);
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);
}

TEST_F(GraphicsTest, FilesAreCutIntoTilesPaddedAndKeyedWithClearBlackAlphaCopiedAndCutOutIfAllOrNothing)
{
    // Image, grid and tile sizes, the tile asked for (0: the least wasteful power of two from 64 to 512, the
    // larger on a tie; a side only if the other is allowed) and the magenta key (1: RGB file, 2: RGBA file).
    const std::uint32_t cases[][9] = {{512, 256, 1, 1, 512, 256, 0, 0, 0}, {100, 50, 1, 1, 128, 64, 0, 0, 0},
                                      {300, 200, 5, 1, 64, 256, 0, 0, 0},  {1000, 10, 2, 1, 512, 64, 0, 0, 0},
                                      {100, 50, 2, 1, 64, 64, 64, 64, 0},  {70, 40, 1, 1, 128, 64, 0, 0, 1},
                                      {130, 40, 3, 1, 64, 64, 0, 0, 1},    {64, 64, 1, 1, 64, 64, 0, 0, 2}};
    for (const auto& c : cases)
    {
        TestImage image =
            coordinateImage(static_cast<int>(c[0]), static_cast<int>(c[1])).fill(0, 0, 8, 8, Magenta);
        const std::string path = save(image, "image.png", c[8] != 1);
        const Color* key = c[8] == 0 ? nullptr : &Magenta;
        TextureMap* map = c[6] == 0 ? m_factory.createTextureMap(path, key)
                                    : m_factory.createTextureMap(path, Size(c[6], c[7]), key);
        EXPECT_EQ(std::tuple(map->getImageSize(), map->getGridSize(), map->getTileSize(),
                             tileMismatches(*map, c[8] == 0 ? image : image.fill(0, 0, 8, 8, Color()))),
                  std::tuple(Size(c[0], c[1]), Size(c[2], c[3]), Size(c[4], c[5]), 0));
        m_factory.freeTextureMap(map);
    }
    for (const Size& tile : {Size(64, 100), Size(100, 64), Size(1024, 64)})
    {
        EXPECT_THROW(m_factory.createTextureMap(m_dir.file("image.png"), tile, nullptr),
                     TextureCreationFailedException);
    }
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);

    // Partial alpha is copied unblended and cannot be cut out, nor can an alpha of 1 in the last texel; a key can.
    TestImage translucent = coordinateImage(64, 20).fill(0, 0, 32, 20, Color(200, 100, 50, 128));
    TextureMap* map = m_factory.createTextureMap(save(translucent, "alpha.png"), nullptr);
    const auto cutOut = [this](const TestImage& image, const Color* key = nullptr) {
        return m_factory.createTextureMap(save(image, "cut.png"), key)->getTexture(0, 0)->isCutOut();
    };
    EXPECT_EQ(std::tuple(tileMismatches(*map, translucent), map->getTexture(0, 0)->isCutOut(),
                         cutOut(coordinateImage(64, 64).fill(63, 63, 1, 1, Color(1, 2, 3, 1))),
                         cutOut(coordinateImage(64, 64).fill(0, 0, 8, 8, Magenta), &Magenta),
                         cutOut(coordinateImage(64, 64))),
              std::tuple(0, false, false, true, true));
}

TEST_F(GraphicsTest, ReloadRemakesFilesThenSourcesInTheSameMapsAndFreeingOrTilesOutsideTheGridAreSafe)
{
    TestImage keyedImage = coordinateImage(100, 50).fill(0, 0, 10, 10, Magenta),
              square = coordinateImage(256, 256);
    TextureMap* keyed = m_factory.createTextureMap(save(keyedImage, "k.png", false), &Magenta);
    TextureMap* file = m_factory.createTextureMap(save(square, "file.png"), nullptr);
    MirrorSource source(file->getTexture(0, 0));
    TextureMap* mirror = m_factory.createTextureMap(&source, Size(128, 64));
    Texture* keyedTexture = keyed->getTexture(0, 0);
    Texture* lastTile = mirror->getTexture(1, 3);
    const GLuint oldName = keyedTexture->getGlName();

    // A frameless mode cannot keep the context; returning to the framed mode replaces it once more.
    const Uint32 flags = SDL_GetVideoSurface()->flags & (SDL_HWSURFACE | SDL_OPENGL | SDL_ANYFORMAT);
    for (const Uint32 mode : {flags | SDL_NOFRAME, flags})
    {
        ASSERT_NE(SDL_SetVideoMode(WindowWidth, WindowHeight, 32, mode), nullptr);
    }
    SetUp();
    EXPECT_EQ(glIsTexture(oldName), GL_FALSE) << "the old context survived; this test proves less";
    m_factory.reloadAll();
    EXPECT_EQ(std::tuple(m_factory.getTextureMapCount(), keyed->getTexture(0, 0), mirror->getTexture(1, 3),
                         mirror->getGridSize(), tileMismatches(*mirror, square),
                         tileMismatches(*keyed, keyedImage.fill(0, 0, 10, 10, Color()))),
              std::tuple(3u, keyedTexture, lastTile, Size(2, 4), 0, 0));

    // Freeing deletes the textures; a map already freed is ignored.
    const GLuint name = lastTile->getGlName();
    m_factory.freeTextureMap(mirror);
    m_factory.freeTextureMap(mirror);
    EXPECT_EQ(
        std::tuple(m_factory.getTextureMapCount(), glIsTexture(name), glIsTexture(keyedTexture->getGlName())),
        std::tuple(2u, GL_FALSE, GL_TRUE));

    // Tiles outside the grid throw; the sanitizer build checks that a replaced texture is deleted once.
    TextureMap stranger(Size(64, 64), Size(3, 2), Size(150, 100));
    auto* last = new Texture(64, 64, 900007);
    stranger.setTexture(new Texture(64, 64, 900006), 2, 1);
    stranger.setTexture(last, 2, 1);
    stranger.setTexture(last, 2, 1);
    EXPECT_TRUE(throwsWith<TextureMapOutOfBoundException>([&] { stranger.getTexture(3, 0); },
                                                          "Position is out of bound.", "src/TextureMap"));
    Texture stray(64, 64, 900008);
    EXPECT_THROW(stranger.setTexture(&stray, 0, 2), TextureMapOutOfBoundException);
    EXPECT_THROW(stranger.adoptTextureNames(*keyed), Exception);
}
