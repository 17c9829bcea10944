#pragma once

#include "engine/base/Entity.h"
#include "engine/base/EventHandler.h"
#include "engine/base/Point.h"

#include "game/play/GameSettings.h"
#include "game/play/OccupancyGrid.h"
#include "game/play/PlayerRecord.h"
#include "game/play/RoundHud.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Fernhouse::GUI
{
class Label;
} // namespace Fernhouse::GUI

namespace Fernhouse::Graphics
{
class TextureMap;
} // namespace Fernhouse::Graphics

namespace Fernhouse::Sound
{
class SoundManager;
} // namespace Fernhouse::Sound

namespace Tarvo
{

class ApplePainter;
class MapFile;
class PlayScreen;
class WormSprite;

// Plays one round on one map: places the worms on the map's start points, judges who eats which apple
// and who dies, keeps the heads-up display, pauses, and decides when the round is over and who won.
// The owner puts it in the entity tree and the EventRouter before start, polls isFinished, removes it
// from both and deletes it.
class GameEngine final : public Fernhouse::Base::Entity, public Fernhouse::Base::EventHandler
{
public:
    static constexpr std::size_t MaxStartPoints = 100;
    // The map layers the rules read.
    static constexpr unsigned WallLayer = 1;
    static constexpr unsigned StartLayer = 2;
    // Real milliseconds the round waits, clock stopped, before anything moves.
    static constexpr std::uint32_t StartDelay = 3000;
    // Milliseconds of game time the final texts stay before a key leaves.
    static constexpr std::uint32_t EndDelay = 1500;

    // Loads the map (its exceptions leave the constructor) and pushes the sound context "game", which the
    // destructor pops. soundManager is not owned and must outlive the engine.
    GameEngine(const std::string& mapPath, Fernhouse::Sound::SoundManager* soundManager);
    GameEngine(const GameEngine&) = delete;
    GameEngine& operator=(const GameEngine&) = delete;
    ~GameEngine() override;

    // Before start. timeLimit in milliseconds of game time, 0 for none.
    void setGame(std::int32_t type, std::int32_t goal, std::int32_t timeLimit);
    void setGame(const GameSettings& settings);

    // Adds a worm on the next free start point; human players first, since the first keyboard worm is
    // player 1. The control always passes to the engine: when this throws (PlayerOverflowException "No
    // room for more players.", or the skin's TextureFactory error) it is deleted here.
    void addPlayer(const std::string& name, Fernhouse::IO::Control* control, const std::string& skinName,
                   std::uint32_t controlMode);
    void addPlayer(const PlayerRecord& player);

    // Builds the HUD and the play screen and begins the start delay; finishes at once when no human plays.
    // backgroundPath is used in one-player rounds; empty selects the default. Throws the font and image
    // loading errors.
    void start(const std::string& backgroundPath);

    // One game step per frame.
    void update() override;

    // Escape leaves at once; Pause holds the clock; once the round is over, any key leaves after EndDelay.
    // Only Escape and Pause are consumed.
    bool keyDown(SDLKey key, bool ctrl, bool shift, bool alt) override;

    // Whether the cell is inside the map, no wall, not covered by any worm (dead ones too) and, when
    // applesBlock, holds no apple.
    bool isFree(const Fernhouse::Base::Point& cell, bool applesBlock) const;

    // Milliseconds of game time left of the limit; 0 once it has passed.
    std::uint32_t getTimeLeft() const;

    bool isFinished() const { return m_finished; }

    bool isPaused() const { return m_paused; }

    // Null while nobody has won.
    WormSprite* getWinner() const { return m_winner; }

    // The first and second keyboard worms; null when absent.
    WormSprite* getPlayer1() const { return m_player1; }

    WormSprite* getPlayer2() const { return m_player2; }

    const MapFile* getMap() const { return m_map; }

    const GameSettings& getSettings() const { return m_settings; }

    std::uint8_t getWormCount() const { return m_wormCount; }

    std::uint8_t getStartPointCount() const { return m_startPointCount; }

    std::uint8_t getHumanCount() const { return m_humanCount; }

    std::uint8_t getDeathCount() const { return m_deathCount; }

    // In the order added.
    const std::vector<WormSprite*>& getWorms() const { return m_worms; }

    // The cell worm k (1 to getStartPointCount) starts on: the map's start points in number order.
    const Fernhouse::Base::Point& getStartPoint(std::size_t k) const { return m_startPoints[k - 1]; }

    // Null before start.
    PlayScreen* getPlayScreen() const { return m_playScreen; }

    // The apples of the round; null before start.
    ApplePainter* getApplePainter() const;

    // Game time (ms) when the round started, and after which a key leaves it (0 while it runs).
    std::uint32_t getStartTime() const { return m_startTime; }

    std::uint32_t getEndTime() const { return m_endTime; }

    // Real time (ms) at which the start delay ends; 0 once it is over.
    std::uint32_t getReadyTime() const { return m_readyTime; }

    // The HUD, for the front end and tests; null before start, and the player-2 labels in a one-player
    // round.
    const Fernhouse::GUI::Label* getPointsValue1() const { return hudLabel(&RoundHud::getPointsValue, true); }

    const Fernhouse::GUI::Label* getGoalValue1() const { return hudLabel(&RoundHud::getGoalValue, true); }

    const Fernhouse::GUI::Label* getResult1() const { return hudLabel(&RoundHud::getResult, true); }

    const Fernhouse::GUI::Label* getPointsValue2() const
    {
        return hudLabel(&RoundHud::getPointsValue, false);
    }

    const Fernhouse::GUI::Label* getGoalValue2() const { return hudLabel(&RoundHud::getGoalValue, false); }

    const Fernhouse::GUI::Label* getResult2() const { return hudLabel(&RoundHud::getResult, false); }

    const Fernhouse::GUI::Label* getTimeValue() const
    {
        return m_hud != nullptr ? m_hud->getTimeValue() : nullptr;
    }

private:
    using HudLabel = const Fernhouse::GUI::Label* (RoundHud::*)(bool) const;

    const Fernhouse::GUI::Label* hudLabel(HudLabel label, bool forPlayer1) const
    {
        return m_hud != nullptr ? (m_hud->*label)(forPlayer1) : nullptr;
    }

    void collectStartPoints();
    Fernhouse::Graphics::TextureMap* skinFor(const std::string& skinName);
    // Apples, then walls, then bodies, for one living worm.
    void judge(WormSprite* worm);
    void kill(WormSprite* worm);
    bool hitsWall(const WormSprite* worm) const;

    void updateHud();
    void showResult(const char* text, bool forPlayer1);
    void endRound();
    void checkRoundEnd();
    // The three ways a round of a game type ends, each naming its winner and showing the results.
    void endWithLastWormStanding();
    void endWithGoalReached();
    void endWithTimeSurvived(bool player1Dead, bool player2Dead);
    // Holds the game clock exactly while the round waits for its start delay or is paused, and lets it
    // run otherwise, so that an ended or left round always reaches its end delay.
    void applyClock() const;
    // The value the LENGTH, SCORE and APPLES goals are measured with.
    std::int64_t goalProgress(const WormSprite* player) const;
    bool reachedGoal(const WormSprite* player) const;

    std::uint32_t now() const;

    Fernhouse::Sound::SoundManager* m_soundManager;                  // not owned
    PlayScreen* m_playScreen = nullptr;                              // owned
    MapFile* m_map = nullptr;                                        // owned
    std::vector<WormSprite*> m_worms;                                // owned
    std::map<std::string, Fernhouse::Graphics::TextureMap*> m_skins; // freed through TextureFactory
    // The first m_startPointCount entries, in number order without gaps.
    std::array<Fernhouse::Base::Point, MaxStartPoints> m_startPoints{};
    WormSprite* m_player1 = nullptr; // one of m_worms
    WormSprite* m_player2 = nullptr; // one of m_worms
    RoundHud* m_hud = nullptr;       // owned
    std::uint8_t m_humanCount = 0;
    std::uint8_t m_wormCount = 0;
    std::uint8_t m_startPointCount = 0;
    std::uint8_t m_deathCount = 0;
    bool m_finished = false;
    bool m_paused = false;
    GameSettings m_settings;
    WormSprite* m_winner = nullptr; // one of m_worms
    std::uint32_t m_startTime = 0;  // game ms
    std::uint32_t m_endTime = 0;    // game ms
    std::uint32_t m_readyTime = 0;  // real ms
    // Segments per cell of every worm, kept by the worms, so that cell tests need no walk over bodies.
    OccupancyGrid m_occupancy;
};

} // namespace Tarvo
