#include "engine/base/Transformable.h"

#include "engine/base/Repaint.h"

#include <GL/gl.h>

namespace Fernhouse::Base
{

Transformable::Transformable() = default;

Transformable::~Transformable() = default;

void Transformable::setPosition(std::int32_t x, std::int32_t y)
{
    if (x != m_x || y != m_y)
    {
        m_x = x;
        m_y = y;
        Repaint::request();
    }
}

void Transformable::setRotation(float degrees)
{
    if (degrees != m_rotation)
    {
        m_rotation = degrees;
        Repaint::request();
    }
}

void Transformable::setScale(float factor)
{
    if (factor != m_scale)
    {
        m_scale = factor;
        Repaint::request();
    }
}

void Transformable::setPosition(const Point& position)
{
    setPosition(position.x, position.y);
}

Transformable& Transformable::move(std::int32_t dx, std::int32_t dy)
{
    setPosition(m_x + dx, m_y + dy);
    return *this;
}

Transformable& Transformable::rotate(float angle)
{
    setRotation(m_rotation + angle);
    return *this;
}

Transformable& Transformable::scale(float factor)
{
    setScale(m_scale * factor);
    return *this;
}

void Transformable::applyTransform() const
{
    glTranslatef(static_cast<GLfloat>(m_x), static_cast<GLfloat>(m_y), 0.0f);
    glScalef(m_scale, m_scale, 1.0f);
    glRotatef(m_rotation, 0.0f, 0.0f, 1.0f);
}

} // namespace Fernhouse::Base
