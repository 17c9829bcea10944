#include "game/play/OccupancyGrid.h"

#include "engine/base/GameTime.h"
#include "engine/base/Point.h"

#include "game/play/WormSprite.h"

#include "tests/game/play/RoundFixture.h"
#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

using Fernhouse::Base::Point;
using Tarvo::OccupancyGrid;
using Tarvo::WormSprite;

TEST(OccupancyGrid, CountsSegmentsPerCellAndIgnoresCellsOffTheGrid)
{
    OccupancyGrid grid(4, 3);
    grid.add(1, 2);
    grid.add(1, 2);
    grid.add(3, 0);
    grid.remove(1, 2);
    EXPECT_EQ(grid.count(1, 2), 1u);
    EXPECT_EQ(grid.count(3, 0), 1u);
    EXPECT_EQ(grid.count(0, 0), 0u);
    // A head may leave a map that has no wall around it.
    for (const Point& off : {Point(-1, 0), Point(4, 0), Point(0, -1), Point(0, 3)})
    {
        grid.add(off.x, off.y);
        EXPECT_EQ(grid.count(off.x, off.y), 0u);
        grid.remove(off.x, off.y);
    }
    EXPECT_EQ(OccupancyGrid(-2, 5).count(0, 0), 0u);
}

TEST(OccupancyGrid, WormKeepsItsCellsCountedFromBirthAsItGrowsTurnsAndDropsItsTailUntilDeleted)
{
    TestSupport::FakeClock clock(10000);
    Fernhouse::Base::GameTime time;
    time.start();
    constexpr std::int32_t Side = 12;
    OccupancyGrid grid(Side, Side);
    // Down, right, up, then straight on: the body turns twice and its tail follows.
    auto* worm = new WormSprite(nullptr, "w", new RoundSupport::PlanControl({8, 8, 2, 2, 2, 4, 4, 4, 4, 4}),
                                nullptr, Point(2, 2), WormSprite::Down, WormSprite::ControlAbsolute, &grid);
    worm->grow(3);
    const auto expectCounts = [&](const std::vector<WormSprite::Segment>& body, int step) {
        for (std::int32_t y = 0; y < Side; ++y)
        {
            for (std::int32_t x = 0; x < Side; ++x)
            {
                std::uint32_t expected = 0;
                for (const WormSprite::Segment& segment : body)
                {
                    expected += segment.x == x && segment.y == y ? 1 : 0;
                }
                ASSERT_EQ(grid.count(x, y), expected) << "step " << step << " cell " << x << "," << y;
            }
        }
    };
    for (int step = 0; step < 12; ++step)
    {
        clock.advance(334);
        time.update();
        worm->update();
        expectCounts(worm->getBody(), step);
    }
    EXPECT_EQ(worm->getLength(), 6u);
    delete worm; // a worm taken out of the round leaves no cell counted behind it
    expectCounts({}, 12);
}
