#pragma once

#include <cstdint>
#include <string>

struct _Mix_Music;

namespace Fernhouse::Sound
{

// One music track, played looped. Loaded lazily and freed when the last pushed context that uses it lets
// go of it; the object itself lives as long as the SoundManager that created it.
class Music final
{
public:
    // Throws SoundException when loadNow is set and the file cannot be loaded.
    Music(const std::string& name, const std::string& fileName, bool loadNow);
    Music(const Music&) = delete;
    Music& operator=(const Music&) = delete;
    ~Music();

    // Does nothing when loaded. Throws SoundException when the file is missing or not a track; the track
    // then stays unloaded, so the next play tries again.
    void load();
    // Loads first when needed and starts the track from its beginning, looping for ever. Throws
    // SoundException.
    void play();
    void stop();
    void unload();

    void addRef();
    // Frees the track when the count reaches 0, which also silences it if it was playing.
    void release();

    const std::string& getName() const { return m_name; }

    const std::string& getFileName() const { return m_fileName; }

    bool isLoaded() const { return m_loaded; }

    std::int32_t getRefCount() const { return m_refCount; }

private:
    _Mix_Music* m_music = nullptr; // owned; null when not loaded
    std::string m_name;
    std::string m_fileName;
    bool m_loaded = false;
    std::int32_t m_refCount = 0; // pushed contexts whose music this is
};

} // namespace Fernhouse::Sound
