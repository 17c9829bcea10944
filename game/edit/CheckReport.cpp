#include "game/edit/CheckReport.h"

#include "game/play/MapCheck.h"

namespace Tarvo
{

namespace
{

// Characters of a check message per line in the side column.
constexpr std::size_t CheckColumns = 40;
constexpr std::size_t ShownProblems = 8;

// Words to lines of at most width characters.
void wrapInto(const std::string& text, std::size_t width, std::vector<std::string>& lines)
{
    std::string line;
    std::size_t start = 0;
    while (start < text.size())
    {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos)
        {
            end = text.size();
        }
        const std::string word = text.substr(start, end - start);
        if (!line.empty() && line.size() + 1 + word.size() > width)
        {
            lines.push_back(line);
            line = " ";
        }
        line += (line.empty() || line == " " ? "" : " ") + word;
        start = end + 1;
    }
    if (!line.empty())
    {
        lines.push_back(line);
    }
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
            wrapInto("- " + problems[i].message, CheckColumns, m_lines);
        }
    }
    return cells;
}

} // namespace Tarvo
