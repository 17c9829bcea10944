#include "game/play/OccupancyGrid.h"

#include <cassert>
#include <limits>

namespace Tarvo
{

OccupancyGrid::OccupancyGrid(std::int32_t width, std::int32_t height)
    : m_width(width > 0 && height > 0 ? width : 0),
      m_height(width > 0 && height > 0 ? height : 0),
      m_counts(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), 0)
{
}

void OccupancyGrid::add(std::int32_t x, std::int32_t y)
{
    if (contains(x, y))
    {
        std::uint16_t& count = m_counts[index(x, y)];
        assert(count < std::numeric_limits<std::uint16_t>::max());
        ++count;
    }
}

void OccupancyGrid::remove(std::int32_t x, std::int32_t y)
{
    if (contains(x, y))
    {
        std::uint16_t& count = m_counts[index(x, y)];
        assert(count > 0 && "a segment leaves a cell it never entered");
        --count;
    }
}

} // namespace Tarvo
