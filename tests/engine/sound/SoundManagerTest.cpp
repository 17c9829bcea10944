#include "engine/sound/SoundManager.h"

#include "engine/sound/Music.h"
#include "engine/sound/Sound.h"
#include "engine/sound/SoundContext.h"

#include "tests/support/Paths.h"
#include "tests/support/TempDir.h"
#include "tests/support/Throws.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include <cmath>
#include <cstring>
#include <memory>

using namespace Fernhouse::Sound;
using namespace std::string_literals;
using Fernhouse::Base::ArgumentException;
using Fernhouse::Base::SoundException;
using TestSupport::throwsWith;

namespace
{

const std::string Tag = "src/SoundManager";
const std::string EmptyStack = "Context stack is empty.";
// A 150 ms tone, then silence until the track loops after 3 s.
const std::string Track = std::string(TestSupport::TestDataDir) + "/sound/burst.ogg";

// Audio on the disk driver, writing out.raw (S16LE stereo, 44.1 kHz) in real time: sounds are kept short.
class SoundManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", m_dir.file("out.raw").c_str(), 1);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
    }

    void TearDown() override
    {
        m_manager.reset();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }

    void open(int channels = 16)
    {
        m_manager = std::make_unique<SoundManager>(44100, AUDIO_S16LSB, channels, 2048);
    }

    // Writes a mono 16-bit 44.1 kHz WAV of silence; returns its path.
    std::string wav(const std::string& name, std::uint32_t milliseconds = 150) const
    {
        const std::uint32_t sizes[] = {36 + 88 * milliseconds, 88 * milliseconds};
        const auto bytes = [&](int i) { return std::string(reinterpret_cast<const char*>(&sizes[i]), 4); };
        m_dir.written(name, "RIFF" + bytes(0) +
                                "WAVEfmt \x10\0\0\0\1\0\1\0\x44\xAC\0\0\x88\x58\1\0\2\0\x10\0data"s +
                                bytes(1) + std::string(sizes[1], '\0'));
        return m_dir.file(name);
    }

    TestSupport::TempDir m_dir;
    std::unique_ptr<SoundManager> m_manager;
};

} // namespace

TEST_F(SoundManagerTest, VolumesMapOntoTheMixerMusicStartsOverOnTrackChangesAndFilesLoadWhileListed)
{
    open();
    m_manager->setSoundVolume(37);
    m_manager->setMusicVolume(0);
    const std::pair<int, int> set(Mix_Volume(-1, -1), Mix_VolumeMusic(-1));
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { m_manager->setSoundVolume(101); },
                                              "Volume is out of range.", Tag));
    EXPECT_THROW(m_manager->setMusicVolume(101), ArgumentException);
    m_manager->setMusicVolume(100);
    EXPECT_EQ(std::pair(set, Mix_VolumeMusic(-1)), std::pair(std::pair(47, 0), 128));
    m_manager->addMusic("menu", "song1", Track, false);
    m_manager->addMusic("credits", "song1", "ignored.ogg", false);
    // Another track that happens to use the same file is a different track.
    m_manager->addMusic("campaign", "song1 again", Track, false);
    // Rows: a push (an empty name pops) at a music volume, then, past the tone, whether music plays. The same
    // track goes on under credits; a context without music silences it, so popping back starts it over.
    const std::tuple<std::string, std::uint32_t, int> steps[] = {{"menu", 100, 1}, {"credits", 100, 1},
                                                                 {"", 100, 1},     {"game", 100, 0},
                                                                 {"", 25, 1},      {"campaign", 100, 1}};
    for (const auto& [push, volume, playing] : steps)
    {
        m_manager->setMusicVolume(volume);
        push.empty() ? m_manager->popContext() : m_manager->pushContext(push);
        SDL_Delay(350);
        EXPECT_EQ(Mix_PlayingMusic(), playing) << push;
    }
    // One burst per start: the menu, the menu again at a quarter of the volume, the other track. A burst is
    // a stretch louder than 1000 ended by 50 ms quieter.
    m_manager.reset();
    const std::string bytes = m_dir.readFile("out.raw");
    std::vector<int> peaks;
    for (std::size_t i = 0, quiet = 4410; i + 1 < bytes.size(); i += 2, ++quiet)
    {
        std::int16_t sample = 0;
        std::memcpy(&sample, &bytes[i], 2);
        if (std::abs(sample) > 1000)
        {
            peaks.insert(peaks.end(), quiet >= 4410 ? 1 : 0, 0);
            peaks.back() = std::max(peaks.back(), std::abs(sample));
            quiet = 0;
        }
    }
    ASSERT_EQ(peaks.size(), 3u);
    EXPECT_TRUE(peaks[0] > 15000 && std::abs(peaks[1] - peaks[0] / 4.0) <= peaks[0] * 0.03 &&
                std::abs(peaks[2] - peaks[0]) <= peaks[0] * 0.03)
        << peaks[0] << " " << peaks[1] << " " << peaks[2];

    // Files are loaded while a pushed context lists them, once per listing.
    open();
    m_manager->addSound("menu", "click", wav("click.wav"), true);
    m_manager->addSound("menu", "shared", wav("shared.wav"), true);
    // A name registered again keeps its first file.
    m_manager->addSound("game", "shared", "ignored.wav", true);
    m_manager->addSound("game", "eat", wav("eat.wav"), true);
    m_manager->addSound("game", "eat", "ignored.wav", true);
    m_manager->pushContext("menu");
    const std::vector<Sound*> menu = m_manager->topContext()->getSounds();
    m_manager->pushContext("game");
    const std::vector<Sound*> game = m_manager->topContext()->getSounds();
    ASSERT_EQ(std::tuple(menu.size(), game.size()), std::tuple(2u, 3u));
    EXPECT_EQ(std::pair(game[0], game[2]), std::pair(menu[1], game[1]));
    EXPECT_TRUE(throwsWith<SoundException>([&] { m_manager->playSound("click"); },
                                           "The sound is invalid for this context.", Tag));
    m_manager->playSound("eat");
    m_manager->popContext();
    const std::tuple gamePopped(game[1]->isLoaded(), menu[1]->isLoaded(), menu[0]->isLoaded());
    m_manager->popContext();
    EXPECT_EQ(std::tuple(gamePopped, menu[0]->isLoaded(), menu[1]->isLoaded(), menu[1]->getRefCount()),
              std::tuple(std::tuple(false, true, true), false, false, 0));
    EXPECT_TRUE(throwsWith<SoundException>([&] { m_manager->popContext(); }, EmptyStack, Tag));

    // A script registering a file twice while its context is on top: the pop releases both.
    m_manager->addMusic("credits", "song2", Track, false);
    m_manager->pushContext("credits");
    Music* song2 = m_manager->getCurrentMusic();
    m_manager->addSound("credits", "boom", wav("boom.wav"), true);
    m_manager->addSound("credits", "boom", "ignored.wav", true);
    Sound* boom = m_manager->topContext()->getSounds().front();
    // A new track waits for the next push or pop; the old one, used by no pushed context, is freed at once.
    m_manager->addMusic("credits", "song3", Track, false);
    Music* song3 = m_manager->topContext()->getMusic();
    EXPECT_EQ(std::pair(song2->isLoaded(), Mix_PlayingMusic()), std::pair(false, 0));
    m_manager->popContext();
    EXPECT_EQ(std::pair(boom->getRefCount(), song3->getRefCount()), std::pair(0, 0));
    m_manager->pushContext("credits");
    EXPECT_EQ(std::pair(m_manager->getCurrentMusic(), Mix_PlayingMusic()), std::pair(song3, 1));
    // A track taken away is let go like a replaced one.
    m_manager->removeMusic("credits");
    m_manager->popContext();
    EXPECT_EQ(song3->getRefCount(), 0);
}

TEST_F(SoundManagerTest, BadDeviceOrFilesThrowLeavingASilentFallbackOrNothingLoadedAndLoadOnceWhole)
{
    setenv("SDL_DISKAUDIOFILE", "/nonexistent-dir/x.raw", 1);
    // SDL's error is known only after the throw. The silent fallback accepts every call, opening nothing.
    const std::string threw = throwsWith<SoundException>([&] { open(); }, "", Tag).message();
    EXPECT_EQ(threw, "threw \"Mix_OpenAudio: "s + SDL_GetError() + "\" from " + Tag);
    SoundManager silent;
    silent.addSound("menu", "click", "/nonexistent-dir/click.wav", true);
    silent.addMusic("menu", "song1", "/nonexistent-dir/song1.ogg", true);
    silent.pushContext("menu");
    silent.playSound("never registered");
    silent.removeMusic("menu");
    silent.popContext();
    silent.setSoundVolume(37);
    EXPECT_TRUE(throwsWith<SoundException>([&] { silent.topContext(); }, EmptyStack, Tag));
    EXPECT_EQ(std::tuple(silent.isEnabled(), silent.getCurrentMusic(), silent.getSoundVolume()),
              std::tuple(false, nullptr, 37u));
    EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0);

    setenv("SDL_DISKAUDIOFILE", m_dir.file("out.raw").c_str(), 1);
    open(1);
    const std::string whole = m_dir.readFile(wav("whole.wav", 1000)), ogg = m_dir.readFile(Track);
    // Damaged (no bytes: missing) sounds and music.
    for (const auto& [name, damaged] : {std::pair("truncated.wav"s, whole.substr(0, 20)),
                                        {"missing.wav", ""},
                                        {"junk.ogg", std::string(4096, 'j')},
                                        {"missing.ogg", ""}})
    {
        SCOPED_TRACE(name);
        const bool music = name.back() == 'g';
        const std::string path = m_dir.file(name);
        if (!damaged.empty())
        {
            m_dir.written(name, damaged);
        }
        Sound sound("s", path, false);
        Music track("m", path, false);
        const auto play = [&] { music ? track.play() : sound.play(0, Sound::FirstFreeChannel); };
        EXPECT_TRUE(throwsWith<SoundException>(
            play, music ? "Failed to load music." : "Failed to load sound: " + path,
            music ? "src/Music" : "src/Sound"));
        EXPECT_FALSE(sound.isLoaded() || track.isLoaded());
        m_dir.written(name, music ? ogg : whole);
        play();
        EXPECT_TRUE(music ? track.isLoaded() : sound.isLoaded());
    }
    const std::string gone = m_dir.file("gone.wav");
    EXPECT_THROW(m_manager->addMusic("menu", "song1", gone, true), SoundException);
    EXPECT_THROW(m_manager->addSound("game", "eat", gone, true), SoundException);
    m_manager->addSound("game", "move", m_dir.file("whole.wav"), true);
    m_manager->pushContext("game");
    EXPECT_TRUE(
        throwsWith<SoundException>([&] { m_manager->playSound("eat"); }, "Sound eat not found.", Tag));
    m_manager->addMusic("credits", "song2", gone, false);
    EXPECT_THROW(m_manager->pushContext("credits"), SoundException);
    EXPECT_EQ(m_manager->topContext()->getName(), "game");

    // With its one channel busy the mixer refuses a sound; the manager drops the effect, never ending the game.
    m_manager->playSound("move");
    Sound* move = m_manager->topContext()->getSounds().front();
    EXPECT_THROW(move->play(0, Sound::FirstFreeChannel), SoundException);
    EXPECT_NO_THROW(m_manager->playSound("move"));
}
