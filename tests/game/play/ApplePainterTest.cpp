#include "game/play/ApplePainter.h"

#include "tests/game/play/RoundFixture.h"

using namespace RoundSupport;
using ApplePainterRound = RoundTest;

TEST(Apple, EachKindAgesAfterItsOwnLifetimeAlsoAcrossTheClockWrapping)
{
    // Kind, birth, lifetime, next kind.
    const std::tuple<std::int32_t, std::uint32_t, std::uint32_t, std::int32_t> cases[] = {
        {Apple::Normal, 1000, 20000, Apple::Rotten}, {Apple::Rotten, 1000, 10000, Apple::Gone},
        {Apple::Super, 500, 15000, Apple::Rotten},   {Apple::Turbo, 500, 15000, Apple::Gone},
        {Apple::Beer, 500, 20000, Apple::Gone},      {Apple::Normal, 0xFFFFF000u, 20000, Apple::Rotten}};
    for (const auto& [kind, born, lifetime, next] : cases)
    {
        TestSupport::FakeClock clock(0);
        Fernhouse::Base::GameTime time;
        time.start();
        clock.set(born);
        time.update();
        Apple apple;
        apple.setKind(kind);
        const auto at = [&, born = born](std::uint32_t age) {
            clock.set(born + age);
            time.update();
            apple.update();
            return apple.getKind();
        };
        const std::int32_t last = at(lifetime), after = at(lifetime + 1);
        EXPECT_EQ(std::make_tuple(last, after, apple.getSince()),
                  std::make_tuple(kind, next, born + lifetime + 1))
            << kind << " born " << born;
    }
}

TEST_F(ApplePainterRound, SpawnsComeAtMostOnePerFrameWithinThreeSecondsOfTheLast)
{
    auto rows = std::vector<std::string>(40, std::string(20, '.')); // the worm still walks after 10 s
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
        const bool spawning = painter.getNextSpawn() != previous;
        // At most one new apple, one when a spawn was due: at or after its time, the next no more than 3001 ms on.
        ASSERT_LE(apples().size(), before + 1) << i;
        EXPECT_TRUE(!spawning || (apples().size() == before + 1 && previous <= gameTime() &&
                                  painter.getNextSpawn() - gameTime() <= 3001u));
        spawned += spawning ? 1 : 0;
        previous = painter.getNextSpawn();
    }
    // 10 s of game time: about one spawn every 1.5 s.
    EXPECT_TRUE(spawned >= 3 && spawned <= 12) << spawned;
}

TEST_F(ApplePainterRound,
       SpawningDrawsTheKindThenTheColumnThenTheRowOfAFreeCellOnlyKindsAreDrawnAndSpawningNeverHangs)
{
    // Wide and low, so that a row drawn before the column lands elsewhere.
    play(std::vector<std::string>(7, "1" + std::string(40, '.')), 1);
    ApplePainter& painter = *engine().getApplePainter();
    const auto part = [](int size) {
        return static_cast<int>(Fernhouse::Base::random() / static_cast<double>(Fernhouse::Base::RandomMax) *
                                size);
    };
    for (unsigned seed = 1; seed <= 10; ++seed)
    {
        Fernhouse::Base::seedRandom(seed);
        const std::int32_t kind = painter.randomKind();
        Point expected;
        do
        {
            expected.x = part(41); // the column first: arguments have no order
            expected.y = part(7);
        } while (!engine().isFree(expected, true));
        Fernhouse::Base::seedRandom(seed);
        painter.spawnApple();
        EXPECT_EQ(
            std::make_pair(painter.getApples().back()->getCell(), painter.getApples().back()->getKind()),
            std::make_pair(expected, kind))
            << "seed " << seed;
    }
    // The generator's multiplier is odd, so it runs backwards (its inverse by Newton's iteration) to the
    // state whose next draw is RandomMax: that draw reaches the total, past every running sum, for no kind.
    std::uint32_t inverse = 214013u;
    for (int i = 0; i < 5; ++i)
    {
        inverse *= 2u - 214013u * inverse;
    }
    painter.setWeights(ApplePainter::DefaultWeights);
    Fernhouse::Base::seedRandom((0x7FFF0000u - 2531011u) * inverse);
    EXPECT_EQ(painter.randomKind(), Apple::Gone);
    // Drawn from the tileset's first row; an apple without a kind vanishes unseen.
    clearApples();
    addApple(Apple::Turbo, Point(3, 2));
    painter.spawnApple();
    const Apple* unseen = painter.getApples().back();
    ASSERT_EQ(unseen->getKind(), Apple::Gone);
    glClear(GL_COLOR_BUFFER_BIT);
    painter.draw();
    const auto color = AppleColors[Apple::Turbo];
    EXPECT_TRUE(showsAll({{3 * 16, 2 * 16, color},
                          {3 * 16 + 15, 2 * 16 + 15, color},
                          {3 * 16 + 16, 2 * 16, {0, 0, 0, 255}},
                          {unseen->getCell().x * 16 + 8, unseen->getCell().y * 16 + 8, {0, 0, 0, 255}}}));

    // Walls, a dead worm, and eleven free cells: each gets its apple, then spawning stops without hanging.
    play({"#######", "#1....#", "#.###.#", "#.....#", "#######"}, 1);
    engine().getWorms().front()->setState(WormSprite::StateDead);
    std::set<std::pair<int, int>> cells;
    for (int i = 0; i < 40; ++i)
    {
        engine().getApplePainter()->spawnApple();
    }
    for (const Apple* apple : apples())
    {
        EXPECT_TRUE(engine().isFree(apple->getCell(), false))
            << apple->getCell().x << "," << apple->getCell().y;
        cells.insert({apple->getCell().x, apple->getCell().y});
    }
    EXPECT_EQ(std::make_pair(cells.size(), apples().size()), std::make_pair(11ul, 11ul));
}
