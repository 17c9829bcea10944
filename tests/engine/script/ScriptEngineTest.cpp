#include "engine/script/ScriptEngine.h"

#include "engine/script/ScriptArgumentList.h"
#include "engine/script/ScriptEngineException.h"
#include "engine/script/ScriptRuntimeException.h"
#include "engine/script/ScriptStatement.h"

#include "tests/support/FakeClock.h"
#include "tests/support/TempDir.h"
#include "tests/support/Throws.h"

using namespace Fernhouse::Script;
using namespace Fernhouse::Base;
using TestSupport::throwsWith;
using Names = std::vector<std::string>;

namespace
{

const std::string Tag = "src/ScriptEngine";

// Serves the functions it is registered for by remembering each statement as "line:name:arguments", and
// throws for "fail" as often as told to. The game clock is started on a fake tick source.
class ScriptEngineTest : public ::testing::Test, public ScriptStatementExecutor
{
protected:
    ScriptEngineTest() { m_time.start(); }

    void execute(const ScriptStatement& statement) override
    {
        if (statement.functionName == "fail" && m_failures-- > 0)
        {
            throw ScriptRuntimeException("refused", "test", 1);
        }
        m_executed.push_back(std::to_string(statement.lineNumber) + ":" + statement.functionName + ":" +
                             statement.argumentText);
    }

    void advance(std::uint32_t milliseconds)
    {
        m_clock.advance(milliseconds);
        m_time.update();
    }

    TestSupport::TempDir m_dir;
    TestSupport::FakeClock m_clock{1000};
    Fernhouse::Base::GameTime m_time;
    ScriptEngine m_engine;
    Names m_executed;
    int m_failures = 0;
};

} // namespace

TEST_F(ScriptEngineTest, StatementsSplitIntoNameAndArgumentTextWithTheirLineNumbers)
{
    for (const std::string name : {"foo", "printText", "", "foo\r"})
    {
        m_engine.registerFunction(name, this);
    }
    // A comment mark counts only in the first column; only a CR before an LF belongs to the line end, so a
    // line of only that CR is empty.
    m_engine.load(
        m_dir.written("a.fhs", "# intro\nfoo\r\n\r\nfoo (1)\nprintText(\"HELLO\",10,20)\n  #foo\nfoo\r"));
    m_engine.runToEnd();
    EXPECT_EQ(m_executed,
              (Names{"2:foo:", "4:foo: (1)", "5:printText:(\"HELLO\",10,20)", "6::  #foo", "7:foo\r:"}));
}

TEST_F(ScriptEngineTest, RunsOneStatementPerCallAndSleepHoldsTheRestBackForItsGameTime)
{
    m_engine.registerFunction("a", this);
    m_engine.load(m_dir.written("sleep.fhs", "a\nsleep(1000)\na\nsleep (500)\n"));
    // Per call: the clock runs, milliseconds passed before it, the script goes on, statements executed. A
    // stopped clock stops the sleep with it; a script that ends with a sleep goes on until the sleep passed.
    const std::tuple<bool, std::uint32_t, bool, std::size_t> calls[] = {
        {true, 0, true, 1}, {true, 0, true, 1}, {true, 999, true, 1}, {false, 5000, true, 1},
        {true, 1, true, 2}, {true, 0, true, 2}, {true, 499, true, 2}, {true, 1, false, 2}};
    for (const auto& [running, milliseconds, goesOn, executed] : calls)
    {
        running ? m_time.start() : m_time.stop();
        advance(milliseconds);
        EXPECT_EQ((std::pair<bool, std::size_t>{m_engine.run(), m_executed.size()}),
                  std::pair(goesOn, executed))
            << m_time.getTime();
    }
    EXPECT_EQ(m_executed, (Names{"1:a:", "3:a:"}));
}

TEST_F(ScriptEngineTest, LoadFailsOnAMissingFileOrAnUnregisteredNameKeepingTheStatementsBefore)
{
    for (const std::string& path : {m_dir.file("missing.fhs"), m_dir.path().string()})
    {
        EXPECT_TRUE(throwsWith<FileNotFoundException>([&] { m_engine.load(path); },
                                                      "Couldn't open scriptfile: " + path, Tag));
    }
    EXPECT_FALSE(m_engine.run());
    m_engine.registerFunction("ok", this);
    const std::string path = m_dir.written("a.fhs", "ok(1)\n\n\n# comment\n\nok(2)\nname(3)\nok(4)\n");
    EXPECT_TRUE(throwsWith<ScriptEngineException>([&] { m_engine.load(path); },
                                                  path + ":7: Function 'name' is not defined", Tag));
    m_engine.runToEnd();
    EXPECT_EQ(m_executed, (Names{"1:ok:(1)", "6:ok:(2)"}));
}

TEST_F(ScriptEngineTest, ANameTakesOneExecutorWhoseErrorsPassThroughWithoutSkippingTheStatement)
{
    // Registered without an executor, a name can still take one; sleep is the engine's own.
    m_engine.registerFunction("ok", nullptr);
    m_engine.registerFunction("ok", this);
    for (const char* taken : {"sleep", "ok"})
    {
        EXPECT_TRUE(throwsWith<ScriptEngineException>([&] { m_engine.registerFunction(taken, this); },
                                                      "Function already registered", Tag));
    }
    m_engine.registerFunction("fail", this);
    m_engine.registerFunction("pending", nullptr);
    m_engine.load(m_dir.written("p.fhs", "ok\nfail\npending(1)\n"));
    EXPECT_TRUE(m_engine.run());
    m_failures = 1;
    EXPECT_THROW(m_engine.run(), ScriptRuntimeException);
    EXPECT_TRUE(m_engine.run());
    EXPECT_EQ(m_executed, (Names{"1:ok:", "2:fail:"}));
    EXPECT_TRUE(throwsWith<Exception>([&] { m_engine.run(); },
                                      "function pending on line 3 could not be found.", Tag));
}

TEST_F(ScriptEngineTest, BadSleepsThrowNegativeOnesDoNotWaitAndASleepPastTheClockLimitEndsThere)
{
    m_engine.load(m_dir.written("s.fhs", "sleep\n"));
    EXPECT_TRUE(throwsWith<ScriptRuntimeException>([&] { m_engine.run(); }, "sleep: argument 1 is missing.",
                                                   "src/ScriptArgumentList"));
    // Also on a clock younger than the sleep, where the sum would wrap into a wait of weeks.
    for (const std::uint32_t age : {0u, 10u})
    {
        advance(age);
        ScriptEngine negative;
        negative.load(m_dir.written("n.fhs", "sleep(-5)\n"));
        EXPECT_FALSE(negative.run());
    }
    // Wrapping would put the end before now and skip the sleep.
    advance(4294967000u - 10);
    ScriptEngine late;
    late.load(m_dir.written("late.fhs", "sleep(1000)\n"));
    EXPECT_EQ((std::vector<bool>{late.run(), (advance(294), late.run()), (advance(1), late.run())}),
              (std::vector<bool>{true, true, false}));
}

TEST(ScriptArgumentList, SplitsAtSeparatorsOutsideQuotesAndConvertsTokensLikeAtoiWithoutOverflow)
{
    // Parentheses inside quotes are text, text after the last separator is dropped, and an unterminated
    // quote swallows every later separator.
    std::vector<Names> split;
    for (const char* text : {"(\"A, B\", 7 ,x)", "(  \"x\" ,\t\n 2  )", "()", "(a,,b)",
                             "(\"(:)\", 2) trailing words", " no separators", "(1, \"open, 2, 3)"})
    {
        split.push_back(ScriptArgumentList::tokenize(text));
    }
    EXPECT_EQ(
        split,
        (std::vector<Names>{
            {"\"A, B\"", "7", "x"}, {"\"x\"", "2"}, {""}, {"a", "", "b"}, {"\"(:)\"", "2"}, {}, {"1"}}));
    // Every kind of white space is skipped before the number.
    std::vector<int> numbers;
    for (const char* token :
         {"7", "+40", "x", "- 3", "2147483647", "-2147483648", "99999999999999999999999999",
          "-99999999999999999999999999", " \t\n\r\v\f-12px"})
    {
        numbers.push_back(ScriptArgumentList::toInt(token));
    }
    EXPECT_EQ(numbers,
              (std::vector<int>{7, 40, 0, 0, 2147483647, -2147483647 - 1, 2147483647, -2147483647 - 1, -12}));
    EXPECT_EQ((Names{ScriptArgumentList::toString("\"A, B\""), ScriptArgumentList::toString("\"\""),
                     ScriptArgumentList::toString("x")}),
              (Names{"A, B", "", ""}));
}
