#pragma once

#include "engine/base/Entity.h"

#include "game/play/WormSprite.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace Fernhouse::Sound
{
class SoundManager;
} // namespace Fernhouse::Sound

namespace Tarvo
{

class CampaignFile;
class Configuration;
class GameEngine;
class HighscoreTable;
class ScoreBoard;
class ScriptEnvironment;
class ScriptHost;

// Plays a campaign: its opening scene, then map after map the map's scene, the round, and after a win the
// win scene and the score board, and after the last map the closing scene, which unlocks the campaign's
// reward key. Losing a round ends the campaign at once. Every finished round goes to the highscores. The
// front end puts it in the entity tree, calls start, and polls isFinished.
class Campaign final : public Fernhouse::Base::Entity
{
public:
    // The states, in the order a won map passes through them.
    static constexpr int BetweenMaps = 0; // the opening scene, or the gap after a score board
    static constexpr int MapIntro = 1;
    static constexpr int Round = 2;
    static constexpr int WinScene = 3;
    static constexpr int ShowingScores = 4;
    static constexpr int Ending = 5;
    static constexpr int Finished = 6;

    static constexpr const char* PlayerName = "Tarvo";
    static constexpr const char* PlayerSkin = "tarvo";
    static constexpr const char* SoundContext = "game";

    // Loads the campaign file (throws what CampaignFile::load throws) and registers its music for the
    // rounds. configuration, soundManager and highscores are not owned and must outlive the campaign.
    Campaign(const std::string& path, Configuration* configuration,
             Fernhouse::Sound::SoundManager* soundManager, HighscoreTable* highscores);
    Campaign(const Campaign&) = delete;
    Campaign& operator=(const Campaign&) = delete;
    // Takes down whatever scene, round or score board still runs.
    ~Campaign() override;

    // Plays the opening scene; once, after the campaign is in the entity tree. Throws the script's loading
    // errors.
    void start();

    // One step of the campaign, then its children. Throws ArgumentException for a campaign without maps,
    // and passes on the errors of scripts, maps, AI files and skins.
    void update() override;

    bool isFinished() const { return m_state == Finished; }

    // Shows the script at path, which must be the only one; an empty path shows nothing. Throws the
    // script's loading errors; the scene is then still up, and stopScript or the destructor takes it down.
    void runScript(const std::string& path);
    // Takes down the running scene, if any.
    void stopScript();

    int getState() const { return m_state; }

    // From 0.
    std::size_t getMapIndex() const { return m_mapIndex; }

    const CampaignFile& getCampaignFile() const { return *m_campaignFile; }

    // Null while no scene runs.
    const ScriptEnvironment* getScriptEnvironment() const;

    // Null outside a round.
    GameEngine* getGameEngine() const { return m_gameEngine; }

    // Null while not shown.
    ScoreBoard* getScoreBoard() const { return m_scoreBoard; }

    // Player 1's results of the last round.
    const WormSprite::Results& getResults() const { return m_results; }

    // The last round's tileset, which the score board draws its apples from.
    const std::string& getMapTileset() const { return m_mapTileset; }

    // The last round raised the map's best score.
    bool isNewHighscore() const { return m_newHighscore; }

private:
    // No scene, a skipped scene, or one whose last statement has run.
    bool scriptEnded();
    void startRound();
    void endRound();
    void showScoreBoard();
    // The ending after the last map, else the next map's scenes.
    void leaveScoreBoard();
    void closeScoreBoard();

    std::size_t m_mapIndex = 0;
    int m_state = BetweenMaps;
    CampaignFile* m_campaignFile;                   // owned
    ScriptHost* m_scene = nullptr;                  // owned; null while no scene runs
    GameEngine* m_gameEngine = nullptr;             // owned; a child during a round
    Configuration* m_configuration;                 // not owned
    Fernhouse::Sound::SoundManager* m_soundManager; // not owned
    WormSprite::Results m_results;
    std::string m_mapTileset;
    HighscoreTable* m_highscores;       // not owned
    ScoreBoard* m_scoreBoard = nullptr; // owned; a child while shown
    bool m_newHighscore = false;
};

} // namespace Tarvo
