#include "engine/script/ScriptEngine.h"

#include "engine/base/Exception.h"
#include "engine/base/GameTime.h"
#include "engine/script/ScriptArgumentList.h"
#include "engine/script/ScriptEngineException.h"
#include "engine/script/ScriptRuntimeException.h"
#include "engine/script/ScriptStatement.h"

#include <algorithm>
#include <cassert>
#include <fstream>
#include <limits>

namespace Fernhouse::Script
{

namespace
{

constexpr const char* SourceTag = "src/ScriptEngine";
constexpr char CommentMark = '#';
constexpr char NameEnds[] = " (";

std::uint32_t now()
{
    const Base::GameTime* gameTime = Base::GameTime::getInstance();
    assert(gameTime != nullptr && "scripts run on the game clock");
    return gameTime->getTime();
}

} // namespace

ScriptEngine::ScriptEngine()
{
    registerFunction(SleepFunction, this);
}

ScriptEngine::~ScriptEngine()
{
    for (ScriptStatement* statement : m_statements)
    {
        delete statement;
    }
}

void ScriptEngine::registerFunction(const std::string& name, ScriptStatementExecutor* executor)
{
    const auto found = m_functions.find(name);
    if (found != m_functions.end() && found->second != nullptr)
    {
        FH_THROW(ScriptEngineException, "Function already registered");
    }
    m_functions[name] = executor;
}

void ScriptEngine::load(const std::string& fileName)
{
    std::ifstream file(fileName, std::ios::binary);
    if (!file.is_open())
    {
        FH_THROW(Base::FileNotFoundException, "Couldn't open scriptfile: " + fileName);
    }
    std::int32_t lineNumber = 0;
    std::string line;
    while (std::getline(file, line))
    {
        ++lineNumber;
        // Only a CR that stood before the LF belongs to the line end.
        if (!file.eof() && !line.empty() && line.back() == '\r')
        {
            line.pop_back();
        }
        if (line.empty() || line.front() == CommentMark)
        {
            continue;
        }
        auto* statement = new ScriptStatement;
        const std::size_t nameEnd = std::min(line.find_first_of(NameEnds), line.size());
        statement->lineNumber = lineNumber;
        statement->functionName = line.substr(0, nameEnd);
        statement->argumentText = line.substr(nameEnd);
        if (m_functions.find(statement->functionName) == m_functions.end())
        {
            const std::string name = statement->functionName;
            delete statement;
            FH_THROW(ScriptEngineException, fileName + ":" + std::to_string(lineNumber) + ":" +
                                                " Function '" + name + "' is not defined");
        }
        m_statements.push_back(statement);
    }
    // Opening a directory succeeds, reading it does not: that is no script file either.
    if (file.bad())
    {
        FH_THROW(Base::FileNotFoundException, "Couldn't open scriptfile: " + fileName);
    }
    m_current = 0;
}

bool ScriptEngine::run()
{
    const std::uint32_t time = now();
    if (m_current < m_statements.size() && m_sleepUntil <= time)
    {
        const ScriptStatement& statement = *m_statements[m_current];
        const auto found = m_functions.find(statement.functionName);
        if (found == m_functions.end() || found->second == nullptr)
        {
            FH_THROW(Base::Exception, "function " + statement.functionName + " on line " +
                                          std::to_string(statement.lineNumber) + " could not be found.");
        }
        found->second->execute(statement);
        ++m_current;
    }
    if (m_sleepUntil > time)
    {
        return true;
    }
    return m_current < m_statements.size();
}

void ScriptEngine::runToEnd()
{
    while (run())
    {
    }
}

void ScriptEngine::execute(const ScriptStatement& statement)
{
    if (statement.functionName != SleepFunction)
    {
        return;
    }
    const std::int32_t duration = ScriptArgumentList(statement).getInt(0);
    // A negative sleep ends in the past: no wait. Added to a young unsigned clock, it would wrap into
    // a wait of weeks instead.
    const std::uint64_t until = std::uint64_t{now()} + static_cast<std::uint64_t>(std::max(duration, 0));
    m_sleepUntil =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(until, std::numeric_limits<std::uint32_t>::max()));
}

} // namespace Fernhouse::Script
