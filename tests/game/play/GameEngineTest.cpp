#include "game/play/GameEngine.h"

#include "engine/base/EventRouter.h"
#include "engine/base/Exception.h"
#include "engine/base/GameTime.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/Label.h"
#include "engine/io/KeyboardControl.h"

#include "game/play/Apple.h"
#include "game/play/ApplePainter.h"
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
using Tarvo::GameEngine;
using Tarvo::WormSprite;

static_assert(!std::is_copy_constructible_v<GameEngine> && !std::is_copy_assignable_v<GameEngine>);

namespace
{

constexpr std::uint32_t Left = Fernhouse::IO::Control::LeftBit;
constexpr std::uint32_t FrameMs = 50;

// A walled field of w x h cells with ground inside.
std::vector<std::string> field(int w, int h)
{
    std::vector<std::string> rows(static_cast<std::size_t>(h),
                                  "#" + std::string(static_cast<std::size_t>(w - 2), '.') + "#");
    rows.front() = rows.back() = std::string(static_cast<std::size_t>(w), '#');
    return rows;
}

void put(std::vector<std::string>& rows, int x, int y, char c)
{
    rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = c;
}

std::string text(const Fernhouse::GUI::Label* label)
{
    return label != nullptr ? label->getText() : std::string("<none>");
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

    WormSprite& player1() { return *engine().getPlayer1(); }

    WormSprite& player2() { return *engine().getPlayer2(); }

    WormSprite& worm(std::size_t index) { return *engine().getWorms().at(index); }

    // One human at (2, 1) heading down a tall field, for the rules that need nothing else.
    void soloRound(std::int32_t type, std::int32_t goal, std::int32_t timeLimit)
    {
        auto rows = field(5, 30);
        put(rows, 2, 1, '1');
        makeEngine(writeMap("solo", rows)).setGame(type, goal, timeLimit);
        addHuman("Tarvo", RoundSupport::arrowKeys());
        startRound();
    }

    // Two humans heading down tall columns: player 1 at (2, 1), player 2 at (6, 1).
    void duoRound(std::int32_t type, std::int32_t goal, std::int32_t timeLimit)
    {
        auto rows = field(9, 30);
        put(rows, 2, 1, '1');
        put(rows, 6, 1, '2');
        makeEngine(writeMap("duo", rows)).setGame(type, goal, timeLimit);
        addHuman("Tarvo", RoundSupport::arrowKeys());
        addHuman("Piggy", RoundSupport::letterKeys());
        startRound();
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
};

} // namespace

TEST_F(GameEngineRound, StartPointsAreCollectedByNumberAndLimitThePlayers)
{
    auto rows = field(8, 6);
    put(rows, 5, 2, '1');
    put(rows, 2, 4, '3');
    GameEngine& game = makeEngine(writeMap("gaps", rows));
    // Numbers 1 and 3: two start points, taken in number order.
    EXPECT_EQ(game.getStartPointCount(), 2);
    EXPECT_EQ(game.getStartPoint(1), Point(5, 2));
    EXPECT_EQ(game.getStartPoint(2), Point(2, 4));
    EXPECT_EQ(game.getSettings().type, Tarvo::GAME_ENEMIES);
    EXPECT_EQ(game.getSettings().goal, 0);
    EXPECT_EQ(game.getSettings().timeLimit, 0);

    addHuman("Tarvo", RoundSupport::arrowKeys());
    addComputer("Buffy", {});
    EXPECT_EQ(worm(0).getHead().x, 5);
    EXPECT_EQ(worm(1).getHead().x, 2);
    EXPECT_EQ(worm(1).getHead().y, 4);
    EXPECT_EQ(worm(1).getDirection(), WormSprite::Down);
    EXPECT_EQ(game.getHumanCount(), 1);
    EXPECT_EQ(game.getPlayer1(), &worm(0));
    EXPECT_EQ(game.getPlayer2(), nullptr);

    // The refused control is deleted, so it does not stay behind in the router eating keys.
    const std::size_t handlers = router().getHandlers().size();
    auto* extra = new Fernhouse::IO::KeyboardControl(RoundSupport::letterKeys());
    extra->setRegistered(true);
    try
    {
        game.addPlayer("Piggy", extra, RoundSupport::FlatSkin, WormSprite::ControlAbsolute);
        ADD_FAILURE() << "a third player was accepted";
    }
    catch (const Tarvo::PlayerOverflowException& e)
    {
        EXPECT_EQ(e.getMessage(), "No room for more players.");
        EXPECT_EQ(e.getFile(), "GameEngine");
    }
    EXPECT_EQ(router().getHandlers().size(), handlers);
    EXPECT_EQ(game.getWormCount(), 2);
}

TEST_F(GameEngineRound, RepeatedStartNumbersCountOnceAndEveryWormStartsOnAStartCell)
{
    // Every ground cell a start point: 110 cells (past the table) and 256 cells (past an 8-bit count),
    // numbered 1 to 9 over and over, or all 1.
    const struct
    {
        int width;
        int height;
        int numbers;
    } maps[] = {{13, 12, 9}, {18, 18, 9}, {18, 18, 1}};

    for (const auto& map : maps)
    {
        auto rows = field(map.width, map.height);
        int next = 0;
        for (int y = 1; y < map.height - 1; ++y)
        {
            for (int x = 1; x < map.width - 1; ++x)
            {
                put(rows, x, y, static_cast<char>('1' + next++ % map.numbers));
            }
        }
        GameEngine& game = makeEngine(writeMap("crowd", rows));
        EXPECT_EQ(game.getStartPointCount(), map.numbers) << next << " start cells";
        for (int k = 0; k < map.numbers; ++k)
        {
            addComputer("Buffy", {});
            const WormSprite::Segment& head = worm(static_cast<std::size_t>(k)).getHead();
            EXPECT_EQ(game.getMap()->getTile(GameEngine::StartLayer, head.x, head.y), k + 1);
        }
        EXPECT_THROW(addComputer("Buffy", {}), Tarvo::PlayerOverflowException);
        EXPECT_EQ(game.getWormCount(), map.numbers);
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

    auto rows = field(5, 5);
    put(rows, 2, 2, '1');
    GameEngine& game = makeEngine(writeMap("one", rows));
    const std::size_t handlers = router().getHandlers().size();
    auto* control = new Fernhouse::IO::KeyboardControl(RoundSupport::arrowKeys());
    control->setRegistered(true);
    try
    {
        game.addPlayer("Tarvo", control, "nosuchskin", WormSprite::ControlAbsolute);
        ADD_FAILURE() << "no exception";
    }
    catch (const Fernhouse::Base::FileNotFoundException& e)
    {
        EXPECT_EQ(e.getMessage(), "Could not load file: graphics/skins/nosuchskin.png");
    }
    EXPECT_EQ(router().getHandlers().size(), handlers);
    EXPECT_EQ(game.getWormCount(), 0);
}

TEST_F(GameEngineRound, RoundWithoutHumansFinishesAtStartWithoutHud)
{
    auto rows = field(5, 5);
    put(rows, 2, 2, '1');
    makeEngine(writeMap("bots", rows));
    addComputer("Buffy", {});
    startRound();
    EXPECT_TRUE(engine().isFinished());
    EXPECT_EQ(engine().getResult1(), nullptr);
    EXPECT_EQ(engine().getPlayScreen(), nullptr);
}

TEST_F(GameEngineRound, StartDelayHoldsTheClockWhileMarkersShowThenReleasesIt)
{
    soloRound(Tarvo::GAME_NONE, 0, 0);
    Tarvo::MapPainter* painter = engine().getPlayScreen()->getMapPainter();
    EXPECT_EQ(engine().getReadyTime(), StartTicks + GameEngine::StartDelay);
    EXPECT_TRUE(painter->isShowingStart());
    // The first frame spawns an apple although the clock stands still.
    EXPECT_EQ(apples().size(), 1u);
    const Point head(player1().getHead().x, player1().getHead().y);

    frames(60, FrameMs); // exactly 3000 ms: not yet over
    EXPECT_EQ(gameTime(), 0u);
    EXPECT_TRUE(painter->isShowingStart());
    EXPECT_EQ(Point(player1().getHead().x, player1().getHead().y), head);
    EXPECT_EQ(apples().size(), 1u);
    EXPECT_EQ(engine().getResult1()->getText(), "");

    frame(1);
    EXPECT_EQ(engine().getReadyTime(), 0u);
    EXPECT_FALSE(painter->isShowingStart());
    ASSERT_TRUE(frameUntil([&] { return player1().getLength() == 2; }));
    EXPECT_GT(gameTime(), 0u);
    // Once the clock runs, spawns follow their own timing.
    EXPECT_TRUE(frameUntil([&] { return apples().size() == 2; }, 200));
}

TEST_F(GameEngineRound, PauseHoldsTimeApplesAndWormsUntilPressedAgain)
{
    soloRound(Tarvo::GAME_NONE, 0, 65000);
    passStartDelay();
    frames(4, FrameMs);
    stopSpawning();

    pressKey(SDLK_PAUSE);
    frame(FrameMs);
    ASSERT_TRUE(engine().isPaused());
    EXPECT_EQ(engine().getResult1()->getText(), "PAUSE");
    const std::uint32_t held = gameTime();
    const std::uint32_t left = engine().getTimeLeft();
    const std::int32_t headY = player1().getHead().y;
    Apple* apple = apples().front();
    const std::int32_t kind = apple->getKind();
    // Half a minute of real time: long enough for any apple to rot or vanish, if the clock ran.
    frames(600, FrameMs);
    EXPECT_EQ(gameTime(), held);
    EXPECT_EQ(engine().getTimeLeft(), left);
    EXPECT_EQ(player1().getHead().y, headY);
    ASSERT_EQ(apples().front(), apple);
    EXPECT_EQ(apple->getKind(), kind);
    EXPECT_EQ(engine().getTimeValue()->getText(), "1:04");

    pressKey(SDLK_PAUSE);
    frame(FrameMs);
    EXPECT_FALSE(engine().isPaused());
    EXPECT_EQ(engine().getResult1()->getText(), "");
    EXPECT_TRUE(frameUntil([&] { return player1().getHead().y != headY; }, 20));

    // Escape leaves even a paused round at once, and hands the clock back running.
    pressKey(SDLK_PAUSE);
    pressKey(SDLK_ESCAPE);
    frame(FrameMs);
    EXPECT_TRUE(engine().isFinished());
    EXPECT_FALSE(Fernhouse::Base::GameTime::getInstance()->isStopped());
}

TEST_F(GameEngineRound, PauseDuringTheStartDelayDoesNotStartTheClockEarly)
{
    soloRound(Tarvo::GAME_NONE, 0, 0);
    frames(10, FrameMs);
    pressKey(SDLK_PAUSE);
    frames(10, FrameMs);
    pressKey(SDLK_PAUSE);
    frames(10, FrameMs);
    EXPECT_FALSE(engine().isPaused());
    EXPECT_NE(engine().getReadyTime(), 0u);
    EXPECT_EQ(gameTime(), 0u);

    // A pause held past the delay's end holds the delay too.
    pressKey(SDLK_PAUSE);
    frames(100, FrameMs);
    EXPECT_NE(engine().getReadyTime(), 0u);
    pressKey(SDLK_PAUSE);
    frame(FrameMs);
    EXPECT_EQ(engine().getReadyTime(), 0u);
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
        duoRound(Tarvo::GAME_ENEMIES, 0, 20000);
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

TEST_F(GameEngineRound, EscapeLeavesDuringTheStartDelayWithTheClockRunning)
{
    soloRound(Tarvo::GAME_NONE, 0, 0);
    pressKey(SDLK_ESCAPE);
    frame(FrameMs);
    EXPECT_TRUE(engine().isFinished());
    EXPECT_FALSE(Fernhouse::Base::GameTime::getInstance()->isStopped());
}

TEST_F(GameEngineRound, WallDeathEndsTheRoundAndKeysLeaveOnlyAfterTheEndDelay)
{
    auto rows = field(5, 6);
    put(rows, 2, 1, '1');
    makeEngine(writeMap("short", rows)).setGame(Tarvo::GAME_NONE, 0, 0);
    addHuman("Tarvo", RoundSupport::arrowKeys());
    startRound();
    passStartDelay();
    ASSERT_TRUE(frameUntil([&] { return engine().getEndTime() != 0; }));
    EXPECT_TRUE(player1().isDead());
    EXPECT_EQ(player1().getHead().y, 5);
    EXPECT_EQ(engine().getDeathCount(), 1);
    EXPECT_EQ(engine().getResult1()->getText(), "GAME OVER");
    EXPECT_EQ(engine().getWinner(), nullptr);
    EXPECT_TRUE(isPlaying("sounds/wormDie.wav"));
    EXPECT_EQ(engine().getEndTime(), gameTime() + GameEngine::EndDelay);

    // The world is frozen, but the clock runs on towards the end delay.
    frames(20, FrameMs);
    EXPECT_EQ(gameTime() + GameEngine::EndDelay - 1000, engine().getEndTime());
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

TEST_F(GameEngineRound, HeadLeavingTheGridDiesLikeAtAWall)
{
    // No wall below the start: the worm walks off the bottom edge.
    std::vector<std::string> rows{".1.", "...", "..."};
    makeEngine(writeMap("open", rows)).setGame(Tarvo::GAME_NONE, 0, 0);
    addHuman("Tarvo", RoundSupport::arrowKeys());
    startRound();
    passStartDelay();
    ASSERT_TRUE(frameUntil([&] { return engine().getEndTime() != 0; }));
    EXPECT_TRUE(player1().isDead());
    EXPECT_EQ(player1().getHead().y, 3);
    EXPECT_FALSE(engine().isFree(Point(1, 3), false));
    EXPECT_FALSE(engine().isFree(Point(-1, 0), false));
}

TEST_F(GameEngineRound, HeadsMeetingOnOneCellKillBoth)
{
    auto rows = field(7, 5);
    put(rows, 1, 1, '1');
    put(rows, 5, 1, '2');
    makeEngine(writeMap("meet", rows)).setGame(Tarvo::GAME_NONE, 0, 0);
    addHuman("Tarvo", RoundSupport::arrowKeys());
    addHuman("Piggy", RoundSupport::letterKeys());
    startRound();
    passStartDelay();
    pressKey(SDLK_RIGHT);
    pressKey(SDLK_a);
    ASSERT_TRUE(frameUntil([&] { return engine().getEndTime() != 0; }));
    EXPECT_TRUE(player1().isDead());
    EXPECT_TRUE(player2().isDead());
    EXPECT_EQ(player1().getHead().x, 3);
    EXPECT_EQ(player2().getHead().x, 3);
    EXPECT_EQ(engine().getDeathCount(), 2);
    EXPECT_EQ(engine().getResult1()->getText(), "GAME OVER");
    EXPECT_EQ(engine().getResult2()->getText(), "GAME OVER");
}

TEST_F(GameEngineRound, HeadEnteringAnotherBodyKillsOnlyThatWorm)
{
    auto rows = field(8, 8);
    put(rows, 3, 1, '1');
    put(rows, 5, 2, '2');
    makeEngine(writeMap("cross", rows)).setGame(Tarvo::GAME_NONE, 0, 0);
    addHuman("Tarvo", RoundSupport::arrowKeys());
    addHuman("Piggy", RoundSupport::letterKeys());
    startRound();
    clearApples();
    passStartDelay();
    pressKey(SDLK_a);
    ASSERT_TRUE(frameUntil([&] { return player2().isDead(); }));
    EXPECT_FALSE(player1().isDead());
    EXPECT_EQ(player2().getHead().x, 3);
    EXPECT_EQ(player2().getHead().y, 2);
    EXPECT_EQ(engine().getDeathCount(), 1);
    EXPECT_EQ(engine().getEndTime(), 0u);
    EXPECT_EQ(engine().getResult2()->getText(), "GAME OVER");
    EXPECT_EQ(engine().getResult1()->getText(), "");
    // Dead worms still block cells.
    EXPECT_FALSE(engine().isFree(Point(4, 2), false));
}

TEST_F(GameEngineRound, DeadBodiesAndTheWallsTheyLieInKillOnceMore)
{
    // The computer worm runs into the wall at (4, 5) after four steps; the human comes along a row one
    // step later, into its dead body (row 3) or into the wall cell where it lies (row 5).
    for (int row : {3, 5})
    {
        auto rows = field(11, 7);
        put(rows, 4, 5, '#');
        put(rows, 9, row, '1');
        put(rows, 4, 1, '2');
        makeEngine(writeMap("late" + std::to_string(row), rows)).setGame(Tarvo::GAME_NONE, 0, 0);
        addHuman("Tarvo", RoundSupport::arrowKeys());
        addComputer("Buffy", {});
        startRound();
        passStartDelay();
        pressKey(SDLK_LEFT);
        ASSERT_TRUE(frameUntil([&] { return player1().isDead(); }));
        EXPECT_TRUE(worm(1).isDead());
        EXPECT_EQ(player1().getHead().x, 4) << row;
        EXPECT_EQ(player1().getHead().y, row);
        EXPECT_EQ(engine().getDeathCount(), 2) << row;
        EXPECT_NE(engine().getEndTime(), 0u);
    }
}

TEST_F(GameEngineRound, EnemiesIsWonByTheLastWormAndLostWhenTheHumanDies)
{
    auto rows = field(9, 30);
    put(rows, 2, 1, '1');
    put(rows, 6, 1, '2');
    put(rows, 6, 4, '#');
    makeEngine(writeMap("enemies", rows)).setGame(Tarvo::GAME_ENEMIES, 0, 0);
    addHuman("Tarvo", RoundSupport::arrowKeys());
    addComputer("Buffy", {});
    startRound();
    passStartDelay();
    frame(FrameMs);
    EXPECT_EQ(text(engine().getGoalValue1()), "1");
    ASSERT_TRUE(frameUntil([&] { return engine().getEndTime() != 0; }));
    EXPECT_TRUE(worm(1).isDead());
    EXPECT_EQ(engine().getWinner(), &player1());
    EXPECT_EQ(text(engine().getResult1()), "YOU WON!");
    EXPECT_EQ(text(engine().getGoalValue1()), "0");

    // Now the human hits the wall first: the round ends without a winner.
    rows = field(9, 30);
    put(rows, 2, 1, '1');
    put(rows, 6, 1, '2');
    put(rows, 2, 4, '#');
    makeEngine(writeMap("lost", rows)).setGame(Tarvo::GAME_ENEMIES, 0, 0);
    addHuman("Tarvo", RoundSupport::arrowKeys());
    addComputer("Buffy", {});
    startRound();
    passStartDelay();
    ASSERT_TRUE(frameUntil([&] { return engine().getEndTime() != 0; }));
    EXPECT_FALSE(worm(1).isDead());
    EXPECT_EQ(engine().getWinner(), nullptr);
    EXPECT_EQ(text(engine().getResult1()), "GAME OVER");
}

TEST_F(GameEngineRound, TimeLimitEndsEveryTypeButSurviveWithTimeUp)
{
    duoRound(Tarvo::GAME_ENEMIES, 0, 2000);
    EXPECT_EQ(text(engine().getTimeValue()), "0:02");
    passStartDelay();
    ASSERT_TRUE(frameUntil([&] { return engine().getEndTime() != 0; }));
    EXPECT_GE(gameTime(), 2000u);
    EXPECT_LT(gameTime(), 2000u + FrameMs);
    EXPECT_EQ(text(engine().getResult1()), "TIME UP!");
    EXPECT_EQ(text(engine().getResult2()), "TIME UP!");
    EXPECT_EQ(engine().getWinner(), nullptr);
    EXPECT_EQ(engine().getTimeLeft(), 0u);
    EXPECT_EQ(text(engine().getTimeValue()), "0:00");
}

TEST_F(GameEngineRound, LengthGoalIsWonOnReachingIt)
{
    soloRound(Tarvo::GAME_LENGTH, 3, 0);
    EXPECT_EQ(text(engine().getGoalValue1()), "1/3");
    EXPECT_EQ(text(engine().getTimeValue()), "");
    passStartDelay();
    ASSERT_TRUE(frameUntil([&] { return engine().getEndTime() != 0; }));
    EXPECT_EQ(player1().getLength(), 3u);
    EXPECT_EQ(text(engine().getGoalValue1()), "3/3");
    EXPECT_EQ(text(engine().getResult1()), "YOU WON!");
    EXPECT_EQ(engine().getWinner(), &player1());
}

TEST_F(GameEngineRound, ScoreGoalReachedByBothInOneStepIsADraw)
{
    duoRound(Tarvo::GAME_SCORE, 10, 0);
    clearApples();
    addApple(Apple::Normal, Point(2, 3));
    addApple(Apple::Normal, Point(6, 3));
    passStartDelay();
    ASSERT_TRUE(frameUntil([&] { return engine().getEndTime() != 0; }));
    EXPECT_EQ(player1().getScore(), 10);
    EXPECT_EQ(player2().getScore(), 10);
    EXPECT_EQ(text(engine().getResult1()), "DRAW!");
    EXPECT_EQ(text(engine().getResult2()), "DRAW!");
    EXPECT_EQ(engine().getWinner(), nullptr);
    EXPECT_EQ(text(engine().getGoalValue1()), "10");
    EXPECT_EQ(text(engine().getPointsValue2()), "   10");
}

TEST_F(GameEngineRound, ScoreGoalReachedByOneWinsAgainstTheOther)
{
    duoRound(Tarvo::GAME_SCORE, 50, 0);
    clearApples();
    addApple(Apple::Super, Point(6, 3));
    passStartDelay();
    ASSERT_TRUE(frameUntil([&] { return engine().getEndTime() != 0; }));
    EXPECT_EQ(text(engine().getResult2()), "YOU WON!");
    EXPECT_EQ(text(engine().getResult1()), "GAME OVER");
    EXPECT_EQ(engine().getWinner(), &player2());
}

TEST_F(GameEngineRound, ApplesGoalCountsNormalAndSuperButNotRotten)
{
    soloRound(Tarvo::GAME_APPLES, 1, 0);
    clearApples();
    addApple(Apple::Rotten, Point(2, 2));
    addApple(Apple::Super, Point(2, 4));
    passStartDelay();
    ASSERT_TRUE(frameUntil([&] { return player1().getApplesEaten(Apple::Rotten) == 1; }));
    frame(FrameMs);
    EXPECT_EQ(engine().getEndTime(), 0u);
    EXPECT_EQ(text(engine().getGoalValue1()), "0/1");
    ASSERT_TRUE(frameUntil([&] { return engine().getEndTime() != 0; }));
    EXPECT_EQ(text(engine().getGoalValue1()), "1/1");
    EXPECT_EQ(text(engine().getResult1()), "YOU WON!");
}

TEST_F(GameEngineRound, SurvivingTheLimitWinsAloneAndDrawsInPairs)
{
    soloRound(Tarvo::GAME_SURVIVE, 0, 1000);
    EXPECT_EQ(text(engine().getGoalValue1()), "");
    passStartDelay();
    ASSERT_TRUE(frameUntil([&] { return engine().getEndTime() != 0; }));
    EXPECT_EQ(gameTime(), 1000u);
    EXPECT_EQ(text(engine().getResult1()), "YOU WON!");
    EXPECT_EQ(engine().getWinner(), &player1());

    duoRound(Tarvo::GAME_SURVIVE, 0, 1000);
    passStartDelay();
    ASSERT_TRUE(frameUntil([&] { return engine().getEndTime() != 0; }));
    EXPECT_EQ(text(engine().getResult1()), "DRAW!");
    EXPECT_EQ(text(engine().getResult2()), "DRAW!");
    EXPECT_EQ(engine().getWinner(), nullptr);
}

TEST_F(GameEngineRound, SurviveWithoutLimitEndsInTheFirstStepAfterTheStartDelay)
{
    soloRound(Tarvo::GAME_SURVIVE, 0, 0);
    frames(60, FrameMs);
    EXPECT_EQ(engine().getEndTime(), 0u);
    passStartDelay();
    EXPECT_NE(engine().getEndTime(), 0u);
    EXPECT_EQ(text(engine().getResult1()), "YOU WON!");
    // The clock runs, so the end delay passes and a key leaves.
    frames(31, FrameMs);
    pressKey(SDLK_RETURN);
    frame(0);
    EXPECT_TRUE(engine().isFinished());
}

class AppleEating : public GameEngineRound, public ::testing::WithParamInterface<std::int32_t>
{
};

TEST_P(AppleEating, GrowsScoresTakesEffectAndPlaysItsSound)
{
    const std::int32_t kind = GetParam();
    const std::int32_t points[] = {10, 50, -10, 20, -5, 20};
    const std::int32_t growth[] = {2, 3, 1, 2, 2, 7};
    const char* const sounds[] = {"sounds/wormEatNormal.wav", "sounds/wormEatSuper.wav",
                                  "sounds/wormEatRotten.wav", "sounds/wormEatTurbo.wav",
                                  "sounds/wormEatBeer.wav",   "sounds/wormEatCake.wav"};
    soloRound(Tarvo::GAME_NONE, 0, 0);
    clearApples();
    addApple(kind, Point(2, 2));
    passStartDelay();
    ASSERT_TRUE(frameUntil([&] { return player1().getApplesEaten(static_cast<std::size_t>(kind)) == 1; }));
    EXPECT_TRUE(isPlaying(sounds[kind]));
    EXPECT_EQ(player1().getScore(), points[kind]);
    // One of the two starting cells was used by the step onto the apple.
    EXPECT_EQ(player1().getPendingGrowth(), 1 + growth[kind]);
    const std::uint32_t states[] = {WormSprite::StateNormal, WormSprite::StateNormal,
                                    WormSprite::StateNormal, WormSprite::StateTurbo,
                                    WormSprite::StateDrunk,  WormSprite::StateNormal};
    EXPECT_EQ(player1().getState(), states[kind]);
    // Marked eaten by the engine and removed by the apple painter in the same step.
    for (const Apple* apple : apples())
    {
        EXPECT_EQ(apple->getKind(), Apple::Gone) << "only unseen spawns are left";
        EXPECT_NE(apple->getCell(), Point(2, 2));
    }
    char shown[8];
    std::snprintf(shown, sizeof shown, "%5d", points[kind]);
    EXPECT_EQ(text(engine().getPointsValue1()), shown);
}

INSTANTIATE_TEST_SUITE_P(EveryKind, AppleEating, ::testing::Range(0, Apple::KindCount));

TEST_F(GameEngineRound, ComputerWormsEatSilently)
{
    auto rows = field(9, 30);
    put(rows, 2, 1, '1');
    put(rows, 6, 1, '2');
    makeEngine(writeMap("silent", rows)).setGame(Tarvo::GAME_NONE, 0, 0);
    addHuman("Tarvo", RoundSupport::arrowKeys());
    addComputer("Buffy", {});
    startRound();
    clearApples();
    addApple(Apple::Cake, Point(6, 2));
    passStartDelay();
    ASSERT_TRUE(frameUntil([&] { return worm(1).getApplesEaten(Apple::Cake) == 1; }));
    EXPECT_EQ(worm(1).getScore(), 20);
    EXPECT_FALSE(isPlaying("sounds/wormEatCake.wav"));
}

TEST_F(GameEngineRound, FreeCellsExcludeWallsWormsAndOnRequestApples)
{
    soloRound(Tarvo::GAME_NONE, 0, 0);
    clearApples();
    addApple(Apple::Rotten, Point(3, 5));
    EXPECT_TRUE(engine().isFree(Point(3, 5), false));
    EXPECT_FALSE(engine().isFree(Point(3, 5), true));
    EXPECT_TRUE(engine().isFree(Point(1, 1), true));
    EXPECT_FALSE(engine().isFree(Point(0, 1), false)); // wall
    EXPECT_FALSE(engine().isFree(Point(2, 1), false)); // the worm
    EXPECT_FALSE(engine().isFree(Point(5, 1), false)); // beyond the right edge
    EXPECT_FALSE(engine().isFree(Point(1, 30), false));
}

TEST_F(GameEngineRound, HudValuesAndResultsSitAtTheirAnchors)
{
    soloRound(Tarvo::GAME_LENGTH, 12, 65000);
    const Fernhouse::GUI::Label* points = engine().getPointsValue1();
    const Fernhouse::GUI::Label* goal = engine().getGoalValue1();
    const Fernhouse::GUI::Label* time = engine().getTimeValue();
    const auto right = [](const Fernhouse::GUI::Label* label) {
        return label->getX() + static_cast<std::int32_t>(label->getFont()->getTextSize(label->getText()).w);
    };
    EXPECT_EQ(text(points), "    0");
    EXPECT_EQ(right(points), 288);
    EXPECT_EQ(points->getY(), 35);
    EXPECT_EQ(text(goal), "1/12");
    EXPECT_EQ(right(goal), 464);
    EXPECT_EQ(text(time), "1:05");
    EXPECT_EQ(right(time), 637);
    EXPECT_EQ(time->getY(), 35);

    pressKey(SDLK_PAUSE);
    frame(FrameMs);
    const Fernhouse::GUI::Label* result = engine().getResult1();
    const Fernhouse::Base::Size size = result->getFont()->getTextSize("PAUSE");
    EXPECT_EQ(text(result), "PAUSE");
    EXPECT_EQ(result->getX(), 400 - static_cast<std::int32_t>(size.w / 2));
    EXPECT_EQ(result->getY(), 330 - static_cast<std::int32_t>(size.h / 2));
    EXPECT_TRUE(result->isDrawBackground());
    EXPECT_EQ(result->getMargin(), Fernhouse::Base::Size(30, 30));

    duoRound(Tarvo::GAME_APPLES, 5, 0);
    EXPECT_EQ(right(engine().getPointsValue1()), 618);
    EXPECT_EQ(right(engine().getGoalValue1()), 772);
    EXPECT_EQ(right(engine().getPointsValue2()), 154);
    EXPECT_EQ(text(engine().getGoalValue2()), "0/5");
    EXPECT_EQ(right(engine().getGoalValue2()), 308);
    pressKey(SDLK_PAUSE);
    frame(FrameMs);
    EXPECT_EQ(engine().getResult1()->getX(), 595 - static_cast<std::int32_t>(size.w / 2));
    EXPECT_EQ(engine().getResult2()->getX(), 205 - static_cast<std::int32_t>(size.w / 2));
    EXPECT_EQ(text(engine().getResult2()), "PAUSE");
}
