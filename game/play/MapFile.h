#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace Tarvo
{

// One map: up to three layers of tile numbers (-1 = no tile), a title and the tileset image they index.
// Reads and writes the text .map format. Owned by whoever loads it.
class MapFile final
{
public:
    // Layer slots always present, whatever the layer count says.
    static constexpr unsigned LayerSlots = 3;
    static constexpr std::int32_t Version = 1;
    static constexpr std::int32_t EmptyCell = -1;
    // The file name extension of maps, as the game lists them.
    static constexpr const char* Extension = ".map";

    MapFile();
    // Every cell -1. No range checks: a negative size simply gets no cells.
    MapFile(std::int32_t layerCount, std::int32_t width, std::int32_t height);
    // Throws what load throws.
    explicit MapFile(const std::string& path);

    // FileNotFoundException, IOException or MapFileException; a failed load leaves the map as it was.
    void load(const std::string& path);
    // IOException when the file cannot be created or written.
    void save(const std::string& path);

    const std::string& getFileName() const { return m_fileName; }

    const std::string& getName() const { return m_name; }

    const std::string& getGraphicsFileName() const { return m_graphicsFileName; }

    void setName(const std::string& name);
    void setGraphicsFileName(const std::string& graphicsFileName);

    std::int32_t getLayerCount() const { return m_layerCount; }

    std::int32_t getWidth() const { return m_width; }

    std::int32_t getHeight() const { return m_height; }

    bool isModified() const { return m_modified; }

    // ArgumentException for a layer beyond the three slots or a cell off the grid.
    std::int32_t getTile(unsigned layer, std::int32_t x, std::int32_t y) const
    {
        checkCell(layer, x, y);
        return m_layers[layer][index(x, y)];
    }

    void setTile(unsigned layer, std::int32_t x, std::int32_t y, std::int32_t value);

    // ArgumentException above 3 (a negative count counts as above).
    void setLayerCount(std::int32_t layerCount);
    // ArgumentException when negative. Cells keep their indices; cells beyond the old size become -1.
    void setWidth(std::int32_t width);
    void setHeight(std::int32_t height);

private:
    void checkCell(unsigned layer, std::int32_t x, std::int32_t y) const
    {
        if (layer >= LayerSlots || x < 0 || x >= m_width || y < 0 || y >= m_height)
        {
            throwBadCell(layer, x, y);
        }
    }

    // Kept out of line so that the inline accessors stay small.
    [[noreturn]] void throwBadCell(unsigned layer, std::int32_t x, std::int32_t y) const;

    std::size_t index(std::int32_t x, std::int32_t y) const
    {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + static_cast<std::size_t>(x);
    }

    // Gives every slot room for width x height cells; new cells are -1.
    void resizeLayers();

    std::string m_fileName;
    std::string m_name;
    std::string m_graphicsFileName;
    std::int32_t m_layerCount = 0;
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    std::array<std::vector<std::int32_t>, LayerSlots> m_layers;
    bool m_modified = false;
};

} // namespace Tarvo
