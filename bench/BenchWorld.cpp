#include "bench/BenchWorld.h"

#include "engine/base/GameTime.h"
#include "engine/io/KeySet.h"
#include "engine/io/KeyboardControl.h"

#include "game/ai/AIControl.h"
#include "game/ai/AIFile.h"
#include "game/play/ApplePainter.h"
#include "game/play/GameEngine.h"
#include "game/play/GameType.h"
#include "game/play/MapFile.h"
#include "game/play/WormSprite.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "bench/BenchClock.h"
#include "bench/StagedControl.h"

namespace TarvoBench
{

namespace
{

using Fernhouse::Base::Point;
using Tarvo::WormSprite;

constexpr std::int32_t GroundTile = 16;
constexpr std::int32_t WallTile = 144;
constexpr std::int32_t AreaColumns = BenchWorld::MapSide / BenchWorld::AreaWidth;
// The serpentine runs from the area's second row to its second-last one.
constexpr std::int32_t FirstRow = 1;
constexpr std::int32_t LastRow = BenchWorld::AreaHeight - 2;
// A new worm has two cells of growth pending already.
constexpr std::uint32_t PendingAtStart = 3;
// Bounds the build in case a worm cannot step.
constexpr int MaxBuildSteps = 400;
constexpr int HumanLookahead = 12;

constexpr std::array<Point, 4> Offsets = {Point(1, 0), Point(-1, 0), Point(0, -1), Point(0, 1)};
constexpr std::array<std::uint32_t, 4> LeftOf = {WormSprite::Up, WormSprite::Down, WormSprite::Left,
                                                 WormSprite::Right};
constexpr std::array<std::uint32_t, 4> RightOf = {WormSprite::Down, WormSprite::Up, WormSprite::Right,
                                                  WormSprite::Left};

Point areaOf(std::size_t index)
{
    const auto k = static_cast<std::int32_t>(index);
    return Point(k % AreaColumns * BenchWorld::AreaWidth, k / AreaColumns * BenchWorld::AreaHeight);
}

Fernhouse::IO::KeySet humanKeys(std::size_t human)
{
    Fernhouse::IO::KeySet keys;
    keys.left = human == 0 ? SDLK_LEFT : SDLK_a;
    keys.right = human == 0 ? SDLK_RIGHT : SDLK_d;
    keys.up = human == 0 ? SDLK_UP : SDLK_w;
    keys.down = human == 0 ? SDLK_DOWN : SDLK_s;
    return keys;
}

} // namespace

namespace
{

constexpr unsigned GroundLayer = 0;
constexpr unsigned WallLayer = 1;
constexpr unsigned StartLayer = 2;

Tarvo::MapFile walledMap(const std::string& tileset, std::int32_t side)
{
    Tarvo::MapFile map(3, side, side);
    map.setName("Benchmark");
    map.setGraphicsFileName(tileset);
    for (std::int32_t y = 0; y < side; ++y)
    {
        for (std::int32_t x = 0; x < side; ++x)
        {
            map.setTile(GroundLayer, x, y, GroundTile);
            if (x == 0 || y == 0 || x == side - 1 || y == side - 1)
            {
                map.setTile(WallLayer, x, y, WallTile);
            }
        }
    }
    return map;
}

} // namespace

void BenchWorld::writeMap(const std::string& path, const std::string& tileset)
{
    Tarvo::MapFile map = walledMap(tileset, MapSide);
    for (std::size_t k = 0; k < WormCount; ++k)
    {
        const Point area = areaOf(k);
        map.setTile(StartLayer, area.x + 1, area.y + FirstRow, static_cast<std::int32_t>(k + 1));
    }
    map.save(path);
}

void BenchWorld::writeOpenMap(const std::string& path, const std::string& tileset, std::int32_t side)
{
    Tarvo::MapFile map = walledMap(tileset, side);
    map.setTile(StartLayer, side / 2, side / 2, 1);
    map.save(path);
}

std::uint32_t BenchWorld::serpentine(const Point& area, const Point& head)
{
    // Even columns run down, odd ones up, each joined to the next at its end.
    const std::int32_t column = head.x - (area.x + 1);
    const std::int32_t row = head.y - area.y;
    if (column % 2 == 0)
    {
        return row < LastRow ? WormSprite::Down : WormSprite::Right;
    }
    return row > FirstRow ? WormSprite::Up : WormSprite::Right;
}

std::uint32_t BenchWorld::directionBits(std::uint32_t direction)
{
    constexpr std::array<std::uint32_t, 4> Bits = {
        Fernhouse::IO::Control::RightBit, Fernhouse::IO::Control::LeftBit, Fernhouse::IO::Control::UpBit,
        Fernhouse::IO::Control::DownBit};
    return Bits[direction];
}

BenchWorld::BenchWorld(const std::string& mapPath, Fernhouse::Sound::SoundManager* soundManager,
                       BenchClock& clock, std::size_t humans, const std::vector<std::string>& aiNames,
                       std::size_t worms, bool layOut)
    : m_engine(new Tarvo::GameEngine(mapPath, soundManager)),
      m_humans(humans),
      m_lastHeads(humans, Point(-1, -1))
{
    m_engine->setGame(Tarvo::GAME_NONE, 0, 0);
    for (std::size_t human = 0; human < humans; ++human)
    {
        auto* keyboard = new Fernhouse::IO::KeyboardControl(humanKeys(human));
        m_engine->addPlayer(human == 0 ? "one" : "two", keyboard, "tarvo", WormSprite::ControlAbsolute);
    }
    const std::size_t wormCount = std::min<std::size_t>(worms, m_engine->getStartPointCount());
    for (std::size_t k = humans; k < wormCount; ++k)
    {
        const std::string& name = aiNames[k % aiNames.size()];
        auto* control = new StagedControl(new Tarvo::AIControl(name, m_engine), areaOf(k));
        const std::string skin = control->getAI()->getAIFile().getSkin();
        m_engine->addPlayer(name, control, skin, WormSprite::ControlAbsolute);
        control->link(m_engine->getWorms().back());
        m_computers.push_back(control);
    }
    for (WormSprite* worm : m_engine->getWorms())
    {
        worm->grow(layOut ? WormLength - PendingAtStart : 0);
    }

    // No apples while the worms are laid out: all-zero weights make every spawn vanish unseen.
    m_engine->start(std::string());
    if (!layOut)
    {
        clock.advance(Tarvo::GameEngine::StartDelay + 1);
        step(clock);
        for (StagedControl* control : m_computers)
        {
            control->release();
        }
        return;
    }
    Tarvo::ApplePainter& apples = *m_engine->getApplePainter();
    apples.setWeights({0, 0, 0, 0, 0, 0});
    clock.advance(Tarvo::GameEngine::StartDelay + 1);
    step(clock);

    for (int built = 0; built < MaxBuildSteps; ++built)
    {
        bool done = true;
        for (const WormSprite* worm : m_engine->getWorms())
        {
            done = done && worm->getLength() >= WormLength;
        }
        if (done)
        {
            break;
        }
        for (std::size_t human = 0; human < m_humans; ++human)
        {
            const WormSprite::Segment& head = m_engine->getWorms()[human]->getHead();
            pressFor(human, serpentine(areaOf(human), Point(head.x, head.y)));
        }
        step(clock);
    }
    for (const WormSprite* worm : m_engine->getWorms())
    {
        if (worm->isDead() || worm->getLength() != WormLength)
        {
            throw std::runtime_error("the worm " + worm->getName() + " was not laid out");
        }
    }

    apples.setWeights(Tarvo::ApplePainter::DefaultWeights);
    while (apples.getApples().size() < AppleCount)
    {
        apples.spawnApple();
    }
    for (StagedControl* control : m_computers)
    {
        control->release();
    }
}

BenchWorld::~BenchWorld()
{
    delete m_engine;
}

void BenchWorld::steerHumans()
{
    for (std::size_t human = 0; human < m_humans; ++human)
    {
        const WormSprite* worm = m_engine->getWorms()[human];
        const Point head(worm->getHead().x, worm->getHead().y);
        if (worm->isDead() || head == m_lastHeads[human])
        {
            continue;
        }
        m_lastHeads[human] = head;
        const std::uint32_t straight = worm->getDirection();
        std::uint32_t best = straight;
        int bestRun = -1;
        for (const std::uint32_t direction : {straight, LeftOf[straight], RightOf[straight]})
        {
            int run = 0;
            Point cell(head.x + Offsets[direction].x, head.y + Offsets[direction].y);
            while (run < HumanLookahead && m_engine->isFree(cell, false))
            {
                ++run;
                cell.x += Offsets[direction].x;
                cell.y += Offsets[direction].y;
            }
            if (run > bestRun)
            {
                best = direction;
                bestRun = run;
            }
        }
        if (best != straight)
        {
            pressFor(human, best);
        }
    }
}

bool BenchWorld::isLive() const
{
    return m_engine->getEndTime() == 0 && !m_engine->isFinished();
}

std::size_t BenchWorld::countLiving() const
{
    std::size_t living = 0;
    for (const WormSprite* worm : m_engine->getWorms())
    {
        living += worm->isDead() ? 0 : 1;
    }
    return living;
}

void BenchWorld::step(BenchClock& clock)
{
    clock.advance(StepMs);
    Fernhouse::Base::GameTime::getInstance()->update();
    m_engine->update();
}

void BenchWorld::pressFor(std::size_t human, std::uint32_t direction)
{
    const Fernhouse::IO::KeySet keys = humanKeys(human);
    const std::array<SDLKey, 4> byDirection = {keys.right, keys.left, keys.up, keys.down};
    m_engine->getWorms()[human]->getControl()->keyDown(byDirection[direction], false, false, false);
}

} // namespace TarvoBench
