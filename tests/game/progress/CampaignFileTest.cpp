#include "game/progress/CampaignFile.h"

#include "engine/base/Exception.h"

#include "game/play/MapEntry.h"

#include "tests/support/TempDir.h"
#include "tests/support/TextDamage.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <vector>

using Fernhouse::Base::Exception;
using Fernhouse::Base::IOException;
using Tarvo::CampaignFile;
using Tarvo::MapEntry;
using TestSupport::TempDir;

static_assert(!std::is_copy_constructible_v<CampaignFile> && !std::is_copy_assignable_v<CampaignFile>);

namespace
{

const std::string Tag = "CampaignFile";
const std::string VersionFailed = "Failed to read campaign-version.";
const std::string HeaderFailed = "Failed to read campaign header.";
const std::string MapFailed = "error reading from file.";
const std::string BadVersion = "Invalid campaign version.";

// Two maps: the first with weights and two computer players, the second without either.
const std::string TwoMaps = "1\n"
                            "\n"
                            "garden_done\n"
                            "The Garden\n"
                            "scripts/campaign_garden_intro.fhs\n"
                            "scripts/campaign_garden_end.fhs\n"
                            "graphics/singleplayer_back.png\n"
                            "sounds/song1.ogg\n"
                            "2\n"
                            "scripts/campaign_garden_1.fhs\n"
                            "maps/meadow.map\n"
                            "\n"
                            "4 10 60000\n"
                            "6 0 0 0 0 2\n"
                            "2\n"
                            "buffy\n"
                            "ember\n"
                            "\n"
                            "maps/castle.map\n"
                            "scripts/campaign_garden_2_won.fhs\n"
                            "1 0 0\n"
                            "\n"
                            "0\n";

// Throws exactly E (not a subclass or sibling) with the message, from CampaignFile.
template <typename E>
::testing::AssertionResult throwsExactly(const std::function<void()>& call, const std::string& message)
{
    try
    {
        call();
    }
    catch (const Exception& e)
    {
        if (typeid(e) != typeid(E))
        {
            return ::testing::AssertionFailure() << "wrong type: " << e.what();
        }
        if (e.getMessage() != message || e.getFile() != Tag)
        {
            return ::testing::AssertionFailure() << "threw \"" << e.getMessage() << "\" from " << e.getFile();
        }
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "nothing thrown";
}

template <typename E>::testing::AssertionResult loadFails(const std::string& text, const std::string& message)
{
    TempDir dir;
    dir.writeFile("c.cpj", text);
    CampaignFile campaign;
    return throwsExactly<E>([&] { campaign.load(dir.file("c.cpj")); }, message);
}

std::string header(const std::string& count)
{
    return "1\n\nreward\nName\n\n\n\nsong.ogg\n" + count + "\n";
}

// One map block with the given settings line, weights line and AI lines.
std::string block(const std::string& settings, const std::string& weights = "",
                  const std::string& ais = "0\n")
{
    return "\nmaps/a.map\n\n" + settings + "\n" + weights + "\n" + ais;
}

std::string summary(const MapEntry& map)
{
    std::string text = map.getIntroScript() + "|" + map.getMapPath() + "|" + map.getWinScript() + "|" +
                       std::to_string(map.getSettings().type) + "," + std::to_string(map.getSettings().goal) +
                       "," + std::to_string(map.getSettings().timeLimit) + "|";
    if (map.hasAppleWeights())
    {
        for (const std::int32_t weight : map.getAppleWeights())
        {
            text += std::to_string(weight) + " ";
        }
    }
    text += "|";
    for (const std::string& name : map.getAINames())
    {
        text += name + ";";
    }
    return text;
}

} // namespace

TEST(CampaignFile, LoadsHeaderAndMapsInOrderWithWeightsAndComputerPlayers)
{
    TempDir dir;
    dir.writeFile("c.cpj", TwoMaps);
    CampaignFile campaign;
    EXPECT_EQ(campaign.getMapCount(), 0u);
    campaign.load(dir.file("c.cpj"));

    EXPECT_EQ(campaign.getLockKey(), "");
    EXPECT_EQ(campaign.getRewardKey(), "garden_done");
    EXPECT_EQ(campaign.getName(), "The Garden");
    EXPECT_EQ(campaign.getIntroScript(), "scripts/campaign_garden_intro.fhs");
    EXPECT_EQ(campaign.getEndScript(), "scripts/campaign_garden_end.fhs");
    EXPECT_EQ(campaign.getBackground(), "graphics/singleplayer_back.png");
    EXPECT_EQ(campaign.getMusic(), "sounds/song1.ogg");
    ASSERT_EQ(campaign.getMapCount(), 2u);
    EXPECT_EQ(summary(campaign.getMap(0)),
              "scripts/campaign_garden_1.fhs|maps/meadow.map||4,10,60000|6 0 0 0 0 2 |buffy;ember;");
    EXPECT_EQ(summary(campaign.getMap(1)), "|maps/castle.map|scripts/campaign_garden_2_won.fhs|1,0,0||");
}

TEST(CampaignFile, ReadsLinesWholeDropsCarriageReturnsAndReadsNumbersAsFormatted)
{
    TempDir dir;
    // CR LF line ends, blanks kept in strings, numbers with leading blanks and trailing words, the three
    // settings over three lines, and a last line without its line end.
    dir.writeFile("c.cpj", " 1 first version\r\n"
                           "  lock key  \r\n"
                           "reward\r\n"
                           " Spaced  Name \r\n"
                           "\r\n"
                           "\r\n"
                           "\r\n"
                           "song.ogg\r\n"
                           "  1 map\r\n"
                           "intro.fhs \r\n"
                           "maps/a.map\r\n"
                           "\r\n"
                           " 5\r\n"
                           "-3\r\n"
                           "+2000 ms\r\n"
                           "1 2 3 4 5 6 and more\r\n"
                           " 1 player\r\n"
                           "slow buffy");
    CampaignFile campaign;
    campaign.load(dir.file("c.cpj"));
    EXPECT_EQ(campaign.getLockKey(), "  lock key  ");
    EXPECT_EQ(campaign.getName(), " Spaced  Name ");
    EXPECT_EQ(campaign.getMusic(), "song.ogg");
    ASSERT_EQ(campaign.getMapCount(), 1u);
    EXPECT_EQ(summary(campaign.getMap(0)), "intro.fhs |maps/a.map||5,-3,2000|1 2 3 4 5 6 |slow buffy;");

    // No maps at all is a valid file; playing it fails later.
    dir.writeFile("c.cpj", header("0"));
    campaign.load(dir.file("c.cpj"));
    EXPECT_EQ(campaign.getMapCount(), 0u);
    EXPECT_EQ(campaign.getRewardKey(), "reward");
}

TEST(CampaignFile, MissingFileBadVersionAndGameTypeOutsideOneToFiveFailWithTheirMessages)
{
    CampaignFile campaign;
    EXPECT_TRUE(throwsExactly<IOException>([&] { campaign.load("campaigns/none.cpj"); },
                                           "Couldn't not load file: campaigns/none.cpj"));
    EXPECT_TRUE(loadFails<Exception>("2\n" + header("0").substr(2), BadVersion));
    EXPECT_TRUE(loadFails<Exception>("0\n", BadVersion));
    EXPECT_TRUE(loadFails<IOException>("", VersionFailed));
    EXPECT_TRUE(loadFails<IOException>("one\n", VersionFailed));
    EXPECT_TRUE(loadFails<IOException>("99999999999\n", VersionFailed));
    // The type is checked before the rest of its line; the message names the map from 0 and the type.
    EXPECT_TRUE(loadFails<Exception>(header("1") + block("0 0 0"), "Map 0 has invalid gametype: 0"));
    EXPECT_TRUE(loadFails<Exception>(header("1") + block("6 0 0"), "Map 0 has invalid gametype: 6"));
    EXPECT_TRUE(loadFails<Exception>(header("3") + block("1 0 0") + block("5 0 0") + block("-7 0 0"),
                                     "Map 2 has invalid gametype: -7"));
}

TEST(CampaignFile, DamagedCountsAndNumbersFailWithoutTrustingTheCounts)
{
    // The map count.
    EXPECT_TRUE(loadFails<IOException>("1\n", HeaderFailed));
    EXPECT_TRUE(loadFails<IOException>(header("many"), HeaderFailed));
    EXPECT_TRUE(loadFails<IOException>(header("-1"), HeaderFailed));
    EXPECT_TRUE(loadFails<IOException>(header("4294967297"), HeaderFailed));
    // A huge count with one map in the file, and a block cut short.
    EXPECT_TRUE(loadFails<IOException>(header("2000000000") + block("1 0 0"), MapFailed));
    EXPECT_TRUE(loadFails<IOException>(header("1") + "\nmaps/a.map\n", MapFailed));
    // Settings.
    EXPECT_TRUE(loadFails<IOException>(header("1") + block("2 ten 0"), MapFailed));
    EXPECT_TRUE(loadFails<IOException>(header("1") + block("2 10"), MapFailed));
    EXPECT_TRUE(loadFails<IOException>(header("1") + block("5 0 -1000"), MapFailed));
    EXPECT_TRUE(loadFails<IOException>(header("1") + block("5 0 4000000000"), MapFailed));
    // Weights: fewer than six, not numbers, negative, or so large that their sum would overflow.
    EXPECT_TRUE(loadFails<IOException>(header("1") + block("1 0 0", "1 2 3 4 5"), MapFailed));
    EXPECT_TRUE(loadFails<IOException>(header("1") + block("1 0 0", " "), MapFailed));
    EXPECT_TRUE(loadFails<IOException>(header("1") + block("1 0 0", "1 2 3 -4 5 6"), MapFailed));
    EXPECT_TRUE(loadFails<IOException>(header("1") + block("1 0 0", "0 0 0 0 0 357913942"), MapFailed));
    // Computer players: a count that is not a number, negative, or larger than the names present.
    EXPECT_TRUE(loadFails<IOException>(header("1") + block("1 0 0", "", "two\nbuffy\nember\n"), MapFailed));
    EXPECT_TRUE(loadFails<IOException>(header("1") + block("1 0 0", "", "-2\n"), MapFailed));
    EXPECT_TRUE(
        loadFails<IOException>(header("1") + block("1 0 0", "", "2000000000\nbuffy\nember\n"), MapFailed));

    // The largest weights that are allowed still load.
    TempDir dir;
    dir.writeFile("c.cpj", header("1") +
                               block("1 0 0", "357913941 357913941 357913941 357913941 357913941 357913941"));
    CampaignFile campaign;
    campaign.load(dir.file("c.cpj"));
    EXPECT_EQ(campaign.getMap(0).getAppleWeights()[5], CampaignFile::MaxAppleWeight);
}

TEST(CampaignFile, FailedLoadKeepsTheDescriptionItHad)
{
    TempDir dir;
    dir.writeFile("good.cpj", TwoMaps);
    dir.writeFile("bad.cpj", header("2") + block("1 0 0") + block("9 0 0"));
    CampaignFile campaign;
    campaign.load(dir.file("good.cpj"));
    EXPECT_THROW(campaign.load(dir.file("bad.cpj")), Exception);
    EXPECT_THROW(campaign.load(dir.file("missing.cpj")), IOException);
    EXPECT_EQ(campaign.getName(), "The Garden");
    ASSERT_EQ(campaign.getMapCount(), 2u);
    EXPECT_EQ(campaign.getMap(1).getMapPath(), "maps/castle.map");
}

TEST(CampaignFile, RandomlyDamagedFilesLoadOrFailWithALoadMessage)
{
    const std::set<std::string> loadMessages = {VersionFailed, HeaderFailed, MapFailed, BadVersion};
    const std::vector<std::string> pieces = {" ", "\n",         "\r\n",       "-", "0",
                                             "7", "2147483647", "4000000000", "x", "\t"};
    TempDir dir;
    const std::string path = dir.file("damaged.cpj");
    std::mt19937 generator(20261206); // fixed, so that a failure repeats
    int loaded = 0;
    for (int round = 0; round < 1500; ++round)
    {
        const std::string text = TestSupport::damageText(TwoMaps, generator, pieces);
        dir.writeFile("damaged.cpj", text);
        try
        {
            CampaignFile campaign;
            campaign.load(path);
            // Whatever loaded is within the format's bounds and no larger than the file.
            EXPECT_LE(campaign.getMapCount(), text.size());
            for (std::size_t i = 0; i < campaign.getMapCount(); ++i)
            {
                const MapEntry& map = campaign.getMap(i);
                EXPECT_GE(map.getSettings().type, 1);
                EXPECT_LE(map.getSettings().type, 5);
                EXPECT_GE(map.getSettings().timeLimit, 0);
                EXPECT_LE(map.getAINames().size(), text.size());
                for (const std::int32_t weight : map.getAppleWeights())
                {
                    EXPECT_GE(weight, 0);
                    EXPECT_LE(weight, CampaignFile::MaxAppleWeight);
                }
            }
            ++loaded;
        }
        catch (const Exception& e)
        {
            const bool knownMessage = loadMessages.count(e.getMessage()) == 1 ||
                                      e.getMessage().find(" has invalid gametype: ") != std::string::npos;
            EXPECT_TRUE(knownMessage) << e.getMessage();
            EXPECT_EQ(e.getFile(), Tag);
        }
    }
    // Some damage (a changed name, an extra blank) is harmless; if nothing ever loads, the test is broken.
    EXPECT_GT(loaded, 0);
}
