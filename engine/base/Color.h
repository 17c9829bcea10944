#pragma once

#include <cstdint>

namespace Fernhouse::Base
{

// Stored red, green, blue, alpha so that the four bytes also read as one 32-bit value.
struct Color
{
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;

    constexpr Color() = default;

    constexpr Color(std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::uint8_t alpha)
        : r(red),
          g(green),
          b(blue),
          a(alpha)
    {
    }

    friend constexpr bool operator==(const Color& lhs, const Color& rhs)
    {
        return lhs.r == rhs.r && lhs.g == rhs.g && lhs.b == rhs.b && lhs.a == rhs.a;
    }

    friend constexpr bool operator!=(const Color& lhs, const Color& rhs) { return !(lhs == rhs); }
};

static_assert(sizeof(Color) == 4);

} // namespace Fernhouse::Base
