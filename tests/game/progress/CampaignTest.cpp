#include "game/progress/Campaign.h"

#include "engine/sound/Music.h"

#include "game/play/MapEntry.h"
#include "game/play/ScoreBoard.h"
#include "game/progress/CampaignFile.h"
#include "game/progress/Configuration.h"
#include "game/progress/HighscoreEntry.h"
#include "game/progress/HighscoreTable.h"

#include "tests/game/play/RoundFixture.h"

using namespace Fernhouse::Base;
using Tarvo::Campaign;
using Tarvo::CampaignFile;
using namespace std::string_literals;

namespace
{

namespace fs = std::filesystem;

// A duel won when the blind computer worm hits its wall, with every scene, cake-only apples and a song.
const std::string Duel =
    "1\n\nduel_done\nDuel\nscripts/campaign_short.fhs\nscripts/campaign_short.fhs\n\n"
    "sounds/song2.ogg\n1\nscripts/campaign_long.fhs\nmaps/duel.map\nscripts/campaign_short.fhs\n"
    "1 0 0\n0 0 0 0 0 1\n1\nblind\n";

// A campaign played as the front end plays it, with maps, scenes and a computer player of its own.
class CampaignTest : public RoundSupport::RoundTest
{
protected:
    void SetUp() override
    {
        RoundTest::SetUp();
        fs::create_directory(dir().path() / "ai");
        fs::create_directory(dir().path() / "scripts");
        fs::create_directory(dir().path() / "campaigns");
        // It never looks around, so it keeps going down: into the wall right below start point 2.
        dir().written("ai/blind.ai", "buffy\neat\n0\n100\n0\n");
        writeMap("duel", {"#########", "#1.....2#", "#......##", "#.......#", "#.......#", "#########"});
        writeMap("trap", {"#####", "#.1.#", "#####"});
        dir().written("scripts/campaign_short.fhs", "printText(10, 20, \"HELLO\")\nsleep(1000)\n");
        dir().written("scripts/campaign_long.fhs", "printText(10, 20, \"WAIT\")\nsleep(60000)\n");
    }

    void TearDown() override
    {
        m_campaign.reset();
        m_highscores.reset();
        RoundTest::TearDown();
    }

    Campaign& start(const std::string& text)
    {
        dir().written("campaigns/c.cpj", text);
        m_campaign.reset();
        m_highscores = std::make_unique<Tarvo::HighscoreTable>();
        m_campaign = std::make_unique<Campaign>("campaigns/c.cpj", &m_configuration, soundManager(),
                                                m_highscores.get());
        m_campaign->start();
        return *m_campaign;
    }

    void step(std::uint32_t ms = 20)
    {
        clock().advance(ms);
        router().poll();
        GameTime::getInstance()->update();
        m_campaign->update();
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
        const Tarvo::GameEngine& engine = *m_campaign->getGameEngine();
        for (int i = 0; i < 1000 && engine.getEndTime() == 0; ++i)
        {
            step(50);
        }
        ASSERT_NE(engine.getEndTime(), 0u) << "the round did not end";
        step(Tarvo::GameEngine::EndDelay);
        pressKey(SDLK_RETURN);
        step();
    }

    std::string song()
    {
        return soundManager()->getCurrentMusic() ? soundManager()->getCurrentMusic()->getFileName() : "";
    }

    std::string highscoreCountAndEntry() const
    {
        const auto& entries = m_highscores->getEntries();
        const Tarvo::HighscoreEntry& e = *entries.at(0);
        return std::to_string(entries.size()) + " " + e.getMap() + " " + std::to_string(e.getScore()) + " " +
               std::to_string(e.getLength());
    }

    Tarvo::Configuration m_configuration;
    std::unique_ptr<Tarvo::HighscoreTable> m_highscores;
    std::unique_ptr<Campaign> m_campaign;
};

// Two maps: the first with weights and two computer players, the second without either.
const std::string TwoMaps =
    "1\n\ngarden_done\nThe Garden\nscripts/campaign_garden_intro.fhs\nscripts/campaign_garden_end.fhs\n"
    "graphics/singleplayer_back.png\nsounds/song1.ogg\n2\n"
    "scripts/campaign_garden_1.fhs\nmaps/meadow.map\n\n4 10 60000\n6 0 0 0 0 2\n2\nbuffy\nember\n"
    "\nmaps/castle.map\nscripts/campaign_garden_2_won.fhs\n1 0 0\n\n0\n";

// The fields, "|" apart, each map's in brackets: intro, path, win script, type goal time, weights, players.
std::string summary(const CampaignFile& c)
{
    std::string s = c.getLockKey() + "|" + c.getRewardKey() + "|" + c.getName() + "|" + c.getIntroScript() +
                    "|" + c.getEndScript() + "|" + c.getBackground() + "|" + c.getMusic();
    for (std::size_t m = 0; m < c.getMapCount(); ++m)
    {
        const Tarvo::MapEntry& map = c.getMap(m);
        s += "[" + map.getIntroScript() + "|" + map.getMapPath() + "|" + map.getWinScript() + "|" +
             std::to_string(map.getSettings().type) + " " + std::to_string(map.getSettings().goal) + " " +
             std::to_string(map.getSettings().timeLimit) + "|";
        for (std::size_t i = 0; map.hasAppleWeights() && i < map.getAppleWeights().size(); ++i)
        {
            s += std::to_string(map.getAppleWeights()[i]) + " ";
        }
        for (const std::string& name : map.getAINames())
        {
            s += "|" + name;
        }
        s += "]";
    }
    return s;
}

// The campaign's summary, or the message of what loading it threw, which must come from CampaignFile.
std::string load(const TestSupport::TempDir& dir, const std::string& text, CampaignFile& campaign)
{
    dir.written("c.cpj", text);
    try
    {
        campaign.load(text == "no file" ? "campaigns/none.cpj" : dir.file("c.cpj"));
        return summary(campaign);
    }
    catch (const Exception& e)
    {
        return (e.getFile() == "CampaignFile" ? "" : "from " + e.getFile() + ": ") + e.getMessage();
    }
}

} // namespace

// The map's scene waits a minute unless Space skips it; the round has the player first, then the file's
// computer player, weights and song. The reward comes only after the scores and the closing scene.
TEST_F(CampaignTest, WonCampaignPlaysTheFilesRoundShowsTheScoresAndUnlocksTheRewardAfterItsEnding)
{
    enterDuelRound();
    const Tarvo::GameEngine* engine = m_campaign->getGameEngine();
    ASSERT_EQ(engine->getWormCount(), 2u);
    EXPECT_EQ(
        (std::tuple{engine->getWorms()[0]->getName() + " " + engine->getWorms()[1]->getName(), song(),
                    engine->getApplePainter()->getWeights()}),
        (std::tuple{"Tarvo blind", "sounds/song2.ogg", Tarvo::ApplePainter::Weights{0, 0, 0, 0, 0, 1}}));
    playRoundToItsEnd();

    const Tarvo::WormSprite::Results results = m_campaign->getResults();
    stepWhile(Campaign::WinScene);
    Tarvo::ScoreBoard* board = m_campaign->getScoreBoard();
    ASSERT_TRUE(board != nullptr && board->isNewHighscore());
    pressKey(SDLK_ESCAPE);
    step();
    EXPECT_EQ((std::pair{m_campaign->getState(), m_configuration.isCampaignUnlocked("duel_done")}),
              std::pair(Campaign::Ending, false));
    stepWhile(Campaign::Ending);
    step();
    EXPECT_TRUE(m_campaign->isFinished() && m_campaign->getChildren().empty() &&
                m_configuration.isCampaignUnlocked("duel_done"));
    EXPECT_EQ(highscoreCountAndEntry(), "1 maps/duel.map " + std::to_string(std::max(results.score, 0)) +
                                            " " + std::to_string(results.length));
}

TEST_F(CampaignTest, LostDeletedOrUnloadableCampaignEndsAtOnceUnlocksNothingAndLeavesNoHandlerOrSongBehind)
{
    const std::size_t handlersBefore = router().getHandlers().size();
    // Empty scenes pass in the next frame; without a song the rounds' context keeps what it had; without
    // weights the default ones.
    Campaign& trap = start("1\n\ntrap_done\nTrap\n\nscripts/campaign_short.fhs\n\n\n2\n"
                           "\nmaps/trap.map\nscripts/campaign_short.fhs\n5 0 60000\n\n0\n"
                           "\nmaps/trap.map\n\n5 0 0\n\n0\n");
    step();
    step();
    ASSERT_EQ(trap.getState(), Campaign::Round);
    EXPECT_EQ(std::pair(trap.getGameEngine()->getApplePainter()->getWeights(), song()),
              std::pair(Tarvo::ApplePainter::DefaultWeights, ""s));
    playRoundToItsEnd();
    EXPECT_TRUE(trap.isFinished() && trap.getChildren().empty() && trap.getScoreBoard() == nullptr &&
                m_configuration.getUnlockedCampaigns().empty());
    EXPECT_EQ(highscoreCountAndEntry(), "1 maps/trap.map 0 2");

    enterDuelRound();
    m_campaign.reset();
    // The song leaves the rounds' context too, so later single maps play none.
    soundManager()->pushContext("game");
    EXPECT_EQ(std::pair(router().getHandlers().size(), song()), std::pair(handlersBefore, ""s));
    soundManager()->popContext();

    // A missing file fails in the constructor, no maps at the first update, a missing scene at start.
    Tarvo::HighscoreTable table;
    EXPECT_THROW(Campaign("campaigns/none.cpj", &m_configuration, soundManager(), &table), IOException);
    start("1\n\n\nEmpty\n\n\n\n\n0\n");
    EXPECT_TRUE(
        TestSupport::throwsWith<ArgumentException>([&] { step(); }, "invalid campaign index", "Campaign"));
    EXPECT_THROW(start("1\n\n\nLost\nscripts/campaign_none.fhs\n\n\n\n1\n\nmaps/trap.map\n\n5 0 0\n\n0\n"),
                 FileNotFoundException);
    m_campaign.reset();
    EXPECT_EQ(router().getHandlers().size(), handlersBefore);
}

TEST(CampaignFile, EachFileLoadsToItsFieldsOrFailsWithItsMessageKeepingWhatWasLoaded)
{
    const auto header = [](const std::string& count) {
        return "1\n\nreward\nName\n\n\n\nsong.ogg\n" + count + "\n";
    };
    const auto block = [](const std::string& settings, const std::string& weights = "",
                          const std::string& ais = "0\n") {
        return "\nmaps/a.map\n\n" + settings + "\n" + weights + "\n" + ais;
    };
    const std::string one = header("1");
    const std::string most = "357913941 357913941 357913941 357913941 357913941 357913941";
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"|garden_done|The Garden|scripts/campaign_garden_intro.fhs|scripts/campaign_garden_end.fhs|"
         "graphics/singleplayer_back.png|sounds/song1.ogg"
         "[scripts/campaign_garden_1.fhs|maps/meadow.map||4 10 60000|6 0 0 0 0 2 |buffy|ember]"
         "[|maps/castle.map|scripts/campaign_garden_2_won.fhs|1 0 0|]",
         {TwoMaps}},
        // CR LF, blanks kept in strings, numbers with leading blanks and trailing words, the settings over
        // three lines, and a last line without its line end.
        {"  lock key  |reward| Spaced  Name ||||song.ogg[intro.fhs |maps/a.map||5 -3 2000|1 2 3 4 5 6 |"
         "slow buffy]",
         {" 1 first version\r\n  lock key  \r\nreward\r\n Spaced  Name \r\n\r\n\r\n\r\nsong.ogg\r\n"
          "  1 map\r\nintro.fhs \r\nmaps/a.map\r\n\r\n 5\r\n-3\r\n+2000 ms\r\n1 2 3 4 5 6 and more\r\n"
          " 1 player\r\nslow buffy"}},
        {"|reward|Name||||song.ogg[|maps/a.map||1 0 0|" + most + " ]", {one + block("1 0 0", most)}},
        {"Couldn't not load file: campaigns/none.cpj", {"no file"}},
        {"Invalid campaign version.", {"2\n" + header("0").substr(2), "0\n"}},
        {"Failed to read campaign-version.", {"", "one\n", "99999999999\n"}},
        // The type is checked before the rest of its line; the message names the map from 0 and the type.
        {"Map 0 has invalid gametype: 0", {one + block("0 0 0")}},
        {"Map 0 has invalid gametype: 6", {one + block("6 0 0")}},
        {"Map 2 has invalid gametype: -7", {header("3") + block("1 0 0") + block("5 0 0") + block("-7 0 0")}},
        {"Failed to read campaign header.", {"1\n", header("many"), header("-1"), header("4294967297")}},
        // A huge count, a block cut short, bad settings; weights fewer than six, negative, or with a sum that
        // would overflow; a computer player count negative or beyond the names present.
        {"error reading from file.",
         {header("2000000000") + block("1 0 0"), one + "\nmaps/a.map\n", one + block("2 ten 0"),
          one + block("5 0 -1000"), one + block("5 0 4000000000"), one + block("1 0 0", "1 2 3 4 5"),
          one + block("1 0 0", "1 2 3 -4 5 6"), one + block("1 0 0", "0 0 0 0 0 357913942"),
          one + block("1 0 0", "", "-2\n"), one + block("1 0 0", "", "2000000000\nbuffy\nember\n")}},
    };
    TestSupport::TempDir dir;
    for (const auto& [result, texts] : cases)
    {
        for (const std::string& text : texts)
        {
            CampaignFile campaign;
            EXPECT_EQ(load(dir, text, campaign), result) << text;
        }
    }

    // A failed load leaves the campaign loaded before untouched.
    CampaignFile campaign;
    const std::string before = load(dir, TwoMaps, campaign);
    EXPECT_EQ(load(dir, header("2") + block("1 0 0") + block("9 0 0"), campaign),
              "Map 1 has invalid gametype: 9");
    load(dir, "no file", campaign);
    EXPECT_EQ(summary(campaign), before);
}
