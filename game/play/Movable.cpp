#include "game/play/Movable.h"

#include "engine/base/Color.h"
#include "engine/base/Entity.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Tarvo
{

namespace
{

constexpr std::int64_t MinCoordinate = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t MaxCoordinate = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t Transparent = 0;
constexpr std::int64_t Opaque = 255;
constexpr float Opaquef = 255.0f;

// Rounds halves to even (the default rounding mode), saturating at the 32-bit limits: scripts may name
// any 32-bit target.
std::int64_t nearest(float value)
{
    const double rounded = std::nearbyint(static_cast<double>(value));
    if (!(rounded > static_cast<double>(MinCoordinate)))
    {
        return MinCoordinate;
    }
    if (rounded >= static_cast<double>(MaxCoordinate))
    {
        return MaxCoordinate;
    }
    return static_cast<std::int64_t>(rounded);
}

std::int32_t toCoordinate(std::int64_t value)
{
    return static_cast<std::int32_t>(std::clamp(value, MinCoordinate, MaxCoordinate));
}

// The step of one axis, which never passes the target.
std::int32_t approach(std::int32_t current, float target, float fraction)
{
    const float currentf = static_cast<float>(current);
    const std::int64_t next = current + nearest((target - currentf) * fraction);
    const auto nextf = static_cast<float>(next);
    if ((target > currentf && nextf > target) || (target < currentf && nextf < target))
    {
        return toCoordinate(nearest(target));
    }
    return toCoordinate(next);
}

std::uint8_t toAlpha(std::int64_t value)
{
    return static_cast<std::uint8_t>(std::clamp(value, Transparent, Opaque));
}

} // namespace

void Movable::animate(Fernhouse::Base::Entity& entity, std::int32_t now, std::int32_t lastUpdate) const
{
    const bool moving = targetX != 0.0f || targetY != 0.0f;
    Fernhouse::Base::Color color = entity.getColor();
    const std::int64_t remaining = std::int64_t{endTime} - now;
    if (remaining < 1)
    {
        if (entity.getScale() != targetScale)
        {
            entity.setScale(targetScale);
        }
        if (moving)
        {
            entity.setPosition(toCoordinate(nearest(targetX)), toCoordinate(nearest(targetY)));
        }
        const std::uint8_t alpha = toAlpha(nearest(targetAlpha));
        if (color.a != alpha)
        {
            color.a = alpha;
            entity.setColor(color);
        }
        return;
    }

    const float fraction = static_cast<float>(std::int64_t{now} - lastUpdate) / static_cast<float>(remaining);
    if (targetScale != 0.0f)
    {
        entity.setScale(entity.getScale() + (targetScale - entity.getScale()) * fraction);
    }
    if (moving)
    {
        entity.setPosition(approach(entity.getX(), targetX, fraction),
                           approach(entity.getY(), targetY, fraction));
    }
    const auto alpha = static_cast<float>(color.a);
    if (targetAlpha != Opaquef && targetAlpha != alpha)
    {
        color.a = toAlpha(color.a + nearest((targetAlpha - alpha) * fraction));
        entity.setColor(color);
    }
}

} // namespace Tarvo
