#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Fernhouse::Sound
{

class Music;
class Sound;
class SoundContext;

// The sound service: sounds and music registered under names, grouped into named contexts that form a
// stack. The top context decides which sounds may play and which music runs; files are loaded lazily
// and freed when no pushed context uses them any more. A silent manager (no audio device) accepts every
// call that would reach the mixer and does nothing. Main thread only.
class SoundManager final
{
public:
    // Opens the mixer for stereo output. SDL's audio subsystem must already be initialised by the
    // caller and stay so until the manager is deleted: the application initialises it apart from the
    // video, so that a broken audio driver costs the sound and never the window. frequency in Hz, format
    // an SDL sample format, channels the number of effects that can sound at once, chunkSize in sample
    // frames. Throws SoundException when the device cannot be opened.
    SoundManager(int frequency, std::uint16_t format, int channels, int chunkSize);
    // The silent manager: never touches the mixer.
    SoundManager();
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;
    // Frees every file and closes the mixer.
    ~SoundManager();

    // A name already registered keeps its first file. The context is created when new. Throws
    // SoundException when loadNow is set and the file cannot be loaded; nothing is registered then.
    void addSound(const std::string& contextName, const std::string& soundName, const std::string& fileName,
                  bool loadNow);
    // Becomes the context's one track, replacing any earlier one; it starts only at the next push or pop.
    // A replaced track that no pushed context uses any more is freed at once, which silences it.
    void addMusic(const std::string& contextName, const std::string& musicName, const std::string& fileName,
                  bool loadNow);

    // The context has no track any more; the track stays registered, and is freed at once when no pushed
    // context uses it.
    void removeMusic(const std::string& contextName);

    // Makes the context current (creating it when new) and starts its music unless that track is already
    // playing. Throws SoundException when the music cannot be loaded or played.
    void pushContext(const std::string& contextName);
    // Throws SoundException when the stack is empty (not on a silent manager).
    void popContext();
    // Throws SoundException when the stack is empty, on a silent manager too.
    SoundContext* topContext() const;

    // Throws SoundException when the stack is empty, the name is not registered, the top context does not
    // list the sound, or the file cannot be loaded or played. With every channel busy the effect is
    // dropped.
    void playSound(const std::string& soundName);

    // Percent, 0 to 100; above throws ArgumentException and keeps the old value.
    void setSoundVolume(std::uint32_t volume);
    void setMusicVolume(std::uint32_t volume);

    std::uint32_t getSoundVolume() const { return m_soundVolume; }

    std::uint32_t getMusicVolume() const { return m_musicVolume; }

    // Null when no music runs.
    Music* getCurrentMusic() const { return m_currentMusic; }

    // False for a silent manager.
    bool isEnabled() const { return m_enabled; }

    static constexpr std::uint32_t MaxVolume = 100;
    static constexpr std::uint32_t DefaultSoundVolume = 100;
    static constexpr std::uint32_t DefaultMusicVolume = 50;

private:
    SoundContext* takeContext(const std::string& contextName);
    // How often the context is on the stack, and so how often it acquired its listings.
    int countPushes(const SoundContext* context) const;
    void switchMusic(Music* music);
    // Null for none.
    void replaceMusic(SoundContext* context, Music* music);

    std::uint32_t m_soundVolume = DefaultSoundVolume;
    std::uint32_t m_musicVolume = DefaultMusicVolume;
    std::map<std::string, Sound*> m_sounds;          // owned
    std::map<std::string, Music*> m_musics;          // owned
    Music* m_currentMusic = nullptr;                 // one of m_musics
    std::vector<SoundContext*> m_contextStack;       // top at the back; entries of m_contexts
    std::map<std::string, SoundContext*> m_contexts; // owned
    bool m_enabled = false;
};

} // namespace Fernhouse::Sound
