#include "game/progress/SafeFileWriter.h"

#include "engine/base/Exception.h"

#include "game/progress/Configuration.h"
#include "game/progress/HighscoreTable.h"

#include "tests/game/progress/FileBytes.h"
#include "tests/support/TempDir.h"
#include "tests/support/Throws.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/resource.h>

using Fernhouse::Base::IOException;
using Tarvo::SafeFileWriter;
using TestSupport::throwsWith;

namespace
{

namespace fs = std::filesystem;

// The two files the game saves through SafeFileWriter, each written with content that changes with the
// value passed (the highscore keeps the best, so pass growing values).
struct SavedFile
{
    std::string path;
    std::function<void(std::uint32_t)> save;
};

const SavedFile Files[] = {
    {"config.dat",
     [](std::uint32_t value) {
         Tarvo::Configuration c;
         c.setMusicVolume(value);
         c.save("config.dat");
     }},
    {Tarvo::HighscoreTable::FileName,
     [](std::uint32_t value) {
         Tarvo::HighscoreTable table;
         table.submit("maps/m.map", static_cast<std::int32_t>(value), 1);
         table.save();
     }},
};

class SafeFileWriterTest : public ::testing::Test
{
protected:
    TestSupport::TempDir m_dir;
    TestSupport::ScopedWorkingDirectory m_cwd{m_dir.path()};
};

} // namespace

TEST_F(SafeFileWriterTest, FailedSaveLeavesTheOldFileWholeAndNoTemporaryFileBehind)
{
    for (const SavedFile& file : Files)
    {
        SCOPED_TRACE(file.path);
        file.save(1);
        const std::string old = m_dir.readFile(file.path);

        // The replacement cannot be created beside the file.
        fs::create_directory(file.path + ".tmp");
        EXPECT_TRUE(throwsWith<IOException>([&] { file.save(2); }, "Failed to open file.", "src/FileStream"));
        EXPECT_EQ(m_dir.readFile(file.path), old);
        fs::remove(file.path + ".tmp");

        // The disk fills up: the C library reports it only when the file is closed.
        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 20;
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool failed =
            throwsWith<IOException>([&] { file.save(3); }, "Failed to write buffer.", "SafeFileWriter");
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
        EXPECT_TRUE(failed);
        EXPECT_EQ(m_dir.readFile(file.path), old);
        EXPECT_FALSE(fs::exists(file.path + ".tmp"));

        file.save(4);
        EXPECT_NE(m_dir.readFile(file.path), old);
    }
}

TEST_F(SafeFileWriterTest, UnreadableFileIsKeptBesideWhenReplacedAndTheLogSaysSo)
{
    const std::string newerConfig = FileBytes().u32(2).u32(50).u32(50).u8(0).bytes();
    const std::string cutConfig = FileBytes().u32(1).u32(50).u32(50).u8(0).u32(1).bytes();
    // One bad byte in the count of a table of two.
    const std::string badCount =
        FileBytes().u32(3).text("one.map").u32(10).u32(5).text("two.map").u32(20).u32(6).bytes();
    const std::pair<const SavedFile*, std::string> cases[] = {
        {&Files[0], newerConfig}, {&Files[0], cutConfig}, {&Files[1], badCount}};
    std::uint32_t value = 1;
    for (const auto& [file, damaged] : cases)
    {
        const std::string kept = file->path + SafeFileWriter::KeptSuffix;
        m_dir.writeFile(file->path, damaged);
        file->save(value++);
        EXPECT_EQ(m_dir.readFile(kept), damaged) << file->path;
        // The file in the way now loads: the copy stays as it is.
        file->save(value++);
        EXPECT_EQ(m_dir.readFile(kept), damaged) << file->path;
    }
    const std::string log = m_dir.readFile("ErrorLog.txt");
    std::size_t records = 0;
    for (std::size_t at = log.find(" was replaced; it is kept as "); at != std::string::npos;
         at = log.find(" was replaced; it is kept as ", at + 1))
    {
        ++records;
    }
    EXPECT_EQ(records, 3u) << log;

    // A missing file leaves nothing to keep.
    for (const SavedFile& file : Files)
    {
        fs::remove(file.path + SafeFileWriter::KeptSuffix);
        fs::remove(file.path);
        file.save(value++);
        EXPECT_FALSE(fs::exists(file.path + SafeFileWriter::KeptSuffix));
    }
}
