#pragma once

#include "game/play/GameType.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace Tarvo
{

class MapEntry;

// A campaign description: a text file of version 1 in "campaigns" with the extension ".cpj", giving the
// keys that list and reward the campaign, its name, opening and closing scripts, background and music, and
// its maps in playing order.
class CampaignFile
{
public:
    static constexpr std::int32_t Version = 1;
    // Campaign rounds must have a winning rule.
    static constexpr std::int32_t MinGameType = GAME_ENEMIES;
    static constexpr std::int32_t MaxGameType = GAME_SURVIVE;
    // The apple painter sums the six weights in 32 bits; this bound keeps any six of them from overflowing.
    static constexpr std::int32_t MaxAppleWeight = std::numeric_limits<std::int32_t>::max() / 6;

    // Empty strings and no maps.
    CampaignFile();
    // Owns its maps: a copy would delete them twice.
    CampaignFile(const CampaignFile&) = delete;
    CampaignFile& operator=(const CampaignFile&) = delete;
    virtual ~CampaignFile();

    // Replaces the description with the file's. Throws IOException when the file cannot be opened or a
    // number is missing, not a decimal number or out of its range, Exception for a version other than 1 or
    // a map whose game type is not 1 to 5. A failed load leaves the description as it was.
    void load(const std::string& path);

    // Empty: the campaign is always listed.
    const std::string& getLockKey() const { return m_lockKey; }

    const std::string& getRewardKey() const { return m_rewardKey; }

    const std::string& getName() const { return m_name; }

    // Script paths; empty when the scene is left out.
    const std::string& getIntroScript() const { return m_introScript; }

    const std::string& getEndScript() const { return m_endScript; }

    // Handed to every round; empty selects the default picture.
    const std::string& getBackground() const { return m_background; }

    // The music file, played while the campaign's rounds run.
    const std::string& getMusic() const { return m_music; }

    std::size_t getMapCount() const { return m_maps.size(); }

    // index below getMapCount.
    const MapEntry& getMap(std::size_t index) const;

private:
    void deleteMaps();

    std::string m_lockKey;
    std::string m_rewardKey;
    std::string m_name;
    std::string m_introScript;
    std::string m_endScript;
    std::string m_background;
    std::string m_music;
    std::vector<MapEntry*> m_maps; // owned, in playing order
};

} // namespace Tarvo
