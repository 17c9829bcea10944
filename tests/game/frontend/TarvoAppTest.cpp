#include "game/frontend/TarvoApp.h"

#include "engine/base/EventRouter.h"
#include "engine/base/Screen.h"
#include "engine/graphics/Image.h"
#include "engine/gui/Menu.h"
#include "engine/io/KeyboardControl.h"
#include "engine/sound/SoundContext.h"
#include "engine/sound/SoundManager.h"

#include "game/ai/AIControl.h"
#include "game/frontend/AudioPanel.h"
#include "game/frontend/HighscoreView.h"
#include "game/frontend/PlayerConfig.h"
#include "game/frontend/ScriptEnvironment.h"
#include "game/play/GameEngine.h"
#include "game/play/MapFile.h"
#include "game/play/WormSprite.h"
#include "game/progress/Campaign.h"
#include "game/progress/Configuration.h"
#include "game/progress/HighscoreTable.h"

#include "tests/support/FakeClock.h"
#include "tests/support/TempDir.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

using Fernhouse::Base::Entity;
using Fernhouse::GUI::Menu;
using Tarvo::TarvoApp;
using TestSupport::FakeClock;
using TestSupport::ScopedWorkingDirectory;
using TestSupport::TempDir;

namespace
{

constexpr const char* Separator = "--------------------------------\n";

// Effects the mixer has finished, counted on its thread.
std::atomic<int> g_finishedEffects{0};

void countFinishedEffect(int /*channel*/)
{
    ++g_finishedEffects;
}

// Whether an effect ends within a second: a click lasts a tenth, however slowly the frames run.
bool effectEnds()
{
    for (int i = 0; i < 100 && g_finishedEffects == 0; ++i)
    {
        SDL_Delay(10);
    }
    return g_finishedEffects > 0;
}

std::size_t countRecords(const std::string& log)
{
    std::size_t count = 0;
    for (std::size_t at = log.find(Separator); at != std::string::npos; at = log.find(Separator, at + 1))
    {
        ++count;
    }
    return count;
}

// The game's own pictures, fonts, sounds, scripts and computer players, linked into dir.
void linkGameData(const TempDir& dir)
{
    for (const char* data : {"graphics", "sounds", "scripts", "ai"})
    {
        std::filesystem::create_directory_symlink(std::filesystem::path(TARVO_SOURCE_DIR) / data,
                                                  dir.path() / data);
    }
}

// A walled 20 x 15 meadow with start points 1 to starts along its middle row.
void writeMap(const TempDir& dir, const std::string& fileName, const std::string& title, int starts)
{
    constexpr std::int32_t Width = 20;
    constexpr std::int32_t Height = 15;
    constexpr std::int32_t Ground = 16;
    constexpr std::int32_t Wall = 48;
    Tarvo::MapFile map(3, Width, Height);
    map.setName(title);
    map.setGraphicsFileName("graphics/tilesets/meadow.png");
    for (std::int32_t x = 0; x < Width; ++x)
    {
        for (std::int32_t y = 0; y < Height; ++y)
        {
            map.setTile(0, x, y, Ground);
            if (x == 0 || y == 0 || x == Width - 1 || y == Height - 1)
            {
                map.setTile(Tarvo::GameEngine::WallLayer, x, y, Wall);
            }
        }
    }
    for (int k = 1; k <= starts; ++k)
    {
        map.setTile(Tarvo::GameEngine::StartLayer, 4 * k, Height / 2, k);
    }
    map.save(dir.file("maps/" + fileName));
}

// The game in a fresh working directory with its data linked in, a windowed configuration and a fake
// clock, driven one frame at a time.
class TarvoAppTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        linkGameData(m_dir);
        std::filesystem::create_directory(m_dir.path() / "maps");
        std::filesystem::create_directory(m_dir.path() / "campaigns");
        Tarvo::Configuration().save(m_dir.file("config.dat"));
    }

    void TearDown() override { closeGame(); }

    void openGame()
    {
        m_app = std::make_unique<TarvoApp>(0, nullptr);
        ASSERT_NE(m_app->getScreen(), nullptr);
        m_app->startRun();
    }

    void closeGame()
    {
        if (m_app)
        {
            m_app->endRun();
            m_app.reset();
        }
    }

    // One frame after ms of game time.
    void frame(std::uint32_t ms = 20)
    {
        m_clock.advance(ms);
        ASSERT_TRUE(m_app->runFrame());
    }

    // Windows of tests running beside this one on the same display send focus, pointer and window events;
    // they rightly ask for a frame, but not one that a still stretch of keys expects.
    static void dropForeignEvents()
    {
        SDL_PumpEvents();
        SDL_Event event;
        const Uint32 foreign = SDL_ALLEVENTS & ~(SDL_KEYDOWNMASK | SDL_KEYUPMASK);
        while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, foreign) > 0)
        {
        }
    }

    static void press(SDLKey key, SDLMod mod = KMOD_NONE)
    {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.keysym.sym = key;
        event.key.keysym.mod = mod;
        ASSERT_EQ(SDL_PushEvent(&event), 0);
    }

    // The keys reach the current widget in one frame, whose step then acts on them.
    void keys(std::initializer_list<SDLKey> pressed)
    {
        for (const SDLKey key : pressed)
        {
            press(key);
        }
        frame();
    }

    // Through both splashes and the intro, each skipped with a key.
    void openMainMenu()
    {
        openGame();
        frame();
        keys({SDLK_ESCAPE});
        keys({SDLK_ESCAPE});
        keys({SDLK_ESCAPE});
        ASSERT_EQ(m_app->getState(), TarvoApp::MenuState);
    }

    Menu* menu() const { return dynamic_cast<Menu*>(m_app->getCurrentWidget()); }

    std::vector<std::string> menuTexts() const
    {
        std::vector<std::string> texts;
        if (menu() != nullptr)
        {
            for (const Fernhouse::GUI::MenuItem& item : menu()->getItems())
            {
                texts.push_back(item.text);
            }
        }
        return texts;
    }

    std::vector<int> menuIds() const
    {
        std::vector<int> ids;
        for (const Fernhouse::GUI::MenuItem& item : menu()->getItems())
        {
            ids.push_back(item.id);
        }
        return ids;
    }

    const std::vector<Entity*>& shown() const { return m_app->getScreen()->getChildren(); }

    std::string topContext() const { return m_app->getSoundManager()->topContext()->getName(); }

    TempDir m_dir;
    ScopedWorkingDirectory m_cwd{m_dir.path()};
    FakeClock m_clock{1000};
    std::unique_ptr<TarvoApp> m_app;
};

using Texts = std::vector<std::string>;

// What the window shows: frames that are not drawn leave the last picture in place.
std::vector<std::uint8_t> shownPixels(const Fernhouse::Base::Screen& screen)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(3 * screen.getWidth() * screen.getHeight()));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, static_cast<GLsizei>(screen.getWidth()), static_cast<GLsizei>(screen.getHeight()),
                 GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

// One stretch of a walk through the game: keys pressed together, then frames of ms each. In a still
// stretch nothing changes on screen after its first frame, so nothing may be drawn.
struct Stretch
{
    std::vector<SDLKey> keys;
    int frames;
    std::uint32_t ms;
    bool still = false;
};

struct Walk
{
    const char* name;
    int starts; // of the one map in the maps directory
    std::vector<Stretch> stretches;
    bool fromMenu = true; // after skipping the splashes and the intro, as a player does
};

} // namespace

TEST_F(TarvoAppTest, SplashesRunOnGameTimeThenTheIntroLeadsToTheMainMenuOnItsBackground)
{
    openGame();
    frame();
    EXPECT_EQ(m_app->getState(), TarvoApp::BarSplashState);
    EXPECT_EQ(shown(), std::vector<Entity*>{m_app->getCurrentWidget()});
    // The bars slide for a second and stay joined one and a half.
    frame(1000);
    frame(1499);
    EXPECT_EQ(m_app->getState(), TarvoApp::BarSplashState);
    frame(1);
    frame();
    EXPECT_EQ(m_app->getState(), TarvoApp::FadeSplashState);
    keys({SDLK_SPACE});
    EXPECT_EQ(m_app->getState(), TarvoApp::IntroState);
    ASSERT_NE(m_app->getScriptEnvironment(), nullptr);
    EXPECT_EQ(shown(), std::vector<Entity*>{m_app->getScriptEnvironment()});
    EXPECT_EQ(topContext(), "menu");

    keys({SDLK_RETURN});
    EXPECT_EQ(m_app->getState(), TarvoApp::MenuState);
    EXPECT_EQ(m_app->getScriptEnvironment(), nullptr);
    ASSERT_NE(m_app->getMenuBackground(), nullptr);
    EXPECT_EQ(shown(), (std::vector<Entity*>{m_app->getMenuBackground(), m_app->getCurrentWidget()}));
    EXPECT_EQ(menuTexts(), (Texts{"ONE PLAYER", "TWO PLAYER", "SETTINGS", "CREDITS", "QUIT"}));
    // Landing in the main menu makes no click.
    EXPECT_EQ(Mix_Playing(-1), 0);
}

TEST_F(TarvoAppTest, MenusOpenWithAClickAndEscapeChoosesTheBackItem)
{
    openMainMenu();
    g_finishedEffects = 0;
    Mix_ChannelFinished(countFinishedEffect);
    keys({SDLK_RETURN});
    EXPECT_EQ(menuTexts(), (Texts{"PLAY CAMPAIGN", "PLAY MAP", "HIGHSCORE", "BACK.."}));
    EXPECT_TRUE(effectEnds());
    Mix_ChannelFinished(nullptr);
    keys({SDLK_ESCAPE});
    EXPECT_EQ(menuTexts()[0], "ONE PLAYER");

    keys({SDLK_DOWN, SDLK_RETURN});
    EXPECT_EQ(menuTexts(), (Texts{"NEW GAME", "BACK.."}));
    keys({SDLK_ESCAPE});
    keys({SDLK_DOWN, SDLK_DOWN, SDLK_RETURN});
    EXPECT_EQ(menuTexts(), (Texts{"AUDIO", "VIDEO", "CONTROLLER", "BACK.."}));
    keys({SDLK_UP, SDLK_UP, SDLK_RETURN});
    EXPECT_EQ(menuTexts(), (Texts{"PLAYER ONE", "PLAYER TWO", "BACK.."}));
    keys({SDLK_ESCAPE});
    EXPECT_EQ(menuTexts()[0], "ONE PLAYER");
    EXPECT_EQ(m_app->createMenu(TarvoApp::QuitCommand), nullptr);
}

TEST_F(TarvoAppTest, OnePlayerMapFillsTheFreeStartsWithComputerWormsAndEscapeReturnsToTheMainMenu)
{
    writeMap(m_dir, "b.map", "Second", 2);
    writeMap(m_dir, "a.map", "First", 3);
    // Neither a directory nor another extension is a map.
    std::filesystem::create_directory(m_dir.path() / "maps/folder.map");
    m_dir.writeFile("maps/notes.MAP", "1\n");
    openMainMenu();
    keys({SDLK_RETURN});
    keys({SDLK_DOWN, SDLK_RETURN});
    EXPECT_EQ(m_app->getState(), TarvoApp::OnePlayerMapListState);
    EXPECT_EQ(m_app->getMapFiles(), (Texts{"maps/a.map", "maps/b.map"}));
    EXPECT_EQ(menuTexts(), (Texts{"First", "Second", "BACK..."}));
    EXPECT_EQ(menuIds(), (std::vector<int>{0, 1, TarvoApp::MainMenu}));

    keys({SDLK_RETURN});
    EXPECT_EQ(m_app->getState(), TarvoApp::GameState);
    Tarvo::GameEngine* engine = m_app->getGameEngine();
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(m_app->getMenuBackground(), nullptr);
    EXPECT_EQ(m_app->getCurrentWidget(), nullptr);
    EXPECT_EQ(shown(), std::vector<Entity*>{engine});
    EXPECT_EQ(engine->getSettings().timeLimit, 180000);
    ASSERT_EQ(engine->getWorms().size(), 3u);
    EXPECT_EQ(engine->getWorms()[0]->getName(), "Tarvo");
    EXPECT_NE(dynamic_cast<Fernhouse::IO::KeyboardControl*>(engine->getWorms()[0]->getControl()), nullptr);
    for (std::size_t i = 1; i < 3; ++i)
    {
        EXPECT_EQ(engine->getWorms()[i]->getName(), "buffy");
        EXPECT_NE(dynamic_cast<Tarvo::AIControl*>(engine->getWorms()[i]->getControl()), nullptr);
    }
    EXPECT_EQ(topContext(), "game");

    keys({SDLK_ESCAPE});
    frame();
    EXPECT_EQ(m_app->getState(), TarvoApp::MenuState);
    EXPECT_EQ(m_app->getGameEngine(), nullptr);
    EXPECT_EQ(menuTexts()[0], "ONE PLAYER");
    EXPECT_EQ(shown(), (std::vector<Entity*>{m_app->getMenuBackground(), m_app->getCurrentWidget()}));
    EXPECT_EQ(topContext(), "menu");
}

TEST_F(TarvoAppTest, TwoPlayerMapHasOnlyTheTwoHumansAndItsListLeadsBackToTheTwoPlayerMenu)
{
    writeMap(m_dir, "a.map", "Arena", 4);
    openMainMenu();
    keys({SDLK_DOWN, SDLK_RETURN});
    keys({SDLK_RETURN});
    EXPECT_EQ(m_app->getState(), TarvoApp::TwoPlayerMapListState);
    keys({SDLK_ESCAPE});
    EXPECT_EQ(menuTexts(), (Texts{"NEW GAME", "BACK.."}));

    keys({SDLK_RETURN});
    keys({SDLK_RETURN});
    Tarvo::GameEngine* engine = m_app->getGameEngine();
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->getSettings().timeLimit, 300000);
    ASSERT_EQ(engine->getWorms().size(), 2u);
    EXPECT_EQ(engine->getWorms()[0]->getName(), "Tarvo");
    EXPECT_EQ(engine->getWorms()[1]->getName(), "Piggy");
    EXPECT_EQ(engine->getPlayer2(), engine->getWorms()[1]);
}

TEST_F(TarvoAppTest, SettingsPanelsAndHighscoresReturnToTheMenuTheyWereOpenedFrom)
{
    openMainMenu();
    keys({SDLK_DOWN, SDLK_DOWN, SDLK_RETURN});
    keys({SDLK_RETURN});
    EXPECT_EQ(m_app->getState(), TarvoApp::AudioPanelState);
    ASSERT_NE(dynamic_cast<Tarvo::AudioPanel*>(m_app->getCurrentWidget()), nullptr);
    keys({SDLK_UP, SDLK_RETURN});
    EXPECT_EQ(menuTexts()[0], "AUDIO");

    keys({SDLK_DOWN, SDLK_RETURN});
    EXPECT_EQ(m_app->getState(), TarvoApp::VideoPanelState);
    keys({SDLK_DOWN, SDLK_RETURN});
    EXPECT_EQ(menuTexts()[0], "AUDIO");

    keys({SDLK_DOWN, SDLK_DOWN, SDLK_RETURN});
    keys({SDLK_DOWN, SDLK_RETURN});
    EXPECT_EQ(m_app->getState(), TarvoApp::PlayerTwoState);
    auto* setup = dynamic_cast<Tarvo::PlayerConfig*>(m_app->getCurrentWidget());
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(setup->getKeys().left, SDLK_a);
    keys({SDLK_UP, SDLK_RETURN});
    EXPECT_EQ(menuTexts()[0], "PLAYER ONE");

    keys({SDLK_ESCAPE});
    keys({SDLK_RETURN});
    keys({SDLK_DOWN, SDLK_DOWN, SDLK_RETURN});
    EXPECT_EQ(m_app->getState(), TarvoApp::HighscoreState);
    ASSERT_NE(dynamic_cast<Tarvo::HighscoreView*>(m_app->getCurrentWidget()), nullptr);
    keys({SDLK_ESCAPE});
    EXPECT_EQ(menuTexts()[0], "PLAY CAMPAIGN");
}

TEST_F(TarvoAppTest, EveryScreenOverTheMenuBackgroundKeepsItsTextInsideTheBoard)
{
    // The game's own maps and campaigns, and a full highscore list with the widest numbers a row keeps.
    for (const char* data : {"maps", "campaigns"})
    {
        for (const auto& file :
             std::filesystem::directory_iterator(std::filesystem::path(TARVO_SOURCE_DIR) / data))
        {
            std::filesystem::create_symlink(file.path(), m_dir.path() / data / file.path().filename());
        }
    }
    {
        Tarvo::HighscoreTable table;
        for (const auto& file : std::filesystem::directory_iterator(m_dir.path() / "maps"))
        {
            table.submit("maps/" + file.path().filename().string(), 9999999, 9999999);
        }
    }
    // The board's inner rectangle: left, top, right, bottom, inclusive, as the background's generator drew it.
    std::ifstream boardFile(std::string(TARVO_SOURCE_DIR) + "/content/menu_board.txt");
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    ASSERT_TRUE(boardFile >> left >> top >> right >> bottom);

    openMainMenu();
    Fernhouse::Base::Screen& screen = *m_app->getScreen();
    const auto read = [&screen] {
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(screen.getWidth() * screen.getHeight()) *
                                         3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, static_cast<GLsizei>(screen.getWidth()), static_cast<GLsizei>(screen.getHeight()),
                     GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    };
    // Whatever the current screen draws over the bare background lies inside the board.
    const auto check = [&](int state, const char* what) {
        ASSERT_EQ(m_app->getState(), state) << what;
        screen.clear();
        screen.draw();
        const std::vector<std::uint8_t> drawn = read();
        Fernhouse::GUI::Widget* widget = m_app->getCurrentWidget();
        screen.removeChild(widget);
        screen.clear();
        screen.draw();
        const std::vector<std::uint8_t> bare = read();
        screen.addChild(widget);
        int outside = 0;
        int minX = 800, minY = 600, maxX = -1, maxY = -1;
        const auto width = static_cast<int>(screen.getWidth());
        const auto height = static_cast<int>(screen.getHeight());
        for (int row = 0; row < height; ++row)
        {
            for (int x = 0; x < width; ++x)
            {
                const auto at = static_cast<std::size_t>(row * width + x) * 3;
                if (std::equal(&drawn[at], &drawn[at] + 3, &bare[at]))
                {
                    continue;
                }
                const int y = height - 1 - row;
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
                outside += x < left || x > right || y < top || y > bottom ? 1 : 0;
            }
        }
        EXPECT_GT(maxX, 0) << what << " drew nothing";
        EXPECT_EQ(outside, 0) << what << " draws over " << minX << "," << minY << " to " << maxX << ","
                              << maxY;
    };

    // Each screen with the key presses, one frame each, that lead there from the one before.
    const struct
    {
        std::vector<std::vector<SDLKey>> frames;
        int state;
        const char* what;
    } screens[] = {
        {{}, TarvoApp::MenuState, "the main menu"},
        {{{SDLK_RETURN}}, TarvoApp::MenuState, "the one-player menu"},
        {{{SDLK_DOWN, SDLK_RETURN}}, TarvoApp::OnePlayerMapListState, "the map list"},
        {{{SDLK_ESCAPE}, {SDLK_RETURN}}, TarvoApp::CampaignListState, "the campaign list"},
        {{{SDLK_ESCAPE}, {SDLK_DOWN, SDLK_DOWN, SDLK_RETURN}},
         TarvoApp::HighscoreState,
         "a full highscore page"},
        {{{SDLK_ESCAPE}, {SDLK_ESCAPE}, {SDLK_DOWN, SDLK_RETURN}},
         TarvoApp::MenuState,
         "the two-player menu"},
        {{{SDLK_RETURN}}, TarvoApp::TwoPlayerMapListState, "the two-player map list"},
        {{{SDLK_ESCAPE}, {SDLK_ESCAPE}, {SDLK_DOWN, SDLK_DOWN, SDLK_RETURN}},
         TarvoApp::MenuState,
         "the settings menu"},
        {{{SDLK_RETURN}}, TarvoApp::AudioPanelState, "the audio panel"},
        {{{SDLK_UP, SDLK_RETURN}, {SDLK_DOWN, SDLK_RETURN}}, TarvoApp::VideoPanelState, "the video panel"},
        {{{SDLK_DOWN, SDLK_RETURN}, {SDLK_DOWN, SDLK_DOWN, SDLK_RETURN}},
         TarvoApp::MenuState,
         "the controller menu"},
        {{{SDLK_RETURN}}, TarvoApp::PlayerOneState, "player one's set-up"},
        {{{SDLK_UP, SDLK_RETURN}, {SDLK_DOWN, SDLK_RETURN}}, TarvoApp::PlayerTwoState, "player two's set-up"},
    };

    for (const auto& next : screens)
    {
        for (const std::vector<SDLKey>& pressed : next.frames)
        {
            for (const SDLKey key : pressed)
            {
                press(key);
            }
            frame();
        }
        check(next.state, next.what);
    }
}

TEST_F(TarvoAppTest, CreditsRunInTheirOwnSoundContextWithoutTheMenuBackground)
{
    openMainMenu();
    keys({SDLK_UP, SDLK_UP, SDLK_RETURN});
    EXPECT_EQ(m_app->getState(), TarvoApp::CreditsState);
    EXPECT_EQ(m_app->getMenuBackground(), nullptr);
    ASSERT_NE(m_app->getScriptEnvironment(), nullptr);
    EXPECT_EQ(shown(), std::vector<Entity*>{m_app->getScriptEnvironment()});
    EXPECT_EQ(topContext(), "credits");
    for (int i = 0; i < 10; ++i)
    {
        frame(100);
    }
    EXPECT_EQ(m_app->getState(), TarvoApp::CreditsState);
    keys({SDLK_SPACE});
    EXPECT_EQ(m_app->getState(), TarvoApp::MenuState);
    EXPECT_EQ(topContext(), "menu");
    EXPECT_EQ(menuTexts()[0], "ONE PLAYER");
}

TEST_F(TarvoAppTest, AltReturnSwitchesTheScreenButNotTheConfiguredMode)
{
    openMainMenu();
    press(SDLK_RETURN, KMOD_LALT);
    frame();
    EXPECT_TRUE(m_app->getScreen()->isFullscreen());
    EXPECT_FALSE(m_app->getConfiguration().isFullscreen());
    // The menu passes keys pressed with a modifier on, so it chose nothing.
    EXPECT_FALSE(menu()->isDone());
    press(SDLK_RETURN, KMOD_RALT);
    frame();
    EXPECT_FALSE(m_app->getScreen()->isFullscreen());
    keys({SDLK_RETURN});
    EXPECT_FALSE(m_app->getScreen()->isFullscreen());
    EXPECT_EQ(menuTexts()[0], "PLAY CAMPAIGN");
}

TEST_F(TarvoAppTest, QuitEndsTheLoopAtTheNextFrameAndTheSettingsAreSavedOnTheWayOut)
{
    openMainMenu();
    m_app->getConfiguration().setSoundVolume(70);
    keys({SDLK_UP, SDLK_RETURN});
    m_clock.advance(20);
    EXPECT_FALSE(m_app->runFrame());
    closeGame();
    Tarvo::Configuration saved;
    saved.load(m_dir.file("config.dat"));
    EXPECT_EQ(saved.getSoundVolume(), 70u);
    EXPECT_TRUE(std::filesystem::exists(m_dir.path() / "highscore.dat"));
    EXPECT_FALSE(std::filesystem::exists(m_dir.path() / "ErrorLog.txt"));
}

TEST_F(TarvoAppTest, SaveFailingAfterAQuitIsLoggedWithoutAnErrorBoxWaitingForAKey)
{
    // A folder in the table's place: the save at the end of the run fails, even for root.
    std::filesystem::create_directory(m_dir.path() / "highscore.dat");
    openMainMenu();
    keys({SDLK_UP, SDLK_RETURN});
    m_clock.advance(20);
    ASSERT_FALSE(m_app->runFrame());
    // A key already waiting would close a box at once; it must still be waiting afterwards.
    press(SDLK_SPACE);
    int result = -1;
    try
    {
        m_app->endRun();
        ADD_FAILURE() << "the table was saved into a folder";
    }
    catch (...)
    {
        result = m_app->failRun();
    }
    EXPECT_EQ(result, 0);
    SDL_Event waiting{};
    EXPECT_EQ(SDL_PeepEvents(&waiting, 1, SDL_PEEKEVENT, SDL_EVENTMASK(SDL_KEYDOWN)), 1);
    m_app.reset();
    const std::string log = m_dir.readFile("ErrorLog.txt");
    EXPECT_EQ(countRecords(log), 1u) << log;
    EXPECT_NE(log.find("Failed to open file."), std::string::npos) << log;
}

TEST_F(TarvoAppTest, LockedCampaignsAreLeftOutAndTheOthersKeepTheirFileIndexAsId)
{
    // No scenes, one map without computer players.
    const std::string rest = "\n\n\nsounds/song1.ogg\n1\n\nmaps/a.map\n\n1 0 0\n\n0\n";
    m_dir.writeFile("campaigns/1.cpj", "1\n\nkey-one\nOPEN\n" + rest);
    m_dir.writeFile("campaigns/2.cpj", "1\nsecret\n\nLOCKED\n" + rest);
    m_dir.writeFile("campaigns/3.cpj", "1\nkey-one\n\nSEQUEL\n" + rest);
    writeMap(m_dir, "a.map", "Alone", 1);
    openMainMenu();
    m_app->getConfiguration().unlockCampaign("key-one");
    keys({SDLK_RETURN});
    keys({SDLK_RETURN});
    EXPECT_EQ(m_app->getState(), TarvoApp::CampaignListState);
    EXPECT_EQ(menuTexts(), (Texts{"OPEN", "SEQUEL", "BACK..."}));
    EXPECT_EQ(menuIds(), (std::vector<int>{0, 2, TarvoApp::MainMenu}));

    keys({SDLK_DOWN, SDLK_RETURN});
    EXPECT_EQ(m_app->getState(), TarvoApp::CampaignState);
    ASSERT_NE(m_app->getCampaign(), nullptr);
    EXPECT_EQ(m_app->getMenuBackground(), nullptr);
    EXPECT_EQ(shown(), std::vector<Entity*>{m_app->getCampaign()});
    // No scenes: the round starts within two frames, and Escape loses it, which ends the campaign.
    frame();
    frame();
    keys({SDLK_ESCAPE});
    frame();
    frame();
    EXPECT_EQ(m_app->getState(), TarvoApp::MenuState);
    EXPECT_EQ(m_app->getCampaign(), nullptr);
    EXPECT_EQ(menuTexts()[0], "ONE PLAYER");
}

TEST_F(TarvoAppTest, MissingMapsDirectoryEndsTheRunWithTheErrorBox)
{
    std::filesystem::remove(m_dir.path() / "maps");
    openMainMenu();
    keys({SDLK_RETURN});
    press(SDLK_DOWN);
    press(SDLK_RETURN);
    m_clock.advance(20);
    int result = -1;
    try
    {
        m_app->runFrame();
        ADD_FAILURE() << "listing a missing directory did not throw";
    }
    catch (...)
    {
        // Dismisses the box as soon as it shows.
        press(SDLK_SPACE);
        result = m_app->failRun();
    }
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(shown().empty());
    EXPECT_TRUE(m_app->getEventRouter()->getHandlers().empty());
    m_app.reset();
    const std::string log = m_dir.readFile("ErrorLog.txt");
    EXPECT_EQ(countRecords(log), 1u) << log;
    EXPECT_NE(log.find("maps"), std::string::npos) << log;
}

TEST_F(TarvoAppTest, MapWithTooFewStartsIsShownAsAnErrorAndTheHighscoresAreStillWritten)
{
    writeMap(m_dir, "a.map", "Nowhere", 0);
    openMainMenu();
    keys({SDLK_RETURN});
    keys({SDLK_DOWN, SDLK_RETURN});
    press(SDLK_RETURN);
    m_clock.advance(20);
    try
    {
        m_app->runFrame();
        ADD_FAILURE() << "a map without start points took a player";
    }
    catch (...)
    {
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
        EXPECT_EQ(m_app->failRun(), 0);
    }
    EXPECT_EQ(m_app->getGameEngine(), nullptr);
    EXPECT_EQ(m_app->getHighscores(), nullptr);
    EXPECT_TRUE(std::filesystem::exists(m_dir.path() / "highscore.dat"));
    m_app.reset();
    const std::string log = m_dir.readFile("ErrorLog.txt");
    EXPECT_NE(log.find(": No room for more players.\n"), std::string::npos) << log;
}

TEST(TarvoApp, FirstStartWithoutConfigurationLogsOnceStartsWindowedAndWritesTheFile)
{
    TempDir dir;
    ScopedWorkingDirectory cwd(dir.path());
    linkGameData(dir);
    {
        TarvoApp app(0, nullptr);
        ASSERT_NE(app.getScreen(), nullptr);
        EXPECT_FALSE(app.getScreen()->isFullscreen());
        EXPECT_EQ(app.getConfiguration().getMusicVolume(), Tarvo::Configuration::DefaultVolume);
        app.getEventRouter()->pushQuit();
        EXPECT_EQ(app.run(), 0);
    }
    EXPECT_EQ(countRecords(dir.readFile("ErrorLog.txt")), 1u);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "config.dat"));
}

TEST(TarvoApp, WindowThatCannotOpenIsLoggedAndEndsTheRun)
{
    TempDir dir;
    ScopedWorkingDirectory cwd(dir.path());
    Tarvo::Configuration().save(dir.file("config.dat"));
    // The dummy video driver has no OpenGL, so the window cannot be created.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    {
        TarvoApp app(0, nullptr);
        EXPECT_EQ(app.run(), 1);
    }
    unsetenv("SDL_VIDEODRIVER");
    const std::string log = dir.readFile("ErrorLog.txt");
    EXPECT_EQ(countRecords(log), 1u) << log;
    EXPECT_NE(log.find("Exception in src/Screen:"), std::string::npos) << log;
    EXPECT_NE(log.find(": Failed to set the requested video mode.\n"), std::string::npos) << log;
}

TEST(TarvoApp, MissingAudioDeviceIsLoggedOnceAndTheGameRunsSilently)
{
    TempDir dir;
    ScopedWorkingDirectory cwd(dir.path());
    linkGameData(dir);
    Tarvo::Configuration().save(dir.file("config.dat"));
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    const std::string previousDriver = driver != nullptr ? driver : "";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/nonexistent-dir/out.raw", 1);
    {
        FakeClock clock;
        TarvoApp app(0, nullptr);
        ASSERT_NE(app.getScreen(), nullptr);
        ASSERT_NE(app.getSoundManager(), nullptr);
        EXPECT_FALSE(app.getSoundManager()->isEnabled());
        // Through the splashes into the intro and the menus, which click on a silent manager.
        app.startRun();
        for (int i = 0; i < 4; ++i)
        {
            SDL_Event event{};
            event.type = SDL_KEYDOWN;
            event.key.keysym.sym = i < 3 ? SDLK_ESCAPE : SDLK_RETURN;
            SDL_PushEvent(&event);
            clock.advance(20);
            ASSERT_TRUE(app.runFrame());
        }
        EXPECT_EQ(app.getState(), TarvoApp::MenuState);
        app.endRun();
    }
    unsetenv("SDL_DISKAUDIOFILE");
    if (previousDriver.empty())
    {
        unsetenv("SDL_AUDIODRIVER");
    }
    else
    {
        setenv("SDL_AUDIODRIVER", previousDriver.c_str(), 1);
    }
    const std::string log = dir.readFile("ErrorLog.txt");
    EXPECT_EQ(countRecords(log), 1u) << log;
    EXPECT_NE(log.find(": Mix_OpenAudio: "), std::string::npos) << log;
}

TEST_F(TarvoAppTest, FramesThatAreNotDrawnShowWhatAFullRedrawWould)
{
    const std::vector<SDLKey> none;
    const std::vector<Walk> walks = {
        {"splashes and intro", 1, {{none, 30, 90}, {none, 30, 70}, {none, 30, 80}}, false},
        {"menus and panels",
         1,
         {{none, 10, 20, true},
          {{SDLK_DOWN}, 3, 20},
          {{SDLK_DOWN, SDLK_RETURN}, 5, 20},
          {{SDLK_RETURN}, 5, 20},
          {{SDLK_RIGHT}, 3, 20},
          {{SDLK_DOWN}, 3, 20},
          {{SDLK_LEFT}, 3, 20},
          {none, 5, 20, true},
          {{SDLK_ESCAPE}, 3, 20},
          {{SDLK_DOWN, SDLK_DOWN, SDLK_RETURN}, 3, 20},
          {{SDLK_RETURN}, 3, 20},
          {{SDLK_DOWN}, 3, 20},
          {none, 5, 20, true},
          {{SDLK_ESCAPE}, 3, 20},
          {{SDLK_ESCAPE}, 3, 20},
          {{SDLK_RETURN}, 3, 20},
          {{SDLK_DOWN, SDLK_DOWN, SDLK_RETURN}, 3, 20},
          {none, 5, 20, true},
          {{SDLK_ESCAPE}, 3, 20}}},
        {"credits", 1, {{{SDLK_UP, SDLK_UP, SDLK_RETURN}, 40, 100}}},
        {"one-player round",
         3,
         {{{SDLK_RETURN}, 1, 20},
          {{SDLK_DOWN, SDLK_RETURN}, 1, 20},
          {{SDLK_RETURN}, 80, 40},
          {{SDLK_UP}, 40, 30},
          {{SDLK_LEFT}, 60, 30},
          {{SDLK_ESCAPE}, 5, 20}}},
        {"two-player round",
         2,
         {{{SDLK_DOWN, SDLK_RETURN}, 1, 20},
          {{SDLK_RETURN}, 1, 20},
          {{SDLK_RETURN}, 80, 40},
          {{SDLK_w}, 100, 30},
          {{SDLK_ESCAPE}, 5, 20}}},
    };
    const std::vector<Stretch> toMenu = {
        {none, 1, 20}, {{SDLK_ESCAPE}, 1, 20}, {{SDLK_ESCAPE}, 1, 20}, {{SDLK_ESCAPE}, 1, 20}};
    for (const Walk& given : walks)
    {
        Walk walk = given;
        if (walk.fromMenu)
        {
            walk.stretches.insert(walk.stretches.begin(), toMenu.begin(), toMenu.end());
        }
        SCOPED_TRACE(walk.name);
        writeMap(m_dir, "a.map", "Field", walk.starts);
        openGame();
        int drawn = 0;
        int skipped = 0;
        for (std::size_t at = 0; at < walk.stretches.size(); ++at)
        {
            const Stretch& stretch = walk.stretches[at];
            for (const SDLKey key : stretch.keys)
            {
                press(key);
            }
            for (int i = 0; i < stretch.frames; ++i)
            {
                dropForeignEvents();
                frame(stretch.ms);
                const bool wasDrawn = m_app->wasLastFrameDrawn();
                (wasDrawn ? drawn : skipped) += 1;
                if (stretch.still && i > 0)
                {
                    ASSERT_FALSE(wasDrawn)
                        << "stretch " << at << ", frame " << i << " was drawn in state " << m_app->getState();
                }
                const std::vector<std::uint8_t> shown = shownPixels(*m_app->getScreen());
                m_app->redraw();
                const std::vector<std::uint8_t> full = shownPixels(*m_app->getScreen());
                std::size_t differing = 0;
                for (std::size_t k = 0; k < shown.size(); ++k)
                {
                    differing += shown[k] != full[k] ? 1 : 0;
                }
                ASSERT_EQ(differing, 0u) << "stretch " << at << ", frame " << i;
            }
        }
        EXPECT_GT(skipped, 0);
        EXPECT_GT(drawn, 1);
        closeGame();
    }
}
