#pragma once

#include <cstdint>

namespace Tarvo
{

// What wins a round. Stored as a plain 32-bit number in campaign files, so values outside the list
// are possible and mean no winning rule.
enum GameType : std::int32_t
{
    GAME_NONE = 0,    // nobody wins; the round ends by time or when the players are dead
    GAME_ENEMIES = 1, // the last worm alive
    GAME_LENGTH = 2,  // a length of at least the goal
    GAME_SCORE = 3,   // a score of at least the goal
    GAME_APPLES = 4,  // at least the goal in normal plus super apples
    GAME_SURVIVE = 5, // being alive when the time limit runs out
};

} // namespace Tarvo
