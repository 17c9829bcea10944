#pragma once

#include "game/play/MapFile.h"

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace Tarvo
{

// A map being edited: tiles painted, erased and filled per layer, start points numbered without gaps, the
// title and tileset, undo and redo, and whether anything changed since the last save. Every edit between
// beginStroke and endStroke is one undo step (a drag); an edit outside a stroke is a step of its own.
class MapEditor final
{
public:
    // Keys 1 to 3 choose these layers.
    static constexpr unsigned GroundLayer = 0;
    static constexpr unsigned WallLayer = 1;
    static constexpr unsigned StartLayer = 2;
    static constexpr std::int32_t MinSize = 8;
    static constexpr std::int32_t MaxSize = 256;
    // Older steps are forgotten beyond this many.
    static constexpr std::size_t UndoSteps = 128;
    // The plain ground a new map is covered with.
    static constexpr std::int32_t NewGroundTile = 16;

    // A new map of three layers, ground everywhere. ArgumentException for a size outside MinSize..MaxSize
    // or an empty title or tileset.
    MapEditor(const std::string& title, const std::string& tileset, std::int32_t width, std::int32_t height);
    // Throws what MapFile::load throws. A map of fewer than three layers gets the missing ones, empty.
    explicit MapEditor(const std::string& path);

    const MapFile& getMap() const { return m_map; }

    // Where the map was last loaded from or saved to; empty for a new map.
    const std::string& getPath() const { return m_path; }

    void beginStroke();
    void endStroke();

    // Tile edits on the ground and wall layers; cells off the map are ignored so a drag may leave it.
    // ArgumentException for the start layer, whose cells change only through the start point calls.
    void paint(unsigned layer, std::int32_t x, std::int32_t y, std::int32_t tile);
    void erase(unsigned layer, std::int32_t x, std::int32_t y);
    // Corners in any order, clipped to the map.
    void fillRect(unsigned layer, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                  std::int32_t tile);
    // The tile on a layer, EmptyCell off the map.
    std::int32_t pick(unsigned layer, std::int32_t x, std::int32_t y) const;

    // Puts the lowest free number on the cell and returns it; 0 when the cell is off the map, already a
    // start point, or every number the game takes is used.
    std::int32_t placeStart(std::int32_t x, std::int32_t y);
    // Takes the start point off the cell and moves every higher number down by one. False when there is none.
    bool removeStart(std::int32_t x, std::int32_t y);

    // ArgumentException when empty (the map file needs both lines).
    void setTitle(const std::string& title);
    void setTileset(const std::string& tileset);

    bool canUndo() const { return !m_undo.empty(); }

    bool canRedo() const { return !m_redo.empty(); }

    // False when there is nothing to undo or redo.
    bool undo();
    bool redo();

    // Whether the map differs from the file last loaded or saved (a new map always counts as changed).
    bool isDirty() const;

    // Through MapFile::save (IOException); the map stays dirty when the save fails.
    void save(const std::string& path);

private:
    struct CellChange
    {
        unsigned layer;
        std::int32_t x;
        std::int32_t y;
        std::int32_t before;
        std::int32_t after;
    };

    struct Header
    {
        std::string title;
        std::string tileset;
        std::int32_t layerCount;
    };

    struct Step
    {
        std::uint64_t id;
        std::vector<CellChange> cells;
        Header before;
        Header after;
    };

    Header header() const;
    void applyHeader(const Header& header);
    void setCell(unsigned layer, std::int32_t x, std::int32_t y, std::int32_t value);
    void checkTileLayer(unsigned layer) const;
    bool onMap(std::int32_t x, std::int32_t y) const;
    // Opens a step when no stroke is open; returns whether it did, so the caller closes it.
    bool openStep();
    std::uint64_t currentId() const;

    MapFile m_map;
    std::string m_path;
    std::deque<Step> m_undo;
    std::vector<Step> m_redo;
    Step m_pending{};
    bool m_inStroke = false;
    std::uint64_t m_nextId = 1;
    // The id of the state before the oldest kept step, and of the state last saved (0 = never).
    std::uint64_t m_baseId = 0;
    std::uint64_t m_savedId = 0;
};

} // namespace Tarvo
