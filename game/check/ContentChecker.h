#pragma once

#include "game/play/MapCheck.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace Fernhouse::Sound
{
class SoundManager;
} // namespace Fernhouse::Sound

namespace Tarvo
{

class CampaignFile;
class MapFile;

// Loads the game's files through the game's own loaders, as the game would, and collects every problem as
// a line "file:line: message" (just "file: message" where the line is not known). Paths are relative to
// the working directory, which must be the game's, since campaigns and AI files name files from there.
class ContentChecker final
{
public:
    // Not owned; a manager on an open mixer, so that songs can be loaded.
    explicit ContentChecker(Fernhouse::Sound::SoundManager* sound);

    // A .map, .cpj, .ai or .fhs file, or a folder whose files of those kinds are checked, sub-folders too.
    void checkPath(const std::string& path);

    const std::vector<std::string>& getProblems() const { return m_problems; }

    // The line of the .map file, as the game writes it, that holds the cell of the layer.
    static std::int32_t mapLine(const MapFile& map, unsigned layer, std::int32_t y);

private:
    void checkMap(const std::string& path);
    void checkCampaign(const std::string& path);
    void checkAI(const std::string& path);
    // The script's own loading problems, reported once however many campaigns name it.
    void checkScript(const std::string& path);
    void checkCampaignMap(const std::string& path, const CampaignFile& campaign, std::size_t index,
                          std::int32_t line);
    void checkUnlock(const std::string& path, const CampaignFile& campaign);
    void reportMapProblems(const std::string& path, const MapFile& map,
                           const std::vector<MapCheck::Problem>& problems, const std::string& suffix);
    void report(const std::string& file, std::int32_t line, const std::string& message);

    Fernhouse::Sound::SoundManager* m_sound; // not owned
    std::vector<std::string> m_problems;
    // Each file's own problems are reported once, however often it is named.
    std::set<std::string> m_checked;
    std::set<std::string> m_reported;
};

} // namespace Tarvo
