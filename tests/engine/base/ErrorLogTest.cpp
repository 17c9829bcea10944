#include "engine/base/ErrorLog.h"

#include "engine/base/Exception.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <regex>

using namespace Fernhouse::Base;

namespace
{

constexpr const char* SourceTag = "src/ErrorLogTest";

// A ctime line (weekday, month, day, hh:mm:ss, year), then the rest of a record.
std::string dated(const std::string& rest)
{
    return R"([A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9]\d \d{2}:\d{2}:\d{2} \d{4}\n)" + rest;
}

} // namespace

TEST(ErrorLog, EachErrorAppendsADatedRecordAndAThrownOneNamesItsSourceAndLine)
{
    TestSupport::TempDir dir;
    TestSupport::ScopedWorkingDirectory cwd(dir.path());
    dir.writeFile("ErrorLog.txt", "earlier content\n");
    ErrorLog::write("first problem");
    const int line = __LINE__ + 3;
    try
    {
        FH_THROW(IOException, "Failed to open file.");
    }
    catch (const Exception& e)
    {
        ErrorLog::write(e);
    }
    const std::string record =
        "-{32}\nException in src/ErrorLogTest:" + std::to_string(line) + ": Failed to open file\\.\n\n";
    EXPECT_TRUE(
        std::regex_match(dir.readFile("ErrorLog.txt"),
                         std::regex("earlier content\n" + dated("-{32}\nfirst problem\n\n") + dated(record))))
        << dir.readFile("ErrorLog.txt");
}

TEST(ErrorLog, RecordThatCannotBeOpenedOrWrittenGoesToStandardError)
{
    // A directory in the log's place cannot be opened for appending, even by root; /dev/full opens, but
    // every write fails as on a full disk.
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[] { std::filesystem::create_directory("ErrorLog.txt"); }, "Failed to create log file."},
        {[] { std::filesystem::create_symlink("/dev/full", "ErrorLog.txt"); }, "Failed to write log file."}};
    for (const auto& [block, line] : cases)
    {
        TestSupport::TempDir dir;
        TestSupport::ScopedWorkingDirectory cwd(dir.path());
        block();
        ::testing::internal::CaptureStderr();
        ErrorLog::write("disk is read-only");
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_TRUE(std::regex_match(err, std::regex(dated(line + "\n-{32}\ndisk is read-only\n\n")))) << err;
    }
}
