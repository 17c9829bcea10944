#include "game/edit/EditorApp.h"

#include "engine/base/EventRouter.h"
#include "engine/base/Screen.h"

#include "game/edit/MapEditor.h"
#include "game/play/MapFile.h"

#include "tests/support/GLWindow.h"
#include "tests/support/TempDir.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <memory>

using Tarvo::EditorApp;
using Tarvo::MapEditor;
using Tarvo::MapFile;

namespace
{

constexpr std::int32_t Size = 30;
constexpr std::int32_t Wall = 48;
constexpr int Cell = 16;

// The centre of a palette tile and of a map cell on the screen (a 30-cell map is centred in the view).
std::array<std::uint16_t, 2> paletteAt(std::int32_t tile)
{
    return {static_cast<std::uint16_t>(EditorApp::PaletteX + Cell * (tile % 16) + Cell / 2),
            static_cast<std::uint16_t>(EditorApp::PaletteY + Cell * (tile / 16) + Cell / 2)};
}

std::array<std::uint16_t, 2> cellAt(std::int32_t x, std::int32_t y)
{
    const int left = (EditorApp::ViewWidth - Cell * Size) / 2;
    const int top = (EditorApp::ViewHeight - Cell * Size) / 2;
    return {static_cast<std::uint16_t>(left + Cell * x + Cell / 2),
            static_cast<std::uint16_t>(top + Cell * y + Cell / 2)};
}

// A working directory with the game's data and a map that keeps every rule, opened in the editor.
class EditorAppTest : public ::testing::Test
{
protected:
    EditorAppTest()
    {
        for (const char* data : {"graphics", "sounds", "ai"})
        {
            std::filesystem::create_directory_symlink(std::filesystem::path(TARVO_SOURCE_DIR) / data,
                                                      m_dir.path() / data);
        }
        MapEditor map("Test", "graphics/tilesets/meadow.png", Size, Size);
        map.fillRect(MapEditor::WallLayer, 0, 0, Size - 1, Size - 1, Wall);
        map.fillRect(MapEditor::WallLayer, 1, 1, Size - 2, Size - 2, MapFile::EmptyCell);
        map.placeStart(5, 5);
        map.placeStart(24, 5);
        map.save(m_dir.file("m.map"));
        setenv("SDL_AUDIODRIVER", "dummy", 0);
    }

    void SetUp() override { start({"m.map"}); }

    void start(const std::vector<std::string>& args)
    {
        m_app = std::make_unique<EditorApp>(args);
        m_app->startRun();
        m_app->runFrame();
    }

    ~EditorAppTest() override { m_app->endRun(); }

    void click(std::uint8_t button, const std::array<std::uint16_t, 2>& at)
    {
        m_app->mouseMotion(at[0], at[1], 0, 0);
        m_app->mouseButtonDown(button, at[0], at[1]);
        m_app->mouseButtonUp(button, at[0], at[1]);
    }

    void press(SDLKey key, bool ctrl = false) { m_app->keyDown(key, ctrl, false, false); }

    // Draws the frame and reads it back before any swap.
    void drawFrame()
    {
        m_app->runFrame();
        m_app->getScreen()->clear();
        m_app->getScreen()->draw();
    }

    // The pixels of a 16 x 16 square inside the frame drawn last, without its one-pixel rim.
    static std::vector<std::array<int, 4>> square(const std::array<std::uint16_t, 2>& centre)
    {
        std::vector<std::array<int, 4>> pixels;
        for (int y = -Cell / 2 + 1; y < Cell / 2 - 1; ++y)
        {
            for (int x = -Cell / 2 + 1; x < Cell / 2 - 1; ++x)
            {
                pixels.push_back(TestSupport::pixel(centre[0] + x, centre[1] + y));
            }
        }
        return pixels;
    }

    const MapFile& map() const { return m_app->getEditor()->getMap(); }

    TestSupport::TempDir m_dir;
    TestSupport::ScopedWorkingDirectory m_cwd{m_dir.path()};
    std::unique_ptr<EditorApp> m_app;
};

TEST_F(EditorAppTest, PaletteTilePaintedOnTheMapShowsTheSameAndFadesOnAnotherLayer)
{
    constexpr std::int32_t Ground = 40;
    press(SDLK_1);
    click(SDL_BUTTON_LEFT, paletteAt(Ground));
    click(SDL_BUTTON_LEFT, cellAt(10, 10));
    ASSERT_EQ(map().getTile(MapEditor::GroundLayer, 10, 10), Ground);
    m_app->mouseMotion(0, 0, 0, 0);
    drawFrame();
    const auto palette = square(paletteAt(Ground));
    EXPECT_EQ(square(cellAt(10, 10)), palette);
    EXPECT_NE(square(cellAt(11, 10)), palette) << "the plain ground next to it differs";

    press(SDLK_2);
    drawFrame();
    EXPECT_NE(square(cellAt(10, 10)), palette) << "the ground is faded while walls are edited";
}

TEST_F(EditorAppTest, DragPaintsOneUndoStepAndShiftDragFillsARectangle)
{
    press(SDLK_2);
    const auto from = cellAt(3, 10);
    const auto to = cellAt(6, 10);
    m_app->mouseButtonDown(SDL_BUTTON_LEFT, from[0], from[1]);
    m_app->mouseMotion(to[0], to[1], 0, 0);
    m_app->mouseButtonUp(SDL_BUTTON_LEFT, to[0], to[1]);
    EXPECT_EQ(map().getTile(MapEditor::WallLayer, 3, 10), Wall);
    EXPECT_EQ(map().getTile(MapEditor::WallLayer, 6, 10), Wall);

    m_app->keyDown(SDLK_LSHIFT, false, true, false);
    const auto corner = cellAt(8, 20);
    m_app->mouseButtonDown(SDL_BUTTON_RIGHT, to[0], to[1]);
    m_app->mouseMotion(corner[0], corner[1], 0, 0);
    m_app->mouseButtonUp(SDL_BUTTON_RIGHT, corner[0], corner[1]);
    m_app->keyUp(SDLK_LSHIFT, false, false, false);
    EXPECT_EQ(map().getTile(MapEditor::WallLayer, 6, 10), MapFile::EmptyCell);
    EXPECT_EQ(map().getTile(MapEditor::WallLayer, 3, 10), Wall) << "left of the rectangle";

    press(SDLK_z, true);
    press(SDLK_z, true);
    EXPECT_EQ(map().getTile(MapEditor::WallLayer, 3, 10), MapFile::EmptyCell);
    EXPECT_FALSE(m_app->getEditor()->isDirty());
}

TEST_F(EditorAppTest, BrokenRuleIsListedAndItsCellsMarked)
{
    EXPECT_EQ(m_app->getCheckLines().front(), "Checks: all rules kept.");
    drawFrame();
    const auto before = TestSupport::pixel(cellAt(0, 12)[0], cellAt(0, 12)[1]);
    press(SDLK_2);
    click(SDL_BUTTON_RIGHT, cellAt(0, 12));
    m_app->mouseMotion(0, 0, 0, 0);
    drawFrame();
    ASSERT_GT(m_app->getCheckLines().size(), 1u);
    EXPECT_NE(m_app->getCheckLines()[1].find("(0, 12)"), std::string::npos) << m_app->getCheckLines()[1];
    const auto marked = TestSupport::pixel(cellAt(0, 12)[0], cellAt(0, 12)[1]);
    EXPECT_GT(marked[0] - marked[1], before[0] - before[1] + 40) << "the open border cell is tinted red";

    press(SDLK_z, true);
    drawFrame();
    EXPECT_EQ(m_app->getCheckLines().front(), "Checks: all rules kept.");
}

TEST_F(EditorAppTest, PlayTestRunsARoundAndEscapeReturnsWithTheMapUnchanged)
{
    press(SDLK_3);
    click(SDL_BUTTON_LEFT, cellAt(15, 20));
    const MapFile edited = map();
    press(SDLK_F5);
    ASSERT_EQ(m_app->getMode(), EditorApp::Mode::PlayTest) << m_app->getStatusLines().front();
    m_app->runFrame();
    m_app->getEventRouter()->keyDown(SDLK_ESCAPE, false, false, false);
    for (int i = 0; i < 5 && m_app->getMode() == EditorApp::Mode::PlayTest; ++i)
    {
        m_app->runFrame();
    }
    EXPECT_EQ(m_app->getMode(), EditorApp::Mode::Edit);
    EXPECT_EQ(map().getTile(MapEditor::StartLayer, 15, 20), 3);
    EXPECT_TRUE(m_app->getEditor()->isDirty());
    EXPECT_EQ(MapFile(m_dir.file("m.map")).getTile(MapEditor::StartLayer, 15, 20), MapFile::EmptyCell);
}

TEST_F(EditorAppTest, PlayTestOnAMapWithoutRoomForThePlayersSaysWhyAndStays)
{
    press(SDLK_3);
    click(SDL_BUTTON_RIGHT, cellAt(5, 5));
    click(SDL_BUTTON_RIGHT, cellAt(24, 5));
    press(SDLK_F5);
    EXPECT_EQ(m_app->getMode(), EditorApp::Mode::Edit);
    EXPECT_EQ(m_app->getStatusLines().front().rfind("Play-test failed: ", 0), 0u)
        << m_app->getStatusLines().front();
}

TEST_F(EditorAppTest, LeavingWithUnsavedChangesAsksFirst)
{
    press(SDLK_2);
    click(SDL_BUTTON_LEFT, cellAt(10, 10));
    m_app->getEventRouter()->pushQuit();
    EXPECT_TRUE(m_app->runFrame()) << "closing the window asks too";
    EXPECT_EQ(m_app->getMode(), EditorApp::Mode::ConfirmQuit);
    press(SDLK_c);
    press(SDLK_ESCAPE);
    EXPECT_EQ(m_app->getMode(), EditorApp::Mode::ConfirmQuit);
    press(SDLK_c);
    EXPECT_EQ(m_app->getMode(), EditorApp::Mode::Edit);
    press(SDLK_ESCAPE);
    press(SDLK_y);
    EXPECT_EQ(m_app->getMode(), EditorApp::Mode::Done);
    EXPECT_FALSE(m_app->runFrame());
    EXPECT_EQ(MapFile(m_dir.file("m.map")).getTile(MapEditor::WallLayer, 10, 10), Wall);
}

class EditorAppNewMapTest : public EditorAppTest
{
protected:
    void SetUp() override { start({}); }

    void type(std::initializer_list<SDLKey> keys)
    {
        for (SDLKey key : keys)
        {
            press(key);
        }
    }
};

TEST_F(EditorAppNewMapTest, FormRefusesABadSizeAndSavingAsksBeforeReplacingAFile)
{
    ASSERT_EQ(m_app->getMode(), EditorApp::Mode::NewMap);
    type({SDLK_TAB, SDLK_BACKSPACE, SDLK_BACKSPACE, SDLK_7, SDLK_RETURN});
    EXPECT_EQ(m_app->getMode(), EditorApp::Mode::NewMap) << "7 cells is too narrow";
    type({SDLK_BACKSPACE, SDLK_1, SDLK_2, SDLK_RETURN});
    ASSERT_EQ(m_app->getMode(), EditorApp::Mode::Edit);
    EXPECT_EQ(map().getWidth(), 12);

    m_dir.writeFile("new-map.map", "keep");
    press(SDLK_s, true);
    press(SDLK_RETURN);
    EXPECT_EQ(m_app->getMode(), EditorApp::Mode::Prompt);
    EXPECT_EQ(m_dir.readFile("new-map.map"), "keep");
    press(SDLK_RETURN);
    EXPECT_EQ(m_app->getMode(), EditorApp::Mode::Edit);
    EXPECT_EQ(MapFile(m_dir.file("new-map.map")).getWidth(), 12);
    EXPECT_FALSE(m_app->getEditor()->isDirty());
}

TEST_F(EditorAppNewMapTest, ArrowKeysAndMiddleDragScrollAWideMap)
{
    type({SDLK_TAB, SDLK_BACKSPACE, SDLK_BACKSPACE, SDLK_6, SDLK_4, SDLK_RETURN, SDLK_2});
    ASSERT_EQ(map().getWidth(), 64);
    // A map wider than the view starts at its left edge; 30 rows are centred.
    const std::array<std::uint16_t, 2> at{
        8, static_cast<std::uint16_t>((EditorApp::ViewHeight - 480) / 2 + 15 * Cell + 8)};
    const auto paintedColumn = [&] {
        click(SDL_BUTTON_LEFT, at);
        for (std::int32_t x = 0; x < map().getWidth(); ++x)
        {
            if (map().getTile(MapEditor::WallLayer, x, 15) == Wall)
            {
                m_app->getEditor()->erase(MapEditor::WallLayer, x, 15);
                return x;
            }
        }
        return -1;
    };
    EXPECT_EQ(paintedColumn(), 0);
    press(SDLK_RIGHT);
    EXPECT_EQ(paintedColumn(), EditorApp::ScrollStep / Cell);
    m_app->mouseButtonDown(SDL_BUTTON_MIDDLE, at[0], at[1]);
    m_app->mouseMotion(at[0], at[1], -2 * Cell, 0);
    m_app->mouseButtonUp(SDL_BUTTON_MIDDLE, at[0], at[1]);
    EXPECT_EQ(paintedColumn(), EditorApp::ScrollStep / Cell + 2);
    press(SDLK_LEFT);
    press(SDLK_LEFT);
    EXPECT_EQ(paintedColumn(), 0) << "the view stops at the map's edge";
}

} // namespace
