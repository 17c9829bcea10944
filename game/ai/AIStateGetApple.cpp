#include "game/ai/AIStateGetApple.h"

#include "game/ai/AIControl.h"

namespace Tarvo
{

namespace
{

// A free distance above this means the neighbouring cell can be entered.
constexpr int Blocked = 1;

} // namespace

AIStateGetApple::AIStateGetApple(AIControl* owner) : StateMachine(owner)
{
}

int AIStateGetApple::getId() const
{
    return AIControl::GetAppleState;
}

int AIStateGetApple::nextState()
{
    return AIControl::ownerOf(*this).chooseLeafState();
}

int AIStateGetApple::update()
{
    const AIControl& ai = AIControl::ownerOf(*this);
    const int heading = ai.getHeading();
    if (heading != AIControl::Left && ai.getTargetX() > ai.getHeadX() && ai.getFreeRight() > Blocked)
    {
        return AIControl::Right;
    }
    if (heading != AIControl::Right && ai.getTargetX() < ai.getHeadX() && ai.getFreeLeft() > Blocked)
    {
        return AIControl::Left;
    }
    if (heading != AIControl::Down && ai.getTargetY() < ai.getHeadY() && ai.getFreeUp() > Blocked)
    {
        return AIControl::Up;
    }
    if (heading != AIControl::Up && ai.getTargetY() > ai.getHeadY() && ai.getFreeDown() > Blocked)
    {
        return AIControl::Down;
    }
    return heading;
}

} // namespace Tarvo
