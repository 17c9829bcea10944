#include "engine/base/GameTime.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/script/ScriptEngine.h"
#include "engine/sound/SoundContext.h"
#include "engine/sound/SoundManager.h"

#include "game/frontend/ScriptEnvironment.h"

#include "tests/support/FakeClock.h"
#include "tests/support/GLWindow.h"
#include "tests/support/TempDir.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

constexpr std::uint32_t FrameMs = 16;
constexpr std::uint32_t LongestScriptMs = 60000;

// The shipped scripts on the real fonts, pictures and sounds, run from the repository as the game runs
// from its data directory, with a mixer on SDL's disk driver.
class ScriptFiles : public TestSupport::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        glEnable(GL_BLEND);
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", m_dir.file("out.raw").c_str(), 1);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
        m_sound = new Fernhouse::Sound::SoundManager(44100, AUDIO_S16LSB, 16, 2048);
        m_time.start();
    }

    void TearDown() override
    {
        delete m_sound;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        GLTest::TearDown();
    }

    static bool anythingShown()
    {
        std::vector<unsigned char> frame(static_cast<std::size_t>(TestSupport::WindowWidth) *
                                         TestSupport::WindowHeight * 3);
        glReadPixels(0, 0, TestSupport::WindowWidth, TestSupport::WindowHeight, GL_RGB, GL_UNSIGNED_BYTE,
                     frame.data());
        for (const unsigned char channel : frame)
        {
            if (channel != 0)
            {
                return true;
            }
        }
        return false;
    }

    // Runs the script in frames of game time, with the context on top that the front end pushes for it,
    // until it ends by itself. Checks that it ends within a minute and shows something most of the time.
    void play(const std::string& path, const std::string& context)
    {
        m_sound->pushContext(context);
        Fernhouse::Script::ScriptEngine engine;
        Tarvo::ScriptEnvironment env(&engine, m_sound);
        engine.load(path);
        const std::uint32_t start = m_time.getTime();
        int frames = 0;
        int shown = 0;
        while (engine.run())
        {
            ASSERT_LT(m_time.getTime() - start, LongestScriptMs) << path;
            env.update();
            glClear(GL_COLOR_BUFFER_BIT);
            env.draw();
            ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
            if (frames++ % 10 == 0 && anythingShown())
            {
                ++shown;
            }
            m_clock.advance(FrameMs);
            m_time.update();
        }
        EXPECT_FALSE(env.isDone());
        EXPECT_GT(m_time.getTime() - start, LongestScriptMs / 6) << path;
        EXPECT_GT(shown * 10, frames * 3 / 4) << path << ": shown in " << shown << " of " << frames / 10;
        EXPECT_FALSE(m_sound->topContext()->getSounds().empty()) << path << " plays no sound";
        m_sound->popContext();
    }

    TestSupport::TempDir m_dir;
    TestSupport::ScopedWorkingDirectory m_cwd{TARVO_SOURCE_DIR};
    TestSupport::FakeClock m_clock{1000};
    Fernhouse::Base::GameTime m_time;
    Fernhouse::Graphics::TextureFactory m_factory;
    Fernhouse::Graphics::FontManager m_fonts{"graphics/fonts/", ".png"};
    Fernhouse::Sound::SoundManager* m_sound = nullptr; // owned
};

} // namespace

TEST_F(ScriptFiles, IntroRunsToItsEndOnTheShippedData)
{
    play("scripts/intro.fhs", "menu");
}

TEST_F(ScriptFiles, CreditsRunToTheirEndOnTheShippedData)
{
    play("scripts/credits.fhs", "credits");
}
