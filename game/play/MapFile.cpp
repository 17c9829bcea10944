#include "game/play/MapFile.h"

#include "engine/base/Exception.h"

#include "game/progress/TextReader.h"

#include <algorithm>
#include <cassert>
#include <fstream>
#include <limits>
#include <utility>

namespace Tarvo
{

namespace
{

constexpr const char* SourceTag = "MapFile";
constexpr const char* ReadHeaderFailed = "Failed to read from file.";
constexpr const char* ReadLayersFailed = "Failed to read map layers.";
constexpr const char* InvalidLayerCount = "Invalid layer count.";
constexpr const char* InvalidWidth = "Invalid map width.";
constexpr const char* InvalidHeight = "Invalid map height.";
constexpr std::int32_t MinLayerCount = 1;
constexpr int DecimalBase = 10;
// Cells are appended as they are read, never reserved from the counts, so a file that claims a huge size
// costs memory only for the cells it really holds. Reserving this many up front avoids most regrowth.
constexpr std::size_t ReserveLimit = 64 * 1024;

using Fernhouse::Base::ArgumentException;
using Fernhouse::Base::FileNotFoundException;
using Fernhouse::Base::IOException;
using Fernhouse::Base::MapFileException;

// The format's lines, and white-space separated integers.
class MapReader final : public TextReader
{
public:
    using TextReader::TextReader;

    // Skips white space, line ends included. False at the end of the file or when the next word is not a
    // decimal 32-bit integer (an optional sign, then digits only).
    bool readInt(std::int32_t& value)
    {
        int c = skipSpace();
        const bool negative = c == '-';
        if (c == '-' || c == '+')
        {
            c = buffer()->snextc();
        }
        // One more than the largest positive value, so that the smallest negative one fits.
        const std::int64_t limit =
            std::int64_t{std::numeric_limits<std::int32_t>::max()} + (negative ? 1 : 0);
        std::int64_t magnitude = 0;
        bool anyDigit = false;
        while (c != Eof && !isSpace(c))
        {
            if (c < '0' || c > '9')
            {
                return false;
            }
            magnitude = magnitude * DecimalBase + (c - '0');
            if (magnitude > limit)
            {
                return false;
            }
            anyDigit = true;
            c = buffer()->snextc();
        }
        if (!anyDigit)
        {
            return false;
        }
        value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
        return true;
    }
};

// The layers' cells, the slots beyond the layer count empty. Nothing is sized from the file's numbers
// beyond ReserveLimit before the cells themselves prove the size.
std::array<std::vector<std::int32_t>, MapFile::LayerSlots> readLayers(MapReader& reader,
                                                                      std::int32_t layerCount,
                                                                      std::size_t cellCount)
{
    std::array<std::vector<std::int32_t>, MapFile::LayerSlots> layers;
    for (std::size_t layer = 0; layer < static_cast<std::size_t>(layerCount); ++layer)
    {
        std::vector<std::int32_t>& cells = layers[layer];
        cells.reserve(std::min(cellCount, ReserveLimit));
        for (std::size_t i = 0; i < cellCount; ++i)
        {
            std::int32_t value = 0;
            if (!reader.readInt(value))
            {
                FH_THROW(IOException, ReadLayersFailed);
            }
            cells.push_back(value);
        }
    }
    for (std::size_t layer = static_cast<std::size_t>(layerCount); layer < MapFile::LayerSlots; ++layer)
    {
        layers[layer].assign(cellCount, MapFile::EmptyCell);
    }
    return layers;
}

} // namespace

MapFile::MapFile() = default;

MapFile::MapFile(std::int32_t layerCount, std::int32_t width, std::int32_t height)
    : m_layerCount(layerCount),
      m_width(width),
      m_height(height)
{
    resizeLayers();
}

MapFile::MapFile(const std::string& path)
{
    load(path);
}

void MapFile::load(const std::string& path)
{
    std::ifstream file(path, std::ios::in | std::ios::binary);
    if (!file.is_open())
    {
        FH_THROW(FileNotFoundException, "Couldn't load file: " + path);
    }
    MapReader reader(file.rdbuf());

    std::int32_t version = 0;
    if (!reader.readInt(version))
    {
        FH_THROW(IOException, ReadHeaderFailed);
    }
    reader.skipLine();
    if (version != Version)
    {
        FH_THROW(MapFileException, "Unsupported map file version.");
    }

    // Everything is read into locals first, so that a failed load leaves this map untouched.
    std::string name;
    std::string graphicsFileName;
    std::int32_t layerCount = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    if (!reader.readLine(name) || !reader.readLine(graphicsFileName) || !reader.readInt(layerCount) ||
        !reader.readInt(width) || !reader.readInt(height))
    {
        FH_THROW(IOException, ReadHeaderFailed);
    }

    if (graphicsFileName.empty())
    {
        FH_THROW(MapFileException, "No graphics file name was supplied.");
    }
    if (layerCount < MinLayerCount || layerCount > static_cast<std::int32_t>(LayerSlots))
    {
        FH_THROW(MapFileException, InvalidLayerCount);
    }
    if (width < 1)
    {
        FH_THROW(MapFileException, InvalidWidth);
    }
    if (height < 1)
    {
        FH_THROW(MapFileException, InvalidHeight);
    }

    std::array<std::vector<std::int32_t>, LayerSlots> layers =
        readLayers(reader, layerCount, static_cast<std::size_t>(width) * static_cast<std::size_t>(height));

    m_name = std::move(name);
    m_graphicsFileName = std::move(graphicsFileName);
    m_layerCount = layerCount;
    m_width = width;
    m_height = height;
    m_layers = std::move(layers);
    m_modified = false;
    m_fileName = path;
}

void MapFile::save(const std::string& path)
{
    // Binary, so that line ends are LF alone on every platform.
    std::ofstream file(path, std::ios::out | std::ios::binary | std::ios::trunc);
    if (!file.is_open())
    {
        FH_THROW(IOException, "Failed to create file: " + path);
    }

    file << Version << '\n'
         << m_name << '\n'
         << m_graphicsFileName << '\n'
         << m_layerCount << ' ' << m_width << ' ' << m_height << "\n\n";
    if (!file.flush())
    {
        FH_THROW(IOException, "Failed to write headers.");
    }

    // A map built in memory may claim more layers than there are slots; only the slots can be written.
    const std::int32_t storedLayers = std::min(m_layerCount, static_cast<std::int32_t>(LayerSlots));
    for (std::int32_t layer = 0; layer < storedLayers; ++layer)
    {
        const std::vector<std::int32_t>& cells = m_layers[static_cast<std::size_t>(layer)];
        for (std::int32_t y = 0; y < m_height; ++y)
        {
            for (std::int32_t x = 0; x < m_width; ++x)
            {
                file << cells[index(x, y)] << ' ';
            }
            file << '\n';
        }
        file << '\n';
    }
    file.close();
    if (file.fail())
    {
        FH_THROW(IOException, "Failed to write map layers.");
    }
    m_modified = false;
    m_fileName = path;
}

void MapFile::setName(const std::string& name)
{
    m_name = name;
    m_modified = true;
}

void MapFile::setGraphicsFileName(const std::string& graphicsFileName)
{
    m_graphicsFileName = graphicsFileName;
    m_modified = true;
}

void MapFile::setTile(unsigned layer, std::int32_t x, std::int32_t y, std::int32_t value)
{
    checkCell(layer, x, y);
    std::int32_t& cell = m_layers[layer][index(x, y)];
    if (cell != value)
    {
        cell = value;
        m_modified = true;
    }
}

void MapFile::setLayerCount(std::int32_t layerCount)
{
    if (layerCount == m_layerCount)
    {
        return;
    }
    if (static_cast<std::uint32_t>(layerCount) > LayerSlots)
    {
        FH_THROW(ArgumentException, InvalidLayerCount);
    }
    m_layerCount = layerCount;
    m_modified = true;
}

void MapFile::setWidth(std::int32_t width)
{
    if (width == m_width)
    {
        return;
    }
    if (width < 0)
    {
        FH_THROW(ArgumentException, InvalidWidth);
    }
    m_width = width;
    resizeLayers();
    m_modified = true;
}

void MapFile::setHeight(std::int32_t height)
{
    if (height == m_height)
    {
        return;
    }
    if (height < 0)
    {
        FH_THROW(ArgumentException, InvalidHeight);
    }
    m_height = height;
    resizeLayers();
    m_modified = true;
}

void MapFile::throwBadCell(unsigned layer, std::int32_t x, [[maybe_unused]] std::int32_t y) const
{
    if (layer >= LayerSlots)
    {
        FH_THROW(ArgumentException, "Layer index out of bounds.");
    }
    if (x < 0 || x >= m_width)
    {
        FH_THROW(ArgumentException, "X is out of bounds.");
    }
    assert(y < 0 || y >= m_height);
    FH_THROW(ArgumentException, "Y is out of bounds.");
}

void MapFile::resizeLayers()
{
    const std::size_t width = static_cast<std::size_t>(std::max(m_width, 0));
    const std::size_t height = static_cast<std::size_t>(std::max(m_height, 0));
    for (std::vector<std::int32_t>& cells : m_layers)
    {
        cells.resize(width * height, EmptyCell);
    }
}

} // namespace Tarvo
