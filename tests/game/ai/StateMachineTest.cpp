#include "game/ai/StateMachine.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>

using Tarvo::StateMachine;

static_assert(!std::is_copy_constructible_v<StateMachine> && !std::is_copy_assignable_v<StateMachine>,
              "a machine owns its sub-states");

namespace
{

// A top-level machine that never switches, like the computer player's control.
class Top final : public StateMachine
{
public:
    Top() : StateMachine(nullptr) {}

    int getId() const override { return 0; }

    void enter() override {}

    int nextState() override { return 0; }

    void leave() override {}
};

// A leaf that asks for a scripted next state, answers its own id times 10, and logs its calls.
class Leaf final : public StateMachine
{
public:
    Leaf(StateMachine* owner, int id, std::string* log, int* deaths = nullptr)
        : StateMachine(owner),
          m_id(id),
          m_log(log),
          m_deaths(deaths)
    {
    }

    ~Leaf() override
    {
        if (m_deaths != nullptr)
        {
            ++*m_deaths;
        }
    }

    int getId() const override { return m_id; }

    void enter() override { *m_log += "enter" + std::to_string(m_id) + " "; }

    int nextState() override
    {
        *m_log += "next" + std::to_string(m_id) + " ";
        return m_next;
    }

    int update() override
    {
        *m_log += "update" + std::to_string(m_id) + " ";
        return m_id * 10;
    }

    void leave() override { *m_log += "leave" + std::to_string(m_id) + " "; }

    int m_next = 0;

private:
    int m_id;
    std::string* m_log;
    int* m_deaths;
};

} // namespace

TEST(StateMachine, WithoutStatesOrWithoutAnInitialStateItAnswersNoDirection)
{
    Top empty;
    EXPECT_EQ(empty.update(), 0);

    std::string log;
    Top noInitial;
    noInitial.addState(new Leaf(&noInitial, 1, &log), false);
    EXPECT_EQ(noInitial.update(), 0);
    EXPECT_EQ(noInitial.getCurrentState(), nullptr);
    EXPECT_EQ(log, "");
}

TEST(StateMachine, TheStateCurrentAtTheStartDecidesAndTheNewStateRunsInTheSameStep)
{
    std::string log;
    Top top;
    auto* one = new Leaf(&top, 1, &log);
    auto* two = new Leaf(&top, 2, &log);
    top.addState(one, true);
    top.addState(two, false);
    EXPECT_EQ(one->getOwner(), &top);

    // The first step takes the initial state without entering it.
    one->m_next = 1;
    EXPECT_EQ(top.update(), 10);
    EXPECT_EQ(log, "next1 update1 ");
    EXPECT_EQ(top.getCurrentState(), one);

    log.clear();
    one->m_next = 2;
    two->m_next = 1;
    EXPECT_EQ(top.update(), 20);
    EXPECT_EQ(log, "next1 leave1 enter2 update2 ");

    // An id that is not in the machine changes nothing.
    log.clear();
    two->m_next = 7;
    EXPECT_EQ(top.update(), 20);
    EXPECT_EQ(log, "next2 update2 ");
}

TEST(StateMachine, OwnsItsStatesAndDeletesAStateReplacedUnderTheSameId)
{
    std::string log;
    int deaths = 0;
    {
        Top top;
        auto* first = new Leaf(&top, 1, &log, &deaths);
        top.addState(first, true);
        top.addState(new Leaf(&top, 2, &log, &deaths), false);
        EXPECT_EQ(top.update(), 10);

        // Adding the very same state again must not free it.
        top.addState(first, false);
        EXPECT_EQ(deaths, 0);
        EXPECT_EQ(top.getInitialState(), first);

        // The replaced state was initial and current: the machine forgets it and starts in the new one.
        auto* second = new Leaf(&top, 1, &log, &deaths);
        top.addState(second, false);
        EXPECT_EQ(deaths, 1);
        EXPECT_EQ(top.getCurrentState(), nullptr);
        EXPECT_EQ(top.getInitialState(), nullptr);
        EXPECT_EQ(top.update(), 0);
        top.addState(second, true);
        EXPECT_EQ(top.update(), 10);
    }
    EXPECT_EQ(deaths, 3);
}
