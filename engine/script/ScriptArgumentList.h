#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Fernhouse::Script
{

struct ScriptStatement;

// The arguments of one statement, split from its argument text when its function runs: tokens between
// an opening parenthesis and the separators ',' and ')', trimmed of spaces. Double quotes protect the
// separators and stay in the token.
class ScriptArgumentList final
{
public:
    explicit ScriptArgumentList(const ScriptStatement& statement);

    std::size_t size() const { return m_tokens.size(); }

    // index counts from 0. All three throw ScriptRuntimeException when the statement has no such argument.
    const std::string& getToken(std::size_t index) const;
    std::int32_t getInt(std::size_t index) const;
    std::string getString(std::size_t index) const;

    static std::vector<std::string> tokenize(const std::string& argumentText);
    // Like atoi: leading white space, an optional sign, the digits up to the first other character; no
    // number gives 0. Saturates at the 32-bit limits instead of overflowing.
    static std::int32_t toInt(const std::string& token);
    // The token without its first and last character, which are meant to be quotes but are not checked;
    // empty for a token shorter than two characters.
    static std::string toString(const std::string& token);

private:
    std::string m_functionName;
    std::vector<std::string> m_tokens;
};

} // namespace Fernhouse::Script
