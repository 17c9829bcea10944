#include "game/play/WormSprite.h"

#include "engine/base/Exception.h"
#include "engine/base/GameTime.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/graphics/TextureMap.h"
#include "engine/io/Control.h"
#include "engine/io/KeyboardControl.h"
#include "engine/sound/SoundManager.h"

#include "game/play/OccupancyGrid.h"

#include "tests/support/FakeClock.h"
#include "tests/support/GLWindow.h"
#include "tests/support/TempDir.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

using Fernhouse::Base::GameTime;
using Fernhouse::Base::Point;
using Fernhouse::IO::Control;
using Tarvo::WormSprite;

// Larger than any field a test worm crosses.
constexpr std::int32_t GridSide = 64;

namespace
{

static_assert(!std::is_copy_constructible_v<WormSprite>);

// Answers the queued requests one per step, then 0. Counts its own deletion.
class ScriptedControl final : public Control
{
public:
    explicit ScriptedControl(int* deletions = nullptr) : m_deletions(deletions) {}

    ~ScriptedControl() override
    {
        if (m_deletions != nullptr)
        {
            ++*m_deletions;
        }
    }

    void queue(std::uint32_t request) { m_requests.push_back(request); }

    std::uint32_t getDirection() override
    {
        ++m_queries;
        if (m_requests.empty())
        {
            return 0;
        }
        const std::uint32_t request = m_requests.front();
        m_requests.pop_front();
        return request;
    }

    int m_queries = 0;

private:
    std::deque<std::uint32_t> m_requests;
    int* m_deletions;
};

// A started game clock on a fake tick source; time moves only through advance.
class WormSpriteTest : public ::testing::Test
{
protected:
    // Game time 0 means "not yet set" to a worm, so the clock is moved past it first.
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

    // Updates until the worm has stepped once more; 334 ms is just over a cell at speed 3.
    void stepOnce(WormSprite& worm)
    {
        const Point before(worm.getHead().x, worm.getHead().y);
        frame(worm, StepAtBaseSpeed);
        ASSERT_NE(Point(worm.getHead().x, worm.getHead().y), before);
    }

    std::unique_ptr<WormSprite> makeWorm(Control* control, const Point& start = Point(5, 5),
                                         std::uint32_t direction = WormSprite::Down,
                                         std::uint32_t mode = WormSprite::ControlAbsolute,
                                         Fernhouse::Sound::SoundManager* sound = nullptr)
    {
        auto worm = std::make_unique<WormSprite>(sound, "Tarvo", control, nullptr, start, direction, mode,
                                                 &m_occupancy);
        frame(*worm, 0); // the first update only takes the time
        return worm;
    }

    static std::vector<std::int32_t> tiles(const WormSprite& worm)
    {
        std::vector<std::int32_t> result;
        for (const WormSprite::Segment& segment : worm.getBody())
        {
            result.push_back(segment.tile);
        }
        return result;
    }

    static constexpr std::uint32_t StepAtBaseSpeed = 334;

    TestSupport::FakeClock m_clock;
    GameTime m_time;
    Tarvo::OccupancyGrid m_occupancy{GridSide, GridSide};
};

Point head(const WormSprite& worm)
{
    return Point(worm.getHead().x, worm.getHead().y);
}

} // namespace

TEST_F(WormSpriteTest, NewWormIsOneHeadThatGrowsToThreeWithHeadBodyAndTailTiles)
{
    int deletions = 0;
    auto worm = makeWorm(new ScriptedControl(&deletions));
    EXPECT_EQ(worm->getType(), 1);
    EXPECT_EQ(worm->getLength(), 1u);
    EXPECT_EQ(tiles(*worm), std::vector<std::int32_t>({15}));
    EXPECT_EQ(worm->getPosition(), Point(80, 80));
    EXPECT_FALSE(worm->isKeyboardControlled());
    EXPECT_FLOAT_EQ(worm->getSpeed(), 3.0f);

    stepOnce(*worm);
    EXPECT_EQ(tiles(*worm), std::vector<std::int32_t>({15, 19}));
    stepOnce(*worm);
    EXPECT_EQ(worm->getLength(), 3u);
    EXPECT_EQ(tiles(*worm), std::vector<std::int32_t>({15, 16, 19}));
    EXPECT_EQ(head(*worm), Point(5, 7));
    EXPECT_EQ(worm->getPosition(), Point(80, 112));
    stepOnce(*worm);
    EXPECT_EQ(worm->getLength(), 3u);
    EXPECT_EQ(worm->getBody().back().y, 6);

    worm.reset();
    EXPECT_EQ(deletions, 1);
}

TEST_F(WormSpriteTest, StepsByElapsedGameTimeOneCellPerFrameCarryingTheRest)
{
    auto worm = makeWorm(new ScriptedControl);
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

    // A stopped clock stops the worm.
    m_time.stop();
    frame(*worm, 5000);
    EXPECT_EQ(head(*worm), Point(5, 8));
}

TEST_F(WormSpriteTest, AbsoluteSteeringNeverReversesAndIgnoresMergedRequests)
{
    auto* control = new ScriptedControl;
    auto worm = makeWorm(control);
    control->queue(Control::UpBit); // straight back: refused
    control->queue(Control::LeftBit | Control::UpBit);
    control->queue(Control::LeftBit);
    control->queue(Control::RightBit); // straight back again
    control->queue(Control::UpBit);
    stepOnce(*worm);
    EXPECT_EQ(head(*worm), Point(5, 6));
    stepOnce(*worm);
    EXPECT_EQ(head(*worm), Point(5, 7));
    stepOnce(*worm);
    EXPECT_EQ(head(*worm), Point(4, 7));
    EXPECT_EQ(worm->getDirection(), WormSprite::Left);
    // The old head turned from down to left.
    EXPECT_EQ(worm->getBody()[1].tile, 2);
    stepOnce(*worm);
    EXPECT_EQ(head(*worm), Point(3, 7));
    stepOnce(*worm);
    EXPECT_EQ(head(*worm), Point(3, 6));
    EXPECT_EQ(tiles(*worm), std::vector<std::int32_t>({10, 13, 4}));
}

TEST_F(WormSpriteTest, RelativeSteeringTurnsAboutTheHeading)
{
    auto* control = new ScriptedControl;
    auto worm = makeWorm(control, Point(5, 5), WormSprite::Down, WormSprite::ControlRelative);
    control->queue(Control::LeftBit); // counter-clockwise from down: right
    control->queue(Control::LeftBit); // right to up
    control->queue(Control::RightBit);
    control->queue(Control::UpBit); // means nothing here
    stepOnce(*worm);
    EXPECT_EQ(head(*worm), Point(6, 5));
    stepOnce(*worm);
    EXPECT_EQ(head(*worm), Point(6, 4));
    stepOnce(*worm);
    EXPECT_EQ(head(*worm), Point(7, 4));
    stepOnce(*worm);
    EXPECT_EQ(head(*worm), Point(8, 4));
    EXPECT_EQ(worm->getDirection(), WormSprite::Right);
}

TEST_F(WormSpriteTest, DrunkWormSteersMirroredAtHalfSpeedForTenSeconds)
{
    auto* control = new ScriptedControl;
    auto worm = makeWorm(control, Point(5, 5), WormSprite::Right);
    auto* relativeControl = new ScriptedControl;
    auto relative = makeWorm(relativeControl, Point(5, 5), WormSprite::Down, WormSprite::ControlRelative);
    worm->setState(WormSprite::StateDrunk);
    relative->setState(WormSprite::StateDrunk);
    EXPECT_FLOAT_EQ(worm->getSpeed(), 1.5f);
    control->queue(Control::UpBit);
    relativeControl->queue(Control::LeftBit); // mirrored: a right turn, from down to left
    frame(*worm, 667);                        // 1.0005 cells at 1.5 per second
    relative->update();
    EXPECT_EQ(head(*worm), Point(5, 6));
    EXPECT_EQ(head(*relative), Point(4, 5));

    // The effect ends once its end lies in the past.
    frame(*worm, 10000 - 667);
    EXPECT_EQ(worm->getState(), WormSprite::StateDrunk);
    frame(*worm, 1);
    EXPECT_EQ(worm->getState(), WormSprite::StateNormal);
    EXPECT_FLOAT_EQ(worm->getSpeed(), 3.0f);
    control->queue(Control::LeftBit);
    frame(*worm, StepAtBaseSpeed);
    EXPECT_EQ(worm->getDirection(), WormSprite::Left);
}

TEST_F(WormSpriteTest, TurboApplesStackAndTheEffectEndsFiveSecondsAfterTheLast)
{
    auto worm = makeWorm(new ScriptedControl);
    worm->setState(WormSprite::StateTurbo);
    EXPECT_FLOAT_EQ(worm->getSpeed(), 5.0f);
    frame(*worm, 2000);
    worm->setState(WormSprite::StateTurbo);
    EXPECT_FLOAT_EQ(worm->getSpeed(), 7.0f);
    EXPECT_FLOAT_EQ(worm->getTopSpeed(), 7.0f);
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

TEST_F(WormSpriteTest, GrowthStopsAtTwoHundredFiftySixSegments)
{
    auto worm = makeWorm(new ScriptedControl, Point(0, 0), WormSprite::Right);
    worm->grow(249); // 1 + 2 + 249 = 252
    for (int i = 0; i < 251; ++i)
    {
        stepOnce(*worm);
    }
    ASSERT_EQ(worm->getLength(), 252u);
    ASSERT_EQ(worm->getPendingGrowth(), 0);
    worm->grow(7);
    EXPECT_EQ(worm->getPendingGrowth(), 4);
    for (int i = 0; i < 10; ++i)
    {
        stepOnce(*worm);
    }
    EXPECT_EQ(worm->getLength(), 256u);
    EXPECT_EQ(worm->getBody().capacity(), 257u); // never grown beyond the reserve

    // A request near the 32-bit limit must not wrap around the cap.
    worm->grow(0xFFFFFFFFu);
    EXPECT_EQ(worm->getPendingGrowth(), 0);
    stepOnce(*worm);
    EXPECT_EQ(worm->getLength(), 256u);
}

TEST_F(WormSpriteTest, CollisionsNeedAWormHeadOnABodyCell)
{
    auto* control = new ScriptedControl;
    auto worm = makeWorm(control, Point(5, 5), WormSprite::Right);
    worm->grow(3);
    for (int i = 0; i < 5; ++i)
    {
        stepOnce(*worm);
    }
    // A straight worm of six cells, (5, 5) to (10, 5).
    EXPECT_FALSE(worm->collidesWith(worm.get()));
    EXPECT_TRUE(worm->occupies(Point(10, 5)));
    EXPECT_TRUE(worm->occupies(Point(5, 5)));
    EXPECT_FALSE(worm->occupies(Point(4, 5)));

    auto other = makeWorm(new ScriptedControl, Point(7, 5), WormSprite::Down);
    EXPECT_TRUE(worm->collidesWith(other.get()));
    EXPECT_FALSE(other->collidesWith(worm.get()));

    control->queue(Control::DownBit);
    control->queue(Control::LeftBit);
    control->queue(Control::UpBit);
    stepOnce(*worm);
    stepOnce(*worm);
    stepOnce(*worm);
    EXPECT_EQ(head(*worm), Point(9, 5));
    EXPECT_TRUE(worm->collidesWith(worm.get()));

    // A dead worm stays where it died and still blocks.
    worm->setState(WormSprite::StateDead);
    frame(*worm, 5000);
    EXPECT_EQ(head(*worm), Point(9, 5));
    EXPECT_EQ(worm->getLength(), 6u);
    EXPECT_TRUE(worm->occupies(Point(8, 5)));
}

namespace
{

Fernhouse::IO::KeySet arrowKeys()
{
    Fernhouse::IO::KeySet keys;
    keys.left = SDLK_LEFT;
    keys.right = SDLK_RIGHT;
    keys.up = SDLK_UP;
    keys.down = SDLK_DOWN;
    return keys;
}

// A sound manager on SDL's disk driver, so that effects really reach a mixer.
class WormSpriteSoundTest : public WormSpriteTest
{
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", m_dir.file("out.raw").c_str(), 1);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
        m_sound = std::make_unique<Fernhouse::Sound::SoundManager>(44100, AUDIO_S16LSB, 16, 2048);
    }

    void TearDown() override
    {
        m_sound.reset();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    // The message of the exception the call throws, or an empty text.
    static std::string thrownMessage(const std::function<void()>& call)
    {
        try
        {
            call();
        }
        catch (const Fernhouse::Base::SoundException& e)
        {
            return e.getMessage();
        }
        return std::string();
    }

    TestSupport::TempDir m_dir;
    std::unique_ptr<Fernhouse::Sound::SoundManager> m_sound;
};

} // namespace

TEST_F(WormSpriteSoundTest, KeyboardWormsPlayMoveOnEachStepAndDyingPlaysDie)
{
    // A context without sounds names every sound the worm asks for in its error.
    m_sound->pushContext("empty");
    auto human = makeWorm(new Fernhouse::IO::KeyboardControl(arrowKeys()), Point(5, 5), WormSprite::Down,
                          WormSprite::ControlAbsolute, m_sound.get());
    auto computer = makeWorm(new ScriptedControl, Point(9, 5), WormSprite::Down, WormSprite::ControlAbsolute,
                             m_sound.get());
    EXPECT_EQ(thrownMessage([&] { frame(*human, StepAtBaseSpeed); }), "Sound move not found.");
    EXPECT_EQ(thrownMessage([&] { computer->update(); }), "");
    EXPECT_EQ(head(*computer), Point(9, 6));
    EXPECT_EQ(thrownMessage([&] { computer->setState(WormSprite::StateDead); }), "Sound die not found.");

    const std::string sounds = std::string(TARVO_SOURCE_DIR) + "/sounds/";
    m_sound->addSound("game", "move", sounds + "wormMove.wav", true);
    m_sound->addSound("game", "die", sounds + "wormDie.wav", true);
    m_sound->pushContext("game");
    auto player = makeWorm(new Fernhouse::IO::KeyboardControl(arrowKeys()), Point(5, 5), WormSprite::Down,
                           WormSprite::ControlAbsolute, m_sound.get());
    EXPECT_TRUE(player->isKeyboardControlled());
    EXPECT_FALSE(computer->isKeyboardControlled());
    EXPECT_EQ(Mix_Playing(-1), 0);
    EXPECT_TRUE(player->getControl()->keyDown(SDLK_RIGHT, false, false, false));
    stepOnce(*player);
    EXPECT_EQ(head(*player), Point(6, 5));
    EXPECT_EQ(Mix_Playing(-1), 1);
    player->setState(WormSprite::StateDead);
    EXPECT_EQ(Mix_Playing(-1), 2);
}

namespace
{

constexpr int SheetWidth = 256;
constexpr int SheetHeight = 32;

// A distinct colour per skin tile, never black (the skin's transparent colour).
Fernhouse::Base::Color tileColor(int tile)
{
    return Fernhouse::Base::Color(static_cast<std::uint8_t>(10 * tile + 20),
                                  static_cast<std::uint8_t>(240 - 8 * tile),
                                  static_cast<std::uint8_t>(100 + tile), 255);
}

// Writes a skin sheet whose tiles are solid colours, with black corner pixels that the colour key hides.
void writeSkin(const std::string& path)
{
    SDL_Surface* surface = SDL_CreateRGBSurface(0, SheetWidth, SheetHeight, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    ASSERT_NE(surface, nullptr);
    for (int tile = 0; tile < 32; ++tile)
    {
        const Fernhouse::Base::Color c = tileColor(tile);
        SDL_Rect rect{static_cast<Sint16>(16 * (tile % 16)), static_cast<Sint16>(16 * (tile / 16)), 16, 16};
        SDL_FillRect(surface, &rect, SDL_MapRGB(surface->format, c.r, c.g, c.b));
        SDL_Rect corner{rect.x, rect.y, 1, 1};
        SDL_FillRect(surface, &corner, SDL_MapRGB(surface->format, 0, 0, 0));
    }
    ASSERT_EQ(SDL_SaveBMP(surface, path.c_str()), 0);
    SDL_FreeSurface(surface);
}

class WormSpriteDrawTest : public TestSupport::GLTest
{
protected:
    WormSpriteDrawTest() : m_clock(1000)
    {
        m_time.start();
        m_clock.advance(1000);
    }

    ~WormSpriteDrawTest() override
    {
        delete m_worm;
        m_factory.freeTextureMap(m_sheet);
    }

    // Head (3, 5) facing right, a down-to-right turn at (2, 5), the tail below the start at (2, 4).
    WormSprite& threeSegmentWorm()
    {
        writeSkin(m_dir.file("skin.bmp"));
        const Fernhouse::Base::Color key(0, 0, 0, 255);
        m_sheet = m_factory.createTextureMap(m_dir.file("skin.bmp"), &key);
        auto* control = new ScriptedControl;
        m_worm = new WormSprite(nullptr, "Tarvo", control, m_sheet->getTexture(0, 0), Point(2, 3),
                                WormSprite::Down, WormSprite::ControlAbsolute, &m_occupancy);
        m_time.update();
        m_worm->update();
        for (int i = 0; i < 3; ++i)
        {
            if (i == 2)
            {
                control->queue(Control::RightBit);
            }
            m_clock.advance(334);
            m_time.update();
            m_worm->update();
        }
        EXPECT_EQ(m_worm->getLength(), 3u);
        return *m_worm;
    }

    TestSupport::FakeClock m_clock;
    GameTime m_time;
    Tarvo::OccupancyGrid m_occupancy{GridSide, GridSide};
    TestSupport::TempDir m_dir;
    Fernhouse::Graphics::TextureFactory m_factory;
    Fernhouse::Graphics::TextureMap* m_sheet = nullptr;
    WormSprite* m_worm = nullptr;
};

::testing::AssertionResult drawnTile(int cellX, int cellY, int tile, const Fernhouse::Base::Color& tint)
{
    const Fernhouse::Base::Color c = tileColor(tile);
    const auto modulate = [](int channel, int factor) { return (channel * factor + 127) / 255; };
    const int x = 16 * cellX;
    const int y = 16 * cellY;
    ::testing::AssertionResult inside =
        TestSupport::rgbIs(TestSupport::pixel(x + 8, y + 8), modulate(c.r, tint.r), modulate(c.g, tint.g),
                           modulate(c.b, tint.b));
    if (!inside)
    {
        return inside << " for tile " << tile << " at cell (" << cellX << ", " << cellY << ")";
    }
    // The key colour in the tile's corner is transparent: the black background shows.
    return TestSupport::rgbIs(TestSupport::pixel(x, y), 0, 0, 0)
           << " at the corner of cell (" << cellX << ", " << cellY << ")";
}

} // namespace

TEST_F(WormSpriteDrawTest, DrawsEachSegmentsTileAtItsCellAndTintsTheDead)
{
    WormSprite& worm = threeSegmentWorm();
    const Fernhouse::Base::Color white(255, 255, 255, 255);
    worm.draw();
    EXPECT_TRUE(drawnTile(3, 5, 5, white));
    EXPECT_TRUE(drawnTile(2, 5, 7, white));
    EXPECT_TRUE(drawnTile(2, 4, 19, white));
    EXPECT_RGB(TestSupport::pixel(16 * 2 + 8, 16 * 3 + 8), 0, 0, 0); // the start cell is left behind
    EXPECT_RGB(TestSupport::pixel(16 * 4, 16 * 5 + 8), 0, 0, 0);     // just right of the head

    glClear(GL_COLOR_BUFFER_BIT);
    worm.setState(WormSprite::StateDead);
    worm.draw();
    EXPECT_TRUE(drawnTile(3, 5, 5, WormSprite::DeadTint));
    EXPECT_TRUE(drawnTile(2, 4, 19, WormSprite::DeadTint));
    // The tint is undone after drawing.
    GLfloat color[4];
    glGetFloatv(GL_CURRENT_COLOR, color);
    EXPECT_FLOAT_EQ(color[1], 1.0f);
}

TEST_F(WormSpriteDrawTest, SegmentsOutsideTheDrawAreaAreLeftOut)
{
    WormSprite& worm = threeSegmentWorm();
    const Fernhouse::Base::Color white(255, 255, 255, 255);
    // Column 2 from row 4 down: the tail and the turn, not the head.
    worm.setDrawArea(Fernhouse::Base::Rect(2, 4, 1, 2));
    worm.draw();
    EXPECT_TRUE(drawnTile(2, 5, 7, white));
    EXPECT_TRUE(drawnTile(2, 4, 19, white));
    EXPECT_RGB(TestSupport::pixel(16 * 3 + 8, 16 * 5 + 8), 0, 0, 0);

    // An area left of and above the worm shows nothing of it.
    glClear(GL_COLOR_BUFFER_BIT);
    worm.setDrawArea(Fernhouse::Base::Rect(-5, -5, 7, 9));
    worm.draw();
    EXPECT_RGB(TestSupport::pixel(16 * 2 + 8, 16 * 4 + 8), 0, 0, 0);
    EXPECT_RGB(TestSupport::pixel(16 * 2 + 8, 16 * 5 + 8), 0, 0, 0);

    // An empty area draws the whole worm again.
    worm.setDrawArea(Fernhouse::Base::Rect());
    worm.draw();
    EXPECT_TRUE(drawnTile(3, 5, 5, white));
    EXPECT_TRUE(drawnTile(2, 4, 19, white));
}
