#pragma once

#include "engine/base/Entity.h"

#include <array>
#include <cstdint>
#include <vector>

namespace Fernhouse::Graphics
{
class Texture;
}

namespace Tarvo
{

class Apple;
class GameEngine;

// Owns the apples of a round: spawns them at random free cells and times, ages them, drops the eaten and
// expired ones, and draws them from the first row of the map's tileset. Every random draw comes from
// Fernhouse::Base::random(), in a fixed order, so a round replays exactly.
class ApplePainter final : public Fernhouse::Base::Entity
{
public:
    // One weight per apple kind, in kind order.
    using Weights = std::array<std::int32_t, 6>;

    static constexpr Weights DefaultWeights{6, 3, 1, 3, 2, 2};
    // Placement gives up after this many random cells, so a full field cannot hang the frame; nothing is
    // spawned in that step then.
    static constexpr int MaxPlacementTries = 4096;
    // Spawns lie 0 to this many ms of game time apart.
    static constexpr double MaxSpawnInterval = 3001.0;

    // Neither is owned. The engine answers which cells are free; texture is the tileset sheet.
    ApplePainter(GameEngine* engine, const Fernhouse::Graphics::Texture* texture);
    ApplePainter(const ApplePainter&) = delete;
    ApplePainter& operator=(const ApplePainter&) = delete;
    ~ApplePainter() override;

    // In the map painter's frame: cell (x, y) at pixel (16x, 16y), no transform or colour of its own.
    void draw() override;
    // Ages the apples, removes the gone ones, and spawns at most one.
    void update() override;

    // The engine marks eaten apples here (kind -1); they are removed in the next update.
    const std::vector<Apple*>& getApples() const { return m_apples; }

    // Not validated: all-zero weights make every roll -1, and such apples vanish unseen.
    void setWeights(const Weights& weights) { m_weights = weights; }

    const Weights& getWeights() const { return m_weights; }

    // Game time (ms) of the next spawn.
    std::uint32_t getNextSpawn() const { return m_nextSpawn; }

    // A weighted roll over the kinds; -1 when the roll falls past the last weight.
    std::int32_t randomKind() const;
    // One new apple on a free cell, unless no free cell turned up within MaxPlacementTries.
    void spawnApple();

private:
    const Fernhouse::Graphics::Texture* m_texture; // not owned; the map painter's tileset
    GameEngine* m_engine;                          // not owned
    std::vector<Apple*> m_apples;                  // owned
    Weights m_weights = DefaultWeights;
    std::uint32_t m_nextSpawn = 0;
};

} // namespace Tarvo
