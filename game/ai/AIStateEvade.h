#pragma once

#include "game/ai/StateMachine.h"

namespace Tarvo
{

class AIControl;

// Turns away from an obstacle straight ahead, to the side with more free cells; a tie turns down or left.
// The chosen side is not checked, so with both sides blocked the worm turns into an obstacle.
class AIStateEvade final : public StateMachine
{
public:
    explicit AIStateEvade(AIControl* owner);

    int getId() const override;

    void enter() override {}

    int nextState() override;
    int update() override;

    void leave() override {}
};

} // namespace Tarvo
