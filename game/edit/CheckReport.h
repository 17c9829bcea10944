#pragma once

#include "engine/base/Point.h"

#include <string>
#include <vector>

namespace Tarvo
{

class MapFile;

// The map rules as the editor reports them: checked again once the map has changed, a count and the first
// problems' messages wrapped to the side column, and the cells of every problem for the map view to mark.
class CheckReport final
{
public:
    void markStale() { m_stale = true; }

    // Whether the map changed since the last update.
    bool isStale() const { return m_stale; }

    // Checks the map again; returns the cells of every problem.
    std::vector<Fernhouse::Base::Point> update(const MapFile& map);

    // The check panel's lines from the last update.
    const std::vector<std::string>& getLines() const { return m_lines; }

private:
    std::vector<std::string> m_lines;
    bool m_stale = true;
};

} // namespace Tarvo
