#include "game/progress/CampaignFile.h"

#include "engine/base/Exception.h"

#include "game/play/MapEntry.h"

#include "tests/support/TempDir.h"
#include "tests/support/TextDamage.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <typeinfo>
#include <vector>

using Fernhouse::Base::Exception;
using Fernhouse::Base::IOException;
using Tarvo::CampaignFile;
using Tarvo::MapEntry;
using TestSupport::TempDir;

namespace
{

const std::string Tag = "CampaignFile";
const std::string VersionFailed = "Failed to read campaign-version.";
const std::string HeaderFailed = "Failed to read campaign header.";
const std::string MapFailed = "error reading from file.";
const std::string BadVersion = "Invalid campaign version.";

// Two maps: the first with weights and two computer players, the second without either.
const std::string TwoMaps =
    "1\n\ngarden_done\nThe Garden\nscripts/campaign_garden_intro.fhs\nscripts/campaign_garden_end.fhs\n"
    "graphics/singleplayer_back.png\nsounds/song1.ogg\n2\n"
    "scripts/campaign_garden_1.fhs\nmaps/meadow.map\n\n4 10 60000\n6 0 0 0 0 2\n2\nbuffy\nember\n"
    "\nmaps/castle.map\nscripts/campaign_garden_2_won.fhs\n1 0 0\n\n0\n";

// What loading the text throws: "io: " for an IOException, "other: " for any other exception, then the
// message; "loaded" if nothing. Every error must come from CampaignFile.
std::string loadError(const std::string& text)
{
    TempDir dir;
    dir.writeFile("c.cpj", text);
    try
    {
        CampaignFile().load(text == "no file" ? "campaigns/none.cpj" : dir.file("c.cpj"));
    }
    catch (const Exception& e)
    {
        const std::string kind = typeid(e) == typeid(IOException) ? "io: "
                                 : typeid(e) == typeid(Exception) ? "other: "
                                                                  : "?: ";
        return (e.getFile() == Tag ? kind : "from " + e.getFile() + ": ") + e.getMessage();
    }
    return "loaded";
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

std::string summary(const CampaignFile& c)
{
    return c.getLockKey() + "|" + c.getRewardKey() + "|" + c.getName() + "|" + c.getIntroScript() + "|" +
           c.getEndScript() + "|" + c.getBackground() + "|" + c.getMusic() + "|" +
           std::to_string(c.getMapCount());
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

TEST(CampaignFile, LoadsHeaderAndMapsInOrderAndAFailedLoadKeepsThem)
{
    TempDir dir;
    dir.writeFile("good.cpj", TwoMaps);
    dir.writeFile("bad.cpj", header("2") + block("1 0 0") + block("9 0 0"));
    CampaignFile campaign;
    campaign.load(dir.file("good.cpj"));
    EXPECT_THROW(campaign.load(dir.file("bad.cpj")), Exception);
    EXPECT_THROW(campaign.load(dir.file("missing.cpj")), IOException);
    EXPECT_EQ(summary(campaign),
              "|garden_done|The Garden|scripts/campaign_garden_intro.fhs|"
              "scripts/campaign_garden_end.fhs|graphics/singleplayer_back.png|sounds/song1.ogg|2");
    EXPECT_EQ(summary(campaign.getMap(0)),
              "scripts/campaign_garden_1.fhs|maps/meadow.map||4,10,60000|6 0 0 0 0 2 |buffy;ember;");
    EXPECT_EQ(summary(campaign.getMap(1)), "|maps/castle.map|scripts/campaign_garden_2_won.fhs|1,0,0||");
}

TEST(CampaignFile, ReadsLinesWholeDropsCarriageReturnsAndReadsNumbersAsFormatted)
{
    TempDir dir;
    // CR LF line ends, blanks kept in strings, numbers with leading blanks and trailing words, the three
    // settings over three lines, and a last line without its line end.
    dir.writeFile("c.cpj",
                  " 1 first version\r\n  lock key  \r\nreward\r\n Spaced  Name \r\n\r\n\r\n\r\nsong.ogg\r\n"
                  "  1 map\r\nintro.fhs \r\nmaps/a.map\r\n\r\n 5\r\n-3\r\n+2000 ms\r\n"
                  "1 2 3 4 5 6 and more\r\n 1 player\r\nslow buffy");
    CampaignFile campaign;
    campaign.load(dir.file("c.cpj"));
    EXPECT_EQ(summary(campaign), "  lock key  |reward| Spaced  Name ||||song.ogg|1");
    EXPECT_EQ(summary(campaign.getMap(0)), "intro.fhs |maps/a.map||5,-3,2000|1 2 3 4 5 6 |slow buffy;");

    // No maps at all is a valid file; playing it fails later.
    dir.writeFile("c.cpj", header("0"));
    campaign.load(dir.file("c.cpj"));
    EXPECT_EQ(summary(campaign), "|reward|Name||||song.ogg|0");
}

TEST(CampaignFile, DamagedFilesFailWithTheirMessagesWithoutTrustingTheCounts)
{
    const std::string one = header("1");
    const std::pair<std::string, std::string> cases[] = {
        {"no file", "io: Couldn't not load file: campaigns/none.cpj"},
        {"2\n" + header("0").substr(2), "other: " + BadVersion},
        {"0\n", "other: " + BadVersion},
        {"", "io: " + VersionFailed},
        {"one\n", "io: " + VersionFailed},
        {"99999999999\n", "io: " + VersionFailed},
        // The type is checked before the rest of its line; the message names the map from 0 and the type.
        {one + block("0 0 0"), "other: Map 0 has invalid gametype: 0"},
        {one + block("6 0 0"), "other: Map 0 has invalid gametype: 6"},
        {header("3") + block("1 0 0") + block("5 0 0") + block("-7 0 0"),
         "other: Map 2 has invalid gametype: -7"},
        // The map count.
        {"1\n", "io: " + HeaderFailed},
        {header("many"), "io: " + HeaderFailed},
        {header("-1"), "io: " + HeaderFailed},
        {header("4294967297"), "io: " + HeaderFailed},
        // A huge count with one map in the file, and a block cut short.
        {header("2000000000") + block("1 0 0"), "io: " + MapFailed},
        {one + "\nmaps/a.map\n", "io: " + MapFailed},
        // Settings.
        {one + block("2 ten 0"), "io: " + MapFailed},
        {one + block("2 10"), "io: " + MapFailed},
        {one + block("5 0 -1000"), "io: " + MapFailed},
        {one + block("5 0 4000000000"), "io: " + MapFailed},
        // Weights: fewer than six, not numbers, negative, or so large that their sum would overflow.
        {one + block("1 0 0", "1 2 3 4 5"), "io: " + MapFailed},
        {one + block("1 0 0", " "), "io: " + MapFailed},
        {one + block("1 0 0", "1 2 3 -4 5 6"), "io: " + MapFailed},
        {one + block("1 0 0", "0 0 0 0 0 357913942"), "io: " + MapFailed},
        {one + block("1 0 0", "357913941 357913941 357913941 357913941 357913941 357913941"), "loaded"},
        // Computer players: a count that is not a number, negative, or larger than the names present.
        {one + block("1 0 0", "", "two\nbuffy\nember\n"), "io: " + MapFailed},
        {one + block("1 0 0", "", "-2\n"), "io: " + MapFailed},
        {one + block("1 0 0", "", "2000000000\nbuffy\nember\n"), "io: " + MapFailed},
    };
    for (const auto& [text, error] : cases)
    {
        EXPECT_EQ(loadError(text), error) << text;
    }
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
                EXPECT_TRUE(map.getSettings().type >= 1 && map.getSettings().type <= 5) << summary(map);
                EXPECT_GE(map.getSettings().timeLimit, 0);
                EXPECT_LE(map.getAINames().size(), text.size());
                for (const std::int32_t weight : map.getAppleWeights())
                {
                    EXPECT_TRUE(weight >= 0 && weight <= CampaignFile::MaxAppleWeight) << summary(map);
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
