#include "game/TarvoApp.h"

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
