#include "engine/sound/SoundContext.h"

#include "engine/base/Exception.h"
#include "engine/sound/Music.h"
#include "engine/sound/Sound.h"

#include <algorithm>

namespace Fernhouse::Sound
{

namespace
{

constexpr const char* SourceTag = "src/SoundContext";

} // namespace

SoundContext::SoundContext(const std::string& name) : m_name(name)
{
}

void SoundContext::addSound(Sound* sound)
{
    if (sound == nullptr)
    {
        FH_THROW(Base::ArgumentException, "Sound is null");
    }
    m_sounds.push_back(sound);
}

void SoundContext::setMusic(Music* music)
{
    m_music = music;
}

bool SoundContext::contains(const Sound* sound) const
{
    return std::find(m_sounds.begin(), m_sounds.end(), sound) != m_sounds.end();
}

void SoundContext::acquire()
{
    if (m_music != nullptr)
    {
        m_music->addRef();
    }
    for (Sound* sound : m_sounds)
    {
        sound->addRef();
    }
}

void SoundContext::release()
{
    if (m_music != nullptr)
    {
        m_music->release();
    }
    for (Sound* sound : m_sounds)
    {
        sound->release();
    }
}

} // namespace Fernhouse::Sound
