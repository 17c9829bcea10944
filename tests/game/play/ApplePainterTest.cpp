#include "game/play/ApplePainter.h"

#include "engine/base/Random.h"

#include "game/play/Apple.h"
#include "game/play/GameEngine.h"
#include "game/play/WormSprite.h"

#include "tests/game/play/RoundFixture.h"
#include "tests/support/PrintTo.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <set>
#include <utility>

using Fernhouse::Base::Point;
using Tarvo::Apple;
using Tarvo::ApplePainter;

namespace
{

// The generator's state from which the next draw is RandomMax: its multiplier is odd, so it can be run
// backwards.
unsigned stateBeforeMaximum()
{
    constexpr std::uint32_t Multiplier = 214013u;
    constexpr std::uint32_t Increment = 2531011u;
    std::uint32_t inverse = Multiplier; // Newton's iteration doubles the correct low bits each round
    for (int i = 0; i < 5; ++i)
    {
        inverse *= 2u - Multiplier * inverse;
    }
    return (0x7FFF0000u - Increment) * inverse;
}

std::array<int, Apple::KindCount + 1> rollKinds(const ApplePainter& painter, int rolls)
{
    std::array<int, Apple::KindCount + 1> counts{}; // the last slot counts -1
    for (int i = 0; i < rolls; ++i)
    {
        const std::int32_t kind = painter.randomKind();
        counts[kind == Apple::Gone ? Apple::KindCount : static_cast<std::size_t>(kind)]++;
    }
    return counts;
}

class ApplePainterRound : public RoundSupport::RoundTest
{
protected:
    // A round on rows of text with one human at start point 1, started and one frame in.
    ApplePainter& round(const std::vector<std::string>& rows)
    {
        makeEngine(writeMap("apples", rows)).setGame(Tarvo::GAME_NONE, 0, 0);
        addHuman("Tarvo", RoundSupport::arrowKeys());
        startRound();
        return *engine().getApplePainter();
    }
};

} // namespace

TEST(ApplePainter, KindRollsFollowOnlyTheWeightsThatAreSet)
{
    ApplePainter painter(nullptr, nullptr);
    Fernhouse::Base::seedRandom(1);
    painter.setWeights({0, 0, 0, 0, 0, 1});
    EXPECT_EQ(rollKinds(painter, 500)[Apple::Cake], 500);
    painter.setWeights({0, 0, 0, 0, 0, 0});
    EXPECT_EQ(rollKinds(painter, 500)[Apple::KindCount], 500);

    // The highest draw reaches the total, past every running sum.
    painter.setWeights(ApplePainter::DefaultWeights);
    Fernhouse::Base::seedRandom(stateBeforeMaximum());
    EXPECT_EQ(painter.randomKind(), Apple::Gone);
    Fernhouse::Base::seedRandom(stateBeforeMaximum());
    EXPECT_EQ(Fernhouse::Base::random(), Fernhouse::Base::RandomMax);
}

TEST_F(ApplePainterRound, SpawnsComeAtMostOnePerFrameWithinThreeSeconds)
{
    // Tall enough that the worm is still walking after 10 s.
    auto rows = std::vector<std::string>(40, std::string(20, '.'));
    rows[1][1] = '1';
    ApplePainter& painter = round(rows);
    passStartDelay();
    std::uint32_t previous = painter.getNextSpawn();
    std::size_t spawned = 0;
    for (int i = 0; i < 400; ++i)
    {
        const std::size_t before = painter.getApples().size();
        frame(25);
        const std::size_t after = painter.getApples().size();
        ASSERT_LE(after, before + 1);
        if (painter.getNextSpawn() != previous)
        {
            // A spawn at or after its time, and the next one no more than 3001 ms later.
            const std::uint32_t now = gameTime();
            EXPECT_LE(previous, now);
            EXPECT_LE(painter.getNextSpawn() - now, 3001u);
            EXPECT_EQ(after, before + 1);
            previous = painter.getNextSpawn();
            ++spawned;
        }
    }
    // 10 s of game time: about one spawn every 1.5 s.
    EXPECT_GE(spawned, 3u);
    EXPECT_LE(spawned, 12u);
}

TEST_F(ApplePainterRound, SpawningDrawsTheKindThenTheColumnThenTheRow)
{
    // Wide and low, so that a row drawn before the column lands elsewhere.
    ApplePainter& painter = round(std::vector<std::string>(7, "1" + std::string(40, '.')));
    for (unsigned seed = 1; seed <= 20; ++seed)
    {
        Fernhouse::Base::seedRandom(seed);
        const std::int32_t kind = painter.randomKind();
        Point expected;
        do
        {
            expected.x = static_cast<int>(Fernhouse::Base::random() /
                                          static_cast<double>(Fernhouse::Base::RandomMax) * 41);
            expected.y = static_cast<int>(Fernhouse::Base::random() /
                                          static_cast<double>(Fernhouse::Base::RandomMax) * 7);
        } while (!engine().isFree(expected, true));

        Fernhouse::Base::seedRandom(seed);
        painter.spawnApple();
        EXPECT_EQ(painter.getApples().back()->getCell(), expected) << "seed " << seed;
        EXPECT_EQ(painter.getApples().back()->getKind(), kind);
    }
}

TEST_F(ApplePainterRound, ApplesLandOnlyOnFreeCellsAndAFullFieldSpawnsNothing)
{
    // Walls, a dead worm, and eleven free cells.
    ApplePainter& painter = round({"#######", "#1....#", "#.###.#", "#..2..#", "#######"});
    engine().getWorms().front()->setState(Tarvo::WormSprite::StateDead);
    for (int i = 0; i < 40; ++i)
    {
        painter.spawnApple();
    }
    std::set<std::pair<int, int>> cells;
    for (const Apple* apple : painter.getApples())
    {
        const Point& cell = apple->getCell();
        EXPECT_TRUE(engine().isFree(cell, false)) << cell.x << "," << cell.y;
        EXPECT_TRUE(cells.insert({cell.x, cell.y}).second) << "two apples on " << cell.x << "," << cell.y;
    }
    // Every free cell got its apple, then spawning stopped without hanging.
    EXPECT_EQ(cells.size(), 11u);
    EXPECT_EQ(painter.getApples().size(), 11u);
}

TEST_F(ApplePainterRound, ApplesWithoutAKindVanishUnseenAndOthersAreDrawnFromTheFirstRow)
{
    ApplePainter& painter = round({"1.........", "..........", ".........."});
    for (Apple* apple : painter.getApples())
    {
        apple->setKind(Apple::Turbo);
        apple->setCell(Point(3, 2));
    }
    painter.setWeights({0, 0, 0, 0, 0, 0});
    painter.spawnApple();
    const Apple* unseen = painter.getApples().back();
    ASSERT_EQ(unseen->getKind(), Apple::Gone);
    const Point hidden = unseen->getCell();

    glClear(GL_COLOR_BUFFER_BIT);
    painter.draw();
    EXPECT_RGB(TestSupport::pixel(3 * 16, 2 * 16), 0, 200, 255);
    EXPECT_RGB(TestSupport::pixel(3 * 16 + 15, 2 * 16 + 15), 0, 200, 255);
    EXPECT_RGB(TestSupport::pixel(3 * 16 + 16, 2 * 16), 0, 0, 0);
    EXPECT_RGB(TestSupport::pixel(hidden.x * 16 + 8, hidden.y * 16 + 8), 0, 0, 0);

    painter.update();
    for (const Apple* apple : painter.getApples())
    {
        EXPECT_NE(apple, unseen);
    }
}
