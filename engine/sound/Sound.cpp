#include "engine/sound/Sound.h"

#include "engine/base/Exception.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

namespace Fernhouse::Sound
{

namespace
{

constexpr const char* SourceTag = "src/Sound";
constexpr int FreeSource = 1;
constexpr int NoTimeLimit = -1;
constexpr int MixerFailure = -1;

} // namespace

Sound::Sound(const std::string& name, const std::string& fileName, bool loadNow)
    : m_name(name),
      m_fileName(fileName)
{
    if (loadNow)
    {
        load();
    }
}

Sound::~Sound()
{
    unload();
}

void Sound::load()
{
    if (m_loaded)
    {
        return;
    }
    // A missing file gives no stream; the mixer is not asked to cope with a null source.
    SDL_RWops* source = SDL_RWFromFile(m_fileName.c_str(), "rb");
    Mix_Chunk* chunk = source != nullptr ? Mix_LoadWAV_RW(source, FreeSource) : nullptr;
    if (chunk == nullptr)
    {
        FH_THROW(Base::SoundException, "Failed to load sound: " + m_fileName);
    }
    m_chunk = chunk;
    m_loaded = true;
}

void Sound::play(int loops, int channel)
{
    load();
    if (Mix_PlayChannelTimed(channel, m_chunk, loops, NoTimeLimit) == MixerFailure)
    {
        FH_THROW(Base::SoundException, "Failed to play sound '" + m_name + "': " + SDL_GetError());
    }
}

void Sound::unload()
{
    if (m_chunk != nullptr)
    {
        // The mixer stops every channel still playing the sample before freeing it.
        Mix_FreeChunk(m_chunk);
    }
    m_chunk = nullptr;
    m_loaded = false;
}

void Sound::addRef()
{
    ++m_refCount;
}

void Sound::release()
{
    --m_refCount;
    if (m_refCount == 0)
    {
        unload();
    }
}

} // namespace Fernhouse::Sound
