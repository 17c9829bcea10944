#include "game/frontend/ScriptEnvironment.h"

#include "engine/script/ScriptEngine.h"
#include "engine/script/ScriptRuntimeException.h"
#include "engine/script/ScriptStatement.h"

#include "tests/game/frontend/FrontFixture.h"
#include "tests/support/Throws.h"

using Fernhouse::Base::Point;
using namespace TestSupport;

namespace
{

constexpr Fernhouse::Base::Color White(255, 255, 255, 255), Red(255, 0, 0, 255);

// The fonts "fixed_small" (8 x 8) and "fixed_medium" (16 x 16) are solid white sheets, so every character
// draws a full block; "pic.bmp" is 32 x 16, red on the left, white on the right.
class ScriptEnvironmentTest : public FrontSupport::WorldTest
{
protected:
    void SetUp() override
    {
        WorldTest::SetUp();
        m_fonts.setFontDirectory(m_dir.path().string() + "/");
        FrontSupport::saveHalves(m_dir.file("fixed_small.png"), 64, 64, White, White);
        FrontSupport::saveHalves(m_dir.file("fixed_medium.png"), 128, 128, White, White);
        FrontSupport::saveHalves(m_dir.file("pic.bmp"), 32, 16, Red, White);
    }

    void frame(std::uint32_t ms, int count = 1)
    {
        for (int i = 0; i < count; ++i)
        {
            at(m_ticks.now() + ms);
            m_env.update();
            glClear(GL_COLOR_BUFFER_BIT);
            m_env.draw();
        }
    }

    void call(const std::string& name, const std::string& arguments) { m_env.execute({0, name, arguments}); }

    Fernhouse::Base::Entity& object(std::size_t index) const { return *m_env.getChildren().at(index); }

    Fernhouse::Sound::SoundManager m_sound;
    Fernhouse::Script::ScriptEngine m_engine;
    Tarvo::ScriptEnvironment m_env{&m_engine, &m_sound};
};

} // namespace

// A zero time jumps and a target of (0, 0) is no move.
TEST_F(ScriptEnvironmentTest, FadesAndMovesStepTowardsTheirTargetsAndArriveByTheirEnd)
{
    call("printText", "(10, 20, \"HI\")");
    call("printText", "(100, 100, \"B\")");
    call("printText", "(50, 60, \"C\")");
    call("move", "(1, 300, 200, 0)");
    call("move", "(2, 0, 0, 500)");
    frame(15, 2);
    EXPECT_TRUE(rgbAt({25, 27, 300, 200}, 255, 255, 255));
    EXPECT_RGB(pixel(100, 100), 0, 0, 0);
    call("fade", "(0, 0, 1000)");
    call("move", "(1, 400, 150, 1000)");
    const std::uint32_t start = m_time.getTime();
    int changes = 0; // steps at least 15 ms apart
    for (int alpha = 255; m_time.getTime() < start + 1100; alpha = object(0).getColor().a)
    {
        frame(5);
        changes += object(0).getColor().a != alpha ? 1 : 0;
        const int now = object(0).getColor().a;
        if (m_time.getTime() == start + 500)
        {
            EXPECT_RGB_NEAR(pixel(10, 20), now, now, now, 1); // white blended over black
            EXPECT_TRUE(now > 110 && now < 145 && object(1).getX() > 330 && object(1).getX() < 370) << now;
        }
    }
    EXPECT_EQ(changes, 66);
    EXPECT_EQ(std::tuple(object(0).getColor().a, object(1).getPosition(), object(2).getPosition()),
              std::tuple(0, Point(400, 150), Point(50, 60)));
}

TEST_F(ScriptEnvironmentTest, ObjectsDrawInTheirFontColourAndKeyScaleFromTheirCornerAndGoByOffset)
{
    call("printText", "(40, 40, \"A\")");
    call("setColor", "(255, 0, 0)");
    call("setFont", "(\"fixed_medium\")");
    call("printText", "(10, 100, \"A\")");
    call("showImage", "(200, 100, \"" + m_dir.file("pic.bmp") + "\")");
    call("scale", "(0, 2, 1000)");
    call("scale", "(2, 2, 1000)");
    frame(10);
    EXPECT_TRUE(rgbAt({47, 47}, 255, 255, 255));
    EXPECT_TRUE(rgbAt({10, 100, 25, 115, 215, 115}, 255, 0, 0));
    EXPECT_TRUE(rgbAt({48, 48, 26, 116, 216, 100}, 0, 0, 0));
    frame(10, 105); // both scaled from their top-left corner
    EXPECT_TRUE(rgbAt({40, 40, 55, 55}, 255, 255, 255));
    EXPECT_TRUE(rgbAt({231, 131}, 255, 0, 0));
    EXPECT_TRUE(rgbAt({39, 39, 56, 56, 232, 100, 231, 132}, 0, 0, 0));
    EXPECT_EQ(object(0).getScale(), 2.0f);
    call("remove", "(0)");
    EXPECT_EQ(object(0).getColor(), Red);
    call("clear", "()");
    EXPECT_TRUE(m_env.getChildren().empty());
}

TEST_F(ScriptEnvironmentTest, BadCallsFailWithTheirMessageAndLeaveEverythingAsItWas)
{
    call("printText", "(5, 5, \"A\")");
    const std::string Tag = "ScriptEnvironment";
    for (const auto& [name, arguments, message, file] :
         std::vector<std::tuple<std::string, std::string, std::string, std::string>>{
             {"move", "(0, 9, 9, -1)", "move: duration may not be negative.", Tag},
             {"fade", "(0, 256, 10)", "fade: targetAlpha must be between 0-255.", Tag},
             {"remove", "(1)", "Couldn't find object with offset=", Tag},
             {"setColor", "(0, 0, -1)", "setColor: b component must be 0-255.", Tag},
             {"printText", "(1, 2)", "printText: argument 3 is missing.", "src/ScriptArgumentList"}})
    {
        EXPECT_TRUE(TestSupport::throwsWith<Fernhouse::Script::ScriptRuntimeException>(
            [&, name = name, arguments = arguments] { call(name, arguments); }, message, file))
            << name;
    }
    EXPECT_TRUE(TestSupport::throwsWith<Fernhouse::Base::Exception>([&] { call("jump", "(1)"); },
                                                                    "Unknown function: jump", Tag));
    EXPECT_THROW(call("showImage", "(0, 0, \"" + m_dir.file("missing.png") + "\")"),
                 Fernhouse::Base::FileNotFoundException);
    call("setFont", "(\"missing\")");
    EXPECT_THROW(call("printText", "(1, 1, \"A\")"), Fernhouse::Base::FileNotFoundException);
    EXPECT_EQ(std::pair(m_env.getChildren().size(), m_fonts.getReferenceCount("missing")), std::pair(1ul, 0));
}
