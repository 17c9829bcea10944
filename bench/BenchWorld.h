#pragma once

#include "engine/base/Point.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Fernhouse::Sound
{
class SoundManager;
} // namespace Fernhouse::Sound

namespace Tarvo
{
class GameEngine;
} // namespace Tarvo

namespace TarvoBench
{

class BenchClock;
class StagedControl;

// A crowded round for the benchmark: a 128 x 128 walled map cut into 32 areas of 16 x 32 cells, one worm
// in each, every worm laid out 200 cells long along a serpentine, and 50 apples. Human players come first
// and are steered through their keyboard controls; the others are computer players.
class BenchWorld final
{
public:
    static constexpr std::int32_t MapSide = 128;
    static constexpr std::int32_t AreaWidth = 16;
    static constexpr std::int32_t AreaHeight = 32;
    static constexpr std::size_t WormCount = 32;
    static constexpr std::uint32_t WormLength = 200;
    static constexpr std::size_t AppleCount = 50;
    // Game time per build step: a little over one cell at the normal speed, so every worm steps each time.
    static constexpr std::uint32_t StepMs = 334;

    // A map whose start point k lies in area k - 1, read from the left, then downwards.
    static void writeMap(const std::string& path, const std::string& tileset);
    // A walled square of ground of that side with one start point in its middle.
    static void writeOpenMap(const std::string& path, const std::string& tileset, std::int32_t side);
    // The direction (WormSprite::Right ...) the serpentine of the area takes from the head's cell.
    static std::uint32_t serpentine(const Fernhouse::Base::Point& area, const Fernhouse::Base::Point& head);
    static std::uint32_t directionBits(std::uint32_t direction);

    // Builds the round, started, past its start delay and laid out, with the clock manual. aiNames are
    // cycled over the computer players. Throws what the engine and the AI files throw, and
    // std::runtime_error when a worm does not reach its length alive. Any other map takes as many worms as
    // it has start points, up to worms, and is not laid out: its computer players decide from the start.
    BenchWorld(const std::string& mapPath, Fernhouse::Sound::SoundManager* soundManager, BenchClock& clock,
               std::size_t humans, const std::vector<std::string>& aiNames, std::size_t worms = WormCount,
               bool layOut = true);
    BenchWorld(const BenchWorld&) = delete;
    BenchWorld& operator=(const BenchWorld&) = delete;
    // Deletes the engine; the caller removes it from the screen and the router first.
    ~BenchWorld();

    Tarvo::GameEngine& engine() { return *m_engine; }

    const std::vector<StagedControl*>& computers() const { return m_computers; }

    // Before a frame: each human's key for its next cell, towards the longest free run ahead.
    void steerHumans();
    // Whether the round still runs (a human lives).
    bool isLive() const;
    std::size_t countLiving() const;

private:
    // One step of game time for the whole round, as the frame loop does it, without drawing.
    void step(BenchClock& clock);
    void pressFor(std::size_t human, std::uint32_t direction);

    Tarvo::GameEngine* m_engine;             // owned
    std::vector<StagedControl*> m_computers; // owned by their worms
    std::size_t m_humans;
    std::vector<Fernhouse::Base::Point> m_lastHeads;
};

} // namespace TarvoBench
