#include "engine/base/Application.h"

#include "tests/support/GLWindow.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
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
class EnvironmentGuard final : public ::testing::EmptyTestEventListener
{
public:
    void OnTestStart(const ::testing::TestInfo&) override
    {
        for (auto& [name, value] : m_saved)
        {
            const char* now = std::getenv(name.c_str());
            value = now != nullptr ? std::optional<std::string>(now) : std::nullopt;
        }
    }

    void OnTestEnd(const ::testing::TestInfo&) override
    {
        for (const auto& [name, value] : m_saved)
        {
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        }
    }

private:
    std::map<std::string, std::optional<std::string>> m_saved = {{"SDL_AUDIODRIVER", std::nullopt},
                                                                 {"SDL_DISKAUDIOFILE", std::nullopt},
                                                                 {"SDL_VIDEODRIVER", std::nullopt}};
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
