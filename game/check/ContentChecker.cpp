#include "game/check/ContentChecker.h"

#include "engine/base/Exception.h"
#include "engine/script/ScriptEngine.h"
#include "engine/sound/Music.h"

#include "game/ai/AIFile.h"
#include "game/frontend/ScriptEnvironment.h"
#include "game/play/GameEngine.h"
#include "game/play/MapEntry.h"
#include "game/play/MapFile.h"
#include "game/play/WormSprite.h"
#include "game/progress/CampaignFile.h"

#include <algorithm>
#include <filesystem>

namespace Tarvo
{

namespace
{

namespace fs = std::filesystem;

constexpr std::int32_t UnknownLine = 0;
// Lines of a campaign file: the header, then one block per map.
constexpr std::int32_t LockLine = 2;
constexpr std::int32_t IntroLine = 5;
constexpr std::int32_t EndLine = 6;
constexpr std::int32_t BackgroundLine = 7;
constexpr std::int32_t MusicLine = 8;
constexpr std::int32_t FirstMapLine = 10;
// Within a map block: intro script, map, win script, rules, apple weights, computer player count, names.
constexpr std::int32_t MapPathOffset = 1;
constexpr std::int32_t WinScriptOffset = 2;
constexpr std::int32_t AICountOffset = 5;
constexpr std::int32_t FirstAIOffset = 6;
// A .map file: version, title, tileset, sizes, an empty line, then each layer's rows and an empty line.
constexpr std::int32_t FirstRowLine = 6;

bool hasExtension(const fs::path& path)
{
    const std::string extension = path.extension().string();
    return extension == ".map" || extension == ".cpj" || extension == ".ai" || extension == ".fhs";
}

} // namespace

ContentChecker::ContentChecker(Fernhouse::Sound::SoundManager* sound) : m_sound(sound)
{
}

std::int32_t ContentChecker::mapLine(const MapFile& map, unsigned layer, std::int32_t y)
{
    return FirstRowLine + static_cast<std::int32_t>(layer) * (map.getHeight() + 1) + y;
}

void ContentChecker::report(const std::string& file, std::int32_t line, const std::string& message)
{
    std::string text = file + ":";
    if (line != UnknownLine)
    {
        text += std::to_string(line) + ":";
    }
    text += " " + message;
    if (m_reported.insert(text).second)
    {
        m_problems.push_back(text);
    }
}

void ContentChecker::checkPath(const std::string& path)
{
    std::error_code error;
    if (fs::is_directory(path, error))
    {
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(path, error))
        {
            if (entry.is_regular_file() && hasExtension(entry.path()))
            {
                files.push_back(entry.path());
            }
        }
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files)
        {
            checkPath(file.generic_string());
        }
        return;
    }
    if (!fs::is_regular_file(path, error))
    {
        report(path, UnknownLine, "no such file or folder");
        return;
    }
    const std::string extension = fs::path(path).extension().string();
    if (extension == ".map")
    {
        checkMap(path);
    }
    else if (extension == ".cpj")
    {
        checkCampaign(path);
    }
    else if (extension == ".ai")
    {
        checkAI(path);
    }
    else if (extension == ".fhs")
    {
        checkScript(path);
    }
    else
    {
        report(path, UnknownLine,
               "not a map (.map), campaign (.cpj), computer player (.ai) or script (.fhs)");
    }
}

void ContentChecker::checkMap(const std::string& path)
{
    if (!m_checked.insert(path).second)
    {
        return;
    }
    MapFile map;
    try
    {
        map.load(path);
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        report(path, UnknownLine, e.getMessage());
        return;
    }
    if (!fs::is_regular_file(map.getGraphicsFileName()))
    {
        report(path, 3, "no tileset " + map.getGraphicsFileName());
    }
    reportMapProblems(path, map, MapCheck(map).check(), "");
}

void ContentChecker::reportMapProblems(const std::string& path, const MapFile& map,
                                       const std::vector<MapCheck::Problem>& problems,
                                       const std::string& suffix)
{
    for (const MapCheck::Problem& problem : problems)
    {
        const std::int32_t line =
            problem.cells.empty() ? UnknownLine : mapLine(map, problem.layer, problem.cells.front().y);
        report(path, line, problem.message + suffix);
    }
}

void ContentChecker::checkAI(const std::string& path)
{
    // The loader takes a name under its own folder.
    const fs::path name = fs::path(path).replace_extension().lexically_proximate(AIFile::Directory);
    try
    {
        AIFile file(name.generic_string());
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        report(path, UnknownLine, e.getMessage());
    }
}

void ContentChecker::checkScript(const std::string& path)
{
    if (!m_checked.insert(path).second)
    {
        return;
    }
    Fernhouse::Script::ScriptEngine engine;
    ScriptEnvironment environment(&engine, m_sound);
    try
    {
        engine.load(path);
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        // The script loader names the file and line itself.
        const std::string& message = e.getMessage();
        if (message.rfind(path + ":", 0) == 0)
        {
            if (m_reported.insert(message).second)
            {
                m_problems.push_back(message);
            }
        }
        else
        {
            report(path, UnknownLine, message);
        }
    }
}

void ContentChecker::checkCampaign(const std::string& path)
{
    CampaignFile campaign;
    try
    {
        campaign.load(path);
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        report(path, UnknownLine, e.getMessage());
        return;
    }
    const auto namedScript = [this, &path](const std::string& script, std::int32_t line) {
        if (script.empty())
        {
            return;
        }
        if (!fs::is_regular_file(script))
        {
            report(path, line, "no script " + script);
            return;
        }
        checkScript(script);
    };
    namedScript(campaign.getIntroScript(), IntroLine);
    namedScript(campaign.getEndScript(), EndLine);
    if (!campaign.getBackground().empty() && !fs::is_regular_file(campaign.getBackground()))
    {
        report(path, BackgroundLine, "no background picture " + campaign.getBackground());
    }
    if (campaign.getMusic().empty())
    {
        report(path, MusicLine, "no song");
    }
    else
    {
        try
        {
            Fernhouse::Sound::Music(campaign.getMusic(), campaign.getMusic(), true);
        }
        catch (const Fernhouse::Base::Exception& e)
        {
            report(path, MusicLine, e.getMessage());
        }
    }
    std::int32_t line = FirstMapLine;
    for (std::size_t i = 0; i < campaign.getMapCount(); ++i)
    {
        const MapEntry& entry = campaign.getMap(i);
        namedScript(entry.getIntroScript(), line);
        namedScript(entry.getWinScript(), line + WinScriptOffset);
        checkCampaignMap(path, campaign, i, line);
        line += FirstAIOffset + static_cast<std::int32_t>(entry.getAINames().size());
    }
    checkUnlock(path, campaign);
}

void ContentChecker::checkCampaignMap(const std::string& path, const CampaignFile& campaign,
                                      std::size_t index, std::int32_t line)
{
    const MapEntry& entry = campaign.getMap(index);
    MapFile map;
    try
    {
        map.load(entry.getMapPath());
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        report(path, line + MapPathOffset, entry.getMapPath() + ": " + e.getMessage());
        return;
    }
    checkMap(entry.getMapPath());

    // The round as the campaign fills it: the player on start point 1, the computer players after.
    std::vector<MapCheck::Worm> worms{{1, WormSprite::BaseSpeed, true}};
    for (std::size_t ai = 0; ai < entry.getAINames().size(); ++ai)
    {
        const std::string& name = entry.getAINames()[ai];
        const std::int32_t aiLine = line + FirstAIOffset + static_cast<std::int32_t>(ai);
        try
        {
            const AIFile file(name);
            worms.push_back(
                {static_cast<std::int32_t>(ai) + 2, WormSprite::computerSpeed(file.getSpeed()), false});
        }
        catch (const Fernhouse::Base::Exception& e)
        {
            report(path, aiLine, e.getMessage());
        }
    }
    MapCheck check(map);
    const auto starts = static_cast<std::int32_t>(check.startPoints().size());
    if (static_cast<std::int32_t>(entry.getAINames().size()) + 1 > starts)
    {
        report(path, line + AICountOffset,
               std::to_string(entry.getAINames().size()) +
                   " computer players and the player need more than the " + std::to_string(starts) +
                   " start points of " + entry.getMapPath());
    }
    std::vector<MapCheck::Problem> problems;
    for (MapCheck::Problem& problem : check.check(worms))
    {
        if (problem.rule == MapCheck::BlockedStart || problem.rule == MapCheck::WormsMeet ||
            problem.rule == MapCheck::ComputerTooClose)
        {
            problems.push_back(std::move(problem));
        }
    }
    reportMapProblems(entry.getMapPath(), map, problems,
                      " (as " + path + ":" + std::to_string(line + MapPathOffset) + " fills it)");
}

void ContentChecker::checkUnlock(const std::string& path, const CampaignFile& campaign)
{
    // The game lists the campaigns of one folder, so some campaign there must hand out the key.
    if (campaign.getLockKey().empty())
    {
        return;
    }
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(
             fs::path(path).parent_path().empty() ? fs::path(".") : fs::path(path).parent_path(), error))
    {
        if (entry.path().extension() != ".cpj")
        {
            continue;
        }
        CampaignFile other;
        try
        {
            other.load(entry.path().string());
        }
        catch (const Fernhouse::Base::Exception&)
        {
            continue;
        }
        if (other.getRewardKey() == campaign.getLockKey())
        {
            return;
        }
    }
    report(path, LockLine, "no campaign beside it unlocks '" + campaign.getLockKey() + "'");
}

} // namespace Tarvo
