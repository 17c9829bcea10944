#include "engine/base/FramePacer.h"

#include <SDL/SDL.h>

#include <chrono>

namespace Fernhouse::Base
{

namespace
{

constexpr std::uint64_t UsPerMs = 1000;

} // namespace

FramePacer::FramePacer(Clock clock, Sleep sleep) : m_clock(clock), m_sleep(sleep)
{
}

void FramePacer::setSwapInterval(int interval)
{
    m_verticalSync = interval >= 1;
}

void FramePacer::endFrame(bool swapped)
{
    const std::uint64_t now = m_clock();
    if (swapped && m_verticalSync)
    {
        // A swap that returns long before the display could have shown the frame did not wait for it.
        if (m_lastSwap != 0 && !m_sleptSinceSwap && now - m_lastSwap < FastSwapUs)
        {
            m_verticalSync = false;
        }
        m_lastSwap = now;
        m_sleptSinceSwap = false;
        if (m_verticalSync)
        {
            m_deadline = now + PeriodUs;
            return;
        }
    }
    if (m_deadline == 0 || now >= m_deadline + PeriodUs)
    {
        // The first frame, or one that fell a whole period behind: count afresh from now, owing nothing.
        m_deadline = now;
    }
    if (now < m_deadline)
    {
        // Whole milliseconds, rounded up, so the next frame never starts before its deadline.
        m_sleep(static_cast<std::uint32_t>((m_deadline - now + UsPerMs - 1) / UsPerMs));
        m_sleptSinceSwap = true;
    }
    m_deadline += PeriodUs;
}

std::uint64_t FramePacer::realClock()
{
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                          std::chrono::steady_clock::now().time_since_epoch())
                                          .count());
}

void FramePacer::realSleep(std::uint32_t milliseconds)
{
    SDL_Delay(milliseconds);
}

} // namespace Fernhouse::Base
