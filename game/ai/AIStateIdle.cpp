#include "game/ai/AIStateIdle.h"

#include "game/ai/AIControl.h"

namespace Tarvo
{

AIStateIdle::AIStateIdle(AIControl* owner) : StateMachine(owner)
{
}

int AIStateIdle::getId() const
{
    return AIControl::IdleState;
}

int AIStateIdle::nextState()
{
    return AIControl::ownerOf(*this).chooseLeafState();
}

int AIStateIdle::update()
{
    return AIControl::ownerOf(*this).getHeading();
}

} // namespace Tarvo
