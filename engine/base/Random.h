#pragma once

namespace Fernhouse::Base
{

// The largest value random() returns.
constexpr int RandomMax = 32767;

// The process-wide random sequence, 0 to RandomMax. Apple placement and the computer players draw from
// the same sequence, so the order of draws is part of the game's behaviour. The game never seeds it:
// every run replays the same sequence, independent of the C library's rand. Call it qualified:
// POSIX declares a global random() of its own.
int random();

// Restarts the sequence from the given state (the sequence starts from state 1).
void seedRandom(unsigned seed);

} // namespace Fernhouse::Base
