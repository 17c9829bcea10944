#pragma once

#include <cstdint>

namespace Fernhouse::Base
{

// A position in screen pixels or grid cells.
struct Point
{
    std::int32_t x = 0;
    std::int32_t y = 0;

    constexpr Point() = default;

    constexpr Point(std::int32_t px, std::int32_t py) : x(px), y(py) {}

    friend constexpr bool operator==(const Point& lhs, const Point& rhs)
    {
        return lhs.x == rhs.x && lhs.y == rhs.y;
    }

    friend constexpr bool operator!=(const Point& lhs, const Point& rhs) { return !(lhs == rhs); }
};

} // namespace Fernhouse::Base
