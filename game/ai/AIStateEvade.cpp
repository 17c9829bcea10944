#include "game/ai/AIStateEvade.h"

#include "game/ai/AIControl.h"

namespace Tarvo
{

AIStateEvade::AIStateEvade(AIControl* owner) : StateMachine(owner)
{
}

int AIStateEvade::getId() const
{
    return AIControl::EvadeState;
}

int AIStateEvade::nextState()
{
    return AIControl::ownerOf(*this).chooseLeafState();
}

int AIStateEvade::update()
{
    const AIControl& ai = AIControl::ownerOf(*this);
    const int heading = ai.getHeading();
    if (heading == AIControl::Left || heading == AIControl::Right)
    {
        return ai.getFreeUp() > ai.getFreeDown() ? AIControl::Up : AIControl::Down;
    }
    if (heading == AIControl::Up || heading == AIControl::Down)
    {
        return ai.getFreeRight() > ai.getFreeLeft() ? AIControl::Right : AIControl::Left;
    }
    return heading;
}

} // namespace Tarvo
