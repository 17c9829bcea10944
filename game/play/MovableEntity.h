#pragma once

#include "engine/base/GameTime.h"

#include "game/play/Movable.h"

#include <cassert>
#include <cstdint>

namespace Tarvo
{

// A script's text (Label) or picture (Image) that animates towards its Movable targets on game time.
template <typename EntityType> class MovableEntity final : public EntityType, public Movable
{
public:
    // Animation steps are at least this far apart, in milliseconds of game time.
    static constexpr std::int64_t StepInterval = 15;

    MovableEntity() = default;

    // Between steps the entity type's own update is skipped as well.
    void update() override
    {
        const Fernhouse::Base::GameTime* gameTime = Fernhouse::Base::GameTime::getInstance();
        assert(gameTime != nullptr && "script objects animate on the game clock");
        const auto now = static_cast<std::int32_t>(gameTime->getTime());
        if (m_lastUpdate == 0)
        {
            m_lastUpdate = now;
        }
        if (std::int64_t{now} - m_lastUpdate < StepInterval)
        {
            return;
        }
        animate(*this, now, m_lastUpdate);
        m_lastUpdate = now;
        EntityType::update();
    }

private:
    std::int32_t m_lastUpdate = 0; // game time of the last step; 0 before the first
};

} // namespace Tarvo
