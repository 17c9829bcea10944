#include "engine/base/Application.h"

#include "engine/base/EventRouter.h"
#include "engine/base/Exception.h"
#include "engine/base/GameTime.h"
#include "engine/base/Screen.h"

#include "tests/support/FakeClock.h"
#include "tests/support/GLWindow.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <type_traits>

using namespace Fernhouse::Base;
using TestSupport::pixel;

namespace
{

static_assert(!std::is_copy_constructible_v<Application>);
static_assert(!std::is_copy_assignable_v<Application>);

// An application whose per-frame step is whatever the test sets.
class TestApp final : public Application
{
public:
    int run() override { return 0; }

    void open(bool fullscreen = false)
    {
        init("Tarvo test", 800, 600, 32, fullscreen, 44100, AUDIO_S16LSB, 16, 2048);
    }

    bool runFrame() { return frame(); }

    std::function<void()> m_step;

protected:
    void step() override
    {
        if (m_step)
        {
            m_step();
        }
    }
};

class CountingEntity final : public Entity
{
public:
    void update() override { ++m_updates; }

    void draw() override { ++m_draws; }

    int m_updates = 0;
    int m_draws = 0;
};

// Restores an environment variable on scope exit.
class ScopedEnv final
{
public:
    ScopedEnv(const char* name, const char* value) : m_name(name)
    {
        const char* old = std::getenv(name);
        m_had = old != nullptr;
        if (m_had)
        {
            m_old = old;
        }
        setenv(name, value, 1);
    }

    ~ScopedEnv()
    {
        if (m_had)
        {
            setenv(m_name, m_old.c_str(), 1);
        }
        else
        {
            unsetenv(m_name);
        }
    }

private:
    const char* m_name;
    std::string m_old;
    bool m_had = false;
};

} // namespace

TEST(Application, ConstructorCreatesRouterAndClockAndDestructorClearsEverything)
{
    {
        TestApp app;
        EXPECT_EQ(Application::getInstance(), &app);
        EXPECT_EQ(EventRouter::getInstance(), app.getEventRouter());
        EXPECT_EQ(GameTime::getInstance(), app.getGameTime());
        EXPECT_EQ(app.getScreen(), nullptr);
        app.open();
        ASSERT_NE(app.getScreen(), nullptr);
    }
    EXPECT_EQ(Application::getInstance(), nullptr);
    EXPECT_EQ(EventRouter::getInstance(), nullptr);
    EXPECT_EQ(GameTime::getInstance(), nullptr);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
}

TEST(Application, InitOpensTheCaptionedWindowWithAPixelProjection)
{
    TestApp app;
    app.open();
    Screen* screen = app.getScreen();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->getWidth(), 800u);
    EXPECT_EQ(screen->getHeight(), 600u);
    EXPECT_EQ(screen->getBitsPerPixel(), 32u);
    EXPECT_FALSE(screen->isFullscreen());
    char* title = nullptr;
    SDL_WM_GetCaption(&title, nullptr);
    ASSERT_NE(title, nullptr);
    EXPECT_STREQ(title, "Tarvo test");

    screen->setBackgroundColor(Color(10, 20, 30, 255));
    screen->clear();
    glColor4ub(255, 255, 255, 255);
    glBegin(GL_QUADS);
    glVertex2i(700, 500);
    glVertex2i(710, 500);
    glVertex2i(710, 510);
    glVertex2i(700, 510);
    glEnd();
    EXPECT_RGB(pixel(0, 0), 10, 20, 30);
    EXPECT_RGB(pixel(700, 500), 255, 255, 255);
    EXPECT_RGB(pixel(709, 509), 255, 255, 255);
    EXPECT_RGB(pixel(710, 510), 10, 20, 30);
}

TEST(Application, FrameUpdatesAndDrawsAChildAddedByTheStepInTheSameFrame)
{
    TestSupport::FakeClock clock(1000);
    TestApp app;
    app.open();
    CountingEntity child;
    app.m_step = [&] {
        if (app.getScreen()->getChildren().empty())
        {
            app.getScreen()->addChild(&child);
        }
    };
    app.getGameTime()->start();
    clock.advance(40);
    EXPECT_TRUE(app.runFrame());
    EXPECT_EQ(child.m_updates, 1);
    EXPECT_EQ(child.m_draws, 1);
    EXPECT_EQ(app.getGameTime()->getTime(), 40u);
    app.getScreen()->removeChild(&child);
}

TEST(Application, QuitEventEndsTheLoopBeforeAnythingIsDrawn)
{
    TestApp app;
    app.open();
    int steps = 0;
    app.m_step = [&] { ++steps; };
    EXPECT_TRUE(app.runFrame());
    app.getEventRouter()->pushQuit();
    EXPECT_FALSE(app.runFrame());
    EXPECT_EQ(steps, 1);
}

TEST(Application, GLErrorOfAFrameIsPrintedOnStandardOutput)
{
    TestApp app;
    app.open();
    app.m_step = [] { glEnable(GL_TEXTURE_ENV); };
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(app.runFrame());
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "invalid enumerant\n");
}

TEST(Application, WindowThatCannotOpenThrowsAndLeavesNoScreen)
{
    // The dummy video driver has no OpenGL, so no GL mode can be set.
    ScopedEnv driver("SDL_VIDEODRIVER", "dummy");
    TestApp app;
    try
    {
        app.open();
        FAIL() << "no exception";
    }
    catch (const ScreenCreateFailedException& e)
    {
        EXPECT_EQ(e.getMessage(), "Failed to set the requested video mode.");
        EXPECT_EQ(e.getFile(), "src/Screen");
    }
    EXPECT_EQ(app.getScreen(), nullptr);
}

TEST(Screen, FullscreenSwitchesBothWaysAndSameValueDoesNothing)
{
    TestApp app;
    app.open();
    Screen* screen = app.getScreen();
    screen->setFullscreen(false);
    EXPECT_FALSE(screen->isFullscreen());
    EXPECT_EQ(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN, 0u);

    screen->setFullscreen(true);
    EXPECT_TRUE(screen->isFullscreen());
    EXPECT_NE(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN, 0u);

    screen->setFullscreen(false);
    EXPECT_FALSE(screen->isFullscreen());
    EXPECT_EQ(SDL_GetVideoSurface()->flags & SDL_FULLSCREEN, 0u);

    // The projection is set up again after the switch.
    screen->setBackgroundColor(Color(0, 0, 0, 255));
    screen->clear();
    glColor4ub(0, 255, 0, 255);
    glBegin(GL_QUADS);
    glVertex2i(0, 0);
    glVertex2i(4, 0);
    glVertex2i(4, 4);
    glVertex2i(0, 4);
    glEnd();
    EXPECT_RGB(pixel(0, 0), 0, 255, 0);
    EXPECT_RGB(pixel(4, 4), 0, 0, 0);
}

TEST(Screen, VideoFlagsAreTheOpenGLModeFlags)
{
    EXPECT_EQ(Screen::videoFlags(false), 0x10000003u);
    EXPECT_EQ(Screen::videoFlags(true), 0x90000003u);
}
