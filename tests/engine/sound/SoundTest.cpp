#include "engine/sound/Sound.h"

#include "engine/sound/Music.h"
#include "engine/sound/SoundContext.h"

#include "tests/engine/sound/SoundTestSupport.h"
#include "tests/support/Throws.h"

#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace Fernhouse::Sound;
using Fernhouse::Base::ArgumentException;
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

    // For each damaged file: an eager load and a lazy play throw, and once the file is whole a later
    // load succeeds, since a failed one left nothing behind.
    template <typename T>
    void expectDamagedFilesFailThenLoad(const std::string& whole, const std::vector<std::string>& names,
                                        const std::function<std::string(const std::string&)>& message,
                                        const std::string& tag)
    {
        for (const std::string& name : names)
        {
            const std::string path = m_dir.file(name);
            EXPECT_TRUE(throwsWith<SoundException>([&] { T eager("s", path, true); }, message(path), tag));
            T lazy("s", path, false);
            EXPECT_TRUE(throwsWith<SoundException>([&] { play(lazy); }, message(path), tag)) << name;
            EXPECT_FALSE(lazy.isLoaded());
            m_dir.writeFile(name, whole);
            play(lazy);
            EXPECT_TRUE(lazy.isLoaded()) << name;
            lazy.unload();
            EXPECT_FALSE(lazy.isLoaded());
        }
    }

    static void play(Sound& sound) { sound.play(0, Sound::FirstFreeChannel); }

    static void play(Music& music)
    {
        music.play();
        EXPECT_EQ(Mix_PlayingMusic(), 1);
    }
};

} // namespace

TEST_F(MixerOpen, DamagedSoundFileThrowsAndLoadsOnALaterTry)
{
    tone("whole.wav", 12000);
    const std::string wav = m_dir.readFile("whole.wav");
    m_dir.writeFile("truncated.wav", wav.substr(0, 20));
    m_dir.writeFile("junk.wav", std::string(512, 'j'));
    m_dir.writeFile("empty.wav", "");
    expectDamagedFilesFailThenLoad<Sound>(
        wav, {"missing.wav", "truncated.wav", "junk.wav", "empty.wav"},
        [](const std::string& path) { return "Failed to load sound: " + path; }, "src/Sound");
}

TEST_F(MixerOpen, DamagedMusicFileThrowsAndLoadsOnALaterTry)
{
    const std::string track = TestSupport::soundFixture("burst.ogg");
    ASSERT_GT(track.size(), 1000u);
    m_dir.writeFile("truncated.ogg", track.substr(0, 100));
    m_dir.writeFile("junk.ogg", std::string(4096, 'j'));
    expectDamagedFilesFailThenLoad<Music>(
        track, {"missing.ogg", "truncated.ogg", "junk.ogg"},
        [](const std::string&) { return std::string("Failed to load music."); }, "src/Music");
    EXPECT_EQ(Mix_PlayingMusic(), 0);
}

// Objects that were never loaded never reach the mixer.
TEST(SoundContext, AcquireAndReleaseCountEveryListingAndNullIsRejected)
{
    Sound click("click", "click.wav", false);
    Sound hover("hover", "hover.wav", false);
    Music song("song", "song.ogg", false);
    SoundContext context("menu");
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { context.addSound(nullptr); }, "Sound is null",
                                              "src/SoundContext"));
    EXPECT_TRUE(context.getSounds().empty());
    context.acquire();
    context.release();

    context.addSound(&click);
    context.addSound(&click);
    EXPECT_TRUE(context.contains(&click));
    EXPECT_FALSE(context.contains(&hover));
    context.setMusic(&song);
    context.acquire();
    context.acquire();
    EXPECT_EQ(click.getRefCount(), 4);
    EXPECT_EQ(song.getRefCount(), 2);
    EXPECT_EQ(hover.getRefCount(), 0);
    context.release();
    EXPECT_EQ(click.getRefCount(), 2);
    EXPECT_EQ(song.getRefCount(), 1);
    context.setMusic(nullptr);
    context.release();
    EXPECT_EQ(click.getRefCount(), 0);
    EXPECT_EQ(song.getRefCount(), 1);
}
