#include "game/progress/HighscoreTable.h"

#include "engine/base/Exception.h"

#include "game/progress/HighscoreEntry.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <type_traits>

using Fernhouse::Base::IOException;
using Tarvo::HighscoreEntry;
using Tarvo::HighscoreTable;
using TestSupport::ScopedWorkingDirectory;
using TestSupport::TempDir;

namespace
{

static_assert(!std::is_copy_constructible_v<HighscoreTable>);

class Bytes
{
public:
    Bytes& u32(std::uint32_t value)
    {
        for (int i = 0; i < 4; ++i)
        {
            m_bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
        }
        return *this;
    }

    Bytes& entry(const std::string& map, std::uint32_t score, std::uint32_t length)
    {
        u32(static_cast<std::uint32_t>(map.size()));
        m_bytes += map;
        return u32(score).u32(length);
    }

    const std::string& str() const { return m_bytes; }

private:
    std::string m_bytes;
};

// Each test runs in a fresh working directory, where the table keeps its file.
class HighscoreTableTest : public ::testing::Test
{
protected:
    HighscoreTableTest() : m_cwd(m_dir.path()) {}

    std::string file() const { return m_dir.readFile(HighscoreTable::FileName); }

    void writeFile(const std::string& bytes) const { m_dir.writeFile(HighscoreTable::FileName, bytes); }

    // "map score length" per entry, in table order.
    static std::string summary(const HighscoreTable& table)
    {
        std::string s;
        for (const HighscoreEntry* e : table.getEntries())
        {
            s += e->getMap() + " " + std::to_string(e->getScore()) + " " + std::to_string(e->getLength()) +
                 ";";
        }
        return s;
    }

    TempDir m_dir;
    ScopedWorkingDirectory m_cwd;
};

} // namespace

TEST_F(HighscoreTableTest, ScoreAndLengthAreBestsOfTheirOwn)
{
    HighscoreTable table;
    EXPECT_EQ(table.submit("maps/m.map", 100, 10), 3u);
    EXPECT_EQ(table.submit("maps/m.map", 90, 12), HighscoreTable::NewLength);
    EXPECT_EQ(summary(table), "maps/m.map 100 12;");
    EXPECT_EQ(table.submit("maps/m.map", 100, 12), 0u);
    EXPECT_EQ(table.submit("maps/m.map", 101, 3), HighscoreTable::NewScore);
    EXPECT_EQ(summary(table), "maps/m.map 101 12;");

    // Negative values count as 0, so they never beat a stored 0.
    EXPECT_EQ(table.submit("maps/n.map", -50, -1), 3u);
    EXPECT_EQ(table.submit("maps/n.map", -1, 0), 0u);
    EXPECT_EQ(table.submit("maps/n.map", 0, 1), HighscoreTable::NewLength);
    EXPECT_EQ(summary(table), "maps/m.map 101 12;maps/n.map 0 1;");
}

TEST_F(HighscoreTableTest, MapsKeepTheOrderOfTheirFirstSubmissionAndMatchExactly)
{
    HighscoreTable table;
    table.submit("zeta", 1, 1);
    table.submit("alpha", 2, 2);
    table.submit("Zeta", 3, 3);
    table.submit("zeta ", 4, 4);
    table.submit("alpha", 9, 9);
    EXPECT_EQ(summary(table), "zeta 1 1;alpha 9 9;Zeta 3 3;zeta  4 4;");
}

TEST_F(HighscoreTableTest, TableIsWrittenWhenDestroyedAndReadWhenCreated)
{
    auto table = std::make_unique<HighscoreTable>();
    EXPECT_TRUE(table->getEntries().empty());
    table->submit("campaigns/a/1.map", 1200, 40);
    table->submit("", 0, 1);
    table->submit("campaigns/a/0.map", 70000, 256);
    table.reset();
    EXPECT_EQ(file(), Bytes()
                          .u32(3)
                          .entry("campaigns/a/1.map", 1200, 40)
                          .entry("", 0, 1)
                          .entry("campaigns/a/0.map", 70000, 256)
                          .str());

    HighscoreTable reread;
    EXPECT_EQ(summary(reread), "campaigns/a/1.map 1200 40; 0 1;campaigns/a/0.map 70000 256;");

    // An empty table writes just its count; load replaces what the table held.
    writeFile(Bytes().u32(0).str());
    reread.load();
    EXPECT_TRUE(reread.getEntries().empty());
    reread.save();
    EXPECT_EQ(file(), Bytes().u32(0).str());
}

TEST_F(HighscoreTableTest, MissingShortOrDamagedFilesGiveAnEmptyTableAndStayOnDiskUntilTheNextSave)
{
    const std::string full = Bytes().u32(2).entry("one.map", 10, 5).entry("two.map", 20, 6).str();
    const std::string oneOfTwo = Bytes().u32(2).entry("one.map", 10, 5).str();
    const std::string hugeCount = Bytes().u32(0xFFFFFFFF).entry("one.map", 10, 5).str();
    const std::string hugeName = Bytes().u32(1).u32(0xFFFFFFF0).u32(1).u32(2).str();
    {
        HighscoreTable missing;
        EXPECT_TRUE(missing.getEntries().empty());
    }
    // The empty table saved itself.
    EXPECT_EQ(file(), Bytes().u32(0).str());

    HighscoreTable table;
    for (const std::string& bytes : {oneOfTwo, hugeCount, hugeName, std::string()})
    {
        table.submit("old.map", 1, 1);
        writeFile(bytes);
        table.load();
        EXPECT_TRUE(table.getEntries().empty()) << summary(table);
        EXPECT_EQ(file(), bytes);
    }
    for (std::size_t cut = 0; cut < full.size(); ++cut)
    {
        writeFile(full.substr(0, cut));
        table.load();
        EXPECT_TRUE(table.getEntries().empty()) << "cut at " << cut;
    }
    writeFile(full);
    table.load();
    EXPECT_EQ(summary(table), "one.map 10 5;two.map 20 6;");
}

TEST_F(HighscoreTableTest, FailedSaveThrowsFromTheDestructorAndKeepsTheOldFile)
{
    const std::string old = Bytes().u32(1).entry("kept.map", 5, 5).str();
    writeFile(old);
    auto* table = new HighscoreTable;
    table->submit("new.map", 1, 1);
    // The replacement cannot be created beside the file.
    std::filesystem::create_directory(std::string(HighscoreTable::FileName) + ".tmp");
    try
    {
        delete table;
        ADD_FAILURE() << "nothing thrown";
    }
    catch (const IOException& e)
    {
        EXPECT_EQ(e.getMessage(), "Failed to open file.");
    }
    EXPECT_EQ(file(), old);

    // During unwinding a second exception would end the program, so the failure goes to the error log.
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

TEST_F(HighscoreTableTest, DamagedFileIsKeptBesideWhenReplacedAndTheLogSaysSo)
{
    const std::string kept = std::string(HighscoreTable::FileName) + ".damaged";
    // One bad byte in the count of a table of two.
    const std::string damaged = Bytes().u32(3).entry("one.map", 10, 5).entry("two.map", 20, 6).str();
    writeFile(damaged);
    {
        HighscoreTable table;
        EXPECT_TRUE(table.getEntries().empty());
        table.submit("new.map", 1, 2);
    }
    EXPECT_EQ(m_dir.readFile(kept), damaged);
    EXPECT_EQ(file(), Bytes().u32(1).entry("new.map", 1, 2).str());
    EXPECT_NE(m_dir.readFile("ErrorLog.txt").find(kept), std::string::npos);
    {
        // The sound file in the way is replaced without a copy.
        HighscoreTable table;
    }
    EXPECT_EQ(m_dir.readFile(kept), damaged);
}

TEST_F(HighscoreTableTest, MapNamesEndAtTheirFirstNulAndTheEntriesThenNamedAlikeAreMerged)
{
    using namespace std::string_literals;
    writeFile(Bytes()
                  .u32(4)
                  .entry("a.map\0x"s, 10, 1)
                  .entry("b.map", 3, 3)
                  .entry("a.map", 5, 7)
                  .entry("\0a.map"s, 2, 2)
                  .str());
    {
        HighscoreTable table;
        EXPECT_EQ(summary(table), "a.map 10 7;b.map 3 3; 2 2;");
    }
    // What was merged is saved as one entry and reads back the same; no copy of a file that loaded.
    HighscoreTable reread;
    EXPECT_EQ(summary(reread), "a.map 10 7;b.map 3 3; 2 2;");
    EXPECT_FALSE(std::filesystem::exists(std::string(HighscoreTable::FileName) + ".damaged"));
}
