#include "game/play/Apple.h"

#include "engine/base/GameTime.h"

#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

using Tarvo::Apple;

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
        const auto at = [&](std::uint32_t ms) {
            clock.set(ms);
            time.update();
        };
        at(c.born);
        Apple apple;
        apple.setKind(c.kind);
        for (const std::uint32_t age : {c.lifetime, c.lifetime + 1})
        {
            at(c.born + age);
            apple.update();
            EXPECT_EQ(apple.getKind(), age == c.lifetime ? c.kind : c.next) << c.kind << " born " << c.born;
        }
        EXPECT_EQ(apple.getSince(), c.born + c.lifetime + 1) << "kind " << c.kind;
    }
}

TEST(Apple, KindsOutsideTheTableGiveNoGrowthAndNoPoints)
{
    for (const std::int32_t kind : {Apple::Gone, Apple::KindCount, 99})
    {
        EXPECT_EQ(Apple::getGrowth(kind), 0u) << kind;
        EXPECT_EQ(Apple::getPoints(kind), 0) << kind;
    }
}
