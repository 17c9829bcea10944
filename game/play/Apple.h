#pragma once

#include "engine/base/Point.h"
#include "engine/base/Sprite.h"

#include <cstdint>

namespace Tarvo
{

// One apple on a cell of the play field. It ages on game time and changes kind on its own; the apple
// painter updates and draws it, it is never part of the entity tree.
class Apple final : public Fernhouse::Base::Sprite
{
public:
    // Kinds; Gone marks an apple that was eaten or has expired.
    static constexpr std::int32_t Gone = -1;
    static constexpr std::int32_t Normal = 0;
    static constexpr std::int32_t Super = 1;
    static constexpr std::int32_t Rotten = 2;
    static constexpr std::int32_t Turbo = 3;
    static constexpr std::int32_t Beer = 4;
    static constexpr std::int32_t Cake = 5;
    static constexpr std::int32_t KindCount = 6;

    static constexpr int Type = 2;

    // Kind normal on cell (0, 0), born at the current game time. Needs a live GameTime.
    Apple();

    // Drawn by the apple painter, not by itself.
    void draw() override;
    // Ageing: a normal or super apple turns rotten, every other kind disappears when its time is up.
    void update() override;

    int getType() const override { return Type; }

    bool collidesWith(Fernhouse::Base::Sprite* other) const override;

    std::int32_t getKind() const { return m_kind; }

    // Leaves the age alone; Gone marks the apple as eaten.
    void setKind(std::int32_t kind);

    // In cells.
    const Fernhouse::Base::Point& getCell() const { return m_cell; }

    void setCell(const Fernhouse::Base::Point& cell);

    // Game time (ms) at which the apple got its current kind.
    std::uint32_t getSince() const { return m_since; }

    // Cells a worm grows by eating the kind; 0 for an unknown kind.
    static std::uint32_t getGrowth(std::int32_t kind);
    // Points the kind is worth, negative for the bad ones; 0 for an unknown kind.
    static std::int32_t getPoints(std::int32_t kind);
    // Milliseconds of game time the kind lasts before it ages; a gone apple counts as rotten.
    static std::int32_t getLifetime(std::int32_t kind);

private:
    std::int32_t m_kind = Normal;
    std::uint32_t m_since;
    Fernhouse::Base::Point m_cell;
};

} // namespace Tarvo
