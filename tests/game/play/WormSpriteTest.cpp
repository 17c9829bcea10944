#include "game/play/WormSprite.h"

#include "engine/base/Exception.h"
#include "engine/base/GameTime.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/graphics/TextureMap.h"
#include "engine/io/KeyboardControl.h"
#include "engine/sound/SoundManager.h"

#include "game/play/OccupancyGrid.h"

#include "tests/game/play/RoundFixture.h"
#include "tests/support/FakeClock.h"
#include "tests/support/GLWindow.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TempDir.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

using Fernhouse::Base::Point;
using Fernhouse::IO::Control;
using Tarvo::WormSprite;
using Tiles = std::vector<std::int32_t>;
using Path = std::vector<Point>;

namespace
{

constexpr std::uint32_t L = Control::LeftBit, R = Control::RightBit, U = Control::UpBit, D = Control::DownBit;
// Just over one cell at base speed.
constexpr std::uint32_t StepMs = 334;

// Answers what the test put in next, once.
struct NextControl final : Control
{
    std::uint32_t next = 0;

    std::uint32_t getDirection() override { return std::exchange(next, 0); }
};

Point head(const WormSprite& worm)
{
    return Point(worm.getHead().x, worm.getHead().y);
}

Tiles tiles(const WormSprite& worm)
{
    Tiles result;
    for (const WormSprite::Segment& segment : worm.getBody())
    {
        result.push_back(segment.tile);
    }
    return result;
}

// A started game clock on a fake tick source (past 0, which a worm reads as "not set"); a 64-cell grid.
class WormSpriteTest : public ::testing::Test
{
protected:
    WormSpriteTest()
    {
        m_time.start();
        m_clock.advance(1000);
        m_time.update();
    }

    // Moves game time on and updates the worm once, as one frame would.
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

    // Steered by a NextControl unless given a control.
    std::unique_ptr<WormSprite> makeWorm(const Point& start = Point(5, 5),
                                         std::uint32_t direction = WormSprite::Down,
                                         std::uint32_t mode = WormSprite::ControlAbsolute,
                                         Control* control = nullptr,
                                         Fernhouse::Sound::SoundManager* sound = nullptr)
    {
        auto worm =
            std::make_unique<WormSprite>(sound, "Tarvo", control != nullptr ? control : new NextControl,
                                         nullptr, start, direction, mode, &m_occupancy);
        frame(*worm, 0); // the first update only takes the time
        return worm;
    }

    TestSupport::FakeClock m_clock{10000};
    Fernhouse::Base::GameTime m_time;
    Tarvo::OccupancyGrid m_occupancy{64, 64};
};

} // namespace

TEST_F(WormSpriteTest, StepsByElapsedGameTimeOneCellPerFrameCarryingTheRest)
{
    auto worm = makeWorm();
    // Head after each frame of the given length: 333 ms is 0.999 cells; 700 ms is 2.1 cells, one now and
    // the rest carried to the next frames, one cell each.
    const std::vector<std::pair<std::uint32_t, int>> frames = {{333, 5}, {1, 6}, {700, 7}, {0, 8}, {0, 8}};
    for (const auto& [ms, y] : frames)
    {
        frame(*worm, ms);
        EXPECT_EQ(head(*worm), Point(5, y)) << ms;
    }
    m_time.stop();
    frame(*worm, 5000);
    EXPECT_EQ(head(*worm), Point(5, 8));
}

TEST_F(WormSpriteTest, SteersAbsoluteWithoutReversingOrRelativeAboutItsHeading)
{
    // Reversing and merged requests are ignored.
    auto worm = makeWorm();
    EXPECT_EQ(drive(*worm, {U, L | U, L, R, U}), Path({{5, 6}, {5, 7}, {4, 7}, {3, 7}, {3, 6}}));
    EXPECT_EQ(worm->getPosition(), Point(48, 96));
    // Left from down is right, then up; right turns back right; up means nothing.
    auto relative = makeWorm(Point(5, 5), WormSprite::Down, WormSprite::ControlRelative);
    EXPECT_EQ(drive(*relative, {L, L, R, U}), Path({{6, 5}, {6, 4}, {7, 4}, {8, 4}}));
}

TEST_F(WormSpriteTest, GrowsWithAStraightPieceForEachDirectionACornerForEachTurnAndATail)
{
    auto worm = makeWorm();
    drive(*worm, {0});
    EXPECT_EQ(tiles(*worm), Tiles({15, 19}));
    drive(*worm, {0});
    EXPECT_EQ(tiles(*worm), Tiles({15, 16, 19}));
    // Round an anticlockwise and a clockwise square, head first.
    const std::vector<std::pair<std::vector<std::uint32_t>, Tiles>> squares = {
        {{0, U, 0, L, 0, D, 0, R, 0}, {5, 6, 7, 16, 18, 1, 3, 11, 12, 9}},
        {{0, D, 0, L, 0, U, 0, R, 0}, {5, 6, 8, 11, 13, 1, 2, 16, 17, 9}}};
    for (const auto& [turns, expected] : squares)
    {
        auto square = makeWorm(Point(20, 20), WormSprite::Right);
        square->grow(10);
        drive(*square, turns);
        EXPECT_EQ(tiles(*square), expected);
    }
}

TEST_F(WormSpriteTest, DrunkHalvesTheSpeedAndMirrorsSteeringForTenSecondsAndTurboStacksForFive)
{
    auto worm = makeWorm(Point(5, 5), WormSprite::Right);
    auto relative = makeWorm(Point(5, 5), WormSprite::Down, WormSprite::ControlRelative);
    worm->setState(WormSprite::StateDrunk);
    relative->setState(WormSprite::StateDrunk);
    EXPECT_FLOAT_EQ(worm->getSpeed(), 1.5f);
    static_cast<NextControl*>(worm->getControl())->next = U;
    static_cast<NextControl*>(relative->getControl())->next = L; // mirrored: a right turn, from down to left
    frame(*worm, 667);                                           // 1.0005 cells at 1.5 per second
    relative->update();
    EXPECT_EQ(head(*worm), Point(5, 6));
    EXPECT_EQ(head(*relative), Point(4, 5));
    frame(*worm, 10000 - 667);
    EXPECT_EQ(worm->getState(), WormSprite::StateDrunk);
    frame(*worm, 1);
    EXPECT_EQ(worm->getState(), WormSprite::StateNormal);
    EXPECT_FLOAT_EQ(worm->getSpeed(), 3.0f);
    drive(*worm, {L});
    EXPECT_EQ(worm->getDirection(), WormSprite::Left);

    worm->setState(WormSprite::StateTurbo);
    EXPECT_FLOAT_EQ(worm->getSpeed(), 5.0f);
    frame(*worm, 2000);
    worm->setState(WormSprite::StateTurbo);
    EXPECT_FLOAT_EQ(worm->getSpeed(), 7.0f);
    frame(*worm, 5000);
    EXPECT_EQ(worm->getState(), WormSprite::StateTurbo);
    frame(*worm, 1);
    EXPECT_EQ(worm->getState(), WormSprite::StateNormal);
    EXPECT_FLOAT_EQ(worm->getSpeed(), 3.0f);
    // Turbo while drunk adds to the halved speed and ends the mirroring; beer in turbo halves the base.
    worm->setState(WormSprite::StateDrunk);
    worm->setState(WormSprite::StateTurbo);
    EXPECT_FLOAT_EQ(worm->getSpeed(), 3.5f);
    EXPECT_EQ(worm->getState(), WormSprite::StateTurbo);
    worm->setState(WormSprite::StateDrunk);
    EXPECT_FLOAT_EQ(worm->getSpeed(), 1.5f);
    worm->setState(WormSprite::StateNormal);
    EXPECT_FLOAT_EQ(worm->getSpeed(), 3.0f);
    EXPECT_FLOAT_EQ(worm->getResults().topSpeed, 7.0f);
}

TEST_F(WormSpriteTest, GrowthStopsAtTwoHundredFiftySixSegmentsWithoutWrappingOrReallocatingEvenOffTheGrid)
{
    auto worm = makeWorm(Point(0, 0), WormSprite::Right);
    worm->grow(249); // 1 + 2 + 249 = 252
    drive(*worm, std::vector<std::uint32_t>(251, 0));
    ASSERT_EQ(worm->getLength(), 252u);
    worm->grow(7);
    EXPECT_EQ(worm->getPendingGrowth(), 4);
    drive(*worm, std::vector<std::uint32_t>(10, 0));
    EXPECT_EQ(worm->getLength(), 256u);
    EXPECT_EQ(worm->getBody().capacity(), 257u);
    worm->grow(0xFFFFFFFFu);
    EXPECT_EQ(worm->getPendingGrowth(), 0);
    drive(*worm, {0});
    EXPECT_EQ(worm->getLength(), 256u);
    // Off the 64-cell grid, where its head went, nothing is counted; a grid of no size counts nothing.
    EXPECT_EQ(head(*worm), Point(262, 0));
    EXPECT_EQ(m_occupancy.count(262, 0) + m_occupancy.count(63, 0) + m_occupancy.count(-1, 0), 1u);
    EXPECT_EQ(Tarvo::OccupancyGrid(-2, 5).count(0, 0), 0u);
}

TEST_F(WormSpriteTest, KeyboardWormsPlayMoveOnEachStepAndAnyWormPlaysDieOnDying)
{
    // The binary's own audio driver (dummy) is enough for channels to count as playing.
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
    auto sound = std::make_unique<Fernhouse::Sound::SoundManager>(44100, AUDIO_S16LSB, 16, 2048);
    // Without the sounds in the context, every sound asked for throws.
    sound->pushContext("empty");
    auto computer =
        makeWorm(Point(9, 5), WormSprite::Down, WormSprite::ControlAbsolute, nullptr, sound.get());
    EXPECT_NO_THROW(frame(*computer, StepMs)) << "a computer worm steps in silence";
    EXPECT_THROW(computer->setState(WormSprite::StateDead), Fernhouse::Base::SoundException);

    const std::string sounds = std::string(TARVO_SOURCE_DIR) + "/sounds/";
    sound->addSound("game", "move", sounds + "wormMove.wav", true);
    sound->addSound("game", "die", sounds + "wormDie.wav", true);
    sound->pushContext("game");
    auto player = makeWorm(Point(5, 5), WormSprite::Down, WormSprite::ControlAbsolute,
                           new Fernhouse::IO::KeyboardControl(RoundSupport::arrowKeys()), sound.get());
    EXPECT_TRUE(player->getControl()->keyDown(SDLK_RIGHT, false, false, false));
    frame(*player, StepMs);
    EXPECT_EQ(head(*player), Point(6, 5));
    EXPECT_EQ(Mix_Playing(-1), 1);
    player->setState(WormSprite::StateDead);
    EXPECT_EQ(Mix_Playing(-1), 2);
    sound.reset();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

namespace
{

constexpr Fernhouse::Base::Color White{255, 255, 255, 255};

// A distinct colour per skin tile, never black (the skin's transparent colour), modulated by the tint.
Fernhouse::Base::Color tileColor(int tile, const Fernhouse::Base::Color& tint = White)
{
    const auto mod = [](int channel, int factor) {
        return static_cast<std::uint8_t>((static_cast<std::uint8_t>(channel) * factor + 127) / 255);
    };
    return {mod(10 * tile + 20, tint.r), mod(240 - 8 * tile, tint.g), mod(100 + tile, tint.b), 255};
}

// The tile's colour in the middle of the cell and the key colour at its corner; black for tile -1.
::testing::AssertionResult drawn(int cellX, int cellY, int tile, const Fernhouse::Base::Color& tint = White)
{
    const Fernhouse::Base::Color c = tile < 0 ? Fernhouse::Base::Color() : tileColor(tile, tint);
    ::testing::AssertionResult inside =
        TestSupport::rgbIs(TestSupport::pixel(16 * cellX + 8, 16 * cellY + 8), c.r, c.g, c.b);
    if (!inside || tile < 0)
    {
        return inside << " for tile " << tile << " at cell (" << cellX << ", " << cellY << ")";
    }
    return TestSupport::rgbIs(TestSupport::pixel(16 * cellX, 16 * cellY), 0, 0, 0)
           << " at the corner of cell (" << cellX << ", " << cellY << ")";
}

using WormSpriteDrawTest = TestSupport::GLTest;

} // namespace

// A worm on a skin of solid tiles with black corner pixels that the colour key hides: head (3, 5) facing
// right, a down-to-right turn at (2, 5), the tail at (2, 4) below the start (2, 3).
TEST_F(WormSpriteDrawTest, DrawsEachSegmentsTileAtItsCellInsideTheDrawAreaAndTintsTheDead)
{
    TestSupport::TempDir dir;
    std::vector<std::uint8_t> rgb;
    for (int y = 0; y < 32; ++y)
    {
        for (int x = 0; x < 256; ++x)
        {
            const Fernhouse::Base::Color c =
                x % 16 == 0 && y % 16 == 0 ? Fernhouse::Base::Color() : tileColor(y / 16 * 16 + x / 16);
            rgb.insert(rgb.end(), {c.r, c.g, c.b});
        }
    }
    TestSupport::writePng(dir.file("skin.png"), 256, 32, rgb, 3);
    const Fernhouse::Base::Color key(0, 0, 0, 255);
    Fernhouse::Graphics::TextureFactory factory; // frees the sheet after the worm
    Fernhouse::Graphics::TextureMap* sheet = factory.createTextureMap(dir.file("skin.png"), &key);
    TestSupport::FakeClock clock(1000);
    Fernhouse::Base::GameTime time;
    time.start();
    Tarvo::OccupancyGrid occupancy(64, 64);
    WormSprite worm(nullptr, "Tarvo", new RoundSupport::PlanControl({0, 0, R}), sheet->getTexture(0, 0),
                    Point(2, 3), WormSprite::Down, WormSprite::ControlAbsolute, &occupancy);
    for (std::uint32_t ms : {1000, 334, 334, 334})
    {
        clock.advance(ms);
        time.update();
        worm.update();
    }
    // Draw area, then the tile expected on each cell (-1: nothing).
    const std::vector<std::pair<Fernhouse::Base::Rect, std::vector<int>>> areas = {
        {{}, {5, 7, 19, -1}},               // an empty area draws all
        {{2, 4, 1, 2}, {-1, 7, 19, -1}},    // the tail and the turn, not the head
        {{-5, -5, 7, 9}, {-1, -1, -1, -1}}, // left of and above the worm
    };
    for (const auto& [area, expected] : areas)
    {
        glClear(GL_COLOR_BUFFER_BIT);
        worm.setDrawArea(area);
        worm.draw();
        const Point cells[] = {{3, 5}, {2, 5}, {2, 4}, {2, 3}};
        for (std::size_t i = 0; i < 4; ++i)
        {
            EXPECT_TRUE(drawn(cells[i].x, cells[i].y, expected[i]));
        }
        EXPECT_RGB(TestSupport::pixel(16 * 4, 16 * 5 + 8), 0, 0, 0); // just right of the head
    }

    worm.setDrawArea(Fernhouse::Base::Rect());
    worm.setState(WormSprite::StateDead);
    worm.draw();
    EXPECT_TRUE(drawn(3, 5, 5, WormSprite::DeadTint));
    EXPECT_TRUE(drawn(2, 4, 19, WormSprite::DeadTint));
    GLfloat color[4];
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_FLOAT_EQ(color[1], 1.0f); // the tint is undone after drawing
}
