#pragma once

#include <string>
#include <vector>

namespace Fernhouse::Sound
{

class Music;
class Sound;

// A named group of sounds and at most one music track: what may be played, and what runs, while the
// context is on top of the SoundManager's stack. Lists sounds and music owned by the SoundManager.
class SoundContext final
{
public:
    explicit SoundContext(const std::string& name);
    SoundContext(const SoundContext&) = delete;
    SoundContext& operator=(const SoundContext&) = delete;

    // Appends even when already listed; each listing counts once in acquire and release. Throws
    // ArgumentException for null.
    void addSound(Sound* sound);
    // Null for no music; replaces any earlier track.
    void setMusic(Music* music);
    bool contains(const Sound* sound) const;

    // Raises the counts of the music and of every listed sound.
    void acquire();
    // Lowers them again; what reaches 0 is unloaded.
    void release();

    const std::string& getName() const { return m_name; }

    // Null when the context has no music.
    Music* getMusic() const { return m_music; }

    const std::vector<Sound*>& getSounds() const { return m_sounds; }

private:
    std::string m_name;
    Music* m_music = nullptr;     // owned by the SoundManager
    std::vector<Sound*> m_sounds; // owned by the SoundManager; registration order
};

} // namespace Fernhouse::Sound
