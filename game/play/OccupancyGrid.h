#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Tarvo
{

// How many worm segments cover each cell of a map, kept up to date by the worms as they move, so that
// asking whether a cell is taken costs one lookup instead of a walk over every worm's body. Cells off the
// grid are never counted.
class OccupancyGrid final
{
public:
    // An empty grid with no cells.
    OccupancyGrid() = default;
    // Every cell uncovered; a negative size gives no cells.
    OccupancyGrid(std::int32_t width, std::int32_t height);

    // A segment arrives on, or leaves, the cell; off the grid nothing changes.
    void add(std::int32_t x, std::int32_t y);
    void remove(std::int32_t x, std::int32_t y);

    // Segments on the cell; 0 off the grid.
    std::uint32_t count(std::int32_t x, std::int32_t y) const
    {
        return contains(x, y) ? m_counts[index(x, y)] : 0;
    }

private:
    bool contains(std::int32_t x, std::int32_t y) const
    {
        return x >= 0 && y >= 0 && x < m_width && y < m_height;
    }

    std::size_t index(std::int32_t x, std::int32_t y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x);
    }

    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    // At most 256 segments of each of at most 100 worms can share a cell, which 16 bits hold.
    std::vector<std::uint16_t> m_counts;
};

} // namespace Tarvo
