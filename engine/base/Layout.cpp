#include "engine/base/Layout.h"

namespace Fernhouse::Base
{

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

} // namespace Fernhouse::Base
