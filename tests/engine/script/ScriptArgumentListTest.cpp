#include "engine/script/ScriptArgumentList.h"

#include "engine/script/ScriptRuntimeException.h"
#include "engine/script/ScriptStatement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Fernhouse::Script::ScriptArgumentList;
using Fernhouse::Script::ScriptRuntimeException;
using Fernhouse::Script::ScriptStatement;
using Tokens = std::vector<std::string>;

TEST(ScriptArgumentList, SplitsAtSeparatorsOutsideQuotesAndTrimsSpaces)
{
    EXPECT_EQ(ScriptArgumentList::tokenize("(\"A, B\", 7 ,x)"), (Tokens{"\"A, B\"", "7", "x"}));
    EXPECT_EQ(ScriptArgumentList::tokenize("(  \"x\" ,  2  )"), (Tokens{"\"x\"", "2"}));
    EXPECT_EQ(ScriptArgumentList::tokenize(" (500)"), (Tokens{"500"}));
    EXPECT_EQ(ScriptArgumentList::tokenize("()"), (Tokens{""}));
    // Parentheses inside quotes are text; text after the last separator is dropped.
    EXPECT_EQ(ScriptArgumentList::tokenize("(\"(:)\", 2) trailing words"), (Tokens{"\"(:)\"", "2"}));
    EXPECT_EQ(ScriptArgumentList::tokenize("(a,,b)"), (Tokens{"a", "", "b"}));
    EXPECT_TRUE(ScriptArgumentList::tokenize("").empty());
    EXPECT_TRUE(ScriptArgumentList::tokenize(" no separators").empty());
    // An unterminated quote swallows every later separator.
    EXPECT_EQ(ScriptArgumentList::tokenize("(1, \"open, 2, 3)"), (Tokens{"1"}));
}

TEST(ScriptArgumentList, ConvertsTokensLikeAtoiWithoutOverflow)
{
    EXPECT_EQ(ScriptArgumentList::toInt("7"), 7);
    EXPECT_EQ(ScriptArgumentList::toInt(" \t-12px"), -12);
    EXPECT_EQ(ScriptArgumentList::toInt("+40"), 40);
    EXPECT_EQ(ScriptArgumentList::toInt("x"), 0);
    EXPECT_EQ(ScriptArgumentList::toInt("\"5\""), 0);
    EXPECT_EQ(ScriptArgumentList::toInt("- 3"), 0);
    EXPECT_EQ(ScriptArgumentList::toInt("2147483647"), 2147483647);
    EXPECT_EQ(ScriptArgumentList::toInt("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ScriptArgumentList::toInt("99999999999999999999999999"), 2147483647);
    EXPECT_EQ(ScriptArgumentList::toInt("-99999999999999999999999999"), -2147483647 - 1);

    EXPECT_EQ(ScriptArgumentList::toString("\"A, B\""), "A, B");
    EXPECT_EQ(ScriptArgumentList::toString("'hi'"), "hi");
    EXPECT_EQ(ScriptArgumentList::toString("\"\""), "");
    EXPECT_EQ(ScriptArgumentList::toString("x"), "");
    EXPECT_EQ(ScriptArgumentList::toString(""), "");
}

TEST(ScriptArgumentList, MissingArgumentThrowsNamingTheFunctionAndPosition)
{
    ScriptStatement statement;
    statement.functionName = "printText";
    statement.argumentText = "(10, 20)";
    const ScriptArgumentList arguments(statement);
    EXPECT_EQ(arguments.getInt(1), 20);
    try
    {
        arguments.getString(2);
        FAIL() << "nothing thrown";
    }
    catch (const ScriptRuntimeException& e)
    {
        EXPECT_EQ(e.getMessage(), "printText: argument 3 is missing.");
        EXPECT_EQ(e.getFile(), "src/ScriptArgumentList");
    }
}
