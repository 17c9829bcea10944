#include "game/progress/Campaign.h"

#include "engine/base/EventRouter.h"
#include "engine/base/Exception.h"
#include "engine/base/GameTime.h"
#include "engine/sound/Music.h"
#include "engine/sound/SoundManager.h"

#include "game/frontend/ScriptEnvironment.h"
#include "game/play/ApplePainter.h"
#include "game/play/GameEngine.h"
#include "game/play/ScoreBoard.h"
#include "game/progress/Configuration.h"
#include "game/progress/HighscoreEntry.h"
#include "game/progress/HighscoreTable.h"

#include "tests/game/play/RoundFixture.h"
#include "tests/support/Throws.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

using Tarvo::Campaign;

namespace
{

namespace fs = std::filesystem;

constexpr std::uint32_t FrameMs = 20;

// A duel won when the blind computer worm hits its wall, with every scene, cake-only apples and a song.
const std::string Duel =
    "1\n\nduel_done\nDuel\nscripts/campaign_short.fhs\nscripts/campaign_short.fhs\n\n"
    "sounds/song2.ogg\n1\nscripts/campaign_long.fhs\nmaps/duel.map\nscripts/campaign_short.fhs\n"
    "1 0 0\n0 0 0 0 0 1\n1\nblind\n";

// A campaign played as the front end plays it, updated once per frame after the events, on the round
// fixture's services and flat tileset with the real skins and fonts, and maps, scenes and a computer player
// of its own.
class CampaignTest : public RoundSupport::RoundTest
{
protected:
    void SetUp() override
    {
        RoundTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        for (const char* picture : {"scoreboard_back.png", "highscore.png"})
        {
            fs::create_symlink(fs::path(TARVO_SOURCE_DIR) / "graphics" / picture,
                               dir().path() / "graphics" / picture);
        }
        for (const char* folder : {"ai", "scripts", "campaigns"})
        {
            fs::create_directory(dir().path() / folder);
        }
        // It never looks around, so it keeps going down.
        dir().writeFile("ai/blind.ai", "buffy\neat\n0\n100\n0\n");
        // A wall right below start point 2; start point 1 right above a wall.
        writeMap("duel", {"#########", "#1.....2#", "#......##", "#.......#", "#.......#", "#########"});
        writeMap("trap", {"#####", "#.1.#", "#####"});
        // A scene that shows a text and waits a second; one that waits a minute for a skip.
        dir().writeFile("scripts/campaign_short.fhs",
                        "# a short scene\nprintText(10, 20, \"HELLO\")\nsleep(1000)\n");
        dir().writeFile("scripts/campaign_long.fhs", "printText(10, 20, \"WAIT\")\nsleep(60000)\n");
    }

    void TearDown() override
    {
        m_campaign.reset();
        m_highscores.reset();
        RoundTest::TearDown();
    }

    Campaign& start(const std::string& text)
    {
        dir().writeFile("campaigns/c.cpj", text);
        m_campaign.reset();
        m_highscores = std::make_unique<Tarvo::HighscoreTable>();
        m_campaign = std::make_unique<Campaign>("campaigns/c.cpj", &m_configuration, soundManager(),
                                                m_highscores.get());
        m_campaign->start();
        return *m_campaign;
    }

    // One pass of the frame loop with the campaign as the screen's content, drawn when asked.
    void step(std::uint32_t ms = FrameMs, bool draw = false)
    {
        clock().advance(ms);
        router().poll();
        Fernhouse::Base::GameTime::getInstance()->update();
        m_campaign->update();
        if (draw)
        {
            glClear(GL_COLOR_BUFFER_BIT);
            glLoadIdentity();
            m_campaign->draw();
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        }
    }

    // Frames until the campaign leaves the state, at most 20 s; returns the game time taken.
    std::uint32_t stepWhile(int state)
    {
        std::uint32_t spent = 0;
        for (; m_campaign->getState() == state && spent < 20000; spent += FrameMs)
        {
            step();
        }
        EXPECT_NE(m_campaign->getState(), state) << "still in state " << state;
        return spent;
    }

    // The duel's scenes skipped with Space.
    void enterDuelRound()
    {
        start(Duel);
        pressKey(SDLK_SPACE);
        stepWhile(Campaign::BetweenMaps);
        pressKey(SDLK_SPACE);
        stepWhile(Campaign::MapIntro);
        ASSERT_EQ(m_campaign->getState(), Campaign::Round);
    }

    // Through the round's start delay until it is over, then a key that leaves it.
    void playRoundToItsEnd()
    {
        ASSERT_NE(m_campaign->getGameEngine(), nullptr);
        const Tarvo::GameEngine& engine = *m_campaign->getGameEngine();
        for (int i = 0; i < 1000 && engine.getEndTime() == 0; ++i)
        {
            step(50);
        }
        ASSERT_NE(engine.getEndTime(), 0u) << "the round did not end";
        step(Tarvo::GameEngine::EndDelay);
        pressKey(SDLK_RETURN);
        step();
        EXPECT_EQ(m_campaign->getGameEngine(), nullptr) << "the round was not left";
    }

    // Shown as a child of the campaign, or hearing keys.
    bool isChild(const Fernhouse::Base::Entity* part) const
    {
        const auto& children = m_campaign->getChildren();
        return std::find(children.begin(), children.end(), part) != children.end();
    }

    bool isHandler(const Fernhouse::Base::EventHandler* part)
    {
        const auto& handlers = router().getHandlers();
        return std::find(handlers.begin(), handlers.end(), part) != handlers.end();
    }

    std::string highscores() const
    {
        std::string text;
        for (const Tarvo::HighscoreEntry* entry : m_highscores->getEntries())
        {
            text += entry->getMap() + " " + std::to_string(entry->getScore()) + " " +
                    std::to_string(entry->getLength()) + ";";
        }
        return text;
    }

    Tarvo::Configuration m_configuration;
    std::unique_ptr<Tarvo::HighscoreTable> m_highscores;
    std::unique_ptr<Campaign> m_campaign;
};

} // namespace

TEST_F(CampaignTest, WinningPlaysEverySceneShowsTheScoresSubmitsTheHighscoreAndUnlocksTheRewardLast)
{
    Campaign& campaign = start(Duel);
    // The opening scene is shown and hears keys for its second of game time.
    const auto* opening = campaign.getScriptEnvironment();
    ASSERT_NE(opening, nullptr);
    EXPECT_TRUE(isChild(opening) && isHandler(opening));
    step(FrameMs, true);
    const std::uint32_t spent = stepWhile(Campaign::BetweenMaps);
    EXPECT_TRUE(spent >= 1000 && spent < 1200) << spent;

    // The map's scene waits a minute unless Space skips it, which takes effect at the next frame.
    const auto* mapIntro = campaign.getScriptEnvironment();
    for (int i = 0; i < 10; ++i)
    {
        step();
    }
    EXPECT_EQ(campaign.getState(), Campaign::MapIntro);
    pressKey(SDLK_SPACE);
    step();
    EXPECT_EQ(campaign.getState(), Campaign::Round);
    EXPECT_FALSE(isHandler(mapIntro));

    // The round: the player first, the named computer player, the map's weights, the campaign's song.
    const Tarvo::GameEngine* engine = campaign.getGameEngine();
    ASSERT_NE(engine, nullptr);
    EXPECT_TRUE(isChild(engine) && isHandler(engine));
    ASSERT_EQ(engine->getWormCount(), 2u);
    EXPECT_EQ(engine->getPlayer1(), engine->getWorms()[0]);
    EXPECT_EQ(engine->getWorms()[0]->getName() + " " + engine->getWorms()[1]->getName(), "Tarvo blind");
    EXPECT_EQ(engine->getApplePainter()->getWeights(), (Tarvo::ApplePainter::Weights{0, 0, 0, 0, 0, 1}));
    ASSERT_NE(soundManager()->getCurrentMusic(), nullptr);
    EXPECT_EQ(soundManager()->getCurrentMusic()->getFileName(), "sounds/song2.ogg");
    step(FrameMs, true);
    playRoundToItsEnd();

    // Won: the round is gone with its results kept; after the win scene the board shows them until a key.
    EXPECT_EQ(campaign.getState(), Campaign::WinScene);
    EXPECT_FALSE(isHandler(engine));
    EXPECT_TRUE(campaign.isNewHighscore());
    const Tarvo::WormSprite::Results results = campaign.getResults();
    EXPECT_GE(results.length, 2u);
    stepWhile(Campaign::WinScene);
    Tarvo::ScoreBoard* board = campaign.getScoreBoard();
    ASSERT_NE(board, nullptr);
    EXPECT_TRUE(isChild(board) && isHandler(board));
    EXPECT_EQ(board->getResults().score, results.score);
    EXPECT_EQ(board->getResults().applesEaten, results.applesEaten);
    EXPECT_TRUE(board->isNewHighscore());
    EXPECT_EQ(board->getTilesetPath(), "tiles.png");
    step(FrameMs, true);
    for (int i = 0; i < 50; ++i)
    {
        step();
    }
    EXPECT_EQ(campaign.getState(), Campaign::ShowingScores);
    pressKey(SDLK_ESCAPE);
    step();
    EXPECT_FALSE(isHandler(board));

    // The last map was won: the closing scene, and only after it the reward; finished stays finished.
    EXPECT_EQ(campaign.getState(), Campaign::Ending);
    EXPECT_FALSE(m_configuration.isCampaignUnlocked("duel_done"));
    stepWhile(Campaign::Ending);
    step();
    EXPECT_TRUE(campaign.isFinished());
    EXPECT_TRUE(m_configuration.isCampaignUnlocked("duel_done"));
    EXPECT_TRUE(campaign.getChildren().empty());
    EXPECT_EQ(highscores(), "maps/duel.map " + std::to_string(std::max(results.score, 0)) + " " +
                                std::to_string(results.length) + ";");
}

TEST_F(CampaignTest, LosingARoundByCrashingOrEscapeEndsTheCampaignAtOnceSubmittedAndNothingUnlocked)
{
    // No scenes before the round: each empty one passes in the next frame. No song: the rounds' context
    // keeps what it had. No weights: the default ones.
    Campaign& trap = start("1\n\ntrap_done\nTrap\n\nscripts/campaign_short.fhs\n\n\n2\n"
                           "\nmaps/trap.map\nscripts/campaign_short.fhs\n5 0 60000\n\n0\n"
                           "\nmaps/trap.map\n\n5 0 0\n\n0\n");
    EXPECT_EQ(trap.getScriptEnvironment(), nullptr);
    step();
    step();
    ASSERT_EQ(trap.getState(), Campaign::Round);
    EXPECT_EQ(trap.getGameEngine()->getApplePainter()->getWeights(), Tarvo::ApplePainter::DefaultWeights);
    EXPECT_EQ(soundManager()->getCurrentMusic(), nullptr);
    playRoundToItsEnd();
    EXPECT_TRUE(trap.isFinished());
    EXPECT_EQ(trap.getMapIndex(), 0u);
    EXPECT_EQ(trap.getScoreBoard(), nullptr);
    EXPECT_TRUE(trap.getChildren().empty());
    EXPECT_EQ(highscores(), "maps/trap.map 0 2;");

    enterDuelRound();
    pressKey(SDLK_ESCAPE);
    step();
    EXPECT_TRUE(m_campaign->isFinished());
    EXPECT_EQ(highscores(), "maps/duel.map 0 1;");
    EXPECT_TRUE(m_configuration.getUnlockedCampaigns().empty());
}

TEST_F(CampaignTest, CampaignDeletedMidRoundOrFailingToLoadLeavesNoHandlerAndNoSongBehind)
{
    const std::size_t handlersBefore = router().getHandlers().size();
    enterDuelRound();
    EXPECT_EQ(router().getHandlers().size(), handlersBefore + 2);
    m_campaign.reset();
    EXPECT_EQ(router().getHandlers().size(), handlersBefore);
    EXPECT_EQ(soundManager()->getCurrentMusic(), nullptr);
    // The song leaves the rounds' context too, so later single maps play none.
    soundManager()->pushContext("game");
    EXPECT_EQ(soundManager()->getCurrentMusic(), nullptr);
    soundManager()->popContext();

    // A missing file fails in the constructor, no maps at the first update, a missing scene at start.
    Tarvo::HighscoreTable table;
    EXPECT_THROW(Campaign("campaigns/none.cpj", &m_configuration, soundManager(), &table),
                 Fernhouse::Base::IOException);
    start("1\n\n\nEmpty\n\n\n\n\n0\n");
    EXPECT_TRUE(TestSupport::throwsWith<Fernhouse::Base::ArgumentException>(
        [&] { step(); }, "invalid campaign index", "Campaign"));
    EXPECT_THROW(start("1\n\n\nLost\nscripts/campaign_none.fhs\n\n\n\n1\n\nmaps/trap.map\n\n5 0 0\n\n0\n"),
                 Fernhouse::Base::FileNotFoundException);
    m_campaign.reset();
    EXPECT_EQ(router().getHandlers().size(), handlersBefore);
}
