#include "game/play/GroundTexture.h"

#include "engine/base/Color.h"
#include "engine/graphics/Painter.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/graphics/TextureMap.h"

#include "game/play/MapFile.h"

#include "tests/support/GLWindow.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TempDir.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>

using Fernhouse::Base::Point;
using Fernhouse::Base::Rect;
using Tarvo::GroundTexture;
using Tarvo::MapFile;

namespace
{

constexpr int Sheet = 256;
constexpr int Cell = 16;
// A tile with one see-through texel, which must stay see-through.
constexpr int HoledTile = 40;

class GroundTextureTest : public TestSupport::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        // Every texel distinct, so that a texel from the wrong place shows.
        std::vector<std::uint8_t> rgba;
        for (int y = 0; y < Sheet; ++y)
        {
            for (int x = 0; x < Sheet; ++x)
            {
                const bool hole = x == Cell * (HoledTile % 16) + 3 && y == Cell * (HoledTile / 16) + 5;
                rgba.insert(rgba.end(), {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 200,
                                         static_cast<std::uint8_t>(hole ? 0 : 255)});
            }
        }
        TestSupport::writePng(m_dir.file("sheet.png"), Sheet, Sheet, rgba);
        const Fernhouse::Base::Color key;
        m_sheet = m_factory.createTextureMap(m_dir.file("sheet.png"), &key);
        m_tileset = m_sheet->getTexture(0, 0);
    }

    void TearDown() override
    {
        m_factory.freeTextureMap(m_sheet);
        GLTest::TearDown();
    }

    // The first layer drawn the way the map painter draws it without a ground texture: cell by cell.
    void drawByCell(const MapFile& map, const Point& origin) const
    {
        Fernhouse::Graphics::Painter painter;
        painter.bindTexture(m_tileset);
        for (std::int32_t y = 0; y < map.getHeight(); ++y)
        {
            for (std::int32_t x = 0; x < map.getWidth(); ++x)
            {
                const std::int32_t tile = map.getTile(0, x, y);
                if (tile != MapFile::EmptyCell)
                {
                    painter.drawTexturedRect(Rect(origin.x + Cell * x, origin.y + Cell * y, Cell, Cell),
                                             Rect(Cell * (tile % 16), Cell * (tile / 16), Cell, Cell));
                }
            }
        }
        painter.unbindTexture();
    }

    TestSupport::TempDir m_dir;
    Fernhouse::Graphics::TextureFactory m_factory;
    Fernhouse::Graphics::TextureMap* m_sheet = nullptr;
    const Fernhouse::Graphics::Texture* m_tileset = nullptr;
};

} // namespace

TEST_F(GroundTextureTest, ShowsTheSamePictureAsDrawingCellByCell)
{
    // 640 pixels wide: two textures side by side. Empty cells, a tile with a hole, and numbers beyond the
    // sheet, which wrap around it as the cell-by-cell drawing does.
    MapFile map(2, 40, 30);
    for (std::int32_t y = 0; y < 30; ++y)
    {
        for (std::int32_t x = 0; x < 40; ++x)
        {
            map.setTile(0, x, y, (x * 7 + y * 13) % 256);
        }
    }
    map.setTile(0, 0, 0, MapFile::EmptyCell);
    map.setTile(0, 31, 2, MapFile::EmptyCell);
    map.setTile(0, 32, 2, HoledTile);
    map.setTile(0, 5, 29, 300);
    map.setTile(0, 39, 29, -7);
    GroundTexture ground(&map, m_tileset);

    const Point origin(37, 21);
    glClearColor(0.2f, 0.1f, 0.3f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    drawByCell(map, origin);
    const std::vector<std::uint8_t> byCell = TestSupport::readFrame();

    glClear(GL_COLOR_BUFFER_BIT);
    Fernhouse::Graphics::Painter painter;
    EXPECT_EQ(ground.draw(painter, Rect(0, 0, 40, 30), origin), 2u);
    EXPECT_TRUE(TestSupport::readFrame() == byCell);
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);

    // Cells within the left texture need only that one.
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(ground.draw(painter, Rect(3, 4, 20, 10), origin), 1u);
    EXPECT_RGB(TestSupport::pixel(origin.x + Cell * 3, origin.y + Cell * 4), Cell * ((3 * 7 + 4 * 13) % 16),
               Cell * ((3 * 7 + 4 * 13) / 16), 200);
    EXPECT_EQ(ground.draw(painter, Rect(40, 0, 5, 5), origin), 0u);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
}

TEST_F(GroundTextureTest, OnlyMapsUpToAHundredAndTwentyEightSquaredCellsGetOne)
{
    EXPECT_TRUE(GroundTexture::fits(MapFile(2, 128, 128)));
    EXPECT_TRUE(GroundTexture::fits(MapFile(2, 16384, 1)));
    EXPECT_FALSE(GroundTexture::fits(MapFile(2, 129, 128)));
    EXPECT_FALSE(GroundTexture::fits(MapFile(2, 0, 10)));
}

TEST_F(GroundTextureTest, LargeMapKeepsAWindowThatFollowsTheRequestedCellsWithTheSamePicture)
{
    MapFile map(2, 200, 100);
    ASSERT_FALSE(GroundTexture::fits(map));
    for (std::int32_t y = 0; y < 100; ++y)
    {
        for (std::int32_t x = 0; x < 200; ++x)
        {
            map.setTile(0, x, y, (x * 7 + y * 13) % 256);
        }
    }
    map.setTile(0, 170, 80, MapFile::EmptyCell);
    GroundTexture ground(&map, m_tileset);
    // A view of 30 x 20 cells at screen pixel (10, 10), wherever it looks; the last runs off the map.
    const std::vector<Point> views = {{0, 0}, {20, 10}, {150, 70}, {185, 90}, {60, 30}, {0, 0}};
    for (const Point& view : views)
    {
        SCOPED_TRACE(testing::Message() << "view at cell " << view.x << ", " << view.y);
        const Rect cells(view.x, view.y, 30, 20);
        const Point origin(10 - Cell * view.x, 10 - Cell * view.y);
        // Only the view's pixels on the map are compared.
        Fernhouse::Graphics::Painter painter;
        painter.setClipRect(
            Rect(10, 10, std::min(30, 200 - view.x) * Cell, std::min(20, 100 - view.y) * Cell));
        glClear(GL_COLOR_BUFFER_BIT);
        drawByCell(map, origin);
        const std::vector<std::uint8_t> byCell = TestSupport::readFrame();
        glClear(GL_COLOR_BUFFER_BIT);
        ground.draw(painter, cells, origin);
        painter.clearClipRect();
        EXPECT_TRUE(TestSupport::readFrame() == byCell);
        EXPECT_TRUE(ground.holds(cells));
        EXPECT_LE(ground.getWindow().w, static_cast<std::uint32_t>(GroundTexture::WindowCells));
    }
}
