#include "engine/script/ScriptArgumentList.h"

#include "engine/script/ScriptRuntimeException.h"
#include "engine/script/ScriptStatement.h"

#include "tests/support/Throws.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Fernhouse::Script::ScriptArgumentList;
using Tokens = std::vector<std::string>;

TEST(ScriptArgumentList, SplitsAtSeparatorsOutsideQuotesAndTrimsSpaces)
{
    const std::pair<std::string, Tokens> cases[] = {
        {"(\"A, B\", 7 ,x)", {"\"A, B\"", "7", "x"}},
        {"(  \"x\" ,\t\n 2  )", {"\"x\"", "2"}},
        {" (500)", {"500"}},
        {"()", {""}},
        {"(a,,b)", {"a", "", "b"}},
        // Parentheses inside quotes are text; text after the last separator is dropped.
        {"(\"(:)\", 2) trailing words", {"\"(:)\"", "2"}},
        {"", {}},
        {" no separators", {}},
        // An unterminated quote swallows every later separator.
        {"(1, \"open, 2, 3)", {"1"}},
    };
    for (const auto& [text, tokens] : cases)
    {
        EXPECT_EQ(ScriptArgumentList::tokenize(text), tokens) << text;
    }
}

TEST(ScriptArgumentList, ConvertsTokensLikeAtoiWithoutOverflowAndUnquotesStrings)
{
    const std::pair<std::string, int> numbers[] = {
        {"7", 7},
        {"+40", 40},
        {"x", 0},
        {"\"5\"", 0},
        {"- 3", 0},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"99999999999999999999999999", 2147483647},
        {"-99999999999999999999999999", -2147483647 - 1},
    };
    for (const auto& [token, value] : numbers)
    {
        EXPECT_EQ(ScriptArgumentList::toInt(token), value) << token;
    }
    // Every kind of white space is skipped before the number.
    for (const char space : std::string(" \t\n\r\v\f"))
    {
        EXPECT_EQ(ScriptArgumentList::toInt(std::string(1, space) + "-12px"), -12) << int(space);
    }
    const std::pair<std::string, std::string> strings[] = {
        {"\"A, B\"", "A, B"}, {"'hi'", "hi"}, {"\"\"", ""}, {"x", ""}, {"", ""}};
    for (const auto& [token, text] : strings)
    {
        EXPECT_EQ(ScriptArgumentList::toString(token), text) << token;
    }
}

TEST(ScriptArgumentList, MissingArgumentThrowsNamingTheFunctionAndPosition)
{
    Fernhouse::Script::ScriptStatement statement;
    statement.functionName = "printText";
    statement.argumentText = "(10, 20)";
    const ScriptArgumentList arguments(statement);
    EXPECT_EQ(arguments.getInt(1), 20);
    EXPECT_TRUE(TestSupport::throwsWith<Fernhouse::Script::ScriptRuntimeException>(
        [&] { arguments.getString(2); }, "printText: argument 3 is missing.", "src/ScriptArgumentList"));
}
