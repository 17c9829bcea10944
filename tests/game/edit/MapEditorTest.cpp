#include "game/edit/MapEditor.h"

#include "engine/base/Exception.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using Fernhouse::Base::ArgumentException;
using Tarvo::MapEditor;
using Tarvo::MapFile;

namespace
{

constexpr unsigned Walls = MapEditor::WallLayer;
constexpr std::int32_t Wall = 48;

MapEditor newMap()
{
    return MapEditor("Test", "graphics/tilesets/meadow.png", 10, 10);
}

// The layer's cells row by row: '.' for none, 'W' the wall, 'g' new ground, else a start number or '?'.
std::string layerOf(const MapFile& map, unsigned layer)
{
    std::string cells;
    for (std::int32_t i = 0; i < map.getWidth() * map.getHeight(); ++i)
    {
        const std::int32_t tile = map.getTile(layer, i % map.getWidth(), i / map.getWidth());
        cells += tile == MapFile::EmptyCell         ? '.'
                 : tile == Wall                     ? 'W'
                 : tile == MapEditor::NewGroundTile ? 'g'
                 : tile > 0 && tile < 10            ? static_cast<char>('0' + tile)
                                                    : '?';
    }
    return cells;
}

std::string cellsOf(const MapFile& map)
{
    return std::to_string(map.getLayerCount()) + " " + std::to_string(map.getWidth()) + "x" +
           std::to_string(map.getHeight()) + "|" + layerOf(map, 0) + "|" + layerOf(map, 1) + "|" +
           layerOf(map, 2);
}

} // namespace

TEST(MapEditor, EachEditChangesItsCellsAndUndoesAndRedoesInOneStep)
{
    const std::pair<std::function<void(MapEditor&)>, std::string> cases[] = {
        {[](MapEditor& e) { e.paint(Walls, 3, 0, Wall); }, "...W................"},
        // A drag is one step, and may leave the map.
        {[](MapEditor& e) {
             e.beginStroke();
             e.paint(Walls, 1, 0, Wall);
             e.paint(Walls, 2, 0, Wall);
             e.paint(Walls, 40, 0, Wall);
             e.fillRect(Walls, 5, 0, 6, 0, Wall);
             e.erase(Walls, 5, 0);
             e.endStroke();
         },
         ".WW...W............."},
        // Corners in any order, clipped.
        {[](MapEditor& e) { e.fillRect(Walls, 11, 1, 8, 0, Wall); }, "........WW........WW"},
    };
    for (const auto& [edit, twoRows] : cases)
    {
        MapEditor editor = newMap();
        const std::string before = cellsOf(editor.getMap());
        edit(editor);
        const std::string after = cellsOf(editor.getMap());
        EXPECT_EQ(layerOf(editor.getMap(), Walls), twoRows + std::string(80, '.'));
        ASSERT_TRUE(editor.undo());
        EXPECT_EQ(cellsOf(editor.getMap()), before);
        EXPECT_FALSE(editor.canUndo());
        ASSERT_TRUE(editor.redo());
        EXPECT_EQ(cellsOf(editor.getMap()), after);
    }
}

// Start points are numbered without gaps; the saved state is tracked through undo and redo.
TEST(MapEditor, StartPointsAreNumberedWithoutGapsAndUndoTracksTheSavedState)
{
    TestSupport::TempDir dir;
    MapEditor editor = newMap();
    EXPECT_TRUE(editor.isDirty()) << "a new map has never been saved";
    for (std::int32_t x = 0; x < 4; ++x)
    {
        EXPECT_EQ(editor.placeStart(2 * x, 0), x + 1);
    }
    EXPECT_EQ(editor.placeStart(0, 0), 0) << "a cell holds one start point";
    ASSERT_TRUE(editor.removeStart(2, 0));
    EXPECT_FALSE(editor.removeStart(2, 0));
    EXPECT_EQ(layerOf(editor.getMap(), MapEditor::StartLayer).substr(0, 10), "1...2.3...");
    editor.save(dir.file("a.map"));
    EXPECT_FALSE(editor.isDirty());
    EXPECT_EQ(editor.placeStart(9, 0), 4);
    editor.setTitle("Renamed");
    editor.undo();
    editor.undo();
    EXPECT_FALSE(editor.isDirty());
    EXPECT_EQ(editor.getMap().getName(), "Test");
    EXPECT_EQ(layerOf(editor.getMap(), MapEditor::StartLayer).substr(0, 10), "1...2.3...");
    editor.undo();
    EXPECT_EQ(layerOf(editor.getMap(), MapEditor::StartLayer).substr(0, 10), "1.2.3.4...");
    EXPECT_TRUE(editor.isDirty());
    editor.redo();
    EXPECT_FALSE(editor.isDirty());
    editor.redo();
    editor.redo();
    EXPECT_EQ(editor.getMap().getName(), "Renamed");
    EXPECT_TRUE(editor.isDirty());
}

TEST(MapEditor, SavedMapReopensUnchangedAndSavesTheSameBytesAndAOneLayerMapGainsTheOthers)
{
    TestSupport::TempDir dir;
    MapEditor editor = newMap();
    editor.fillRect(Walls, 0, 0, 9, 9, Wall);
    editor.fillRect(Walls, 1, 1, 8, 8, MapFile::EmptyCell);
    editor.placeStart(2, 1);
    editor.placeStart(7, 1);
    editor.setTileset("graphics/tilesets/ice.png");
    editor.save(dir.file("a.map"));
    MapEditor loaded(dir.file("a.map"));
    EXPECT_EQ(cellsOf(loaded.getMap()), cellsOf(editor.getMap()));
    EXPECT_EQ(loaded.getMap().getGraphicsFileName(), "graphics/tilesets/ice.png");
    EXPECT_FALSE(loaded.isDirty());
    loaded.save(dir.file("b.map"));
    EXPECT_EQ(dir.readFile("b.map"), dir.readFile("a.map"));

    std::string ground;
    for (int i = 0; i < 64; ++i)
    {
        ground += "16 ";
    }
    dir.writeFile("one.map", "1\nOne\ngraphics/tilesets/meadow.png\n1 8 8\n\n" + ground);
    MapEditor one(dir.file("one.map"));
    EXPECT_FALSE(one.isDirty());
    EXPECT_EQ(one.placeStart(3, 0), 1);
    one.save(dir.file("one.map"));
    EXPECT_EQ(cellsOf(MapFile(dir.file("one.map"))),
              "3 8x8|" + std::string(64, 'g') + "|" + std::string(64, '.') + "|...1" + std::string(60, '.'));
}

TEST(MapEditor, BadInputIsRefusedAndNothingIsLost)
{
    EXPECT_THROW(MapEditor("T", "t.png", MapEditor::MinSize - 1, 10), ArgumentException);
    EXPECT_THROW(MapEditor("T", "t.png", 10, MapEditor::MaxSize + 1), ArgumentException);
    EXPECT_THROW(MapEditor("", "t.png", 10, 10), ArgumentException);
    MapEditor editor = newMap();
    EXPECT_THROW(editor.paint(MapEditor::StartLayer, 1, 1, 5), ArgumentException);
    EXPECT_THROW(editor.setTitle(""), ArgumentException);
    EXPECT_EQ(editor.getMap().getName(), "Test");
    EXPECT_FALSE(editor.canUndo());
    TestSupport::TempDir dir;
    editor.save(dir.file("a.map"));
    editor.paint(Walls, 1, 1, Wall);
    EXPECT_THROW(editor.save(dir.file("no/such/dir/a.map")), Fernhouse::Base::IOException);
    EXPECT_TRUE(editor.isDirty());
    EXPECT_EQ(editor.getPath(), dir.file("a.map"));
}
