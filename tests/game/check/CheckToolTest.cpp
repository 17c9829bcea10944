#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace
{

namespace fs = std::filesystem;

// tarvo-check's output and exit status on the arguments, run in the directory as the game's folder.
std::pair<std::string, int> check(const fs::path& directory, const std::string& arguments)
{
    const TestSupport::TempDir out;
    const int status = std::system(("cd '" + directory.string() + "' && '" TARVO_CHECK_BINARY "' " +
                                    arguments + " > '" + out.file("out.txt") + "' 2>&1")
                                       .c_str());
    return {out.readFile("out.txt"), WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// A .map as the game writes it, from rows: '#' wall, '.' ground, '1' to '9' a start point.
std::string mapText(const std::vector<std::string>& rows)
{
    std::string text = "1\nTEST\ngraphics/tilesets/meadow.png\n3 " + std::to_string(rows.front().size()) +
                       " " + std::to_string(rows.size()) + "\n\n";
    for (const int layer : {0, 1, 2})
    {
        for (const std::string& row : rows)
        {
            for (const char c : row)
            {
                text += layer == 0                           ? "16 "
                        : layer == 1 && c == '#'             ? "48 "
                        : layer == 2 && c >= '1' && c <= '9' ? std::string(1, c) + " "
                                                             : "-1 ";
            }
            text += "\n";
        }
        text += "\n";
    }
    return text;
}

// Cells written over a row from x on.
struct Change
{
    std::size_t x, y;
    std::string cells;
};

// 20 x 12 with these changes: the players' worms run 9 cells down in their first 3 seconds and just stop
// short of the wall.
std::string fair(std::initializer_list<Change> changes = {}, std::size_t height = 12)
{
    std::vector<std::string> rows(height, "#..................#");
    rows.front() = rows.back() = std::string(20, '#');
    rows[1][2] = '1';
    rows[1][17] = '2';
    for (const Change& change : changes)
    {
        rows[change.y].replace(change.x, change.cells.size(), change.cells);
    }
    return mapText(rows);
}

// A campaign of the fair map with these computer players.
std::string campaign(const std::string& lock, const std::string& song, const std::string& script,
                     const std::string& players)
{
    return "1\n" + lock + "\nkey\nTEST\n\n\n\n" + song + "\n1\n" + script + "\nmaps/fair.map\n\n4 5 0\n\n" +
           players;
}

} // namespace

TEST(CheckTool, EveryShippedMapCampaignComputerPlayerAndScriptPasses)
{
    EXPECT_EQ(check(TARVO_SOURCE_DIR, "maps campaigns ai scripts"), std::pair(std::string(), 0));
}

TEST(CheckTool, EachFaultIsReportedAtItsLineAndFailsTheRun)
{
    // Wall layer rows of a 12-row map start on line 19, start point rows on line 32.
    const struct
    {
        std::string file, text, problem;
    } cases[] = {
        {"maps/fair.map", fair(), ""},
        {"maps/m.map", fair({{5, 0, "."}}), "maps/m.map:19: the border is open at (5, 0)"},
        {"maps/m.map", fair({{2, 6, "#"}}),
         "maps/m.map:25: the worm on start point 1 runs into a wall at (2, 6) in its first 3 seconds"},
        {"maps/m.map", fair({{6, 1, "3"}}),
         "maps/m.map:33: the computer worm on start point 3 starts 4 cells from the player on start point 1, "
         "closer than 9"},
        {"maps/m.map", fair({{17, 10, "3"}}, 24),
         "maps/m.map:57: the worms on start points 2 and 3 meet at (17, 10) in their first 3 seconds"},
        {"maps/m.map", fair({{8, 5, "###"}, {8, 6, "#.#"}, {8, 7, "###"}}),
         "maps/m.map:25: 1 free cell cannot be reached from any start point, the first at (9, 6)"},
        {"maps/m.map", fair({{17, 1, "."}}), "maps/m.map:33: 1 start point; a round needs at least 2"},
        {"maps/m.map", fair({{17, 1, "3"}}), "maps/m.map:33: start point 2 is missing before start point 3"},
        {"maps/m.map", "2\nTEST\n", "maps/m.map: Unsupported map file version."},
        {"campaigns/c.cpj", campaign("", "song.ogg", "scripts/none.fhs", "1\nblind\n"),
         "campaigns/c.cpj:10: no script scripts/none.fhs"},
        {"campaigns/c.cpj", campaign("", "song.ogg", "", "1\nnobody\n"),
         "campaigns/c.cpj:16: Couldn't load file: ai/nobody.ai"},
        {"campaigns/c.cpj", campaign("", "song.ogg", "", "2\nblind\nblind\n"),
         "campaigns/c.cpj:15: 2 computer players and the player need more than the 2 start points of "
         "maps/fair.map"},
        {"campaigns/c.cpj", campaign("", "song.ogg", "", "1\nfast\n"),
         "maps/fair.map:30: the worm on start point 2 runs into a wall at (17, 11) in its first 3 seconds "
         "(as "
         "campaigns/c.cpj:11 fills it)"},
        {"campaigns/c.cpj", campaign("nokey", "song.ogg", "", "1\nblind\n"),
         "campaigns/c.cpj:2: no campaign beside it unlocks 'nokey'"},
        {"campaigns/c.cpj", campaign("", "none.ogg", "", "1\nblind\n"),
         "campaigns/c.cpj:8: Failed to load music."},
        {"ai/bad.ai", "tarvo\neat\n0\nfast\n0\n", "ai/bad.ai: Invalid speed in ai/bad.ai."},
        {"scripts/bad.fhs", "printText(1, 2, \"A\")\nwobble()\n",
         "scripts/bad.fhs:2: Function 'wobble' is not defined"},
    };

    for (const auto& c : cases)
    {
        const TestSupport::TempDir dir;
        for (const char* folder : {"maps", "campaigns", "ai", "scripts"})
        {
            fs::create_directory(dir.path() / folder);
        }
        fs::create_directory_symlink(fs::path(TARVO_SOURCE_DIR) / "graphics", dir.path() / "graphics");
        fs::copy_file(fs::path(TARVO_SOURCE_DIR) / "sounds" / "song3.ogg", dir.path() / "song.ogg");
        dir.writeFile("maps/fair.map", fair());
        dir.writeFile("ai/blind.ai", "tarvo\neat\n0\n100\n0\n");
        dir.writeFile("ai/fast.ai", "tarvo\neat\n0\n130\n0\n");
        dir.writeFile(c.file, c.text);
        const auto expected =
            c.problem.empty() ? std::pair(std::string(), 0) : std::pair(c.problem + "\n", 1);
        EXPECT_EQ(check(dir.path(), c.file), expected) << c.problem;
    }
}
