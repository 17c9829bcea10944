#include "engine/base/ErrorLog.h"

#include "engine/base/Exception.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>

using namespace Fernhouse::Base;
using TestSupport::ScopedWorkingDirectory;
using TestSupport::TempDir;

namespace
{

// A ctime line: weekday, month, day, hh:mm:ss, year.
const std::regex DateLine(R"([A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9]\d \d{2}:\d{2}:\d{2} \d{4})");
const std::string Separator = "--------------------------------";

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::string::size_type start = 0;
    while (start < text.size())
    {
        const auto end = text.find('\n', start);
        result.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return result;
}

} // namespace

TEST(ErrorLog, TwoErrorsAppendTwoDatedRecordsInOrder)
{
    TempDir dir;
    ScopedWorkingDirectory cwd(dir.path());
    dir.writeFile("ErrorLog.txt", "earlier content\n");

    ErrorLog::write("first problem");
    ErrorLog::write(IOException("Failed to open file.", "src/FileStream", 12));

    const auto log = lines(dir.readFile("ErrorLog.txt"));
    ASSERT_EQ(log.size(), 9u);
    EXPECT_EQ(log[0], "earlier content");
    EXPECT_TRUE(std::regex_match(log[1], DateLine)) << log[1];
    EXPECT_EQ(log[2], Separator);
    EXPECT_EQ(log[3], "first problem");
    EXPECT_EQ(log[4], "");
    EXPECT_TRUE(std::regex_match(log[5], DateLine)) << log[5];
    EXPECT_EQ(log[6], Separator);
    EXPECT_EQ(log[7], "Exception in src/FileStream:12: Failed to open file.");
    EXPECT_EQ(log[8], "");
}

TEST(ErrorLog, RecordThatCannotBeOpenedOrWrittenGoesToStandardError)
{
    struct Case
    {
        const char* what;
        std::function<void(const std::filesystem::path&)> block;
        const char* line;
    };

    const Case cases[] = {
        // A directory in the log's place cannot be opened for appending, even by root.
        {"directory", [](const auto& log) { std::filesystem::create_directory(log); },
         "Failed to create log file."},
        // Opens, but every write fails as on a full disk.
        {"full disk", [](const auto& log) { std::filesystem::create_symlink("/dev/full", log); },
         "Failed to write log file."},
    };
    for (const Case& c : cases)
    {
        TempDir dir;
        ScopedWorkingDirectory cwd(dir.path());
        c.block(dir.path() / "ErrorLog.txt");

        ::testing::internal::CaptureStderr();
        ErrorLog::write("disk is read-only");
        const auto err = lines(::testing::internal::GetCapturedStderr());

        ASSERT_EQ(err.size(), 5u) << c.what;
        EXPECT_TRUE(std::regex_match(err[0], DateLine)) << err[0];
        EXPECT_EQ(err[1], c.line);
        EXPECT_EQ(err[2], Separator);
        EXPECT_EQ(err[3], "disk is read-only");
        EXPECT_EQ(err[4], "");
    }
}
