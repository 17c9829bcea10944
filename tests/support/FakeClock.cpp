#include "tests/support/FakeClock.h"

#include "engine/base/GameTime.h"

namespace TestSupport
{

FakeClock::FakeClock(std::uint32_t start)
{
    s_now = start;
    Fernhouse::Base::GameTime::setTickSource(&FakeClock::ticks);
}

FakeClock::~FakeClock()
{
    Fernhouse::Base::GameTime::setTickSource(nullptr);
}

} // namespace TestSupport
