#pragma once

#include "engine/io/KeySet.h"

#include <cstdint>
#include <set>
#include <string>

namespace Tarvo
{

// The player's settings: volumes, full screen, both players' keys and steering, and the campaign keys
// unlocked so far. Kept in a little-endian binary file of version 1.
class Configuration
{
public:
    static constexpr std::int32_t Version = 1;
    // Percent.
    static constexpr std::uint32_t MaxVolume = 100;
    static constexpr std::uint32_t DefaultVolume = 50;
    // Bytes of one key record on disk: the buffered flag, three bytes of padding, six 32-bit key codes.
    static constexpr int KeySetBytes = 28;

    Configuration();
    virtual ~Configuration() = default;

    // Every field but the unlocked campaigns back to its default.
    void setDefaults();

    std::uint32_t getMusicVolume() const { return m_musicVolume; }

    // Values above 100 are stored as 100.
    void setMusicVolume(std::uint32_t musicVolume);

    std::uint32_t getSoundVolume() const { return m_soundVolume; }

    void setSoundVolume(std::uint32_t soundVolume);

    bool isFullscreen() const { return m_fullscreen; }

    void setFullscreen(bool fullscreen) { m_fullscreen = fullscreen; }

    const Fernhouse::IO::KeySet& getPlayer1Keys() const { return m_player1Keys; }

    void setPlayer1Keys(const Fernhouse::IO::KeySet& keys) { m_player1Keys = keys; }

    const Fernhouse::IO::KeySet& getPlayer2Keys() const { return m_player2Keys; }

    void setPlayer2Keys(const Fernhouse::IO::KeySet& keys) { m_player2Keys = keys; }

    // Non-zero: the player steers relative to the worm.
    std::uint32_t getPlayer1Relative() const { return m_player1Relative; }

    void setPlayer1Relative(std::uint32_t relative) { m_player1Relative = relative; }

    std::uint32_t getPlayer2Relative() const { return m_player2Relative; }

    void setPlayer2Relative(std::uint32_t relative) { m_player2Relative = relative; }

    // An empty key unlocks nothing.
    void unlockCampaign(const std::string& key);
    // True for the empty key, which locks nothing; otherwise an exact, case-sensitive match.
    bool isCampaignUnlocked(const std::string& key) const;

    // Sorted by byte value.
    const std::set<std::string>& getUnlockedCampaigns() const { return m_unlockedCampaigns; }

    // Merges the file into the settings, each field as soon as it is read; keys are added to the unlocked
    // set, never removed. Throws what BinaryReader throws (a missing or short file) and
    // ConfigurationException for a version other than 1.
    void load(const std::string& path);
    // Replaces the file only once the whole new one is written; a failure leaves the old file as it was.
    // A file in the way that does not load is kept as path + ".damaged". Throws IOException.
    void save(const std::string& path) const;

private:
    std::uint32_t m_musicVolume;
    std::uint32_t m_soundVolume;
    bool m_fullscreen;
    Fernhouse::IO::KeySet m_player1Keys;
    Fernhouse::IO::KeySet m_player2Keys;
    std::uint32_t m_player1Relative;
    std::uint32_t m_player2Relative;
    std::set<std::string> m_unlockedCampaigns;
};

} // namespace Tarvo
