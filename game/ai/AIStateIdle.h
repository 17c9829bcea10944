#pragma once

#include "game/ai/StateMachine.h"

namespace Tarvo
{

class AIControl;

// Keeps the worm going straight.
class AIStateIdle final : public StateMachine
{
public:
    explicit AIStateIdle(AIControl* owner);

    int getId() const override;

    void enter() override {}

    int nextState() override;
    int update() override;

    void leave() override {}
};

} // namespace Tarvo
