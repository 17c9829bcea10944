#include "engine/base/Entity.h"

#include "tests/support/GLWindow.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

using namespace Fernhouse::Base;
using TestSupport::pixel;

namespace
{

class CountingEntity final : public Entity
{
public:
    void update() override
    {
        ++m_updates;
        Entity::update();
    }

    void draw() override
    {
        ++m_draws;
        Entity::draw();
    }

    int m_updates = 0;
    int m_draws = 0;
};

// A positioned entity that draws a filled square of the given side, following the drawing convention.
class SquareEntity final : public Entity
{
public:
    explicit SquareEntity(int side) : m_side(side) {}

    void draw() override
    {
        glPushMatrix();
        applyTransform();
        const Color& c = getColor();
        glColor4ub(c.r, c.g, c.b, c.a);
        glBegin(GL_QUADS);
        glVertex2i(0, 0);
        glVertex2i(m_side, 0);
        glVertex2i(m_side, m_side);
        glVertex2i(0, m_side);
        glEnd();
        Entity::draw();
        glPopMatrix();
    }

private:
    int m_side;
};

} // namespace

TEST(Transformable, ScaleMultipliesAndRotateAccumulates)
{
    Entity e;
    EXPECT_EQ(e.getPosition(), Point(0, 0));
    EXPECT_FLOAT_EQ(e.getScale(), 1.0f);
    e.scale(2.0f).scale(0.5f);
    EXPECT_FLOAT_EQ(e.getScale(), 1.0f);
    e.rotate(300.0f).rotate(120.0f);
    EXPECT_FLOAT_EQ(e.getRotation(), 420.0f);
    e.move(3, -4).move(1, 1);
    EXPECT_EQ(e.getPosition(), Point(4, -3));
    EXPECT_EQ(e.getColor(), Color(255, 255, 255, 255));
}

TEST(Entity, ChildAddedTwiceIsVisitedTwiceAndRemovedEntirely)
{
    Entity parent;
    CountingEntity child;
    CountingEntity other;
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
    ASSERT_EQ(parent.getChildren().size(), 1u);
    EXPECT_EQ(parent.getChildren()[0], &other);
}

TEST(Entity, DeletingAParentLeavesItsChildrenAlive)
{
    CountingEntity child;
    {
        Entity parent;
        parent.addChild(&child);
    }
    child.update();
    EXPECT_EQ(child.m_updates, 1);
}

class EntityDrawing : public TestSupport::GLTest
{
};

TEST_F(EntityDrawing, PlainEntityAppliesNoTransformToItsChildren)
{
    Entity parent;
    parent.setPosition(100, 100);
    SquareEntity child(4);
    child.setPosition(10, 10);
    child.setColor(Color(255, 0, 0, 255));
    parent.addChild(&child);
    parent.draw();

    EXPECT_RGB(pixel(10, 10), 255, 0, 0);
    EXPECT_RGB(pixel(13, 13), 255, 0, 0);
    EXPECT_RGB(pixel(14, 14), 0, 0, 0);
    EXPECT_RGB(pixel(110, 110), 0, 0, 0);
}

TEST_F(EntityDrawing, ChildIsDrawnInItsParentsTranslatedScaledRotatedFrame)
{
    // Parent at (200, 100), scale 2, rotated 90 degrees clockwise: its local (x, y) lands on screen at
    // (200 - 2y, 100 + 2x).
    SquareEntity parent(10);
    parent.setPosition(200, 100);
    parent.scale(2.0f);
    parent.rotate(90.0f);
    parent.setColor(Color(0, 0, 255, 255));
    SquareEntity child(5);
    child.setPosition(20, 0);
    child.setColor(Color(0, 255, 0, 255));
    parent.addChild(&child);
    parent.draw();

    // The parent's 10 x 10 square covers x 180..199, y 100..119.
    EXPECT_RGB(pixel(181, 101), 0, 0, 255);
    EXPECT_RGB(pixel(198, 118), 0, 0, 255);
    EXPECT_RGB(pixel(201, 110), 0, 0, 0);
    // The child's 5 x 5 square at local (20, 0) covers x 190..199, y 140..149.
    EXPECT_RGB(pixel(191, 141), 0, 255, 0);
    EXPECT_RGB(pixel(198, 148), 0, 255, 0);
    EXPECT_RGB(pixel(191, 151), 0, 0, 0);
    EXPECT_RGB(pixel(188, 145), 0, 0, 0);
}

TEST_F(EntityDrawing, LaterChildrenAreDrawnOnTop)
{
    Entity root;
    SquareEntity first(10);
    first.setColor(Color(255, 0, 0, 255));
    SquareEntity second(10);
    second.setPosition(5, 5);
    second.setColor(Color(0, 255, 0, 255));
    root.addChild(&first);
    root.addChild(&second);
    root.draw();
    EXPECT_RGB(pixel(2, 2), 255, 0, 0);
    EXPECT_RGB(pixel(7, 7), 0, 255, 0);
}
