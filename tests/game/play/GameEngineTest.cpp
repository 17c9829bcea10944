#include "game/play/GameEngine.h"

#include "game/play/PlayerOverflowException.h"

#include "tests/game/play/RoundFixture.h"

#include <cstring>

using namespace RoundSupport;

namespace
{

constexpr std::uint32_t FrameMs = 50;
// One human at (2, 1) heading down a tall field; with two, player 2 at (6, 1).
const auto Solo = field(5, 30, {{2, 1, '1'}});
const auto Duo = field(9, 30, {{2, 1, '1'}, {6, 1, '2'}});

const auto text = [](const Label* label) {
    return label != nullptr ? label->getText() : std::string("<none>");
};
const auto at = [](const WormSprite& worm) { return Point(worm.getHead().x, worm.getHead().y); };

// Whether a channel plays the file's sound; the fixture holds the mixer and empties it before each frame.
bool isPlaying(const std::string& file)
{
    Mix_Chunk* wanted = Mix_LoadWAV(file.c_str());
    bool found = false;
    for (int channel = 0; wanted != nullptr && channel < Mix_AllocateChannels(-1); ++channel)
    {
        const Mix_Chunk* chunk = Mix_Playing(channel) != 0 ? Mix_GetChunk(channel) : nullptr;
        found = found || (chunk != nullptr && chunk->alen == wanted->alen &&
                          std::memcmp(chunk->abuf, wanted->abuf, wanted->alen) == 0);
    }
    Mix_FreeChunk(wanted);
    return found;
}

class GameEngineRound : public RoundTest
{
protected:
    bool frameUntil(const std::function<bool()>& done, int maxFrames = 400)
    {
        while (maxFrames-- > 0 && !done())
        {
            frame(FrameMs);
        }
        return done();
    }

    WormSprite& worm(std::size_t index) { return *engine().getWorms().at(index); }

    std::string heads()
    {
        std::string cells;
        for (const WormSprite* w : engine().getWorms())
        {
            cells += " " + std::to_string(w->getHead().x) + "," + std::to_string(w->getHead().y);
        }
        return cells.substr(1);
    }
};

} // namespace

TEST_F(GameEngineRound, PlayersTakeEachStartNumberOnceInOrderAndRefusedOnesLeaveNothingBehind)
{
    using Fernhouse::Base::FileNotFoundException;
    EXPECT_TRUE(TestSupport::throwsWith<FileNotFoundException>(
        [&] { makeEngine("maps/none.map"); }, "Couldn't load file: maps/none.map", "MapFile"));
    // Start points 1 and 3: the second worm takes 3.
    GameEngine& game = makeEngine(writeMap("gaps", field(8, 6, {{5, 2, '1'}, {2, 4, '3'}})));
    addHuman("Tarvo", arrowKeys());
    const std::size_t handlers = router().getHandlers().size();
    EXPECT_TRUE(TestSupport::throwsWith<FileNotFoundException>(
        [&] { addHuman("Piggy", letterKeys(), "nosuchskin"); },
        "Could not load file: graphics/skins/nosuchskin.png", "src/TextureFactory"));
    addComputer("Buffy");
    EXPECT_TRUE(TestSupport::throwsWith<PlayerOverflowException>([&] { addHuman("Piggy", letterKeys()); },
                                                                 "No room for more players.", "GameEngine"));
    EXPECT_EQ(std::make_tuple(router().getHandlers().size(), game.getPlayer2() == nullptr, heads()),
              std::make_tuple(handlers, true, std::string("5,2 2,4")));

    // Without a human the round is over at its start, and shows nothing.
    play(Solo, 0, GAME_NONE, 0, 0, 1);
    EXPECT_TRUE(engine().isFinished() && engine().getPlayScreen() == nullptr);
}

TEST_F(GameEngineRound, PauseHoldsTheClockWormsAndApplesAndEscapeAlwaysLeaves)
{
    play(Solo, 1, GAME_NONE, 0, 65000);
    passStartDelay();
    frames(4, FrameMs);
    pressKey(SDLK_PAUSE);
    frame(FrameMs);
    EXPECT_EQ(text(engine().getResult1()), "PAUSE");
    const std::uint32_t held = gameTime();
    const Point head = at(worm(0));
    // Free cells: no wall, no worm, on the map, and, when asked, no apple.
    Apple* apple = addApple(Apple::Rotten, Point(3, 5));
    const auto free = [&](const Point& cell) { return engine().isFree(cell, true); };
    EXPECT_FALSE(free({3, 5}) || free({0, 5}) || free(head) || free({-1, 5}) || free({3, 30}));
    // Half a minute of real time: long enough for any apple to rot or vanish, if the clock ran.
    frames(600, FrameMs);
    ASSERT_EQ(apples().back(), apple);
    EXPECT_EQ(std::make_tuple(gameTime(), at(worm(0)), apple->getKind(), text(engine().getTimeValue())),
              std::make_tuple(held, head, Apple::Rotten, std::string("1:04")));
    pressKey(SDLK_PAUSE);
    frame(FrameMs);
    EXPECT_EQ(text(engine().getResult1()), "");
    EXPECT_TRUE(frameUntil([&] { return at(worm(0)) != head; }, 20));

    // Escape leaves a paused round, or one in its start delay, at once and hands the clock back running.
    for (int round = 0; round < 2; ++round)
    {
        pressKey(SDLK_PAUSE);
        pressKey(SDLK_ESCAPE);
        frame(FrameMs);
        EXPECT_TRUE(engine().isFinished() && !Fernhouse::Base::GameTime::getInstance()->isStopped());
        play(Solo, 1);
    }
}

TEST_F(GameEngineRound,
       RoundsEndByTheirTypesRulesAndDeathsShowTheTimeOnItsAnchorAndWaitForAKeyAfterTheEndDelay)
{
    // Name, map (apples 'a' to 'f' by kind), type, goal, limit (ms of game time), humans, computers, keys
    // pressed as the start delay ends; then both results, winner, deaths, player 1's score and goal, time
    // left, and every head.
    using Scenario = std::tuple<const char*, std::vector<std::string>, std::int32_t, std::int32_t,
                                std::int32_t, int, int, std::vector<SDLKey>, const char*>;

    const auto wall = field(5, 6, {{2, 1, '1'}});
    const auto edge = std::vector<std::string>{".1.", "...", "..."};
    const auto meet = field(7, 5, {{1, 1, '1'}, {5, 1, '2'}});
    const auto won = field(9, 30, {{2, 1, '1'}, {6, 1, '2'}, {6, 4, '#'}});
    const auto lost = field(9, 30, {{2, 1, '1'}, {6, 1, '2'}, {2, 4, '#'}});
    // The computer worm dies in the wall at (4, 5) after four steps; the human comes along row 3 one step
    // later, into its dead body.
    const auto dead = field(11, 7, {{4, 5, '#'}, {9, 3, '1'}, {4, 1, '2'}});
    // Player 2 turns into player 1's body.
    const auto cut = field(8, 8, {{3, 1, '1'}, {5, 2, '2'}});
    const auto two = field(9, 30, {{2, 1, '1'}, {6, 1, '2'}, {2, 3, 'a'}, {6, 3, 'a'}});
    const auto super = field(9, 30, {{2, 1, '1'}, {6, 1, '2'}, {6, 3, 'b'}});
    // A rotten apple is eaten first and does not count.
    const auto rottenFirst = field(5, 30, {{2, 1, '1'}, {2, 2, 'c'}, {2, 4, 'b'}});
    const SDLKey left = SDLK_LEFT, p2Left = SDLK_a;
    const Scenario scenarios[] = {
        {"wall", wall, GAME_NONE, 0, 0, 1, 0, {}, "GAME OVER|-|0|1|0|||2,5"},
        {"edge", edge, GAME_NONE, 0, 0, 1, 0, {}, "GAME OVER|-|0|1|0|||1,3"},
        {"meet", meet, GAME_NONE, 0, 0, 2, 0, {SDLK_RIGHT, p2Left}, "GAME OVER|GAME OVER|0|2|0|||3,1 3,1"},
        {"cut", cut, GAME_NONE, 0, 0, 2, 0, {p2Left}, "GAME OVER|GAME OVER|0|2|0|||3,7 3,2"},
        {"dead", dead, GAME_NONE, 0, 0, 1, 1, {left}, "GAME OVER|-|0|2|0|||4,3 4,5"},
        {"won", won, GAME_ENEMIES, 0, 0, 1, 1, {}, "YOU WON!|-|1|1|0|0||2,4 6,4"},
        {"lost", lost, GAME_ENEMIES, 0, 0, 1, 1, {}, "GAME OVER|-|0|1|0|1||2,4 6,4"},
        {"time up", Duo, GAME_ENEMIES, 0, 2000, 2, 0, {}, "TIME UP!|TIME UP!|0|0|0|1|0:00|2,6 6,6"},
        {"length", Solo, GAME_LENGTH, 3, 0, 1, 0, {}, "YOU WON!|-|1|0|0|3/3||2,3"},
        {"score draw", two, GAME_SCORE, 10, 0, 2, 0, {}, "DRAW!|DRAW!|0|0|10|10||2,3 6,3"},
        {"score won", super, GAME_SCORE, 50, 0, 2, 0, {}, "GAME OVER|YOU WON!|2|0|0|50||2,3 6,3"},
        {"apples", rottenFirst, GAME_APPLES, 1, 0, 1, 0, {}, "YOU WON!|-|1|0|40|1/1||2,4"},
        {"survived", Solo, GAME_SURVIVE, 0, 1000, 1, 0, {}, "YOU WON!|-|1|0|0||0:00|2,3"},
        {"outlived", lost, GAME_SURVIVE, 0, 2000, 2, 0, {}, "GAME OVER|YOU WON!|2|1|0||0:00|2,4 6,6"}};
    for (const auto& [name, rows, type, goal, limit, humans, computers, keys, summary] : scenarios)
    {
        SCOPED_TRACE(name);
        play(rows, humans, type, goal, limit, computers);
        clearApples();
        for (std::size_t i = 0, w = rows[0].size(); i < rows.size() * w; ++i)
        {
            if (rows[i / w][i % w] >= 'a')
            {
                addApple(rows[i / w][i % w] - 'a', Point(static_cast<int>(i % w), static_cast<int>(i / w)));
            }
        }
        const std::string start = heads();
        const std::uint32_t held = gameTime();
        const MapPainter* painter = engine().getPlayScreen()->getMapPainter();
        frames(60, FrameMs); // exactly the start delay: not yet over
        EXPECT_EQ(std::make_tuple(gameTime(), heads(), painter->isShowingStart(), engine().getEndTime()),
                  std::make_tuple(held, start, true, 0u));
        frame(1);
        EXPECT_TRUE(engine().getReadyTime() == 0 && !painter->isShowingStart());
        const std::uint32_t begun = gameTime();
        for (const SDLKey key : keys)
        {
            pressKey(key);
        }
        ASSERT_TRUE(frameUntil([&] { return engine().getEndTime() != 0; }));
        const GameEngine& e = engine();
        const WormSprite* winner = e.getWinner();
        EXPECT_EQ(text(e.getResult1()) + "|" + (humans == 2 ? text(e.getResult2()) : "-") + "|" +
                      std::to_string(winner == nullptr ? 0 : (winner == e.getPlayer1() ? 1 : 2)) + "|" +
                      std::to_string(e.getDeathCount()) + "|" + std::to_string(worm(0).getScore()) + "|" +
                      text(e.getGoalValue1()) + "|" + text(e.getTimeValue()) + "|" + heads(),
                  summary);
        const auto ran = static_cast<std::int32_t>(gameTime() - begun);
        EXPECT_TRUE(limit == 0 || (ran >= limit && ran < limit + std::int32_t{FrameMs})) << ran;
        // The time left ends on its anchor, which the layout moves.
        const Label* time = e.getTimeValue();
        EXPECT_TRUE(limit == 0 || Point(time->getX() + static_cast<std::int32_t>(
                                                           time->getFont()->getTextSize(time->getText()).w),
                                        time->getY()) == (humans == 1 ? Point(637, 35) : Point(463, 35)));

        // The world is frozen while the clock runs on; a key (Pause too) within the end delay does nothing.
        const std::string frozen = heads();
        const std::uint32_t end = gameTime() + GameEngine::EndDelay;
        EXPECT_EQ(e.getEndTime(), end);
        frames(20, FrameMs);
        pressKey(SDLK_SPACE);
        pressKey(SDLK_PAUSE);
        frame(0);
        EXPECT_EQ(std::make_tuple(gameTime(), e.getEndTime(), heads(), e.isFinished(), e.isPaused()),
                  std::make_tuple(end - GameEngine::EndDelay + 1000, end, frozen, false, false));
        frames(10, FrameMs);
        pressKey(SDLK_SPACE);
        frame(0);
        EXPECT_TRUE(e.isFinished());
    }
}

TEST_F(GameEngineRound, EachAppleKindScoresGrowsTakesEffectAndPlaysItsSoundForHumansOnly)
{
    // Points, growth, state, sound.
    const std::tuple<std::int32_t, std::int32_t, std::uint32_t, const char*> kinds[] = {
        {10, 2, WormSprite::StateNormal, "Normal"},  {50, 3, WormSprite::StateNormal, "Super"},
        {-10, 1, WormSprite::StateNormal, "Rotten"}, {20, 2, WormSprite::StateTurbo, "Turbo"},
        {-5, 2, WormSprite::StateDrunk, "Beer"},     {20, 7, WormSprite::StateNormal, "Cake"}};
    for (std::int32_t kind = 0; kind < Apple::KindCount; ++kind)
    {
        SCOPED_TRACE(kind);
        const auto& [points, growth, state, name] = kinds[kind];
        const std::string sound = std::string("sounds/wormEat") + name + ".wav";
        const auto eaten = [&](std::size_t index) {
            return frameUntil(
                [&] { return worm(index).getApplesEaten(static_cast<std::size_t>(kind)) == 1; });
        };
        // The computer at (6, 1) eats in the first step, in silence; the human at (2, 1) in the third.
        play(Duo, 1, GAME_NONE, 0, 0, 1);
        clearApples();
        addApple(kind, Point(6, 2));
        addApple(kind, Point(2, 4));
        passStartDelay();
        ASSERT_TRUE(eaten(1));
        EXPECT_EQ(std::make_pair(isPlaying(sound), worm(1).getScore()), std::make_pair(false, points));
        ASSERT_TRUE(eaten(0));
        // The two starting cells were used by the steps before.
        EXPECT_EQ(
            std::make_tuple(isPlaying(sound), worm(0).getScore(), worm(0).getPendingGrowth(),
                            worm(0).getState(), text(engine().getPointsValue1())),
            std::make_tuple(true, points, growth, state,
                            std::string(5 - std::to_string(points).size(), ' ') + std::to_string(points)));
        // Marked eaten by the engine and removed by the apple painter in the same step.
        EXPECT_TRUE(std::all_of(apples().begin(), apples().end(), [](const Apple* apple) {
            return apple->getKind() == Apple::Gone && apple->getCell() != Point(2, 4);
        })) << "only unseen spawns are left";
    }
}
