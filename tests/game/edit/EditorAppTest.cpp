#include "game/edit/EditorApp.h"

#include "engine/base/EventRouter.h"
#include "engine/base/Exception.h"
#include "engine/base/Screen.h"

#include "game/edit/MapEditor.h"

#include "tests/support/GLWindow.h"
#include "tests/support/Paths.h"
#include "tests/support/TempDir.h"

#include <functional>

using namespace Tarvo;
using At = std::array<std::uint16_t, 2>;

namespace
{

constexpr std::int32_t Wall = 48;
constexpr int Cell = 16;
constexpr unsigned Walls = MapEditor::WallLayer;

// Centres of a palette tile and of a cell of the 30-cell map, which is centred in the view.
At paletteAt(std::int32_t tile)
{
    return {static_cast<std::uint16_t>(EditorApp::PaletteX + Cell * (tile % 16) + Cell / 2),
            static_cast<std::uint16_t>(EditorApp::PaletteY + Cell * (tile / 16) + Cell / 2)};
}

At cellAt(std::int32_t x, std::int32_t y)
{
    return {static_cast<std::uint16_t>((EditorApp::ViewWidth - Cell * 30) / 2 + Cell * x + Cell / 2),
            static_cast<std::uint16_t>((EditorApp::ViewHeight - Cell * 30) / 2 + Cell * y + Cell / 2)};
}

std::vector<std::array<int, 4>> square(const At& centre)
{
    std::vector<std::array<int, 4>> pixels;
    for (int i = 0; i < (Cell - 2) * (Cell - 2); ++i)
    {
        pixels.push_back(TestSupport::pixel(centre[0] - Cell / 2 + 1 + i % (Cell - 2),
                                            centre[1] - Cell / 2 + 1 + i / (Cell - 2)));
    }
    return pixels;
}

// The editor on a 30 x 30 map that keeps every rule, or on a new one when started without arguments.
class EditorAppTest : public ::testing::Test
{
protected:
    EditorAppTest()
    {
        for (const char* data : {"graphics", "sounds", "ai"})
        {
            std::filesystem::create_directory_symlink(std::filesystem::path(TestSupport::SourceDir) / data,
                                                      m_dir.path() / data);
        }
        MapEditor map("Test", "graphics/tilesets/meadow.png", 30, 30);
        map.fillRect(Walls, 0, 0, 29, 29, Wall);
        map.fillRect(Walls, 1, 1, 28, 28, MapFile::EmptyCell);
        map.placeStart(5, 5);
        map.placeStart(24, 5);
        map.save(m_dir.file("m.map"));
        setenv("SDL_AUDIODRIVER", "dummy", 0);
    }

    ~EditorAppTest() override { m_app->endRun(); }

    void start(const std::vector<std::string>& args = {"m.map"})
    {
        m_app = std::make_unique<EditorApp>(args);
        m_app->startRun();
        m_app->runFrame();
    }

    void click(std::uint8_t button, const At& at)
    {
        m_app->mouseMotion(at[0], at[1], 0, 0);
        m_app->mouseButtonDown(button, at[0], at[1]);
        m_app->mouseButtonUp(button, at[0], at[1]);
    }

    void press(std::initializer_list<SDLKey> keys, bool ctrl = false)
    {
        for (const SDLKey key : keys)
        {
            m_app->keyDown(key, ctrl, false, false);
        }
    }

    void drawFrame()
    {
        m_app->mouseMotion(0, 0, 0, 0);
        m_app->runFrame();
        m_app->getScreen()->clear();
        m_app->getScreen()->draw();
    }

    const MapFile& map() const { return m_app->getEditor()->getMap(); }

    TestSupport::TempDir m_dir;
    TestSupport::ScopedWorkingDirectory m_cwd{m_dir.path()};
    std::unique_ptr<EditorApp> m_app;
};

const auto newMap = [] { return MapEditor("Test", "graphics/tilesets/meadow.png", 10, 10); };

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

TEST_F(EditorAppTest, PaintedTileShowsAsOnThePaletteAndABrokenRuleIsListedAndTintedRedUntilUndone)
{
    start();
    EXPECT_EQ(m_app->getCheckLines().front(), "Checks: all rules kept.");
    press({SDLK_1});
    click(SDL_BUTTON_LEFT, paletteAt(40));
    click(SDL_BUTTON_LEFT, cellAt(10, 10));
    drawFrame();
    const auto palette = square(paletteAt(40));
    EXPECT_EQ(square(cellAt(10, 10)), palette);
    EXPECT_NE(square(cellAt(11, 10)), palette) << "the plain ground next to it differs";
    const auto before = TestSupport::pixel(cellAt(0, 12)[0], cellAt(0, 12)[1]);

    press({SDLK_2});
    click(SDL_BUTTON_RIGHT, cellAt(0, 12));
    drawFrame();
    EXPECT_NE(square(cellAt(10, 10)), palette) << "the ground is faded while walls are edited";
    EXPECT_NE(m_app->getCheckLines().back().find("(0, 12)"), std::string::npos)
        << m_app->getCheckLines().back();
    const auto marked = TestSupport::pixel(cellAt(0, 12)[0], cellAt(0, 12)[1]);
    EXPECT_GT(marked[0] - marked[1], before[0] - before[1] + 40);
    press({SDLK_z}, true);
    m_app->runFrame();
    EXPECT_EQ(m_app->getCheckLines().front(), "Checks: all rules kept.");
}

TEST_F(EditorAppTest, LeavingWithUnsavedChangesAsksFirstAndYesLeavesTheFileAsSaved)
{
    start();
    press({SDLK_2});
    click(SDL_BUTTON_LEFT, cellAt(10, 10));
    m_app->getEventRouter()->pushQuit();
    EXPECT_EQ((std::pair{m_app->runFrame(), m_app->getMode()}),
              std::pair(true, EditorApp::Mode::ConfirmQuit));
    press({SDLK_c});
    EXPECT_EQ(m_app->getMode(), EditorApp::Mode::Edit);
    press({SDLK_ESCAPE});
    EXPECT_EQ(m_app->getMode(), EditorApp::Mode::ConfirmQuit);
    press({SDLK_y});
    EXPECT_EQ((std::tuple{m_app->getMode(), m_app->runFrame(),
                          MapFile(m_dir.file("m.map")).getTile(Walls, 10, 10)}),
              std::tuple(EditorApp::Mode::Done, false, Wall));
}

TEST_F(EditorAppTest, NewMapFormRefusesABadSizeArrowsScrollAWideMapAndSavingAsksBeforeReplacing)
{
    start({});
    ASSERT_EQ(m_app->getMode(), EditorApp::Mode::NewMap);
    press({SDLK_TAB, SDLK_BACKSPACE, SDLK_BACKSPACE, SDLK_7, SDLK_RETURN});
    EXPECT_EQ(m_app->getMode(), EditorApp::Mode::NewMap) << "7 cells is too narrow";
    press({SDLK_BACKSPACE, SDLK_6, SDLK_4, SDLK_RETURN, SDLK_2});
    ASSERT_EQ(map().getWidth(), 64);

    // A map wider than the view starts at its left edge; its 30 rows are centred.
    const At at{8, cellAt(0, 15)[1]};
    const auto paintedColumn = [&] {
        click(SDL_BUTTON_LEFT, at);
        const std::string row = layerOf(map(), Walls).substr(15 * 64, 64);
        m_app->getEditor()->erase(Walls, static_cast<std::int32_t>(row.find('W')), 15);
        return row.find('W');
    };
    EXPECT_EQ(paintedColumn(), 0u);
    press({SDLK_RIGHT});
    EXPECT_EQ(paintedColumn(), EditorApp::ScrollStep / Cell);

    m_dir.written("new-map.map", "keep");
    press({SDLK_s}, true);
    press({SDLK_RETURN});
    EXPECT_EQ(std::pair(m_app->getMode(), m_dir.readFile("new-map.map")),
              std::pair(EditorApp::Mode::Prompt, std::string("keep")));
    press({SDLK_RETURN});
    EXPECT_EQ(std::tuple(m_app->getMode(), MapFile(m_dir.file("new-map.map")).getWidth(),
                         m_app->getEditor()->isDirty()),
              std::tuple(EditorApp::Mode::Edit, 64, false));
}

TEST(MapEditor, EachEditChangesItsCellsAndUndoesAndRedoesInOneStep)
{
    const std::pair<std::function<void(MapEditor&)>, std::string> cases[] = {
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
        EXPECT_EQ(std::pair(cellsOf(editor.getMap()), editor.canUndo()), std::pair(before, false));
        ASSERT_TRUE(editor.redo());
        EXPECT_EQ(cellsOf(editor.getMap()), after);
    }
}

TEST(MapEditor, StartPointsAreNumberedWithoutGapsAndUndoTracksTheSavedState)
{
    TestSupport::TempDir dir;
    MapEditor editor = newMap();
    const auto state = [&editor] {
        return editor.getMap().getName() + " " +
               layerOf(editor.getMap(), MapEditor::StartLayer).substr(0, 10) +
               (editor.isDirty() ? " changed" : "");
    };
    EXPECT_EQ(state(), "Test .......... changed") << "a new map has never been saved";
    // A cell holds one start point.
    EXPECT_EQ(
        (std::vector<std::int32_t>{editor.placeStart(0, 0), editor.placeStart(2, 0), editor.placeStart(4, 0),
                                   editor.placeStart(6, 0), editor.placeStart(0, 0), editor.removeStart(2, 0),
                                   editor.removeStart(2, 0)}),
        (std::vector<std::int32_t>{1, 2, 3, 4, 0, 1, 0}));
    editor.save(dir.file("a.map"));
    EXPECT_EQ(state(), "Test 1...2.3...");
    EXPECT_EQ(editor.placeStart(9, 0), 4);
    editor.setTitle("Renamed");
    editor.undo();
    editor.undo();
    EXPECT_EQ(state(), "Test 1...2.3...");
    editor.undo();
    EXPECT_EQ(state(), "Test 1.2.3.4... changed");
}

TEST(MapEditor, BadInputIsRefusedAndNothingIsLost)
{
    constexpr std::int32_t Min = MapEditor::MinSize;
    constexpr std::int32_t Max = MapEditor::MaxSize;
    for (const auto& [w, h] : {std::pair(Min - 1, 10), {10, Min - 1}, {Max + 1, 10}, {10, Max + 1}})
    {
        EXPECT_THROW(MapEditor("T", "t.png", w, h), Fernhouse::Base::ArgumentException) << w << " x " << h;
    }
    EXPECT_NO_THROW(MapEditor("T", "t.png", Min, Max));
    EXPECT_NO_THROW(MapEditor("T", "t.png", Max, Min));
    EXPECT_THROW(MapEditor("", "t.png", 10, 10), Fernhouse::Base::ArgumentException);
    MapEditor editor = newMap();
    EXPECT_THROW(editor.paint(MapEditor::StartLayer, 1, 1, 5), Fernhouse::Base::ArgumentException);
    EXPECT_THROW(editor.setTitle(""), Fernhouse::Base::ArgumentException);
    EXPECT_EQ(std::pair(editor.getMap().getName(), editor.canUndo()), std::pair(std::string("Test"), false));
    TestSupport::TempDir dir;
    editor.save(dir.file("a.map"));
    editor.paint(Walls, 1, 1, Wall);
    EXPECT_THROW(editor.save(dir.file("no/such/dir/a.map")), Fernhouse::Base::IOException);
    EXPECT_EQ(std::pair(editor.isDirty(), editor.getPath()), std::pair(true, dir.file("a.map")));
}

// Escape ends a play-test with the map as edited and unsaved; without room for two players it cannot start.
TEST_F(EditorAppTest, PlayTestRunsARoundAndEscapeReturnsWithTheMapUnchangedOrItSaysWhyItCannotStart)
{
    start();
    press({SDLK_3});
    click(SDL_BUTTON_LEFT, cellAt(15, 20));
    press({SDLK_F5});
    ASSERT_EQ(m_app->getMode(), EditorApp::Mode::PlayTest) << m_app->getStatusLines().front();
    m_app->runFrame();
    m_app->getEventRouter()->keyDown(SDLK_ESCAPE, false, false, false);
    for (int i = 0; i < 5 && m_app->getMode() == EditorApp::Mode::PlayTest; ++i)
    {
        m_app->runFrame();
    }
    EXPECT_EQ(std::tuple(m_app->getMode(), map().getTile(MapEditor::StartLayer, 15, 20),
                         m_app->getEditor()->isDirty(),
                         MapFile(m_dir.file("m.map")).getTile(MapEditor::StartLayer, 15, 20)),
              std::tuple(EditorApp::Mode::Edit, 3, true, MapFile::EmptyCell));
    for (const At& at : {cellAt(5, 5), cellAt(24, 5), cellAt(15, 20)})
    {
        click(SDL_BUTTON_RIGHT, at);
    }
    press({SDLK_F5});
    EXPECT_EQ(std::pair(m_app->getMode(), m_app->getStatusLines().front().substr(0, 18)),
              std::pair(EditorApp::Mode::Edit, std::string("Play-test failed: ")));
}
