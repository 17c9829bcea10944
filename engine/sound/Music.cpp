#include "engine/sound/Music.h"

#include "engine/base/Exception.h"

#include <SDL/SDL_mixer.h>

namespace Fernhouse::Sound
{

namespace
{

constexpr const char* SourceTag = "src/Music";
constexpr int LoopForever = -1;
constexpr int MixerFailure = -1;

} // namespace

Music::Music(const std::string& name, const std::string& fileName, bool loadNow)
    : m_name(name),
      m_fileName(fileName)
{
    if (loadNow)
    {
        load();
    }
}

Music::~Music()
{
    unload();
}

void Music::load()
{
    if (m_loaded)
    {
        return;
    }
    Mix_Music* music = Mix_LoadMUS(m_fileName.c_str());
    if (music == nullptr)
    {
        FH_THROW(Base::SoundException, "Failed to load music.");
    }
    m_music = music;
    m_loaded = true;
}

void Music::play()
{
    load();
    if (Mix_PlayMusic(m_music, LoopForever) == MixerFailure)
    {
        FH_THROW(Base::SoundException, "Failed to play music.");
    }
}

void Music::stop()
{
    if (m_loaded)
    {
        Mix_HaltMusic();
    }
}

void Music::unload()
{
    if (m_music != nullptr)
    {
        // The mixer halts the track first when it is the one playing.
        Mix_FreeMusic(m_music);
    }
    m_music = nullptr;
    m_loaded = false;
}

void Music::addRef()
{
    ++m_refCount;
}

void Music::release()
{
    --m_refCount;
    if (m_refCount == 0)
    {
        unload();
    }
}

} // namespace Fernhouse::Sound
