#pragma once

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
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
    int peak;
};

// Runs each test with SDL's audio subsystem on the disk driver, writing into a fresh temporary file, as
// the application would initialise it. The driver plays in real time, so keep sounds short.
class DiskAudioTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a mono 16-bit PCM WAV holding a 440 Hz tone of the given peak; returns its path.
    std::string tone(const std::string& name, int amplitude, int milliseconds = 150) const;

    // Stretches of the output louder than 1000, split where it stays quieter for 50 ms; complete only
    // once the mixer was closed.
    std::vector<Burst> bursts() const;

    TempDir m_dir;

private:
    std::string m_oldDriver;
};

// The bytes of a file under tests/data/sound.
std::string soundFixture(const std::string& name);

// Waits, bounded, until no effect channel plays any more.
bool waitForChannels();

} // namespace TestSupport
