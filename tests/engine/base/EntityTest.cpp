#include "engine/base/Entity.h"

#include "tests/engine/graphics/GraphicsFixture.h"

#include <gtest/gtest.h>

using namespace Fernhouse::Base;
using TestSupport::rgbAt;
using TestSupport::Square;

namespace
{

using EntityTest = TestSupport::GLTest;

} // namespace

TEST_F(EntityTest, TransformsChainAndEveryListingOfAChildIsVisitedWhileItOutlivesItsParent)
{
    Entity moved;
    moved.scale(2.0f).scale(3.0f).rotate(300.0f).rotate(120.0f).move(3, -4).move(1, 1);
    EXPECT_EQ(std::tuple(moved.getScale(), moved.getRotation(), moved.getPosition()),
              std::tuple(6.0f, 420.0f, Point(4, -3)));
    Square child(1, Color());
    Square other(1, Color());
    {
        Entity parent;
        parent.addChild(&child);
        parent.addChild(&other);
        parent.addChild(&child);
        parent.update();
        parent.draw();
        EXPECT_EQ(std::tuple(child.m_updates, child.m_draws, other.m_updates), std::tuple(2, 2, 1));
        parent.removeChild(&child);
        parent.removeChild(&child);
        EXPECT_EQ(parent.getChildren(), std::vector<Entity*>{&other});
    }
    child.update();
    EXPECT_EQ(child.m_updates, 3);
}

TEST_F(EntityTest, ChildrenDrawInOrderInTheirParentsTranslatedScaledRotatedFrame)
{
    // A plain entity applies no transform of its own; later children draw on top.
    Entity plain;
    plain.setPosition(100, 100);
    Square first(10, Color(255, 0, 0, 255));
    Square second(10, Color(0, 255, 0, 255));
    second.setPosition(5, 5);
    plain.addChild(&first);
    plain.addChild(&second);
    plain.draw();
    EXPECT_TRUE(rgbAt({2, 2}, 255, 0, 0));
    EXPECT_TRUE(rgbAt({7, 7}, 0, 255, 0));
    EXPECT_TRUE(rgbAt({15, 15, 110, 110}, 0, 0, 0));

    // At (200, 100), scale 2, turned 90 degrees clockwise: local (x, y) lands on (200 - 2y, 100 + 2x). The
    // parent covers x 180..199, y 100..119; the child x 190..199, y 140..149.
    Square parent(10, Color(0, 0, 255, 255));
    parent.setPosition(200, 100);
    parent.scale(2.0f).rotate(90.0f);
    Square child(5, Color(0, 255, 0, 255));
    child.setPosition(20, 0);
    parent.addChild(&child);
    parent.draw();
    EXPECT_TRUE(rgbAt({181, 101, 198, 118}, 0, 0, 255));
    EXPECT_TRUE(rgbAt({191, 141, 198, 148}, 0, 255, 0));
    EXPECT_TRUE(rgbAt({201, 110, 191, 151, 188, 145}, 0, 0, 0));
}
