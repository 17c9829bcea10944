#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace Fernhouse::Base
{

// Placing things in a box or a text field. Offsets in pixels, fields in characters, wrapped text in
// whatever unit the caller measures it.
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

    // Whether a line of text fits the width it is wrapped to.
    using Fits = std::function<bool(const std::string& line)>;
    // text broken into lines that fit, at the last blank that lets a line fit and inside a word only where
    // the word alone is too wide; the text after a break goes on at its next non-blank. Every line after the
    // first begins with indent, which counts towards its width. After maxLines lines the rest is left out
    // and the last line ends in "...", shortened until that fits.
    static std::vector<std::string> wrapped(const std::string& text, const Fits& fits, std::size_t maxLines,
                                            const std::string& indent);
};

} // namespace Fernhouse::Base
