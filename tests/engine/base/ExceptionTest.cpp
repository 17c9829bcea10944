#include "engine/base/Exception.h"

#include "engine/script/ScriptEngineException.h"
#include "engine/script/ScriptRuntimeException.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace
{

constexpr const char* SourceTag = "src/ExceptionTest";

} // namespace

using namespace Fernhouse::Base;

TEST(Exception, WhatJoinsFileLineAndMessage)
{
    const Exception e("Failed to open file.", "src/FileStream", 42);
    EXPECT_STREQ(e.what(), "Exception in src/FileStream:42: Failed to open file.");
    EXPECT_EQ(e.getMessage(), "Failed to open file.");
    EXPECT_EQ(e.getFile(), "src/FileStream");
    EXPECT_EQ(e.getLine(), 42);
}

TEST(Exception, WhatOfEmptyMessageEndsWithColonAndSpace)
{
    const Exception e("", "src/Painter", 7);
    EXPECT_STREQ(e.what(), "Exception in src/Painter:7: ");
}

TEST(Exception, ThrowMacroRecordsSourceTagAndLine)
{
    const int line = __LINE__ + 3;
    try
    {
        FH_THROW(IOException, "Failed to read from Stream.");
    }
    catch (const Exception& e)
    {
        EXPECT_EQ(e.getFile(), "src/ExceptionTest");
        EXPECT_EQ(e.getLine(), line);
        EXPECT_EQ(e.getMessage(), "Failed to read from Stream.");
        return;
    }
    FAIL() << "nothing was thrown";
}

TEST(Exception, EveryErrorClassIsAnExceptionCaughtAsStdException)
{
    static_assert(std::is_base_of_v<std::exception, Exception>);
    static_assert(std::is_base_of_v<Exception, ArgumentException>);
    static_assert(std::is_base_of_v<Exception, IOException>);
    static_assert(std::is_base_of_v<Exception, FileNotFoundException>);
    static_assert(std::is_base_of_v<Exception, SoundException>);
    static_assert(std::is_base_of_v<Exception, MapFileException>);
    static_assert(std::is_base_of_v<Exception, OutOfBoundException>);
    static_assert(std::is_base_of_v<Exception, ScreenCreateFailedException>);
    static_assert(std::is_base_of_v<Exception, TextureCreationFailedException>);
    static_assert(std::is_base_of_v<Exception, TextureMapOutOfBoundException>);
    static_assert(std::is_base_of_v<Exception, FontLoadFailedException>);
    static_assert(std::is_base_of_v<Exception, InvalidFontReferenceCounterException>);
    static_assert(std::is_base_of_v<Exception, GenericFontException>);
    static_assert(std::is_base_of_v<Exception, Fernhouse::Script::ScriptEngineException>);
    static_assert(std::is_base_of_v<Exception, Fernhouse::Script::ScriptRuntimeException>);

    try
    {
        FH_THROW(Fernhouse::Script::ScriptRuntimeException, "Unknown function.");
    }
    catch (const std::exception& e)
    {
        EXPECT_NE(std::string(e.what()).find("src/ExceptionTest"), std::string::npos);
        EXPECT_NE(std::string(e.what()).find(": Unknown function."), std::string::npos);
    }
}
