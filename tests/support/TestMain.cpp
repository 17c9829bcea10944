#include "engine/base/Application.h"

#include "tests/support/GLWindow.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <optional>
#include <string>

namespace
{

// Closes the shared GL window, if a test opened it, after the last test.
class WindowEnvironment final : public ::testing::Environment
{
public:
    void TearDown() override { TestSupport::closeGLWindow(); }
};

// SDL reads its drivers from these when a subsystem starts. A test that points them elsewhere (a disk
// file in its own temporary directory, a missing device) must not leave them so for the tests after it
// in the same process.
constexpr std::array<const char*, 3> SdlVariables = {"SDL_AUDIODRIVER", "SDL_DISKAUDIOFILE",
                                                     "SDL_VIDEODRIVER"};

class EnvironmentGuard final : public ::testing::EmptyTestEventListener
{
public:
    void OnTestStart(const ::testing::TestInfo&) override
    {
        for (std::size_t i = 0; i < SdlVariables.size(); ++i)
        {
            const char* value = std::getenv(SdlVariables[i]);
            m_saved[i] = value != nullptr ? std::optional<std::string>(value) : std::nullopt;
        }
    }

    void OnTestEnd(const ::testing::TestInfo&) override
    {
        for (std::size_t i = 0; i < SdlVariables.size(); ++i)
        {
            if (m_saved[i])
            {
                setenv(SdlVariables[i], m_saved[i]->c_str(), 1);
            }
            else
            {
                unsetenv(SdlVariables[i]);
            }
        }
    }

private:
    std::array<std::optional<std::string>, SdlVariables.size()> m_saved;
};

} // namespace

int main(int argc, char** argv)
{
    // Never touch a real sound card; sound tests pick the disk driver themselves.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // Frames run on the fake clock, never waiting for real time.
    Fernhouse::Base::Application::setFramePacing(false);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new WindowEnvironment);                   // gtest owns it
    ::testing::UnitTest::GetInstance()->listeners().Append(new EnvironmentGuard); // gtest owns it
    return RUN_ALL_TESTS();
}
