#include "engine/base/Application.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace
{

// SDL reads its drivers from these when a subsystem starts. A test that points them elsewhere (a disk
// file in its own temporary directory, a missing device) must not leave them so for the tests after it
// in the same process.
class EnvironmentGuard final : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo&) override
    {
        for (auto& [name, value] : m_saved)
        {
            value =
                std::getenv(name) != nullptr ? std::optional<std::string>(std::getenv(name)) : std::nullopt;
        }
    }

    void OnTestEnd(const ::testing::TestInfo&) override
    {
        for (const auto& [name, value] : m_saved)
        {
            value ? setenv(name, value->c_str(), 1) : unsetenv(name);
        }
    }

    std::pair<const char*, std::optional<std::string>> m_saved[3] = {
        {"SDL_AUDIODRIVER", {}}, {"SDL_DISKAUDIOFILE", {}}, {"SDL_VIDEODRIVER", {}}};
};

} // namespace

int main(int argc, char** argv)
{
    // Never touch a real sound card; sound tests pick the disk driver themselves.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // Frames run on the fake clock, never waiting for real time.
    Fernhouse::Base::Application::setFramePacing(false);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new EnvironmentGuard); // gtest owns it
    const int result = RUN_ALL_TESTS();
    // Closes SDL, and with it the shared GL window a test may have opened.
    SDL_Quit();
    return result;
}
