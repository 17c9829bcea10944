#include "game/play/GroundTexture.h"

#include "tests/game/play/RoundFixture.h"

using namespace RoundSupport;

namespace
{

constexpr int Cell = 16;
constexpr int HoledTile = 40; // one see-through texel, which must stay see-through

// A two-layer map whose first layer numbers its cells in a pattern, so that a cell from the wrong place shows.
MapFile patterned(std::int32_t width, std::int32_t height)
{
    MapFile map(2, width, height);
    for (std::int32_t i = 0; i < width * height; ++i)
    {
        map.setTile(0, i % width, i / width, (i % width * 7 + i / width * 13) % 256);
    }
    return map;
}

// A tileset with every texel distinct.
class GroundTextureTest : public TestSupport::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        glEnable(GL_BLEND);
        writePicture(m_dir.file("sheet.png"), 256, 256, [](int x, int y) {
            const bool hole = x == Cell * (HoledTile % 16) + 3 && y == Cell * (HoledTile / 16) + 5;
            return Color(static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y), 200, hole ? 0 : 255);
        });
        const Color key;
        m_tileset = m_factory.createTextureMap(m_dir.file("sheet.png"), &key)->getTexture(0, 0);
    }

    // Whether the ground texture draws the cells as the map painter draws the first layer without one,
    // cell by cell, wherever the clip lets through; how many textures it drew into m_drawn.
    bool sameAsByCell(GroundTexture& ground, const MapFile& map, const Rect& cells, const Point& origin)
    {
        Fernhouse::Graphics::Painter painter;
        glClear(GL_COLOR_BUFFER_BIT);
        painter.bindTexture(m_tileset);
        for (std::int32_t i = 0; i < map.getWidth() * map.getHeight(); ++i)
        {
            const std::int32_t tile = map.getTile(0, i % map.getWidth(), i / map.getWidth());
            if (tile != MapFile::EmptyCell)
            {
                painter.drawTexturedRect(Rect(origin.x + Cell * (i % map.getWidth()),
                                              origin.y + Cell * (i / map.getWidth()), Cell, Cell),
                                         Rect(Cell * (tile % 16), Cell * (tile / 16), Cell, Cell));
            }
        }
        painter.unbindTexture();
        const std::vector<std::uint8_t> byCell = TestSupport::readFrame();
        glClear(GL_COLOR_BUFFER_BIT);
        m_drawn = ground.draw(painter, cells, origin);
        return byCell == TestSupport::readFrame();
    }

    TestSupport::TempDir m_dir;
    Fernhouse::Graphics::TextureFactory m_factory;
    const Fernhouse::Graphics::Texture* m_tileset = nullptr;
    std::uint32_t m_drawn = 0;
};

} // namespace

TEST_F(GroundTextureTest, ShowsTheSamePictureAsDrawingCellByCellAlsoThroughAWindowOnMapsTooLargeForOneTexture)
{
    // 640 pixels wide: two textures side by side. Empty cells, a tile with a hole, and numbers beyond the
    // sheet, which wrap around it as the cell-by-cell drawing does.
    MapFile map = patterned(40, 30);
    map.setTile(0, 0, 0, MapFile::EmptyCell);
    map.setTile(0, 31, 2, MapFile::EmptyCell);
    map.setTile(0, 32, 2, HoledTile);
    map.setTile(0, 5, 29, 300);
    map.setTile(0, 39, 29, -7);
    GroundTexture ground(&map, m_tileset);
    const Point origin(37, 21);
    glClearColor(0.2f, 0.1f, 0.3f, 1.0f);
    const bool same = sameAsByCell(ground, map, Rect(0, 0, 40, 30), origin);
    EXPECT_EQ(std::make_tuple(same, m_drawn, glIsEnabled(GL_TEXTURE_2D)),
              std::make_tuple(true, 2u, GLboolean{GL_FALSE}));
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);

    // Maps beyond 128 x 128 cells keep a window of the ground that follows the view.
    for (const auto& [w, h, fits] : std::vector<std::tuple<int, int, bool>>{
             {128, 128, true}, {16384, 1, true}, {129, 128, false}, {0, 10, false}, {200, 100, false}})
    {
        EXPECT_EQ(GroundTexture::fits(MapFile(2, w, h)), fits) << w << " x " << h;
    }
    MapFile large = patterned(200, 100);
    large.setTile(0, 170, 80, MapFile::EmptyCell);
    GroundTexture window(&large, m_tileset);
    // A view of 30 x 20 cells at screen pixel (10, 10), wherever it looks; the last runs off the map. Only
    // the view's pixels on the map are compared.
    for (const Point& view :
         {Point(0, 0), Point(20, 10), Point(150, 70), Point(185, 90), Point(60, 30), Point(0, 0)})
    {
        const Rect cells(view.x, view.y, 30, 20);
        Fernhouse::Graphics::Painter clip;
        clip.setClipRect(Rect(10, 10, std::min(30, 200 - view.x) * Cell, std::min(20, 100 - view.y) * Cell));
        EXPECT_TRUE(sameAsByCell(window, large, cells, Point(10 - Cell * view.x, 10 - Cell * view.y)))
            << "view at cell " << view.x << ", " << view.y;
        clip.clearClipRect();
        EXPECT_TRUE(window.holds(cells) && window.getWindow().w <= std::uint32_t{GroundTexture::WindowCells});
    }
}
