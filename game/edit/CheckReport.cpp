#include "game/edit/CheckReport.h"

#include "engine/base/Layout.h"

#include "game/play/MapCheck.h"

#include <limits>

namespace Tarvo
{

namespace
{

// Characters of a check message per line in the side column.
constexpr std::size_t CheckColumns = 40;
constexpr std::size_t ShownProblems = 8;
constexpr std::size_t AllLines = std::numeric_limits<std::size_t>::max();
// A message's further lines stand in by one, so that each message's first line stands out.
constexpr const char* MessageIndent = " ";

bool fitsColumn(const std::string& line)
{
    return line.size() <= CheckColumns;
}

} // namespace

std::vector<Fernhouse::Base::Point> CheckReport::update(const MapFile& map)
{
    m_stale = false;
    const MapCheck check(map);
    const std::vector<MapCheck::Problem> problems = check.check();
    std::vector<Fernhouse::Base::Point> cells;
    m_lines.clear();
    m_lines.push_back(problems.empty() ? "Checks: all rules kept."
                                       : "Checks: " + std::to_string(problems.size()) + " problem(s)");
    for (std::size_t i = 0; i < problems.size(); ++i)
    {
        cells.insert(cells.end(), problems[i].cells.begin(), problems[i].cells.end());
        if (i < ShownProblems)
        {
            const std::vector<std::string> lines = Fernhouse::Base::Layout::wrapped(
                "- " + problems[i].message, fitsColumn, AllLines, MessageIndent);
            m_lines.insert(m_lines.end(), lines.begin(), lines.end());
        }
    }
    return cells;
}

} // namespace Tarvo
