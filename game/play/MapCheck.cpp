#include "game/play/MapCheck.h"

#include "game/play/GameEngine.h"
#include "game/play/MapFile.h"
#include "game/play/WormSprite.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <deque>
#include <map>

namespace Tarvo
{

namespace
{

using Fernhouse::Base::Point;

std::string cellText(const Point& cell)
{
    return "(" + std::to_string(cell.x) + ", " + std::to_string(cell.y) + ")";
}

std::string secondsText()
{
    return std::to_string(static_cast<int>(MapCheck::FairSeconds)) + " seconds";
}

// The cells a worm takes going straight down from its start in the fair time, the start included.
std::vector<Point> runOf(const Point& start, float speed)
{
    std::vector<Point> cells;
    for (std::int32_t step = 0; step <= MapCheck::fairRun(speed); ++step)
    {
        cells.emplace_back(start.x, start.y + step);
    }
    return cells;
}

} // namespace

MapCheck::MapCheck(const MapFile& map) : m_map(map)
{
}

std::int32_t MapCheck::fairRun(float speed)
{
    return static_cast<std::int32_t>(std::floor(speed * FairSeconds));
}

std::vector<std::pair<std::int32_t, Point>> MapCheck::startPoints() const
{
    std::map<std::int32_t, Point> starts;
    for (std::int32_t x = 0; x < m_map.getWidth(); ++x)
    {
        for (std::int32_t y = 0; y < m_map.getHeight(); ++y)
        {
            const std::int32_t value = m_map.getTile(GameEngine::StartLayer, x, y);
            if (value >= 1 && static_cast<std::size_t>(value) <= GameEngine::MaxStartPoints)
            {
                starts[value] = Point(x, y);
            }
        }
    }
    return {starts.begin(), starts.end()};
}

bool MapCheck::isWall(std::int32_t x, std::int32_t y) const
{
    return x < 0 || y < 0 || x >= m_map.getWidth() || y >= m_map.getHeight() ||
           m_map.getTile(GameEngine::WallLayer, x, y) != MapFile::EmptyCell;
}

std::vector<MapCheck::Problem> MapCheck::check() const
{
    std::vector<Worm> onePlayer;
    std::vector<Worm> twoPlayers;
    for (const auto& start : startPoints())
    {
        onePlayer.push_back({start.first, WormSprite::BaseSpeed, start.first == 1});
        // Start point 1 was measured against every other already.
        if (start.first != 1)
        {
            twoPlayers.push_back({start.first, WormSprite::BaseSpeed, start.first <= HumanStartPoints});
        }
    }
    std::vector<Problem> problems = check(onePlayer);
    checkDistances(twoPlayers, problems);
    return problems;
}

std::vector<MapCheck::Problem> MapCheck::check(const std::vector<Worm>& worms) const
{
    std::vector<Problem> problems;
    checkBorder(problems);
    checkNumbering(problems);
    checkRuns(worms, problems);
    checkDistances(worms, problems);
    checkReachable(problems);
    return problems;
}

void MapCheck::checkBorder(std::vector<Problem>& problems) const
{
    // A head that left the grid would be off the map.
    std::vector<Point> open;
    for (std::int32_t y = 0; y < m_map.getHeight(); ++y)
    {
        for (std::int32_t x = 0; x < m_map.getWidth(); ++x)
        {
            const bool border = x == 0 || y == 0 || x == m_map.getWidth() - 1 || y == m_map.getHeight() - 1;
            if (border && !isWall(x, y))
            {
                open.emplace_back(x, y);
            }
        }
    }
    if (!open.empty())
    {
        const std::string message =
            "the border is open at " + cellText(open.front()) +
            (open.size() > 1 ? " and " + std::to_string(open.size() - 1) + " more cells" : "");
        problems.push_back({OpenBorder, GameEngine::WallLayer, open, message});
    }
}

void MapCheck::checkNumbering(std::vector<Problem>& problems) const
{
    std::map<std::int32_t, std::vector<Point>> cells;
    for (std::int32_t y = 0; y < m_map.getHeight(); ++y)
    {
        for (std::int32_t x = 0; x < m_map.getWidth(); ++x)
        {
            const std::int32_t value = m_map.getTile(GameEngine::StartLayer, x, y);
            if (value >= 1 && static_cast<std::size_t>(value) <= GameEngine::MaxStartPoints)
            {
                cells[value].emplace_back(x, y);
            }
        }
    }
    const auto count = static_cast<std::int32_t>(cells.size());
    if (count < MinStartPoints)
    {
        std::vector<Point> found;
        for (const auto& entry : cells)
        {
            found.push_back(entry.second.front());
        }
        problems.push_back({StartPoints, GameEngine::StartLayer, found,
                            std::to_string(count) + (count == 1 ? " start point" : " start points") +
                                "; a round needs at least " + std::to_string(MinStartPoints)});
    }
    for (const auto& [number, at] : cells)
    {
        if (at.size() > 1)
        {
            problems.push_back({StartPoints, GameEngine::StartLayer, at,
                                "start point " + std::to_string(number) + " is given " +
                                    std::to_string(at.size()) + " times, again at " + cellText(at[1])});
        }
        if (isWall(at.front().x, at.front().y))
        {
            problems.push_back({StartOnWall,
                                GameEngine::StartLayer,
                                {at.front()},
                                "start point " + std::to_string(number) + " lies on a wall"});
        }
    }
    // The game takes start points by number, so a gap leaves a worm at the corner of the map.
    if (!cells.empty() && cells.rbegin()->first != count)
    {
        std::int32_t missing = 1;
        while (cells.count(missing) != 0)
        {
            ++missing;
        }
        problems.push_back({StartPoints,
                            GameEngine::StartLayer,
                            {cells.upper_bound(missing)->second.front()},
                            "start point " + std::to_string(missing) + " is missing before start point " +
                                std::to_string(cells.upper_bound(missing)->first)});
    }
}

void MapCheck::checkRuns(const std::vector<Worm>& worms, std::vector<Problem>& problems) const
{
    const auto starts = startPoints();
    std::vector<std::pair<const Worm*, std::vector<Point>>> runs;
    for (const Worm& worm : worms)
    {
        const auto start = std::find_if(starts.begin(), starts.end(), [&worm](const auto& entry) {
            return entry.first == worm.startPoint;
        });
        if (start == starts.end() || isWall(start->second.x, start->second.y))
        {
            continue;
        }
        const std::vector<Point> run = runOf(start->second, worm.speed);
        const auto wall =
            std::find_if(run.begin(), run.end(), [this](const Point& c) { return isWall(c.x, c.y); });
        if (wall != run.end())
        {
            problems.push_back({BlockedStart,
                                GameEngine::WallLayer,
                                {*wall, start->second},
                                "the worm on start point " + std::to_string(worm.startPoint) +
                                    " runs into a wall at " + cellText(*wall) + " in its first " +
                                    secondsText()});
        }
        runs.emplace_back(&worm, std::vector<Point>(run.begin(), wall));
    }
    for (std::size_t a = 0; a < runs.size(); ++a)
    {
        for (std::size_t b = a + 1; b < runs.size(); ++b)
        {
            for (const Point& cell : runs[a].second)
            {
                if (std::find(runs[b].second.begin(), runs[b].second.end(), cell) != runs[b].second.end())
                {
                    problems.push_back({WormsMeet,
                                        GameEngine::StartLayer,
                                        {runs[a].second.front(), runs[b].second.front(), cell},
                                        "the worms on start points " +
                                            std::to_string(runs[a].first->startPoint) + " and " +
                                            std::to_string(runs[b].first->startPoint) + " meet at " +
                                            cellText(cell) + " in their first " + secondsText()});
                    break;
                }
            }
        }
    }
}

void MapCheck::checkDistances(const std::vector<Worm>& worms, std::vector<Problem>& problems) const
{
    const auto starts = startPoints();
    const auto cellOf = [&starts](std::int32_t number) {
        const auto found = std::find_if(starts.begin(), starts.end(),
                                        [number](const auto& entry) { return entry.first == number; });
        return found == starts.end() ? nullptr : &found->second;
    };
    for (const Worm& human : worms)
    {
        const Point* humanCell = cellOf(human.startPoint);
        if (!human.human || humanCell == nullptr)
        {
            continue;
        }
        for (const Worm& computer : worms)
        {
            const Point* computerCell = cellOf(computer.startPoint);
            if (computer.human || computerCell == nullptr)
            {
                continue;
            }
            const std::int32_t distance =
                std::max(std::abs(computerCell->x - humanCell->x), std::abs(computerCell->y - humanCell->y));
            if (distance <= ComputerDistance)
            {
                problems.push_back({ComputerTooClose,
                                    GameEngine::StartLayer,
                                    {*computerCell, *humanCell},
                                    "the computer worm on start point " +
                                        std::to_string(computer.startPoint) + " starts " +
                                        std::to_string(distance) + " cells from the player on start point " +
                                        std::to_string(human.startPoint) + ", closer than " +
                                        std::to_string(ComputerDistance + 1)});
            }
        }
    }
}

void MapCheck::checkReachable(std::vector<Problem>& problems) const
{
    // Apples may appear on any free cell, so a worm must be able to get to each.
    const auto width = static_cast<std::size_t>(std::max(0, m_map.getWidth()));
    std::vector<bool> seen(width * static_cast<std::size_t>(std::max(0, m_map.getHeight())), false);
    const auto at = [width](const Point& c) {
        return static_cast<std::size_t>(c.y) * width + static_cast<std::size_t>(c.x);
    };
    std::deque<Point> queue;
    for (const auto& start : startPoints())
    {
        if (!isWall(start.second.x, start.second.y) && !seen[at(start.second)])
        {
            seen[at(start.second)] = true;
            queue.push_back(start.second);
        }
    }
    while (!queue.empty())
    {
        const Point cell = queue.front();
        queue.pop_front();
        for (const Point& next : {Point(cell.x + 1, cell.y), Point(cell.x - 1, cell.y),
                                  Point(cell.x, cell.y + 1), Point(cell.x, cell.y - 1)})
        {
            if (!isWall(next.x, next.y) && !seen[at(next)])
            {
                seen[at(next)] = true;
                queue.push_back(next);
            }
        }
    }
    std::vector<Point> unreachable;
    for (std::int32_t y = 0; y < m_map.getHeight(); ++y)
    {
        for (std::int32_t x = 0; x < m_map.getWidth(); ++x)
        {
            if (!isWall(x, y) && !seen[at(Point(x, y))])
            {
                unreachable.emplace_back(x, y);
            }
        }
    }
    if (!unreachable.empty())
    {
        const std::string message = std::to_string(unreachable.size()) +
                                    (unreachable.size() == 1 ? " free cell cannot" : " free cells cannot") +
                                    " be reached from any start point, the first at " +
                                    cellText(unreachable.front());
        problems.push_back({Unreachable, GameEngine::WallLayer, unreachable, message});
    }
}

} // namespace Tarvo
