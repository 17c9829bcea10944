#include "engine/base/Exception.h"

#include "engine/script/ScriptRuntimeException.h"

#include <gtest/gtest.h>

namespace
{

constexpr const char* SourceTag = "src/ExceptionTest";

} // namespace

using namespace Fernhouse::Base;

TEST(Exception, WhatJoinsFileLineAndMessage)
{
    EXPECT_STREQ(Exception("Failed to open file.", "src/FileStream", 42).what(),
                 "Exception in src/FileStream:42: Failed to open file.");
    EXPECT_STREQ(Exception("", "src/Painter", 7).what(), "Exception in src/Painter:7: ");
}

TEST(Exception, ThrowMacroRecordsSourceTagAndLineAndIsCaughtAsStdException)
{
    const int line = __LINE__ + 3;
    try
    {
        FH_THROW(Fernhouse::Script::ScriptRuntimeException, "Unknown function.");
    }
    catch (const std::exception& e)
    {
        EXPECT_STREQ(
            e.what(),
            ("Exception in src/ExceptionTest:" + std::to_string(line) + ": Unknown function.").c_str());
        return;
    }
    FAIL() << "nothing was thrown";
}
