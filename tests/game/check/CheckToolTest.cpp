#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace
{

namespace fs = std::filesystem;

struct CheckRun
{
    int status;
    std::string output;
};

// tarvo-check on the arguments, run in the directory as the game's folder.
CheckRun check(const fs::path& directory, const std::string& arguments)
{
    const std::string command =
        "cd '" + directory.string() + "' && '" TARVO_CHECK_BINARY "' " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    CheckRun run{-1, ""};
    if (pipe == nullptr)
    {
        return run;
    }
    std::array<char, 256> buffer{};
    while (fgets(buffer.data(), static_cast<int>(buffer.size()), pipe) != nullptr)
    {
        run.output += buffer.data();
    }
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// A .map as the game writes it, from rows: '#' wall, '.' ground, '1' to '9' a start point.
std::string mapText(const std::vector<std::string>& rows)
{
    const std::size_t width = rows.front().size();
    std::string text = "1\nTEST\ngraphics/tilesets/meadow.png\n3 " + std::to_string(width) + " " +
                       std::to_string(rows.size()) + "\n\n";
    for (int layer = 0; layer < 3; ++layer)
    {
        for (const std::string& row : rows)
        {
            for (const char c : row)
            {
                const bool digit = c >= '1' && c <= '9';
                const int value = layer == 0   ? 16
                                  : layer == 1 ? (c == '#' ? 48 : -1)
                                               : (digit ? c - '0' : -1);
                text += std::to_string(value) + " ";
            }
            text += "\n";
        }
        text += "\n";
    }
    return text;
}

// 20 x 12: the players' worms run 9 cells down in their first 3 seconds and just stop short of the wall.
std::vector<std::string> fairRows()
{
    std::vector<std::string> rows(12, "#..................#");
    rows.front() = rows.back() = std::string(20, '#');
    rows[1][2] = '1';
    rows[1][17] = '2';
    return rows;
}

// A campaign of the map with the computer players, the rest of its lines as given.
std::string campaignText(const std::string& lock, const std::string& song, const std::string& script,
                         const std::vector<std::string>& players)
{
    std::string text = "1\n" + lock + "\nkey\nTEST\n\n\n\n" + song + "\n1\n" + script +
                       "\nmaps/fair.map\n\n4 5 0\n\n" + std::to_string(players.size()) + "\n";
    for (const std::string& player : players)
    {
        text += player + "\n";
    }
    return text;
}

struct Damage
{
    const char* behaviour;
    std::string file;
    std::string text;
    std::string expected;
};

std::vector<std::string> with(std::vector<std::string> rows, int x, int y, char c)
{
    rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = c;
    return rows;
}

std::vector<Damage> damages()
{
    std::vector<std::string> tall(24, "#..................#");
    tall.front() = tall.back() = std::string(20, '#');
    tall[1][2] = '1';
    tall[1][17] = '2';
    std::vector<std::string> pocket = fairRows();
    pocket[5].replace(8, 3, "###");
    pocket[6].replace(8, 3, "#.#");
    pocket[7].replace(8, 3, "###");
    // Wall layer rows of a 12-row map start on line 19, start point rows on line 32.
    return {
        {"a fair map passes", "maps/fair.map", mapText(fairRows()), ""},
        {"an open border", "maps/m.map", mapText(with(fairRows(), 5, 0, '.')),
         "maps/m.map:19: the border is open at (5, 0)\n"},
        {"a wall in a worm's first run", "maps/m.map", mapText(with(fairRows(), 2, 6, '#')),
         "maps/m.map:25: the worm on start point 1 runs into a wall at (2, 6) in its first 3 seconds\n"},
        {"a computer worm next to the player", "maps/m.map", mapText(with(fairRows(), 6, 1, '3')),
         "maps/m.map:33: the computer worm on start point 3 starts 4 cells from the player on start point 1, "
         "closer than 9\n"},
        {"two runs crossing", "maps/m.map", mapText(with(tall, 17, 10, '3')),
         "maps/m.map:57: the worms on start points 2 and 3 meet at (17, 10) in their first 3 seconds\n"},
        {"a walled-in pocket", "maps/m.map", mapText(pocket),
         "maps/m.map:25: 1 free cell cannot be reached from any start point, the first at (9, 6)\n"},
        {"a single start point", "maps/m.map", mapText(with(fairRows(), 17, 1, '.')),
         "maps/m.map:33: 1 start point; a round needs at least 2\n"},
        {"a gap in the numbers", "maps/m.map", mapText(with(fairRows(), 17, 1, '3')),
         "maps/m.map:33: start point 2 is missing before start point 3\n"},
        {"a map the loader refuses", "maps/m.map", "2\nTEST\n",
         "maps/m.map: Unsupported map file version.\n"},
        {"a campaign naming a missing scene", "campaigns/c.cpj",
         campaignText("", "song.ogg", "scripts/none.fhs", {"blind"}),
         "campaigns/c.cpj:10: no script scripts/none.fhs\n"},
        {"a campaign naming an unknown computer player", "campaigns/c.cpj",
         campaignText("", "song.ogg", "", {"nobody"}),
         "campaigns/c.cpj:16: Couldn't load file: ai/nobody.ai\n"},
        {"more computer players than start points", "campaigns/c.cpj",
         campaignText("", "song.ogg", "", {"blind", "blind"}),
         "campaigns/c.cpj:15: 2 computer players and the player need more than the 2 start points of "
         "maps/fair.map\n"},
        {"a fast computer player the map is not fair for", "campaigns/c.cpj",
         campaignText("", "song.ogg", "", {"fast"}),
         "maps/fair.map:30: the worm on start point 2 runs into a wall at (17, 11) in its first 3 seconds "
         "(as "
         "campaigns/c.cpj:11 fills it)\n"},
        {"a lock no campaign opens", "campaigns/c.cpj", campaignText("nokey", "song.ogg", "", {"blind"}),
         "campaigns/c.cpj:2: no campaign beside it unlocks 'nokey'\n"},
        {"a missing song", "campaigns/c.cpj", campaignText("", "none.ogg", "", {"blind"}),
         "campaigns/c.cpj:8: Failed to load music.\n"},
        {"an AI file with a bad number", "ai/bad.ai", "tarvo\neat\n0\nfast\n0\n",
         "ai/bad.ai: Invalid speed in ai/bad.ai.\n"},
        {"a script calling an unknown function", "scripts/bad.fhs", "printText(1, 2, \"A\")\nwobble()\n",
         "scripts/bad.fhs:2: Function 'wobble' is not defined\n"},
    };
}

} // namespace

TEST(CheckTool, EveryShippedMapCampaignComputerPlayerAndScriptPasses)
{
    const CheckRun run = check(TARVO_SOURCE_DIR, "maps campaigns ai scripts");
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(run.status, 0);
}

TEST(CheckTool, EachDamageIsReportedAtItsLineAndFailsTheRun)
{
    for (const Damage& damage : damages())
    {
        SCOPED_TRACE(damage.behaviour);
        TestSupport::TempDir dir;
        for (const char* folder : {"maps", "campaigns", "ai", "scripts"})
        {
            fs::create_directory(dir.path() / folder);
        }
        fs::create_directory_symlink(fs::path(TARVO_SOURCE_DIR) / "graphics", dir.path() / "graphics");
        fs::copy_file(fs::path(TARVO_SOURCE_DIR) / "sounds" / "song3.ogg", dir.path() / "song.ogg");
        dir.writeFile("maps/fair.map", mapText(fairRows()));
        dir.writeFile("ai/blind.ai", "tarvo\neat\n0\n100\n0\n");
        dir.writeFile("ai/fast.ai", "tarvo\neat\n0\n130\n0\n");
        dir.writeFile(damage.file, damage.text);

        const CheckRun run = check(dir.path(), damage.file);
        EXPECT_EQ(run.output, damage.expected);
        EXPECT_EQ(run.status, damage.expected.empty() ? 0 : 1);
    }
}
