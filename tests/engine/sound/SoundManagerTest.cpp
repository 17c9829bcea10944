#include "engine/sound/SoundManager.h"

#include "engine/base/Exception.h"
#include "engine/sound/Music.h"
#include "engine/sound/Sound.h"
#include "engine/sound/SoundContext.h"

#include "tests/engine/sound/SoundTestSupport.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <type_traits>

using namespace Fernhouse::Sound;
using Fernhouse::Base::ArgumentException;
using Fernhouse::Base::SoundException;
using TestSupport::Burst;
using TestSupport::throwsWith;

namespace
{

static_assert(!std::is_copy_constructible_v<SoundManager>);
static_assert(!std::is_copy_assignable_v<SoundManager>);

constexpr int ToneMs = 150;
constexpr int Loud = 12000;
// Quiet enough to tell bursts apart, loud enough to ignore the codec's ripple around them.
constexpr int Threshold = 1000;
constexpr std::size_t BurstGap = TestSupport::AudioFrequency / 20;
// Leaves the mixer time to write the last buffer before it is closed.
constexpr int TailMs = 100;
// The music fixture: a 150 ms tone, then silence until it loops after 3 s.
constexpr int PastTheToneMs = 350;

class SoundManagerTest : public TestSupport::DiskAudioTest
{
protected:
    SoundManager* open(int channels = TestSupport::AudioChannels)
    {
        return new SoundManager(TestSupport::AudioFrequency, AUDIO_S16LSB, channels,
                                TestSupport::AudioChunkSize);
    }

    std::string tone(const std::string& name, int amplitude, int milliseconds = ToneMs) const
    {
        dir().writeFile(name, TestSupport::makeWav(milliseconds, amplitude));
        return dir().file(name);
    }

    std::string track() const { return std::string(TARVO_TEST_DATA_DIR) + "/sound/burst.ogg"; }

    std::vector<Burst> bursts() const { return TestSupport::findBursts(readOutput(), Threshold, BurstGap); }

    // Plays one effect and waits, bounded, until it was mixed, with a gap after it.
    static void playAndWait(SoundManager& manager, const std::string& name)
    {
        manager.playSound(name);
        ASSERT_TRUE(TestSupport::waitForChannels());
        SDL_Delay(TailMs);
    }
};

} // namespace

TEST_F(SoundManagerTest, UnopenableDeviceThrowsAndTheSilentFallbackDoesNothing)
{
    setenv("SDL_DISKAUDIOFILE", "/nonexistent-dir/x.raw", 1);
    try
    {
        delete open();
        FAIL() << "the audio constructor did not throw";
    }
    catch (const SoundException& e)
    {
        EXPECT_EQ(e.getMessage(), std::string("Mix_OpenAudio: ") + SDL_GetError());
        EXPECT_GT(e.getMessage().size(), std::string("Mix_OpenAudio: ").size());
        EXPECT_EQ(e.getFile(), "src/SoundManager");
    }

    SoundManager silent;
    EXPECT_FALSE(silent.isEnabled());
    EXPECT_EQ(silent.getSoundVolume(), 100u);
    EXPECT_EQ(silent.getMusicVolume(), 50u);
    // Files that do not exist are never looked at.
    silent.addSound("menu", "click", "/nonexistent-dir/click.wav", true);
    silent.addMusic("menu", "song1", "/nonexistent-dir/song1.ogg", true);
    silent.pushContext("menu");
    silent.playSound("click");
    silent.playSound("never registered");
    silent.popContext();
    silent.popContext();
    EXPECT_EQ(silent.getCurrentMusic(), nullptr);
    EXPECT_TRUE(throwsWith<SoundException>([&] { silent.topContext(); }, "Context stack is empty.",
                                           "src/SoundManager"));
    silent.setSoundVolume(37);
    EXPECT_EQ(silent.getSoundVolume(), 37u);
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { silent.setMusicVolume(101); }, "Volume is out of range.",
                                              "src/SoundManager"));
    EXPECT_EQ(silent.getMusicVolume(), 50u);
    int frequency = 0;
    EXPECT_EQ(Mix_QuerySpec(&frequency, nullptr, nullptr), 0) << "a silent manager opened the mixer";
}

TEST_F(SoundManagerTest, PlayedSoundReachesTheOutputAtFullVolume)
{
    {
        SoundManager* manager = open();
        EXPECT_TRUE(manager->isEnabled());
        EXPECT_EQ(manager->getSoundVolume(), 100u);
        EXPECT_EQ(manager->getMusicVolume(), 50u);
        EXPECT_EQ(Mix_AllocateChannels(-1), TestSupport::AudioChannels);
        manager->addSound("menu", "click", tone("click.wav", Loud), true);
        manager->pushContext("menu");
        playAndWait(*manager, "click");
        delete manager;
    }
    const std::vector<std::int16_t> output = readOutput();
    // Both stereo channels carry the tone for its whole length.
    EXPECT_GT(TestSupport::countNonZero(output),
              static_cast<std::size_t>(TestSupport::AudioFrequency / 10 * 2));
    const std::vector<Burst> found = bursts();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_NEAR(found[0].peak, Loud, 2);
}

TEST_F(SoundManagerTest, VolumesMapToTheMixerScaleAndScaleTheOutput)
{
    {
        SoundManager* manager = open();
        manager->setSoundVolume(37);
        manager->setMusicVolume(37);
        EXPECT_EQ(Mix_Volume(-1, -1), 47);
        EXPECT_EQ(Mix_VolumeMusic(-1), 47);
        EXPECT_TRUE(throwsWith<ArgumentException>([&] { manager->setSoundVolume(101); },
                                                  "Volume is out of range.", "src/SoundManager"));
        EXPECT_TRUE(throwsWith<ArgumentException>([&] { manager->setMusicVolume(101); },
                                                  "Volume is out of range.", "src/SoundManager"));
        EXPECT_EQ(manager->getSoundVolume(), 37u);
        EXPECT_EQ(manager->getMusicVolume(), 37u);
        EXPECT_EQ(Mix_Volume(-1, -1), 47);

        manager->addSound("menu", "click", tone("click.wav", Loud), true);
        manager->pushContext("menu");
        manager->setSoundVolume(100);
        EXPECT_EQ(Mix_Volume(-1, -1), MIX_MAX_VOLUME);
        playAndWait(*manager, "click");
        manager->setSoundVolume(50);
        playAndWait(*manager, "click");
        manager->setSoundVolume(0);
        playAndWait(*manager, "click");
        delete manager;
    }
    // The muted play leaves no trace.
    const std::vector<Burst> found = bursts();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_NEAR(found[0].peak, Loud, 2);
    EXPECT_NEAR(found[1].peak, Loud / 2, 2);
}

TEST_F(SoundManagerTest, MusicOfTheTopContextReachesTheOutputAndPoppingBackRestartsIt)
{
    {
        SoundManager* manager = open();
        manager->addMusic("menu", "song1", track(), false);
        manager->addSound("game", "move", tone("move.wav", Loud), true);
        manager->setMusicVolume(100);
        manager->pushContext("menu");
        Music* song = manager->getCurrentMusic();
        ASSERT_NE(song, nullptr);
        EXPECT_EQ(song->getName(), "song1");
        EXPECT_TRUE(song->isLoaded());
        EXPECT_EQ(Mix_PlayingMusic(), 1);
        SDL_Delay(PastTheToneMs);

        // A context without music silences the track.
        manager->pushContext("game");
        EXPECT_EQ(manager->getCurrentMusic(), nullptr);
        EXPECT_EQ(Mix_PlayingMusic(), 0);
        manager->setMusicVolume(25);
        SDL_Delay(TailMs);

        manager->popContext();
        EXPECT_EQ(manager->getCurrentMusic(), song);
        EXPECT_EQ(Mix_PlayingMusic(), 1);
        SDL_Delay(PastTheToneMs);
        delete manager;
    }
    // The tone is only at the start of the track, so a second burst means it started over.
    const std::vector<Burst> found = bursts();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_GT(found[0].peak, 15000);
    EXPECT_NEAR(found[1].peak, found[0].peak / 4.0, found[0].peak * 0.03);
}

TEST_F(SoundManagerTest, SameMusicIsNotRestartedByAnotherContext)
{
    {
        SoundManager* manager = open();
        manager->addMusic("menu", "song1", track(), false);
        manager->addMusic("credits", "song1", "ignored.ogg", false);
        // Another track that happens to use the same file is a different track.
        manager->addMusic("campaign", "song1 again", track(), false);
        manager->pushContext("menu");
        Music* song = manager->getCurrentMusic();
        SDL_Delay(PastTheToneMs);

        manager->pushContext("credits");
        EXPECT_EQ(manager->getCurrentMusic(), song);
        EXPECT_EQ(song->getFileName(), track());
        EXPECT_EQ(song->getRefCount(), 2);
        SDL_Delay(PastTheToneMs);
        manager->popContext();
        EXPECT_EQ(manager->getCurrentMusic(), song);
        SDL_Delay(PastTheToneMs);

        manager->pushContext("campaign");
        EXPECT_NE(manager->getCurrentMusic(), song);
        SDL_Delay(PastTheToneMs);
        delete manager;
    }
    // One burst from the first push, one from the other track, none from pushing or popping "credits".
    const std::vector<Burst> found = bursts();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_GT(found[1].start - found[0].start,
              static_cast<std::size_t>(TestSupport::AudioFrequency) * 8 / 10);
}

TEST_F(SoundManagerTest, PushAndPopLoadAndUnloadByReferenceCounts)
{
    {
        SoundManager* manager = open();
        manager->addSound("menu", "click", tone("click.wav", Loud), true);
        manager->addSound("menu", "shared", tone("shared.wav", Loud), true);
        manager->addSound("game", "shared", "ignored.wav", true);
        manager->addSound("game", "eat", tone("eat.wav", 8000), true);
        manager->addSound("game", "eat", "ignored.wav", true);
        manager->pushContext("menu");
        const std::vector<Sound*> menu = manager->topContext()->getSounds();
        ASSERT_EQ(menu.size(), 2u);
        Sound* click = menu[0];
        Sound* shared = menu[1];
        manager->pushContext("game");
        SoundContext* game = manager->topContext();
        ASSERT_EQ(game->getSounds().size(), 3u);
        Sound* eat = game->getSounds()[1];
        EXPECT_EQ(game->getSounds()[2], eat);
        EXPECT_EQ(eat->getFileName(), dir().file("eat.wav"));
        EXPECT_EQ(click->getRefCount(), 1);
        EXPECT_EQ(shared->getRefCount(), 2);
        EXPECT_EQ(eat->getRefCount(), 2);

        EXPECT_TRUE(throwsWith<SoundException>([&] { manager->playSound("click"); },
                                               "The sound is invalid for this context.", "src/SoundManager"));
        EXPECT_TRUE(throwsWith<SoundException>([&] { manager->playSound("eatCake"); },
                                               "Sound eatCake not found.", "src/SoundManager"));
        playAndWait(*manager, "eat");

        manager->popContext();
        EXPECT_EQ(eat->getRefCount(), 0);
        EXPECT_FALSE(eat->isLoaded());
        EXPECT_EQ(shared->getRefCount(), 1);
        EXPECT_TRUE(shared->isLoaded());
        EXPECT_TRUE(click->isLoaded());

        // Freed means freed: the next play reads the file again, whatever it now holds.
        tone("eat.wav", 4000);
        manager->pushContext("game");
        EXPECT_FALSE(eat->isLoaded());
        playAndWait(*manager, "eat");
        EXPECT_TRUE(eat->isLoaded());

        manager->popContext();
        manager->popContext();
        for (const Sound* sound : {click, shared, eat})
        {
            EXPECT_EQ(sound->getRefCount(), 0) << sound->getName();
            EXPECT_FALSE(sound->isLoaded()) << sound->getName();
        }
        EXPECT_TRUE(throwsWith<SoundException>([&] { manager->popContext(); }, "Context stack is empty.",
                                               "src/SoundManager"));
        EXPECT_TRUE(throwsWith<SoundException>([&] { manager->playSound("click"); },
                                               "Context stack is empty.", "src/SoundManager"));
        delete manager;
    }
    const std::vector<Burst> found = bursts();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_NEAR(found[0].peak, 8000, 2);
    EXPECT_NEAR(found[1].peak, 4000, 2);
}

TEST_F(SoundManagerTest, RegistrationsIntoAPushedContextAreReleasedByItsPop)
{
    SoundManager* manager = open();
    const std::string boom = tone("boom.wav", Loud);
    manager->addMusic("credits", "song2", track(), false);
    manager->pushContext("credits");
    Music* song2 = manager->getCurrentMusic();

    // A script plays a file twice while its context is on top: each play registers it again.
    manager->addSound("credits", boom, boom, true);
    manager->addSound("credits", boom, boom, true);
    Sound* sound = manager->topContext()->getSounds().front();
    EXPECT_EQ(sound->getRefCount(), 2);
    manager->playSound(boom);

    // The new track waits for the next push or pop; the old one, used by no pushed context, is freed.
    manager->addMusic("credits", "song3", track(), false);
    Music* song3 = manager->topContext()->getMusic();
    EXPECT_EQ(song3->getRefCount(), 1);
    EXPECT_EQ(song2->getRefCount(), 0);
    EXPECT_FALSE(song2->isLoaded());
    EXPECT_EQ(Mix_PlayingMusic(), 0) << "the freed track went on playing";
    EXPECT_FALSE(song3->isLoaded());

    manager->popContext();
    EXPECT_EQ(sound->getRefCount(), 0);
    EXPECT_FALSE(sound->isLoaded());
    EXPECT_EQ(song3->getRefCount(), 0);
    EXPECT_EQ(manager->getCurrentMusic(), nullptr);

    // Pushing again brings the counts back to exactly the listings.
    manager->pushContext("credits");
    EXPECT_EQ(sound->getRefCount(), 2);
    EXPECT_EQ(manager->getCurrentMusic(), song3);
    EXPECT_EQ(Mix_PlayingMusic(), 1);

    // A track taken away is let go like a replaced one, and the next push plays nothing.
    manager->removeMusic("credits");
    EXPECT_EQ(song3->getRefCount(), 0);
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    manager->popContext();
    manager->pushContext("credits");
    EXPECT_EQ(manager->getCurrentMusic(), nullptr);
    EXPECT_EQ(song3->getRefCount(), 0);
    delete manager;
}

TEST_F(SoundManagerTest, FailedLoadRegistersNothingAndAFailedPushLeavesTheStackAlone)
{
    SoundManager* manager = open();
    const std::string missing = dir().file("missing.wav");
    EXPECT_TRUE(throwsWith<SoundException>([&] { manager->addSound("menu", "click", missing, true); },
                                           "Failed to load sound: " + missing, "src/Sound"));
    manager->pushContext("menu");
    EXPECT_TRUE(manager->topContext()->getSounds().empty());
    EXPECT_TRUE(throwsWith<SoundException>([&] { manager->playSound("click"); }, "Sound click not found.",
                                           "src/SoundManager"));

    manager->addMusic("credits", "song2", dir().file("missing.ogg"), false);
    EXPECT_TRUE(throwsWith<SoundException>([&] { manager->pushContext("credits"); }, "Failed to load music.",
                                           "src/Music"));
    EXPECT_EQ(manager->topContext()->getName(), "menu");
    manager->popContext();
    EXPECT_TRUE(throwsWith<SoundException>([&] { manager->topContext(); }, "Context stack is empty.",
                                           "src/SoundManager"));
    delete manager;
}

TEST_F(SoundManagerTest, PlayWithEveryChannelBusyThrowsButTheManagerDropsTheEffect)
{
    SoundManager* manager = open(1);
    manager->addSound("game", "move", tone("long.wav", Loud, 1000), true);
    manager->pushContext("game");
    manager->playSound("move");
    ASSERT_EQ(Mix_Playing(-1), 1);

    Sound* move = manager->topContext()->getSounds().front();
    EXPECT_TRUE(throwsWith<SoundException>([&] { move->play(0, Sound::FirstFreeChannel); },
                                           "Failed to play sound 'move': No free channels available",
                                           "src/Sound"));
    // The game plays effects without catching; a full mixer must not end it.
    EXPECT_NO_THROW(manager->playSound("move"));
    EXPECT_EQ(Mix_Playing(-1), 1);
    delete manager;
}
