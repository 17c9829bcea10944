#include "game/play/WormSprite.h"

#include "engine/base/Exception.h"
#include "engine/base/GameTime.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/graphics/TextureMap.h"
#include "engine/io/Control.h"
#include "engine/io/KeyboardControl.h"
#include "engine/sound/SoundManager.h"

#include "game/play/OccupancyGrid.h"

#include "tests/game/play/RoundFixture.h"
#include "tests/support/FakeClock.h"
#include "tests/support/GLWindow.h"
#include "tests/support/TempDir.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>

#include <functional>
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

// Answers what the test put in next, once.
struct NextControl final : Control
{
    std::uint32_t next = 0;

    std::uint32_t getDirection() override { return std::exchange(next, 0); }
};

// The request the worm's NextControl answers on its next step.
std::uint32_t& next(WormSprite& worm)
{
    return static_cast<NextControl*>(worm.getControl())->next;
}

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
    WormSpriteTest() : m_clock(10000)
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

    // One frame just over a cell at base speed per request; the heads after each.
    Path drive(WormSprite& worm, const std::vector<std::uint32_t>& requests)
    {
        Path heads;
        for (const std::uint32_t request : requests)
        {
            next(worm) = request;
            frame(worm, StepAtBaseSpeed);
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

    static constexpr std::uint32_t StepAtBaseSpeed = 334;
    TestSupport::FakeClock m_clock;
    Fernhouse::Base::GameTime m_time;
    Tarvo::OccupancyGrid m_occupancy{64, 64};
};

} // namespace

TEST_F(WormSpriteTest, GrowsFromAHeadToThreeSegmentsWithHeadBodyAndTailTiles)
{
    auto worm = makeWorm();
    drive(*worm, {0});
    EXPECT_EQ(tiles(*worm), Tiles({15, 19}));
    drive(*worm, {0, 0});
    EXPECT_EQ(tiles(*worm), Tiles({15, 16, 19}));
    EXPECT_EQ(worm->getBody().back().y, 6);
    EXPECT_EQ(worm->getPosition(), Point(80, 128));
}

TEST_F(WormSpriteTest, StepsByElapsedGameTimeOneCellPerFrameCarryingTheRest)
{
    auto worm = makeWorm();
    frame(*worm, 333); // 0.999 cells
    EXPECT_EQ(head(*worm), Point(5, 5));
    frame(*worm, 1);
    EXPECT_EQ(head(*worm), Point(5, 6));
    // A 700 ms frame: 2.1 cells of progress, one cell now and the carried rest on the next frame.
    frame(*worm, 700);
    EXPECT_EQ(head(*worm), Point(5, 7));
    frame(*worm, 0);
    EXPECT_EQ(head(*worm), Point(5, 8));
    frame(*worm, 0);
    EXPECT_EQ(head(*worm), Point(5, 8));
    m_time.stop();
    frame(*worm, 5000);
    EXPECT_EQ(head(*worm), Point(5, 8));
}

TEST_F(WormSpriteTest, AbsoluteSteeringNeverReversesIgnoresMergedRequestsAndTilesTheTurns)
{
    auto worm = makeWorm();
    const std::uint32_t merged = Control::LeftBit | Control::UpBit;
    EXPECT_EQ(drive(*worm, {Control::UpBit, merged, Control::LeftBit}),
              Path({Point(5, 6), Point(5, 7), Point(4, 7)}));
    EXPECT_EQ(drive(*worm, {Control::RightBit, Control::UpBit}), Path({Point(3, 7), Point(3, 6)}));
    EXPECT_EQ(tiles(*worm), Tiles({10, 13, 4}));
}

TEST_F(WormSpriteTest, EachDirectionHasItsStraightPieceAndEachTurnItsCorner)
{
    struct Case
    {
        std::uint32_t heading, request;
        std::int32_t straight, corner;
    };

    for (const Case& c :
         {Case{WormSprite::Right, Control::UpBit, 6, 12}, Case{WormSprite::Right, Control::DownBit, 6, 17},
          Case{WormSprite::Left, Control::UpBit, 1, 13}, Case{WormSprite::Left, Control::DownBit, 1, 18},
          Case{WormSprite::Up, Control::RightBit, 11, 8}, Case{WormSprite::Up, Control::LeftBit, 11, 3},
          Case{WormSprite::Down, Control::RightBit, 16, 7}, Case{WormSprite::Down, Control::LeftBit, 16, 2}})
    {
        auto worm = makeWorm(Point(20, 20), c.heading);
        drive(*worm, {0, 0});
        EXPECT_EQ(worm->getBody()[1].tile, c.straight) << c.heading;
        drive(*worm, {c.request});
        EXPECT_EQ(worm->getBody()[1].tile, c.corner) << c.heading << " turning " << c.request;
    }
}

TEST_F(WormSpriteTest, RelativeSteeringTurnsAboutTheHeading)
{
    auto worm = makeWorm(Point(5, 5), WormSprite::Down, WormSprite::ControlRelative);
    // Left from down is right, then up; right turns back right; up means nothing here.
    EXPECT_EQ(drive(*worm, {Control::LeftBit, Control::LeftBit, Control::RightBit, Control::UpBit}),
              Path({Point(6, 5), Point(6, 4), Point(7, 4), Point(8, 4)}));
}

TEST_F(WormSpriteTest, DrunkWormSteersMirroredAtHalfSpeedForTenSeconds)
{
    auto worm = makeWorm(Point(5, 5), WormSprite::Right);
    auto relative = makeWorm(Point(5, 5), WormSprite::Down, WormSprite::ControlRelative);
    worm->setState(WormSprite::StateDrunk);
    relative->setState(WormSprite::StateDrunk);
    EXPECT_FLOAT_EQ(worm->getSpeed(), 1.5f);
    next(*worm) = Control::UpBit;
    next(*relative) = Control::LeftBit; // mirrored: a right turn, from down to left
    frame(*worm, 667);                  // 1.0005 cells at 1.5 per second
    relative->update();
    EXPECT_EQ(head(*worm), Point(5, 6));
    EXPECT_EQ(head(*relative), Point(4, 5));
    frame(*worm, 10000 - 667);
    EXPECT_EQ(worm->getState(), WormSprite::StateDrunk);
    frame(*worm, 1);
    EXPECT_EQ(worm->getState(), WormSprite::StateNormal);
    EXPECT_FLOAT_EQ(worm->getSpeed(), 3.0f);
    drive(*worm, {Control::LeftBit});
    EXPECT_EQ(worm->getDirection(), WormSprite::Left);
}

TEST_F(WormSpriteTest, TurboApplesStackAndTheEffectEndsFiveSecondsAfterTheLast)
{
    auto worm = makeWorm();
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
    EXPECT_FLOAT_EQ(worm->getTopSpeed(), 7.0f);
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

TEST_F(WormSpriteTest, GrowthStopsAtTwoHundredFiftySixSegmentsWithoutWrappingOrReallocating)
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
}

TEST_F(WormSpriteTest, CollisionsNeedAWormHeadOnABodyCellAndTheDeadStillBlock)
{
    auto worm = makeWorm(Point(5, 5), WormSprite::Right);
    worm->grow(3);
    drive(*worm, {0, 0, 0, 0, 0}); // straight from (5, 5) to (10, 5)
    EXPECT_FALSE(worm->collidesWith(worm.get()));
    EXPECT_TRUE(worm->occupies(Point(5, 5)));
    EXPECT_FALSE(worm->occupies(Point(4, 5)));
    auto other = makeWorm(Point(7, 5), WormSprite::Down);
    EXPECT_TRUE(worm->collidesWith(other.get()));
    EXPECT_FALSE(other->collidesWith(worm.get()));
    drive(*worm, {Control::DownBit, Control::LeftBit, Control::UpBit});
    EXPECT_EQ(head(*worm), Point(9, 5));
    EXPECT_TRUE(worm->collidesWith(worm.get()));
    worm->setState(WormSprite::StateDead);
    frame(*worm, 5000);
    EXPECT_EQ(head(*worm), Point(9, 5));
    EXPECT_TRUE(worm->occupies(Point(8, 5)));
}

TEST_F(WormSpriteTest, KeyboardWormsPlayMoveOnEachStepAndDyingPlaysDie)
{
    // The binary's own audio driver (dummy) is enough for channels to count as playing.
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
    auto sound = std::make_unique<Fernhouse::Sound::SoundManager>(44100, AUDIO_S16LSB, 16, 2048);
    const auto message = [](const std::function<void()>& call) {
        try
        {
            call();
        }
        catch (const Fernhouse::Base::SoundException& e)
        {
            return e.getMessage();
        }
        return std::string();
    };
    // A context without sounds names every sound the worm asks for; computer players step silently.
    sound->pushContext("empty");
    auto human = makeWorm(Point(5, 5), WormSprite::Down, WormSprite::ControlAbsolute,
                          new Fernhouse::IO::KeyboardControl(RoundSupport::arrowKeys()), sound.get());
    auto computer =
        makeWorm(Point(9, 5), WormSprite::Down, WormSprite::ControlAbsolute, nullptr, sound.get());
    EXPECT_EQ(message([&] { frame(*human, StepAtBaseSpeed); }), "Sound move not found.");
    EXPECT_EQ(message([&] { computer->update(); }), "");
    EXPECT_EQ(message([&] { computer->setState(WormSprite::StateDead); }), "Sound die not found.");

    const std::string sounds = std::string(TARVO_SOURCE_DIR) + "/sounds/";
    sound->addSound("game", "move", sounds + "wormMove.wav", true);
    sound->addSound("game", "die", sounds + "wormDie.wav", true);
    sound->pushContext("game");
    auto player = makeWorm(Point(5, 5), WormSprite::Down, WormSprite::ControlAbsolute,
                           new Fernhouse::IO::KeyboardControl(RoundSupport::arrowKeys()), sound.get());
    EXPECT_TRUE(player->getControl()->keyDown(SDLK_RIGHT, false, false, false));
    frame(*player, StepAtBaseSpeed);
    EXPECT_EQ(head(*player), Point(6, 5));
    EXPECT_EQ(Mix_Playing(-1), 1);
    player->setState(WormSprite::StateDead);
    EXPECT_EQ(Mix_Playing(-1), 2);
    sound.reset();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

namespace
{

// A distinct colour per skin tile, never black (the skin's transparent colour).
Fernhouse::Base::Color tileColor(int tile)
{
    return Fernhouse::Base::Color(static_cast<std::uint8_t>(10 * tile + 20),
                                  static_cast<std::uint8_t>(240 - 8 * tile),
                                  static_cast<std::uint8_t>(100 + tile), 255);
}

// The tile's colour, modulated by the tint, in the middle of the cell; the key colour at its corner.
::testing::AssertionResult drawnTile(int cellX, int cellY, int tile,
                                     const Fernhouse::Base::Color& tint = {255, 255, 255, 255})
{
    const Fernhouse::Base::Color c = tileColor(tile);
    const auto mod = [](int channel, int factor) { return (channel * factor + 127) / 255; };
    ::testing::AssertionResult inside =
        TestSupport::rgbIs(TestSupport::pixel(16 * cellX + 8, 16 * cellY + 8), mod(c.r, tint.r),
                           mod(c.g, tint.g), mod(c.b, tint.b));
    if (!inside)
    {
        return inside << " for tile " << tile << " at cell (" << cellX << ", " << cellY << ")";
    }
    return TestSupport::rgbIs(TestSupport::pixel(16 * cellX, 16 * cellY), 0, 0, 0)
           << " at the corner of cell (" << cellX << ", " << cellY << ")";
}

bool cellIsBlack(int cellX, int cellY)
{
    return TestSupport::rgbIs(TestSupport::pixel(16 * cellX + 8, 16 * cellY + 8), 0, 0, 0);
}

using WormSpriteDrawTest = TestSupport::GLTest;

} // namespace

// A worm on a skin of solid tiles with black corner pixels that the colour key hides: head (3, 5) facing
// right, a down-to-right turn at (2, 5), the tail at (2, 4) below the start (2, 3).
TEST_F(WormSpriteDrawTest, DrawsEachSegmentsTileAtItsCellInsideTheDrawAreaAndTintsTheDead)
{
    TestSupport::TempDir dir;
    SDL_Surface* surface = SDL_CreateRGBSurface(0, 256, 32, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    for (int tile = 0; tile < 32; ++tile)
    {
        const Fernhouse::Base::Color c = tileColor(tile);
        SDL_Rect rect{static_cast<Sint16>(16 * (tile % 16)), static_cast<Sint16>(16 * (tile / 16)), 16, 16};
        SDL_FillRect(surface, &rect, SDL_MapRGB(surface->format, c.r, c.g, c.b));
        SDL_Rect corner{rect.x, rect.y, 1, 1};
        SDL_FillRect(surface, &corner, SDL_MapRGB(surface->format, 0, 0, 0));
    }
    ASSERT_EQ(SDL_SaveBMP(surface, dir.file("skin.bmp").c_str()), 0);
    SDL_FreeSurface(surface);
    const Fernhouse::Base::Color key(0, 0, 0, 255);
    Fernhouse::Graphics::TextureFactory factory; // frees the sheet after the worm
    Fernhouse::Graphics::TextureMap* sheet = factory.createTextureMap(dir.file("skin.bmp"), &key);
    TestSupport::FakeClock clock(1000);
    Fernhouse::Base::GameTime time;
    time.start();
    Tarvo::OccupancyGrid occupancy(64, 64);
    WormSprite worm(nullptr, "Tarvo", new RoundSupport::PlanControl({0, 0, Control::RightBit}),
                    sheet->getTexture(0, 0), Point(2, 3), WormSprite::Down, WormSprite::ControlAbsolute,
                    &occupancy);
    for (std::uint32_t ms : {1000, 334, 334, 334})
    {
        clock.advance(ms);
        time.update();
        worm.update();
    }

    worm.draw();
    EXPECT_TRUE(drawnTile(3, 5, 5));
    EXPECT_TRUE(drawnTile(2, 5, 7));
    EXPECT_TRUE(drawnTile(2, 4, 19));
    EXPECT_TRUE(cellIsBlack(2, 3));
    EXPECT_RGB(TestSupport::pixel(16 * 4, 16 * 5 + 8), 0, 0, 0); // just right of the head

    glClear(GL_COLOR_BUFFER_BIT);
    worm.setDrawArea(Fernhouse::Base::Rect(2, 4, 1, 2)); // the tail and the turn, not the head
    worm.draw();
    EXPECT_TRUE(drawnTile(2, 5, 7));
    EXPECT_TRUE(drawnTile(2, 4, 19));
    EXPECT_TRUE(cellIsBlack(3, 5));
    glClear(GL_COLOR_BUFFER_BIT);
    worm.setDrawArea(Fernhouse::Base::Rect(-5, -5, 7, 9)); // left of and above the worm
    worm.draw();
    EXPECT_TRUE(cellIsBlack(2, 4));
    EXPECT_TRUE(cellIsBlack(2, 5));

    worm.setDrawArea(Fernhouse::Base::Rect()); // an empty area draws all
    worm.setState(WormSprite::StateDead);
    worm.draw();
    EXPECT_TRUE(drawnTile(3, 5, 5, WormSprite::DeadTint));
    EXPECT_TRUE(drawnTile(2, 4, 19, WormSprite::DeadTint));
    GLfloat color[4];
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_FLOAT_EQ(color[1], 1.0f); // the tint is undone after drawing
}
