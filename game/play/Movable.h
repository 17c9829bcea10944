#pragma once

#include <cstdint>

namespace Fernhouse::Base
{
class Entity;
} // namespace Fernhouse::Base

namespace Tarvo
{

// Where a script's text or picture is heading: the scale, position and opacity it approaches until
// endTime. Move, fade and scale of one object share endTime, so starting one restarts all of them.
struct Movable
{
    // Pixels; (0, 0) means no move.
    float targetX = 0.0f;
    float targetY = 0.0f;
    // A target of 0 is not approached, only set when the animation ends.
    float targetScale = 1.0f;
    // 0 (invisible) to 255 (opaque). Opacity is only ever stepped downwards: a fade towards 255 is set
    // when the animation ends.
    float targetAlpha = 255.0f;
    // Game time in milliseconds.
    std::int32_t endTime = 0;

    // One animation step of the entity at game time now, the previous step having been at lastUpdate:
    // each step covers its share of the distance left, so the entity arrives at endTime; after endTime it
    // is set to the targets.
    void animate(Fernhouse::Base::Entity& entity, std::int32_t now, std::int32_t lastUpdate) const;
};

} // namespace Tarvo
