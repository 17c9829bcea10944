#include "game/play/ScoreBoard.h"

#include "tests/game/play/RoundFixture.h"

using namespace RoundSupport;
using P = Probe;

namespace
{

// The mark for "none": an opaque square in the middle of the otherwise clear last tile.
constexpr Color MarkColor{10, 250, 10, 255}, Black{0, 0, 0, 255};
// comic_medium's glyphs are 16 pixels wide: the numbers take 7 glyphs ending at x 700.
constexpr int TextX = 700 - 7 * 16;

constexpr auto rowY = [](int kind) { return 150 + 28 * kind; };

using Results = WormSprite::Results;

// The pixels of the area of a row's number, or of the bottom left corner with the banner.
std::vector<unsigned char> area(int x, int y, int w, int h)
{
    std::vector<unsigned char> rgb(static_cast<std::size_t>(w * h * 3));
    glReadPixels(x, TestSupport::WindowHeight - y - h, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    return rgb;
}

class ScoreBoardTest : public RoundTest
{
protected:
    void SetUp() override
    {
        RoundTest::SetUp();
        writePicture(dir().file("marked.png"), 256, 256, [](int x, int y) {
            const bool mark = x >= 244 && y >= 244 && x < 252 && y < 252;
            return y < 16 && x < 96 ? AppleColors[x / 16] : (mark ? MarkColor : Color());
        });
    }
};

} // namespace

TEST_F(ScoreBoardTest, RowsShowApplesSpreadByCountWithNoneMarkedAndRightAlignedPointsInTheFramedPicture)
{
    // Normal 3 (18 apart), super none, rotten 2, turbo 200 (2 apart, all fit), beer 300 (cut off).
    ScoreBoard board(Results{{3, 0, 2, 200, 300, 1}, -1234}, false, "marked.png");
    glClear(GL_COLOR_BUFFER_BIT);
    board.draw();
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_FALSE(showsAll({P{20, 20, Black}})) << "the picture's frame lies outside the rows";
    EXPECT_TRUE(showsAll(
        {P{117, rowY(0) + 8, Black}, P{118, rowY(0) + 8, AppleColors[0]}, P{151, rowY(0) + 8, AppleColors[0]},
         P{152, rowY(0) + 8, Black}, P{100, rowY(1), AppleColors[1]}, P{108, rowY(1) + 8, MarkColor},
         P{116, rowY(1) + 8, Black},
         // Turbo's last apple at 498; 300 beer apples stop before the first x beyond 669 - 7 glyphs, at 556.
         P{513, rowY(3) + 8, AppleColors[3]}, P{514, rowY(3) + 8, Black}, P{571, rowY(4) + 8, AppleColors[4]},
         P{572, rowY(4) + 8, Black}}));
    // Points of each kind, right-aligned in seven glyphs; the score in orange below them.
    const auto numbers = [] { return area(TextX - 16, rowY(0), 7 * 16 + 24, rowY(7) - rowY(0)); };
    const auto shown = numbers();
    glClear(GL_COLOR_BUFFER_BIT);
    int row = 0;
    for (const char* text : {"     30", "      0", "    -20", "   4000", "  -1500", "     20", "  -1234"})
    {
        Fernhouse::GUI::Label label(ScoreBoard::FontName);
        label.setText(text);
        label.setPosition(TextX, rowY(row));
        label.setColor(row++ == 6 ? ScoreBoard::ScoreColor : Color(255, 255, 255, 255));
        label.draw();
    }
    EXPECT_EQ(shown, numbers());
    // The banner only for a new highscore.
    glClear(GL_COLOR_BUFFER_BIT);
    board.draw();
    const auto plain = area(0, 600 - 128, 512, 128);
    glClear(GL_COLOR_BUFFER_BIT);
    ScoreBoard(Results{}, true, "marked.png").draw();
    EXPECT_NE(area(0, 600 - 128, 512, 128), plain);
}

TEST_F(ScoreBoardTest, EndKeysCloseItLoadingErrorsLeaveNothingLoadedAndTheEndFreesEverything)
{
    for (const SDLKey key : {SDLK_RETURN, SDLK_SPACE, SDLK_ESCAPE})
    {
        ScoreBoard board(Results{}, false, "marked.png");
        EXPECT_FALSE(board.keyDown(SDLK_a, false, false, false) || board.isDone());
        EXPECT_TRUE(board.keyDown(key, true, false, false) && board.isDone()) << key;
    }
    Fernhouse::Graphics::TextureFactory& textures = *Fernhouse::Graphics::TextureFactory::getInstance();
    Fernhouse::Graphics::FontManager& fonts = *Fernhouse::Graphics::FontManager::getInstance();
    const std::size_t before = textures.getTextureMapCount();
    const auto held = [&] {
        return std::make_pair(textures.getTextureMapCount() - before,
                              fonts.getReferenceCount(ScoreBoard::FontName));
    };
    {
        const ScoreBoard board(Results{}, true, "marked.png");
        // Both pictures, the tileset and the font's sheet.
        EXPECT_EQ(held(), std::make_pair(std::size_t{4}, 1));
    }
    EXPECT_EQ(held(), std::make_pair(std::size_t{0}, 0));
    EXPECT_THROW(ScoreBoard(Results{}, true, "missing.png"), Fernhouse::Base::FileNotFoundException);
    EXPECT_EQ(held(), std::make_pair(std::size_t{0}, 0));
    fonts.setFontDirectory("nowhere/");
    EXPECT_THROW(ScoreBoard(Results{}, false, "marked.png"), Fernhouse::Base::FileNotFoundException);
    EXPECT_EQ(held(), std::make_pair(std::size_t{0}, 0));
    fonts.setFontDirectory("graphics/fonts/");
    std::filesystem::remove(dir().path() / "graphics" / "highscore.png");
    EXPECT_THROW(ScoreBoard(Results{}, true, "marked.png"), Fernhouse::Base::FileNotFoundException);
    EXPECT_EQ(held(), std::make_pair(std::size_t{0}, 0));
}
