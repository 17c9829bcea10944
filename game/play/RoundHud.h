#pragma once

#include "engine/base/Entity.h"
#include "engine/base/Point.h"

#include "game/play/GameSettings.h"

#include <cstdint>

namespace Fernhouse::GUI
{
class Label;
} // namespace Fernhouse::GUI

namespace Tarvo
{

class WormSprite;

// The texts over a round: each player's points and goal, the time left, and a result in the middle of each
// player's view. In a one-player round player 1 has the whole screen and there are no player-2 labels;
// with two, player 2 has the left half and player 1 the right.
class RoundHud final : public Fernhouse::Base::Entity
{
public:
    static constexpr const char* Pause = "PAUSE";
    static constexpr const char* GameOver = "GAME OVER";
    static constexpr const char* YouWon = "YOU WON!";
    static constexpr const char* Draw = "DRAW!";
    static constexpr const char* TimeUp = "TIME UP!";
    static constexpr const char* Nothing = "";

    // Throws the font errors of its labels.
    RoundHud(const GameSettings& settings, bool twoPlayers);
    RoundHud(const RoundHud&) = delete;
    RoundHud& operator=(const RoundHud&) = delete;
    ~RoundHud() override;

    // othersAlive is how many other worms are still in the round, the goal of GAME_ENEMIES. A dead
    // player's result reads "GAME OVER". Ignored for a player the HUD has no labels for.
    void showPlayer(const WormSprite& player, std::int32_t othersAlive, bool forPlayer1);
    // Blank in a round without time limit.
    void showTimeLeft(std::uint32_t ms);
    // Centred in the player's view; ignored for a player the HUD has no labels for.
    void showResult(const char* text, bool forPlayer1);

    // Null for the player-2 labels of a one-player round.
    const Fernhouse::GUI::Label* getPointsValue(bool forPlayer1) const;
    const Fernhouse::GUI::Label* getGoalValue(bool forPlayer1) const;
    const Fernhouse::GUI::Label* getResult(bool forPlayer1) const;

    const Fernhouse::GUI::Label* getTimeValue() const { return m_timeValue; }

private:
    // One player's labels, and where values sit by their top right corner and the result by its centre.
    struct PlayerLabels
    {
        Fernhouse::GUI::Label* pointsCaption = nullptr; // owned
        Fernhouse::GUI::Label* goalCaption = nullptr;   // owned
        Fernhouse::GUI::Label* pointsValue = nullptr;   // owned
        Fernhouse::GUI::Label* goalValue = nullptr;     // owned
        Fernhouse::GUI::Label* result = nullptr;        // owned
        Fernhouse::Base::Point pointsAnchor;
        Fernhouse::Base::Point goalAnchor;
        Fernhouse::Base::Point resultAnchor;
    };

    void addPlayer(bool forPlayer1, bool twoPlayers, const char* goalCaption);

    PlayerLabels& labelsOf(bool forPlayer1) { return forPlayer1 ? m_player1 : m_player2; }

    const PlayerLabels& labelsOf(bool forPlayer1) const { return forPlayer1 ? m_player1 : m_player2; }

    GameSettings m_settings;
    Fernhouse::GUI::Label* m_timeCaption = nullptr; // owned
    Fernhouse::GUI::Label* m_timeValue = nullptr;   // owned
    Fernhouse::Base::Point m_timeAnchor;
    PlayerLabels m_player1;
    PlayerLabels m_player2;
};

} // namespace Tarvo
