#include "engine/script/ScriptEngine.h"

#include "engine/base/Exception.h"
#include "engine/base/GameTime.h"
#include "engine/script/ScriptArgumentList.h"
#include "engine/script/ScriptEngineException.h"
#include "engine/script/ScriptRuntimeException.h"
#include "engine/script/ScriptStatement.h"

#include "tests/support/FakeClock.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <type_traits>
#include <typeinfo>
#include <vector>

using Fernhouse::Base::Exception;
using Fernhouse::Base::FileNotFoundException;
using Fernhouse::Base::GameTime;
using Fernhouse::Script::ScriptArgumentList;
using Fernhouse::Script::ScriptEngine;
using Fernhouse::Script::ScriptEngineException;
using Fernhouse::Script::ScriptRuntimeException;
using Fernhouse::Script::ScriptStatement;
using Fernhouse::Script::ScriptStatementExecutor;

static_assert(!std::is_copy_constructible_v<ScriptEngine> && !std::is_copy_assignable_v<ScriptEngine>);

namespace
{

// Remembers every statement it is given; throws for the function "fail" while told to.
class Recorder final : public ScriptStatementExecutor
{
public:
    void execute(const ScriptStatement& statement) override
    {
        if (statement.functionName == "fail" && failing)
        {
            throw ScriptRuntimeException("refused", "test", 1);
        }
        executed.push_back(statement);
    }

    std::vector<ScriptStatement> executed;
    bool failing = false;
};

// A started game clock on a fake tick source, and a temporary directory for script files.
class ScriptEngineTest : public ::testing::Test
{
protected:
    ScriptEngineTest() { m_time.start(); }

    std::string write(const std::string& name, const std::string& text) const
    {
        m_dir.writeFile(name, text);
        return m_dir.file(name);
    }

    void advance(std::uint32_t milliseconds)
    {
        m_clock.advance(milliseconds);
        m_time.update();
    }

    std::vector<std::string> executedNames() const
    {
        std::vector<std::string> names;
        for (const ScriptStatement& statement : m_recorder.executed)
        {
            names.push_back(statement.functionName);
        }
        return names;
    }

    TestSupport::TempDir m_dir;
    TestSupport::FakeClock m_clock{1000};
    GameTime m_time;
    Recorder m_recorder;
    ScriptEngine m_engine;
};

// Passes when the call throws exactly E, not a class derived from it, with the message and source tag.
template <typename E>
::testing::AssertionResult throwsWith(const std::function<void()>& call, const std::string& message,
                                      const std::string& file)
{
    try
    {
        call();
    }
    catch (const Exception& e)
    {
        if (typeid(e) != typeid(E))
        {
            return ::testing::AssertionFailure() << "wrong type: " << e.what();
        }
        if (e.getMessage() != message || e.getFile() != file)
        {
            return ::testing::AssertionFailure() << "threw \"" << e.getMessage() << "\" from " << e.getFile();
        }
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "nothing thrown";
}

const std::string Tag = "src/ScriptEngine";

} // namespace

TEST_F(ScriptEngineTest, FileOfCommentsAndEmptyLinesHasNothingToRun)
{
    m_engine.load(write("empty.fhs", "# only a comment\n\n\r\n#printText(1, 2, \"x\")\n"));
    EXPECT_FALSE(m_engine.run());
    m_engine.load(write("nothing.fhs", ""));
    EXPECT_FALSE(m_engine.run());
}

TEST_F(ScriptEngineTest, StatementsSplitIntoNameAndArgumentTextWithTheirLineNumbers)
{
    m_engine.registerFunction("foo", &m_recorder);
    m_engine.registerFunction("printText", &m_recorder);
    m_engine.registerFunction("", &m_recorder);
    m_engine.registerFunction("foo\r", &m_recorder);
    // A comment mark counts only in the first column; only a CR before an LF belongs to the line end.
    m_engine.load(write("a.fhs", "# intro\nfoo\r\n\nfoo (1)\nprintText(\"HELLO\",10,20)\n  #foo\nfoo\r"));
    while (m_engine.run())
    {
    }

    const std::vector<ScriptStatement>& executed = m_recorder.executed;
    ASSERT_EQ(executed.size(), 5u);
    EXPECT_EQ(executed[0].lineNumber, 2);
    EXPECT_EQ(executed[0].functionName, "foo");
    EXPECT_EQ(executed[0].argumentText, "");
    EXPECT_EQ(executed[1].lineNumber, 4);
    EXPECT_EQ(executed[1].functionName, "foo");
    EXPECT_EQ(executed[1].argumentText, " (1)");
    EXPECT_EQ(executed[2].functionName, "printText");
    EXPECT_EQ(executed[2].argumentText, "(\"HELLO\",10,20)");
    EXPECT_EQ(ScriptArgumentList(executed[2]).getString(0), "HELLO");
    EXPECT_EQ(executed[3].lineNumber, 6);
    EXPECT_EQ(executed[3].functionName, "");
    EXPECT_EQ(executed[3].argumentText, "  #foo");
    EXPECT_EQ(executed[4].lineNumber, 7);
    EXPECT_EQ(executed[4].functionName, "foo\r");
}

TEST_F(ScriptEngineTest, RunsOneStatementPerCall)
{
    m_engine.registerFunction("a", &m_recorder);
    m_engine.registerFunction("b", &m_recorder);
    m_engine.load(write("two.fhs", "a\nb\n"));
    EXPECT_TRUE(m_engine.run());
    EXPECT_EQ(executedNames(), (std::vector<std::string>{"a"}));
    EXPECT_FALSE(m_engine.run());
    EXPECT_EQ(executedNames(), (std::vector<std::string>{"a", "b"}));
    EXPECT_FALSE(m_engine.run());
    EXPECT_EQ(m_recorder.executed.size(), 2u);
}

TEST_F(ScriptEngineTest, SleepHoldsLaterStatementsBackForItsGameTime)
{
    m_engine.registerFunction("a", &m_recorder);
    m_engine.load(write("sleep.fhs", "sleep(1000)\na\nsleep (500)\n"));
    EXPECT_TRUE(m_engine.run());
    advance(999);
    EXPECT_TRUE(m_engine.run());
    EXPECT_TRUE(m_recorder.executed.empty());

    // A stopped clock stops the sleep with it.
    m_time.stop();
    m_clock.advance(5000);
    m_time.update();
    EXPECT_TRUE(m_engine.run());
    EXPECT_TRUE(m_recorder.executed.empty());
    m_time.start();

    advance(1);
    EXPECT_TRUE(m_engine.run());
    EXPECT_EQ(executedNames(), (std::vector<std::string>{"a"}));
    // A script that ends with a sleep is not finished until the sleep has passed.
    EXPECT_TRUE(m_engine.run());
    advance(499);
    EXPECT_TRUE(m_engine.run());
    advance(1);
    EXPECT_FALSE(m_engine.run());
}

TEST_F(ScriptEngineTest, UnregisteredFunctionFailsTheLoadWithFileAndLine)
{
    m_engine.registerFunction("ok", &m_recorder);
    const std::string path = write("a.fhs", "ok(1)\n\n\n# comment\n\nok(2)\nname(3)\nok(4)\n");
    EXPECT_TRUE(throwsWith<ScriptEngineException>([&] { m_engine.load(path); },
                                                  path + ":7: Function 'name' is not defined", Tag));
    // The statements before the failure stay loaded.
    EXPECT_TRUE(m_engine.run());
    EXPECT_FALSE(m_engine.run());
    EXPECT_EQ(m_recorder.executed.size(), 2u);
}

TEST_F(ScriptEngineTest, MissingOrUnreadableFileThrowsFileNotFound)
{
    const std::string missing = m_dir.file("missing.fhs");
    EXPECT_TRUE(throwsWith<FileNotFoundException>([&] { m_engine.load(missing); },
                                                  "Couldn't open scriptfile: " + missing, Tag));
    const std::string directory = m_dir.path().string();
    EXPECT_TRUE(throwsWith<FileNotFoundException>([&] { m_engine.load(directory); },
                                                  "Couldn't open scriptfile: " + directory, Tag));
    EXPECT_FALSE(m_engine.run());
}

TEST_F(ScriptEngineTest, ANameTakesOneExecutorAndANameWithoutOneFailsWhenItRuns)
{
    EXPECT_TRUE(throwsWith<ScriptEngineException>([&] { m_engine.registerFunction("sleep", &m_recorder); },
                                                  "Function already registered", Tag));
    m_engine.registerFunction("ok", nullptr);
    m_engine.registerFunction("ok", &m_recorder);
    EXPECT_TRUE(throwsWith<ScriptEngineException>([&] { m_engine.registerFunction("ok", &m_recorder); },
                                                  "Function already registered", Tag));
    m_engine.registerFunction("pending", nullptr);
    m_engine.load(write("p.fhs", "ok\npending(1)\n"));
    EXPECT_TRUE(m_engine.run());
    EXPECT_TRUE(throwsWith<Exception>([&] { m_engine.run(); },
                                      "function pending on line 2 could not be found.", Tag));
}

TEST_F(ScriptEngineTest, ExecutorErrorsPassThroughAndTheStatementIsNotSkipped)
{
    m_engine.registerFunction("fail", &m_recorder);
    m_engine.load(write("f.fhs", "fail\n"));
    m_recorder.failing = true;
    EXPECT_THROW(m_engine.run(), ScriptRuntimeException);
    m_recorder.failing = false;
    EXPECT_FALSE(m_engine.run());
    EXPECT_EQ(executedNames(), (std::vector<std::string>{"fail"}));
}

TEST_F(ScriptEngineTest, BadSleepsThrowNegativeOnesDoNotWaitAndASleepPastTheClockLimitEndsThere)
{
    m_engine.load(write("s.fhs", "sleep\n"));
    EXPECT_TRUE(throwsWith<ScriptRuntimeException>([&] { m_engine.run(); }, "sleep: argument 1 is missing.",
                                                   "src/ScriptArgumentList"));
    // Also on a clock younger than the sleep, where the sum would wrap into a wait of weeks.
    ScriptEngine negative;
    negative.load(write("n.fhs", "sleep(-5)\n"));
    EXPECT_FALSE(negative.run());
    advance(10);
    ScriptEngine older;
    older.load(write("n.fhs", "sleep(-5)\n"));
    EXPECT_FALSE(older.run());

    // Wrapping would put the end before now and skip the sleep.
    advance(4294967000u - 10);
    ScriptEngine late;
    late.load(write("late.fhs", "sleep(1000)\n"));
    EXPECT_TRUE(late.run());
    advance(294);
    EXPECT_TRUE(late.run());
    advance(1);
    EXPECT_FALSE(late.run());
}
