#include "game/ai/StateMachine.h"

namespace Tarvo
{

namespace
{

constexpr int NoDirection = 0;

} // namespace

StateMachine::StateMachine(StateMachine* owner) : m_owner(owner)
{
}

StateMachine::~StateMachine()
{
    for (const auto& entry : m_states)
    {
        delete entry.second;
    }
}

int StateMachine::update()
{
    if (m_states.empty())
    {
        return NoDirection;
    }
    if (m_currentState == nullptr)
    {
        m_currentState = m_initialState;
        if (m_currentState == nullptr)
        {
            return NoDirection;
        }
    }
    // The state current at the start of the step decides; the new state then does this step's work.
    const auto found = m_states.find(m_currentState->nextState());
    if (found != m_states.end() && found->second->getId() != m_currentState->getId())
    {
        m_currentState->leave();
        m_currentState = found->second;
        m_currentState->enter();
    }
    return m_currentState->update();
}

void StateMachine::addState(StateMachine* state, bool isInitial)
{
    StateMachine*& slot = m_states[state->getId()];
    if (slot != nullptr && slot != state)
    {
        if (m_initialState == slot)
        {
            m_initialState = nullptr;
        }
        if (m_currentState == slot)
        {
            m_currentState = nullptr;
        }
        delete slot;
    }
    slot = state;
    if (isInitial)
    {
        m_initialState = state;
    }
}

} // namespace Tarvo
