#include "engine/sound/SoundManager.h"

#include "engine/sound/Music.h"
#include "engine/sound/Sound.h"
#include "engine/sound/SoundContext.h"

#include "tests/engine/sound/SoundTestSupport.h"
#include "tests/support/Throws.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

using namespace Fernhouse::Sound;
using Fernhouse::Base::ArgumentException;
using Fernhouse::Base::SoundException;
using TestSupport::throwsWith;

namespace
{

constexpr int Loud = 12000;
// Leaves the mixer time to write the last buffer before it is closed.
constexpr int TailMs = 100;
// The music fixture: a 150 ms tone, then silence until it loops after 3 s.
constexpr int PastTheToneMs = 350;
const std::string Tag = "src/SoundManager";
const std::string EmptyStack = "Context stack is empty.";

class SoundManagerTest : public TestSupport::DiskAudioTest
{
protected:
    void open(int channels = TestSupport::AudioChannels)
    {
        m_manager = std::make_unique<SoundManager>(TestSupport::AudioFrequency, AUDIO_S16LSB, channels,
                                                   TestSupport::AudioChunkSize);
    }

    void TearDown() override
    {
        m_manager.reset();
        DiskAudioTest::TearDown();
    }

    // Closes the mixer, so that the output file is complete.
    std::vector<TestSupport::Burst> closeAndListBursts()
    {
        m_manager.reset();
        return bursts();
    }

    std::string track() const { return std::string(TARVO_TEST_DATA_DIR) + "/sound/burst.ogg"; }

    // Plays one effect and waits, bounded, until it was mixed, with a gap after it.
    void playAndWait(const std::string& name)
    {
        m_manager->playSound(name);
        ASSERT_TRUE(TestSupport::waitForChannels());
        SDL_Delay(TailMs);
    }

    std::unique_ptr<SoundManager> m_manager;
};

} // namespace

TEST_F(SoundManagerTest, UnopenableDeviceThrowsAndTheSilentFallbackDoesNothing)
{
    setenv("SDL_DISKAUDIOFILE", "/nonexistent-dir/x.raw", 1);
    try
    {
        open();
        FAIL() << "the audio constructor did not throw";
    }
    catch (const SoundException& e)
    {
        EXPECT_EQ(e.getMessage(), std::string("Mix_OpenAudio: ") + SDL_GetError());
        EXPECT_GT(e.getMessage().size(), std::string("Mix_OpenAudio: ").size());
        EXPECT_EQ(e.getFile(), Tag);
    }

    SoundManager silent;
    EXPECT_FALSE(silent.isEnabled());
    // Files that do not exist are never looked at.
    silent.addSound("menu", "click", "/nonexistent-dir/click.wav", true);
    silent.addMusic("menu", "song1", "/nonexistent-dir/song1.ogg", true);
    silent.pushContext("menu");
    silent.playSound("click");
    silent.playSound("never registered");
    silent.popContext();
    silent.popContext();
    EXPECT_EQ(silent.getCurrentMusic(), nullptr);
    EXPECT_TRUE(throwsWith<SoundException>([&] { silent.topContext(); }, EmptyStack, Tag));
    silent.setSoundVolume(37);
    EXPECT_EQ(silent.getSoundVolume(), 37u);
    EXPECT_TRUE(
        throwsWith<ArgumentException>([&] { silent.setMusicVolume(101); }, "Volume is out of range.", Tag));
    EXPECT_EQ(silent.getMusicVolume(), 50u);
    EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0) << "a silent manager opened the mixer";
}

TEST_F(SoundManagerTest, VolumesMapToTheMixerScaleAndScaleTheOutput)
{
    open();
    EXPECT_EQ(Mix_AllocateChannels(-1), TestSupport::AudioChannels);
    EXPECT_EQ(Mix_Volume(-1, -1), MIX_MAX_VOLUME);
    EXPECT_EQ(Mix_VolumeMusic(-1), MIX_MAX_VOLUME / 2);
    m_manager->setSoundVolume(37);
    m_manager->setMusicVolume(37);
    EXPECT_EQ(Mix_Volume(-1, -1), 47);
    EXPECT_EQ(Mix_VolumeMusic(-1), 47);
    for (const auto& set : {&SoundManager::setSoundVolume, &SoundManager::setMusicVolume})
    {
        EXPECT_TRUE(throwsWith<ArgumentException>([&] { (m_manager.get()->*set)(101); },
                                                  "Volume is out of range.", Tag));
    }
    EXPECT_EQ(m_manager->getSoundVolume(), 37u);
    EXPECT_EQ(m_manager->getMusicVolume(), 37u);

    m_manager->addSound("menu", "click", tone("click.wav", Loud), true);
    m_manager->pushContext("menu");
    for (const std::uint32_t volume : {100u, 50u, 0u})
    {
        m_manager->setSoundVolume(volume);
        playAndWait("click");
    }
    // The muted play leaves no trace.
    const auto found = closeAndListBursts();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_NEAR(found[0].peak, Loud, 2);
    EXPECT_NEAR(found[1].peak, Loud / 2, 2);
}

TEST_F(SoundManagerTest, MusicStartsOverOnlyWhenTheTopContextsTrackChanges)
{
    open();
    m_manager->addMusic("menu", "song1", track(), false);
    m_manager->addMusic("credits", "song1", "ignored.ogg", false);
    m_manager->addSound("game", "move", tone("move.wav", Loud), true);
    // Another track that happens to use the same file is a different track.
    m_manager->addMusic("campaign", "song1 again", track(), false);
    m_manager->setMusicVolume(100);
    const auto push = [this](const std::string& context) {
        m_manager->pushContext(context);
        SDL_Delay(PastTheToneMs);
    };
    const auto pop = [this] {
        m_manager->popContext();
        SDL_Delay(PastTheToneMs);
    };
    push("menu");
    Music* song = m_manager->getCurrentMusic();
    ASSERT_NE(song, nullptr);
    EXPECT_EQ(song->getName(), "song1");
    push("credits");
    EXPECT_EQ(m_manager->getCurrentMusic(), song);
    EXPECT_EQ(song->getRefCount(), 2);
    pop();
    // A context without music silences the track; popping back to the menu starts it over.
    push("game");
    EXPECT_EQ(m_manager->getCurrentMusic(), nullptr);
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    m_manager->setMusicVolume(25);
    pop();
    EXPECT_EQ(m_manager->getCurrentMusic(), song);
    m_manager->setMusicVolume(100);
    push("campaign");
    EXPECT_NE(m_manager->getCurrentMusic(), song);
    // The tone is only at the start of the track, so each burst is one start: the menu, the menu again at
    // a quarter of the volume, the other track; none from pushing or popping "credits".
    const auto found = closeAndListBursts();
    ASSERT_EQ(found.size(), 3u);
    EXPECT_GT(found[0].peak, 15000);
    EXPECT_NEAR(found[1].peak, found[0].peak / 4.0, found[0].peak * 0.03);
    EXPECT_NEAR(found[2].peak, found[0].peak, found[0].peak * 0.03);
}

TEST_F(SoundManagerTest, PushAndPopLoadAndUnloadByReferenceCounts)
{
    open();
    m_manager->addSound("menu", "click", tone("click.wav", Loud), true);
    m_manager->addSound("menu", "shared", tone("shared.wav", Loud), true);
    m_manager->addSound("game", "shared", "ignored.wav", true);
    m_manager->addSound("game", "eat", tone("eat.wav", 8000), true);
    m_manager->addSound("game", "eat", "ignored.wav", true);
    m_manager->pushContext("menu");
    const std::vector<Sound*> menu = m_manager->topContext()->getSounds();
    ASSERT_EQ(menu.size(), 2u);
    m_manager->pushContext("game");
    const std::vector<Sound*> game = m_manager->topContext()->getSounds();
    ASSERT_EQ(game.size(), 3u);
    Sound* click = menu[0];
    Sound* shared = menu[1];
    Sound* eat = game[1];
    EXPECT_EQ(game[2], eat);
    EXPECT_EQ(eat->getFileName(), m_dir.file("eat.wav"));
    EXPECT_EQ(click->getRefCount(), 1);
    EXPECT_EQ(shared->getRefCount(), 2);
    EXPECT_EQ(eat->getRefCount(), 2);
    EXPECT_TRUE(throwsWith<SoundException>([&] { m_manager->playSound("click"); },
                                           "The sound is invalid for this context.", Tag));
    EXPECT_TRUE(throwsWith<SoundException>([&] { m_manager->playSound("eatCake"); },
                                           "Sound eatCake not found.", Tag));
    playAndWait("eat");

    m_manager->popContext();
    EXPECT_FALSE(eat->isLoaded());
    EXPECT_TRUE(shared->isLoaded());
    EXPECT_TRUE(click->isLoaded());
    // Freed means freed: the next play reads the file again, whatever it now holds.
    tone("eat.wav", 4000);
    m_manager->pushContext("game");
    EXPECT_FALSE(eat->isLoaded());
    playAndWait("eat");
    EXPECT_TRUE(eat->isLoaded());

    m_manager->popContext();
    m_manager->popContext();
    for (const Sound* sound : {click, shared, eat})
    {
        EXPECT_EQ(sound->getRefCount(), 0) << sound->getName();
        EXPECT_FALSE(sound->isLoaded()) << sound->getName();
    }
    EXPECT_TRUE(throwsWith<SoundException>([&] { m_manager->popContext(); }, EmptyStack, Tag));
    EXPECT_TRUE(throwsWith<SoundException>([&] { m_manager->playSound("click"); }, EmptyStack, Tag));
    const auto found = closeAndListBursts();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_NEAR(found[0].peak, 8000, 2);
    EXPECT_NEAR(found[1].peak, 4000, 2);
}

TEST_F(SoundManagerTest, RegistrationsIntoAPushedContextAreReleasedByItsPop)
{
    open();
    const std::string boom = tone("boom.wav", Loud);
    m_manager->addMusic("credits", "song2", track(), false);
    m_manager->pushContext("credits");
    Music* song2 = m_manager->getCurrentMusic();

    // A script plays a file twice while its context is on top: each play registers it again.
    m_manager->addSound("credits", boom, boom, true);
    m_manager->addSound("credits", boom, boom, true);
    Sound* sound = m_manager->topContext()->getSounds().front();
    EXPECT_EQ(sound->getRefCount(), 2);
    m_manager->playSound(boom);

    // The new track waits for the next push or pop; the old one, used by no pushed context, is freed.
    m_manager->addMusic("credits", "song3", track(), false);
    Music* song3 = m_manager->topContext()->getMusic();
    EXPECT_EQ(song3->getRefCount(), 1);
    EXPECT_EQ(song2->getRefCount(), 0);
    EXPECT_FALSE(song2->isLoaded());
    EXPECT_EQ(Mix_PlayingMusic(), 0) << "the freed track went on playing";
    EXPECT_FALSE(song3->isLoaded());

    m_manager->popContext();
    EXPECT_EQ(sound->getRefCount(), 0);
    EXPECT_FALSE(sound->isLoaded());
    EXPECT_EQ(song3->getRefCount(), 0);
    EXPECT_EQ(m_manager->getCurrentMusic(), nullptr);
    // Pushing again brings the counts back to exactly the listings.
    m_manager->pushContext("credits");
    EXPECT_EQ(sound->getRefCount(), 2);
    EXPECT_EQ(m_manager->getCurrentMusic(), song3);
    EXPECT_EQ(Mix_PlayingMusic(), 1);

    // A track taken away is let go like a replaced one, and the next push plays nothing.
    m_manager->removeMusic("credits");
    EXPECT_EQ(song3->getRefCount(), 0);
    EXPECT_EQ(Mix_PlayingMusic(), 0);
    m_manager->popContext();
    m_manager->pushContext("credits");
    EXPECT_EQ(m_manager->getCurrentMusic(), nullptr);
    EXPECT_EQ(song3->getRefCount(), 0);
}

TEST_F(SoundManagerTest, FailedLoadRegistersNothingAndAFailedPushLeavesTheStackAlone)
{
    open();
    const std::string missing = m_dir.file("missing.wav");
    EXPECT_TRUE(throwsWith<SoundException>([&] { m_manager->addSound("menu", "click", missing, true); },
                                           "Failed to load sound: " + missing, "src/Sound"));
    m_manager->pushContext("menu");
    EXPECT_TRUE(
        throwsWith<SoundException>([&] { m_manager->playSound("click"); }, "Sound click not found.", Tag));
    m_manager->addMusic("credits", "song2", m_dir.file("missing.ogg"), false);
    EXPECT_TRUE(throwsWith<SoundException>([&] { m_manager->pushContext("credits"); },
                                           "Failed to load music.", "src/Music"));
    EXPECT_EQ(m_manager->topContext()->getName(), "menu");
    m_manager->popContext();
    EXPECT_TRUE(throwsWith<SoundException>([&] { m_manager->topContext(); }, EmptyStack, Tag));
}

TEST_F(SoundManagerTest, PlayWithEveryChannelBusyThrowsButTheManagerDropsTheEffect)
{
    open(1);
    m_manager->addSound("game", "move", tone("long.wav", Loud, 1000), true);
    m_manager->pushContext("game");
    m_manager->playSound("move");
    ASSERT_EQ(Mix_Playing(-1), 1);
    Sound* move = m_manager->topContext()->getSounds().front();
    EXPECT_TRUE(throwsWith<SoundException>([&] { move->play(0, Sound::FirstFreeChannel); },
                                           "Failed to play sound 'move': No free channels available",
                                           "src/Sound"));
    // The game plays effects without catching; a full mixer must not end it.
    EXPECT_NO_THROW(m_manager->playSound("move"));
    EXPECT_EQ(Mix_Playing(-1), 1);
}
