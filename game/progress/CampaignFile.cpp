#include "game/progress/CampaignFile.h"

#include "engine/base/Exception.h"

#include "game/play/MapEntry.h"
#include "game/progress/TextReader.h"

#include <array>
#include <cassert>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <utility>

namespace Tarvo
{

namespace
{

constexpr const char* SourceTag = "CampaignFile";
constexpr const char* VersionFailed = "Failed to read campaign-version.";
constexpr const char* HeaderFailed = "Failed to read campaign header.";
constexpr const char* MapFailed = "error reading from file.";
constexpr int DecimalBase = 10;

using Fernhouse::Base::Exception;
using Fernhouse::Base::IOException;

bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}

// The format's lines, and formatted integers. Every read reports failure instead of leaving a value
// undefined, and nothing is ever sized from a number in the file.
class CampaignReader final : public TextReader
{
public:
    using TextReader::TextReader;

    // Like a formatted read: white space, line ends included, is skipped, then an optional sign and at
    // least one digit; the number ends at the first other character. False when there is no number or it
    // lies outside [min, max].
    bool readInt(std::int64_t& value, std::int64_t min, std::int64_t max)
    {
        int c = skipSpace();
        const bool negative = c == '-';
        if (c == '-' || c == '+')
        {
            c = buffer()->snextc();
        }
        if (!isDigit(c))
        {
            return false;
        }
        std::int64_t magnitude = 0;
        const std::int64_t limit = negative ? -min : max;
        while (isDigit(c))
        {
            magnitude = magnitude * DecimalBase + (c - '0');
            if (magnitude > limit)
            {
                return false;
            }
            c = buffer()->snextc();
        }
        value = negative ? -magnitude : magnitude;
        return value >= min;
    }

    bool readInt32(std::int32_t& value, std::int32_t min = std::numeric_limits<std::int32_t>::min(),
                   std::int32_t max = std::numeric_limits<std::int32_t>::max())
    {
        std::int64_t wide = 0;
        if (!readInt(wide, min, max))
        {
            return false;
        }
        value = static_cast<std::int32_t>(wide);
        return true;
    }
};

// Six weights from a non-empty weights line, each within what the apple painter can sum.
bool parseWeights(const std::string& line, MapEntry::Weights& weights)
{
    std::stringbuf buffer(line, std::ios::in);
    CampaignReader reader(&buffer);
    for (std::int32_t& weight : weights)
    {
        if (!reader.readInt32(weight, 0, CampaignFile::MaxAppleWeight))
        {
            return false;
        }
    }
    return true;
}

// One map block; index is the map's place in the file, from 0, for the game type message.
std::unique_ptr<MapEntry> readMap(CampaignReader& reader, std::size_t index)
{
    auto map = std::make_unique<MapEntry>();
    std::string line;
    reader.readLine(line);
    map->setIntroScript(line);
    reader.readLine(line);
    map->setMapPath(line);
    reader.readLine(line);
    map->setWinScript(line);

    GameSettings settings;
    if (!reader.readInt32(settings.type))
    {
        FH_THROW(IOException, MapFailed);
    }
    if (settings.type < CampaignFile::MinGameType || settings.type > CampaignFile::MaxGameType)
    {
        FH_THROW(Exception,
                 "Map " + std::to_string(index) + " has invalid gametype: " + std::to_string(settings.type));
    }
    // The limit is an unsigned count of milliseconds that must also fit the round's signed field.
    if (!reader.readInt32(settings.goal) || !reader.readInt32(settings.timeLimit, 0))
    {
        FH_THROW(IOException, MapFailed);
    }
    reader.skipLine();
    map->setSettings(settings);

    reader.readLine(line);
    if (!line.empty())
    {
        MapEntry::Weights weights{};
        if (!parseWeights(line, weights))
        {
            FH_THROW(IOException, MapFailed);
        }
        map->setAppleWeights(weights);
    }

    std::int32_t aiCount = 0;
    if (!reader.readInt32(aiCount, 0))
    {
        FH_THROW(IOException, MapFailed);
    }
    reader.skipLine();
    // Each name must be a line of the file, so a huge count ends at the file's end.
    for (std::int32_t i = 0; i < aiCount; ++i)
    {
        if (!reader.readLine(line))
        {
            FH_THROW(IOException, MapFailed);
        }
        map->addAIName(line);
    }
    return map;
}

} // namespace

CampaignFile::CampaignFile() = default;

CampaignFile::~CampaignFile()
{
    deleteMaps();
}

void CampaignFile::load(const std::string& path)
{
    // Binary, so that CR LF line ends reach the line reader unchanged on every platform.
    std::ifstream file(path, std::ios::in | std::ios::binary);
    if (!file.is_open())
    {
        FH_THROW(IOException, "Couldn't not load file: " + path);
    }
    CampaignReader reader(file.rdbuf());

    std::int32_t version = 0;
    if (!reader.readInt32(version))
    {
        FH_THROW(IOException, VersionFailed);
    }
    reader.skipLine();
    if (version != Version)
    {
        FH_THROW(Exception, "Invalid campaign version.");
    }

    // Read into locals, so that a failed load leaves this description as it was. Header lines missing at
    // the end of the file read as empty; the map count after them is required.
    std::array<std::string, 7> header;
    for (std::string& line : header)
    {
        reader.readLine(line);
    }
    std::int32_t mapCount = 0;
    if (!reader.readInt32(mapCount, 0))
    {
        FH_THROW(IOException, HeaderFailed);
    }
    reader.skipLine();

    // Never reserved from the count: a map block that is not in the file fails before it is kept.
    std::vector<std::unique_ptr<MapEntry>> maps;
    for (std::int32_t i = 0; i < mapCount; ++i)
    {
        maps.push_back(readMap(reader, static_cast<std::size_t>(i)));
    }

    deleteMaps();
    m_lockKey = std::move(header[0]);
    m_rewardKey = std::move(header[1]);
    m_name = std::move(header[2]);
    m_introScript = std::move(header[3]);
    m_endScript = std::move(header[4]);
    m_background = std::move(header[5]);
    m_music = std::move(header[6]);
    m_maps.reserve(maps.size());
    for (std::unique_ptr<MapEntry>& map : maps)
    {
        m_maps.push_back(map.release());
    }
}

const MapEntry& CampaignFile::getMap(std::size_t index) const
{
    assert(index < m_maps.size());
    return *m_maps[index];
}

void CampaignFile::deleteMaps()
{
    for (MapEntry* map : m_maps)
    {
        delete map;
    }
    m_maps.clear();
}

} // namespace Tarvo
