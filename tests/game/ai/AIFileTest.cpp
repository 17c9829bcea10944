#include "game/ai/AIFile.h"

#include "engine/base/Exception.h"

#include "game/ai/AIFileException.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using Tarvo::AIFile;
using TestSupport::ScopedWorkingDirectory;

namespace
{

// What loading ai/t.ai with this text gives: its fields, or the exception's kind, source and message.
std::string load(const std::string& text)
{
    TestSupport::TempDir dir;
    const ScopedWorkingDirectory cwd(dir.path());
    std::filesystem::create_directory(dir.path() / "ai");
    if (text != "no file")
    {
        dir.writeFile("ai/t.ai", text);
    }
    try
    {
        const AIFile file("t");
        return "[" + file.getSkin() + "] " + std::to_string(file.getMission()) + " " +
               std::to_string(file.getReach()) + " " + std::to_string(file.getSpeed()) + " " +
               std::to_string(file.getSkill());
    }
    catch (const Tarvo::AIFileException& e)
    {
        return e.getFile() + ": " + e.getMessage();
    }
    catch (const Fernhouse::Base::FileNotFoundException& e)
    {
        return "not found " + e.getFile() + ": " + e.getMessage();
    }
}

} // namespace

TEST(AIFile, ReadsSkinLineWholeMissionAndThreeNumbersOnAnyLinesOrFailsNamingTheField)
{
    const std::pair<std::string, std::string> cases[] = {
        {"green\neat\n30\n100\n75\n", "[green] 0 30 100 75"},
        {"red\nkill\n0\n200\n100", "[red] 1 0 200 100"},
        {"  dark green \r\nsurvive\r\n30\r\n100\r\n75\r\n", "[  dark green ] 2 30 100 75"},
        {"blue\nkill\n  7\t250 4294967295 trailing words\nmore\n", "[blue] 1 7 250 4294967295"},
        {"no file", "not found AIFile: Couldn't load file: ai/t.ai"},
        {"green\nEat\n1 2 3\n", "AIFile: Invalid mission."},
        {"green\neat \n1 2 3\n", "AIFile: Invalid mission."},
        {"green\n kill\n1 2 3\n", "AIFile: Invalid mission."},
        {"green\n\n1 2 3\n", "AIFile: Invalid mission."},
        {"eat\n1 2 3\n", "AIFile: Invalid mission."}, // without a skin line the mission is read as the skin
        {"", "AIFile: Invalid mission."},
        {"blue\neat\n", "AIFile: Missing reach in ai/t.ai."},
        {"blue\neat\n30\n  \r\n", "AIFile: Missing speed in ai/t.ai."},
        {"blue\neat\n30\n100\n", "AIFile: Missing skill in ai/t.ai."},
        {"blue\neat\nfar\n100\n75\n", "AIFile: Invalid reach in ai/t.ai."},
        {"blue\neat\n30\nfast\n75\n", "AIFile: Invalid speed in ai/t.ai."},
        {"blue\neat\n30\n100\n7x5\n", "AIFile: Invalid skill in ai/t.ai."},
        // Nothing wraps around.
        {"blue\neat\n-5\n100\n75\n", "AIFile: Invalid reach in ai/t.ai."},
        {"blue\neat\n30\n4294967296\n75\n", "AIFile: Invalid speed in ai/t.ai."},
        {"blue\neat\n30\n100\n99999999999999999999999\n", "AIFile: Invalid skill in ai/t.ai."},
    };
    for (const auto& [text, result] : cases)
    {
        EXPECT_EQ(load(text), result) << text;
    }
}
