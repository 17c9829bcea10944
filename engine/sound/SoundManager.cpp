#include "engine/sound/SoundManager.h"

#include "engine/base/Exception.h"
#include "engine/sound/Music.h"
#include "engine/sound/Sound.h"
#include "engine/sound/SoundContext.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include <algorithm>

namespace Fernhouse::Sound
{

namespace
{

constexpr const char* SourceTag = "src/SoundManager";
constexpr const char* ContextStackEmpty = "Context stack is empty.";
constexpr const char* VolumeOutOfRange = "Volume is out of range.";
constexpr int Stereo = 2;
constexpr int AllChannels = -1;
constexpr int NoChannel = -1;
constexpr int NoExtraLoops = 0;
constexpr int MixerFailure = -1;

static_assert(MIX_MAX_VOLUME == 128);

// The program counts volumes in percent; the mixer in 0..MIX_MAX_VOLUME.
int toMixerVolume(std::uint32_t percent)
{
    return static_cast<int>(percent * static_cast<std::uint32_t>(MIX_MAX_VOLUME) / SoundManager::MaxVolume);
}

} // namespace

SoundManager::SoundManager(int frequency, std::uint16_t format, int channels, int chunkSize)
{
    if (Mix_OpenAudio(frequency, format, Stereo, chunkSize) == MixerFailure)
    {
        FH_THROW(Base::SoundException, std::string("Mix_OpenAudio: ") + SDL_GetError());
    }
    Mix_AllocateChannels(channels);
    m_enabled = true;
    setSoundVolume(DefaultSoundVolume);
    setMusicVolume(DefaultMusicVolume);
}

SoundManager::SoundManager() = default;

SoundManager::~SoundManager()
{
    if (m_enabled && m_currentMusic != nullptr)
    {
        m_currentMusic->stop();
    }
    for (const auto& entry : m_contexts)
    {
        delete entry.second;
    }
    // Samples and tracks are freed while the mixer is still open; it must not be used after closing.
    for (const auto& entry : m_sounds)
    {
        delete entry.second;
    }
    for (const auto& entry : m_musics)
    {
        delete entry.second;
    }
    if (m_enabled)
    {
        Mix_CloseAudio();
    }
}

void SoundManager::addSound(const std::string& contextName, const std::string& soundName,
                            const std::string& fileName, bool loadNow)
{
    if (!m_enabled)
    {
        return;
    }
    Sound*& sound = m_sounds[soundName];
    if (sound == nullptr)
    {
        try
        {
            sound = new Sound(soundName, fileName, loadNow);
        }
        catch (...)
        {
            // A sound that failed to load is not registered.
            m_sounds.erase(soundName);
            throw;
        }
    }
    SoundContext* context = takeContext(contextName);
    context->addSound(sound);
    // A pushed context acquired its listings when it was pushed; a listing added since must count as if it
    // had been there, or the pop that releases it would drive the count below zero and the file would
    // never be freed.
    for (int i = countPushes(context); i > 0; --i)
    {
        sound->addRef();
    }
}

void SoundManager::addMusic(const std::string& contextName, const std::string& musicName,
                            const std::string& fileName, bool loadNow)
{
    if (!m_enabled)
    {
        return;
    }
    Music*& music = m_musics[musicName];
    if (music == nullptr)
    {
        try
        {
            music = new Music(musicName, fileName, loadNow);
        }
        catch (...)
        {
            m_musics.erase(musicName);
            throw;
        }
    }
    replaceMusic(takeContext(contextName), music);
}

void SoundManager::removeMusic(const std::string& contextName)
{
    if (!m_enabled)
    {
        return;
    }
    replaceMusic(takeContext(contextName), nullptr);
}

void SoundManager::replaceMusic(SoundContext* context, Music* music)
{
    Music* previous = context->getMusic();
    context->setMusic(music);
    // Keeps the counts balanced for a pushed context, as in addSound. The new track is counted before
    // the old one is let go, so re-registering the same track never frees it.
    for (int i = countPushes(context); i > 0; --i)
    {
        if (music != nullptr)
        {
            music->addRef();
        }
        if (previous != nullptr)
        {
            previous->release();
        }
    }
}

void SoundManager::pushContext(const std::string& contextName)
{
    if (!m_enabled)
    {
        return;
    }
    SoundContext* context = takeContext(contextName);
    switchMusic(context->getMusic());
    context->acquire();
    m_contextStack.push_back(context);
}

void SoundManager::popContext()
{
    if (!m_enabled)
    {
        return;
    }
    if (m_contextStack.empty())
    {
        FH_THROW(Base::SoundException, ContextStackEmpty);
    }
    m_contextStack.back()->release();
    m_contextStack.pop_back();
    switchMusic(m_contextStack.empty() ? nullptr : m_contextStack.back()->getMusic());
}

SoundContext* SoundManager::topContext() const
{
    if (m_contextStack.empty())
    {
        FH_THROW(Base::SoundException, ContextStackEmpty);
    }
    return m_contextStack.back();
}

void SoundManager::playSound(const std::string& soundName)
{
    if (!m_enabled)
    {
        return;
    }
    const SoundContext* context = topContext();
    const auto found = m_sounds.find(soundName);
    if (found == m_sounds.end())
    {
        FH_THROW(Base::SoundException, "Sound " + soundName + " not found.");
    }
    Sound* sound = found->second;
    if (!context->contains(sound))
    {
        FH_THROW(Base::SoundException, "The sound is invalid for this context.");
    }
    // A busy mixer drops the effect: a missing blip must not end the game.
    if (Mix_GroupAvailable(AllChannels) == NoChannel)
    {
        return;
    }
    sound->play(NoExtraLoops, Sound::FirstFreeChannel);
}

void SoundManager::setSoundVolume(std::uint32_t volume)
{
    if (volume > MaxVolume)
    {
        FH_THROW(Base::ArgumentException, VolumeOutOfRange);
    }
    m_soundVolume = volume;
    if (m_enabled)
    {
        Mix_Volume(AllChannels, toMixerVolume(volume));
    }
}

void SoundManager::setMusicVolume(std::uint32_t volume)
{
    if (volume > MaxVolume)
    {
        FH_THROW(Base::ArgumentException, VolumeOutOfRange);
    }
    m_musicVolume = volume;
    if (m_enabled)
    {
        Mix_VolumeMusic(toMixerVolume(volume));
    }
}

SoundContext* SoundManager::takeContext(const std::string& contextName)
{
    SoundContext*& context = m_contexts[contextName];
    if (context == nullptr)
    {
        context = new SoundContext(contextName);
    }
    return context;
}

int SoundManager::countPushes(const SoundContext* context) const
{
    return static_cast<int>(std::count(m_contextStack.begin(), m_contextStack.end(), context));
}

void SoundManager::switchMusic(Music* music)
{
    if (!m_enabled)
    {
        return;
    }
    // The same track goes on without a restart, unless its file was freed meanwhile (which silenced it).
    if (music == m_currentMusic && (music == nullptr || music->isLoaded()))
    {
        return;
    }
    if (m_currentMusic != nullptr)
    {
        m_currentMusic->stop();
    }
    // Cleared first so that a track that fails to start is not taken for the one playing.
    m_currentMusic = nullptr;
    if (music != nullptr)
    {
        music->play();
    }
    m_currentMusic = music;
}

} // namespace Fernhouse::Sound
