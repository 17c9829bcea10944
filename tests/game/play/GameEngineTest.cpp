#include "game/play/GameEngine.h"

#include "engine/base/EventRouter.h"
#include "engine/base/Exception.h"
#include "engine/base/GameTime.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/Label.h"
#include "engine/io/KeyboardControl.h"

#include "game/play/Apple.h"
#include "game/play/ApplePainter.h"
#include "game/play/GameType.h"
#include "game/play/MapFile.h"
#include "game/play/MapPainter.h"
#include "game/play/PlayScreen.h"
#include "game/play/PlayerOverflowException.h"
#include "game/play/WormSprite.h"

#include "tests/game/play/RoundFixture.h"
#include "tests/support/PrintTo.h"

#include <gtest/gtest.h>

#include <functional>
#include <iterator>
#include <random>
#include <type_traits>

using Fernhouse::Base::Point;
using Tarvo::Apple;
using Tarvo::GAME_APPLES;
using Tarvo::GAME_ENEMIES;
using Tarvo::GAME_LENGTH;
using Tarvo::GAME_NONE;
using Tarvo::GAME_SCORE;
using Tarvo::GAME_SURVIVE;
using Tarvo::GameEngine;
using Tarvo::WormSprite;

static_assert(!std::is_copy_constructible_v<GameEngine> && !std::is_copy_assignable_v<GameEngine>);

namespace
{

constexpr std::uint32_t FrameMs = 50;

struct Mark
{
    int x;
    int y;
    char c;
};

// A walled field of w x h cells with ground inside and the given cells marked.
std::vector<std::string> field(int w, int h, const std::vector<Mark>& marks)
{
    std::vector<std::string> rows(static_cast<std::size_t>(h),
                                  "#" + std::string(static_cast<std::size_t>(w - 2), '.') + "#");
    rows.front() = rows.back() = std::string(static_cast<std::size_t>(w), '#');
    for (const Mark& m : marks)
    {
        rows[static_cast<std::size_t>(m.y)][static_cast<std::size_t>(m.x)] = m.c;
    }
    return rows;
}

std::string text(const Fernhouse::GUI::Label* label)
{
    return label != nullptr ? label->getText() : std::string("<none>");
}

Point at(const WormSprite& worm)
{
    return Point(worm.getHead().x, worm.getHead().y);
}

class GameEngineRound : public RoundSupport::RoundTest
{
protected:
    // Frames until done answers true; false when it never does within the bound.
    bool frameUntil(const std::function<bool()>& done, int maxFrames = 400)
    {
        for (int i = 0; i < maxFrames && !done(); ++i)
        {
            frame(FrameMs);
        }
        return done();
    }

    bool frameUntilEnd()
    {
        return frameUntil([&] { return engine().getEndTime() != 0; });
    }

    WormSprite& player1() { return *engine().getPlayer1(); }

    WormSprite& player2() { return *engine().getPlayer2(); }

    WormSprite& worm(std::size_t index) { return *engine().getWorms().at(index); }

    // Humans at start points 1 (arrows) and 2 (letters), then computers without a plan; started.
    void play(const std::vector<std::string>& rows, std::int32_t type, std::int32_t goal, std::int32_t limit,
              int humans, int computers = 0)
    {
        makeEngine(writeMap("round", rows)).setGame(type, goal, limit);
        addHuman("Tarvo", RoundSupport::arrowKeys());
        if (humans == 2)
        {
            addHuman("Piggy", RoundSupport::letterKeys());
        }
        for (int i = 0; i < computers; ++i)
        {
            addComputer("Buffy", {});
        }
        startRound();
    }

    // One human at (2, 1) heading down a tall field; with two, player 2 at (6, 1).
    void column(std::int32_t type, std::int32_t goal, std::int32_t limit, int humans = 1)
    {
        play(humans == 1 ? field(5, 30, {{2, 1, '1'}}) : field(9, 30, {{2, 1, '1'}, {6, 1, '2'}}), type, goal,
             limit, humans);
    }

    // Turns every apple into a fresh one of the kind on the cell; later spawns vanish unseen.
    void addApple(std::int32_t kind, const Point& cell)
    {
        Tarvo::ApplePainter* painter = engine().getApplePainter();
        Tarvo::ApplePainter::Weights only{};
        only[static_cast<std::size_t>(kind)] = 1;
        painter->setWeights(only);
        painter->spawnApple();
        painter->getApples().back()->setCell(cell);
        stopSpawning();
    }

    void clearApples()
    {
        for (Apple* apple : apples())
        {
            apple->setKind(Apple::Gone);
        }
        stopSpawning();
    }

    // Offers a control the engine must refuse, and checks it is deleted rather than left in the router.
    template <typename E> void expectRefused(const std::string& skin, const std::string& message)
    {
        const std::size_t handlers = router().getHandlers().size();
        const std::size_t worms = engine().getWormCount();
        auto* control = new Fernhouse::IO::KeyboardControl(RoundSupport::letterKeys());
        control->setRegistered(true);
        try
        {
            engine().addPlayer("Piggy", control, skin, WormSprite::ControlAbsolute);
            ADD_FAILURE() << "accepted";
        }
        catch (const E& e)
        {
            EXPECT_EQ(e.getMessage(), message);
        }
        EXPECT_EQ(router().getHandlers().size(), handlers);
        EXPECT_EQ(engine().getWormCount(), worms);
    }
};

} // namespace

TEST_F(GameEngineRound, StartPointsAreTakenInNumberOrderAndLimitThePlayers)
{
    GameEngine& game = makeEngine(writeMap("gaps", field(8, 6, {{5, 2, '1'}, {2, 4, '3'}})));
    EXPECT_EQ(game.getSettings().type, GAME_ENEMIES);
    addHuman("Tarvo", RoundSupport::arrowKeys());
    addComputer("Buffy", {});
    EXPECT_EQ(at(worm(0)), Point(5, 2));
    EXPECT_EQ(at(worm(1)), Point(2, 4));
    EXPECT_EQ(worm(1).getDirection(), WormSprite::Down);
    EXPECT_EQ(game.getHumanCount(), 1);
    EXPECT_EQ(game.getPlayer2(), nullptr);
    expectRefused<Tarvo::PlayerOverflowException>(RoundSupport::FlatSkin, "No room for more players.");
}

TEST_F(GameEngineRound, RepeatedStartNumbersCountOnceAndEveryWormStartsOnAStartCell)
{
    // Every ground cell a start point: 110 cells (past the table) and 256 cells (past an 8-bit count),
    // numbered 1 to 9 over and over, or all 1.
    const struct
    {
        int size;
        int numbers;
    } maps[] = {{12, 9}, {18, 9}, {18, 1}};

    for (const auto& map : maps)
    {
        std::vector<Mark> marks;
        for (int i = 0; i < (map.size - 2) * (map.size - 2); ++i)
        {
            marks.push_back(
                {1 + i % (map.size - 2), 1 + i / (map.size - 2), static_cast<char>('1' + i % map.numbers)});
        }
        GameEngine& game = makeEngine(writeMap("crowd", field(map.size, map.size, marks)));
        EXPECT_EQ(game.getStartPointCount(), map.numbers);
        for (int k = 0; k < map.numbers; ++k)
        {
            addComputer("Buffy", {});
            const Point head = at(worm(static_cast<std::size_t>(k)));
            EXPECT_EQ(game.getMap()->getTile(GameEngine::StartLayer, head.x, head.y), k + 1);
        }
        EXPECT_THROW(addComputer("Buffy", {}), Tarvo::PlayerOverflowException);
    }
}

TEST_F(GameEngineRound, MissingMapOrSkinThrowsAndLeavesNothingBehind)
{
    try
    {
        makeEngine("maps/none.map");
        ADD_FAILURE() << "no exception";
    }
    catch (const Fernhouse::Base::FileNotFoundException& e)
    {
        EXPECT_EQ(e.getMessage(), "Couldn't load file: maps/none.map");
    }
    makeEngine(writeMap("one", field(5, 5, {{2, 2, '1'}})));
    expectRefused<Fernhouse::Base::FileNotFoundException>(
        "nosuchskin", "Could not load file: graphics/skins/nosuchskin.png");
}

TEST_F(GameEngineRound, RoundWithoutHumansFinishesAtStartWithoutHud)
{
    makeEngine(writeMap("bots", field(5, 5, {{2, 2, '1'}})));
    addComputer("Buffy", {});
    startRound();
    EXPECT_TRUE(engine().isFinished());
    EXPECT_EQ(engine().getPlayScreen(), nullptr);
}

TEST_F(GameEngineRound, StartDelayHoldsTheClockWhileMarkersShowThenReleasesIt)
{
    column(GAME_NONE, 0, 0);
    Tarvo::MapPainter* painter = engine().getPlayScreen()->getMapPainter();
    EXPECT_EQ(engine().getReadyTime(), StartTicks + GameEngine::StartDelay);
    // The first frame spawns an apple although the clock stands still.
    EXPECT_EQ(apples().size(), 1u);
    const Point head = at(player1());
    frames(60, FrameMs); // exactly 3000 ms: not yet over
    EXPECT_EQ(gameTime(), 0u);
    EXPECT_TRUE(painter->isShowingStart());
    EXPECT_EQ(at(player1()), head);
    EXPECT_EQ(apples().size(), 1u);

    frame(1);
    EXPECT_EQ(engine().getReadyTime(), 0u);
    EXPECT_FALSE(painter->isShowingStart());
    ASSERT_TRUE(frameUntil([&] { return player1().getLength() == 2; }));
    // Once the clock runs, spawns follow their own timing.
    EXPECT_TRUE(frameUntil([&] { return apples().size() == 2; }, 200));
}

TEST_F(GameEngineRound, PauseHoldsTimeApplesAndWormsUntilPressedAgain)
{
    column(GAME_NONE, 0, 65000);
    passStartDelay();
    frames(4, FrameMs);
    stopSpawning();
    pressKey(SDLK_PAUSE);
    frame(FrameMs);
    ASSERT_TRUE(engine().isPaused());
    EXPECT_EQ(text(engine().getResult1()), "PAUSE");
    const std::uint32_t held = gameTime();
    const Point head = at(player1());
    Apple* apple = apples().front();
    const std::int32_t kind = apple->getKind();
    // Half a minute of real time: long enough for any apple to rot or vanish, if the clock ran.
    frames(600, FrameMs);
    EXPECT_EQ(gameTime(), held);
    EXPECT_EQ(at(player1()), head);
    ASSERT_EQ(apples().front(), apple);
    EXPECT_EQ(apple->getKind(), kind);
    EXPECT_EQ(text(engine().getTimeValue()), "1:04");

    pressKey(SDLK_PAUSE);
    frame(FrameMs);
    EXPECT_EQ(text(engine().getResult1()), "");
    EXPECT_TRUE(frameUntil([&] { return at(player1()) != head; }, 20));

    // Escape leaves even a paused round at once, and hands the clock back running.
    pressKey(SDLK_PAUSE);
    pressKey(SDLK_ESCAPE);
    frame(FrameMs);
    EXPECT_TRUE(engine().isFinished());
    EXPECT_FALSE(Fernhouse::Base::GameTime::getInstance()->isStopped());
}

TEST_F(GameEngineRound, PauseDuringTheStartDelayHoldsTheDelayAndEscapeStillLeaves)
{
    column(GAME_NONE, 0, 0);
    frames(10, FrameMs);
    pressKey(SDLK_PAUSE);
    frames(10, FrameMs);
    pressKey(SDLK_PAUSE);
    frames(10, FrameMs);
    EXPECT_FALSE(engine().isPaused());
    EXPECT_EQ(gameTime(), 0u);
    // A pause held past the delay's end holds the delay too.
    pressKey(SDLK_PAUSE);
    frames(100, FrameMs);
    EXPECT_NE(engine().getReadyTime(), 0u);
    pressKey(SDLK_PAUSE);
    frame(FrameMs);
    EXPECT_EQ(engine().getReadyTime(), 0u);

    column(GAME_NONE, 0, 0);
    pressKey(SDLK_ESCAPE);
    frame(FrameMs);
    EXPECT_TRUE(engine().isFinished());
    EXPECT_FALSE(Fernhouse::Base::GameTime::getInstance()->isStopped());
}

TEST_F(GameEngineRound, RandomKeysNeverLeaveAnEndedRoundWithTheClockHeld)
{
    // Both players' directions, Pause and keys of no meaning, never Escape; frames of every length.
    const SDLKey keys[] = {SDLK_LEFT, SDLK_RIGHT, SDLK_UP,    SDLK_DOWN,  SDLK_a,     SDLK_d,
                           SDLK_w,    SDLK_s,     SDLK_PAUSE, SDLK_PAUSE, SDLK_SPACE, SDLK_x};
    const std::uint32_t frameLengths[] = {0, 1, 16, 50, 120, 400, 1000};
    std::mt19937 random(7);
    const auto pick = [&random](std::size_t count) {
        return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
    };
    const Fernhouse::Base::GameTime* gameClock = Fernhouse::Base::GameTime::getInstance();
    for (int round = 0; round < 60; ++round)
    {
        column(GAME_ENEMIES, 0, 20000, 2);
        std::uint32_t endedAt = 0;
        for (int step = 0; step < 2000 && !engine().isFinished(); ++step)
        {
            for (std::size_t presses = pick(4); presses > 0; --presses)
            {
                pressKey(keys[pick(std::size(keys))]);
            }
            frame(frameLengths[pick(std::size(frameLengths))]);
            if (engine().getEndTime() == 0 || engine().isFinished())
            {
                continue;
            }
            // Over: the clock runs, and any key leaves once 1500 ms of real time have passed.
            ASSERT_FALSE(gameClock->isStopped()) << "round " << round << ", step " << step;
            endedAt = endedAt != 0 ? endedAt : clock().now();
            if (clock().now() - endedAt >= GameEngine::EndDelay)
            {
                pressKey(keys[pick(std::size(keys))]);
                frame(0);
                ASSERT_TRUE(engine().isFinished()) << "round " << round << ", step " << step;
            }
        }
        ASSERT_TRUE(engine().isFinished()) << "round " << round << " never ended";
    }
}

TEST_F(GameEngineRound, EndedRoundFreezesTheWorldAndKeysLeaveOnlyAfterTheEndDelay)
{
    play(field(5, 6, {{2, 1, '1'}}), GAME_NONE, 0, 0, 1);
    passStartDelay();
    ASSERT_TRUE(frameUntilEnd());
    EXPECT_TRUE(isPlaying("sounds/wormDie.wav"));
    EXPECT_EQ(engine().getEndTime(), gameTime() + GameEngine::EndDelay);
    // The world is frozen, but the clock runs on towards the end delay.
    frames(20, FrameMs);
    EXPECT_EQ(gameTime() + GameEngine::EndDelay - 1000, engine().getEndTime());
    EXPECT_EQ(at(player1()), Point(2, 5));
    // A key 1 s after the end does nothing and is not consumed; Pause no longer pauses.
    pressKey(SDLK_SPACE);
    pressKey(SDLK_PAUSE);
    frame(0);
    EXPECT_FALSE(engine().isFinished());
    EXPECT_FALSE(engine().isPaused());
    frames(10, FrameMs);
    pressKey(SDLK_SPACE);
    frame(0);
    EXPECT_TRUE(engine().isFinished());
}

TEST_F(GameEngineRound, RoundsEndWithTheResultsTheirTypeAndGoalGive)
{
    using Apples = std::vector<std::pair<std::int32_t, Point>>;

    struct Case
    {
        const char* name;
        std::vector<std::string> rows;
        std::int32_t type;
        std::int32_t goal;
        std::int32_t limit;
        int humans;
        int computers;
        Apples apples;
        std::vector<SDLKey> keys;
        const char* result1;
        const char* result2;
        int winner; // 0: none
        int deaths;
        std::uint32_t endsAt; // game time, 0: not checked
        std::int32_t score1;
        const char* goal1;
    };

    const auto wall = field(5, 6, {{2, 1, '1'}});
    const auto meet = field(7, 5, {{1, 1, '1'}, {5, 1, '2'}});
    const auto won = field(9, 30, {{2, 1, '1'}, {6, 1, '2'}, {6, 4, '#'}});
    const auto lost = field(9, 30, {{2, 1, '1'}, {6, 1, '2'}, {2, 4, '#'}});
    const auto duo = field(9, 30, {{2, 1, '1'}, {6, 1, '2'}});
    const auto solo = field(5, 30, {{2, 1, '1'}});
    const Apples two{{Apple::Normal, {2, 3}}, {Apple::Normal, {6, 3}}};
    const Apples super{{Apple::Super, {6, 3}}};
    // A rotten apple is eaten first and does not count.
    const Apples rottenFirst{{Apple::Rotten, {2, 2}}, {Apple::Super, {2, 4}}};
    const std::vector<SDLKey> towards{SDLK_RIGHT, SDLK_a};
    const Case cases[] = {
        {"wall", wall, GAME_NONE, 0, 0, 1, 0, {}, {}, "GAME OVER", "", 0, 1, 0, 0, ""},
        {"heads meet", meet, GAME_NONE, 0, 0, 2, 0, {}, towards, "GAME OVER", "GAME OVER", 0, 2, 0, 0, ""},
        {"enemies won", won, GAME_ENEMIES, 0, 0, 1, 1, {}, {}, "YOU WON!", "", 1, 1, 0, 0, "0"},
        {"enemies lost", lost, GAME_ENEMIES, 0, 0, 1, 1, {}, {}, "GAME OVER", "", 0, 1, 0, 0, "1"},
        {"time up", duo, GAME_ENEMIES, 0, 2000, 2, 0, {}, {}, "TIME UP!", "TIME UP!", 0, 0, 2000, 0, "1"},
        {"length", solo, GAME_LENGTH, 3, 0, 1, 0, {}, {}, "YOU WON!", "", 1, 0, 0, 0, "3/3"},
        {"score draw", duo, GAME_SCORE, 10, 0, 2, 0, two, {}, "DRAW!", "DRAW!", 0, 0, 0, 10, "10"},
        {"score won", duo, GAME_SCORE, 50, 0, 2, 0, super, {}, "GAME OVER", "YOU WON!", 2, 0, 0, 0, "50"},
        {"apples", solo, GAME_APPLES, 1, 0, 1, 0, rottenFirst, {}, "YOU WON!", "", 1, 0, 0, 40, "1/1"},
        {"survived", solo, GAME_SURVIVE, 0, 1000, 1, 0, {}, {}, "YOU WON!", "", 1, 0, 1000, 0, ""},
        {"survived both", duo, GAME_SURVIVE, 0, 1000, 2, 0, {}, {}, "DRAW!", "DRAW!", 0, 0, 1000, 0, ""},
        {"survived by two",
         lost,
         GAME_SURVIVE,
         0,
         2000,
         2,
         0,
         {},
         {},
         "GAME OVER",
         "YOU WON!",
         2,
         1,
         2000,
         0,
         ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        play(c.rows, c.type, c.goal, c.limit, c.humans, c.computers);
        clearApples();
        for (const auto& [kind, cell] : c.apples)
        {
            addApple(kind, cell);
        }
        passStartDelay();
        const std::uint32_t begun = gameTime();
        for (SDLKey key : c.keys)
        {
            pressKey(key);
        }
        ASSERT_TRUE(frameUntilEnd());
        EXPECT_EQ(text(engine().getResult1()), c.result1);
        if (c.humans == 2)
        {
            EXPECT_EQ(text(engine().getResult2()), c.result2);
        }
        const WormSprite* winners[] = {nullptr, engine().getPlayer1(), engine().getPlayer2()};
        EXPECT_EQ(engine().getWinner(), winners[c.winner]);
        EXPECT_EQ(engine().getDeathCount(), c.deaths);
        if (c.endsAt != 0)
        {
            EXPECT_GE(gameTime() - begun, c.endsAt);
            EXPECT_LT(gameTime() - begun, c.endsAt + FrameMs);
            EXPECT_EQ(text(engine().getTimeValue()), "0:00");
        }
        EXPECT_EQ(player1().getScore(), c.score1);
        EXPECT_EQ(text(engine().getGoalValue1()), c.goal1);
    }
}

TEST_F(GameEngineRound, WormsDieAtTheGridEdgeInOtherBodiesAndInTheWallsTheDeadLieIn)
{
    // No wall below the start: the worm walks off the bottom edge.
    play({".1.", "...", "..."}, GAME_NONE, 0, 0, 1);
    passStartDelay();
    ASSERT_TRUE(frameUntilEnd());
    EXPECT_EQ(at(player1()), Point(1, 3));
    EXPECT_FALSE(engine().isFree(Point(-1, 0), false));

    // Player 2 turns into player 1's body: only it dies, and its body still blocks.
    play(field(8, 8, {{3, 1, '1'}, {5, 2, '2'}}), GAME_NONE, 0, 0, 2);
    clearApples();
    passStartDelay();
    pressKey(SDLK_a);
    ASSERT_TRUE(frameUntil([&] { return player2().isDead(); }));
    EXPECT_FALSE(player1().isDead());
    EXPECT_EQ(at(player2()), Point(3, 2));
    EXPECT_EQ(engine().getEndTime(), 0u);
    EXPECT_EQ(text(engine().getResult2()), "GAME OVER");
    EXPECT_EQ(text(engine().getResult1()), "");
    EXPECT_FALSE(engine().isFree(Point(4, 2), false));

    // The computer worm dies in the wall at (4, 5) after four steps; the human comes along a row one step
    // later, into its dead body (row 3) or into the wall cell where it lies (row 5).
    for (int row : {3, 5})
    {
        play(field(11, 7, {{4, 5, '#'}, {9, row, '1'}, {4, 1, '2'}}), GAME_NONE, 0, 0, 1, 1);
        passStartDelay();
        pressKey(SDLK_LEFT);
        ASSERT_TRUE(frameUntil([&] { return player1().isDead(); }));
        EXPECT_EQ(at(player1()), Point(4, row));
        EXPECT_EQ(engine().getDeathCount(), 2) << row;
    }
}

TEST_F(GameEngineRound, SurviveWithoutLimitEndsInTheFirstStepAfterTheStartDelay)
{
    column(GAME_SURVIVE, 0, 0);
    frames(60, FrameMs);
    EXPECT_EQ(engine().getEndTime(), 0u);
    passStartDelay();
    EXPECT_EQ(text(engine().getResult1()), "YOU WON!");
    // The clock runs, so the end delay passes and a key leaves.
    frames(31, FrameMs);
    pressKey(SDLK_RETURN);
    frame(0);
    EXPECT_TRUE(engine().isFinished());
}

TEST_F(GameEngineRound, EachAppleKindScoresGrowsTakesEffectAndPlaysItsSoundForHumansOnly)
{
    const struct
    {
        std::int32_t points;
        std::int32_t growth;
        std::uint32_t state;
        const char* sound;
    } kinds[] = {{10, 2, WormSprite::StateNormal, "sounds/wormEatNormal.wav"},
                 {50, 3, WormSprite::StateNormal, "sounds/wormEatSuper.wav"},
                 {-10, 1, WormSprite::StateNormal, "sounds/wormEatRotten.wav"},
                 {20, 2, WormSprite::StateTurbo, "sounds/wormEatTurbo.wav"},
                 {-5, 2, WormSprite::StateDrunk, "sounds/wormEatBeer.wav"},
                 {20, 7, WormSprite::StateNormal, "sounds/wormEatCake.wav"}};

    static_assert(std::size(kinds) == Apple::KindCount);
    for (std::int32_t kind = 0; kind < Apple::KindCount; ++kind)
    {
        SCOPED_TRACE(kind);
        const auto& k = kinds[kind];
        // The human eats at (2, 2), the computer at (6, 2).
        play(field(9, 30, {{2, 1, '1'}, {6, 1, '2'}}), GAME_NONE, 0, 0, 1, 1);
        clearApples();
        addApple(kind, Point(6, 2));
        passStartDelay();
        ASSERT_TRUE(frameUntil([&] { return worm(1).getApplesEaten(static_cast<std::size_t>(kind)) == 1; }));
        EXPECT_FALSE(isPlaying(k.sound));
        EXPECT_EQ(worm(1).getScore(), k.points);

        play(field(5, 30, {{2, 1, '1'}}), GAME_NONE, 0, 0, 1);
        clearApples();
        addApple(kind, Point(2, 2));
        passStartDelay();
        ASSERT_TRUE(
            frameUntil([&] { return player1().getApplesEaten(static_cast<std::size_t>(kind)) == 1; }));
        EXPECT_TRUE(isPlaying(k.sound));
        EXPECT_EQ(player1().getScore(), k.points);
        // One of the two starting cells was used by the step onto the apple.
        EXPECT_EQ(player1().getPendingGrowth(), 1 + k.growth);
        EXPECT_EQ(player1().getState(), k.state);
        // Marked eaten by the engine and removed by the apple painter in the same step.
        for (const Apple* apple : apples())
        {
            EXPECT_EQ(apple->getKind(), Apple::Gone) << "only unseen spawns are left";
            EXPECT_NE(apple->getCell(), Point(2, 2));
        }
        char shown[8];
        std::snprintf(shown, sizeof shown, "%5d", k.points);
        EXPECT_EQ(text(engine().getPointsValue1()), shown);
    }
}

TEST_F(GameEngineRound, FreeCellsExcludeWallsWormsTheOutsideAndOnRequestApples)
{
    column(GAME_NONE, 0, 0);
    clearApples();
    addApple(Apple::Rotten, Point(3, 5));
    EXPECT_TRUE(engine().isFree(Point(3, 5), false));
    EXPECT_FALSE(engine().isFree(Point(3, 5), true));
    EXPECT_TRUE(engine().isFree(Point(1, 1), true));
    for (const Point& taken : {Point(0, 1), Point(2, 1), Point(5, 1), Point(1, 30)})
    {
        EXPECT_FALSE(engine().isFree(taken, false)) << taken.x << "," << taken.y;
    }
}

TEST_F(GameEngineRound, HudValuesAreRightAlignedAndResultsCentredOnTheirViews)
{
    const auto right = [](const Fernhouse::GUI::Label* label) {
        return label->getX() + static_cast<std::int32_t>(label->getFont()->getTextSize(label->getText()).w);
    };
    const auto pauseAt = [&](const Fernhouse::GUI::Label* result) {
        pressKey(SDLK_PAUSE);
        frame(FrameMs);
        EXPECT_EQ(text(result), "PAUSE");
        const Fernhouse::Base::Size size = result->getFont()->getTextSize("PAUSE");
        EXPECT_EQ(result->getY(), 330 - static_cast<std::int32_t>(size.h / 2));
        return result->getX() + static_cast<std::int32_t>(size.w / 2);
    };
    column(GAME_LENGTH, 12, 65000);
    EXPECT_EQ(text(engine().getPointsValue1()), "    0");
    EXPECT_EQ(right(engine().getPointsValue1()), 288);
    EXPECT_EQ(engine().getPointsValue1()->getY(), 35);
    EXPECT_EQ(text(engine().getGoalValue1()), "1/12");
    EXPECT_EQ(right(engine().getGoalValue1()), 464);
    EXPECT_EQ(text(engine().getTimeValue()), "1:05");
    EXPECT_EQ(right(engine().getTimeValue()), 637);
    EXPECT_EQ(pauseAt(engine().getResult1()), 400);
    EXPECT_TRUE(engine().getResult1()->isDrawBackground());
    EXPECT_EQ(engine().getResult1()->getMargin(), Fernhouse::Base::Size(30, 30));

    column(GAME_APPLES, 5, 0, 2);
    EXPECT_EQ(text(engine().getTimeValue()), "");
    EXPECT_EQ(right(engine().getPointsValue1()), 618);
    EXPECT_EQ(right(engine().getGoalValue1()), 772);
    EXPECT_EQ(right(engine().getPointsValue2()), 154);
    EXPECT_EQ(text(engine().getGoalValue2()), "0/5");
    EXPECT_EQ(right(engine().getGoalValue2()), 308);
    EXPECT_EQ(pauseAt(engine().getResult2()), 205);
    EXPECT_EQ(engine().getResult1()->getX() + 205 - engine().getResult2()->getX(), 595);
}
