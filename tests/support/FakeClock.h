#pragma once

#include "engine/base/GameTime.h"

namespace TestSupport
{

// Drives GameTime's tick source while it lives; time moves only when a test says so.
class FakeClock final
{
public:
    explicit FakeClock(std::uint32_t start = 0)
    {
        s_now = start;
        Fernhouse::Base::GameTime::setTickSource(&ticks);
    }

    ~FakeClock() { Fernhouse::Base::GameTime::setTickSource(nullptr); }

    void set(std::uint32_t ticks) { s_now = ticks; }

    // Wraps like the real counter.
    void advance(std::uint32_t milliseconds) { s_now += milliseconds; }

    std::uint32_t now() const { return s_now; }

private:
    static std::uint32_t ticks() { return s_now; }

    static inline std::uint32_t s_now = 0;
};

} // namespace TestSupport
