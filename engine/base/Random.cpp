#include "engine/base/Random.h"

#include <cstdint>

namespace Fernhouse::Base
{

namespace
{

// The classic linear congruential generator; its 15 high bits span exactly 0 to 32767.
constexpr std::uint32_t Multiplier = 214013u;
constexpr std::uint32_t Increment = 2531011u;
constexpr unsigned OutputShift = 16;
constexpr std::uint32_t InitialState = 1u;

std::uint32_t s_state = InitialState;

} // namespace

int random()
{
    s_state = s_state * Multiplier + Increment;
    return static_cast<int>((s_state >> OutputShift) & static_cast<std::uint32_t>(RandomMax));
}

void seedRandom(unsigned seed)
{
    s_state = seed;
}

} // namespace Fernhouse::Base
