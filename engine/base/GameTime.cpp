#include "engine/base/GameTime.h"

#include <SDL/SDL.h>

namespace Fernhouse::Base
{

GameTime::TickSource GameTime::s_tickSource = nullptr;

GameTime::GameTime() = default;

void GameTime::start()
{
    if (m_stopped)
    {
        m_stopped = false;
        // Continue from the frozen value, so the stopped span is not counted.
        m_base = getTicks() - m_time;
    }
}

void GameTime::stop()
{
    m_stopped = true;
}

void GameTime::reset()
{
    m_time = 0;
    m_stopped = true;
}

void GameTime::update()
{
    if (!m_stopped)
    {
        m_time = getTicks() - m_base;
    }
}

std::uint32_t GameTime::getTicks()
{
    return s_tickSource != nullptr ? s_tickSource() : SDL_GetTicks();
}

void GameTime::setTickSource(TickSource source)
{
    s_tickSource = source;
}

} // namespace Fernhouse::Base
