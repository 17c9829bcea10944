#include "game/progress/CampaignFile.h"

#include "engine/base/Exception.h"

#include "game/play/MapEntry.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <typeinfo>

using Fernhouse::Base::Exception;
using Tarvo::CampaignFile;

namespace
{

const std::string VersionFailed = "io: Failed to read campaign-version.";
const std::string HeaderFailed = "io: Failed to read campaign header.";
const std::string MapFailed = "io: error reading from file.";

// Two maps: the first with weights and two computer players, the second without either.
const std::string TwoMaps =
    "1\n\ngarden_done\nThe Garden\nscripts/campaign_garden_intro.fhs\nscripts/campaign_garden_end.fhs\n"
    "graphics/singleplayer_back.png\nsounds/song1.ogg\n2\n"
    "scripts/campaign_garden_1.fhs\nmaps/meadow.map\n\n4 10 60000\n6 0 0 0 0 2\n2\nbuffy\nember\n"
    "\nmaps/castle.map\nscripts/campaign_garden_2_won.fhs\n1 0 0\n\n0\n";

std::string header(const std::string& count)
{
    return "1\n\nreward\nName\n\n\n\nsong.ogg\n" + count + "\n";
}

// One map block with the given settings, weights and computer player lines.
std::string block(const std::string& settings, const std::string& weights = "",
                  const std::string& ais = "0\n")
{
    return "\nmaps/a.map\n\n" + settings + "\n" + weights + "\n" + ais;
}

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

// The campaign's summary, or what loading it threw: "io: " for an IOException, "other: " for a plain
// Exception, then the message. Every error must come from CampaignFile.
std::string load(const TestSupport::TempDir& dir, const std::string& text, CampaignFile& campaign)
{
    dir.writeFile("c.cpj", text);
    try
    {
        campaign.load(text == "no file" ? "campaigns/none.cpj" : dir.file("c.cpj"));
        return summary(campaign);
    }
    catch (const Exception& e)
    {
        const std::string kind = typeid(e) == typeid(Fernhouse::Base::IOException) ? "io: "
                                 : typeid(e) == typeid(Exception)                  ? "other: "
                                                                                   : "?: ";
        return (e.getFile() == "CampaignFile" ? kind : "from " + e.getFile() + ": ") + e.getMessage();
    }
}

} // namespace

TEST(CampaignFile, EachFileLoadsToItsFieldsOrFailsWithItsMessageKeepingWhatWasLoaded)
{
    const std::string one = header("1");
    const std::pair<std::string, std::string> cases[] = {
        {TwoMaps, "|garden_done|The Garden|scripts/campaign_garden_intro.fhs|scripts/campaign_garden_end.fhs|"
                  "graphics/singleplayer_back.png|sounds/song1.ogg"
                  "[scripts/campaign_garden_1.fhs|maps/meadow.map||4 10 60000|6 0 0 0 0 2 |buffy|ember]"
                  "[|maps/castle.map|scripts/campaign_garden_2_won.fhs|1 0 0|]"},
        // CR LF, blanks kept in strings, numbers with leading blanks and trailing words, the settings over
        // three lines, and a last line without its line end.
        {" 1 first version\r\n  lock key  \r\nreward\r\n Spaced  Name \r\n\r\n\r\n\r\nsong.ogg\r\n  1 map\r\n"
         "intro.fhs \r\nmaps/a.map\r\n\r\n 5\r\n-3\r\n+2000 ms\r\n1 2 3 4 5 6 and more\r\n 1 player\r\nslow "
         "buffy",
         "  lock key  |reward| Spaced  Name ||||song.ogg[intro.fhs |maps/a.map||5 -3 2000|1 2 3 4 5 6 |slow "
         "buffy]"},
        // No maps at all is a valid file; playing it fails later.
        {header("0"), "|reward|Name||||song.ogg"},
        {one + block("1 0 0", "357913941 357913941 357913941 357913941 357913941 357913941"),
         "|reward|Name||||song.ogg[|maps/a.map||1 0 0|357913941 357913941 357913941 357913941 357913941 "
         "357913941 ]"},
        {"no file", "io: Couldn't not load file: campaigns/none.cpj"},
        {"2\n" + header("0").substr(2), "other: Invalid campaign version."},
        {"0\n", "other: Invalid campaign version."},
        {"", VersionFailed},
        {"one\n", VersionFailed},
        {"99999999999\n", VersionFailed},
        // The type is checked before the rest of its line; the message names the map from 0 and the type.
        {one + block("0 0 0"), "other: Map 0 has invalid gametype: 0"},
        {one + block("6 0 0"), "other: Map 0 has invalid gametype: 6"},
        {header("3") + block("1 0 0") + block("5 0 0") + block("-7 0 0"),
         "other: Map 2 has invalid gametype: -7"},
        {"1\n", HeaderFailed},
        {header("many"), HeaderFailed},
        {header("-1"), HeaderFailed},
        {header("4294967297"), HeaderFailed},
        // A huge count with one map in the file, and a block cut short.
        {header("2000000000") + block("1 0 0"), MapFailed},
        {one + "\nmaps/a.map\n", MapFailed},
        {one + block("2 ten 0"), MapFailed},
        {one + block("2 10"), MapFailed},
        {one + block("5 0 -1000"), MapFailed},
        {one + block("5 0 4000000000"), MapFailed},
        // Weights: fewer than six, not numbers, negative, or so large that their sum would overflow.
        {one + block("1 0 0", "1 2 3 4 5"), MapFailed},
        {one + block("1 0 0", " "), MapFailed},
        {one + block("1 0 0", "1 2 3 -4 5 6"), MapFailed},
        {one + block("1 0 0", "0 0 0 0 0 357913942"), MapFailed},
        // Computer players: a count that is not a number, negative, or larger than the names present.
        {one + block("1 0 0", "", "two\nbuffy\nember\n"), MapFailed},
        {one + block("1 0 0", "", "-2\n"), MapFailed},
        {one + block("1 0 0", "", "2000000000\nbuffy\nember\n"), MapFailed},
    };
    TestSupport::TempDir dir;
    for (const auto& [text, result] : cases)
    {
        CampaignFile campaign;
        EXPECT_EQ(load(dir, text, campaign), result) << text;
    }

    // A failed load leaves the campaign loaded before untouched.
    CampaignFile campaign;
    const std::string loaded = load(dir, TwoMaps, campaign);
    EXPECT_EQ(load(dir, header("2") + block("1 0 0") + block("9 0 0"), campaign),
              "other: Map 1 has invalid gametype: 9");
    EXPECT_EQ(load(dir, "no file", campaign).substr(0, 4), "io: ");
    EXPECT_EQ(summary(campaign), loaded);
}
