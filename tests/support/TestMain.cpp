#include "engine/base/Application.h"

#include "tests/support/GLWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{

// Closes the shared GL window, if a test opened it, after the last test.
class WindowEnvironment final : public ::testing::Environment
{
public:
    void TearDown() override { TestSupport::closeGLWindow(); }
};

} // namespace

int main(int argc, char** argv)
{
    // Never touch a real sound card; sound tests pick the disk driver themselves.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // Frames run on the fake clock, never waiting for real time.
    Fernhouse::Base::Application::setFramePacing(false);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new WindowEnvironment); // gtest owns it
    return RUN_ALL_TESTS();
}
