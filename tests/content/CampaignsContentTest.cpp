#include "engine/base/EventRouter.h"
#include "engine/base/GameTime.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/io/KeyboardControl.h"
#include "engine/script/ScriptEngine.h"
#include "engine/sound/Music.h"
#include "engine/sound/SoundManager.h"

#include "game/ai/AIControl.h"
#include "game/ai/AIFile.h"
#include "game/frontend/ScriptEnvironment.h"
#include "game/play/Apple.h"
#include "game/play/ApplePainter.h"
#include "game/play/GameEngine.h"
#include "game/play/MapEntry.h"
#include "game/play/MapFile.h"
#include "game/play/WormSprite.h"
#include "game/progress/Campaign.h"
#include "game/progress/CampaignFile.h"
#include "game/progress/Configuration.h"
#include "game/progress/HighscoreEntry.h"
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

    // Loads the scene as the campaign does, then plays it to its end in frames of game time, drawing each
    // frame, so that a text without glyphs or a missing picture or sound fails here.
    void play(const std::string& path)
    {
        Fernhouse::Script::ScriptEngine engine;
        Tarvo::ScriptEnvironment env(&engine, m_sound);
        engine.load(path);
        const std::uint32_t start = m_time.getTime();
        while (engine.run())
        {
            ASSERT_LT(m_time.getTime() - start, LongestSceneMs) << path;
            env.update();
            glClear(GL_COLOR_BUFFER_BIT);
            env.draw();
            ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << path;
            m_clock.advance(FrameMs);
            m_time.update();
        }
        // Long enough to read, short enough not to bore.
        EXPECT_GT(m_time.getTime() - start, 3000u) << path;
        EXPECT_LT(m_time.getTime() - start, 30000u) << path;
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

TEST_F(CampaignsContent, EveryCampaignNamesMapsScriptsPlayersAndMusicThatLoadAndFit)
{
    const std::vector<std::string> paths = campaignPaths();
    ASSERT_GE(paths.size(), 2u);
    std::set<std::string> rewards;
    std::set<std::string> locks;
    for (const std::string& path : paths)
    {
        SCOPED_TRACE(path);
        Tarvo::CampaignFile campaign;
        ASSERT_NO_THROW(campaign.load(path));
        EXPECT_FALSE(campaign.getName().empty());
        EXPECT_FALSE(campaign.getRewardKey().empty());
        EXPECT_NE(campaign.getLockKey(), campaign.getRewardKey());
        rewards.insert(campaign.getRewardKey());
        locks.insert(campaign.getLockKey());
        EXPECT_TRUE(campaign.getBackground().empty() || fs::is_regular_file(campaign.getBackground()));
        EXPECT_NO_THROW(Fernhouse::Sound::Music(campaign.getMusic(), campaign.getMusic(), true))
            << campaign.getMusic();
        ASSERT_GE(campaign.getMapCount(), 4u);

        for (const std::string& script : scriptsOf(campaign))
        {
            EXPECT_EQ(script.rfind(ScriptPrefix, 0), 0u) << script;
            Fernhouse::Script::ScriptEngine engine;
            Tarvo::ScriptEnvironment env(&engine, m_sound);
            EXPECT_NO_THROW(engine.load(script)) << script;
        }
        for (std::size_t i = 0; i < campaign.getMapCount(); ++i)
        {
            const Tarvo::MapEntry& map = campaign.getMap(i);
            SCOPED_TRACE(map.getMapPath());
            // The round as the campaign builds it, on the shipped map, tileset, skins and fonts.
            Tarvo::GameEngine engine(map.getMapPath(), m_sound);
            engine.setGame(map.getSettings());
            engine.addPlayer(Tarvo::Campaign::PlayerName,
                             new Fernhouse::IO::KeyboardControl(m_configuration.getPlayer1Keys()),
                             Tarvo::Campaign::PlayerSkin, Tarvo::WormSprite::ControlAbsolute);
            for (const std::string& name : map.getAINames())
            {
                auto* ai = new Tarvo::AIControl(name, &engine);
                const Tarvo::AIFile& file = ai->getAIFile();
                const std::string aiName = file.getName();
                const std::string skin = file.getSkin();
                EXPECT_NO_THROW(engine.addPlayer(aiName, ai, skin, Tarvo::WormSprite::ControlAbsolute))
                    << name;
            }
            engine.start(campaign.getBackground());
            engine.update();
            glClear(GL_COLOR_BUFFER_BIT);
            engine.draw();
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
            // Every round can be won: a goal to reach, a time to survive, or enemies to outlast.
            const Tarvo::GameSettings& settings = map.getSettings();
            if (settings.type == Tarvo::GAME_SURVIVE)
            {
                EXPECT_GT(settings.timeLimit, 0);
            }
            else if (settings.type == Tarvo::GAME_ENEMIES)
            {
                EXPECT_FALSE(map.getAINames().empty());
            }
            else
            {
                EXPECT_GT(settings.goal, 0);
            }
        }
    }

    // One campaign is always listed, and every lock is opened by some campaign's reward.
    EXPECT_EQ(locks.count(""), 1u);
    for (const std::string& lock : locks)
    {
        EXPECT_TRUE(lock.empty() || rewards.count(lock) == 1) << lock;
    }
    Tarvo::Configuration& configuration = m_configuration;
    auto listed = [&] {
        int count = 0;
        for (const std::string& path : paths)
        {
            Tarvo::CampaignFile campaign;
            campaign.load(path);
            count += configuration.isCampaignUnlocked(campaign.getLockKey()) ? 1 : 0;
        }
        return count;
    };
    const int atFirst = listed();
    EXPECT_GE(atFirst, 1);
    EXPECT_LT(atFirst, static_cast<int>(paths.size()));
    for (const std::string& reward : rewards)
    {
        configuration.unlockCampaign(reward);
    }
    EXPECT_EQ(listed(), static_cast<int>(paths.size()));
}

TEST_F(CampaignsContent, EveryCampaignScenePlaysToItsEndOnTheShippedFontsAndSounds)
{
    std::set<std::string> played;
    for (const std::string& path : campaignPaths())
    {
        Tarvo::CampaignFile campaign;
        campaign.load(path);
        for (const std::string& script : scriptsOf(campaign))
        {
            if (played.insert(script).second)
            {
                play(script);
            }
        }
    }
    EXPECT_GE(played.size(), 10u);
}

TEST_F(CampaignsContent, EveryCampaignStartsAndReachesItsFirstRoundWithItsMusic)
{
    // A data directory of its own, since the highscores are written to the working directory.
    TestSupport::TempDir dir;
    for (const char* data : {"graphics", "sounds", "maps", "campaigns", "scripts", "ai"})
    {
        fs::create_directory_symlink(fs::absolute(data), dir.path() / data);
    }
    const std::vector<std::string> paths = campaignPaths();
    TestSupport::ScopedWorkingDirectory cwd(dir.path());
    Fernhouse::Base::EventRouter router;
    for (const std::string& path : paths)
    {
        SCOPED_TRACE(path);
        Tarvo::HighscoreTable highscores;
        Tarvo::Campaign campaign(path, &m_configuration, m_sound, &highscores);
        auto frame = [&](SDLKey key) {
            SDL_Event event{};
            event.type = SDL_KEYDOWN;
            event.key.keysym.sym = key;
            SDL_PushEvent(&event);
            m_clock.advance(FrameMs);
            router.poll();
            m_time.update();
            campaign.update();
            glClear(GL_COLOR_BUFFER_BIT);
            campaign.draw();
            ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        };
        campaign.start();
        // Space skips each scene.
        for (int i = 0; i < 10 && campaign.getState() != Tarvo::Campaign::Round; ++i)
        {
            frame(SDLK_SPACE);
        }
        ASSERT_EQ(campaign.getState(), Tarvo::Campaign::Round);
        const Tarvo::GameEngine* engine = campaign.getGameEngine();
        EXPECT_EQ(engine->getWormCount(), campaign.getCampaignFile().getMap(0).getAINames().size() + 1);
        ASSERT_NE(m_sound->getCurrentMusic(), nullptr);
        EXPECT_EQ(m_sound->getCurrentMusic()->getFileName(), campaign.getCampaignFile().getMusic());
        frame(SDLK_ESCAPE);
        EXPECT_TRUE(campaign.isFinished());
        // Each campaign begins on a map of its own, so the round adds an entry.
        ASSERT_FALSE(highscores.getEntries().empty());
        EXPECT_EQ(highscores.getEntries().back()->getMap(),
                  campaign.getCampaignFile().getMap(0).getMapPath());
    }
    EXPECT_TRUE(fs::is_regular_file(dir.path() / "highscore.dat"));
}

TEST_F(CampaignsContent, EveryCampaignPlaysToItsEndAndUnlocksTheNextOneInTurn)
{
    // A data directory of its own, with every computer player blind: it never turns, so it dies at the
    // first wall below it. The player is the autopilot above.
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
            for (int frame = 0; frame < 20000 && !campaign.isFinished(); ++frame)
            {
                SDLKey key = SDLK_RETURN;
                Tarvo::GameEngine* engine = campaign.getGameEngine();
                if (engine != nullptr && engine->getEndTime() == 0)
                {
                    roundOver = false;
                    key = autopilot.step(*engine);
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
            EXPECT_EQ(roundsWon, file.getMapCount());
            EXPECT_TRUE(m_configuration.isCampaignUnlocked(file.getRewardKey()));
            break;
        }
    }
    EXPECT_EQ(order, (std::vector<std::string>{"campaigns/first_feast.cpj", "campaigns/long_winter.cpj",
                                               "campaigns/homecoming.cpj"}));
}
