#include "engine/base/Transformable.h"

#include <GL/gl.h>

namespace Fernhouse::Base
{

Transformable::Transformable() = default;

Transformable::~Transformable() = default;

void Transformable::setPosition(std::int32_t x, std::int32_t y)
{
    m_x = x;
    m_y = y;
}

void Transformable::setPosition(const Point& position)
{
    setPosition(position.x, position.y);
}

Transformable& Transformable::move(std::int32_t dx, std::int32_t dy)
{
    m_x += dx;
    m_y += dy;
    return *this;
}

Transformable& Transformable::rotate(float angle)
{
    m_rotation += angle;
    return *this;
}

Transformable& Transformable::scale(float factor)
{
    m_scale *= factor;
    return *this;
}

void Transformable::applyTransform() const
{
    glTranslatef(static_cast<GLfloat>(m_x), static_cast<GLfloat>(m_y), 0.0f);
    glScalef(m_scale, m_scale, 1.0f);
    glRotatef(m_rotation, 0.0f, 0.0f, 1.0f);
}

} // namespace Fernhouse::Base
