#include "game/ai/StateMachine.h"

#include <gtest/gtest.h>

#include <string>

using Tarvo::StateMachine;

namespace
{

// Without an owner, a top-level machine like the computer player's control; as a leaf it asks for a
// scripted next state, answers its own id times 10, logs its calls and counts its deaths.
class Leaf final : public StateMachine
{
public:
    Leaf(StateMachine* owner, int id, std::string& log, int& deaths)
        : StateMachine(owner),
          m_id(id),
          m_log(log),
          m_deaths(deaths)
    {
    }

    ~Leaf() override { ++m_deaths; }

    int getId() const override { return m_id; }

    void enter() override { m_log += "enter" + std::to_string(m_id) + " "; }

    int nextState() override
    {
        m_log += "next" + std::to_string(m_id) + " ";
        return m_next;
    }

    int update() override
    {
        if (getOwner() == nullptr)
        {
            return StateMachine::update();
        }
        m_log += "update" + std::to_string(m_id) + " ";
        return m_id * 10;
    }

    void leave() override { m_log += "leave" + std::to_string(m_id) + " "; }

    int m_next = 0;

private:
    int m_id;
    std::string& m_log;
    int& m_deaths;
};

} // namespace

TEST(StateMachine, TheCurrentStateDecidesTheNextWhichRunsInTheSameStepAndUnknownIdsChangeNothing)
{
    std::string log;
    int deaths = 0;
    Leaf top(nullptr, 0, log, deaths);
    EXPECT_EQ(top.update(), 0); // no states: no direction
    auto* one = new Leaf(&top, 1, log, deaths);
    auto* two = new Leaf(&top, 2, log, deaths);
    top.addState(one, false);
    EXPECT_EQ(top.update(), 0); // no initial state
    EXPECT_EQ(log, "");
    top.addState(one, true);
    top.addState(two, false);
    EXPECT_EQ(deaths, 0); // adding the very same state again does not free it

    // The first step takes the initial state without entering it.
    one->m_next = 1;
    EXPECT_EQ(top.update(), 10);
    one->m_next = 2;
    two->m_next = 1;
    EXPECT_EQ(top.update(), 20);
    two->m_next = 7;
    EXPECT_EQ(top.update(), 20);
    EXPECT_EQ(log, "next1 update1 next1 leave1 enter2 update2 next2 update2 ");
}

TEST(StateMachine, OwnsItsStatesAndAStateReplacedUnderTheSameIdIsDeletedAndForgotten)
{
    std::string log;
    int deaths = 0;
    {
        Leaf top(nullptr, 0, log, deaths);
        top.addState(new Leaf(&top, 1, log, deaths), true);
        top.addState(new Leaf(&top, 2, log, deaths), false);
        EXPECT_EQ(top.update(), 10);
        // The replaced state was initial and current: the machine has none until told.
        auto* second = new Leaf(&top, 1, log, deaths);
        top.addState(second, false);
        EXPECT_EQ(deaths, 1);
        EXPECT_EQ(top.getCurrentState(), nullptr);
        EXPECT_EQ(top.update(), 0);
        top.addState(second, true);
        EXPECT_EQ(top.update(), 10);
    }
    EXPECT_EQ(deaths, 4); // with the machine itself
}
