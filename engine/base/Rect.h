#pragma once

#include <cstdint>

namespace Fernhouse::Base
{

// A rectangle whose top-left corner is (x, y), in screen pixels or grid cells.
struct Rect
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::uint32_t w = 0;
    std::uint32_t h = 0;

    constexpr Rect() = default;

    constexpr Rect(std::int32_t px, std::int32_t py, std::uint32_t width, std::uint32_t height)
        : x(px),
          y(py),
          w(width),
          h(height)
    {
    }

    friend constexpr bool operator==(const Rect& lhs, const Rect& rhs)
    {
        return lhs.x == rhs.x && lhs.y == rhs.y && lhs.w == rhs.w && lhs.h == rhs.h;
    }

    friend constexpr bool operator!=(const Rect& lhs, const Rect& rhs) { return !(lhs == rhs); }
};

} // namespace Fernhouse::Base
