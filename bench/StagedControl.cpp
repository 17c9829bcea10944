#include "bench/StagedControl.h"

#include "game/ai/AIControl.h"
#include "game/play/WormSprite.h"

#include "bench/BenchWorld.h"

namespace TarvoBench
{

StagedControl::StagedControl(Tarvo::AIControl* ai, const Fernhouse::Base::Point& region)
    : m_ai(ai),
      m_region(region)
{
}

StagedControl::~StagedControl()
{
    delete m_ai;
}

void StagedControl::link(Tarvo::WormSprite* worm)
{
    m_worm = worm;
    m_ai->setWorm(worm);
}

std::uint32_t StagedControl::getDirection()
{
    if (!m_planned)
    {
        return m_ai->getDirection();
    }
    const Tarvo::WormSprite::Segment& head = m_worm->getHead();
    return BenchWorld::directionBits(
        BenchWorld::serpentine(m_region, Fernhouse::Base::Point(head.x, head.y)));
}

} // namespace TarvoBench
