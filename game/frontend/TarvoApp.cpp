#include "game/frontend/TarvoApp.h"

#include "engine/base/ErrorLog.h"
#include "engine/base/EventRouter.h"
#include "engine/base/Exception.h"
#include "engine/base/GameTime.h"
#include "engine/base/Screen.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/Image.h"
#include "engine/gui/Menu.h"
#include "engine/sound/SoundManager.h"

#include "game/frontend/AudioPanel.h"
#include "game/frontend/BarScrollSplash.h"
#include "game/frontend/FadeSplash.h"
#include "game/frontend/FatalError.h"
#include "game/frontend/GameSounds.h"
#include "game/frontend/GameWindow.h"
#include "game/frontend/HighscoreView.h"
#include "game/frontend/MenuBuilder.h"
#include "game/frontend/PlayerConfig.h"
#include "game/frontend/VideoPanel.h"
#include "game/play/GameEngine.h"
#include "game/play/MapFile.h"
#include "game/progress/Campaign.h"
#include "game/progress/CampaignFile.h"
#include "game/progress/HighscoreTable.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <cassert>
#include <filesystem>
#include <optional>

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
constexpr int KeyRepeatDelay = 500;       // ms
constexpr int KeyRepeatInterval = 30;     // ms
constexpr Uint32 FullscreenSettle = 1000; // ms the display gets to change mode before anything is drawn

constexpr int ExitNormal = 0;
constexpr int ExitNoWindow = 1;

constexpr Color BackgroundColor(0, 0, 0, 255);
constexpr int PanelX = 250;
constexpr int PanelY = 365;
constexpr int HighscoreX = 25;
constexpr int HighscoreY = 160;

static_assert(SDLK_ESCAPE == 27 && SDLK_RETURN == 13);

constexpr const char* MenuFontName = "comic_medium";
constexpr const char* MenuBackgroundFile = "graphics/menu_back.png";
constexpr const char* MakerSplashFile = "graphics/fernhouse_splash.png";
constexpr const char* GameSplashFile = "graphics/splash.png";
constexpr const char* IntroScript = "scripts/intro.fhs";
constexpr const char* CreditsScript = "scripts/credits.fhs";
constexpr const char* MapDirectory = "maps";
constexpr const char* CampaignDirectory = "campaigns";
constexpr const char* CampaignExtension = ".cpj";

Fernhouse::Base::Screen& screenOf(const TarvoApp& app)
{
    assert(app.getScreen() != nullptr && "the front end runs only once the window is open");
    return *app.getScreen();
}

} // namespace

std::vector<std::string> TarvoApp::listFiles(const char* directory, const char* extension)
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
        GameWindow::open(*this, Caption, m_configuration.isFullscreen());
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

    getFontManager()->setFontDirectory(GameWindow::FontDirectory);
    m_menuFont = getFontManager()->loadFont(MenuFontName);
    m_highscores = new HighscoreTable();

    Fernhouse::Sound::SoundManager* sound = getSoundManager();
    sound->setMusicVolume(m_configuration.getMusicVolume());
    sound->setSoundVolume(m_configuration.getSoundVolume());
    GameSounds::registerAll(sound);

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
    const std::optional<std::string> message = FatalError::logInFlight();
    // What failed may fail again when drawn, so the box is shown on an empty screen.
    releaseShown();
    // After a quit request the player is gone: a box would wait for a key nobody presses.
    if (message && !m_quitRequested)
    {
        FatalError::show(*message);
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

void TarvoApp::releaseShown()
{
    m_stage.stop();
    if (m_currentWidget != nullptr)
    {
        switchWidget(m_currentWidget, nullptr, false);
    }
    removeMenuBackground();
    releaseSplashes();
}

void TarvoApp::releaseSplashes()
{
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
    if (!MenuBuilder::isFixed(id) && id != MapListMenu && id != CampaignListMenu)
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
    return MenuBuilder::build(id, items, m_menuFont);
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
        getSoundManager()->playSound(GameSounds::ClickSound);
    }
    return newWidget;
}

void TarvoApp::listMaps()
{
    m_mapFiles.clear();
    m_mapFiles = listFiles(MapDirectory, MapFile::Extension);
}

void TarvoApp::listCampaigns()
{
    m_campaignFiles.clear();
    m_campaignFiles = listFiles(CampaignDirectory, CampaignExtension);
}

void TarvoApp::step()
{
    switch (m_state)
    {
        case StartState:
        case BarSplashState:
        case FadeSplashState:
            stepSplashes();
            break;
        case IntroState:
        case CreditsState:
            if (m_stage.scriptEnded())
            {
                endScene();
            }
            break;
        case MenuState:
            stepMenu();
            break;
        case GameState:
            if (m_stage.getGameEngine()->isFinished())
            {
                m_stage.stopGame();
                returnToMainMenu();
            }
            break;
        case CampaignState:
            if (m_stage.getCampaign()->isFinished())
            {
                m_stage.stopCampaign();
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
        case AudioPanelState:
        case VideoPanelState:
        case PlayerOneState:
        case PlayerTwoState:
            if (m_currentWidget->isDone())
            {
                openMenu(menuAbove(m_state), MenuState);
            }
            break;
        default:
            assert(false && "the front end has sixteen states");
            break;
    }
}

void TarvoApp::endScene()
{
    m_stage.stopScript();
    if (m_state == CreditsState)
    {
        m_creditsContext = false;
        getSoundManager()->popContext();
    }
    returnToMainMenu();
}

void TarvoApp::stepSplashes()
{
    const Fernhouse::Base::Size screenSize = screenOf(*this).getSize();
    if (m_state == StartState)
    {
        switchWidget(nullptr, new BarScrollSplash(m_makerSplash, screenSize), false);
        m_state = BarSplashState;
    }
    else if (m_state == BarSplashState && m_currentWidget->isDone())
    {
        switchWidget(m_currentWidget, new FadeSplash(m_makerSplash, m_gameSplash, screenSize), false);
        m_state = FadeSplashState;
    }
    else if (m_state == FadeSplashState && m_currentWidget->isDone())
    {
        switchWidget(m_currentWidget, nullptr, false);
        releaseSplashes();
        Stage::returnFreedMemory();
        m_state = IntroState;
        m_stage.startScript(IntroScript);
        getSoundManager()->pushContext(GameSounds::MenuContext);
        m_menuContext = true;
    }
}

int TarvoApp::menuAbove(int panelState)
{
    switch (panelState)
    {
        case HighscoreState:
            return OnePlayerMenu;
        case AudioPanelState:
        case VideoPanelState:
            return SettingsMenu;
        default:
            assert((panelState == PlayerOneState || panelState == PlayerTwoState) && "a panel's state");
            return ControllerMenu;
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
            m_stage.startScript(CreditsScript);
            getSoundManager()->pushContext(GameSounds::CreditsContext);
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

void TarvoApp::startGame(std::size_t mapIndex, bool twoPlayers)
{
    switchWidget(m_currentWidget, nullptr, true);
    removeMenuBackground();
    m_state = GameState;
    m_stage.startGame(m_mapFiles.at(mapIndex), m_configuration, twoPlayers);
}

void TarvoApp::startCampaign(std::size_t campaignIndex)
{
    switchWidget(m_currentWidget, nullptr, true);
    removeMenuBackground();
    m_stage.startCampaign(m_campaignFiles.at(campaignIndex), &m_configuration, m_highscores);
    m_state = CampaignState;
    m_stage.getCampaign()->start();
}

} // namespace Tarvo
