#include "game/frontend/HighscoreView.h"

#include "engine/graphics/Label.h"

#include "game/play/MapFile.h"
#include "game/progress/HighscoreTable.h"

#include "tests/game/frontend/FrontFixture.h"
#include "tests/support/PngWriter.h"

#include <memory>
#include <vector>

using Fernhouse::Base::Color;
using Tarvo::HighscoreView;

namespace
{

using Texts = std::vector<std::string>;

// A highscore table over maps of our own in the working directory.
class HighscoreViewTest : public FrontSupport::WorldTest
{
protected:
    void submit(const std::string& title, int score, int length)
    {
        const std::string path = "maps/" + title + ".map";
        Tarvo::MapFile map(1, 2, 2);
        map.setName(title);
        map.setGraphicsFileName("graphics/tilesets/meadow.png");
        std::filesystem::create_directories("maps");
        map.save(path);
        m_table->submit(path, score, length);
    }

    static Texts texts(const HighscoreView& view)
    {
        Texts result;
        for (Fernhouse::Base::Entity* label : view.getChildren())
        {
            result.push_back(dynamic_cast<const Fernhouse::GUI::Label&>(*label).getText());
        }
        return result;
    }

    std::unique_ptr<Tarvo::HighscoreTable> m_table = std::make_unique<Tarvo::HighscoreTable>();
};

const std::string Header = "MAP          SCORE  LENGTH";
const std::string Hint = "-PRESS SPACE FOR NEXT PAGE-";

} // namespace

// A later page starts again at the top in green; a map that cannot be loaded is logged and leaves no gap.
// Titles are cut to ten characters, numbers right-aligned, all of it placed from the view's position.
TEST_F(HighscoreViewTest, APageDrawsItsRowsAsLabelsInAlternatingColoursUnderTheHeader)
{
    for (int i = 0; i < 10; ++i)
    {
        submit("Map " + std::to_string(i), i, i);
    }
    submit("Garden", 120, 15);
    m_table->submit("maps/gone.map", 1, 1);
    submit("Castle Walls", 12345678, 256);
    HighscoreView view(m_table.get());
    view.setPosition(25, 160);
    EXPECT_TRUE(view.keyDown(SDLK_SPACE, false, false, false));
    view.draw();
    const std::vector<std::uint8_t> drawn = TestSupport::readFrame();
    EXPECT_NE(m_dir.readFile("ErrorLog.txt").find("maps/gone.map"), std::string::npos);

    glClear(GL_COLOR_BUFFER_BIT);
    for (const auto& [text, x, y, color] : {std::tuple{Header, 30, 40, Color(255, 255, 255, 255)},
                                            {"Garden.........120......15", 30, 70, Color(83, 148, 28, 255)},
                                            {"Castle Wal.12345678.....256", 30, 100, Color(255, 90, 0, 255)},
                                            {Hint, 20, 370, Color(255, 255, 255, 255)}})
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
}

// Space turns pages of ten rows when there is more than one, whatever the modifiers, and wraps; Escape and
// Return close the view, and other keys pass on.
TEST_F(HighscoreViewTest, SpaceTurnsPagesOfTenAndEscapeOrReturnClose)
{
    EXPECT_EQ(texts(HighscoreView(m_table.get())), Texts{Header});
    submit("Map 0", 0, 100);
    HighscoreView single(m_table.get());
    EXPECT_TRUE(single.keyDown(SDLK_SPACE, false, false, false));
    EXPECT_EQ(texts(single), (Texts{Header, "Map 0............0.....100"}));
    for (int i = 1; i < 11; ++i)
    {
        submit("Map " + std::to_string(i), i, 100 + i);
    }
    HighscoreView view(m_table.get());
    const Texts first = texts(view);
    ASSERT_EQ(first.size(), 12u);
    EXPECT_EQ(first[10], "Map 9............9.....109");
    EXPECT_EQ(first[11], Hint);
    EXPECT_TRUE(view.keyDown(SDLK_SPACE, false, false, false));
    EXPECT_EQ(texts(view), (Texts{Header, "Map 10..........10.....110", Hint}));
    EXPECT_TRUE(view.keyDown(SDLK_SPACE, true, true, false));
    EXPECT_EQ(texts(view), first);
    EXPECT_FALSE(view.keyDown(SDLK_a, false, false, false));
    EXPECT_FALSE(view.keyDown(SDLK_DOWN, false, false, false));
    EXPECT_FALSE(view.isDone());
    EXPECT_TRUE(view.keyDown(SDLK_ESCAPE, false, false, false));
    EXPECT_TRUE(view.isDone());
    EXPECT_TRUE(single.keyDown(SDLK_RETURN, false, false, true));
    EXPECT_TRUE(single.isDone());
}
