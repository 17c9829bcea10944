#include "tests/game/play/RoundScript.h"

#include "engine/base/EventRouter.h"

#include "game/play/GameEngine.h"
#include "game/play/MapFile.h"
#include "game/play/WormSprite.h"

#include "tests/game/play/RoundFixture.h"

#include <array>
#include <cstdlib>
#include <fstream>
#include <random>

namespace RoundSupport
{

namespace
{

using Fernhouse::Base::Point;
using Tarvo::WormSprite;

// Indexed by the worm's directions: right, left, up, down.
constexpr std::array<Point, 4> Offsets = {Point(1, 0), Point(-1, 0), Point(0, -1), Point(0, 1)};
constexpr std::array<std::uint32_t, 4> LeftOf = {WormSprite::Up, WormSprite::Down, WormSprite::Left,
                                                 WormSprite::Right};
constexpr std::array<std::uint32_t, 4> RightOf = {WormSprite::Down, WormSprite::Up, WormSprite::Right,
                                                  WormSprite::Left};
constexpr int Lookahead = 12;
// Spacing of the start-point grid, in cells.
constexpr std::int32_t StartSpacingX = 7;
constexpr std::int32_t StartSpacingY = 6;

// Whether another living worm's head could enter the cell with its next step.
bool contested(const Tarvo::GameEngine& engine, const WormSprite* self, const Point& cell)
{
    for (const WormSprite* worm : engine.getWorms())
    {
        if (worm == self || worm->isDead())
        {
            continue;
        }
        const WormSprite::Segment& head = worm->getHead();
        if (std::abs(head.x - cell.x) + std::abs(head.y - cell.y) == 1)
        {
            return true;
        }
    }
    return false;
}

// Free cells ahead, counting as at most one when another head may take the first of them.
int freeRun(const Tarvo::GameEngine& engine, const WormSprite* self, const Point& head,
            std::uint32_t direction)
{
    int run = 0;
    const Point first(head.x + Offsets[direction].x, head.y + Offsets[direction].y);
    Point cell = first;
    while (run < Lookahead && engine.isFree(cell, false))
    {
        ++run;
        cell.x += Offsets[direction].x;
        cell.y += Offsets[direction].y;
    }
    return run > 1 && contested(engine, self, first) ? 1 : run;
}

} // namespace

ScriptedHuman::ScriptedHuman(const Fernhouse::IO::KeySet& keys, std::uint32_t variety)
    : m_keys(keys),
      m_variety(variety)
{
}

void ScriptedHuman::play(const Tarvo::GameEngine& engine, const Tarvo::WormSprite* worm,
                         Fernhouse::Base::EventRouter& router)
{
    if (worm == nullptr || worm->isDead())
    {
        return;
    }
    const Point head(worm->getHead().x, worm->getHead().y);
    // One decision per cell: two different presses before one step would merge into no request.
    if (head == m_lastHead)
    {
        return;
    }
    m_lastHead = head;

    const std::uint32_t straight = worm->getDirection();
    const std::uint32_t left = LeftOf[straight];
    const std::uint32_t right = RightOf[straight];
    const int straightRun = freeRun(engine, worm, head, straight);
    const int leftRun = freeRun(engine, worm, head, left);
    const int rightRun = freeRun(engine, worm, head, right);

    std::uint32_t choice = straight;
    int best = straightRun;
    const bool wantTurn = m_cellsToTurn == 0;
    if (wantTurn)
    {
        // The next turn comes after 4 to 15 cells.
        m_variety = m_variety * 1103515245u + 12345u;
        m_cellsToTurn = 4 + (m_variety >> 16) % 12;
        best = -1;
    }
    else
    {
        --m_cellsToTurn;
    }
    if (leftRun > best)
    {
        choice = left;
        best = leftRun;
    }
    if (rightRun > best)
    {
        choice = right;
        best = rightRun;
    }
    // A wanted turn is taken only into room; otherwise straight on wins.
    if (wantTurn && best < 3 && straightRun >= best)
    {
        choice = straight;
    }
    if (choice == straight)
    {
        return;
    }
    const std::array<SDLKey, 4> keys = {m_keys.right, m_keys.left, m_keys.up, m_keys.down};
    router.keyDown(keys[choice], false, false, false);
}

void writeCrowdedMap(const std::string& path, std::int32_t width, std::int32_t height, std::uint32_t seed,
                     std::int32_t obstacleCount)
{
    constexpr unsigned Ground = 0;
    constexpr unsigned Walls = 1;
    constexpr unsigned Starts = 2;
    Tarvo::MapFile map(3, width, height);
    map.setName("crowded");
    map.setGraphicsFileName("tiles.png");
    std::minstd_rand generator(seed);
    const auto pick = [&generator](std::int32_t from, std::int32_t to) {
        return std::uniform_int_distribution<std::int32_t>(from, to)(generator);
    };
    for (std::int32_t y = 0; y < height; ++y)
    {
        for (std::int32_t x = 0; x < width; ++x)
        {
            map.setTile(Ground, x, y, GroundTile);
            if (x == 0 || y == 0 || x == width - 1 || y == height - 1)
            {
                map.setTile(Walls, x, y, WallTile);
            }
        }
    }
    for (std::int32_t i = 0; i < obstacleCount; ++i)
    {
        const std::int32_t w = pick(1, 3);
        const std::int32_t h = pick(1, 3);
        const std::int32_t left = pick(1, width - 1 - w);
        const std::int32_t top = pick(1, height - 1 - h);
        for (std::int32_t y = top; y < top + h; ++y)
        {
            for (std::int32_t x = left; x < left + w; ++x)
            {
                map.setTile(Walls, x, y, WallTile);
            }
        }
    }
    // Start points on a grid, each with its own cell and the two below it cleared, since worms start
    // moving down.
    std::int32_t number = 1;
    for (std::int32_t y = 2; y + 3 < height; y += StartSpacingY)
    {
        for (std::int32_t x = 3; x + 2 < width; x += StartSpacingX)
        {
            for (std::int32_t dy = 0; dy < 3; ++dy)
            {
                map.setTile(Walls, x, y + dy, Tarvo::MapFile::EmptyCell);
            }
            map.setTile(Starts, x, y, number++);
        }
    }
    map.save(path);
}

const std::vector<Personality>& personalities()
{
    static const std::vector<Personality> all = {
        {"glutton", "eat", 0, 100, 100},  {"picky", "eat", 4, 120, 90},     {"dreamer", "eat", 20, 80, 30},
        {"blind", "eat", 0, 100, 0},      {"hunter", "kill", 0, 110, 85},   {"stalker", "kill", 0, 140, 60},
        {"coward", "survive", 0, 90, 95}, {"sleepy", "survive", 0, 50, 20}, {"racer", "eat", 15, 300, 100},
        {"crawler", "kill", 0, 30, 100},
    };
    return all;
}

void writePersonalities(const std::string& aiDirectory)
{
    for (const Personality& p : personalities())
    {
        std::ofstream(aiDirectory + "/" + p.name + ".ai") << FlatSkin << "\n"
                                                          << p.mission << "\n"
                                                          << p.reach << "\n"
                                                          << p.speed << "\n"
                                                          << p.skill << "\n";
    }
}

} // namespace RoundSupport
