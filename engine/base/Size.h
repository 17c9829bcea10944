#pragma once

#include <cstdint>

namespace Fernhouse::Base
{

// An extent in screen pixels or grid cells.
struct Size
{
    std::uint32_t w = 0;
    std::uint32_t h = 0;

    constexpr Size() = default;

    constexpr Size(std::uint32_t width, std::uint32_t height) : w(width), h(height) {}

    friend constexpr bool operator==(const Size& lhs, const Size& rhs)
    {
        return lhs.w == rhs.w && lhs.h == rhs.h;
    }

    friend constexpr bool operator!=(const Size& lhs, const Size& rhs) { return !(lhs == rhs); }
};

} // namespace Fernhouse::Base
