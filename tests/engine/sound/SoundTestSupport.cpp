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
constexpr int Threshold = 1000;
constexpr std::size_t MinimumGap = AudioFrequency / 20;

void putLittleEndian(std::string& bytes, std::uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
    {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFFu));
    }
}

} // namespace

void DiskAudioTest::SetUp()
{
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    m_oldDriver = driver != nullptr ? driver : "dummy";
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", m_dir.file("out.raw").c_str(), 1);
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
}

void DiskAudioTest::TearDown()
{
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    setenv("SDL_AUDIODRIVER", m_oldDriver.c_str(), 1);
    unsetenv("SDL_DISKAUDIOFILE");
}

std::string DiskAudioTest::tone(const std::string& name, int amplitude, int milliseconds) const
{
    const auto frames = static_cast<std::uint32_t>(AudioFrequency / 1000 * milliseconds);
    std::string bytes = "RIFF";
    putLittleEndian(bytes, 36 + frames * 2, 4);
    bytes += "WAVEfmt ";
    // Format chunk size, PCM, mono, rate, byte rate, block size, 16 bits.
    const std::pair<int, int> fields[] = {
        {16, 4}, {1, 2}, {1, 2}, {AudioFrequency, 4}, {AudioFrequency * 2, 4}, {2, 2}, {16, 2}};
    for (const auto& [value, size] : fields)
    {
        putLittleEndian(bytes, static_cast<std::uint32_t>(value), size);
    }
    bytes += "data";
    putLittleEndian(bytes, frames * 2, 4);
    for (std::uint32_t i = 0; i < frames; ++i)
    {
        const double sample = std::round(amplitude * std::sin(TwoPi * Pitch * i / AudioFrequency));
        putLittleEndian(bytes, static_cast<std::uint16_t>(static_cast<std::int16_t>(sample)), 2);
    }
    m_dir.writeFile(name, bytes);
    return m_dir.file(name);
}

std::vector<Burst> DiskAudioTest::bursts() const
{
    const std::string bytes = m_dir.readFile("out.raw");
    std::vector<std::int16_t> samples(bytes.size() / sizeof(std::int16_t));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(std::int16_t));
    std::vector<Burst> found;
    std::size_t lastLoud = 0;
    for (std::size_t frame = 0; frame * 2 + 1 < samples.size(); ++frame)
    {
        const int level = std::max(std::abs(samples[frame * 2]), std::abs(samples[frame * 2 + 1]));
        if (level <= Threshold)
        {
            continue;
        }
        if (found.empty() || frame - lastLoud >= MinimumGap)
        {
            found.push_back({frame, 0});
        }
        found.back().peak = std::max(found.back().peak, level);
        lastLoud = frame;
    }
    return found;
}

std::string soundFixture(const std::string& name)
{
    std::ifstream in(std::string(TARVO_TEST_DATA_DIR) + "/sound/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool waitForChannels()
{
    for (int waited = 0; waited < 3000 && Mix_Playing(-1) != 0; waited += 10)
    {
        SDL_Delay(10);
    }
    return Mix_Playing(-1) == 0;
}

} // namespace TestSupport
