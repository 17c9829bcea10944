#include "game/progress/HighscoreTable.h"

#include "engine/base/Exception.h"

#include "game/progress/HighscoreEntry.h"

#include "tests/game/progress/FileBytes.h"
#include "tests/support/TempDir.h"
#include "tests/support/Throws.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>

using Tarvo::HighscoreTable;
using namespace std::string_literals;

namespace
{

FileBytes& entry(FileBytes& b, const std::string& map, std::uint32_t score, std::uint32_t length)
{
    return b.text(map).u32(score).u32(length);
}

// Each test runs in a fresh working directory, where the table keeps its file.
class HighscoreTableTest : public ::testing::Test
{
protected:
    std::string file() const { return m_dir.readFile(HighscoreTable::FileName); }

    void writeFile(const std::string& bytes) const { m_dir.writeFile(HighscoreTable::FileName, bytes); }

    // "map score length;" per entry, in table order.
    static std::string summary(const HighscoreTable& table)
    {
        std::string s;
        for (const Tarvo::HighscoreEntry* e : table.getEntries())
        {
            s += e->getMap() + " " + std::to_string(e->getScore()) + " " + std::to_string(e->getLength()) +
                 ";";
        }
        return s;
    }

    TestSupport::TempDir m_dir;
    TestSupport::ScopedWorkingDirectory m_cwd{m_dir.path()};
};

} // namespace

TEST_F(HighscoreTableTest, SubmitRaisesScoreAndLengthApartPerExactMapNameKeptInFirstSubmittedOrder)
{
    const struct
    {
        const char* map;
        std::int32_t score, length;
        std::uint32_t result;
    } submissions[] = {
        {"m", 100, 10, 3},
        {"m", 90, 12, HighscoreTable::NewLength},
        {"m", 100, 12, 0},
        {"m", 101, 3, HighscoreTable::NewScore},
        // Negative values count as 0, so they never beat a stored 0.
        {"n", -50, -1, 3},
        {"n", -1, 0, 0},
        {"n", 0, 1, HighscoreTable::NewLength},
        {"M", 1, 1, 3},
        {"m ", 1, 1, 3},
        {"m", 200, 20, 3},
    };

    HighscoreTable table;
    for (const auto& s : submissions)
    {
        EXPECT_EQ(table.submit(s.map, s.score, s.length), s.result)
            << s.map << " " << s.score << " " << s.length;
    }
    EXPECT_EQ(summary(table), "m 200 20;n 0 1;M 1 1;m  1 1;");
}

TEST_F(HighscoreTableTest, TableIsWrittenWhenDestroyedAndReadWhenCreated)
{
    {
        HighscoreTable missing;
        EXPECT_TRUE(missing.getEntries().empty());
    }
    EXPECT_EQ(file(), FileBytes().u32(0).bytes());
    {
        HighscoreTable table;
        table.submit("campaigns/a/1.map", 1200, 40);
        table.submit("", 0, 1);
        table.submit("campaigns/a/0.map", 70000, 256);
    }
    FileBytes expected;
    entry(entry(entry(expected.u32(3), "campaigns/a/1.map", 1200, 40), "", 0, 1), "campaigns/a/0.map", 70000,
          256);
    EXPECT_EQ(file(), expected.bytes());
    HighscoreTable reread;
    EXPECT_EQ(summary(reread), "campaigns/a/1.map 1200 40; 0 1;campaigns/a/0.map 70000 256;");
}

TEST_F(HighscoreTableTest, LoadReplacesTheEntriesAndABadFileLeavesTheTableEmptyAndTheFileAsItWas)
{
    FileBytes full;
    entry(entry(full.u32(2), "one.map", 10, 5), "two.map", 20, 6);
    FileBytes nul;
    entry(entry(entry(entry(nul.u32(4), "a.map\0x"s, 10, 1), "b.map", 3, 3), "a.map", 5, 7), "\0a.map"s, 2,
          2);
    const std::pair<std::string, std::string> cases[] = {
        {full.bytes(), "one.map 10 5;two.map 20 6;"},
        {entry(FileBytes().u32(2), "one.map", 10, 5).bytes(), ""},
        {entry(FileBytes().u32(0xFFFFFFFF), "one.map", 10, 5).bytes(), ""},
        {FileBytes().u32(1).u32(0xFFFFFFF0).u32(1).u32(2).bytes(), ""},
        {"", ""},
        // A name ends at its first NUL; entries then named alike merge into the best of each.
        {nul.bytes(), "a.map 10 7;b.map 3 3; 2 2;"},
    };
    HighscoreTable table;
    for (const auto& [bytes, entries] : cases)
    {
        table.submit("old.map", 1, 1);
        writeFile(bytes);
        table.load();
        EXPECT_EQ(summary(table), entries);
        EXPECT_EQ(file(), bytes);
    }
    for (std::size_t cut = 0; cut < full.bytes().size(); ++cut)
    {
        writeFile(full.bytes().substr(0, cut));
        table.load();
        EXPECT_TRUE(table.getEntries().empty()) << "cut at " << cut;
    }
    // What was merged is saved as one entry each and reads back the same, with no copy of a file that loaded.
    writeFile(nul.bytes());
    table.load();
    table.save();
    HighscoreTable reread;
    EXPECT_EQ(summary(reread), "a.map 10 7;b.map 3 3; 2 2;");
    EXPECT_FALSE(std::filesystem::exists(HighscoreTable::FileName + ".damaged"s));
}

TEST_F(HighscoreTableTest, FailedSaveThrowsFromTheDestructorUnlessAnotherExceptionUnwinds)
{
    const std::string old = entry(FileBytes().u32(1), "kept.map", 5, 5).bytes();
    writeFile(old);
    auto* table = new HighscoreTable;
    table->submit("new.map", 1, 1);
    std::filesystem::create_directory(HighscoreTable::FileName + ".tmp"s);
    EXPECT_TRUE(TestSupport::throwsWith<Fernhouse::Base::IOException>(
        [&] { delete table; }, "Failed to open file.", "src/FileStream"));
    EXPECT_EQ(file(), old);

    // A second exception in flight would end the program, so the failure goes to the error log.
    try
    {
        HighscoreTable unwinding;
        throw std::runtime_error("round failed");
    }
    catch (const std::runtime_error&)
    {
    }
    EXPECT_NE(m_dir.readFile("ErrorLog.txt").find("Failed to open file."), std::string::npos);
    EXPECT_EQ(file(), old);
}
