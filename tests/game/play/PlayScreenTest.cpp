#include "game/play/PlayScreen.h"

#include "engine/base/Rect.h"
#include "engine/graphics/Image.h"
#include "engine/graphics/Painter.h"

#include "game/play/Apple.h"
#include "game/play/ApplePainter.h"
#include "game/play/GameEngine.h"
#include "game/play/MapFile.h"
#include "game/play/MapPainter.h"
#include "game/play/WormSprite.h"

#include "tests/game/play/RoundFixture.h"
#include "tests/support/PngWriter.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

using Fernhouse::Base::Color;
using Fernhouse::Base::Point;
using RoundSupport::AppleColors;
using RoundSupport::GroundColor;
using RoundSupport::HeadColor;
using RoundSupport::WallColor;
using Tarvo::Apple;
using Tarvo::WormSprite;
using TestSupport::pixel;

namespace
{

constexpr Color Backdrop{10, 10, 60, 255};
constexpr std::uint32_t FrameMs = 50;

::testing::AssertionResult is(const std::array<int, 4>& got, const Color& color, int tolerance = 0)
{
    return TestSupport::rgbIs(got, color.r, color.g, color.b, tolerance);
}

// What blending a colour of the given alpha over another gives, before the driver's rounding.
Color blend(const Color& top, const Color& under)
{
    const auto mix = [&](std::uint8_t t, std::uint8_t u) {
        return static_cast<std::uint8_t>((t * top.a + u * (255 - top.a) + 127) / 255);
    };
    return Color(mix(top.r, under.r), mix(top.g, under.g), mix(top.b, under.b), 255);
}

std::vector<std::string> walled(int w, int h)
{
    std::vector<std::string> rows(static_cast<std::size_t>(h),
                                  "#" + std::string(static_cast<std::size_t>(w - 2), '.') + "#");
    rows.front() = rows.back() = std::string(static_cast<std::size_t>(w), '#');
    return rows;
}

class PlayScreenRound : public RoundSupport::RoundTest
{
protected:
    void SetUp() override
    {
        RoundTest::SetUp();
        // A flat one-player background, so that every pixel outside the map says what it is.
        std::vector<std::uint8_t> rgba;
        for (int i = 0; i < TestSupport::WindowWidth * TestSupport::WindowHeight; ++i)
        {
            rgba.insert(rgba.end(), {Backdrop.r, Backdrop.g, Backdrop.b, Backdrop.a});
        }
        TestSupport::writePng(dir().file("back.png"), TestSupport::WindowWidth, TestSupport::WindowHeight,
                              rgba);
    }

    Tarvo::PlayScreen& screen() { return *engine().getPlayScreen(); }

    WormSprite& player(int number) { return *(number == 1 ? engine().getPlayer1() : engine().getPlayer2()); }

    // A round of one or two humans on rows of text (start points 1 and 2), started.
    void round(const std::vector<std::string>& rows, int humans, std::int32_t layers = 3)
    {
        makeEngine(writeMap("screen", rows, layers)).setGame(Tarvo::GAME_NONE, 0, 0);
        addHuman("Tarvo", RoundSupport::arrowKeys());
        if (humans == 2)
        {
            addHuman("Piggy", RoundSupport::letterKeys());
        }
        startRound(humans == 1 ? "back.png" : "");
    }

    // The screen position of a cell's top-left pixel in the given player's view.
    Point cellOnScreen(int number, const Point& cell)
    {
        const Tarvo::PlayScreen& s = screen();
        const auto index = static_cast<std::size_t>(number - 1);
        const Fernhouse::Base::Rect& view = s.getView(index);
        const Tarvo::MapFile* map = engine().getMap();
        return Point(view.x + s.getOffsetX(index) - 8 * map->getWidth() + 16 * cell.x,
                     view.y + s.getOffsetY(index) - 8 * map->getHeight() + 16 * cell.y);
    }

    Point headOnScreen(int number)
    {
        const WormSprite::Segment& head = player(number).getHead();
        return cellOnScreen(number, Point(head.x, head.y));
    }

    void drawFrame(std::uint32_t ms) { frame(ms, true); }
};

} // namespace

TEST_F(PlayScreenRound, SmallMapSitsCentredInTheOneViewWithApplesUnderTheWorm)
{
    auto rows = walled(20, 20);
    rows[5][10] = '1';
    round(rows, 1);
    drawFrame(0);
    // An apple under the head, which no step has judged yet: the worm is drawn after it, over it.
    auto* apples = engine().getApplePainter();
    apples->setWeights({0, 1, 0, 0, 0, 0});
    apples->spawnApple();
    apples->getApples().back()->setCell(Point(10, 12));
    apples->getApples().front()->setKind(Apple::Cake);
    apples->getApples().front()->setCell(Point(10, 5));
    apples->setWeights({0, 0, 0, 0, 0, 0});
    screen().removeWorm(&player(1));
    redraw();
    EXPECT_TRUE(is(pixel(399 + 8, 250 + 8), AppleColors[Apple::Cake]));
    screen().addWorm(&player(1));
    redraw();
    TestSupport::saveFrame(screenshotPath("round_one_player"));
    // 320 pixels of map in the middle of the 480-pixel view at (159, 90).
    EXPECT_EQ(screen().getOffsetX(0), 240);
    EXPECT_EQ(screen().getOffsetY(0), 240);
    EXPECT_TRUE(is(pixel(239, 170), WallColor));
    EXPECT_TRUE(is(pixel(558, 489), WallColor));
    EXPECT_TRUE(is(pixel(238, 170), Backdrop));
    EXPECT_TRUE(is(pixel(239, 169), Backdrop));
    EXPECT_TRUE(is(pixel(559, 489), Backdrop));
    EXPECT_TRUE(is(pixel(239 + 16, 170 + 16), GroundColor));
    EXPECT_TRUE(is(pixel(399 + 8, 250 + 8), HeadColor));
    EXPECT_TRUE(is(pixel(399 + 15, 250 + 15), HeadColor));
    EXPECT_TRUE(is(pixel(399 + 8, 362 + 8), AppleColors[Apple::Super]));
    EXPECT_TRUE(is(pixel(399 + 15, 362 + 15), AppleColors[Apple::Super]));

    EXPECT_EQ(engine().getPlayer1()->getScore(), 0);
    // The points read "    0" with their right edge on x = 288 from y = 35: the last glyph is drawn, and
    // nothing right of the anchor.
    bool glyph = false;
    for (int y = 35; y < 35 + 16; ++y)
    {
        for (int x = 272; x < 288; ++x)
        {
            glyph = glyph || !is(pixel(x, y), Backdrop);
        }
        for (int x = 288; x < 300; ++x)
        {
            EXPECT_TRUE(is(pixel(x, y), Backdrop)) << x << "," << y;
        }
    }
    EXPECT_TRUE(glyph);

    // The map never scrolls, wherever the worm goes.
    passStartDelay();
    for (int i = 0; i < 40; ++i)
    {
        drawFrame(FrameMs);
        ASSERT_EQ(screen().getOffsetX(0), 240);
        ASSERT_EQ(screen().getOffsetY(0), 240);
    }
    EXPECT_GT(player(1).getHead().y, 5);
}

TEST_F(PlayScreenRound, StartMarkersBlinkInTheSecondHalfOfEachRealSecond)
{
    auto rows = walled(20, 20);
    rows[5][10] = '1';
    round(rows, 1);
    // The marker lies under the worm, a disc of radius 14 around its 16-pixel cell: look beside the head.
    const Point start = headOnScreen(1);
    const Point beside(start.x + 8 + 11, start.y + 8);
    const Color marked = blend(Tarvo::MapPainter::Marker1, GroundColor);

    drawFrame(400); // 0.4 s into the second: off
    EXPECT_TRUE(is(pixel(beside.x, beside.y), GroundColor));
    EXPECT_TRUE(is(pixel(start.x + 8, start.y + 8), HeadColor));
    drawFrame(200); // 0.6 s: on
    TestSupport::saveFrame(screenshotPath("round_start_marker"));
    EXPECT_TRUE(is(pixel(beside.x, beside.y), marked, 1));
    EXPECT_TRUE(is(pixel(start.x + 8, start.y + 8), HeadColor));
    drawFrame(500); // 1.1 s: off again
    EXPECT_TRUE(is(pixel(beside.x, beside.y), GroundColor));

    // Once the delay is over, the second half of a second shows no marker.
    passStartDelay();
    while (clock().now() % 1000 <= 500)
    {
        frame(FrameMs);
    }
    drawFrame(0);
    EXPECT_TRUE(is(pixel(beside.x, beside.y), GroundColor));
}

TEST_F(PlayScreenRound, LargeMapScrollsToTheWormClippedToTheViewAndStopsAtItsEdges)
{
    auto rows = walled(60, 60);
    rows[10][30] = '1';
    round(rows, 1);
    drawFrame(0);
    TestSupport::saveFrame(screenshotPath("round_scrolled"));
    // The worm's column in the middle; its row near the top, so the map's top edge meets the view's.
    EXPECT_EQ(screen().getOffsetX(0), 240);
    EXPECT_EQ(screen().getOffsetY(0), 480);
    EXPECT_EQ(headOnScreen(1), Point(399, 250));
    EXPECT_TRUE(is(pixel(405, 256), HeadColor));
    EXPECT_TRUE(is(pixel(300, 90), WallColor));
    EXPECT_TRUE(is(pixel(300, 106), GroundColor));
    // Map everywhere around the view, but nothing of it outside.
    for (const Point& inside : {Point(159, 300), Point(638, 300), Point(300, 569)})
    {
        EXPECT_TRUE(is(pixel(inside.x, inside.y), GroundColor)) << inside.x << "," << inside.y;
    }
    for (const Point& outside : {Point(158, 300), Point(639, 300), Point(300, 89), Point(300, 570)})
    {
        EXPECT_TRUE(is(pixel(outside.x, outside.y), Backdrop)) << outside.x << "," << outside.y;
    }

    // Down the map: the view follows at no more than the worm's 48 pixels a second, and keeps it in view.
    passStartDelay();
    int moved = 0;
    int previous = screen().getOffsetY(0);
    for (int i = 0; i < 200; ++i)
    {
        drawFrame(FrameMs);
        const int offset = screen().getOffsetY(0);
        // 2.4 pixels a frame, plus what the fraction carries.
        ASSERT_LE(std::abs(offset - previous), 3) << i;
        moved += previous - offset;
        previous = offset;
        const Point head = headOnScreen(1);
        ASSERT_GE(head.y, 90);
        ASSERT_LT(head.y, 570);
    }
    EXPECT_GT(moved, 100);
    EXPECT_LE(moved, 48 * 10 + 1);
    TestSupport::saveFrame(screenshotPath("round_scrolled_later"));
}

TEST_F(PlayScreenRound, TwoViewsFollowTheirOwnWormsOverTheTwoPlayerBackground)
{
    auto rows = walled(60, 40);
    rows[20][45] = '1';
    rows[20][15] = '2';
    round(rows, 2);
    drawFrame(0);
    TestSupport::saveFrame(screenshotPath("round_two_players"));
    EXPECT_EQ(headOnScreen(1), Point(595, 330));
    EXPECT_EQ(headOnScreen(2), Point(204, 330));
    EXPECT_TRUE(is(pixel(601, 336), HeadColor));
    EXPECT_TRUE(is(pixel(210, 336), HeadColor));
    // Each view shows its part of the map up to its own edges, and the background between them.
    for (const Point& map : {Point(31, 300), Point(377, 300), Point(422, 300), Point(768, 300)})
    {
        EXPECT_TRUE(is(pixel(map.x, map.y), GroundColor)) << map.x;
    }
    const std::vector<Point> backs{Point(30, 300),  Point(378, 300), Point(400, 300), Point(421, 300),
                                   Point(769, 300), Point(200, 89),  Point(600, 570)};
    std::vector<std::array<int, 4>> shown;
    for (const Point& back : backs)
    {
        shown.push_back(pixel(back.x, back.y));
    }
    Fernhouse::Graphics::Image(Tarvo::PlayScreen::DuoBackground).draw();
    for (std::size_t i = 0; i < backs.size(); ++i)
    {
        EXPECT_EQ(shown[i], pixel(backs[i].x, backs[i].y)) << backs[i].x << "," << backs[i].y;
    }

    // Paused: both results centred on their anchors on a black box that reaches 30 pixels beyond the text.
    pressKey(SDLK_PAUSE);
    drawFrame(FrameMs);
    TestSupport::saveFrame(screenshotPath("round_two_players_paused"));
    const int halfText = 5 * 32 / 2;
    for (int centre : {595, 205})
    {
        EXPECT_TRUE(is(pixel(centre - halfText - 29, 330 - 16 - 29), Color(0, 0, 0, 255))) << centre;
        EXPECT_TRUE(is(pixel(centre + halfText + 29, 330 + 16 + 29), Color(0, 0, 0, 255))) << centre;
        EXPECT_FALSE(is(pixel(centre - halfText - 31, 330), Color(0, 0, 0, 255))) << centre;
    }
}

TEST_F(PlayScreenRound, TwoLayerMapShowsOnlyItsGroundWhileItsWallsStillBlock)
{
    // Two layers: ground and walls, and no start points, so no round can be played on it; the engine still
    // reads its walls, the painter never draws the last layer, and the full ground hides the background.
    auto rows = walled(20, 12);
    Tarvo::GameEngine& game = makeEngine(writeMap("flat", rows, 2));
    EXPECT_FALSE(game.isFree(Point(0, 0), false));
    EXPECT_TRUE(game.isFree(Point(1, 1), false));
    Tarvo::MapPainter painter(game.getMap(), &game);
    EXPECT_TRUE(painter.coversBackground());
    painter.setPosition(400, 300);
    glClear(GL_COLOR_BUFFER_BIT);
    painter.draw();
    const Point corner(400 - 160, 300 - 96);
    EXPECT_TRUE(is(pixel(corner.x, corner.y), GroundColor));
    EXPECT_TRUE(is(pixel(corner.x + 16, corner.y + 16), GroundColor));
    EXPECT_TRUE(is(pixel(corner.x - 1, corner.y), Color(0, 0, 0, 255)));
}

TEST_F(PlayScreenRound, PainterDrawsOnlyWhatTheViewShowsAndTheSamePicture)
{
    // 256 x 256 cells with walls in a pattern, so that a shifted cell would show.
    std::vector<std::string> rows(256, std::string(256, '.'));
    for (int y = 0; y < 256; ++y)
    {
        for (int x = 0; x < 256; ++x)
        {
            if ((x * 7 + y * 3) % 5 == 0)
            {
                rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = '#';
            }
        }
    }
    rows[100][101] = '1';
    round(rows, 1);
    Tarvo::MapPainter* painter = screen().getMapPainter();
    const Fernhouse::Base::Rect view = screen().getView(0);

    const auto drawView = [&](const Fernhouse::Base::Rect& area) {
        glClear(GL_COLOR_BUFFER_BIT);
        Fernhouse::Graphics::Painter clip;
        clip.setClipRect(view);
        painter->setVisibleArea(area);
        painter->draw();
        clip.clearClipRect();
        return TestSupport::readFrame();
    };
    // Odd positions, so that the view cuts through cells on every side.
    for (const Point& position : {Point(399, 330), Point(1234, -700), Point(-1801, 2051)})
    {
        painter->setPosition(position);
        const std::vector<std::uint8_t> everything = drawView(Fernhouse::Base::Rect());
        const std::uint32_t allTiles = painter->getDrawnTiles();
        const std::vector<std::uint8_t> culled = drawView(view);
        EXPECT_TRUE(everything == culled) << position.x << "," << position.y;
        // Two drawn layers of at most 33 x 33 cells, against the whole map's.
        EXPECT_LE(painter->getDrawnTiles(), 2u * 33 * 33) << position.x;
        EXPECT_GT(allTiles, 65536u);
    }
}

TEST_F(PlayScreenRound, MapHidesTheBackgroundOnlyWhenEveryGroundCellIsOpaque)
{
    auto rows = walled(20, 20);
    rows[5][10] = '1';
    round(rows, 1);
    Tarvo::MapPainter* painter = screen().getMapPainter();
    EXPECT_TRUE(painter->coversBackground());
    // Faded, the ground lets the background through.
    glColor4ub(255, 255, 255, 254);
    EXPECT_FALSE(painter->coversBackground());
    glColor4ub(255, 255, 255, 255);

    // A tile with see-through texels (the test sheet leaves tile 100 empty) in the ground.
    Tarvo::MapFile holed = *engine().getMap();
    holed.setTile(0, 3, 3, 100);
    EXPECT_FALSE(Tarvo::MapPainter(&holed, &engine()).coversBackground());

    // A cell without ground.
    rows[7][7] = ' ';
    round(rows, 1);
    EXPECT_FALSE(screen().getMapPainter()->coversBackground());
}

TEST_F(PlayScreenRound, LeavingOutTheHiddenBackgroundChangesNoPixel)
{
    struct Case
    {
        const char* name;
        std::vector<std::string> rows;
        int humans;
    };

    auto small = walled(20, 20);
    small[5][10] = '1';
    auto large = walled(60, 60);
    large[10][30] = '1';
    auto holed = large;
    holed[12][31] = ' ';
    auto duo = walled(60, 40);
    duo[20][45] = '1';
    duo[20][15] = '2';
    for (const Case& c : {Case{"small map", small, 1}, Case{"large map", large, 1},
                          Case{"ground with a hole", holed, 1}, Case{"two views", duo, 2}})
    {
        round(c.rows, c.humans);
        // A few frames in, so that a view has scrolled off its first place.
        passStartDelay();
        frames(10, FrameMs);
        glClear(GL_COLOR_BUFFER_BIT);
        screen().draw();
        const std::vector<std::uint8_t> drawn = TestSupport::readFrame();

        // The whole background, then every view over it.
        glClear(GL_COLOR_BUFFER_BIT);
        Fernhouse::Graphics::Image background(c.humans == 1 ? "back.png" : Tarvo::PlayScreen::DuoBackground);
        background.draw();
        Tarvo::MapPainter* painter = screen().getMapPainter();
        Fernhouse::Graphics::Painter clip;
        for (std::size_t index = 0; index < static_cast<std::size_t>(c.humans); ++index)
        {
            const Fernhouse::Base::Rect& view = screen().getView(index);
            clip.setClipRect(view);
            painter->setPosition(view.x + screen().getOffsetX(index), view.y + screen().getOffsetY(index));
            painter->setVisibleArea(view);
            painter->draw();
        }
        clip.clearClipRect();
        EXPECT_TRUE(TestSupport::readFrame() == drawn) << c.name;
    }
}
