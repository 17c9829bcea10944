#pragma once

#include "engine/script/ScriptStatementExecutor.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Fernhouse::Script
{

// Runs a script file: a flat list of function calls, one per line, executed one per call of run (the
// owner calls it once per frame). Functions are served by registered executors; "sleep" is served by the
// engine itself and holds the following statements back for milliseconds of game time, so a paused
// clock pauses the script too. Needs the GameTime singleton to run.
class ScriptEngine final : public ScriptStatementExecutor
{
public:
    static constexpr const char* SleepFunction = "sleep";

    // Registers "sleep".
    ScriptEngine();
    ScriptEngine(const ScriptEngine&) = delete;
    ScriptEngine& operator=(const ScriptEngine&) = delete;
    // Deletes the statements; the executors belong to whoever registered them.
    ~ScriptEngine() override;

    // The executor is not owned and must outlive the engine's runs. A name may be registered with null
    // first and an executor later. Throws ScriptEngineException when the name already has an executor.
    void registerFunction(const std::string& name, ScriptStatementExecutor* executor);
    // Appends the file's statements and starts again at the first statement of the list. Every function
    // the file calls must be registered before. Throws FileNotFoundException when the file cannot be
    // read, and ScriptEngineException at the first call of a function not registered (the statements
    // before it stay in the list).
    void load(const std::string& fileName);
    // Executes the next statement unless a sleep is pending. True while the script is not finished; a
    // pending sleep, also one started by a last statement, counts as not finished. Passes on what the
    // executor throws, without advancing.
    bool run();
    // Busy-waits through sleeps; only for a clock that moves on its own.
    void runToEnd();

    // Serves "sleep" (one integer argument, milliseconds of game time; ScriptRuntimeException when it
    // is missing or negative); ignores any other name.
    void execute(const ScriptStatement& statement) override;

private:
    std::map<std::string, ScriptStatementExecutor*> m_functions; // not owned
    std::vector<ScriptStatement*> m_statements;                  // owned
    std::size_t m_current = 0;                                   // index into m_statements
    std::uint32_t m_sleepUntil = 0;                              // game time in milliseconds
};

} // namespace Fernhouse::Script
