#pragma once

#include <cstdint>

namespace Fernhouse::Base
{

// Holds the frame loop to the display's rate where the driver gives no vertical sync: after each frame it
// sleeps until the next 1/60 s deadline. A frame whose swap waited for vertical sync needs no sleep; a
// frame that was not swapped always does, or the loop would spin. Clock and sleep are injectable.
class FramePacer final
{
public:
    using Clock = std::uint64_t (*)(); // microseconds, monotonic
    using Sleep = void (*)(std::uint32_t milliseconds);

    static constexpr std::uint64_t PeriodUs = 16667;
    // A swapped frame closer than this to the previous one proves that swaps do not wait for the display.
    static constexpr std::uint64_t FastSwapUs = 12000;

    FramePacer(Clock clock, Sleep sleep);

    // What the driver reports after the window opens: whether it accepted a swap interval of 1.
    void setSwapInterval(int interval);

    bool hasVerticalSync() const { return m_verticalSync; }

    // Called once at the end of every frame; swapped tells whether the frame's buffers were swapped.
    void endFrame(bool swapped);

    // The real monotonic clock and SDL_Delay.
    static std::uint64_t realClock();
    static void realSleep(std::uint32_t milliseconds);

private:
    Clock m_clock;
    Sleep m_sleep;
    bool m_verticalSync = false;
    std::uint64_t m_deadline = 0;  // when the next frame may end; 0 = not yet set
    std::uint64_t m_lastSwap = 0;  // when the last swapped frame ended; 0 = none yet
    bool m_sleptSinceSwap = false; // a sleep since then would hide a fast swap
};

} // namespace Fernhouse::Base
