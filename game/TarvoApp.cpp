#include "game/TarvoApp.h"

#include "engine/base/ErrorLog.h"
#include "engine/base/EventRouter.h"
#include "engine/base/Exception.h"
#include "engine/base/GameTime.h"
#include "engine/base/Screen.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/Image.h"
#include "engine/gui/Menu.h"
#include "engine/io/KeyboardControl.h"
#include "engine/script/ScriptEngine.h"
#include "engine/sound/SoundManager.h"

#include "game/AIControl.h"
#include "game/AIFile.h"
#include "game/AlertBox.h"
#include "game/AudioPanel.h"
#include "game/BarScrollSplash.h"
#include "game/Campaign.h"
#include "game/CampaignFile.h"
#include "game/FadeSplash.h"
#include "game/GameEngine.h"
#include "game/GameType.h"
#include "game/HighscoreTable.h"
#include "game/HighscoreView.h"
#include "game/MapFile.h"
#include "game/PlayerConfig.h"
#include "game/ScriptEnvironment.h"
#include "game/VideoPanel.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <array>
#include <cassert>
#include <exception>
#include <filesystem>

namespace Tarvo
{

namespace
{

using Fernhouse::Base::Color;
using Fernhouse::Base::EventRouter;
namespace ErrorLog = Fernhouse::Base::ErrorLog;
using Fernhouse::Graphics::Image;
using Fernhouse::GUI::Menu;
using Fernhouse::GUI::Widget;

constexpr const char* Caption = "Tarvo";
constexpr std::uint32_t ScreenWidth = 800;
constexpr std::uint32_t ScreenHeight = 600;
constexpr std::uint32_t BitsPerPixel = 32;
constexpr int AudioFrequency = 44100;
constexpr std::uint16_t AudioFormat = AUDIO_S16LSB;
static_assert(AudioFormat == 0x8010);
constexpr int AudioChannels = 16;
constexpr int AudioChunkSize = 2048;
constexpr int KeyRepeatDelay = 500;       // ms
constexpr int KeyRepeatInterval = 30;     // ms
constexpr Uint32 FullscreenSettle = 1000; // ms the display gets to change mode before anything is drawn
constexpr int ExitNormal = 0;
constexpr int ExitNoWindow = 1;

constexpr Color BackgroundColor(0, 0, 0, 255);
constexpr Color MenuNormalColor(83, 148, 28, 255);
constexpr Color MenuSelectedColor(255, 90, 0, 255);
constexpr bool MenuWrap = true;
constexpr int MenuVisibleItems = 5;
constexpr int MenuX = 250;
constexpr int MenuY = 365;
constexpr int PanelX = 250;
constexpr int PanelY = 365;
constexpr int HighscoreX = 25;
constexpr int HighscoreY = 160;
constexpr int NoShortcut = 0;
constexpr int BackShortcut = SDLK_ESCAPE;
static_assert(SDLK_ESCAPE == 27 && SDLK_RETURN == 13);

constexpr const char* FontDirectory = "graphics/fonts/";
constexpr const char* MenuFontName = "comic_medium";
constexpr const char* ErrorFontName = "fixed_medium";
constexpr const char* ErrorTitle = "Error";
constexpr const char* UnexpectedError = "Unexpected exception.";
constexpr const char* MenuBackgroundFile = "graphics/menu_back.png";
constexpr const char* MakerSplashFile = "graphics/fernhouse_splash.png";
constexpr const char* GameSplashFile = "graphics/splash.png";
constexpr const char* IntroScript = "scripts/intro.fhs";
constexpr const char* CreditsScript = "scripts/credits.fhs";
constexpr const char* MapDirectory = "maps";
constexpr const char* MapExtension = ".map";
constexpr const char* CampaignDirectory = "campaigns";
constexpr const char* CampaignExtension = ".cpj";

constexpr const char* MenuContext = "menu";
constexpr const char* CreditsContext = "credits";
constexpr const char* GameContext = "game";
constexpr const char* ClickSound = "click";

// Sounds are loaded at start-up, music when its context is first pushed.
struct SoundEntry
{
    const char* context;
    const char* name;
    const char* file;
    bool music;
};

constexpr std::array<SoundEntry, 12> Sounds{{
    {MenuContext, ClickSound, "sounds/menuClick.wav", false},
    {MenuContext, "hover", "sounds/menuHover.wav", false},
    {MenuContext, "song1", "sounds/song1.ogg", true},
    {CreditsContext, "song2", "sounds/song2.ogg", true},
    {GameContext, "eatNormal", "sounds/wormEatNormal.wav", false},
    {GameContext, "eatRotten", "sounds/wormEatRotten.wav", false},
    {GameContext, "eatBeer", "sounds/wormEatBeer.wav", false},
    {GameContext, "eatTurbo", "sounds/wormEatTurbo.wav", false},
    {GameContext, "eatSuper", "sounds/wormEatSuper.wav", false},
    {GameContext, "eatCake", "sounds/wormEatCake.wav", false},
    {GameContext, "die", "sounds/wormDie.wav", false},
    {GameContext, "move", "sounds/wormMove.wav", false},
}};

struct MenuEntry
{
    int menu;
    const char* text;
    int id;
};

constexpr const char* BackText = "BACK..";
constexpr const char* ListBackText = "BACK...";

// The fixed menus, items in display order; an item leading to the main menu is a back item.
constexpr std::array<MenuEntry, 18> FixedMenus{{
    {TarvoApp::MainMenu, "ONE PLAYER", TarvoApp::OnePlayerMenu},
    {TarvoApp::MainMenu, "TWO PLAYER", TarvoApp::TwoPlayerMenu},
    {TarvoApp::MainMenu, "SETTINGS", TarvoApp::SettingsMenu},
    {TarvoApp::MainMenu, "CREDITS", TarvoApp::CreditsCommand},
    {TarvoApp::MainMenu, "QUIT", TarvoApp::QuitCommand},
    {TarvoApp::OnePlayerMenu, "PLAY CAMPAIGN", TarvoApp::PlayCampaignCommand},
    {TarvoApp::OnePlayerMenu, "PLAY MAP", TarvoApp::PlayMapCommand},
    {TarvoApp::OnePlayerMenu, "HIGHSCORE", TarvoApp::HighscoreCommand},
    {TarvoApp::OnePlayerMenu, BackText, TarvoApp::MainMenu},
    {TarvoApp::TwoPlayerMenu, "NEW GAME", TarvoApp::TwoPlayerMapCommand},
    {TarvoApp::TwoPlayerMenu, BackText, TarvoApp::MainMenu},
    {TarvoApp::SettingsMenu, "AUDIO", TarvoApp::AudioCommand},
    {TarvoApp::SettingsMenu, "VIDEO", TarvoApp::VideoCommand},
    {TarvoApp::SettingsMenu, "CONTROLLER", TarvoApp::ControllerMenu},
    {TarvoApp::SettingsMenu, BackText, TarvoApp::MainMenu},
    {TarvoApp::ControllerMenu, "PLAYER ONE", TarvoApp::PlayerOneCommand},
    {TarvoApp::ControllerMenu, "PLAYER TWO", TarvoApp::PlayerTwoCommand},
    {TarvoApp::ControllerMenu, BackText, TarvoApp::MainMenu},
}};

// Rounds from a map list: the last worm alive wins, within a time limit.
constexpr std::int32_t MapGameType = GAME_ENEMIES;
constexpr std::int32_t MapGameGoal = 0;
constexpr std::int32_t OnePlayerTimeLimit = 180000; // ms
constexpr std::int32_t TwoPlayerTimeLimit = 300000; // ms
constexpr const char* PlayerOneName = "Tarvo";
constexpr const char* PlayerOneSkin = "tarvo";
constexpr const char* PlayerTwoName = "Piggy";
constexpr const char* PlayerTwoSkin = "king";
constexpr const char* ComputerPlayer = "buffy";
constexpr std::uint32_t ComputerControlMode = 0;
constexpr const char* DefaultBackground = "";

Fernhouse::Base::Screen& screenOf(const TarvoApp& app)
{
    assert(app.getScreen() != nullptr && "the front end runs only once the window is open");
    return *app.getScreen();
}

// The files of directory with exactly the extension, by name: directory order differs between file
// systems, and the player should find the same list everywhere.
std::vector<std::string> listFiles(const char* directory, const char* extension)
{
    std::vector<std::string> files;
    for (const std::filesystem::directory_entry& entry : std::filesystem::directory_iterator(directory))
    {
        if (!entry.is_directory() && entry.path().extension().string() == extension)
        {
            files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

TarvoApp::TarvoApp(int /*argc*/, char** /*argv*/)
{
    try
    {
        m_configuration.load(ConfigurationFile);
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        ErrorLog::write(e);
        m_configuration.setDefaults();
    }
    try
    {
        init(Caption, ScreenWidth, ScreenHeight, BitsPerPixel, m_configuration.isFullscreen(), AudioFrequency,
             AudioFormat, AudioChannels, AudioChunkSize);
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        ErrorLog::write(e);
    }
}

TarvoApp::~TarvoApp()
{
    // Only left over when a test stopped driving the frames early; run always releases everything.
    releaseShown();
    try
    {
        releaseServices();
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        ErrorLog::write(e);
    }
    try
    {
        m_configuration.save(ConfigurationFile);
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        ErrorLog::write(e);
    }
}

int TarvoApp::run()
{
    if (getScreen() == nullptr)
    {
        return ExitNoWindow;
    }
    try
    {
        startRun();
        while (runFrame())
        {
        }
        endRun();
    }
    catch (...)
    {
        return failRun();
    }
    return ExitNormal;
}

void TarvoApp::startRun()
{
    EventRouter* router = getEventRouter();
    router->enableKeyRepeat(KeyRepeatDelay, KeyRepeatInterval);
    router->addHandler(this);
    m_registered = true;
    Fernhouse::Base::Screen& screen = screenOf(*this);
    screen.setBackgroundColor(BackgroundColor);
    if (screen.isFullscreen())
    {
        SDL_Delay(FullscreenSettle);
    }
    getGameTime()->start();

    getFontManager()->setFontDirectory(FontDirectory);
    m_menuFont = getFontManager()->loadFont(MenuFontName);
    m_highscores = new HighscoreTable();

    Fernhouse::Sound::SoundManager* sound = getSoundManager();
    sound->setMusicVolume(m_configuration.getMusicVolume());
    sound->setSoundVolume(m_configuration.getSoundVolume());
    for (const SoundEntry& entry : Sounds)
    {
        if (entry.music)
        {
            sound->addMusic(entry.context, entry.name, entry.file, false);
        }
        else
        {
            sound->addSound(entry.context, entry.name, entry.file, true);
        }
    }

    m_makerSplash = new Image(MakerSplashFile);
    m_gameSplash = new Image(GameSplashFile);
    m_state = StartState;
}

bool TarvoApp::runFrame()
{
    const bool running = frame();
    m_quitRequested = m_quitRequested || !running;
    return running;
}

void TarvoApp::endRun()
{
    releaseShown();
    releaseServices();
}

int TarvoApp::failRun()
{
    std::string message;
    bool shown = true;
    try
    {
        throw;
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        ErrorLog::write(e);
        message = e.getMessage();
    }
    catch (const std::exception& e)
    {
        ErrorLog::write(e.what());
        message = e.what();
    }
    catch (...)
    {
        ErrorLog::write(UnexpectedError);
        shown = false;
    }
    // What failed may fail again when drawn, so the box is shown on an empty screen.
    releaseShown();
    // After a quit request the player is gone: a box would wait for a key nobody presses.
    if (shown && !m_quitRequested)
    {
        showError(message);
    }
    try
    {
        releaseServices();
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        ErrorLog::write(e);
    }
    return ExitNormal;
}

void TarvoApp::showError(const std::string& message)
{
    // The box needs its font; without it the log entry is all the player gets.
    try
    {
        (new AlertBox(ErrorTitle, message, ErrorFontName))->show();
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        ErrorLog::write(e);
    }
}

void TarvoApp::releaseShown()
{
    stopScript();
    stopGame();
    stopCampaign();
    if (m_currentWidget != nullptr)
    {
        switchWidget(m_currentWidget, nullptr, false);
    }
    removeMenuBackground();
    delete m_makerSplash;
    m_makerSplash = nullptr;
    delete m_gameSplash;
    m_gameSplash = nullptr;
}

void TarvoApp::releaseServices()
{
    if (m_registered)
    {
        getEventRouter()->removeHandler(this);
        m_registered = false;
    }
    // Cleared before the delete: a table that fails to save must not be deleted twice.
    HighscoreTable* highscores = m_highscores;
    m_highscores = nullptr;
    delete highscores;
    Fernhouse::Sound::SoundManager* sound = getSoundManager();
    if (m_creditsContext)
    {
        m_creditsContext = false;
        sound->popContext();
    }
    if (m_menuContext)
    {
        m_menuContext = false;
        sound->popContext();
    }
    if (m_menuFont != nullptr)
    {
        Fernhouse::Graphics::Font* font = m_menuFont;
        m_menuFont = nullptr;
        getFontManager()->freeFont(font);
    }
}

bool TarvoApp::keyDown(SDLKey key, bool /*ctrl*/, bool /*shift*/, bool alt)
{
    if (key == SDLK_RETURN && alt && getScreen() != nullptr)
    {
        getScreen()->setFullscreen(!getScreen()->isFullscreen());
    }
    return false;
}

Menu* TarvoApp::createMenu(int id)
{
    const bool fixed = std::any_of(FixedMenus.begin(), FixedMenus.end(),
                                   [id](const MenuEntry& entry) { return entry.menu == id; });
    if (!fixed && id != MapListMenu && id != CampaignListMenu)
    {
        return nullptr;
    }
    // The list menus read files first, so that an error leaves no half-built menu behind.
    std::vector<std::pair<int, std::string>> items;
    if (id == MapListMenu)
    {
        listMaps();
        for (std::size_t i = 0; i < m_mapFiles.size(); ++i)
        {
            items.emplace_back(static_cast<int>(i), MapFile(m_mapFiles[i]).getName());
        }
    }
    else if (id == CampaignListMenu)
    {
        listCampaigns();
        for (std::size_t i = 0; i < m_campaignFiles.size(); ++i)
        {
            CampaignFile campaign;
            campaign.load(m_campaignFiles[i]);
            if (m_configuration.isCampaignUnlocked(campaign.getLockKey()))
            {
                items.emplace_back(static_cast<int>(i), campaign.getName());
            }
        }
    }

    auto* menu = new Menu(m_menuFont, &MenuNormalColor, &MenuSelectedColor, nullptr, nullptr, MenuWrap,
                          MenuVisibleItems, Menu::AlignCenter);
    menu->setPosition(MenuX, MenuY);
    for (const auto& [itemId, text] : items)
    {
        menu->addItem(itemId, text, NoShortcut);
    }
    if (!fixed)
    {
        menu->addItem(MainMenu, ListBackText, BackShortcut);
    }
    for (const MenuEntry& entry : FixedMenus)
    {
        if (entry.menu == id)
        {
            menu->addItem(entry.id, entry.text, entry.id == MainMenu ? BackShortcut : NoShortcut);
        }
    }
    return menu;
}

Widget* TarvoApp::switchWidget(Widget* old, Widget* newWidget, bool playClick)
{
    Fernhouse::Base::Screen& screen = screenOf(*this);
    if (old != nullptr)
    {
        screen.removeChild(old);
        getEventRouter()->removeHandler(old);
        delete old;
    }
    m_currentWidget = newWidget;
    if (newWidget != nullptr)
    {
        screen.addChild(newWidget);
        getEventRouter()->addHandler(newWidget);
    }
    if (playClick)
    {
        getSoundManager()->playSound(ClickSound);
    }
    return newWidget;
}

void TarvoApp::listMaps()
{
    m_mapFiles.clear();
    m_mapFiles = listFiles(MapDirectory, MapExtension);
}

void TarvoApp::listCampaigns()
{
    m_campaignFiles.clear();
    m_campaignFiles = listFiles(CampaignDirectory, CampaignExtension);
}

void TarvoApp::step()
{
    Fernhouse::Base::Screen& screen = screenOf(*this);
    switch (m_state)
    {
        case StartState:
            switchWidget(nullptr, new BarScrollSplash(m_makerSplash, screen.getSize()), false);
            m_state = BarSplashState;
            break;
        case BarSplashState:
            if (m_currentWidget->isDone())
            {
                switchWidget(m_currentWidget, new FadeSplash(m_makerSplash, m_gameSplash, screen.getSize()),
                             false);
                m_state = FadeSplashState;
            }
            break;
        case FadeSplashState:
            if (m_currentWidget->isDone())
            {
                switchWidget(m_currentWidget, nullptr, false);
                delete m_makerSplash;
                m_makerSplash = nullptr;
                delete m_gameSplash;
                m_gameSplash = nullptr;
                m_state = IntroState;
                startScript(IntroScript);
                getSoundManager()->pushContext(MenuContext);
                m_menuContext = true;
            }
            break;
        case IntroState:
            if (scriptEnded())
            {
                stopScript();
                returnToMainMenu();
            }
            break;
        case MenuState:
            stepMenu();
            break;
        case GameState:
            if (m_gameEngine->isFinished())
            {
                stopGame();
                returnToMainMenu();
            }
            break;
        case CampaignState:
            if (m_campaign->isFinished())
            {
                stopCampaign();
                returnToMainMenu();
            }
            break;
        case OnePlayerMapListState:
            stepMapList(false);
            break;
        case TwoPlayerMapListState:
            stepMapList(true);
            break;
        case CampaignListState:
            stepCampaignList();
            break;
        case HighscoreState:
            if (m_currentWidget->isDone())
            {
                openMenu(OnePlayerMenu, MenuState);
            }
            break;
        case AudioPanelState:
        case VideoPanelState:
            if (m_currentWidget->isDone())
            {
                openMenu(SettingsMenu, MenuState);
            }
            break;
        case PlayerOneState:
        case PlayerTwoState:
            if (m_currentWidget->isDone())
            {
                openMenu(ControllerMenu, MenuState);
            }
            break;
        case CreditsState:
            if (scriptEnded())
            {
                stopScript();
                m_creditsContext = false;
                getSoundManager()->popContext();
                returnToMainMenu();
            }
            break;
        default:
            assert(false && "the front end has sixteen states");
            break;
    }
}

void TarvoApp::stepMenu()
{
    if (!m_currentWidget->isDone())
    {
        return;
    }
    const int id = static_cast<Menu*>(m_currentWidget)->getSelectedId();
    switch (id)
    {
        case PlayMapCommand:
            openMenu(MapListMenu, OnePlayerMapListState);
            break;
        case TwoPlayerMapCommand:
            openMenu(MapListMenu, TwoPlayerMapListState);
            break;
        case PlayCampaignCommand:
            openMenu(CampaignListMenu, CampaignListState);
            break;
        case HighscoreCommand:
            showPanel(new HighscoreView(m_highscores), HighscoreX, HighscoreY, HighscoreState);
            break;
        case AudioCommand:
            showPanel(new AudioPanel(&m_configuration, getSoundManager()), PanelX, PanelY, AudioPanelState);
            break;
        case VideoCommand:
            showPanel(new VideoPanel(&m_configuration, getScreen()), PanelX, PanelY, VideoPanelState);
            break;
        case PlayerOneCommand:
            showPanel(new PlayerConfig(&m_configuration, true), PanelX, PanelY, PlayerOneState);
            break;
        case PlayerTwoCommand:
            showPanel(new PlayerConfig(&m_configuration, false), PanelX, PanelY, PlayerTwoState);
            break;
        case CreditsCommand:
            switchWidget(m_currentWidget, nullptr, true);
            removeMenuBackground();
            m_state = CreditsState;
            startScript(CreditsScript);
            getSoundManager()->pushContext(CreditsContext);
            m_creditsContext = true;
            break;
        case QuitCommand:
            getEventRouter()->pushQuit();
            break;
        default:
            openMenu(id, MenuState);
            break;
    }
}

void TarvoApp::showPanel(Widget* panel, int x, int y, int state)
{
    panel->setPosition(x, y);
    switchWidget(m_currentWidget, panel, true);
    m_state = state;
}

void TarvoApp::stepMapList(bool twoPlayers)
{
    if (!m_currentWidget->isDone())
    {
        return;
    }
    const int id = static_cast<Menu*>(m_currentWidget)->getSelectedId();
    if (id == MainMenu)
    {
        openMenu(twoPlayers ? TwoPlayerMenu : OnePlayerMenu, MenuState);
        return;
    }
    startGame(static_cast<std::size_t>(id), twoPlayers);
}

void TarvoApp::stepCampaignList()
{
    if (!m_currentWidget->isDone())
    {
        return;
    }
    const int id = static_cast<Menu*>(m_currentWidget)->getSelectedId();
    if (id == MainMenu)
    {
        openMenu(OnePlayerMenu, MenuState);
        return;
    }
    startCampaign(static_cast<std::size_t>(id));
}

bool TarvoApp::scriptEnded() const
{
    return m_scriptEnvironment->isDone() || !m_scriptEngine->run();
}

void TarvoApp::openMenu(int id, int state)
{
    Menu* menu = createMenu(id);
    assert(menu != nullptr && "every id a menu item opens names a menu");
    switchWidget(m_currentWidget, menu, true);
    m_state = state;
}

void TarvoApp::returnToMainMenu()
{
    m_menuBackground = new Image(MenuBackgroundFile, Image::ScreenTiles);
    screenOf(*this).addChild(m_menuBackground);
    switchWidget(nullptr, createMenu(MainMenu), false);
    m_state = MenuState;
}

void TarvoApp::removeMenuBackground()
{
    if (m_menuBackground != nullptr)
    {
        screenOf(*this).removeChild(m_menuBackground);
        delete m_menuBackground;
        m_menuBackground = nullptr;
    }
}

void TarvoApp::startScript(const std::string& fileName)
{
    m_scriptEngine = new Fernhouse::Script::ScriptEngine();
    m_scriptEnvironment = new ScriptEnvironment(m_scriptEngine, getSoundManager());
    m_scriptEngine->load(fileName);
    screenOf(*this).addChild(m_scriptEnvironment);
    getEventRouter()->addHandler(m_scriptEnvironment);
}

void TarvoApp::stopScript()
{
    if (m_scriptEnvironment != nullptr)
    {
        screenOf(*this).removeChild(m_scriptEnvironment);
        getEventRouter()->removeHandler(m_scriptEnvironment);
    }
    // The engine calls into the environment, so it goes first.
    delete m_scriptEngine;
    m_scriptEngine = nullptr;
    delete m_scriptEnvironment;
    m_scriptEnvironment = nullptr;
}

void TarvoApp::startGame(std::size_t mapIndex, bool twoPlayers)
{
    switchWidget(m_currentWidget, nullptr, true);
    removeMenuBackground();
    m_state = GameState;
    m_gameEngine = new GameEngine(m_mapFiles.at(mapIndex), getSoundManager());
    m_gameEngine->setGame(MapGameType, MapGameGoal, twoPlayers ? TwoPlayerTimeLimit : OnePlayerTimeLimit);

    auto* playerOne = new Fernhouse::IO::KeyboardControl(m_configuration.getPlayer1Keys());
    playerOne->setRegistered(true);
    m_gameEngine->addPlayer(PlayerOneName, playerOne, PlayerOneSkin, m_configuration.getPlayer1Relative());
    if (twoPlayers)
    {
        auto* playerTwo = new Fernhouse::IO::KeyboardControl(m_configuration.getPlayer2Keys());
        playerTwo->setRegistered(true);
        m_gameEngine->addPlayer(PlayerTwoName, playerTwo, PlayerTwoSkin,
                                m_configuration.getPlayer2Relative());
    }
    else
    {
        const int freeStarts = m_gameEngine->getStartPointCount() - m_gameEngine->getWormCount();
        for (int i = 0; i < freeStarts; ++i)
        {
            auto* computer = new AIControl(ComputerPlayer, m_gameEngine);
            // Copied: the engine deletes the control when adding it fails.
            const std::string name = computer->getAIFile().getName();
            const std::string skin = computer->getAIFile().getSkin();
            m_gameEngine->addPlayer(name, computer, skin, ComputerControlMode);
        }
    }
    screenOf(*this).addChild(m_gameEngine);
    getEventRouter()->addHandler(m_gameEngine);
    m_gameEngine->start(DefaultBackground);
}

void TarvoApp::stopGame()
{
    if (m_gameEngine != nullptr)
    {
        getEventRouter()->removeHandler(m_gameEngine);
        screenOf(*this).removeChild(m_gameEngine);
        delete m_gameEngine;
        m_gameEngine = nullptr;
    }
}

void TarvoApp::startCampaign(std::size_t campaignIndex)
{
    switchWidget(m_currentWidget, nullptr, true);
    removeMenuBackground();
    m_campaign =
        new Campaign(m_campaignFiles.at(campaignIndex), &m_configuration, getSoundManager(), m_highscores);
    screenOf(*this).addChild(m_campaign);
    m_state = CampaignState;
    m_campaign->start();
}

void TarvoApp::stopCampaign()
{
    if (m_campaign != nullptr)
    {
        screenOf(*this).removeChild(m_campaign);
        delete m_campaign;
        m_campaign = nullptr;
    }
}

} // namespace Tarvo
