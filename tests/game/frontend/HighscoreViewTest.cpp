#include "game/frontend/HighscoreView.h"

#include "game/play/MapFile.h"
#include "game/progress/HighscoreTable.h"

#include "tests/game/frontend/FrontFixture.h"

#include <algorithm>

using Fernhouse::Base::Color;
using Tarvo::HighscoreView;
using HighscoreViewTest = FrontSupport::WorldTest;

// A map that cannot be loaded is logged and leaves no gap.
TEST_F(HighscoreViewTest, SpaceTurnsPagesOfTenRowsDrawnAsLabelsInAlternatingColours)
{
    const std::string header = "MAP          SCORE  LENGTH";
    const std::string hint = "-PRESS SPACE FOR NEXT PAGE-";
    Tarvo::HighscoreTable table;
    const auto submit = [&table](const std::string& title, int score, int length) {
        Tarvo::MapFile map(1, 2, 2);
        map.setName(title);
        map.setGraphicsFileName("graphics/tilesets/meadow.png");
        map.save("maps/" + title + ".map");
        table.submit("maps/" + title + ".map", score, length);
    };
    const auto texts = [](const HighscoreView& view) {
        std::vector<std::string> result;
        std::transform(
            view.getChildren().begin(), view.getChildren().end(), std::back_inserter(result),
            [](auto* label) { return dynamic_cast<const Fernhouse::GUI::Label&>(*label).getText(); });
        return result;
    };
    HighscoreView empty(&table);
    EXPECT_TRUE(empty.keyDown(SDLK_SPACE, false, false, false) && texts(empty) == std::vector{header});
    std::filesystem::create_directory("maps");
    for (int i = 0; i < 10; ++i)
    {
        submit("Map " + std::to_string(i), i, 100 + i);
    }
    submit("Garden", 120, 15);
    table.submit("maps/gone.map", 1, 1);
    submit("Castle Walls", 12345678, 256);
    HighscoreView view(&table);
    view.setPosition(25, 160);
    const std::vector<std::string> first = texts(view);
    EXPECT_EQ(std::tuple(first.size(), first.at(10), first.at(11)),
              std::tuple(12u, std::string("Map 9............9.....109"), hint));
    EXPECT_TRUE(view.keyDown(SDLK_SPACE, false, false, false));
    view.draw();
    const std::vector<std::uint8_t> drawn = TestSupport::readFrame();
    EXPECT_NE(m_dir.readFile("ErrorLog.txt").find("maps/gone.map"), std::string::npos);
    glClear(GL_COLOR_BUFFER_BIT);
    for (const auto& [text, x, y, color] : {std::tuple{header, 30, 40, Color(255, 255, 255, 255)},
                                            {"Garden.........120......15", 30, 70, Color(83, 148, 28, 255)},
                                            {"Castle Wal.12345678.....256", 30, 100, Color(255, 90, 0, 255)},
                                            {hint, 20, 370, Color(255, 255, 255, 255)}})
    {
        Fernhouse::GUI::Label label("comic_medium");
        label.setText(text);
        label.setPosition(25 + x, 160 + y);
        label.setColor(color);
        label.draw();
    }
    // Compared whole, so that a row in the wrong colour, place or text shows as a difference.
    EXPECT_TRUE(drawn == TestSupport::readFrame());
    EXPECT_NE(drawn, std::vector<std::uint8_t>(drawn.size(), 0));

    EXPECT_TRUE(view.keyDown(SDLK_SPACE, true, true, false) && texts(view) == first);
    EXPECT_TRUE(view.keyDown(SDLK_ESCAPE, false, false, false) && view.isDone());
    EXPECT_TRUE(empty.keyDown(SDLK_RETURN, false, false, true) && empty.isDone());
}
