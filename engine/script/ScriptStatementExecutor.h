#pragma once

namespace Fernhouse::Script
{

struct ScriptStatement;

// Serves script functions. One executor may be registered under many names and dispatch on the
// statement's function name.
class ScriptStatementExecutor
{
public:
    virtual ~ScriptStatementExecutor() = default;

    // Whatever it throws leaves ScriptEngine::run unchanged, and the statement is not advanced past.
    virtual void execute(const ScriptStatement& statement) = 0;
};

} // namespace Fernhouse::Script
