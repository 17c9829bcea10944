#include "engine/base/Layout.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

using Fernhouse::Base::Layout;

TEST(Layout, WrappedBreaksAtBlanksInsideLongWordsIndentsAndEndsInDotsPastTheLastLine)
{
    struct Case
    {
        std::string text;
        std::size_t width; // characters
        std::size_t maxLines;
        std::string indent;
        std::vector<std::string> lines;
    };

    constexpr std::size_t All = std::numeric_limits<std::size_t>::max();
    const Case cases[] = {
        {"aaa bbb ccc", 7, All, "", {"aaa bbb", "ccc"}},
        {"abcdefghij", 4, All, "", {"abcd", "efgh", "ij"}},
        {"aaa    bbb", 5, All, "", {"aaa  ", "bbb"}},
        {"- one two three four", 10, All, " ", {"- one two", " three", " four"}},
        {"one two three four", 8, 2, "", {"one two", "three..."}},
        {"one two three four", 7, 2, "", {"one two", "thre..."}},
        {"", 7, All, "", {}},
    };
    for (const Case& c : cases)
    {
        const auto fits = [&](const std::string& line) { return line.size() <= c.width; };
        EXPECT_EQ(Layout::wrapped(c.text, fits, c.maxLines, c.indent), c.lines)
            << c.text << " in " << c.width;
    }
}
