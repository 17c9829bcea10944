#pragma once

#include <cstdint>
#include <string>

struct Mix_Chunk;

namespace Fernhouse::Sound
{

// One sound effect. The sample is loaded lazily and freed when the last pushed context that lists the
// sound lets go of it; the object itself lives as long as the SoundManager that created it.
class Sound final
{
public:
    // Throws SoundException when loadNow is set and the file cannot be loaded.
    Sound(const std::string& name, const std::string& fileName, bool loadNow);
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;
    ~Sound();

    // Does nothing when loaded. Throws SoundException when the file is missing or not a sound; the sound
    // then stays unloaded, so the next play tries again.
    void load();
    // Loads first when needed. loops: extra repetitions; channel: mixer channel, -1 for the first free one.
    // Throws SoundException when loading or the mixer fails.
    void play(int loops, int channel);
    void unload();

    void addRef();
    // Frees the sample when the count reaches 0.
    void release();

    const std::string& getName() const { return m_name; }

    const std::string& getFileName() const { return m_fileName; }

    bool isLoaded() const { return m_loaded; }

    std::int32_t getRefCount() const { return m_refCount; }

    static constexpr int FirstFreeChannel = -1;

private:
    Mix_Chunk* m_chunk = nullptr; // owned; null when not loaded
    std::string m_name;
    std::string m_fileName;
    bool m_loaded = false;
    std::int32_t m_refCount = 0; // pushed contexts that list the sound, once per listing
};

} // namespace Fernhouse::Sound
