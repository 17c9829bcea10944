#include "engine/script/ScriptArgumentList.h"

#include "engine/script/ScriptRuntimeException.h"
#include "engine/script/ScriptStatement.h"

#include <algorithm>
#include <limits>

namespace Fernhouse::Script
{

namespace
{

constexpr const char* SourceTag = "src/ScriptArgumentList";
constexpr char Quote = '"';
constexpr char Open = '(';
constexpr char Comma = ',';
constexpr char Close = ')';
constexpr char Space = ' ';
constexpr std::int64_t DecimalBase = 10;
constexpr std::size_t QuotesAroundString = 2;

bool isWhiteSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string trimSpaces(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(Space);
    if (first == std::string::npos)
    {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(Space) - first + 1);
}

} // namespace

ScriptArgumentList::ScriptArgumentList(const ScriptStatement& statement)
    : m_functionName(statement.functionName),
      m_tokens(tokenize(statement.argumentText))
{
}

const std::string& ScriptArgumentList::getToken(std::size_t index) const
{
    if (index >= m_tokens.size())
    {
        FH_THROW(ScriptRuntimeException,
                 m_functionName + ": argument " + std::to_string(index + 1) + " is missing.");
    }
    return m_tokens[index];
}

std::int32_t ScriptArgumentList::getInt(std::size_t index) const
{
    return toInt(getToken(index));
}

std::string ScriptArgumentList::getString(std::size_t index) const
{
    return toString(getToken(index));
}

std::vector<std::string> ScriptArgumentList::tokenize(const std::string& argumentText)
{
    std::vector<std::string> tokens;
    bool inQuotes = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i < argumentText.size(); ++i)
    {
        const char c = argumentText[i];
        if (c == Quote)
        {
            inQuotes = !inQuotes;
        }
        else if (inQuotes)
        {
            continue;
        }
        else if (c == Open)
        {
            start = i + 1;
        }
        else if (c == Comma || c == Close)
        {
            // start only skips white space, so it never passes the next separator.
            tokens.push_back(trimSpaces(argumentText.substr(start, i - start)));
            start = i + 1;
            while (start < argumentText.size() && isWhiteSpace(argumentText[start]))
            {
                ++start;
            }
        }
    }
    return tokens;
}

std::int32_t ScriptArgumentList::toInt(const std::string& token)
{
    constexpr std::int64_t Max = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t Min = std::numeric_limits<std::int32_t>::min();
    std::size_t i = 0;
    while (i < token.size() && isWhiteSpace(token[i]))
    {
        ++i;
    }
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-'))
    {
        negative = token[i] == '-';
        ++i;
    }
    // Kept at most one past the limit, so the long digit runs of a damaged script cannot overflow it.
    std::int64_t magnitude = 0;
    for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i)
    {
        magnitude = std::min(magnitude * DecimalBase + (token[i] - '0'), Max + 1);
    }
    return static_cast<std::int32_t>(negative ? std::max(-magnitude, Min) : std::min(magnitude, Max));
}

std::string ScriptArgumentList::toString(const std::string& token)
{
    if (token.size() < QuotesAroundString)
    {
        return std::string();
    }
    return token.substr(1, token.size() - QuotesAroundString);
}

} // namespace Fernhouse::Script
