#include "game/frontend/TarvoApp.h"

#include "engine/graphics/Image.h"
#include "engine/gui/Menu.h"

#include "game/edit/MapEditor.h"
#include "game/frontend/PlayerConfig.h"
#include "game/frontend/ScriptEnvironment.h"
#include "game/play/GameEngine.h"
#include "game/progress/Campaign.h"
#include "game/progress/HighscoreTable.h"

#include "tests/game/frontend/FrontFixture.h"

#include <algorithm>

using FrontSupport::pushKey;
using Tarvo::TarvoApp;

namespace
{

using Texts = std::vector<std::string>;
using Keys = std::vector<SDLKey>;

const Texts Main{"ONE PLAYER", "TWO PLAYER", "SETTINGS", "CREDITS", "QUIT"};
const Texts OnePlayer{"PLAY CAMPAIGN", "PLAY MAP", "HIGHSCORE", "BACK.."};
const Texts TwoPlayer{"NEW GAME", "BACK.."};
const Texts Settings{"AUDIO", "VIDEO", "CONTROLLER", "BACK.."};
const Texts Controller{"PLAYER ONE", "PLAYER TWO", "BACK.."};
const Texts Campaigns{"OPEN=0", "SEQUEL=2", "BACK..."}; // the locked one left out, each id its file's index

void writeMap(const TestSupport::TempDir& dir, int starts)
{
    std::filesystem::create_directories(dir.path() / "maps");
    Tarvo::MapEditor map("Field", "graphics/tilesets/meadow.png", 20, 15);
    for (int k = 1; k <= starts; ++k)
    {
        map.placeStart(4 * k, 7);
    }
    map.save(dir.file("maps/00-field.map"));
}

// A frame for each key, then frames more of ms each; in a still step nothing may be drawn after the first.
struct Step
{
    Keys keys;
    int state;
    const Texts* menu = nullptr;
    int frames = 0;
    std::uint32_t ms = 20;
    bool still = false;
    std::function<void()> check = [] {};
};

class TarvoAppTest : public ::testing::Test
{
protected:
    // Neither a folder nor a file of another extension is a map. The second campaign is locked by a key
    // nobody has, the third by the key the first gives.
    void SetUp() override
    {
        const std::string round = "\n\n\nsounds/song1.ogg\n1\n\nmaps/00-field.map\n\n1 0 0\n\n0\n";
        std::filesystem::create_directory(m_dir.path() / "campaigns");
        m_dir.written("campaigns/1.cpj", "1\n\nkey-one\nOPEN\n" + round);
        m_dir.written("campaigns/2.cpj", "1\nsecret\n\nLOCKED\n" + round);
        m_dir.written("campaigns/3.cpj", "1\nkey-one\n\nSEQUEL\n" + round);
        const std::filesystem::path source(TestSupport::SourceDir);
        for (const char* data : {"graphics", "sounds", "scripts", "ai"})
        {
            std::filesystem::create_directory_symlink(source / data, m_dir.path() / data);
        }
        std::filesystem::create_directories(m_dir.path() / "maps/folder.map");
        m_dir.written("maps/notes.MAP", "1\n");
        for (const auto& file : std::filesystem::directory_iterator(source / "maps"))
        {
            std::filesystem::create_symlink(file.path(), m_dir.path() / "maps" / file.path().filename());
        }
        writeMap(m_dir, 3);
        Tarvo::Configuration configuration;
        configuration.unlockCampaign("key-one");
        configuration.save(m_dir.file("config.dat"));
    }

    bool frame(const Keys& pressed, std::uint32_t ms = 20)
    {
        for (const SDLKey key : pressed)
        {
            pushKey(key);
        }
        m_clock.advance(ms);
        return m_app->runFrame();
    }

    Texts menuTexts() const
    {
        Texts texts;
        for (const Fernhouse::GUI::MenuItem& item :
             dynamic_cast<Fernhouse::GUI::Menu&>(*m_app->getCurrentWidget()).getItems())
        {
            texts.push_back(item.text + (item.id < TarvoApp::MainMenu ? "=" + std::to_string(item.id) : ""));
        }
        return texts;
    }

    // Menus, lists and panels lie over the menu background and draw only inside its board.
    void expectScreenOfState()
    {
        const int state = m_app->getState();
        const bool scene = state == TarvoApp::IntroState || state == TarvoApp::CreditsState;
        const bool splash = state < TarvoApp::IntroState;
        const bool overBoard =
            !scene && !splash && state != TarvoApp::GameState && state != TarvoApp::CampaignState;
        EXPECT_EQ(std::tuple(m_app->getScriptEnvironment() != nullptr, m_app->getGameEngine() != nullptr,
                             m_app->getCampaign() != nullptr, m_app->getMenuBackground() != nullptr,
                             m_app->getCurrentWidget() != nullptr),
                  std::tuple(scene, state == TarvoApp::GameState, state == TarvoApp::CampaignState, overBoard,
                             splash || overBoard));
        std::vector<Fernhouse::Base::Entity*> expected{m_app->getMenuBackground(), m_app->getCurrentWidget(),
                                                       m_app->getScriptEnvironment(), m_app->getGameEngine(),
                                                       m_app->getCampaign()};
        expected.erase(std::remove(expected.begin(), expected.end(), nullptr), expected.end());
        EXPECT_EQ(m_app->getScreen()->getChildren(), expected);
        if (overBoard)
        {
            int left = 0, top = 0, right = 0, bottom = 0;
            std::ifstream(std::string(TestSupport::SourceDir) + "/content/menu_board.txt") >> left >> top >>
                right >> bottom;
            m_app->redraw();
            const std::vector<std::uint8_t> drawn = TestSupport::readFrame();
            m_app->getScreen()->removeChild(m_app->getCurrentWidget());
            m_app->redraw();
            const std::vector<std::uint8_t> bare = TestSupport::readFrame();
            m_app->getScreen()->addChild(m_app->getCurrentWidget());
            int changed = 0, outside = 0;
            for (int i = 0, x = 0, y = 0; i < 800 * 600; ++i, x = i % 800, y = i / 800)
            {
                const bool differs = !std::equal(&drawn[i * 4u], &drawn[i * 4u] + 3, &bare[i * 4u]);
                changed += differs ? 1 : 0;
                outside += differs && (x < left || y < top || x > right || y > bottom) ? 1 : 0;
            }
            EXPECT_TRUE(changed > 0 && outside == 0) << changed << " changed, " << outside << " outside";
        }
    }

    // Windows of tests beside this one on the display send events that rightly ask for a frame.
    static void dropForeignEvents()
    {
        SDL_PumpEvents();
        for (SDL_Event e;
             SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_ALLEVENTS & ~(SDL_KEYDOWNMASK | SDL_KEYUPMASK));)
        {
        }
    }

    TestSupport::TempDir m_dir;
    TestSupport::ScopedWorkingDirectory m_cwd{m_dir.path()};
    TestSupport::FakeClock m_clock{1000};
    std::unique_ptr<TarvoApp> m_app;
};

} // namespace

TEST_F(TarvoAppTest, EveryScreenIsReachedSkippedFramesMatchAFullRedrawAndQuittingSavesWhatThePanelsSet)
{
    const auto seated = [this](const Texts& names, std::int32_t timeLimit) {
        return [this, names, timeLimit] {
            const Tarvo::GameEngine& engine = *m_app->getGameEngine();
            Texts got;
            std::transform(engine.getWorms().begin(), engine.getWorms().end(), std::back_inserter(got),
                           [](const Tarvo::WormSprite* worm) { return worm->getName(); });
            EXPECT_EQ(std::tuple(got, engine.getPlayer2(), engine.getSettings().timeLimit),
                      std::tuple(names, names.size() == 2 ? engine.getWorms()[1] : nullptr, timeLimit));
        };
    };
    const auto alone = seated({"Tarvo", "buffy", "buffy"}, 180000);
    const auto together = seated({"Tarvo", "Piggy"}, 300000);
    const auto mapList = [this] {
        const Texts& files = m_app->getMapFiles();
        const auto shipped = static_cast<std::size_t>(std::distance(
            std::filesystem::directory_iterator(std::string(TestSupport::SourceDir) + "/maps"), {}));
        EXPECT_EQ(std::tuple(std::is_sorted(files.begin(), files.end()), files.size(), files.front(),
                             menuTexts().size(), menuTexts().front(), menuTexts().back()),
                  std::tuple(true, shipped + 1, "maps/00-field.map", shipped + 2, "Field=0", "BACK..."));
    };
    const auto playerTwo = [this] {
        EXPECT_EQ(dynamic_cast<Tarvo::PlayerConfig&>(*m_app->getCurrentWidget()).getKeys().left, SDLK_a);
    };
    constexpr SDLKey Up = SDLK_UP, Down = SDLK_DOWN, Left = SDLK_LEFT, Right = SDLK_RIGHT;
    constexpr SDLKey Return = SDLK_RETURN, Escape = SDLK_ESCAPE, Space = SDLK_SPACE;
    constexpr int Menu = TarvoApp::MenuState, Game = TarvoApp::GameState, Campaign = TarvoApp::CampaignState;
    const std::vector<Step> steps = {
        {{}, TarvoApp::BarSplashState, nullptr, 1},
        {{}, TarvoApp::BarSplashState, nullptr, 1, 2499},
        {{}, TarvoApp::BarSplashState, nullptr, 1, 1},
        {{SDLK_a}, TarvoApp::FadeSplashState, nullptr, 25, 200},
        {{Space, Down}, TarvoApp::IntroState, nullptr, 20, 100},
        {{Return}, Menu, &Main},
        {{Return}, Menu, &OnePlayer, 10, 20, true},
        {{Down, Return}, TarvoApp::OnePlayerMapListState, nullptr, 0, 20, false, mapList},
        {{Escape, Return}, TarvoApp::CampaignListState, &Campaigns},
        {{Escape, Down, Down, Return, Space}, TarvoApp::HighscoreState, nullptr, 2},
        {{Escape, Escape, Down, Return}, Menu, &TwoPlayer},
        {{Return}, TarvoApp::TwoPlayerMapListState},
        {{Escape, Escape, Down, Down, Return}, Menu, &Settings},
        {{Return, Right, Down, Left}, TarvoApp::AudioPanelState, nullptr, 5, 20, true},
        {{Down, Return, Down, Return, Down}, TarvoApp::VideoPanelState, nullptr, 5, 20, true},
        {{Return, Down, Down, Return}, Menu, &Controller},
        {{Return, Down, Return, Left}, TarvoApp::PlayerOneState, nullptr, 5, 20, true},
        {{Up, Up, Return, Down, Return}, TarvoApp::PlayerTwoState, nullptr, 0, 20, false, playerTwo},
        {{Up, Return, Escape, Up, Up, Return}, TarvoApp::CreditsState, nullptr, 40, 100},
        {{Space}, Menu, &Main},
        // Escape loses the campaign's round, which ends it.
        {{Return, Return, Return}, Campaign, nullptr, 20, 40},
        {{Escape}, Menu, &Main, 3},
        {{Return, Down, Return, Return}, Game, nullptr, 0, 20, false, alone},
        {{}, Game, nullptr, 60, 40},
        {{Escape}, Menu, &Main, 1},
        {{Down, Return, Return, Return}, Game, nullptr, 0, 20, false, together},
        {{}, Game, nullptr, 60, 40},
        {{SDLK_w}, Game, nullptr, 60, 30},
        {{Escape}, Menu, &Main, 1}};
    {
        Tarvo::HighscoreTable table;
        for (const std::string& map : TarvoApp::listFiles("maps", ".map"))
        {
            table.submit(map, 9999999, 9999999);
        }
    }
    m_app = std::make_unique<TarvoApp>(0, nullptr);
    m_app->startRun();
    int drawn = 0, skipped = 0;
    for (const Step& step : steps)
    {
        SCOPED_TRACE("step " + std::to_string(&step - steps.data()));
        const int keys = static_cast<int>(step.keys.size());
        for (int i = 0; i < keys + step.frames; ++i)
        {
            dropForeignEvents();
            ASSERT_TRUE(frame(i < keys ? Keys{step.keys[static_cast<std::size_t>(i)]} : Keys{},
                              i < keys ? 20 : step.ms));
            if (m_app->wasLastFrameDrawn())
            {
                ++drawn; // by the same full redraw
                ASSERT_FALSE(step.still && i > keys) << "frame " << i;
                continue;
            }
            ++skipped;
            const std::vector<std::uint8_t> shownPixels = TestSupport::readFrame();
            m_app->redraw();
            ASSERT_TRUE(shownPixels == TestSupport::readFrame()) << "frame " << i;
        }
        ASSERT_EQ(m_app->getState(), step.state);
        expectScreenOfState();
        EXPECT_TRUE(step.menu == nullptr || menuTexts() == *step.menu) << menuTexts().front();
        step.check();
    }
    EXPECT_TRUE(skipped > 0 && drawn > 1) << skipped << " skipped, " << drawn << " drawn";
    EXPECT_TRUE(frame({SDLK_UP, SDLK_RETURN}));
    EXPECT_FALSE(frame({}));
    m_app.reset();
    Tarvo::Configuration saved;
    saved.load(m_dir.file("config.dat"));
    EXPECT_EQ(std::tuple(saved.getMusicVolume(), saved.getSoundVolume(), saved.isFullscreen(),
                         saved.isCampaignUnlocked("key-one"),
                         std::filesystem::exists(m_dir.path() / "ErrorLog.txt")),
              std::tuple(Tarvo::Configuration::DefaultVolume + 10, Tarvo::Configuration::DefaultVolume - 10,
                         false, true, false));
    EXPECT_TRUE(std::filesystem::is_regular_file(m_dir.path() / "highscore.dat"));
}

// A failed save after the player quit shows no box: nobody is there to close it.
TEST_F(TarvoAppTest, EveryFailureIsLoggedOnceAndTheGamePlaysOnOrEndsThroughTheErrorBox)
{
    const std::filesystem::path dir = m_dir.path();
    // Frames from the main menu; where the game cannot go on, the last one fails. The window opens before
    // the sound device, so the window case comes last.
    const std::tuple<const char*, std::function<void()>, std::vector<Keys>> cases[] = {
        {"maps",
         [&] { std::filesystem::remove_all(dir / "maps"); },
         {{SDLK_RETURN}, {SDLK_DOWN, SDLK_RETURN}}},
        {": No room for more players.\n",
         [&] { writeMap(m_dir, 0); },
         {{SDLK_RETURN}, {SDLK_DOWN, SDLK_RETURN}, {SDLK_RETURN}}},
        {"Failed to open file.",
         [&] { std::filesystem::create_directory(dir / "highscore.dat"); },
         {{SDLK_UP, SDLK_RETURN}, {}}},
        {"Failed to open file.", [&] { std::filesystem::remove(dir / "config.dat"); }, {{SDLK_RETURN}}},
        {": Mix_OpenAudio: ",
         [] { setenv("SDL_DISKAUDIOFILE", "/nonexistent-dir/out.raw", 1); },
         {{SDLK_RETURN}}},
        {": Failed to set the requested video mode.\n", [] { setenv("SDL_VIDEODRIVER", "dummy", 1); }, {}}};
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (dir / "out.raw").c_str(), 1);
    for (const auto& [logged, arrange, frames] : cases)
    {
        SCOPED_TRACE(logged);
        const bool fails = frames.size() > 1;
        const bool boxed = fails && !frames.back().empty();
        std::filesystem::remove_all(dir / "highscore.dat");
        std::filesystem::remove(dir / "ErrorLog.txt");
        arrange();
        m_app = std::make_unique<TarvoApp>(0, nullptr);
        if (m_app->getScreen() == nullptr)
        {
            EXPECT_EQ(m_app->run(), 1);
        }
        else
        {
            m_app->startRun();
            for (const Keys& pressed : std::vector<Keys>{{}, {SDLK_ESCAPE}, {SDLK_ESCAPE}, {SDLK_ESCAPE}})
            {
                ASSERT_TRUE(frame(pressed)); // through both splashes and the intro
            }
            ASSERT_EQ(m_app->getState(), TarvoApp::MenuState);
            EXPECT_EQ(std::tuple(m_app->getScreen()->isFullscreen(),
                                 m_app->getConfiguration().getMusicVolume(),
                                 m_app->getSoundManager()->isEnabled()),
                      std::tuple(false, Tarvo::Configuration::DefaultVolume,
                                 std::string(logged) != ": Mix_OpenAudio: "));
            for (std::size_t i = 0; i + 1 < frames.size(); ++i)
            {
                ASSERT_TRUE(frame(frames[i]));
            }
            try
            {
                if (!frame(frames.back()))
                {
                    m_app->endRun();
                }
                EXPECT_TRUE(!fails && menuTexts() == OnePlayer);
            }
            catch (...)
            {
                pushKey(SDLK_SPACE);
                EXPECT_EQ(m_app->failRun(), 0);
            }
            SDL_Event waiting{};
            EXPECT_EQ(SDL_PeepEvents(&waiting, 1, SDL_GETEVENT, SDL_EVENTMASK(SDL_KEYDOWN)),
                      fails && !boxed ? 1 : 0);
            EXPECT_TRUE(!fails || (m_app->getScreen()->getChildren().empty() &&
                                   m_app->getEventRouter()->getHandlers().empty() &&
                                   m_app->getHighscores() == nullptr &&
                                   std::filesystem::is_regular_file(dir / "highscore.dat") == boxed));
        }
        m_app.reset();
        const std::string log = m_dir.readFile("ErrorLog.txt");
        const std::string separator = std::string(32, '-') + "\n"; // one line between records
        EXPECT_TRUE(std::filesystem::exists(dir / "config.dat") && log.find(separator) != std::string::npos &&
                    log.find(separator) == log.rfind(separator) && log.find(logged) != std::string::npos)
            << log;
    }
}
