#pragma once

#include "game/play/GameType.h"

#include <cstdint>

namespace Tarvo
{

// The rules of one round; one per campaign map.
struct GameSettings
{
    std::int32_t type = GAME_ENEMIES;
    // Length, score or apple count to reach; ignored by GAME_NONE, GAME_ENEMIES and GAME_SURVIVE.
    std::int32_t goal = 0;
    // Milliseconds of game time; 0 means no limit.
    std::int32_t timeLimit = 0;
};

} // namespace Tarvo
