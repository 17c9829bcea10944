#include "game/TarvoApp.h"

#include "engine/base/EventRouter.h"
#include "engine/sound/SoundManager.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>

using TestSupport::ScopedWorkingDirectory;
using TestSupport::TempDir;

TEST(TarvoApp, WindowThatCannotOpenIsLoggedAndEndsTheRun)
{
    TempDir dir;
    ScopedWorkingDirectory cwd(dir.path());
    // The dummy video driver has no OpenGL, so the window cannot be created.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    {
        Tarvo::TarvoApp app(0, nullptr);
        EXPECT_EQ(app.run(), 1);
    }
    unsetenv("SDL_VIDEODRIVER");
    const std::string log = dir.readFile("ErrorLog.txt");
    EXPECT_NE(log.find("Exception in src/Screen:"), std::string::npos) << log;
    EXPECT_NE(log.find(": Failed to set the requested video mode.\n"), std::string::npos) << log;
}

TEST(TarvoApp, MissingAudioDeviceIsLoggedOnceAndTheGameRunsSilently)
{
    TempDir dir;
    ScopedWorkingDirectory cwd(dir.path());
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/nonexistent-dir/out.raw", 1);
    {
        Tarvo::TarvoApp app(0, nullptr);
        ASSERT_NE(app.getScreen(), nullptr);
        ASSERT_NE(app.getSoundManager(), nullptr);
        EXPECT_FALSE(app.getSoundManager()->isEnabled());
        app.getEventRouter()->pushQuit();
        EXPECT_EQ(app.run(), 0);
    }
    const std::string log = dir.readFile("ErrorLog.txt");
    const std::string::size_type first = log.find("--------------------------------\n");
    ASSERT_NE(first, std::string::npos) << log;
    EXPECT_EQ(log.find("--------------------------------\n", first + 1), std::string::npos) << log;
    EXPECT_NE(log.find(": Mix_OpenAudio: "), std::string::npos) << log;
}
