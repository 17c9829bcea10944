#pragma once

#include "engine/base/Point.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Tarvo
{

class MapFile;

// The rules a playable map keeps: walled in, enough start points numbered without gaps, every free cell
// reachable, and fair starts (no worm that goes straight from its start meets a wall or another worm in its
// first seconds, no computer worm starts next to a human). Problems come back with the cells they concern,
// so that a tool can print them and an editor can mark them.
class MapCheck final
{
public:
    enum Rule
    {
        OpenBorder,
        StartPoints,
        StartOnWall,
        BlockedStart,
        WormsMeet,
        ComputerTooClose,
        Unreachable
    };

    struct Problem
    {
        Rule rule;
        // The map layer the problem shows in (1 walls, 2 start points).
        unsigned layer;
        // The cells concerned; the first is the one to point at.
        std::vector<Fernhouse::Base::Point> cells;
        std::string message;
    };

    // One worm of a round: the start point it takes (from 1), its speed in cells per second, and whether a
    // person steers it.
    struct Worm
    {
        std::int32_t startPoint;
        float speed;
        bool human;
    };

    static constexpr std::int32_t MinStartPoints = 2;
    // A two-player game puts its people on start points 1 and 2; a one-player game fills 2 with a computer.
    static constexpr std::int32_t HumanStartPoints = 2;
    static constexpr float FairSeconds = 3.0f;
    // Closer than this (in cells, either axis) a computer worm may meet a person's worm at once.
    static constexpr std::int32_t ComputerDistance = 8;

    // The map must outlive the check.
    explicit MapCheck(const MapFile& map);

    // The rules for the worms given; start points without a worm are left out of the fairness rules.
    std::vector<Problem> check(const std::vector<Worm>& worms) const;
    // Every start point filled at the normal worm speed, 1 and 2 steered by people: the fill of both the
    // one-player game (whose computer worms are not faster) and the two-player game.
    std::vector<Problem> check() const;

    // Start point number to cell, in number order, as the game collects them; numbers missing in between
    // are left out.
    std::vector<std::pair<std::int32_t, Fernhouse::Base::Point>> startPoints() const;
    // How many cells a worm enters going straight in the fair time.
    static std::int32_t fairRun(float speed);

private:
    bool isWall(std::int32_t x, std::int32_t y) const;
    void checkBorder(std::vector<Problem>& problems) const;
    void checkNumbering(std::vector<Problem>& problems) const;
    void checkRuns(const std::vector<Worm>& worms, std::vector<Problem>& problems) const;
    void checkDistances(const std::vector<Worm>& worms, std::vector<Problem>& problems) const;
    void checkReachable(std::vector<Problem>& problems) const;

    const MapFile& m_map; // not owned
};

} // namespace Tarvo
