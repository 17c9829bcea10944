#pragma once

#include "engine/base/Point.h"
#include "engine/io/Control.h"

#include <cstdint>

namespace Tarvo
{
class AIControl;
class WormSprite;
} // namespace Tarvo

namespace TarvoBench
{

// A computer player's control that first lays its worm out along a fixed serpentine, so that a crowded
// world of long worms can be built quickly and identically, and then hands every query to its AIControl.
class StagedControl final : public Fernhouse::IO::Control
{
public:
    // Takes ownership of ai. region is the top-left cell of the worm's serpentine area.
    StagedControl(Tarvo::AIControl* ai, const Fernhouse::Base::Point& region);
    ~StagedControl() override;

    // The worm built with this control; links the AIControl too, as a worm built with it would.
    void link(Tarvo::WormSprite* worm);

    // From now on the AIControl decides.
    void release() { m_planned = false; }

    std::uint32_t getDirection() override;

    Tarvo::AIControl* getAI() const { return m_ai; }

private:
    Tarvo::AIControl* m_ai;              // owned
    Tarvo::WormSprite* m_worm = nullptr; // not owned; it owns this control
    Fernhouse::Base::Point m_region;
    bool m_planned = true;
};

} // namespace TarvoBench
