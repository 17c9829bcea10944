#include "engine/base/Entity.h"

#include "tests/support/GLWindow.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

using namespace Fernhouse::Base;
using TestSupport::pixel;

namespace
{

// A filled square of the given side in its own frame, its children drawn inside that frame; counts visits.
class Square final : public Entity
{
public:
    explicit Square(int side, const Color& color = Color()) : m_side(side) { setColor(color); }

    void update() override
    {
        ++m_updates;
        Entity::update();
    }

    void draw() override
    {
        ++m_draws;
        glPushMatrix();
        applyTransform();
        glColor4ub(getColor().r, getColor().g, getColor().b, getColor().a);
        glRecti(0, 0, m_side, m_side);
        Entity::draw();
        glPopMatrix();
    }

    int m_updates = 0;
    int m_draws = 0;

private:
    int m_side;
};

class EntityTest : public TestSupport::GLTest
{
};

} // namespace

TEST(Entity, ScaleMultipliesRotationAccumulatesMovesAdd)
{
    Entity e;
    e.scale(2.0f).scale(3.0f);
    EXPECT_FLOAT_EQ(e.getScale(), 6.0f);
    e.rotate(300.0f).rotate(120.0f);
    EXPECT_FLOAT_EQ(e.getRotation(), 420.0f);
    e.move(3, -4).move(1, 1);
    EXPECT_EQ(e.getPosition(), Point(4, -3));
}

TEST_F(EntityTest, ChildAddedTwiceIsVisitedTwiceAndRemovedEntirelyAndOutlivesItsParent)
{
    Square child(1);
    Square other(1);
    {
        Entity parent;
        parent.addChild(&child);
        parent.addChild(&other);
        parent.addChild(&child);
        parent.update();
        parent.draw();
        EXPECT_EQ(child.m_updates, 2);
        EXPECT_EQ(child.m_draws, 2);
        EXPECT_EQ(other.m_updates, 1);
        parent.removeChild(&child);
        parent.removeChild(&child);
        EXPECT_EQ(parent.getChildren(), std::vector<Entity*>{&other});
    }
    child.update();
    EXPECT_EQ(child.m_updates, 3);
}

TEST_F(EntityTest, PlainEntityAppliesNoTransformAndLaterChildrenDrawOnTop)
{
    Entity parent;
    parent.setPosition(100, 100);
    Square first(10, Color(255, 0, 0, 255));
    Square second(10, Color(0, 255, 0, 255));
    second.setPosition(5, 5);
    parent.addChild(&first);
    parent.addChild(&second);
    parent.draw();
    EXPECT_RGB(pixel(2, 2), 255, 0, 0);
    EXPECT_RGB(pixel(7, 7), 0, 255, 0);
    EXPECT_RGB(pixel(15, 15), 0, 0, 0);
    EXPECT_RGB(pixel(110, 110), 0, 0, 0);
}

TEST_F(EntityTest, ChildIsDrawnInItsParentsTranslatedScaledRotatedFrame)
{
    // Parent at (200, 100), scale 2, rotated 90 degrees clockwise: its local (x, y) lands on screen at
    // (200 - 2y, 100 + 2x).
    Square parent(10, Color(0, 0, 255, 255));
    parent.setPosition(200, 100);
    parent.scale(2.0f);
    parent.rotate(90.0f);
    Square child(5, Color(0, 255, 0, 255));
    child.setPosition(20, 0);
    parent.addChild(&child);
    parent.draw();
    // The parent's square covers x 180..199, y 100..119; the child's x 190..199, y 140..149.
    EXPECT_RGB(pixel(181, 101), 0, 0, 255);
    EXPECT_RGB(pixel(198, 118), 0, 0, 255);
    EXPECT_RGB(pixel(201, 110), 0, 0, 0);
    EXPECT_RGB(pixel(191, 141), 0, 255, 0);
    EXPECT_RGB(pixel(198, 148), 0, 255, 0);
    EXPECT_RGB(pixel(191, 151), 0, 0, 0);
    EXPECT_RGB(pixel(188, 145), 0, 0, 0);
}
