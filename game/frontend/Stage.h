#pragma once

#include <string>

namespace Fernhouse::Base
{
class Application;
} // namespace Fernhouse::Base

namespace Tarvo
{

class Campaign;
class Configuration;
class GameEngine;
class HighscoreTable;
class ScriptEnvironment;
class ScriptHost;

// What plays while no menu is shown: the intro or credits scene, a round on one map, or a campaign, each
// put on the application's screen (a round also on its event router) and taken off again.
class Stage final
{
public:
    // The application is shared and outlives the stage; its window must be open before anything starts.
    explicit Stage(Fernhouse::Base::Application* application);
    Stage(const Stage&) = delete;
    Stage& operator=(const Stage&) = delete;
    ~Stage();

    // Throws the script's loading errors.
    void startScript(const std::string& fileName);
    // Runs one statement of the scene; true once it is over.
    bool scriptEnded();
    void stopScript();

    // The configuration gives the players' keys; throws the round's loading errors.
    void startGame(const std::string& mapPath, const Configuration& configuration, bool twoPlayers);
    void stopGame();

    // Loads the campaign and shows it, not yet started: the caller starts it. configuration and highscores
    // are shared and must outlive the campaign; throws the loading errors.
    void startCampaign(const std::string& campaignPath, Configuration* configuration,
                       HighscoreTable* highscores);
    void stopCampaign();

    // Stops whatever plays.
    void stop();

    // Null when none plays.
    GameEngine* getGameEngine() const { return m_gameEngine; }

    Campaign* getCampaign() const { return m_campaign; }

    ScriptEnvironment* getScriptEnvironment() const;

    // The pictures of a screen that is gone leave large holes in the heap; hands them back to the system.
    static void returnFreedMemory();

private:
    Fernhouse::Base::Application* m_application; // shared, outlives the stage
    ScriptHost* m_script = nullptr;              // owned; null while no scene runs
    GameEngine* m_gameEngine = nullptr;          // owned; null while no round runs
    Campaign* m_campaign = nullptr;              // owned; null while no campaign runs
};

} // namespace Tarvo
