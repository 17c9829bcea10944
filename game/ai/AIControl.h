#pragma once

#include "engine/io/Control.h"

#include "game/ai/StateMachine.h"

#include <cstdint>
#include <string>

namespace Tarvo
{

class AIFile;
class GameEngine;
class WormSprite;

// A computer player's control: each time its worm is about to advance, it looks at the engine's apples,
// human worms and free cells and lets its leaf states (idle, get apple, evade) decide the direction.
// Every notice roll draws from Fernhouse::Base::random() in a fixed order, so a round replays exactly.
// It never registers with the event router.
class AIControl final : public Fernhouse::IO::Control, public StateMachine
{
public:
    // Direction bits, as every control answers them.
    static constexpr int Left = 1;
    static constexpr int Right = 2;
    static constexpr int Up = 4;
    static constexpr int Down = 8;
    // A free distance that was not looked at this step; counts as wide open.
    static constexpr int NotLooked = 1000;
    // Leaf state ids.
    static constexpr int IdleState = 1;
    static constexpr int GetAppleState = 2;
    static constexpr int EvadeState = 3;

    // Loads "ai/" + aiName + ".ai" and throws what AIFile throws. engine is not owned and must outlive
    // the control; it is read only while the worm asks for directions.
    AIControl(const std::string& aiName, GameEngine* engine);
    ~AIControl() override;

    // Runs one step of the machine; the answer is also stored as the command word.
    std::uint32_t getDirection() override;
    // The command word only ever holds a direction, so a computer player never triggers actions. Neither
    // clears the word.
    std::uint32_t getAction1() override;
    std::uint32_t getAction2() override;
    // One full step: direction, then both actions; answers the command word without clearing it.
    std::uint32_t getCommands() override;

    // The top machine: id 0, never switches, creates the leaf states on enter.
    int getId() const override { return 0; }

    void enter() override;

    int nextState() override { return 0; }

    void leave() override {}

    // Called by the worm built with this control: the worm is not owned (it owns this control), and its
    // head cell becomes the first target.
    void setWorm(WormSprite* worm);

    // The leaf state the machine should be in, shared by all three leaves: evade when the cell straight
    // ahead is blocked, else get apple with a target, else idle.
    int chooseLeafState() const;

    // The control that owns a leaf state.
    static const AIControl& ownerOf(const StateMachine& leaf)
    {
        // A reference cast: leaves are always built with their control as owner, never null.
        return static_cast<const AIControl&>(*leaf.getOwner());
    }

    const AIFile& getAIFile() const { return *m_aiFile; }

    WormSprite* getWorm() const { return m_worm; }

    // In cells.
    int getHeadX() const { return m_headX; }

    int getHeadY() const { return m_headY; }

    // Direction bits of the worm's direction.
    int getHeading() const { return m_heading; }

    bool hasTarget() const { return m_hasTarget; }

    int getTargetX() const { return m_targetX; }

    int getTargetY() const { return m_targetY; }

    // Cells to the first blocked cell, 1 when the neighbour is blocked; NotLooked when the roll failed.
    int getFreeLeft() const { return m_freeLeft; }

    int getFreeRight() const { return m_freeRight; }

    int getFreeUp() const { return m_freeUp; }

    int getFreeDown() const { return m_freeDown; }

private:
    // The notice roll: one draw, passing when skill exceeds it as a percentage.
    bool roll() const;
    void selectTarget();
    void selectApple();
    void selectHuman();
    // Free cells from the head in one direction, ended by the first blocked cell.
    int scan(int dx, int dy) const;

    AIFile* m_aiFile;             // owned
    GameEngine* m_gameEngine;     // not owned
    WormSprite* m_worm = nullptr; // not owned; it owns this control
    int m_headX = 0;
    int m_headY = 0;
    int m_heading = Down;
    bool m_hasTarget = false;
    int m_targetX = 0;
    int m_targetY = 0;
    int m_freeLeft = NotLooked;
    int m_freeRight = NotLooked;
    int m_freeUp = NotLooked;
    int m_freeDown = NotLooked;
};

} // namespace Tarvo
