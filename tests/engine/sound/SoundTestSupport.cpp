#include "tests/engine/sound/SoundTestSupport.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace TestSupport
{

namespace
{

constexpr double Pitch = 440.0;
constexpr double TwoPi = 6.283185307179586;
constexpr int ChannelTimeoutMs = 3000;
constexpr int PollMs = 10;

void putLittleEndian(std::string& bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
    {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFFu));
    }
}

bool saveEnv(const char* name, std::string& value)
{
    const char* current = std::getenv(name);
    if (current != nullptr)
    {
        value = current;
    }
    return current != nullptr;
}

void restoreEnv(const char* name, bool had, const std::string& value)
{
    if (had)
    {
        setenv(name, value.c_str(), 1);
    }
    else
    {
        unsetenv(name);
    }
}

} // namespace

void DiskAudioTest::SetUp()
{
    m_hadDriver = saveEnv("SDL_AUDIODRIVER", m_oldDriver);
    m_hadFile = saveEnv("SDL_DISKAUDIOFILE", m_oldFile);
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", m_dir.file("out.raw").c_str(), 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
}

void DiskAudioTest::TearDown()
{
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    restoreEnv("SDL_AUDIODRIVER", m_hadDriver, m_oldDriver);
    restoreEnv("SDL_DISKAUDIOFILE", m_hadFile, m_oldFile);
}

std::vector<std::int16_t> DiskAudioTest::readOutput() const
{
    const std::string bytes = m_dir.readFile("out.raw");
    std::vector<std::int16_t> samples(bytes.size() / sizeof(std::int16_t));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(std::int16_t));
    return samples;
}

std::string makeWav(int milliseconds, int amplitude)
{
    const auto frames = static_cast<std::uint32_t>(AudioFrequency / 1000 * milliseconds);
    const std::uint32_t dataSize = frames * 2;
    std::string bytes = "RIFF";
    putLittleEndian(bytes, 36 + dataSize, 4);
    bytes += "WAVEfmt ";
    putLittleEndian(bytes, 16, 4);
    putLittleEndian(bytes, 1, 2); // PCM
    putLittleEndian(bytes, 1, 2); // mono
    putLittleEndian(bytes, AudioFrequency, 4);
    putLittleEndian(bytes, AudioFrequency * 2, 4);
    putLittleEndian(bytes, 2, 2);
    putLittleEndian(bytes, 16, 2);
    bytes += "data";
    putLittleEndian(bytes, dataSize, 4);
    for (std::uint32_t i = 0; i < frames; ++i)
    {
        const double phase = TwoPi * Pitch * i / AudioFrequency;
        const auto sample = static_cast<std::int16_t>(std::lround(amplitude * std::sin(phase)));
        putLittleEndian(bytes, static_cast<std::uint16_t>(sample), 2);
    }
    return bytes;
}

std::vector<Burst> findBursts(const std::vector<std::int16_t>& samples, int threshold, std::size_t minimumGap)
{
    std::vector<Burst> bursts;
    std::size_t lastLoud = 0;
    for (std::size_t frame = 0; frame * 2 + 1 < samples.size(); ++frame)
    {
        const int level = std::max(std::abs(samples[frame * 2]), std::abs(samples[frame * 2 + 1]));
        if (level <= threshold)
        {
            continue;
        }
        if (bursts.empty() || frame - lastLoud >= minimumGap)
        {
            bursts.push_back({frame, 0, 0});
        }
        Burst& burst = bursts.back();
        burst.length = frame - burst.start + 1;
        burst.peak = std::max(burst.peak, level);
        lastLoud = frame;
    }
    return bursts;
}

std::string readFixture(const std::string& name)
{
    std::ifstream in(std::string(TARVO_TEST_DATA_DIR) + "/sound/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::size_t countNonZero(const std::vector<std::int16_t>& samples)
{
    std::size_t count = 0;
    for (std::int16_t sample : samples)
    {
        count += sample != 0 ? 1 : 0;
    }
    return count;
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs)
{
    for (int waited = 0; waited < timeoutMs; waited += PollMs)
    {
        if (condition())
        {
            return true;
        }
        SDL_Delay(PollMs);
    }
    return condition();
}

bool waitForChannels()
{
    return waitUntil([] { return Mix_Playing(-1) == 0; }, ChannelTimeoutMs);
}

} // namespace TestSupport
