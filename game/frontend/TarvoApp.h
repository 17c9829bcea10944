#pragma once

#include "engine/base/Application.h"
#include "engine/base/EventHandler.h"

#include "game/frontend/Stage.h"
#include "game/progress/Configuration.h"

#include <string>
#include <vector>

namespace Fernhouse::GUI
{
class Menu;
class Widget;
} // namespace Fernhouse::GUI

namespace Fernhouse::Sound
{
class SoundManager;
} // namespace Fernhouse::Sound

namespace Fernhouse::Graphics
{
class Font;
class Image;
} // namespace Fernhouse::Graphics

namespace Tarvo
{

class HighscoreTable;

// The game's application: loads the settings, opens the window, shows the splashes and the intro, then
// runs the menus from which single maps, two-player games, highscores, settings and credits start. One
// step of a small state machine per frame swaps what is shown once the previous screen object reports
// that it is done. An error anywhere ends the program after an "Error" box.
class TarvoApp final : public Fernhouse::Base::Application, public Fernhouse::Base::EventHandler
{
public:
    // Menus, and the commands their items carry.
    static constexpr int MainMenu = 10000;
    static constexpr int OnePlayerMenu = 10001;
    static constexpr int PlayMapCommand = 10002;
    static constexpr int PlayCampaignCommand = 10003;
    static constexpr int HighscoreCommand = 10005;
    static constexpr int TwoPlayerMenu = 10006;
    static constexpr int TwoPlayerMapCommand = 10007;
    static constexpr int SettingsMenu = 10008;
    static constexpr int AudioCommand = 10009;
    static constexpr int VideoCommand = 10010;
    static constexpr int ControllerMenu = 10011;
    static constexpr int PlayerOneCommand = 10012;
    static constexpr int PlayerTwoCommand = 10013;
    static constexpr int CreditsCommand = 10014;
    static constexpr int MapListMenu = 10015;
    static constexpr int CampaignListMenu = 10016;
    static constexpr int QuitCommand = 10017;

    // The states of the front end, by what they show.
    static constexpr int StartState = 0;
    static constexpr int BarSplashState = 1;
    static constexpr int FadeSplashState = 2;
    static constexpr int IntroState = 3;
    static constexpr int MenuState = 4;
    static constexpr int GameState = 5;
    static constexpr int CampaignState = 6;
    static constexpr int OnePlayerMapListState = 7;
    static constexpr int TwoPlayerMapListState = 8;
    static constexpr int CampaignListState = 9;
    static constexpr int HighscoreState = 10;
    static constexpr int AudioPanelState = 11;
    static constexpr int VideoPanelState = 12;
    static constexpr int PlayerOneState = 13;
    static constexpr int PlayerTwoState = 14;
    static constexpr int CreditsState = 15;

    static constexpr const char* ConfigurationFile = "./config.dat";

    // Loads "./config.dat" (defaults when it cannot be read) and opens the window; both failures are
    // written to the error log. The arguments are not used.
    TarvoApp(int argc, char** argv);
    // Saves the configuration; a failure is written to the error log.
    ~TarvoApp() override;

    // The whole game until a quit event. 0 after a normal quit and after an error that was shown; 1 when
    // the window could not be opened.
    int run() override;

    // run in pieces, so that tests can drive the game one frame at a time: startRun once, runFrame until
    // it returns false (a quit event), then endRun; a piece that throws is followed by failRun.
    void startRun();

    bool runFrame();

    void endRun();
    // The top-level error handling, called from a catch block: logs the exception in flight, takes down
    // what is shown, shows an "Error" box for engine and standard exceptions (not after a quit event: the
    // player asked to leave, and nobody would close it), and releases the rest. Returns run's result.
    int failRun();

    // Alt+Return switches between window and full screen. Never consumes the key.
    bool keyDown(SDLKey key, bool ctrl, bool shift, bool alt) override;

    // A new menu for one of the menu ids, null for any other id. Throws the loading errors of the maps or
    // campaigns a list menu names.
    Fernhouse::GUI::Menu* createMenu(int id);
    // Takes old (may be null) off the screen and the event router and deletes it, puts newWidget (may be
    // null) on both, and clicks when asked. Returns newWidget, which becomes the current widget.
    Fernhouse::GUI::Widget* switchWidget(Fernhouse::GUI::Widget* old, Fernhouse::GUI::Widget* newWidget,
                                         bool playClick);
    // The ".map" files of the directory "maps", by name. Throws std::filesystem::filesystem_error when the
    // directory cannot be read.
    void listMaps();
    // The ".cpj" files of the directory "campaigns", by name.
    void listCampaigns();

    // The files of a directory with exactly the extension, by name: directory order differs between file
    // systems, and the player should find the same list everywhere.
    static std::vector<std::string> listFiles(const char* directory, const char* extension);

    int getState() const { return m_state; }

    Configuration& getConfiguration() { return m_configuration; }

    const std::vector<std::string>& getMapFiles() const { return m_mapFiles; }

    const std::vector<std::string>& getCampaignFiles() const { return m_campaignFiles; }

    // Null when none is shown.
    Fernhouse::GUI::Widget* getCurrentWidget() const { return m_currentWidget; }

    Fernhouse::Graphics::Image* getMenuBackground() const { return m_menuBackground; }

    GameEngine* getGameEngine() const { return m_stage.getGameEngine(); }

    Campaign* getCampaign() const { return m_stage.getCampaign(); }

    ScriptEnvironment* getScriptEnvironment() const { return m_stage.getScriptEnvironment(); }

    HighscoreTable* getHighscores() const { return m_highscores; }

protected:
    void step() override;

private:
    // The two splashes, then the intro.
    void stepSplashes();
    // After the intro or the credits: the main menu.
    void endScene();
    // The menu a panel or the highscore view returns to.
    static int menuAbove(int panelState);
    void stepMenu();
    void stepMapList(bool twoPlayers);
    void stepCampaignList();
    void openMenu(int id, int state);
    void showPanel(Fernhouse::GUI::Widget* panel, int x, int y, int state);
    void returnToMainMenu();
    void removeMenuBackground();
    void startGame(std::size_t mapIndex, bool twoPlayers);
    void startCampaign(std::size_t campaignIndex);
    // Takes everything shown off the screen and the router and deletes it.
    void releaseShown();
    void releaseSplashes();
    // What startRun set up besides the shown objects.
    void releaseServices();

    Configuration m_configuration;
    std::vector<std::string> m_mapFiles;
    std::vector<std::string> m_campaignFiles;
    Fernhouse::Graphics::Font* m_menuFont = nullptr; // shared through FontManager; null outside run

    Fernhouse::GUI::Widget* m_currentWidget = nullptr;      // owned
    Fernhouse::Graphics::Image* m_menuBackground = nullptr; // owned
    HighscoreTable* m_highscores = nullptr;                 // owned
    Fernhouse::Graphics::Image* m_makerSplash = nullptr;    // owned
    Fernhouse::Graphics::Image* m_gameSplash = nullptr;     // owned
    int m_state = StartState;
    bool m_registered = false;  // the application's own handler is in the router
    bool m_menuContext = false; // "menu" was pushed on the sound manager
    bool m_creditsContext = false;
    bool m_quitRequested = false; // the frame loop ended on a quit event
    Stage m_stage{this};
};

} // namespace Tarvo
