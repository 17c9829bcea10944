#include "game/ai/AIControl.h"

#include "engine/base/Point.h"
#include "engine/base/Random.h"

#include "game/ai/AIFile.h"
#include "game/ai/AIStateEvade.h"
#include "game/ai/AIStateGetApple.h"
#include "game/ai/AIStateIdle.h"
#include "game/play/Apple.h"
#include "game/play/ApplePainter.h"
#include "game/play/GameEngine.h"
#include "game/play/MapFile.h"
#include "game/play/WormSprite.h"

#include <array>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace Tarvo
{

namespace
{

using Fernhouse::Base::Point;
using Fernhouse::IO::Control;

static_assert(AIControl::Left == static_cast<int>(Control::LeftBit) &&
                  AIControl::Right == static_cast<int>(Control::RightBit) &&
                  AIControl::Up == static_cast<int>(Control::UpBit) &&
                  AIControl::Down == static_cast<int>(Control::DownBit),
              "the leaves answer the bits every control answers");

// The scans count the neighbour itself, so 1 means it is blocked.
constexpr int BlockedNeighbour = 1;
constexpr double Percent = 100.0;
// An apple's points count a tenth as much as one cell of distance.
constexpr std::int32_t PointsPerCell = 10;

// Indexed by the worm's own direction: right, left, up, down.
constexpr std::array<int, 4> HeadingBits = {AIControl::Right, AIControl::Left, AIControl::Up,
                                            AIControl::Down};
static_assert(WormSprite::Right == 0 && WormSprite::Left == 1 && WormSprite::Up == 2 && WormSprite::Down == 3,
              "HeadingBits follows the worm's directions");

std::int64_t manhattan(std::int32_t x, std::int32_t y, int headX, int headY)
{
    return std::llabs(std::int64_t{x} - headX) + std::llabs(std::int64_t{y} - headY);
}

// Before the round starts there is no apple painter, and so no apple.
const std::vector<Apple*>& applesOf(const GameEngine& engine)
{
    static const std::vector<Apple*> none;
    const ApplePainter* painter = engine.getApplePainter();
    return painter != nullptr ? painter->getApples() : none;
}

} // namespace

AIControl::AIControl(const std::string& aiName, GameEngine* engine)
    : StateMachine(nullptr),
      m_aiFile(new AIFile(aiName)),
      m_gameEngine(engine)
{
    enter();
}

AIControl::~AIControl()
{
    delete m_aiFile;
}

void AIControl::enter()
{
    addState(new AIStateIdle(this), true);
    addState(new AIStateGetApple(this), false);
    addState(new AIStateEvade(this), false);
}

void AIControl::setWorm(WormSprite* worm)
{
    m_worm = worm;
    // Until a selection sets a target, an eat mission whose rolls all failed steers towards this cell.
    m_targetX = worm->getHead().x;
    m_targetY = worm->getHead().y;
}

std::uint32_t AIControl::getDirection()
{
    const WormSprite::Segment& head = m_worm->getHead();
    m_headX = head.x;
    m_headY = head.y;
    m_heading = HeadingBits[m_worm->getDirection()];

    if (!applesOf(*m_gameEngine).empty())
    {
        m_hasTarget = true;
        selectTarget();
    }
    else
    {
        // The last target stays stored but is not pursued.
        m_hasTarget = false;
    }

    m_freeLeft = scan(-1, 0);
    m_freeRight = scan(1, 0);
    m_freeUp = scan(0, -1);
    m_freeDown = scan(0, 1);

    const std::uint32_t direction = static_cast<std::uint32_t>(StateMachine::update());
    setCommand(direction);
    return direction;
}

std::uint32_t AIControl::getAction1()
{
    return getCommand() & Action1Mask;
}

std::uint32_t AIControl::getAction2()
{
    return getCommand() & Action2Mask;
}

std::uint32_t AIControl::getCommands()
{
    getDirection();
    getAction1();
    getAction2();
    return getCommand();
}

int AIControl::chooseLeafState() const
{
    int ahead = NotLooked;
    switch (m_heading)
    {
        case Left:
            ahead = m_freeLeft;
            break;
        case Right:
            ahead = m_freeRight;
            break;
        case Up:
            ahead = m_freeUp;
            break;
        case Down:
            ahead = m_freeDown;
            break;
        default:
            break;
    }
    if (ahead == BlockedNeighbour)
    {
        return EvadeState;
    }
    return m_hasTarget ? GetAppleState : IdleState;
}

bool AIControl::roll() const
{
    const int r = Fernhouse::Base::random();
    const auto percentage =
        static_cast<std::uint32_t>(static_cast<double>(r) / Fernhouse::Base::RandomMax * Percent);
    return m_aiFile->getSkill() > percentage;
}

void AIControl::selectTarget()
{
    switch (m_aiFile->getMission())
    {
        case AIFile::Eat:
            selectApple();
            break;
        case AIFile::Kill:
            selectHuman();
            break;
        case AIFile::Survive:
            m_hasTarget = false;
            break;
    }
}

void AIControl::selectApple()
{
    const MapFile& map = *m_gameEngine->getMap();
    // 64-bit, so that neither a huge map nor a distant apple can overflow.
    std::int64_t best = std::int64_t{map.getWidth()} * map.getHeight();
    for (const Apple* apple : applesOf(*m_gameEngine))
    {
        const std::int32_t points = Apple::getPoints(apple->getKind());
        // Bad apples are never wanted and cost no roll.
        if (points < 0 || !roll())
        {
            continue;
        }
        const Point& cell = apple->getCell();
        const std::int64_t score = manhattan(cell.x, cell.y, m_headX, m_headY) - points / PointsPerCell;
        // Strictly smaller, so the earlier of two equal apples stays.
        if (score < best)
        {
            best = score;
            m_targetX = cell.x;
            m_targetY = cell.y;
        }
    }
    const std::uint32_t reach = m_aiFile->getReach();
    if (reach != 0 && best > std::int64_t{reach})
    {
        m_hasTarget = false;
    }
}

void AIControl::selectHuman()
{
    m_hasTarget = false;
    const MapFile& map = *m_gameEngine->getMap();
    std::int64_t best = std::int64_t{map.getWidth()} * map.getHeight();
    // A roll is drawn only for a human that is there and alive.
    const WormSprite* first = m_gameEngine->getPlayer1();
    if (first != nullptr && !first->isDead() && roll())
    {
        const WormSprite::Segment& head = first->getHead();
        m_hasTarget = true;
        m_targetX = head.x;
        m_targetY = head.y;
        best = manhattan(head.x, head.y, m_headX, m_headY);
    }
    const WormSprite* second = m_gameEngine->getPlayer2();
    if (second != nullptr && !second->isDead() && roll())
    {
        const WormSprite::Segment& head = second->getHead();
        if (manhattan(head.x, head.y, m_headX, m_headY) < best)
        {
            m_hasTarget = true;
            m_targetX = head.x;
            m_targetY = head.y;
        }
    }
}

int AIControl::scan(int dx, int dy) const
{
    if (!roll())
    {
        return NotLooked;
    }
    const bool applesBlock = m_aiFile->getMission() == AIFile::Survive;
    // Cells off the map are blocked, so every scan ends at the border at the latest.
    int distance = BlockedNeighbour;
    Point cell(m_headX + dx, m_headY + dy);
    while (m_gameEngine->isFree(cell, applesBlock))
    {
        ++distance;
        cell.x += dx;
        cell.y += dy;
    }
    return distance;
}

} // namespace Tarvo
