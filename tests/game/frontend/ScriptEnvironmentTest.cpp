#include "game/frontend/ScriptEnvironment.h"

#include "engine/base/Color.h"
#include "engine/base/Exception.h"
#include "engine/base/GameTime.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/Label.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/script/ScriptEngine.h"
#include "engine/script/ScriptEngineException.h"
#include "engine/script/ScriptRuntimeException.h"
#include "engine/script/ScriptStatement.h"
#include "engine/sound/Sound.h"
#include "engine/sound/SoundContext.h"
#include "engine/sound/SoundManager.h"

#include "tests/support/FakeClock.h"
#include "tests/support/GLWindow.h"
#include "tests/support/TempDir.h"
#include "tests/support/TextDamage.h"
#include "tests/support/Throws.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <typeinfo>
#include <vector>

using Fernhouse::Base::Color;
using Fernhouse::Base::Entity;
using Fernhouse::Base::Exception;
using Fernhouse::Base::GameTime;
using Fernhouse::Base::SoundException;
using Fernhouse::GUI::Label;
using Fernhouse::Script::ScriptEngine;
using Fernhouse::Script::ScriptEngineException;
using Fernhouse::Script::ScriptRuntimeException;
using Fernhouse::Script::ScriptStatement;
using Fernhouse::Sound::SoundManager;
using Tarvo::ScriptEnvironment;
using TestSupport::pixel;

namespace
{

constexpr Color White(255, 255, 255, 255);
constexpr Color Red(255, 0, 0, 255);
const std::string Tag = "ScriptEnvironment";

// A picture of two solid halves written as a BMP, which the image loader reads like any other file.
void saveHalves(const std::string& path, int width, int height, const Color& left, const Color& right)
{
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    ASSERT_NE(surface, nullptr) << SDL_GetError();
    SDL_Rect leftHalf{0, 0, static_cast<Uint16>(width / 2), static_cast<Uint16>(height)};
    SDL_Rect rightHalf{static_cast<Sint16>(width / 2), 0, static_cast<Uint16>(width - width / 2),
                       static_cast<Uint16>(height)};
    SDL_FillRect(surface, &leftHalf, SDL_MapRGB(surface->format, left.r, left.g, left.b));
    SDL_FillRect(surface, &rightHalf, SDL_MapRGB(surface->format, right.r, right.g, right.b));
    EXPECT_EQ(SDL_SaveBMP(surface, path.c_str()), 0) << SDL_GetError();
    SDL_FreeSurface(surface);
}

using TestSupport::throwsWith;

// The shared window with blending on, a started game clock on fake ticks, the graphics services, a silent
// sound manager, and a script engine with an environment. The fonts "fixed_small" (8 x 8) and
// "fixed_medium" (16 x 16) are solid white sheets, so every character draws a full block.
class ScriptEnvironmentTest : public TestSupport::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        glEnable(GL_BLEND);
        saveHalves(m_dir.file("fixed_small.bmp"), 64, 64, White, White);
        saveHalves(m_dir.file("fixed_medium.bmp"), 128, 128, White, White);
        saveHalves(m_dir.file("pic.bmp"), 32, 16, Red, White);
        m_time.start();
    }

    std::string write(const std::string& name, const std::string& text) const
    {
        m_dir.writeFile(name, text);
        return m_dir.file(name);
    }

    void load(const std::string& text) { m_engine.load(write("t.fhs", text)); }

    // One frame as the game runs it: the clock, one script step, then the environment updated and drawn.
    bool frame(std::uint32_t milliseconds)
    {
        m_clock.advance(milliseconds);
        m_time.update();
        const bool running = m_engine.run();
        m_env.update();
        glClear(GL_COLOR_BUFFER_BIT);
        m_env.draw();
        return running;
    }

    void frames(int count, std::uint32_t milliseconds)
    {
        for (int i = 0; i < count; ++i)
        {
            frame(milliseconds);
        }
    }

    void call(const std::string& name, const std::string& argumentText)
    {
        ScriptStatement statement;
        statement.lineNumber = 1;
        statement.functionName = name;
        statement.argumentText = argumentText;
        m_env.execute(statement);
    }

    const std::vector<Entity*>& objects() const { return m_env.getChildren(); }

    Entity& object(std::size_t index) const { return *objects().at(index); }

    std::string textOf(std::size_t index) const { return dynamic_cast<Label&>(object(index)).getText(); }

    TestSupport::TempDir m_dir;
    TestSupport::FakeClock m_clock{500};
    GameTime m_time;
    Fernhouse::Graphics::TextureFactory m_factory;
    Fernhouse::Graphics::FontManager m_fonts{m_dir.path().string() + "/", ".bmp"};
    SoundManager m_sound;
    ScriptEngine m_engine;
    ScriptEnvironment m_env{&m_engine, &m_sound};
};

} // namespace

TEST_F(ScriptEnvironmentTest, FadeOutStepsDownInStepsAtLeast15MsApartAndFadeInJumpsAtTheEnd)
{
    load("printText(10, 20, \"HI\")\nfade(0, 0, 1000)\nsleep(1100)\nfade(0, 255, 1000)\n");
    frames(2, 5);
    ASSERT_EQ(objects().size(), 1u);
    EXPECT_RGB(pixel(25, 27), 255, 255, 255);
    const std::uint32_t fadeStart = m_time.getTime();

    int lastAlpha = 255;
    std::uint32_t lastChange = 0;
    int changes = 0;
    while (m_time.getTime() < fadeStart + 1100)
    {
        frame(5);
        const int alpha = object(0).getColor().a;
        // Blended over black, the white text shows its own opacity.
        EXPECT_RGB_NEAR(pixel(10, 20), alpha, alpha, alpha, 1);
        if (alpha != lastAlpha)
        {
            EXPECT_LT(alpha, lastAlpha);
            if (changes > 0)
            {
                EXPECT_GE(m_time.getTime() - lastChange, 15u);
            }
            lastAlpha = alpha;
            lastChange = m_time.getTime();
            ++changes;
        }
    }
    EXPECT_GT(changes, 50);
    EXPECT_EQ(lastAlpha, 0);
    EXPECT_LE(lastChange, fadeStart + 1000 + 15);
    EXPECT_RGB(pixel(10, 20), 0, 0, 0);

    // The fade back stays invisible for its whole second, then shows the text at once.
    while (m_time.getTime() < fadeStart + 1100 + 990)
    {
        frame(5);
        EXPECT_EQ(object(0).getColor().a, 0) << "at " << m_time.getTime();
    }
    frames(10, 5);
    EXPECT_EQ(object(0).getColor().a, 255);
    EXPECT_RGB(pixel(10, 20), 255, 255, 255);
}

TEST_F(ScriptEnvironmentTest, MoveReachesItsTargetAtTheEndAndZeroIsNoTarget)
{
    load("printText(50, 60, \"A\")\nprintText(100, 100, \"B\")\nmove(0, 0, 0, 500)\nmove(1, 300, 200, 0)\n");
    frames(4, 10);
    frames(2, 15);
    EXPECT_EQ(object(1).getPosition(), Fernhouse::Base::Point(300, 200));
    EXPECT_RGB(pixel(300, 200), 255, 255, 255);
    EXPECT_RGB(pixel(100, 100), 0, 0, 0);
    frames(60, 10);
    EXPECT_EQ(object(0).getPosition(), Fernhouse::Base::Point(50, 60));

    call("move", "(1, 400, 150, 300)");
    const std::uint32_t end = m_time.getTime() + 300;
    int lastX = 300;
    while (m_time.getTime() < end)
    {
        frame(10);
        const int x = object(1).getX();
        EXPECT_GE(x, lastX);
        EXPECT_LE(x, 400);
        EXPECT_GE(object(1).getY(), 150);
        lastX = x;
    }
    frame(15);
    EXPECT_EQ(object(1).getPosition(), Fernhouse::Base::Point(400, 150));
}

TEST_F(ScriptEnvironmentTest, ImagesAreKeyedOnWhiteAndScaleFromTheirTopLeftCornerLikeTexts)
{
    load("printText(40, 40, \"A\")\nshowImage(200, 100, \"" + m_dir.file("pic.bmp") +
         "\")\nscale(0, 2, 1000)\nscale(1, 2, 1000)\n");
    frames(4, 10);
    // The white half of the picture is see-through.
    EXPECT_RGB(pixel(200, 100), 255, 0, 0);
    EXPECT_RGB(pixel(215, 115), 255, 0, 0);
    EXPECT_RGB(pixel(216, 100), 0, 0, 0);

    frames(105, 10);
    EXPECT_FLOAT_EQ(object(0).getScale(), 2.0f);
    EXPECT_FLOAT_EQ(object(1).getScale(), 2.0f);
    EXPECT_RGB(pixel(40, 40), 255, 255, 255);
    EXPECT_RGB(pixel(55, 55), 255, 255, 255);
    EXPECT_RGB(pixel(56, 56), 0, 0, 0);
    EXPECT_RGB(pixel(39, 39), 0, 0, 0);
    EXPECT_RGB(pixel(200, 100), 255, 0, 0);
    EXPECT_RGB(pixel(231, 131), 255, 0, 0);
    EXPECT_RGB(pixel(232, 100), 0, 0, 0);
    EXPECT_RGB(pixel(231, 132), 0, 0, 0);
}

TEST_F(ScriptEnvironmentTest, FontAndColourApplyToTextsPrintedLater)
{
    load("printText(10, 10, \"A\")\nsetColor(255, 0, 0)\nsetFont(\"fixed_medium\")\nprintText(10, 40, "
         "\"A\")\n");
    frames(4, 10);
    EXPECT_RGB(pixel(17, 17), 255, 255, 255);
    EXPECT_RGB(pixel(18, 18), 0, 0, 0);
    EXPECT_RGB(pixel(10, 40), 255, 0, 0);
    EXPECT_RGB(pixel(25, 55), 255, 0, 0);
    EXPECT_EQ(m_fonts.getReferenceCount("fixed_small"), 1);
    EXPECT_EQ(m_fonts.getReferenceCount("fixed_medium"), 1);
}

TEST_F(ScriptEnvironmentTest, RemoveDeletesByOffsetAndLaterObjectsMoveDown)
{
    load("printText(0, 0, \"ONE\")\nprintText(0, 10, \"TWO\")\nprintText(0, 20, \"THREE\")\nremove(0)\n"
         "remove(0)\n");
    frames(5, 10);
    ASSERT_EQ(objects().size(), 1u);
    EXPECT_EQ(textOf(0), "THREE");
    EXPECT_EQ(m_fonts.getReferenceCount("fixed_small"), 1);

    call("clear", "()");
    EXPECT_TRUE(objects().empty());
    EXPECT_EQ(m_fonts.getReferenceCount("fixed_small"), 0);
}

// Each bad call throws exactly ScriptRuntimeException with its message and source, and changes nothing:
// the object keeps its place, colour and size, and the next text still gets the default colour.
TEST_F(ScriptEnvironmentTest, BadCallsFailWithTheirMessageAndLeaveEverythingAsItWas)
{
    call("printText", "(5, 5, \"A\")");
    frames(3, 15);
    const std::string Arguments = "src/ScriptArgumentList";
    for (const auto& [name, arguments, message, file] :
         std::vector<std::tuple<std::string, std::string, std::string, std::string>>{
             {"move", "(0, 9, 9, -1)", "move: duration may not be negative.", Tag},
             {"fade", "(0, 0, -1)", "fade: duration may not be negative.", Tag},
             {"scale", "(0, 3, -1)", "scale: duration may not be negative.", Tag},
             {"fade", "(0, 256, 10)", "fade: targetAlpha must be between 0-255.", Tag},
             {"scale", "(1, 2, 10)", "Couldn't find object with offset=", Tag},
             {"remove", "(1)", "Couldn't find object with offset=", Tag},
             {"remove", "(-1)", "Couldn't find object with offset=", Tag},
             {"setColor", "(256, 0, 0)", "setColor: red component must be 0-255.", Tag},
             {"setColor", "(0, -1, 300)", "setColor: green component must be 0-255.", Tag},
             {"setColor", "(0, 0, -1)", "setColor: b component must be 0-255.", Tag},
             {"printText", "(1, 2)", "printText: argument 3 is missing.", Arguments},
             {"move", "(0, 1, 2 ", "move: argument 3 is missing.", Arguments}})
    {
        EXPECT_TRUE(throwsWith<ScriptRuntimeException>([&] { call(name, arguments); }, message, file))
            << name;
    }
    EXPECT_TRUE(throwsWith<Exception>([&] { call("jump", "(1)"); }, "Unknown function: jump", Tag));
    EXPECT_THROW(call("showImage", "(0, 0, \"" + m_dir.file("missing.png") + "\")"),
                 Fernhouse::Base::FileNotFoundException);
    frames(3, 15);
    ASSERT_EQ(objects().size(), 1u);
    EXPECT_EQ(object(0).getPosition(), Fernhouse::Base::Point(5, 5));
    EXPECT_EQ(object(0).getColor(), White);
    EXPECT_FLOAT_EQ(object(0).getScale(), 1.0f);
    call("printText", "(10, 80, \"A\")");
    EXPECT_EQ(object(1).getColor(), White);

    call("setFont", "(\"missing\")");
    EXPECT_THROW(call("printText", "(1, 1, \"A\")"), Fernhouse::Base::FileNotFoundException);
    EXPECT_EQ(objects().size(), 2u);
    EXPECT_EQ(m_fonts.getReferenceCount("missing"), 0);
}

TEST_F(ScriptEnvironmentTest, EscapeReturnAndSpaceAskToSkipOtherKeysDoNot)
{
    EXPECT_FALSE(m_env.keyDown(SDLK_a, false, false, false));
    EXPECT_FALSE(m_env.keyDown(SDLK_LEFT, false, false, false));
    EXPECT_FALSE(m_env.isDone());
    EXPECT_TRUE(m_env.keyDown(SDLK_SPACE, false, false, false));
    EXPECT_TRUE(m_env.isDone());
    for (const SDLKey key : {SDLK_ESCAPE, SDLK_RETURN})
    {
        ScriptEngine engine;
        ScriptEnvironment env(&engine, &m_sound);
        EXPECT_TRUE(env.keyDown(key, false, false, false));
        EXPECT_TRUE(env.isDone());
    }
    // One engine serves one environment.
    EXPECT_TRUE(throwsWith<ScriptEngineException>([&] { ScriptEnvironment second(&m_engine, &m_sound); },
                                                  "Function already registered", "src/ScriptEngine"));
}

TEST_F(ScriptEnvironmentTest, PlaySoundAddsTheFileToTheTopContextAndPlaysNothingWithoutAudio)
{
    // The silent manager has no context to add to; the script goes on without a sound.
    EXPECT_NO_THROW(call("playSound", "(\"beep.wav\")"));

    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", m_dir.file("out.raw").c_str(), 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
    {
        SoundManager sound(44100, AUDIO_S16LSB, 16, 2048);
        ScriptEngine engine;
        ScriptEnvironment env(&engine, &sound);
        const std::string click = std::string(TARVO_SOURCE_DIR) + "/sounds/menuClick.wav";
        ScriptStatement statement;
        statement.functionName = "playSound";
        statement.argumentText = "(\"" + click + "\")";
        EXPECT_TRUE(throwsWith<SoundException>([&] { env.execute(statement); }, "Context stack is empty.",
                                               "src/SoundManager"));
        sound.pushContext("credits");
        env.execute(statement);
        EXPECT_GE(Mix_Playing(-1), 1);
        statement.argumentText = "(\"missing.wav\")";
        EXPECT_TRUE(throwsWith<SoundException>([&] { env.execute(statement); },
                                               "Failed to load sound: missing.wav", "src/Sound"));
        const std::vector<Fernhouse::Sound::Sound*>& listed = sound.topContext()->getSounds();
        ASSERT_EQ(listed.size(), 1u);
        EXPECT_EQ(listed[0]->getName(), click);
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// Damaged copies of a script that calls every function, from a fixed seed. Loading and running them may
// only end in the engine's own exceptions; the sanitizer build checks that nothing else goes wrong.
TEST_F(ScriptEnvironmentTest, DamagedScriptsFailOnlyWithEngineExceptions)
{
    const std::string picture = m_dir.file("pic.bmp");
    const std::vector<std::string> lines = {"# a scene",
                                            "setFont(\"fixed_medium\")",
                                            "setColor(255, 128, 0)",
                                            "printText(10, 20, \"HELLO, WORM\")",
                                            "showImage(100, 50, \"" + picture + "\")",
                                            "move(1, 300, 200, 100)",
                                            "fade(0, 0, 50)",
                                            "scale(1, 3, 40)",
                                            "sleep(30)",
                                            "playSound(\"beep.wav\")",
                                            "remove(0)",
                                            "printText(0, 0, \"BYE\")",
                                            "clear()"};
    // Signs, huge or negative numbers, misspelt names, a line far too long, and characters without glyphs.
    const std::vector<std::string> Pieces = {"\"",
                                             "(",
                                             ")",
                                             ",",
                                             "#",
                                             "-",
                                             "99999999999",
                                             "prnt",
                                             "Move",
                                             "fade(",
                                             std::string(30000, '9'),
                                             "\x01\xff",
                                             std::string(1, '\0')};
    std::mt19937 random(20240611u);
    int finished = 0;
    int failed = 0;
    std::set<std::string> kinds;
    for (int run = 0; run < 300; ++run)
    {
        std::string text;
        // One line broken, so that a fair share of the scripts still runs to its end.
        const std::size_t broken = random() % lines.size();
        for (std::size_t i = 0; i < lines.size(); ++i)
        {
            text += (i == broken ? TestSupport::damageText(lines[i], random, Pieces) : lines[i]) +
                    (random() % 4 == 0 ? "\r\n" : "\n");
        }
        ScriptEngine engine;
        ScriptEnvironment env(&engine, &m_sound);
        try
        {
            engine.load(write("damaged.fhs", text));
            for (int i = 0; i < 100 && engine.run(); ++i)
            {
                m_clock.advance(10);
                m_time.update();
                env.update();
                env.draw();
            }
            ++finished;
        }
        catch (const Exception& e)
        {
            ++failed;
            kinds.insert(typeid(e).name());
            // A label that meets a character without a glyph throws out of its draw with its matrix
            // still pushed; take it back so that later runs start from the screen's frame.
            GLint depth = 1;
            glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
            for (; depth > 1; --depth)
            {
                glPopMatrix();
            }
        }
    }
    EXPECT_GT(finished, 10);
    EXPECT_GT(failed, 10);
    // Load errors, bad arguments, missing files and glyphless characters at least.
    EXPECT_GE(kinds.size(), 4u);
}
