#include "game/play/PlayScreen.h"

#include "engine/graphics/Image.h"

#include "tests/game/play/RoundFixture.h"

using namespace RoundSupport;

namespace
{

constexpr Color Backdrop{10, 10, 60, 255};
constexpr Color Black{0, 0, 0, 255};
constexpr std::uint32_t FrameMs = 50;

const auto shows = [](const Point& at, const Color& color, int tolerance = 0) {
    return showsAll({Probe{at.x, at.y, color}}, tolerance);
};

class PlayScreenRound : public RoundTest
{
protected:
    void SetUp() override
    {
        RoundTest::SetUp();
        // A flat one-player background, so that every pixel outside the map says what it is.
        writePicture(dir().file("back.png"), TestSupport::WindowWidth, TestSupport::WindowHeight,
                     [](int, int) { return Backdrop; });
    }

    PlayScreen& screen() { return *engine().getPlayScreen(); }

    void round(const std::vector<std::string>& rows, int humans)
    {
        play(rows, humans, GAME_NONE, 0, 0, 0, humans == 1 ? "back.png" : "");
    }

    // The screen position of the player's head's top-left pixel in its view.
    Point headOnScreen(std::size_t index)
    {
        const WormSprite::Segment& head = engine().getWorms().at(index)->getHead();
        const MapFile* map = engine().getMap();
        return Point(
            screen().getView(index).x + screen().getOffsetX(index) - 8 * map->getWidth() + 16 * head.x,
            screen().getView(index).y + screen().getOffsetY(index) - 8 * map->getHeight() + 16 * head.y);
    }

    // The screen leaves out the background where a view's map hides it: the picture must be the one
    // drawn from the whole background with every view's map over it.
    void expectHiddenBackgroundLeftOut(const char* background)
    {
        glClear(GL_COLOR_BUFFER_BIT);
        screen().draw();
        const std::vector<std::uint8_t> drawn = TestSupport::readFrame();
        glClear(GL_COLOR_BUFFER_BIT);
        Fernhouse::Graphics::Image(background).draw();
        MapPainter* painter = screen().getMapPainter();
        Fernhouse::Graphics::Painter clip;
        for (std::size_t index = 0; index < engine().getHumanCount(); ++index)
        {
            const Rect& view = screen().getView(index);
            clip.setClipRect(view);
            painter->setPosition(view.x + screen().getOffsetX(index), view.y + screen().getOffsetY(index));
            painter->setVisibleArea(view);
            painter->draw();
        }
        clip.clearClipRect();
        EXPECT_TRUE(TestSupport::readFrame() == drawn) << background;
    }
};

} // namespace

TEST_F(PlayScreenRound, SmallMapSitsCentredWithApplesUnderTheWormBlinkingMarkersAndThePointsOnTheirAnchor)
{
    round(field(20, 20, {{10, 5, '1'}}), 1);
    // An apple under the head, which no step has judged yet: the worm is drawn after it, over it.
    clearApples();
    addApple(Apple::Cake, Point(10, 5));
    addApple(Apple::Super, Point(10, 12));
    frame(0, true);
    // 320 pixels of map in the middle of the 480-pixel view at (159, 90).
    EXPECT_TRUE(
        showsAll({Probe{239, 170, WallColor}, Probe{558, 489, WallColor}, Probe{238, 170, Backdrop},
                  Probe{239, 169, Backdrop}, Probe{559, 489, Backdrop}, Probe{255, 186, GroundColor},
                  Probe{407, 258, HeadColor}, Probe{414, 265, HeadColor}, Probe{414, 377, AppleColors[1]}}));
    // The points "    0" end at x = 288 from y = 35: their last glyph is drawn, and nothing right of it.
    int inked[2] = {0, 0}; // left of 288, and from there on
    for (int i = 0; i < 28 * 16; ++i)
    {
        inked[i % 28 >= 16] += shows({272 + i % 28, 35 + i / 28}, Backdrop) ? 0 : 1;
    }
    EXPECT_TRUE(inked[0] > 0 && inked[1] == 0);
    expectHiddenBackgroundLeftOut("back.png");

    // Start markers blink in the second half of each real second during the start delay.
    // The marker lies under the worm, a disc of radius 14 around its 16-pixel cell: look beside the head.
    const Point start = headOnScreen(0);
    const Point beside(start.x + 8 + 11, start.y + 8);
    // Real milliseconds into the second, and whether the marker shows then.
    for (const auto& [ms, on] :
         std::vector<std::pair<std::uint32_t, bool>>{{400, false}, {200, true}, {500, false}})
    {
        frame(ms, true);
        EXPECT_TRUE(on != static_cast<bool>(shows(beside, GroundColor))) << ms;
        EXPECT_TRUE(shows({start.x + 8, start.y + 8}, HeadColor));
    }
}

TEST_F(PlayScreenRound, LargeMapFollowsTheWormAtItsPaceClippedToTheViewAndStopsAtItsEdges)
{
    // A cell without ground far from the worm: the background shows through it.
    auto rows = field(60, 60, {{30, 10, '1'}});
    rows[50][31] = ' ';
    round(rows, 1);
    EXPECT_FALSE(screen().getMapPainter()->coversBackground());
    frame(0, true);
    // The worm's column in the middle; its row near the top, so the map's top edge meets the view's.
    // Map everywhere around the view, but nothing of it outside.
    EXPECT_TRUE(showsAll({Probe{405, 256, HeadColor}, Probe{300, 90, WallColor}, Probe{300, 106, GroundColor},
                          Probe{159, 300, GroundColor}, Probe{638, 300, GroundColor},
                          Probe{300, 569, GroundColor}, Probe{158, 300, Backdrop}, Probe{639, 300, Backdrop},
                          Probe{300, 89, Backdrop}, Probe{300, 570, Backdrop}}));

    // Down the map: the view follows at no more than the worm's 48 pixels a second, and keeps it in view.
    passStartDelay();
    const int first = screen().getOffsetY(0);
    for (int i = 0, previous = first; i < 200; ++i, previous = screen().getOffsetY(0))
    {
        frame(FrameMs);
        // 2.4 pixels a frame, plus what the fraction carries.
        ASSERT_TRUE(std::abs(screen().getOffsetY(0) - previous) <= 3 && headOnScreen(0).y >= 90 &&
                    headOnScreen(0).y < 570)
            << i;
    }
    EXPECT_TRUE(first - screen().getOffsetY(0) > 100 && first - screen().getOffsetY(0) <= 48 * 10 + 1);
    expectHiddenBackgroundLeftOut("back.png");
}

TEST_F(PlayScreenRound, TwoViewsFollowTheirOwnWormsOverTheTwoPlayerBackgroundWithTheirOwnResults)
{
    round(field(60, 40, {{45, 20, '1'}, {15, 20, '2'}}), 2);
    frame(0, true);
    // Each view shows its part of the map up to its own edges, and the background between them.
    EXPECT_TRUE(
        showsAll({Probe{601, 336, HeadColor}, Probe{210, 336, HeadColor}, Probe{31, 300, GroundColor},
                  Probe{377, 300, GroundColor}, Probe{422, 300, GroundColor}, Probe{768, 300, GroundColor}}));
    passStartDelay();
    frames(10, FrameMs);
    expectHiddenBackgroundLeftOut(PlayScreen::DuoBackground);

    // Paused: both results centred on their anchors on a black box that reaches 30 pixels beyond the text.
    pressKey(SDLK_PAUSE);
    frame(FrameMs, true);
    const int halfText = 5 * 32 / 2;
    for (int centre : {595, 205})
    {
        EXPECT_TRUE(showsAll({Probe{centre - halfText - 29, 330 - 16 - 29, Black},
                              Probe{centre + halfText + 29, 330 + 16 + 29, Black}}));
    }
}

TEST_F(PlayScreenRound, MapPainterDrawsTheSamePictureForTheViewAloneAndAllButTheLastLayer)
{
    // 256 x 256 cells with walls in a pattern, so that a shifted cell would show.
    std::vector<std::string> rows(256, std::string(256, '.'));
    for (int i = 0; i < 256 * 256; i += 5)
    {
        rows[i / 256][i % 256] = '#';
    }
    rows[100][101] = '1';
    round(rows, 1);
    MapPainter* painter = screen().getMapPainter();
    const Rect view = screen().getView(0);
    const auto drawView = [&](const Rect& area) {
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
        const std::vector<std::uint8_t> everything = drawView(Rect());
        EXPECT_TRUE(everything == drawView(view)) << position.x << "," << position.y;
    }

    // Two layers, ground and walls: the engine still reads the walls, the painter never draws the last layer.
    GameEngine& flat = makeEngine(writeMap("flat", field(20, 12), 2));
    EXPECT_TRUE(!flat.isFree(Point(0, 0), false) && flat.isFree(Point(1, 1), false));
    MapPainter ground(flat.getMap(), &flat);
    EXPECT_TRUE(ground.coversBackground());
    ground.setPosition(400, 300);
    glClear(GL_COLOR_BUFFER_BIT);
    ground.draw();
    EXPECT_TRUE(
        showsAll({Probe{240, 204, GroundColor}, Probe{256, 220, GroundColor}, Probe{239, 204, Black}}));
}
