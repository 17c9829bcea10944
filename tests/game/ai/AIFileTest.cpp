#include "game/ai/AIFile.h"

#include "engine/base/Exception.h"

#include "game/ai/AIFileException.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

using Fernhouse::Base::Exception;
using Fernhouse::Base::FileNotFoundException;
using Tarvo::AIFile;
using Tarvo::AIFileException;
using TestSupport::ScopedWorkingDirectory;
using TestSupport::TempDir;

namespace
{

const std::string Tag = "AIFile";

// A working directory with an ai/ folder, as the game has.
class AIFileTest : public ::testing::Test
{
protected:
    AIFileTest() : m_cwd(m_dir.path()) { std::filesystem::create_directory(m_dir.path() / "ai"); }

    void write(const std::string& name, const std::string& text) const
    {
        m_dir.writeFile("ai/" + name + ".ai", text);
    }

    // Loads the text and expects exactly this exception, thrown from AIFile.
    template <typename E>
    ::testing::AssertionResult failsWith(const std::string& text, const std::string& message)
    {
        write("t", text);
        try
        {
            const AIFile file("t");
        }
        catch (const E& e)
        {
            if (e.getMessage() != message || e.getFile() != Tag)
            {
                return ::testing::AssertionFailure()
                       << "threw \"" << e.getMessage() << "\" from " << e.getFile();
            }
            return ::testing::AssertionSuccess();
        }
        catch (const Exception& e)
        {
            return ::testing::AssertionFailure() << "wrong type: " << e.what();
        }
        return ::testing::AssertionFailure() << "nothing thrown for \"" << text << "\"";
    }

    TempDir m_dir;
    ScopedWorkingDirectory m_cwd;
};

} // namespace

TEST_F(AIFileTest, LoadsSkinMissionAndTheThreeNumbers)
{
    write("buffy", "green\neat\n30\n100\n75\n");
    const AIFile file("buffy");
    EXPECT_EQ(file.getName(), "buffy");
    EXPECT_EQ(file.getSkin(), "green");
    EXPECT_EQ(file.getMission(), AIFile::Eat);
    EXPECT_EQ(file.getReach(), 30u);
    EXPECT_EQ(file.getSpeed(), 100u);
    EXPECT_EQ(file.getSkill(), 75u);

    write("hunter", "red\nkill\n0\n200\n100");
    EXPECT_EQ(AIFile("hunter").getMission(), AIFile::Kill);
    EXPECT_EQ(AIFile("hunter").getSpeed(), 200u);
    write("coward", "red\nsurvive\n0 50 0\n");
    EXPECT_EQ(AIFile("coward").getMission(), AIFile::Survive);
    EXPECT_EQ(static_cast<int>(AIFile::Eat), 0);
    EXPECT_EQ(static_cast<int>(AIFile::Kill), 1);
    EXPECT_EQ(static_cast<int>(AIFile::Survive), 2);
}

TEST_F(AIFileTest, MissingFileThrowsFileNotFoundNamingThePath)
{
    try
    {
        const AIFile file("buffy");
        ADD_FAILURE() << "nothing thrown";
    }
    catch (const FileNotFoundException& e)
    {
        EXPECT_EQ(e.getMessage(), "Couldn't load file: ai/buffy.ai");
        EXPECT_EQ(e.getFile(), Tag);
    }
}

TEST_F(AIFileTest, MissionMustBeAnExactLowerCaseWord)
{
    EXPECT_TRUE(failsWith<AIFileException>("green\nEat\n1 2 3\n", "Invalid mission."));
    EXPECT_TRUE(failsWith<AIFileException>("green\neat \n1 2 3\n", "Invalid mission."));
    EXPECT_TRUE(failsWith<AIFileException>("green\n kill\n1 2 3\n", "Invalid mission."));
    EXPECT_TRUE(failsWith<AIFileException>("green\n\n1 2 3\n", "Invalid mission."));
    EXPECT_TRUE(failsWith<AIFileException>("green\n", "Invalid mission."));
    // Without a skin line the mission word is read as the skin.
    EXPECT_TRUE(failsWith<AIFileException>("eat\n1 2 3\n", "Invalid mission."));
    EXPECT_TRUE(failsWith<AIFileException>("", "Invalid mission."));
}

TEST_F(AIFileTest, SkinLineIsKeptWholeAndCrLfReadsLikeLf)
{
    write("lf", "  dark green \neat\n30\n100\n75\n");
    write("crlf", "  dark green \r\neat\r\n30\r\n100\r\n75\r\n");
    const AIFile lf("lf");
    const AIFile crlf("crlf");
    EXPECT_EQ(lf.getSkin(), "  dark green ");
    EXPECT_EQ(crlf.getSkin(), lf.getSkin());
    EXPECT_EQ(crlf.getMission(), AIFile::Eat);
    EXPECT_EQ(crlf.getReach(), 30u);
    EXPECT_EQ(crlf.getSpeed(), 100u);
    EXPECT_EQ(crlf.getSkill(), 75u);
}

TEST_F(AIFileTest, NumbersMaySitOnOneLineAndAnythingAfterThemIsIgnored)
{
    write("one", "blue\nkill\n  7\t250 4294967295 trailing words\nmore\n");
    const AIFile file("one");
    EXPECT_EQ(file.getReach(), 7u);
    EXPECT_EQ(file.getSpeed(), 250u);
    EXPECT_EQ(file.getSkill(), 4294967295u);
}

TEST_F(AIFileTest, MissingOrMalformedNumbersAreRejectedNamingFileAndField)
{
    EXPECT_TRUE(failsWith<AIFileException>("blue\neat\n", "Missing reach in ai/t.ai."));
    EXPECT_TRUE(failsWith<AIFileException>("blue\neat\n30\n100\n", "Missing skill in ai/t.ai."));
    EXPECT_TRUE(failsWith<AIFileException>("blue\neat\n30\n  \r\n", "Missing speed in ai/t.ai."));
    EXPECT_TRUE(failsWith<AIFileException>("blue\neat\nfar\n100\n75\n", "Invalid reach in ai/t.ai."));
    EXPECT_TRUE(failsWith<AIFileException>("blue\neat\n30\nfast\n75\n", "Invalid speed in ai/t.ai."));
    EXPECT_TRUE(failsWith<AIFileException>("blue\neat\n30\n100\n7x5\n", "Invalid skill in ai/t.ai."));
    // A formatted read would wrap a negative number into a huge unsigned one.
    EXPECT_TRUE(failsWith<AIFileException>("blue\neat\n-5\n100\n75\n", "Invalid reach in ai/t.ai."));
    EXPECT_TRUE(failsWith<AIFileException>("blue\neat\n30\n4294967296\n75\n", "Invalid speed in ai/t.ai."));
    EXPECT_TRUE(failsWith<AIFileException>("blue\neat\n30\n100\n99999999999999999999999\n",
                                           "Invalid skill in ai/t.ai."));
}

TEST(AIFile, EveryShippedPersonalityLoadsAndWearsAnExistingSkin)
{
    const std::filesystem::path root = TARVO_SOURCE_DIR;
    const ScopedWorkingDirectory cwd(root);
    int count = 0;
    bool sawBuffy = false;
    for (const auto& entry : std::filesystem::directory_iterator(root / "ai"))
    {
        if (entry.path().extension() != AIFile::Extension)
        {
            continue;
        }
        const AIFile file(entry.path().stem().string());
        EXPECT_TRUE(std::filesystem::is_regular_file(root / "graphics" / "skins" / (file.getSkin() + ".png")))
            << file.getName() << " wears " << file.getSkin();
        EXPECT_GT(file.getSpeed(), 0u) << file.getName();
        sawBuffy = sawBuffy || file.getName() == "buffy";
        ++count;
    }
    EXPECT_TRUE(sawBuffy);
    EXPECT_GE(count, 4);
}
