#include "game/play/ApplePainter.h"

#include "engine/base/GameTime.h"
#include "engine/base/Random.h"

#include "game/play/Apple.h"
#include "game/play/GameEngine.h"
#include "game/play/WormSprite.h"

#include "tests/game/play/RoundFixture.h"
#include "tests/support/FakeClock.h"
#include "tests/support/PrintTo.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using Fernhouse::Base::Point;
using Tarvo::Apple;
using Tarvo::ApplePainter;

namespace
{

std::array<int, Apple::KindCount + 1> rollKinds(const ApplePainter& painter, int rolls)
{
    std::array<int, Apple::KindCount + 1> counts{}; // the last slot counts Gone
    for (int i = 0; i < rolls; ++i)
    {
        const std::int32_t kind = painter.randomKind();
        counts[kind == Apple::Gone ? Apple::KindCount : static_cast<std::size_t>(kind)]++;
    }
    return counts;
}

using ApplePainterRound = RoundSupport::RoundTest;

} // namespace

TEST(Apple, EachKindAgesAfterItsOwnLifetimeAlsoAcrossTheClockWrapping)
{
    struct Case
    {
        std::int32_t kind;
        std::uint32_t born, lifetime;
        std::int32_t next;
    };

    for (const Case& c :
         {Case{Apple::Normal, 1000, 20000, Apple::Rotten}, Case{Apple::Rotten, 1000, 10000, Apple::Gone},
          Case{Apple::Super, 500, 15000, Apple::Rotten}, Case{Apple::Turbo, 500, 15000, Apple::Gone},
          Case{Apple::Cake, 500, 15000, Apple::Gone}, Case{Apple::Beer, 500, 20000, Apple::Gone},
          Case{Apple::Normal, 0xFFFFF000u, 20000, Apple::Rotten}})
    {
        TestSupport::FakeClock clock(0);
        Fernhouse::Base::GameTime time;
        time.start();
        clock.set(c.born);
        time.update();
        Apple apple;
        apple.setKind(c.kind);
        for (const std::uint32_t age : {c.lifetime, c.lifetime + 1})
        {
            clock.set(c.born + age);
            time.update();
            apple.update();
            EXPECT_EQ(apple.getKind(), age == c.lifetime ? c.kind : c.next) << c.kind << " born " << c.born;
        }
        EXPECT_EQ(apple.getSince(), c.born + c.lifetime + 1) << "kind " << c.kind;
    }
    // Kinds outside the table give no growth and no points.
    for (const std::int32_t kind : {Apple::Gone, Apple::KindCount, 99})
    {
        EXPECT_EQ(Apple::getGrowth(kind) + static_cast<std::uint32_t>(Apple::getPoints(kind)), 0u) << kind;
    }
}

TEST(ApplePainter, KindRollsFollowOnlyTheWeightsThatAreSetUpToTheHighestDraw)
{
    ApplePainter painter(nullptr, nullptr);
    Fernhouse::Base::seedRandom(1);
    painter.setWeights({0, 0, 0, 0, 0, 1});
    EXPECT_EQ(rollKinds(painter, 500)[Apple::Cake], 500);
    painter.setWeights({0, 0, 0, 0, 0, 0});
    EXPECT_EQ(rollKinds(painter, 500)[Apple::KindCount], 500);

    // The generator's multiplier is odd, so it runs backwards to the state whose next draw is RandomMax:
    // that draw reaches the total, past every running sum.
    std::uint32_t inverse = 214013u; // Newton's iteration doubles the correct low bits each round
    for (int i = 0; i < 5; ++i)
    {
        inverse *= 2u - 214013u * inverse;
    }
    const unsigned beforeMaximum = (0x7FFF0000u - 2531011u) * inverse;
    painter.setWeights(ApplePainter::DefaultWeights);
    Fernhouse::Base::seedRandom(beforeMaximum);
    EXPECT_EQ(painter.randomKind(), Apple::Gone);
    Fernhouse::Base::seedRandom(beforeMaximum);
    EXPECT_EQ(Fernhouse::Base::random(), Fernhouse::Base::RandomMax);
}

TEST_F(ApplePainterRound, SpawnsComeAtMostOnePerFrameWithinThreeSecondsOfTheLast)
{
    // Tall enough that the worm is still walking after 10 s.
    auto rows = std::vector<std::string>(40, std::string(20, '.'));
    rows[1][1] = '1';
    play(rows, 1);
    const ApplePainter& painter = *engine().getApplePainter();
    passStartDelay();
    std::uint32_t previous = painter.getNextSpawn();
    std::size_t spawned = 0;
    for (int i = 0; i < 400; ++i)
    {
        const std::size_t before = apples().size();
        frame(25);
        ASSERT_LE(apples().size(), before + 1);
        if (painter.getNextSpawn() != previous)
        {
            // A spawn at or after its time, and the next one no more than 3001 ms later.
            EXPECT_LE(previous, gameTime());
            EXPECT_LE(painter.getNextSpawn() - gameTime(), 3001u);
            EXPECT_EQ(apples().size(), before + 1);
            previous = painter.getNextSpawn();
            ++spawned;
        }
    }
    // 10 s of game time: about one spawn every 1.5 s.
    EXPECT_GE(spawned, 3u);
    EXPECT_LE(spawned, 12u);
}

TEST_F(ApplePainterRound, SpawningDrawsTheKindThenTheColumnThenTheRowOfAFreeCell)
{
    // Wide and low, so that a row drawn before the column lands elsewhere.
    play(std::vector<std::string>(7, "1" + std::string(40, '.')), 1);
    ApplePainter& painter = *engine().getApplePainter();
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

    // Walls, a dead worm, and eleven free cells: each gets its apple, then spawning stops without hanging.
    play({"#######", "#1....#", "#.###.#", "#.....#", "#######"}, 1);
    engine().getWorms().front()->setState(Tarvo::WormSprite::StateDead);
    for (int i = 0; i < 40; ++i)
    {
        engine().getApplePainter()->spawnApple();
    }
    std::set<std::pair<int, int>> cells;
    for (const Apple* apple : apples())
    {
        EXPECT_TRUE(engine().isFree(apple->getCell(), false))
            << apple->getCell().x << "," << apple->getCell().y;
        cells.insert({apple->getCell().x, apple->getCell().y});
    }
    EXPECT_EQ(cells.size(), 11u);
    EXPECT_EQ(apples().size(), 11u);
}

TEST_F(ApplePainterRound, ApplesWithoutAKindVanishUnseenAndOthersAreDrawnFromTheFirstRow)
{
    play({"1.........", "..........", ".........."}, 1);
    ApplePainter& painter = *engine().getApplePainter();
    clearApples();
    addApple(Apple::Turbo, Point(3, 2));
    painter.spawnApple();
    const Apple* unseen = painter.getApples().back();
    ASSERT_EQ(unseen->getKind(), Apple::Gone);
    glClear(GL_COLOR_BUFFER_BIT);
    painter.draw();
    const auto color = RoundSupport::AppleColors[Apple::Turbo];
    EXPECT_RGB(TestSupport::pixel(3 * 16, 2 * 16), color.r, color.g, color.b);
    EXPECT_RGB(TestSupport::pixel(3 * 16 + 15, 2 * 16 + 15), color.r, color.g, color.b);
    EXPECT_RGB(TestSupport::pixel(3 * 16 + 16, 2 * 16), 0, 0, 0);
    EXPECT_RGB(TestSupport::pixel(unseen->getCell().x * 16 + 8, unseen->getCell().y * 16 + 8), 0, 0, 0);
    painter.update();
    EXPECT_EQ(std::count(apples().begin(), apples().end(), unseen), 0);
}
