#include "bench/BenchClock.h"

#include "engine/base/GameTime.h"

#include <SDL/SDL.h>

#include <cassert>

namespace TarvoBench
{

namespace
{

// Far from 0, which a worm reads as "no time seen yet".
constexpr std::uint32_t FirstTick = 100000;

} // namespace

bool BenchClock::s_real = false;
std::uint32_t BenchClock::s_manual = FirstTick;
std::uint32_t BenchClock::s_shift = 0;

BenchClock::BenchClock()
{
    Fernhouse::Base::GameTime::setTickSource(&BenchClock::ticks);
}

BenchClock::~BenchClock()
{
    Fernhouse::Base::GameTime::setTickSource(nullptr);
}

void BenchClock::useManualTime()
{
    s_manual = ticks();
    s_real = false;
}

void BenchClock::useRealTime()
{
    s_shift = s_manual - SDL_GetTicks();
    s_real = true;
}

void BenchClock::advance(std::uint32_t milliseconds)
{
    assert(!s_real && "real time cannot be advanced by hand");
    s_manual += milliseconds;
}

std::uint32_t BenchClock::ticks()
{
    return s_real ? SDL_GetTicks() + s_shift : s_manual;
}

} // namespace TarvoBench
