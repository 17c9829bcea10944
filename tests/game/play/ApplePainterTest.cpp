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
        const auto at = [&](std::uint32_t age) {
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

TEST_F(ApplePainterRound, OnlyApplesWithAKindAreDrawnAndSpawningFillsEveryFreeCellWithoutHanging)
{
    play(std::vector<std::string>(7, "1" + std::string(40, '.')), 1);
    ApplePainter& painter = *engine().getApplePainter();
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
