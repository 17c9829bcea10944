#pragma once

#include "engine/base/Color.h"
#include "engine/base/Transformable.h"

#include <vector>

namespace Fernhouse::Base
{

// Everything updated and drawn each frame. Children are not owned: whoever created an entity deletes it,
// after removing it from its parent. A child list must not change while it is being walked.
class Entity : public Transformable
{
public:
    Entity();
    ~Entity() override;

    // Draws the children in the order added. Applies no transform of its own.
    virtual void draw();
    // Updates the children in the order added.
    virtual void update();

    void addChild(Entity* child);
    // Removes every occurrence; an absent child is ignored.
    void removeChild(Entity* child);

    const std::vector<Entity*>& getChildren() const { return m_children; }

    // The tint that concrete entities draw with; opaque white by default.
    void setColor(const Color& color);

    const Color& getColor() const { return m_color; }

private:
    std::vector<Entity*> m_children; // not owned
    Color m_color{255, 255, 255, 255};
};

} // namespace Fernhouse::Base
