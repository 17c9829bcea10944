#pragma once

#include <cstdint>

namespace TarvoBench
{

// The tick source of the benchmark: stepped by hand while worlds are built, then running with real time
// and continuing from where it stood, so that no worm sees the game clock jump.
class BenchClock final
{
public:
    // Installs itself as GameTime's tick source for its lifetime.
    BenchClock();
    BenchClock(const BenchClock&) = delete;
    BenchClock& operator=(const BenchClock&) = delete;
    ~BenchClock();

    // Stops following real time; later ticks move only through advance.
    void useManualTime();
    // Follows real time from the current value on.
    void useRealTime();
    // Milliseconds; only while manual.
    void advance(std::uint32_t milliseconds);

private:
    static std::uint32_t ticks();

    static bool s_real;
    static std::uint32_t s_manual;
    // Added to SDL's counter while real, so that switching keeps the value continuous.
    static std::uint32_t s_shift;
};

} // namespace TarvoBench
