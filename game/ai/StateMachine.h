#pragma once

#include <map>

namespace Tarvo
{

// A state that is also a machine of sub-states; a state without sub-states is a leaf. Each step the state
// that is current when the step begins picks the next one, and the new state's update runs in the same step.
class StateMachine
{
public:
    // owner is the machine this one is a sub-state of, null for a top-level machine; not owned.
    explicit StateMachine(StateMachine* owner);
    // The machine owns its sub-states; a copy would delete them twice.
    StateMachine(const StateMachine&) = delete;
    StateMachine& operator=(const StateMachine&) = delete;
    // Deletes every sub-state.
    virtual ~StateMachine();

    // Unique among the sub-states of one machine.
    virtual int getId() const = 0;
    // Called when the state becomes current.
    virtual void enter() = 0;
    // The id of the state the owning machine should be in now; an unknown id changes nothing.
    virtual int nextState() = 0;
    // One step; answers direction bits, 0 for none. The base runs the sub-states and answers 0 when there
    // is no sub-state or no initial state to start in.
    virtual int update();
    // Called when the state stops being current.
    virtual void leave() = 0;

    // Takes ownership of state, stored under its id. A state already stored under that id is deleted, and
    // if it was the initial or current state the machine forgets it, so nothing points at freed memory.
    void addState(StateMachine* state, bool isInitial);

    StateMachine* getOwner() const { return m_owner; }

    // Null until the first update.
    StateMachine* getCurrentState() const { return m_currentState; }

    StateMachine* getInitialState() const { return m_initialState; }

private:
    StateMachine* m_owner;                  // not owned
    StateMachine* m_initialState = nullptr; // owned through m_states
    StateMachine* m_currentState = nullptr; // owned through m_states
    std::map<int, StateMachine*> m_states;  // owned
};

} // namespace Tarvo
