#include "engine/base/EventRouter.h"
#include "engine/base/GameTime.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/script/ScriptEngine.h"
#include "engine/sound/Music.h"
#include "engine/sound/SoundContext.h"
#include "engine/sound/SoundManager.h"

#include "game/ai/AIFile.h"
#include "game/frontend/ScriptEnvironment.h"
#include "game/play/Apple.h"
#include "game/play/ApplePainter.h"
#include "game/play/GameEngine.h"
#include "game/play/MapEntry.h"
#include "game/play/WormSprite.h"
#include "game/progress/Campaign.h"
#include "game/progress/CampaignFile.h"
#include "game/progress/Configuration.h"
#include "game/progress/HighscoreTable.h"

#include "tests/game/play/RoundFixture.h"
#include "tests/support/FakeClock.h"
#include "tests/support/GLWindow.h"
#include "tests/support/TempDir.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace
{

namespace fs = std::filesystem;

constexpr std::uint32_t FrameMs = 40;
constexpr std::uint32_t LongestSceneMs = 60000;
const std::string ScriptPrefix = "scripts/campaign_";

// The shipped campaigns, run from the repository as the game runs from its data directory, with the
// services the application provides and a mixer on SDL's dummy driver.
class CampaignsContent : public TestSupport::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        glEnable(GL_BLEND);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
        m_sound = new Fernhouse::Sound::SoundManager(44100, AUDIO_S16LSB, 16, 2048);
        m_sound->pushContext("menu");
        m_time.start();
    }

    void TearDown() override
    {
        delete m_sound;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        GLTest::TearDown();
    }

    // Loads the scene as the front end does, with its sound context on top, then plays it to its end in
    // frames of game time, drawing each, so that a text without glyphs or a missing picture or sound fails
    // here.
    struct Run
    {
        std::uint32_t ms = 0;
        int sampled = 0; // every tenth frame, when asked
        int shown = 0;   // of those, the ones that showed anything
        std::size_t sounds = 0;
    };

    Run play(const std::string& path, const std::string& context, bool sample)
    {
        Run run;
        m_sound->pushContext(context);
        Fernhouse::Script::ScriptEngine engine;
        Tarvo::ScriptEnvironment env(&engine, m_sound);
        engine.load(path);
        const std::uint32_t start = m_time.getTime();
        std::vector<unsigned char> rgb(800 * 600 * 3);
        for (int frame = 0; engine.run() && m_time.getTime() - start < LongestSceneMs; ++frame)
        {
            env.update();
            glClear(GL_COLOR_BUFFER_BIT);
            env.draw();
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << path;
            if (sample && frame % 10 == 0)
            {
                glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
                ++run.sampled;
                run.shown += std::any_of(rgb.begin(), rgb.end(), [](unsigned char c) { return c != 0; });
            }
            m_clock.advance(FrameMs);
            m_time.update();
        }
        EXPECT_FALSE(env.isDone()) << path;
        run.sounds = m_sound->topContext()->getSounds().size();
        m_sound->popContext();
        run.ms = m_time.getTime() - start;
        return run;
    }

    TestSupport::ScopedWorkingDirectory m_cwd{TARVO_SOURCE_DIR};
    TestSupport::FakeClock m_clock{1000};
    Fernhouse::Base::GameTime m_time;
    Fernhouse::Graphics::TextureFactory m_factory;
    Fernhouse::Graphics::FontManager m_fonts{"graphics/fonts/", ".png"};
    Fernhouse::Sound::SoundManager* m_sound = nullptr; // owned
    Tarvo::Configuration m_configuration;
};

std::vector<std::string> campaignPaths()
{
    std::vector<std::string> paths;
    for (const auto& entry : fs::directory_iterator("campaigns"))
    {
        if (entry.path().extension() == ".cpj")
        {
            paths.push_back(entry.path().generic_string());
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

// The scripts a campaign names, each once, in the order they are played.
std::vector<std::string> scriptsOf(const Tarvo::CampaignFile& campaign)
{
    std::vector<std::string> scripts{campaign.getIntroScript()};
    for (std::size_t i = 0; i < campaign.getMapCount(); ++i)
    {
        scripts.push_back(campaign.getMap(i).getIntroScript());
        scripts.push_back(campaign.getMap(i).getWinScript());
    }
    scripts.push_back(campaign.getEndScript());
    scripts.erase(std::remove(scripts.begin(), scripts.end(), std::string()), scripts.end());
    return scripts;
}

// The free cells a worm could still reach from the cell, counted up to the limit.
int roomFrom(const Tarvo::GameEngine& engine, const Fernhouse::Base::Point& from, int limit)
{
    std::set<std::pair<std::int32_t, std::int32_t>> seen{{from.x, from.y}};
    std::deque<Fernhouse::Base::Point> queue{from};
    while (!queue.empty() && static_cast<int>(seen.size()) < limit)
    {
        const Fernhouse::Base::Point cell = queue.front();
        queue.pop_front();
        for (const Fernhouse::Base::Point& next :
             {Fernhouse::Base::Point(cell.x + 1, cell.y), Fernhouse::Base::Point(cell.x - 1, cell.y),
              Fernhouse::Base::Point(cell.x, cell.y + 1), Fernhouse::Base::Point(cell.x, cell.y - 1)})
        {
            if (engine.isFree(next, false) && seen.insert({next.x, next.y}).second)
            {
                queue.push_back(next);
            }
        }
    }
    return static_cast<int>(seen.size());
}

// The test-only player who cannot lose: once in every cell, steered towards the open side with the most
// room (the other way round while drunk), and, when the goal is a length, score or apple count, handed a
// golden apple right where its head lies every frame.
class Autopilot
{
public:
    explicit Autopilot(const Fernhouse::IO::KeySet& keys) : m_keys{keys.right, keys.left, keys.up, keys.down}
    {
    }

    SDLKey step(Tarvo::GameEngine& engine)
    {
        const Tarvo::WormSprite& worm = *engine.getPlayer1();
        const Tarvo::WormSprite::Segment& head = worm.getHead();
        const std::int32_t type = engine.getSettings().type;
        if (type == Tarvo::GAME_LENGTH || type == Tarvo::GAME_SCORE || type == Tarvo::GAME_APPLES)
        {
            for (Tarvo::Apple* apple : engine.getApplePainter()->getApples())
            {
                if (apple->getKind() >= 0)
                {
                    apple->setKind(1);
                    apple->setCell(Fernhouse::Base::Point(head.x, head.y));
                    break;
                }
            }
        }
        if (&engine == m_engine && Fernhouse::Base::Point(head.x, head.y) == m_lastHead)
        {
            return SDLK_UNKNOWN;
        }
        m_engine = &engine;
        m_lastHead = Fernhouse::Base::Point(head.x, head.y);
        std::uint32_t best = worm.getDirection();
        int bestRoom = -1;
        for (std::uint32_t direction = 0; direction < Offsets.size(); ++direction)
        {
            const Fernhouse::Base::Point next(head.x + Offsets[direction].x, head.y + Offsets[direction].y);
            const int room = engine.isFree(next, false) ? roomFrom(engine, next, RoomLimit) : -1;
            if (room > bestRoom || (room == bestRoom && direction == worm.getDirection()))
            {
                best = direction;
                bestRoom = room;
            }
        }
        if (best == worm.getDirection())
        {
            return SDLK_UNKNOWN;
        }
        // Right and Left, Up and Down are each other's reverse.
        return m_keys[worm.getState() == Tarvo::WormSprite::StateDrunk ? best ^ 1u : best];
    }

private:
    static constexpr int RoomLimit = 400;
    static constexpr std::array<Fernhouse::Base::Point, 4> Offsets{
        Fernhouse::Base::Point(1, 0), Fernhouse::Base::Point(-1, 0), Fernhouse::Base::Point(0, -1),
        Fernhouse::Base::Point(0, 1)};
    std::array<SDLKey, 4> m_keys;
    const Tarvo::GameEngine* m_engine = nullptr; // the round steered, not owned
    Fernhouse::Base::Point m_lastHead;
};

} // namespace

// The intro and the credits hold the screen for a while and play sounds; a campaign scene is long enough
// to read and short enough not to bore. Every one ends by itself.
TEST_F(CampaignsContent, EveryScenePlaysToItsEndOnTheShippedFontsPicturesAndSounds)
{
    for (const auto& [path, context] :
         {std::pair{"scripts/intro.fhs", "menu"}, {"scripts/credits.fhs", "credits"}})
    {
        const Run run = play(path, context, true);
        EXPECT_GT(run.ms, 10000u) << path;
        EXPECT_LT(run.ms, LongestSceneMs) << path;
        EXPECT_GT(run.shown * 4, run.sampled * 3)
            << path << ": shown in " << run.shown << " of " << run.sampled;
        EXPECT_GT(run.sounds, 0u) << path << " plays no sound";
    }
    std::set<std::string> played;
    for (const std::string& path : campaignPaths())
    {
        Tarvo::CampaignFile campaign;
        campaign.load(path);
        for (const std::string& script : scriptsOf(campaign))
        {
            EXPECT_EQ(script.rfind(ScriptPrefix, 0), 0u) << script;
            if (played.insert(script).second)
            {
                const std::uint32_t ms = play(script, "menu", false).ms;
                EXPECT_TRUE(ms > 3000 && ms < 30000) << script << " runs " << ms << " ms";
            }
        }
    }
    EXPECT_GE(played.size(), 10u);
}

TEST_F(CampaignsContent, EveryCampaignPlaysToItsEndAndUnlocksTheNextOneInTurn)
{
    // A data directory of its own, with every computer player blind (its skin read from the shipped file):
    // it never turns, so it dies at the first wall below it. The player is the autopilot above.
    TestSupport::TempDir dir;
    for (const char* data : {"graphics", "sounds", "maps", "campaigns", "scripts"})
    {
        fs::create_directory_symlink(fs::absolute(data), dir.path() / data);
    }
    fs::create_directory(dir.path() / "ai");
    for (const auto& entry : fs::directory_iterator("ai"))
    {
        const Tarvo::AIFile ai(entry.path().stem().string());
        dir.writeFile("ai/" + entry.path().filename().string(), ai.getSkin() + "\neat\n0\n100\n0\n");
    }
    const std::vector<std::string> paths = campaignPaths();
    RoundSupport::registerGameSounds(*m_sound);
    TestSupport::ScopedWorkingDirectory cwd(dir.path());
    Fernhouse::Base::EventRouter router;
    m_configuration.setPlayer1Relative(Tarvo::WormSprite::ControlAbsolute);
    Autopilot autopilot(m_configuration.getPlayer1Keys());

    // Each time, the first listed campaign not yet played; finishing it must list the next.
    std::vector<std::string> order;
    for (bool listedOne = true; listedOne;)
    {
        listedOne = false;
        for (const std::string& path : paths)
        {
            Tarvo::CampaignFile file;
            file.load(path);
            if (std::find(order.begin(), order.end(), path) != order.end() ||
                !m_configuration.isCampaignUnlocked(file.getLockKey()))
            {
                continue;
            }
            SCOPED_TRACE(path);
            order.push_back(path);
            listedOne = true;
            Tarvo::HighscoreTable highscores;
            Tarvo::Campaign campaign(path, &m_configuration, m_sound, &highscores);
            campaign.start();
            std::size_t roundsWon = 0;
            bool roundOver = false;
            const Tarvo::GameEngine* seen = nullptr;
            for (int frame = 0; frame < 20000 && !campaign.isFinished(); ++frame)
            {
                SDLKey key = SDLK_RETURN;
                Tarvo::GameEngine* engine = campaign.getGameEngine();
                if (engine != nullptr && engine->getEndTime() == 0)
                {
                    roundOver = false;
                    key = autopilot.step(*engine);
                    if (engine != seen)
                    {
                        // Each round in the campaign's music, drawn on the shipped tileset, skins and fonts.
                        seen = engine;
                        ASSERT_NE(m_sound->getCurrentMusic(), nullptr);
                        EXPECT_EQ(m_sound->getCurrentMusic()->getFileName(), file.getMusic());
                        glClear(GL_COLOR_BUFFER_BIT);
                        campaign.draw();
                        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
                    }
                }
                else if (engine != nullptr && !roundOver)
                {
                    roundOver = true;
                    EXPECT_EQ(engine->getWinner(), engine->getPlayer1()) << "map " << campaign.getMapIndex();
                    roundsWon += engine->getWinner() == engine->getPlayer1() ? 1 : 0;
                }
                if (key != SDLK_UNKNOWN)
                {
                    SDL_Event event{};
                    event.type = SDL_KEYDOWN;
                    event.key.keysym.sym = key;
                    SDL_PushEvent(&event);
                }
                m_clock.advance(100);
                router.poll();
                m_time.update();
                campaign.update();
            }
            EXPECT_TRUE(campaign.isFinished());
            EXPECT_GE(file.getMapCount(), 4u);
            EXPECT_EQ(roundsWon, file.getMapCount());
            EXPECT_FALSE(highscores.getEntries().empty());
            EXPECT_TRUE(m_configuration.isCampaignUnlocked(file.getRewardKey()));
            break;
        }
    }
    EXPECT_EQ(order, (std::vector<std::string>{"campaigns/first_feast.cpj", "campaigns/long_winter.cpj",
                                               "campaigns/homecoming.cpj"}));
    EXPECT_TRUE(fs::is_regular_file(dir.path() / "highscore.dat"));
}
