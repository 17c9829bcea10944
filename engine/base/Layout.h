#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace Fernhouse::Base
{

// Placing things in a box or a text field. Offsets in pixels, fields in characters.
class Layout final
{
public:
    Layout() = delete;

    // The offset that centres inner in outer; negative when inner is larger, so both ends stick out evenly.
    static std::int32_t centred(std::uint32_t outer, std::uint32_t inner);
    // As centred, but never before the start of outer: a picture larger than the screen keeps its corner.
    static std::int32_t centredWithin(std::uint32_t outer, std::uint32_t inner);
    // text filled up to width with filler on its left; a wider text stays whole.
    static std::string rightAligned(const std::string& text, std::size_t width, char filler);
    // text cut to width, or filled up to it with filler on its right.
    static std::string leftAligned(const std::string& text, std::size_t width, char filler);
};

} // namespace Fernhouse::Base
