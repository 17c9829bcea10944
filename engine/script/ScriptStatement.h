#pragma once

#include <cstdint>
#include <string>

namespace Fernhouse::Script
{

// One line of a script. Its arguments stay text until the function runs and parses them.
struct ScriptStatement
{
    // Counted from 1 over every line of the file, skipped lines included.
    std::int32_t lineNumber = 0;
    std::string functionName;
    // The rest of the line from the first space or opening parenthesis on; empty when there is neither.
    std::string argumentText;
};

} // namespace Fernhouse::Script
