#pragma once

#include "engine/base/Exception.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace TestSupport
{

// The mixer settings the game uses; the disk driver writes what it mixes as raw S16LE stereo.
constexpr int AudioFrequency = 44100;
constexpr int AudioChannels = 16;
constexpr int AudioChunkSize = 2048;

// A stretch of output louder than the detection threshold, in sample frames.
struct Burst
{
    std::size_t start;
    std::size_t length;
    int peak;
};

// Runs each test with SDL's audio subsystem on the disk driver, writing into a fresh temporary file, as
// the application would initialise it. The driver plays in real time, so keep sounds short.
class DiskAudioTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    const TempDir& dir() const { return m_dir; }

    // Everything the mixer wrote; complete only once the mixer was closed.
    std::vector<std::int16_t> readOutput() const;

private:
    TempDir m_dir;
    std::string m_oldDriver;
    std::string m_oldFile;
    bool m_hadDriver = false;
    bool m_hadFile = false;
};

// A mono 16-bit PCM WAV at AudioFrequency holding a sine tone of the given peak sample value.
std::string makeWav(int milliseconds, int amplitude);

// Stretches of interleaved stereo output above threshold, split where it stays quiet for at least
// minimumGap frames.
std::vector<Burst> findBursts(const std::vector<std::int16_t>& samples, int threshold,
                              std::size_t minimumGap);

// The bytes of a file under tests/data/sound.
std::string readFixture(const std::string& name);

std::size_t countNonZero(const std::vector<std::int16_t>& samples);

// Polls every 10 ms real time; false when the condition still fails after timeoutMs.
bool waitUntil(const std::function<bool()>& condition, int timeoutMs);

// Waits, bounded, until no effect channel plays any more.
bool waitForChannels();

// Passes when the call throws exactly E with the message and source tag.
template <typename E>
::testing::AssertionResult throwsWith(const std::function<void()>& call, const std::string& message,
                                      const std::string& file)
{
    try
    {
        call();
    }
    catch (const E& e)
    {
        if (e.getMessage() != message || e.getFile() != file)
        {
            return ::testing::AssertionFailure() << "threw \"" << e.getMessage() << "\" from " << e.getFile();
        }
        return ::testing::AssertionSuccess();
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        return ::testing::AssertionFailure() << "wrong type: " << e.what();
    }
    return ::testing::AssertionFailure() << "nothing thrown";
}

} // namespace TestSupport
