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

// A duel won when the blind computer worm hits its wall, with every scene, cake-only apples and a song.
const std::string Duel =
    "1\n\nduel_done\nDuel\nscripts/campaign_short.fhs\nscripts/campaign_short.fhs\n\n"
    "sounds/song2.ogg\n1\nscripts/campaign_long.fhs\nmaps/duel.map\nscripts/campaign_short.fhs\n"
    "1 0 0\n0 0 0 0 0 1\n1\nblind\n";

// A campaign played as the front end plays it, on the round fixture's services, with maps, scenes and a
// computer player of its own.
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
        // It never looks around, so it keeps going down: into the wall right below start point 2.
        dir().writeFile("ai/blind.ai", "buffy\neat\n0\n100\n0\n");
        writeMap("duel", {"#########", "#1.....2#", "#......##", "#.......#", "#.......#", "#########"});
        writeMap("trap", {"#####", "#.1.#", "#####"});
        dir().writeFile("scripts/campaign_short.fhs", "printText(10, 20, \"HELLO\")\nsleep(1000)\n");
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

    // One pass of the frame loop, drawn when asked.
    void step(std::uint32_t ms = 20, bool draw = false)
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

    // Frames until the campaign leaves the state, at most 20 s.
    void stepWhile(int state)
    {
        for (int i = 0; m_campaign->getState() == state && i < 1000; ++i)
        {
            step();
        }
        EXPECT_NE(m_campaign->getState(), state) << "still in state " << state;
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

    bool isHandler(const Fernhouse::Base::EventHandler* part)
    {
        const auto& handlers = router().getHandlers();
        return std::find(handlers.begin(), handlers.end(), part) != handlers.end();
    }

    std::string highscores() const
    {
        std::string text;
        for (const Tarvo::HighscoreEntry* e : m_highscores->getEntries())
        {
            text += e->getMap() + " " + std::to_string(e->getScore()) + " " + std::to_string(e->getLength()) +
                    ";";
        }
        return text;
    }

    Tarvo::Configuration m_configuration;
    std::unique_ptr<Tarvo::HighscoreTable> m_highscores;
    std::unique_ptr<Campaign> m_campaign;
};

} // namespace

// The map's scene waits a minute unless Space skips it; the round has the player first, the named
// computer player, the map's weights and the campaign's song. The reward comes only after the scores and
// the closing scene.
TEST_F(CampaignTest, WonCampaignPlaysTheFilesRoundShowsTheScoresAndUnlocksTheRewardAfterItsEnding)
{
    enterDuelRound();
    const Tarvo::GameEngine* engine = m_campaign->getGameEngine();
    ASSERT_EQ(engine->getWormCount(), 2u);
    EXPECT_EQ(engine->getWorms()[0]->getName() + " " + engine->getWorms()[1]->getName(), "Tarvo blind");
    EXPECT_EQ(engine->getApplePainter()->getWeights(), (Tarvo::ApplePainter::Weights{0, 0, 0, 0, 0, 1}));
    ASSERT_NE(soundManager()->getCurrentMusic(), nullptr);
    EXPECT_EQ(soundManager()->getCurrentMusic()->getFileName(), "sounds/song2.ogg");
    step(20, true);
    playRoundToItsEnd();

    const Tarvo::WormSprite::Results results = m_campaign->getResults();
    stepWhile(Campaign::WinScene);
    Tarvo::ScoreBoard* board = m_campaign->getScoreBoard();
    ASSERT_NE(board, nullptr);
    EXPECT_TRUE(isHandler(board) && board->isNewHighscore());
    step(20, true);
    pressKey(SDLK_ESCAPE);
    step();
    EXPECT_EQ(m_campaign->getState(), Campaign::Ending);
    EXPECT_FALSE(m_configuration.isCampaignUnlocked("duel_done"));
    stepWhile(Campaign::Ending);
    step();
    EXPECT_TRUE(m_campaign->isFinished() && m_campaign->getChildren().empty());
    EXPECT_TRUE(m_configuration.isCampaignUnlocked("duel_done"));
    EXPECT_EQ(highscores(), "maps/duel.map " + std::to_string(std::max(results.score, 0)) + " " +
                                std::to_string(results.length) + ";");
}

TEST_F(CampaignTest, LosingARoundByCrashingOrEscapeEndsTheCampaignAtOnceSubmittedAndNothingUnlocked)
{
    // Empty scenes pass in the next frame; without a song the rounds' context keeps what it had; without
    // weights the default ones.
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
    EXPECT_TRUE(trap.isFinished() && trap.getChildren().empty());
    EXPECT_EQ(trap.getScoreBoard(), nullptr);
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
    m_campaign.reset();
    EXPECT_EQ(router().getHandlers().size(), handlersBefore);
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
