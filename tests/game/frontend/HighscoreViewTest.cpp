#include "game/frontend/HighscoreView.h"

#include "engine/base/Color.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/Label.h"
#include "engine/graphics/TextureFactory.h"

#include "game/play/MapFile.h"
#include "game/progress/HighscoreTable.h"

#include "tests/support/GLWindow.h"
#include "tests/support/TempDir.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

using Fernhouse::Base::Color;
using Fernhouse::GUI::Label;
using Tarvo::HighscoreTable;
using Tarvo::HighscoreView;
using Tarvo::MapFile;
using TestSupport::ScopedWorkingDirectory;
using TestSupport::TempDir;

namespace
{

constexpr Color Green(83, 148, 28, 255);
constexpr Color Orange(255, 90, 0, 255);
constexpr Color White(255, 255, 255, 255);
const std::string Header = "MAP          SCORE  LENGTH";
const std::string Hint = "-PRESS SPACE FOR NEXT PAGE-";

// The services the application would own, the game's fonts, and a working directory holding the maps and
// the table's file. Blending is on, as the screen sets it.
class HighscoreViewTest : public TestSupport::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        std::filesystem::create_directory(m_dir.path() / "maps");
    }

    // A map file whose title is the given one.
    void addMap(const std::string& path, const std::string& title) const
    {
        MapFile map(1, 2, 2);
        map.setName(title);
        map.setGraphicsFileName("graphics/tilesets/meadow.png");
        map.save(path);
    }

    // "text @ y in r,g,b" per label, in drawing order, relative to the view.
    static std::vector<std::string> labels(const HighscoreView& view)
    {
        std::vector<std::string> result;
        for (Fernhouse::Base::Entity* child : view.getChildren())
        {
            const auto* label = dynamic_cast<const Label*>(child);
            const Color c = label->getColor();
            result.push_back(label->getText() + " @ " + std::to_string(label->getX()) + "," +
                             std::to_string(label->getY()) + " in " + std::to_string(c.r) + "," +
                             std::to_string(c.g) + "," + std::to_string(c.b));
        }
        return result;
    }

    static std::string row(const std::string& text, int y, const Color& c)
    {
        return text + " @ 30," + std::to_string(y) + " in " + std::to_string(c.r) + "," +
               std::to_string(c.g) + "," + std::to_string(c.b);
    }

    static std::vector<unsigned char> capture()
    {
        std::vector<unsigned char> rgb(
            static_cast<std::size_t>(TestSupport::WindowWidth * TestSupport::WindowHeight * 3));
        glReadPixels(0, 0, TestSupport::WindowWidth, TestSupport::WindowHeight, GL_RGB, GL_UNSIGNED_BYTE,
                     rgb.data());
        return rgb;
    }

    TempDir m_dir;
    ScopedWorkingDirectory m_cwd{m_dir.path()};
    Fernhouse::Graphics::TextureFactory m_factory;
    Fernhouse::Graphics::FontManager m_fonts{std::string(TARVO_SOURCE_DIR) + "/graphics/fonts/", ".png"};
};

} // namespace

TEST_F(HighscoreViewTest, PageDrawsHeaderAndRowsLikeLabelsAtTheirPlaces)
{
    addMap("maps/garden.map", "Garden");
    addMap("maps/castle.map", "Castle Walls");
    HighscoreTable table;
    table.submit("maps/garden.map", 120, 15);
    table.submit("maps/castle.map", 12345678, 256);
    HighscoreView view(&table);
    view.setPosition(25, 160);
    view.draw();
    const auto drawn = capture();

    // The same texts as plain labels, placed where the view puts them on the screen.
    glClear(GL_COLOR_BUFFER_BIT);
    for (const auto& [text, y, color] : {std::tuple{Header, 40, White},
                                         {"Garden.........120......15", 70, Green},
                                         {"Castle Wal.12345678.....256", 100, Orange}})
    {
        Label label("comic_medium");
        label.setText(text);
        label.setPosition(25 + 30, 160 + y);
        label.setColor(color);
        label.draw();
    }
    const auto expected = capture();
    // Compared whole, so that a row in the wrong colour, place or text shows as a difference.
    EXPECT_TRUE(drawn == expected);
    EXPECT_NE(drawn, std::vector<unsigned char>(drawn.size(), 0));

    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(HighscoreViewTest, SpaceTurnsThroughElevenMapsAndWrapsToTheFirstPage)
{
    HighscoreTable table;
    for (int i = 0; i < 11; ++i)
    {
        const std::string path = "maps/m" + std::to_string(i) + ".map";
        addMap(path, "Map " + std::to_string(i));
        table.submit(path, i, 100 + i);
    }
    HighscoreView view(&table);
    EXPECT_EQ(view.getPage(), 0);
    auto page0 = labels(view);
    ASSERT_EQ(page0.size(), 12u);
    EXPECT_EQ(page0[0], Header + " @ 30,40 in 255,255,255");
    EXPECT_EQ(page0[1], row("Map 0............0.....100", 70, Green));
    EXPECT_EQ(page0[2], row("Map 1............1.....101", 100, Orange));
    EXPECT_EQ(page0[10], row("Map 9............9.....109", 340, Orange));
    EXPECT_EQ(page0[11], Hint + " @ 20,370 in 255,255,255");

    EXPECT_TRUE(view.keyDown(SDLK_SPACE, false, false, false));
    EXPECT_EQ(view.getPage(), 1);
    EXPECT_EQ(labels(view), (std::vector<std::string>{Header + " @ 30,40 in 255,255,255",
                                                      row("Map 10..........10.....110", 70, Green),
                                                      Hint + " @ 20,370 in 255,255,255"}));
    // Modifiers are not looked at.
    EXPECT_TRUE(view.keyDown(SDLK_SPACE, true, true, false));
    EXPECT_EQ(view.getPage(), 0);
    EXPECT_EQ(labels(view), page0);
    EXPECT_FALSE(view.isDone());
}

TEST_F(HighscoreViewTest, OnePageIgnoresSpaceWithoutHintAndEscapeOrReturnClose)
{
    addMap("maps/a.map", "Alpha");
    HighscoreTable table;
    table.submit("maps/a.map", 5, 7);
    table.submit("maps/gone.map", 1, 1);
    table.submit("maps/a.map", -3, 8);

    HighscoreView view(&table);
    const std::vector<std::string> expected{Header + " @ 30,40 in 255,255,255",
                                            row("Alpha............5.......8", 70, Green)};
    EXPECT_EQ(labels(view), expected);
    // The map that cannot be loaded is logged and leaves no gap.
    EXPECT_NE(m_dir.readFile("ErrorLog.txt").find("maps/gone.map"), std::string::npos);

    EXPECT_TRUE(view.keyDown(SDLK_SPACE, false, false, false));
    EXPECT_EQ(view.getPage(), 0);
    EXPECT_EQ(labels(view), expected);
    EXPECT_FALSE(view.keyDown(SDLK_a, false, false, false));
    EXPECT_FALSE(view.keyDown(SDLK_DOWN, false, false, false));
    EXPECT_FALSE(view.isDone());
    EXPECT_TRUE(view.keyDown(SDLK_ESCAPE, false, false, false));
    EXPECT_TRUE(view.isDone());

    HighscoreView other(&table);
    EXPECT_TRUE(other.keyDown(SDLK_RETURN, false, false, true));
    EXPECT_TRUE(other.isDone());

    // An empty table shows the header alone.
    HighscoreTable empty;
    EXPECT_EQ(labels(HighscoreView(&empty)).size(), 1u);
}
