#include "engine/base/Layout.h"

namespace Fernhouse::Base
{

namespace
{

constexpr const char* Ellipsis = "...";

} // namespace

std::int32_t Layout::centred(std::uint32_t outer, std::uint32_t inner)
{
    return (static_cast<std::int32_t>(outer) - static_cast<std::int32_t>(inner)) / 2;
}

std::int32_t Layout::centredWithin(std::uint32_t outer, std::uint32_t inner)
{
    return inner < outer ? static_cast<std::int32_t>((outer - inner) / 2) : 0;
}

std::string Layout::rightAligned(const std::string& text, std::size_t width, char filler)
{
    return text.size() >= width ? text : std::string(width - text.size(), filler) + text;
}

std::string Layout::leftAligned(const std::string& text, std::size_t width, char filler)
{
    std::string field = text.substr(0, width);
    field.append(width - field.size(), filler);
    return field;
}

std::vector<std::string> Layout::wrapped(const std::string& text, const Fits& fits, std::size_t maxLines,
                                         const std::string& indent)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size() && lines.size() < maxLines)
    {
        const std::string prefix = lines.empty() ? std::string() : indent;
        std::size_t end = start + 1;
        while (end < text.size() && fits(prefix + text.substr(start, end + 1 - start)))
        {
            ++end;
        }
        if (end < text.size())
        {
            const std::size_t blank = text.rfind(' ', end);
            if (blank != std::string::npos && blank > start)
            {
                end = blank;
            }
        }
        lines.push_back(prefix + text.substr(start, end - start));
        start = text.find_first_not_of(' ', end);
        if (start == std::string::npos)
        {
            start = text.size();
        }
    }
    if (start < text.size() && !lines.empty())
    {
        std::string& last = lines.back();
        while (!last.empty() && !fits(last + Ellipsis))
        {
            last.pop_back();
        }
        last += Ellipsis;
    }
    return lines;
}

} // namespace Fernhouse::Base
