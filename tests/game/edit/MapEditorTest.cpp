#include "game/edit/MapEditor.h"

#include "engine/base/Exception.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

using Fernhouse::Base::ArgumentException;
using Fernhouse::Base::IOException;
using Tarvo::MapEditor;
using Tarvo::MapFile;
using TestSupport::TempDir;

namespace
{

constexpr unsigned Ground = MapEditor::GroundLayer;
constexpr unsigned Walls = MapEditor::WallLayer;
constexpr std::int32_t Wall = 48;
constexpr std::int32_t Size = 10;

// Every cell of every layer, with the header, as one comparable value.
std::vector<std::int32_t> cellsOf(const MapFile& map)
{
    std::vector<std::int32_t> cells{map.getLayerCount(), map.getWidth(), map.getHeight()};
    for (unsigned layer = 0; layer < MapFile::LayerSlots; ++layer)
    {
        for (std::int32_t y = 0; y < map.getHeight(); ++y)
        {
            for (std::int32_t x = 0; x < map.getWidth(); ++x)
            {
                cells.push_back(map.getTile(layer, x, y));
            }
        }
    }
    return cells;
}

MapEditor newMap()
{
    return MapEditor("Test", "graphics/tilesets/meadow.png", Size, Size);
}

// The start numbers along row 0, in x order.
std::vector<std::int32_t> startRow(const MapEditor& editor)
{
    std::vector<std::int32_t> row;
    for (std::int32_t x = 0; x < Size; ++x)
    {
        row.push_back(editor.pick(MapEditor::StartLayer, x, 0));
    }
    return row;
}

struct EditCase
{
    const char* name;
    std::function<void(MapEditor&)> edit;
    // Cells of the wall layer expected to hold the wall tile afterwards (all others stay empty).
    std::vector<std::pair<std::int32_t, std::int32_t>> walls;
};

void PrintTo(const EditCase& edit, std::ostream* out)
{
    *out << edit.name;
}

class MapEditorEdits : public ::testing::TestWithParam<EditCase>
{
};

TEST_P(MapEditorEdits, EditChangesCellsAndUndoesInOneStep)
{
    MapEditor editor = newMap();
    const auto before = cellsOf(editor.getMap());
    GetParam().edit(editor);
    std::vector<std::pair<std::int32_t, std::int32_t>> walls;
    for (std::int32_t y = 0; y < Size; ++y)
    {
        for (std::int32_t x = 0; x < Size; ++x)
        {
            if (editor.pick(Walls, x, y) == Wall)
            {
                walls.emplace_back(x, y);
            }
        }
    }
    EXPECT_EQ(walls, GetParam().walls);
    const auto after = cellsOf(editor.getMap());

    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(cellsOf(editor.getMap()), before);
    EXPECT_FALSE(editor.canUndo());
    ASSERT_TRUE(editor.redo());
    EXPECT_EQ(cellsOf(editor.getMap()), after);
}

INSTANTIATE_TEST_SUITE_P(
    Tools, MapEditorEdits,
    ::testing::Values(EditCase{"Paint", [](MapEditor& e) { e.paint(Walls, 3, 4, Wall); }, {{3, 4}}},
                      EditCase{"DragIsOneStep",
                               [](MapEditor& e) {
                                   e.beginStroke();
                                   for (std::int32_t x = 1; x <= 3; ++x)
                                   {
                                       e.paint(Walls, x, 2, Wall);
                                   }
                                   e.paint(Walls, 40, 2, Wall); // a drag that leaves the map
                                   e.endStroke();
                               },
                               {{1, 2}, {2, 2}, {3, 2}}},
                      EditCase{"EraseInsideDrag",
                               [](MapEditor& e) {
                                   e.beginStroke();
                                   e.fillRect(Walls, 0, 0, 1, 0, Wall);
                                   e.erase(Walls, 0, 0);
                                   e.endStroke();
                               },
                               {{1, 0}}},
                      EditCase{"FillRectCornersInAnyOrderClipped",
                               [](MapEditor& e) { e.fillRect(Walls, 11, 1, 8, 0, Wall); },
                               {{8, 0}, {9, 0}, {8, 1}, {9, 1}}}),
    [](const ::testing::TestParamInfo<EditCase>& param) { return std::string(param.param.name); });

TEST(MapEditor, StartPointsAreNumberedWithoutGaps)
{
    MapEditor editor = newMap();
    for (std::int32_t x = 0; x < 4; ++x)
    {
        EXPECT_EQ(editor.placeStart(2 * x, 0), x + 1);
    }
    EXPECT_EQ(editor.placeStart(0, 0), 0) << "a cell holds one start point";
    ASSERT_TRUE(editor.removeStart(2, 0));
    EXPECT_EQ(startRow(editor), (std::vector<std::int32_t>{1, -1, -1, -1, 2, -1, 3, -1, -1, -1}));
    EXPECT_FALSE(editor.removeStart(2, 0));
    EXPECT_EQ(editor.placeStart(9, 0), 4);

    editor.undo();
    editor.undo();
    EXPECT_EQ(startRow(editor), (std::vector<std::int32_t>{1, -1, 2, -1, 3, -1, 4, -1, -1, -1}));
}

TEST(MapEditor, UndoKeepsTheNewestStepsAndTracksTheSavedState)
{
    TempDir dir;
    MapEditor editor = newMap();
    EXPECT_TRUE(editor.isDirty()) << "a new map has never been saved";
    editor.save(dir.file("a.map"));
    EXPECT_FALSE(editor.isDirty());

    const std::size_t steps = MapEditor::UndoSteps + 5;
    for (std::size_t i = 0; i < steps; ++i)
    {
        editor.paint(Ground, static_cast<std::int32_t>(i % Size), static_cast<std::int32_t>(i / Size % Size),
                     static_cast<std::int32_t>(i));
    }
    std::size_t undone = 0;
    while (editor.undo())
    {
        ++undone;
    }
    EXPECT_EQ(undone, MapEditor::UndoSteps);
    EXPECT_TRUE(editor.isDirty()) << "the saved state fell off the undo list";

    editor.save(dir.file("a.map"));
    editor.setTitle("Renamed");
    EXPECT_TRUE(editor.isDirty());
    editor.undo();
    EXPECT_FALSE(editor.isDirty());
    EXPECT_EQ(editor.getMap().getName(), "Test");
    editor.redo();
    EXPECT_EQ(editor.getMap().getName(), "Renamed");
    EXPECT_TRUE(editor.isDirty());
}

TEST(MapEditor, SavedMapLoadsAndSavesToTheSameFile)
{
    TempDir dir;
    MapEditor editor = newMap();
    editor.fillRect(Walls, 0, 0, Size - 1, Size - 1, Wall);
    editor.fillRect(Walls, 1, 1, Size - 2, Size - 2, MapFile::EmptyCell);
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
}

TEST(MapEditor, MapOfOneLayerOpensWithAllThreeAndSavesThem)
{
    TempDir dir;
    dir.writeFile(
        "one.map", "1\nOne\ngraphics/tilesets/meadow.png\n1 8 8\n\n" + [] {
            std::string rows;
            for (int i = 0; i < 64; ++i)
            {
                rows += "16 ";
            }
            return rows;
        }());
    MapEditor editor(dir.file("one.map"));
    EXPECT_EQ(editor.getMap().getLayerCount(), 3);
    EXPECT_FALSE(editor.isDirty());
    EXPECT_EQ(editor.placeStart(3, 3), 1);
    editor.save(dir.file("one.map"));
    const MapFile saved(dir.file("one.map"));
    EXPECT_EQ(saved.getTile(MapEditor::StartLayer, 3, 3), 1);
    EXPECT_EQ(saved.getTile(MapEditor::GroundLayer, 7, 7), 16);
}

TEST(MapEditor, BadInputIsRefusedAndNothingIsLost)
{
    EXPECT_THROW(MapEditor("T", "t.png", MapEditor::MinSize - 1, Size), ArgumentException);
    EXPECT_THROW(MapEditor("T", "t.png", Size, MapEditor::MaxSize + 1), ArgumentException);
    EXPECT_THROW(MapEditor("", "t.png", Size, Size), ArgumentException);

    MapEditor editor = newMap();
    EXPECT_THROW(editor.paint(MapEditor::StartLayer, 1, 1, 5), ArgumentException);
    EXPECT_THROW(editor.setTitle(""), ArgumentException);
    EXPECT_EQ(editor.getMap().getName(), "Test");
    EXPECT_FALSE(editor.canUndo());

    TempDir dir;
    editor.save(dir.file("a.map"));
    editor.paint(Walls, 1, 1, Wall);
    EXPECT_THROW(editor.save(dir.file("no/such/dir/a.map")), IOException);
    EXPECT_TRUE(editor.isDirty());
    EXPECT_EQ(editor.getPath(), dir.file("a.map"));
}

} // namespace
