#pragma once

#include "engine/base/Point.h"

#include <cstdint>

namespace Fernhouse::Base
{

// Position in screen pixels, rotation in degrees (clockwise on screen) and a uniform scale.
class Transformable
{
public:
    Transformable();
    virtual ~Transformable();

    void setPosition(std::int32_t x, std::int32_t y);
    void setPosition(const Point& position);

    Point getPosition() const { return Point(m_x, m_y); }

    std::int32_t getX() const { return m_x; }

    std::int32_t getY() const { return m_y; }

    void setRotation(float degrees);

    float getRotation() const { return m_rotation; }

    void setScale(float factor);

    float getScale() const { return m_scale; }

    Transformable& move(std::int32_t dx, std::int32_t dy);
    // Accumulates without wrapping to 0-360.
    Transformable& rotate(float angle);
    // Multiplies the current factor.
    Transformable& scale(float factor);

    // Multiplies the current GL matrix by translate, then scale, then rotate about the z axis.
    // Callers push and pop the matrix themselves.
    void applyTransform() const;

private:
    std::int32_t m_x = 0;
    std::int32_t m_y = 0;
    float m_rotation = 0.0f;
    float m_scale = 1.0f;
};

} // namespace Fernhouse::Base
