#include "tests/support/Paths.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <vector>

namespace
{

namespace fs = std::filesystem;

std::pair<std::string, int> check(const fs::path& directory, const std::string& arguments)
{
    const TestSupport::TempDir out;
    const int status = std::system(("cd '" + directory.string() + "' && '" + TestSupport::CheckBinary + "' " +
                                    arguments + " > '" + out.file("out.txt") + "' 2>&1")
                                       .c_str());
    return {out.readFile("out.txt"), WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// A 20-cell-wide .map as the game writes it, from rows ('#' wall, '.' ground, '1' to '9' a start point) with
// cells written over row y from x on. The worms run 9 cells down in their first 3 seconds and just stop
// short of the wall.
std::string fair(std::initializer_list<std::tuple<std::size_t, std::size_t, std::string>> changes = {},
                 std::size_t height = 12)
{
    std::vector<std::string> rows(height, "#..................#");
    rows.front() = rows.back() = std::string(20, '#');
    rows[1] = "#.1..............2.#";
    for (const auto& [x, y, cells] : changes)
    {
        rows[y].replace(x, cells.size(), cells);
    }
    std::string text = "1\nTEST\ngraphics/tilesets/meadow.png\n3 20 " + std::to_string(height) + "\n\n";
    for (std::size_t i = 0, layer = 0; i < 3 * height; layer = ++i / height)
    {
        for (const char c : rows[i % height])
        {
            text += layer == 0                           ? "16 "
                    : layer == 1 && c == '#'             ? "48 "
                    : layer == 2 && c >= '1' && c <= '9' ? std::string(1, c) + " "
                                                         : "-1 ";
        }
        text += (i + 1) % height == 0 ? "\n\n" : "\n";
    }
    return text;
}

std::string campaign(const std::string& players, const std::string& lock = "",
                     const std::string& song = "song.ogg", const std::string& script = "")
{
    return "1\n" + lock + "\nkey\nTEST\n\n\n\n" + song + "\n1\n" + script + "\nmaps/fair.map\n\n4 5 0\n\n" +
           players;
}

} // namespace

TEST(CheckTool, EveryShippedMapCampaignComputerPlayerAndScriptPasses)
{
    EXPECT_EQ(check(TestSupport::SourceDir, "maps campaigns ai scripts"), std::pair(std::string(), 0));
}

TEST(CheckTool, EachFaultIsReportedAtItsLineAndFailsTheRun)
{
    // Wall rows of a 12-row map start on line 19, start point rows on line 32. A report naming the checked
    // file is given from its line number on.
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"maps/fair.map", fair(), ""},
        {"maps/m.map", fair({{5, 0, "."}}), "19: the border is open at (5, 0)"},
        {"maps/m.map", fair({{2, 6, "#"}}),
         "25: the worm on start point 1 runs into a wall at (2, 6) in its first 3 seconds"},
        {"maps/m.map", fair({{6, 1, "3"}}),
         "33: the computer worm on start point 3 starts 4 cells from the player on start point 1, closer "
         "than 9"},
        {"maps/m.map", fair({{17, 10, "3"}}, 24),
         "57: the worms on start points 2 and 3 meet at (17, 10) in their first 3 seconds"},
        {"maps/m.map", fair({{8, 5, "###"}, {8, 6, "#.#"}, {8, 7, "###"}}),
         "25: 1 free cell cannot be reached from any start point, the first at (9, 6)"},
        {"maps/m.map", fair({{17, 1, "."}}), "33: 1 start point; a round needs at least 2"},
        {"maps/m.map", fair({{17, 1, "3"}}), "33: start point 2 is missing before start point 3"},
        {"maps/m.map", "2\nTEST\n", " Unsupported map file version."},
        {"campaigns/c.cpj", campaign("1\nblind\n", "", "song.ogg", "scripts/none.fhs"),
         "10: no script scripts/none.fhs"},
        {"campaigns/c.cpj", campaign("1\nnobody\n"), "16: Couldn't load file: ai/nobody.ai"},
        {"campaigns/c.cpj", campaign("2\nblind\nblind\n"),
         "15: 2 computer players and the player need more than the 2 start points of maps/fair.map"},
        {"campaigns/c.cpj", campaign("1\nfast\n"),
         "maps/fair.map:30: the worm on start point 2 runs into a wall at (17, 11) in its first 3 seconds "
         "(as campaigns/c.cpj:11 fills it)"},
        {"campaigns/c.cpj", campaign("1\nblind\n", "nokey"), "2: no campaign beside it unlocks 'nokey'"},
        {"campaigns/c.cpj", campaign("1\nblind\n", "", "none.ogg"), "8: Failed to load music."},
        {"ai/bad.ai", "tarvo\neat\n0\nfast\n0\n", " Invalid speed in ai/bad.ai."},
        {"scripts/bad.fhs", "printText(1, 2, \"A\")\nwobble()\n", "2: Function 'wobble' is not defined"},
    };
    const TestSupport::TempDir dir;
    for (const char* folder : {"maps", "campaigns", "ai", "scripts"})
    {
        fs::create_directory(dir.path() / folder);
    }
    fs::create_directory_symlink(fs::path(TestSupport::SourceDir) / "graphics", dir.path() / "graphics");
    fs::copy_file(fs::path(TestSupport::SourceDir) / "sounds" / "song3.ogg", dir.path() / "song.ogg");
    dir.written("maps/fair.map", fair());
    dir.written("ai/blind.ai", "tarvo\neat\n0\n100\n0\n");
    dir.written("ai/fast.ai", "tarvo\neat\n0\n130\n0\n");
    for (const auto& [file, text, problem] : cases)
    {
        dir.written(file, text);
        const std::string report = problem.empty() || problem[0] == 'm' ? problem : file + ":" + problem;
        EXPECT_EQ(check(dir.path(), file),
                  problem.empty() ? std::pair(report, 0) : std::pair(report + "\n", 1));
    }
}
