#pragma once

#include "engine/base/Point.h"
#include "engine/io/KeySet.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Fernhouse::Base
{
class EventRouter;
} // namespace Fernhouse::Base

namespace Tarvo
{
class GameEngine;
class WormSprite;
} // namespace Tarvo

namespace RoundSupport
{

// Plays a keyboard worm like a careful human: once per cell it picks the longest free run among straight
// on and the two turns (straight on when tied), wary of cells another head could take next, and now and
// then turns for variety. Its choices depend only on the field and its own counter, never on the game's
// random sequence.
class ScriptedHuman final
{
public:
    ScriptedHuman(const Fernhouse::IO::KeySet& keys, std::uint32_t variety);

    // Before a frame: presses at most one key through the router, for the worm's next cell. A dead or
    // missing worm presses nothing.
    void play(const Tarvo::GameEngine& engine, const Tarvo::WormSprite* worm,
              Fernhouse::Base::EventRouter& router);

private:
    Fernhouse::IO::KeySet m_keys;
    std::uint32_t m_variety;
    Fernhouse::Base::Point m_lastHead{-1, -1};
    std::uint32_t m_cellsToTurn = 0;
};

// A walled field with scattered obstacles and numbered start points spread over it, as map rows of the
// round fixture's tileset: written to path with MapFile. Start points number from 1, as many as fit.
void writeCrowdedMap(const std::string& path, std::int32_t width, std::int32_t height, std::uint32_t seed,
                     std::int32_t obstacleCount);

// The computer players of the crowded rounds: name, mission, reach, speed, skill. Written to ai/ by
// writePersonalities; every one wears the fixture's flat skin.
struct Personality
{
    const char* name;
    const char* mission;
    std::uint32_t reach;
    std::uint32_t speed;
    std::uint32_t skill;
};

const std::vector<Personality>& personalities();
void writePersonalities(const std::string& aiDirectory);

} // namespace RoundSupport
