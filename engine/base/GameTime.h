#pragma once

#include "engine/base/Singleton.h"

#include <cstdint>

namespace Fernhouse::Base
{

// The game clock: milliseconds of game time that stand still while stopped. All arithmetic is unsigned
// 32-bit and wraps, like the SDL tick counter it follows.
class GameTime final : public Singleton<GameTime>
{
public:
    using TickSource = std::uint32_t (*)();

    GameTime();

    void start();
    void stop();
    void reset();
    void update();

    // Milliseconds of game time as of the last update.
    std::uint32_t getTime() const { return m_time; }

    bool isStopped() const { return m_stopped; }

    // The raw millisecond counter; stopping the clock does not affect it.
    static std::uint32_t getTicks();

    // Replaces SDL's millisecond counter for update and getTicks; null restores it. Tests drive time here.
    static void setTickSource(TickSource source);

private:
    std::uint32_t m_time = 0;
    bool m_stopped = true;
    std::uint32_t m_base = 0;

    static TickSource s_tickSource;
};

} // namespace Fernhouse::Base
