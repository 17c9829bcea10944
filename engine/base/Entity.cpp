#include "engine/base/Entity.h"

#include <algorithm>

namespace Fernhouse::Base
{

Entity::Entity() = default;

Entity::~Entity() = default;

void Entity::draw()
{
    for (Entity* child : m_children)
    {
        child->draw();
    }
}

void Entity::update()
{
    for (Entity* child : m_children)
    {
        child->update();
    }
}

void Entity::addChild(Entity* child)
{
    m_children.push_back(child);
}

void Entity::removeChild(Entity* child)
{
    m_children.erase(std::remove(m_children.begin(), m_children.end(), child), m_children.end());
}

} // namespace Fernhouse::Base
