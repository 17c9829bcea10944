#include "game/play/Apple.h"

#include "engine/base/GameTime.h"
#include "engine/base/Repaint.h"

#include <array>

namespace Tarvo
{

namespace
{

struct KindInfo
{
    std::uint32_t growth;
    std::int32_t points;
    std::int32_t lifetime; // ms of game time
    std::int32_t next;     // what the apple becomes when its lifetime is over
};

constexpr std::array<KindInfo, Apple::KindCount> Kinds{{
    {2, 10, 20000, Apple::Rotten}, // normal
    {3, 50, 15000, Apple::Rotten}, // super
    {1, -10, 10000, Apple::Gone},  // rotten
    {2, 20, 15000, Apple::Gone},   // turbo
    {2, -5, 20000, Apple::Gone},   // beer
    {7, 20, 15000, Apple::Gone},   // cake
}};

bool isKnown(std::int32_t kind)
{
    return kind >= 0 && kind < Apple::KindCount;
}

std::uint32_t now()
{
    return Fernhouse::Base::GameTime::getInstance()->getTime();
}

} // namespace

Apple::Apple() : m_since(now())
{
}

void Apple::draw()
{
}

void Apple::update()
{
    const std::uint32_t time = now();
    // Signed, so that an apple stamped just after a clock wrap does not count as ancient.
    const auto age = static_cast<std::int32_t>(time - m_since);
    if (age > getLifetime(m_kind))
    {
        setKind(isKnown(m_kind) ? Kinds[static_cast<std::size_t>(m_kind)].next : Gone);
        m_since = time;
    }
}

void Apple::setKind(std::int32_t kind)
{
    if (kind != m_kind)
    {
        m_kind = kind;
        Fernhouse::Base::Repaint::request();
    }
}

void Apple::setCell(const Fernhouse::Base::Point& cell)
{
    if (!(cell == m_cell))
    {
        m_cell = cell;
        Fernhouse::Base::Repaint::request();
    }
}

bool Apple::collidesWith(Fernhouse::Base::Sprite*) const
{
    return false;
}

std::uint32_t Apple::getGrowth(std::int32_t kind)
{
    return isKnown(kind) ? Kinds[static_cast<std::size_t>(kind)].growth : 0;
}

std::int32_t Apple::getPoints(std::int32_t kind)
{
    return isKnown(kind) ? Kinds[static_cast<std::size_t>(kind)].points : 0;
}

std::int32_t Apple::getLifetime(std::int32_t kind)
{
    return isKnown(kind) ? Kinds[static_cast<std::size_t>(kind)].lifetime : Kinds[Rotten].lifetime;
}

} // namespace Tarvo
