#include "tests/support/FakeClock.h"

#include "engine/base/GameTime.h"

namespace TestSupport
{

std::uint32_t FakeClock::s_now = 0;

FakeClock::FakeClock(std::uint32_t start)
{
    s_now = start;
    Fernhouse::Base::GameTime::setTickSource(&FakeClock::ticks);
}

FakeClock::~FakeClock()
{
    Fernhouse::Base::GameTime::setTickSource(nullptr);
}

void FakeClock::set(std::uint32_t ticks)
{
    s_now = ticks;
}

void FakeClock::advance(std::uint32_t milliseconds)
{
    s_now += milliseconds;
}

std::uint32_t FakeClock::now() const
{
    return s_now;
}

std::uint32_t FakeClock::ticks()
{
    return s_now;
}

} // namespace TestSupport
