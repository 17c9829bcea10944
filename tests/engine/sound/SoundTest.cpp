#include "engine/sound/Sound.h"

#include "engine/base/Exception.h"
#include "engine/sound/Music.h"

#include "tests/engine/sound/SoundTestSupport.h"

#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>

#include <string>

using namespace Fernhouse::Sound;
using Fernhouse::Base::SoundException;
using TestSupport::throwsWith;

namespace
{

// Sounds and tracks on their own, with the mixer opened directly.
class MixerOpen : public TestSupport::DiskAudioTest
{
protected:
    void SetUp() override
    {
        DiskAudioTest::SetUp();
        ASSERT_EQ(Mix_OpenAudio(TestSupport::AudioFrequency, AUDIO_S16LSB, 2, TestSupport::AudioChunkSize), 0)
            << Mix_GetError();
    }

    void TearDown() override
    {
        Mix_CloseAudio();
        DiskAudioTest::TearDown();
    }
};

class SoundTest : public MixerOpen
{
};

class MusicTest : public MixerOpen
{
};

} // namespace

TEST_F(SoundTest, MissingTruncatedOrJunkFileThrowsAndLoadsOnALaterTry)
{
    const std::string wav = TestSupport::makeWav(150, 12000);
    dir().writeFile("truncated.wav", wav.substr(0, 20));
    dir().writeFile("junk.wav", std::string(512, 'j'));
    dir().writeFile("empty.wav", "");
    for (const std::string name : {"missing.wav", "truncated.wav", "junk.wav", "empty.wav"})
    {
        const std::string path = dir().file(name);
        EXPECT_TRUE(throwsWith<SoundException>([&] { Sound eager("s", path, true); },
                                               "Failed to load sound: " + path, "src/Sound"))
            << name;
        Sound lazy("s", path, false);
        EXPECT_TRUE(throwsWith<SoundException>([&] { lazy.play(0, Sound::FirstFreeChannel); },
                                               "Failed to load sound: " + path, "src/Sound"))
            << name;
        EXPECT_FALSE(lazy.isLoaded());

        // A failed load leaves nothing behind, so the file is read again next time.
        dir().writeFile(name, wav);
        lazy.load();
        EXPECT_TRUE(lazy.isLoaded()) << name;
        lazy.unload();
        EXPECT_FALSE(lazy.isLoaded());
    }
}

TEST_F(MusicTest, MissingTruncatedOrJunkFileThrowsAndLoadsOnALaterTry)
{
    const std::string track = TestSupport::readFixture("burst.ogg");
    ASSERT_GT(track.size(), 1000u);
    dir().writeFile("truncated.ogg", track.substr(0, 100));
    dir().writeFile("junk.ogg", std::string(4096, 'j'));
    for (const std::string name : {"missing.ogg", "truncated.ogg", "junk.ogg"})
    {
        const std::string path = dir().file(name);
        EXPECT_TRUE(throwsWith<SoundException>([&] { Music eager("m", path, true); }, "Failed to load music.",
                                               "src/Music"))
            << name;
        Music lazy("m", path, false);
        EXPECT_TRUE(throwsWith<SoundException>([&] { lazy.play(); }, "Failed to load music.", "src/Music"))
            << name;
        EXPECT_FALSE(lazy.isLoaded());
        EXPECT_EQ(Mix_PlayingMusic(), 0);

        dir().writeFile(name, track);
        lazy.play();
        EXPECT_TRUE(lazy.isLoaded()) << name;
        EXPECT_EQ(Mix_PlayingMusic(), 1);
        lazy.stop();
        EXPECT_EQ(Mix_PlayingMusic(), 0);
    }
}
