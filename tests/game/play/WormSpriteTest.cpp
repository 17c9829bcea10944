#include "game/play/WormSprite.h"

#include "tests/game/play/RoundFixture.h"

using namespace RoundSupport;
using Fernhouse::IO::Control;
using Tiles = std::vector<std::int32_t>;
using Path = std::vector<Point>;

namespace
{

constexpr std::uint32_t L = Control::LeftBit, R = Control::RightBit, U = Control::UpBit, D = Control::DownBit;
constexpr std::uint32_t StepMs = 334; // just over one cell at base speed

// Answers what the test put in next, once.
struct NextControl final : Control
{
    std::uint32_t next = 0;

    std::uint32_t getDirection() override { return std::exchange(next, 0); }
};

const auto head = [](const WormSprite& worm) { return Point(worm.getHead().x, worm.getHead().y); };

const auto tiles = [](const WormSprite& worm) {
    Tiles result(worm.getBody().size());
    std::transform(worm.getBody().begin(), worm.getBody().end(), result.begin(),
                   [](const WormSprite::Segment& segment) { return segment.tile; });
    return result;
};

// A started game clock on a fake tick source (past 0, which a worm reads as "not set"); a 64-cell grid.
template <typename Base> class WormWorld : public Base
{
protected:
    WormWorld()
    {
        m_time.start();
        m_clock.advance(1000);
        m_time.update();
    }

    void frame(WormSprite& worm, std::uint32_t milliseconds)
    {
        m_clock.advance(milliseconds);
        m_time.update();
        worm.update();
    }

    // One step per request; the heads after each.
    Path drive(WormSprite& worm, const std::vector<std::uint32_t>& requests)
    {
        Path heads;
        for (const std::uint32_t request : requests)
        {
            static_cast<NextControl*>(worm.getControl())->next = request;
            frame(worm, StepMs);
            heads.push_back(head(worm));
        }
        return heads;
    }

    std::unique_ptr<WormSprite> makeWorm(Point start = Point(5, 5),
                                         std::uint32_t direction = WormSprite::Down,
                                         const Fernhouse::Graphics::Texture* skin = nullptr,
                                         std::uint32_t steering = WormSprite::ControlAbsolute)
    {
        auto worm = std::make_unique<WormSprite>(nullptr, "Tarvo", new NextControl, skin, start, direction,
                                                 steering, &m_occupancy);
        frame(*worm, 0); // the first update only takes the time
        return worm;
    }

    TestSupport::FakeClock m_clock{10000};
    Fernhouse::Base::GameTime m_time;
    OccupancyGrid m_occupancy{64, 64};
};

using WormSpriteTest = WormWorld<::testing::Test>;
using WormSpriteDrawTest = WormWorld<TestSupport::GLTest>;

} // namespace

TEST_F(WormSpriteTest, StepsByElapsedGameTimeOneCellPerFrameSteersAndDrunkOrTurboChangeBoth)
{
    auto worm = makeWorm();
    // 333 ms is 0.999 cells; 700 ms is 2.1 cells, one now and the rest carried, one cell a frame.
    for (const auto& [ms, y] :
         std::vector<std::pair<std::uint32_t, int>>{{333, 5}, {1, 6}, {700, 7}, {0, 8}, {0, 8}})
    {
        frame(*worm, ms);
        EXPECT_EQ(head(*worm), Point(5, y)) << ms;
    }
    // Reversing and merged requests are ignored.
    auto absolute = makeWorm();
    EXPECT_EQ(drive(*absolute, {U, L | U, L, R, U}), Path({{5, 6}, {5, 7}, {4, 7}, {3, 7}, {3, 6}}));
    // Relative steering turns from the heading; up and down do nothing.
    auto relative = makeWorm(Point(5, 5), WormSprite::Down, nullptr, WormSprite::ControlRelative);
    EXPECT_EQ(drive(*relative, {L, L, R, U}), Path({{6, 5}, {6, 4}, {7, 4}, {8, 4}}));
    // Drunk halves the speed and mirrors steering for ten seconds; turbo stacks for five.
    worm = makeWorm(Point(5, 5), WormSprite::Right);
    static_cast<NextControl*>(worm->getControl())->next = U;
    // A state set (or -1), then a frame of ms, then the speed and state.
    const std::vector<std::tuple<int, std::uint32_t, float, std::uint32_t>> steps = {
        {WormSprite::StateDrunk, 667, 1.5f, WormSprite::StateDrunk}, // 1.0005 cells
        {-1, 10000 - 667, 1.5f, WormSprite::StateDrunk},
        {-1, 1, 3.0f, WormSprite::StateNormal},
        {WormSprite::StateTurbo, 2000, 5.0f, WormSprite::StateTurbo},
        {WormSprite::StateTurbo, 5000, 7.0f, WormSprite::StateTurbo},
        {-1, 1, 3.0f, WormSprite::StateNormal},
        // Turbo while drunk adds to the halved speed and ends the mirroring; beer in turbo halves the base.
        {WormSprite::StateDrunk, 0, 1.5f, WormSprite::StateDrunk},
        {WormSprite::StateTurbo, 0, 3.5f, WormSprite::StateTurbo},
        {WormSprite::StateDrunk, 0, 1.5f, WormSprite::StateDrunk}};
    for (const auto& [set, ms, speed, state] : steps)
    {
        if (set >= 0)
        {
            worm->setState(static_cast<std::uint32_t>(set));
        }
        frame(*worm, ms);
        EXPECT_EQ(std::make_pair(worm->getSpeed(), worm->getState()), std::make_pair(speed, state)) << ms;
        EXPECT_TRUE(ms != 667 || head(*worm) == Point(5, 6)) << "mirrored: up from right is down";
    }
}

TEST_F(WormSpriteTest, GrowsWithStraightPiecesCornersAndATailUpToTwoHundredFiftySixSegments)
{
    auto worm = makeWorm();
    drive(*worm, {0, 0});
    EXPECT_EQ(tiles(*worm), Tiles({15, 16, 19}));
    // Round an anticlockwise and a clockwise square, head first.
    for (const auto& [turns, expected] : std::vector<std::pair<std::vector<std::uint32_t>, Tiles>>{
             {{0, U, 0, L, 0, D, 0, R, 0}, {5, 6, 7, 16, 18, 1, 3, 11, 12, 9}},
             {{0, D, 0, L, 0, U, 0, R, 0}, {5, 6, 8, 11, 13, 1, 2, 16, 17, 9}}})
    {
        auto square = makeWorm(Point(20, 20), WormSprite::Right);
        square->grow(10);
        drive(*square, turns);
        EXPECT_EQ(tiles(*square), expected);
    }
    // Growth stops at 256 segments without wrapping or reallocating, even off the grid.
    worm = makeWorm(Point(0, 0), WormSprite::Right);
    worm->grow(249); // 1 + 2 + 249 = 252
    drive(*worm, std::vector<std::uint32_t>(251, 0));
    ASSERT_EQ(worm->getLength(), 252u);
    worm->grow(7);
    const std::int32_t clamped = worm->getPendingGrowth();
    drive(*worm, std::vector<std::uint32_t>(10, 0));
    EXPECT_EQ(std::make_tuple(clamped, worm->getLength(), worm->getBody().capacity()),
              std::make_tuple(4, 256u, 257ul));
}

namespace
{

// A distinct colour per skin tile, never black (the skin's transparent colour), modulated by the tint.
Color tileColor(int tile, const Color& tint = Color(255, 255, 255, 255))
{
    const auto mod = [](int channel, int factor) {
        return static_cast<std::uint8_t>((channel * factor + 127) / 255);
    };
    return {mod(10 * tile + 20, tint.r), mod(240 - 8 * tile, tint.g), mod(100 + tile, tint.b), 255};
}

// The tile's colour in the middle of each cell and the key colour at its corner; black for tile -1.
::testing::AssertionResult drawn(const std::vector<Point>& cells, const Tiles& expected,
                                 const Color& tint = Color(255, 255, 255, 255))
{
    std::vector<Probe> probes;
    for (std::size_t i = 0; i < cells.size(); ++i)
    {
        const Point at(16 * cells[i].x, 16 * cells[i].y);
        probes.push_back({at.x + 8, at.y + 8, expected[i] < 0 ? Color() : tileColor(expected[i], tint)});
        probes.push_back({at.x, at.y, Color()});
    }
    return showsAll(probes);
}

} // namespace

// A worm on a skin of solid tiles with black corner pixels that the colour key hides: head (3, 5) facing
// right, a down-to-right turn at (2, 5), the tail at (2, 4) below the start (2, 3).
TEST_F(WormSpriteDrawTest, DrawsEachSegmentsTileAtItsCellInsideTheDrawAreaAndTintsTheDead)
{
    TestSupport::TempDir dir;
    writePicture(
        dir.file("skin.png"), 256, 32,
        [](int x, int y) { return x % 16 == 0 && y % 16 == 0 ? Color() : tileColor(y / 16 * 16 + x / 16); },
        3);
    const Color key(0, 0, 0, 255);
    Fernhouse::Graphics::TextureFactory factory; // frees the sheet after the worm
    auto worm = makeWorm(Point(2, 3), WormSprite::Down,
                         factory.createTextureMap(dir.file("skin.png"), &key)->getTexture(0, 0));
    drive(*worm, {0, 0, R});
    const std::vector<Point> cells = {{3, 5}, {2, 5}, {2, 4}, {2, 3}, {4, 5}};
    // Draw area, then the tile expected on each cell (-1: nothing): all for an empty area, the tail and the
    // turn, nothing left of and above the worm.
    for (const auto& [area, expected] :
         std::vector<std::pair<Rect, Tiles>>{{{}, {5, 7, 19, -1, -1}},
                                             {{2, 4, 1, 2}, {-1, 7, 19, -1, -1}},
                                             {{-5, -5, 7, 9}, {-1, -1, -1, -1, -1}}})
    {
        glClear(GL_COLOR_BUFFER_BIT);
        worm->setDrawArea(area);
        worm->draw();
        EXPECT_TRUE(drawn(cells, expected));
    }
    worm->setDrawArea(Rect());
    worm->setState(WormSprite::StateDead);
    worm->draw();
    EXPECT_TRUE(drawn({{3, 5}, {2, 4}}, {5, 19}, WormSprite::DeadTint));
    GLfloat color[4];
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_FLOAT_EQ(color[1], 1.0f); // the tint is undone after drawing
}
