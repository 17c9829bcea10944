#include "engine/base/Entity.h"

#include "engine/base/Repaint.h"

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
    Repaint::request();
}

void Entity::removeChild(Entity* child)
{
    const auto removed = std::remove(m_children.begin(), m_children.end(), child);
    if (removed != m_children.end())
    {
        m_children.erase(removed, m_children.end());
        Repaint::request();
    }
}

void Entity::setColor(const Color& color)
{
    if (!(color == m_color))
    {
        m_color = color;
        Repaint::request();
    }
}

} // namespace Fernhouse::Base
