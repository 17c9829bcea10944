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
#include "game/play/WormSprite.h"
#include "game/progress/CampaignFile.h"
#include "game/progress/Configuration.h"
#include "game/progress/HighscoreEntry.h"
#include "game/progress/HighscoreTable.h"

#include "tests/game/play/RoundFixture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using Tarvo::Campaign;
using Tarvo::GameEngine;

namespace
{

namespace fs = std::filesystem;

constexpr std::uint32_t FrameMs = 20;

// A campaign played as the front end plays it: in the entity tree's place, updated once per frame after
// the events, on the round fixture's services, maps and flat tileset, with the real skins and fonts.
class CampaignTest : public RoundSupport::RoundTest
{
protected:
    void SetUp() override
    {
        RoundTest::SetUp();
        if (HasFatalFailure())
        {
            return;
        }
        const fs::path source(TARVO_SOURCE_DIR);
        for (const char* picture : {"scoreboard_back.png", "highscore.png"})
        {
            fs::create_symlink(source / "graphics" / picture, dir().path() / "graphics" / picture);
        }
        fs::create_directory(dir().path() / "ai");
        fs::create_directory(dir().path() / "scripts");
        fs::create_directory(dir().path() / "campaigns");
        // A computer player that never looks around: it keeps going down.
        dir().writeFile("ai/blind.ai", "buffy\neat\n0\n100\n0\n");
        // Open ground, except for a wall right below start point 2.
        writeMap("duel",
                 {"#########", "#1.....2#", "#......##", "#.......#", "#.......#", "#.......#", "#########"});
        // Start point 1 right above a wall.
        writeMap("trap", {"#####", "#.1.#", "#####"});
        writeMap("field", {"#######", "#..1..#", "#.....#", "#.....#", "#######"});
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

    Campaign& makeCampaign(const std::string& name, const std::string& text)
    {
        dir().writeFile("campaigns/" + name + ".cpj", text);
        m_campaign.reset();
        m_highscores.reset();
        m_highscores = std::make_unique<Tarvo::HighscoreTable>();
        m_campaign = std::make_unique<Campaign>("campaigns/" + name + ".cpj", &m_configuration,
                                                soundManager(), m_highscores.get());
        return *m_campaign;
    }

    // One pass of the frame loop with the campaign as the screen's content.
    void step(std::uint32_t ms = FrameMs, bool draw = false)
    {
        clock().advance(ms);
        router().poll();
        Fernhouse::Base::GameTime::getInstance()->update();
        if (draw)
        {
            glClear(GL_COLOR_BUFFER_BIT);
            glLoadIdentity();
        }
        m_campaign->update();
        if (draw)
        {
            m_campaign->draw();
            EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        }
    }

    // Frames until the campaign leaves the state, at most limitMs of real time; returns the frames taken.
    int stepWhile(int state, std::uint32_t limitMs = 20000)
    {
        int frames = 0;
        for (std::uint32_t spent = 0; m_campaign->getState() == state && spent < limitMs; spent += FrameMs)
        {
            step();
            ++frames;
        }
        EXPECT_NE(m_campaign->getState(), state) << "still in state " << state;
        return frames;
    }

    // Through the round's start delay, then frames until it is over, then a key that leaves it.
    void playRoundToItsEnd()
    {
        ASSERT_NE(m_campaign->getGameEngine(), nullptr);
        const GameEngine& engine = *m_campaign->getGameEngine();
        for (int i = 0; i < 1000 && engine.getEndTime() == 0 && !engine.isFinished(); ++i)
        {
            step(50);
        }
        ASSERT_NE(engine.getEndTime(), 0u) << "the round did not end";
        step(Tarvo::GameEngine::EndDelay);
        pressKey(SDLK_RETURN);
        step();
        EXPECT_EQ(m_campaign->getGameEngine(), nullptr) << "the round was not left";
    }

    bool isHandler(const Fernhouse::Base::EventHandler* handler)
    {
        const auto& handlers = router().getHandlers();
        return std::find(handlers.begin(), handlers.end(), handler) != handlers.end();
    }

    // Shown as a child of the campaign and hearing keys.
    template <typename Part> bool isLive(const Part* part)
    {
        const auto& children = m_campaign->getChildren();
        return isHandler(part) && std::find(children.begin(), children.end(), part) != children.end();
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

// The two-map campaign: a duel won when the blind computer worm hits its wall, with every scene, cake-only
// apples and the campaign's music; then a survival round without a time limit and without scenes.
const std::string TwoMaps = "1\n\nduel_done\nDuel\nscripts/campaign_short.fhs\nscripts/campaign_short.fhs\n\n"
                            "sounds/song2.ogg\n2\n"
                            "scripts/campaign_long.fhs\nmaps/duel.map\nscripts/campaign_short.fhs\n1 0 0\n"
                            "0 0 0 0 0 1\n1\nblind\n"
                            "\nmaps/field.map\n\n5 0 0\n\n0\n";

} // namespace

TEST_F(CampaignTest, WinningEveryMapPlaysAllScenesShowsScoresSubmitsHighscoresAndUnlocksTheReward)
{
    Campaign& campaign = makeCampaign("two", TwoMaps);

    // The opening scene: a child and a handler while it runs, then a second of game time.
    campaign.start();
    ASSERT_NE(campaign.getScriptEnvironment(), nullptr);
    EXPECT_TRUE(isLive(campaign.getScriptEnvironment()));
    step(FrameMs, true);
    EXPECT_EQ(campaign.getScriptEnvironment()->getChildren().size(), 1u);
    const int openingFrames = stepWhile(Campaign::BetweenMaps);
    EXPECT_GE(openingFrames * FrameMs, 1000u);
    EXPECT_LT(openingFrames * FrameMs, 1200u);

    // The map's scene waits a minute unless skipped; Space skips it at the next frame.
    EXPECT_EQ(campaign.getState(), Campaign::MapIntro);
    const auto* mapIntro = campaign.getScriptEnvironment();
    ASSERT_NE(mapIntro, nullptr);
    for (int i = 0; i < 10; ++i)
    {
        step();
    }
    EXPECT_EQ(campaign.getState(), Campaign::MapIntro);
    pressKey(SDLK_SPACE);
    step();
    EXPECT_EQ(campaign.getState(), Campaign::Round);
    EXPECT_EQ(campaign.getScriptEnvironment(), nullptr);
    EXPECT_FALSE(isHandler(mapIntro));

    // The round: player 1 from the configuration, the named computer player, the map's weights, the music.
    GameEngine* engine = campaign.getGameEngine();
    ASSERT_NE(engine, nullptr);
    EXPECT_TRUE(isLive(engine));
    ASSERT_EQ(engine->getWormCount(), 2u);
    EXPECT_EQ(engine->getPlayer1(), engine->getWorms()[0]);
    EXPECT_EQ(engine->getWorms()[0]->getName(), "Tarvo");
    EXPECT_EQ(engine->getWorms()[1]->getName(), "blind");
    EXPECT_EQ(engine->getApplePainter()->getWeights(), (Tarvo::ApplePainter::Weights{0, 0, 0, 0, 0, 1}));
    ASSERT_NE(soundManager()->getCurrentMusic(), nullptr);
    EXPECT_EQ(soundManager()->getCurrentMusic()->getFileName(), "sounds/song2.ogg");
    step(FrameMs, true);
    playRoundToItsEnd();

    // Won: the round is gone, its results kept, the win scene runs, then the score board shows them.
    EXPECT_EQ(campaign.getState(), Campaign::WinScene);
    EXPECT_EQ(campaign.getGameEngine(), nullptr);
    EXPECT_FALSE(isHandler(engine));
    EXPECT_EQ(campaign.getMapTileset(), "tiles.png");
    EXPECT_TRUE(campaign.isNewHighscore());
    EXPECT_GE(campaign.getResults().length, 2u);
    const Tarvo::WormSprite::Results duel = campaign.getResults();
    stepWhile(Campaign::WinScene);
    EXPECT_EQ(campaign.getState(), Campaign::ShowingScores);
    Tarvo::ScoreBoard* board = campaign.getScoreBoard();
    ASSERT_NE(board, nullptr);
    EXPECT_TRUE(isLive(board));
    EXPECT_EQ(board->getResults().score, campaign.getResults().score);
    EXPECT_EQ(board->getResults().applesEaten, campaign.getResults().applesEaten);
    EXPECT_TRUE(board->isNewHighscore());
    EXPECT_EQ(board->getTilesetPath(), "tiles.png");
    step(FrameMs, true);
    for (int i = 0; i < 50; ++i)
    {
        step();
    }
    EXPECT_EQ(campaign.getState(), Campaign::ShowingScores);
    pressKey(SDLK_RETURN);
    step();
    EXPECT_EQ(campaign.getScoreBoard(), nullptr);
    EXPECT_FALSE(isHandler(board));
    EXPECT_EQ(campaign.getMapIndex(), 1u);
    EXPECT_EQ(campaign.getState(), Campaign::BetweenMaps);

    // The second map has no scenes: each empty one is passed in the next frame. Its default weights stay.
    step();
    EXPECT_EQ(campaign.getState(), Campaign::MapIntro);
    EXPECT_EQ(campaign.getScriptEnvironment(), nullptr);
    step();
    EXPECT_EQ(campaign.getState(), Campaign::Round);
    ASSERT_NE(campaign.getGameEngine(), nullptr);
    EXPECT_EQ(campaign.getGameEngine()->getApplePainter()->getWeights(), Tarvo::ApplePainter::DefaultWeights);
    playRoundToItsEnd();
    EXPECT_EQ(campaign.getState(), Campaign::WinScene);
    const Tarvo::WormSprite::Results field = campaign.getResults();
    step();
    ASSERT_EQ(campaign.getState(), Campaign::ShowingScores);
    pressKey(SDLK_ESCAPE);
    step();

    // The last map was won: the closing scene, and only after it the reward.
    EXPECT_EQ(campaign.getState(), Campaign::Ending);
    EXPECT_NE(campaign.getScriptEnvironment(), nullptr);
    EXPECT_FALSE(m_configuration.isCampaignUnlocked("duel_done"));
    stepWhile(Campaign::Ending);
    EXPECT_TRUE(campaign.isFinished());
    EXPECT_TRUE(m_configuration.isCampaignUnlocked("duel_done"));
    EXPECT_EQ(campaign.getScriptEnvironment(), nullptr);
    EXPECT_TRUE(campaign.getChildren().empty());

    // Both rounds reached the highscores under their map paths.
    EXPECT_EQ(highscores(), "maps/duel.map " + std::to_string(std::max(duel.score, 0)) + " " +
                                std::to_string(duel.length) + ";maps/field.map " +
                                std::to_string(std::max(field.score, 0)) + " " +
                                std::to_string(field.length) + ";");

    // Finished stays finished.
    step();
    EXPECT_TRUE(campaign.isFinished());
}

TEST_F(CampaignTest, LosingAMapEndsTheCampaignAtOnceWithTheRoundSubmittedAndNothingUnlocked)
{
    Campaign& campaign = makeCampaign("trap", "1\n\ntrap_done\nTrap\n\nscripts/campaign_short.fhs\n\n\n2\n"
                                              "\nmaps/trap.map\nscripts/campaign_short.fhs\n5 0 60000\n\n0\n"
                                              "\nmaps/field.map\n\n5 0 0\n\n0\n");
    campaign.start();
    EXPECT_EQ(campaign.getScriptEnvironment(), nullptr);
    step();
    step();
    ASSERT_EQ(campaign.getState(), Campaign::Round);
    // No music line: the rounds' context keeps what it had.
    EXPECT_EQ(soundManager()->getCurrentMusic(), nullptr);
    const GameEngine* engine = campaign.getGameEngine();
    playRoundToItsEnd();

    EXPECT_FALSE(isHandler(engine));
    EXPECT_TRUE(campaign.isFinished());
    EXPECT_EQ(campaign.getMapIndex(), 0u);
    EXPECT_EQ(campaign.getScriptEnvironment(), nullptr);
    EXPECT_EQ(campaign.getScoreBoard(), nullptr);
    EXPECT_TRUE(campaign.getChildren().empty());
    EXPECT_TRUE(m_configuration.getUnlockedCampaigns().empty());
    EXPECT_EQ(highscores(), "maps/trap.map 0 2;");
    step();
    EXPECT_TRUE(campaign.isFinished());
}

TEST_F(CampaignTest, EscapeLeavesTheRoundAsALossAndDestroyingACampaignMidRoundTakesEverythingDown)
{
    makeCampaign("two", TwoMaps);
    m_campaign->start();
    pressKey(SDLK_RETURN);
    stepWhile(Campaign::BetweenMaps);
    pressKey(SDLK_ESCAPE);
    stepWhile(Campaign::MapIntro);
    ASSERT_EQ(m_campaign->getState(), Campaign::Round);
    pressKey(SDLK_ESCAPE);
    step();
    EXPECT_TRUE(m_campaign->isFinished());
    EXPECT_FALSE(m_configuration.isCampaignUnlocked("duel_done"));
    EXPECT_EQ(highscores(), "maps/duel.map 0 1;");

    // A campaign deleted during a round leaves no handler behind and pops the round's sound context.
    const std::size_t handlersBefore = router().getHandlers().size();
    makeCampaign("two", TwoMaps);
    m_campaign->start();
    pressKey(SDLK_SPACE);
    stepWhile(Campaign::BetweenMaps);
    pressKey(SDLK_SPACE);
    stepWhile(Campaign::MapIntro);
    ASSERT_EQ(m_campaign->getState(), Campaign::Round);
    EXPECT_EQ(router().getHandlers().size(), handlersBefore + 2);
    m_campaign.reset();
    EXPECT_EQ(router().getHandlers().size(), handlersBefore);
    EXPECT_EQ(soundManager()->getCurrentMusic(), nullptr);
    // The campaign's song leaves the rounds' context with it, so later single maps play none.
    soundManager()->pushContext("game");
    EXPECT_EQ(soundManager()->getCurrentMusic(), nullptr);
    soundManager()->popContext();
}

TEST_F(CampaignTest, LoadErrorsComeFromTheConstructorAndACampaignWithoutMapsFailsOnItsFirstUpdate)
{
    Tarvo::HighscoreTable table;
    EXPECT_THROW(Campaign("campaigns/none.cpj", &m_configuration, soundManager(), &table),
                 Fernhouse::Base::IOException);

    Campaign& campaign = makeCampaign("empty", "1\n\n\nEmpty\n\n\n\n\n0\n");
    campaign.start();
    try
    {
        step();
        ADD_FAILURE() << "a campaign without maps was played";
    }
    catch (const Fernhouse::Base::ArgumentException& e)
    {
        EXPECT_EQ(e.getMessage(), "invalid campaign index");
        EXPECT_EQ(e.getFile(), "Campaign");
    }

    // A missing scene fails when it is started, and is taken down with the campaign.
    makeCampaign("lost", "1\n\n\nLost\nscripts/campaign_none.fhs\n\n\n\n1\n\nmaps/field.map\n\n5 0 0\n\n0\n");
    EXPECT_THROW(m_campaign->start(), Fernhouse::Base::FileNotFoundException);
    m_campaign.reset();
    EXPECT_TRUE(router().getHandlers().empty());
}
