#include "game/play/WormSprite.h"

#include "engine/base/GameTime.h"
#include "engine/base/Rect.h"
#include "engine/base/Repaint.h"
#include "engine/graphics/Painter.h"
#include "engine/graphics/Texture.h"
#include "engine/io/Control.h"
#include "engine/io/KeyboardControl.h"
#include "engine/sound/SoundManager.h"

#include "game/ai/AIControl.h"
#include "game/ai/AIFile.h"
#include "game/play/OccupancyGrid.h"

#include <algorithm>
#include <iterator>

namespace Tarvo
{

namespace
{

using TexelMode = Fernhouse::Graphics::Painter::TexelMode;

using Fernhouse::IO::Control;

constexpr std::size_t DirectionCount = 4;
constexpr double Percent = 100.0;
constexpr float MillisecondsPerSecond = 1000.0f;
constexpr std::int32_t SheetColumns = 16;

// The skin sheet holds five tiles per direction of travel: head, straight body, two turns, tail.
constexpr std::int32_t TilesPerDirection = 5;
constexpr std::int32_t TailTileOffset = 4;
constexpr std::int32_t SkinTileCount = TilesPerDirection * static_cast<std::int32_t>(DirectionCount);

// Indexed by the worm's direction: Right, Left, Up, Down.
constexpr std::array<std::int32_t, DirectionCount> HeadTile = {5, 0, 10, 15};
constexpr std::array<Fernhouse::Base::Point, DirectionCount> StepOffset = {
    Fernhouse::Base::Point(1, 0), Fernhouse::Base::Point(-1, 0), Fernhouse::Base::Point(0, -1),
    Fernhouse::Base::Point(0, 1)};
// Turning left is counter-clockwise, turning right clockwise.
constexpr std::array<std::uint32_t, DirectionCount> LeftTurn = {WormSprite::Up, WormSprite::Down,
                                                                WormSprite::Left, WormSprite::Right};
constexpr std::array<std::uint32_t, DirectionCount> RightTurn = {WormSprite::Down, WormSprite::Up,
                                                                 WormSprite::Right, WormSprite::Left};

// The old head's tile once a new head lies in the direction of travel: a straight piece, or a turn from
// the old head's direction. Tiles that are no head stay.
std::int32_t bodyTile(std::uint32_t direction, std::int32_t headTile)
{
    // Rows: direction of travel; columns: the old head facing right, left, up, down.
    constexpr std::int32_t Keep = -1;
    constexpr std::array<std::array<std::int32_t, DirectionCount>, DirectionCount> Table = {{
        {6, Keep, 8, 7},    // now moving right
        {Keep, 1, 3, 2},    // now moving left
        {12, 13, 11, Keep}, // now moving up
        {17, 18, Keep, 16}, // now moving down
    }};
    for (std::size_t facing = 0; facing < DirectionCount; ++facing)
    {
        if (HeadTile[facing] == headTile)
        {
            const std::int32_t tile = Table[direction][facing];
            return tile == Keep ? headTile : tile;
        }
    }
    return headTile;
}

// The body tiles of each direction become its tail tile; heads and tails stay.
std::int32_t tailTile(std::int32_t tile)
{
    if (tile < 0 || tile >= SkinTileCount)
    {
        return tile;
    }
    const std::int32_t kind = tile % TilesPerDirection;
    if (kind == 0 || kind == TailTileOffset)
    {
        return tile;
    }
    return tile - kind + TailTileOffset;
}

// A drunk worm's steering is mirrored.
std::uint32_t reversed(std::uint32_t request)
{
    switch (request)
    {
        case Control::LeftBit:
            return Control::RightBit;
        case Control::RightBit:
            return Control::LeftBit;
        case Control::UpBit:
            return Control::DownBit;
        case Control::DownBit:
            return Control::UpBit;
        default:
            return request;
    }
}

std::uint32_t gameTime()
{
    Fernhouse::Base::GameTime* time = Fernhouse::Base::GameTime::getInstance();
    assert(time != nullptr && "worms need the game clock");
    return time->getTime();
}

} // namespace

WormSprite::WormSprite(Fernhouse::Sound::SoundManager* soundManager, const std::string& name,
                       Fernhouse::IO::Control* control, const Fernhouse::Graphics::Texture* skin,
                       const Fernhouse::Base::Point& start, std::uint32_t direction,
                       std::uint32_t controlMode, OccupancyGrid* occupancy)
    : m_soundManager(soundManager),
      m_name(name),
      m_control(control),
      m_skin(skin),
      m_direction(direction),
      m_controlMode(controlMode),
      m_occupancy(occupancy)
{
    assert(direction < DirectionCount && occupancy != nullptr);
    // One more than the longest worm: a step adds the new head before it drops the tail.
    m_body.reserve(MaxLength + 1);
    m_body.push_back(Segment{start.x, start.y, HeadTile[direction]});
    m_occupancy->add(start.x, start.y);
    setPosition(CellSize * start.x, CellSize * start.y);

    m_keyboardControlled = dynamic_cast<Fernhouse::IO::KeyboardControl*>(control) != nullptr;
    // A computer player's control links to its worm, whose speeds come from the AI file's percentage.
    if (auto* ai = dynamic_cast<AIControl*>(control))
    {
        ai->setWorm(this);
        m_baseSpeed = computerSpeed(ai->getAIFile().getSpeed());
        m_speed = m_baseSpeed;
        m_topSpeed = m_baseSpeed;
    }
}

float WormSprite::computerSpeed(std::uint32_t percent)
{
    return static_cast<float>(percent / Percent * BaseSpeed);
}

WormSprite::~WormSprite()
{
    for (const Segment& segment : m_body)
    {
        m_occupancy->remove(segment.x, segment.y);
    }
    delete m_control;
}

void WormSprite::update()
{
    if (m_state == StateDead)
    {
        return;
    }
    const std::uint32_t now = gameTime();
    if ((m_state == StateTurbo || m_state == StateDrunk) && m_effectEnd < now)
    {
        m_state = StateNormal;
        m_speed = m_baseSpeed;
    }
    if (m_lastTime == 0)
    {
        m_lastTime = now;
    }
    m_progress += static_cast<float>(now - m_lastTime) * m_speed / MillisecondsPerSecond;
    if (m_progress >= 1.0f)
    {
        step();
    }
    m_lastTime = now;
}

void WormSprite::step()
{
    if (m_keyboardControlled)
    {
        playSound("move");
    }
    // One cell per frame at most; the rest carries over to the next frame.
    m_progress -= 1.0f;

    // A worm without a control keeps going straight.
    std::uint32_t request = m_control != nullptr ? m_control->getDirection() : 0;
    if (m_state == StateDrunk)
    {
        request = reversed(request);
    }
    m_direction = steer(request);

    const Segment& oldHead = m_body.front();
    const Fernhouse::Base::Point offset = StepOffset[m_direction];
    const Segment head{oldHead.x + offset.x, oldHead.y + offset.y, HeadTile[m_direction]};
    m_body.front().tile = bodyTile(m_direction, oldHead.tile);
    m_body.insert(m_body.begin(), head);
    m_occupancy->add(head.x, head.y);
    setPosition(CellSize * head.x, CellSize * head.y);

    if (m_pendingGrowth > 0)
    {
        --m_pendingGrowth;
    }
    else
    {
        m_occupancy->remove(m_body.back().x, m_body.back().y);
        m_body.pop_back();
    }
    m_length = static_cast<std::uint32_t>(m_body.size());
    m_body.back().tile = tailTile(m_body.back().tile);

    Entity::update();
}

std::uint32_t WormSprite::steer(std::uint32_t request) const
{
    if (m_controlMode == ControlRelative)
    {
        switch (request)
        {
            case Control::LeftBit:
                return LeftTurn[m_direction];
            case Control::RightBit:
                return RightTurn[m_direction];
            default:
                return m_direction;
        }
    }
    // Absolute: never straight back onto the body.
    switch (request)
    {
        case Control::RightBit:
            return m_direction == Left ? m_direction : Right;
        case Control::LeftBit:
            return m_direction == Right ? m_direction : Left;
        case Control::UpBit:
            return m_direction == Down ? m_direction : Up;
        case Control::DownBit:
            return m_direction == Up ? m_direction : Down;
        default:
            return m_direction;
    }
}

void WormSprite::draw()
{
    Fernhouse::Graphics::Painter painter;
    if (m_state == StateDead)
    {
        painter.setColor(DeadTint);
    }
    if (m_skin != nullptr)
    {
        painter.bindTexture(m_skin);
        // A living worm's skin of opaque and see-through texels needs no blending: the same pixels, faster.
        const bool cutOut =
            m_state != StateDead && m_skin->isCutOut() &&
            Fernhouse::Graphics::Painter::getColor() == Fernhouse::Base::Color(255, 255, 255, 255);
        if (cutOut)
        {
            Fernhouse::Graphics::Painter::setTexelMode(TexelMode::CutOut);
        }
        const bool everywhere = m_drawArea.w == 0 || m_drawArea.h == 0;
        // Unsigned, so that cells left of or above the area fall outside too.
        const auto outside = [](std::int32_t cell, std::int32_t first, std::uint32_t length) {
            return static_cast<std::uint32_t>(cell - first) >= length;
        };
        // Tail first, so that the head lies on top.
        for (auto segment = m_body.rbegin(); segment != m_body.rend(); ++segment)
        {
            if (!everywhere && (outside(segment->x, m_drawArea.x, m_drawArea.w) ||
                                outside(segment->y, m_drawArea.y, m_drawArea.h)))
            {
                continue;
            }
            const Fernhouse::Base::Rect dst(CellSize * segment->x, CellSize * segment->y, CellSize, CellSize);
            const Fernhouse::Base::Rect src(CellSize * (segment->tile % SheetColumns),
                                            CellSize * (segment->tile / SheetColumns), CellSize, CellSize);
            painter.drawTexturedRect(dst, src);
        }
        if (cutOut)
        {
            Fernhouse::Graphics::Painter::setTexelMode(TexelMode::Blended);
        }
        painter.unbindTexture();
    }
    Entity::draw();
    painter.restoreColor();
}

bool WormSprite::collidesWith(Fernhouse::Base::Sprite* other) const
{
    if (other == nullptr || other->getType() != Type)
    {
        return false;
    }
    const auto* worm = dynamic_cast<const WormSprite*>(other);
    if (worm == nullptr)
    {
        return false;
    }
    const Segment& head = worm->getHead();
    // A worm's head always lies on its own head.
    const auto first = worm == this ? std::next(m_body.begin()) : m_body.begin();
    return std::any_of(first, m_body.end(),
                       [&](const Segment& segment) { return segment.x == head.x && segment.y == head.y; });
}

bool WormSprite::occupies(const Fernhouse::Base::Point& cell) const
{
    return std::any_of(m_body.begin(), m_body.end(),
                       [&](const Segment& segment) { return segment.x == cell.x && segment.y == cell.y; });
}

void WormSprite::grow(std::uint32_t cells)
{
    // In 64 bits, so that a huge request cannot wrap past the cap.
    const std::uint64_t wanted =
        std::uint64_t{m_length} + static_cast<std::uint64_t>(m_pendingGrowth) + std::uint64_t{cells};
    if (wanted > MaxLength)
    {
        m_pendingGrowth = static_cast<std::int32_t>(MaxLength - m_length);
    }
    else
    {
        m_pendingGrowth += static_cast<std::int32_t>(cells);
    }
}

void WormSprite::setState(std::uint32_t state)
{
    // A dead worm is drawn tinted.
    Fernhouse::Base::Repaint::request();
    switch (state)
    {
        case StateTurbo:
            // Each turbo apple adds to the speed it finds, drunk or not.
            m_speed += TurboBoost;
            m_effectEnd = gameTime() + TurboDuration;
            m_topSpeed = std::max(m_topSpeed, m_speed);
            break;
        case StateDrunk:
            m_speed = m_baseSpeed * DrunkFactor;
            m_effectEnd = gameTime() + DrunkDuration;
            break;
        case StateDead:
            playSound("die");
            break;
        case StateNormal:
            m_effectEnd = 0;
            m_speed = m_baseSpeed;
            break;
        default:
            assert(false && "no such worm state");
            break;
    }
    m_state = state;
}

WormSprite::Results WormSprite::getResults() const
{
    Results results;
    results.applesEaten = m_applesEaten;
    results.score = m_score;
    results.length = m_length;
    results.topSpeed = m_topSpeed;
    return results;
}

void WormSprite::playSound(const char* name)
{
    if (m_soundManager != nullptr)
    {
        m_soundManager->playSound(name);
    }
}

static_assert(sizeof(WormSprite::Results) == 9 * sizeof(std::uint32_t), "nine 32-bit words");

} // namespace Tarvo
