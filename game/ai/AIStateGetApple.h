#pragma once

#include "game/ai/StateMachine.h"

namespace Tarvo
{

class AIControl;

// Steers towards the target cell, horizontal moves first, never reversing and never into a blocked
// neighbour.
class AIStateGetApple final : public StateMachine
{
public:
    explicit AIStateGetApple(AIControl* owner);

    int getId() const override;

    void enter() override {}

    int nextState() override;
    int update() override;

    void leave() override {}
};

} // namespace Tarvo
