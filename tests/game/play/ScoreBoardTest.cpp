#include "game/play/ScoreBoard.h"

#include "engine/base/Color.h"
#include "engine/base/Exception.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/Image.h"
#include "engine/graphics/Label.h"
#include "engine/graphics/TextureFactory.h"

#include "game/play/WormSprite.h"

#include "tests/support/GLWindow.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TempDir.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <filesystem>
#include <string>
#include <type_traits>
#include <vector>

using Fernhouse::Base::Color;
using Tarvo::ScoreBoard;
using Tarvo::WormSprite;

static_assert(!std::is_copy_constructible_v<ScoreBoard> && !std::is_copy_assignable_v<ScoreBoard>);

namespace
{

namespace fs = std::filesystem;

constexpr int Tile = 16;
constexpr int SheetSide = 256;
// One flat colour per apple kind, and the mark for none: an opaque square in the middle of a clear tile.
constexpr Color AppleColors[6] = {{200, 0, 0, 255},   {255, 215, 0, 255},  {90, 60, 20, 255},
                                  {0, 200, 255, 255}, {230, 160, 30, 255}, {255, 120, 200, 255}};
constexpr Color MarkColor{10, 250, 10, 255};
constexpr int MarkInset = 4;
// comic_medium's glyphs are 16 pixels wide, so the numbers take 7 x 16 pixels ending at x 700.
constexpr int TextX = 700 - 7 * 16;
constexpr int LastAppleX = 669 - 7 * 16;

int rowY(int kind)
{
    return 150 + 28 * kind;
}

void writeTileset(const std::string& path)
{
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(SheetSide * SheetSide) * 4, 0);
    auto fill = [&](int left, int top, int side, const Color& c) {
        for (int y = top; y < top + side; ++y)
        {
            for (int x = left; x < left + side; ++x)
            {
                const auto at = static_cast<std::size_t>(y * SheetSide + x) * 4;
                rgba[at] = c.r;
                rgba[at + 1] = c.g;
                rgba[at + 2] = c.b;
                rgba[at + 3] = c.a;
            }
        }
    };
    for (int kind = 0; kind < 6; ++kind)
    {
        fill(kind * Tile, 0, Tile, AppleColors[kind]);
    }
    fill(240 + MarkInset, 240 + MarkInset, Tile - 2 * MarkInset, MarkColor);
    TestSupport::writePng(path, SheetSide, SheetSide, rgba);
}

WormSprite::Results results(std::array<std::uint32_t, 6> eaten, std::int32_t score)
{
    WormSprite::Results r;
    r.applesEaten = eaten;
    r.score = score;
    r.length = 40;
    r.topSpeed = 5.0f;
    return r;
}

// The game's pictures and fonts, a flat test tileset, and the screen's blending.
class ScoreBoardTest : public TestSupport::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        const fs::path source(TARVO_SOURCE_DIR);
        fs::create_directory(m_dir.path() / "graphics");
        for (const char* picture : {"scoreboard_back.png", "highscore.png"})
        {
            fs::create_symlink(source / "graphics" / picture, m_dir.path() / "graphics" / picture);
        }
        fs::create_directory_symlink(source / "graphics" / "fonts", m_dir.path() / "graphics" / "fonts");
        writeTileset(m_dir.file("tiles.png"));
    }

    // The RGB of one pixel of the current frame.
    static Color at(int x, int y)
    {
        const auto p = TestSupport::pixel(x, y);
        return Color(static_cast<std::uint8_t>(p[0]), static_cast<std::uint8_t>(p[1]),
                     static_cast<std::uint8_t>(p[2]), 255);
    }

    static std::vector<unsigned char> capture(int x, int y, int w, int h)
    {
        std::vector<unsigned char> rgb(static_cast<std::size_t>(w * h * 3));
        glReadPixels(x, TestSupport::WindowHeight - y - h, w, h, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        return rgb;
    }

    // The number area of a row as a label of the expected text draws it on a black screen.
    static std::vector<unsigned char> expectedNumber(const std::string& text, int y, const Color& color)
    {
        glClear(GL_COLOR_BUFFER_BIT);
        Fernhouse::GUI::Label label(ScoreBoard::FontName);
        label.setText(text);
        label.setPosition(TextX, y);
        label.setColor(color);
        label.draw();
        return capture(TextX - 16, y, 7 * 16 + 24, 16);
    }

    TestSupport::TempDir m_dir;
    TestSupport::ScopedWorkingDirectory m_cwd{m_dir.path()};
    Fernhouse::Graphics::TextureFactory m_factory;
    Fernhouse::Graphics::FontManager m_fonts{"graphics/fonts/", ".png"};
};

const Color Black(0, 0, 0, 255);
const Color White(255, 255, 255, 255);

} // namespace

TEST_F(ScoreBoardTest, RowsShowApplesSpreadByCountWithNoneMarkedAndRightAlignedPoints)
{
    // Normal 3 (18 apart), super none, rotten 2, turbo 200 (2 apart, all fit), beer 300 (cut off), cake 1.
    ScoreBoard board(results({3, 0, 2, 200, 300, 1}, -1234), false, "tiles.png");
    glClear(GL_COLOR_BUFFER_BIT);
    board.draw();
    ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    const auto drawn = capture(0, 0, TestSupport::WindowWidth, TestSupport::WindowHeight);
    auto drawnArea = [&](int x0, int y0, int w, int h) {
        std::vector<unsigned char> part;
        // Bottom row first, as glReadPixels gives them.
        for (int y = y0 + h - 1; y >= y0; --y)
        {
            const std::ptrdiff_t row = (TestSupport::WindowHeight - 1 - y) * TestSupport::WindowWidth;
            part.insert(part.end(), drawn.begin() + (row + x0) * 3, drawn.begin() + (row + x0 + w) * 3);
        }
        return part;
    };

    // Three normal apples 18 pixels apart: 100, 118, 136, and nothing after the last.
    EXPECT_EQ(at(100, rowY(0)), AppleColors[0]);
    EXPECT_EQ(at(115, rowY(0) + 15), AppleColors[0]);
    EXPECT_EQ(at(117, rowY(0) + 8), Black);
    EXPECT_EQ(at(118, rowY(0) + 8), AppleColors[0]);
    EXPECT_EQ(at(151, rowY(0) + 8), AppleColors[0]);
    EXPECT_EQ(at(152, rowY(0) + 8), Black);

    // No super apple: the apple with the mark for none over it.
    EXPECT_EQ(at(100, rowY(1)), AppleColors[1]);
    EXPECT_EQ(at(108, rowY(1) + 8), MarkColor);
    EXPECT_EQ(at(116, rowY(1) + 8), Black);

    // 200 apples 2 pixels apart all fit: the last starts at 498.
    EXPECT_EQ(at(513, rowY(3) + 8), AppleColors[3]);
    EXPECT_EQ(at(514, rowY(3) + 8), Black);
    // 300 apples stop before the first x beyond 669 - 7 glyphs: the last starts at 556.
    static_assert(LastAppleX == 557);
    EXPECT_EQ(at(556 + Tile - 1, rowY(4) + 8), AppleColors[4]);
    EXPECT_EQ(at(556 + Tile, rowY(4) + 8), Black);
    // One apple, and rows keep to their 28 pixels.
    EXPECT_EQ(at(115, rowY(5) + 15), AppleColors[5]);
    EXPECT_EQ(at(100, rowY(5) + 16), Black);
    EXPECT_EQ(at(116, rowY(5)), Black);

    // Points of each kind, right-aligned in seven glyphs; the score in orange below them.
    const std::vector<std::string> numbers{"     30", "      0", "    -20", "   4000", "  -1500", "     20"};
    std::vector<std::vector<unsigned char>> shown;
    for (int kind = 0; kind < 6; ++kind)
    {
        shown.push_back(drawnArea(TextX - 16, rowY(kind), 7 * 16 + 24, 16));
    }
    const auto shownScore = drawnArea(TextX - 16, rowY(6), 7 * 16 + 24, 16);
    for (int kind = 0; kind < 6; ++kind)
    {
        EXPECT_TRUE(shown[static_cast<std::size_t>(kind)] ==
                    expectedNumber(numbers[static_cast<std::size_t>(kind)], rowY(kind), White))
            << "row " << kind;
    }
    EXPECT_TRUE(shownScore == expectedNumber("  -1234", rowY(6), ScoreBoard::ScoreColor));
    EXPECT_FALSE(shownScore == expectedNumber("  -1234", rowY(6), White));
}

TEST_F(ScoreBoardTest, BackgroundCoversAllButTheRowsAndTheBannerComesOnlyWithANewHighscore)
{
    ScoreBoard plain(results({1, 1, 1, 1, 1, 1}, 100), false, "tiles.png");
    ASSERT_EQ(plain.getChildren().size(), 1u);
    EXPECT_EQ(plain.getHighscoreImage(), nullptr);
    glClear(GL_COLOR_BUFFER_BIT);
    plain.draw();
    // The picture's frame lies over anything outside the window on the rows.
    EXPECT_NE(at(20, 20), Black);
    EXPECT_EQ(at(100, rowY(0)), AppleColors[0]);
    const auto withoutBanner = capture(0, 472, 512, 128);

    ScoreBoard best(results({1, 1, 1, 1, 1, 1}, 100), true, "tiles.png");
    ASSERT_EQ(best.getChildren().size(), 2u);
    ASSERT_NE(best.getHighscoreImage(), nullptr);
    EXPECT_EQ(best.getChildren()[1], best.getHighscoreImage());
    EXPECT_EQ(best.getHighscoreImage()->getPosition(), Fernhouse::Base::Point(0, 600 - 128));
    glClear(GL_COLOR_BUFFER_BIT);
    best.draw();
    EXPECT_FALSE(capture(0, 472, 512, 128) == withoutBanner);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(ScoreBoardTest, ReturnSpaceOrEscapeEndTheDisplayAndOtherKeysPassOn)
{
    for (const SDLKey key : {SDLK_RETURN, SDLK_SPACE, SDLK_ESCAPE})
    {
        ScoreBoard board(results({}, 0), false, "tiles.png");
        EXPECT_FALSE(board.keyDown(SDLK_a, false, false, false));
        EXPECT_FALSE(board.keyDown(SDLK_DOWN, false, false, false));
        EXPECT_FALSE(board.isDone());
        EXPECT_TRUE(board.keyDown(key, true, false, false)) << key;
        EXPECT_TRUE(board.isDone()) << key;
    }
}

TEST_F(ScoreBoardTest, LoadingErrorsLeaveNothingLoadedAndTheEndFreesEverything)
{
    {
        ScoreBoard board(results({}, 0), true, "tiles.png");
        // Both pictures, the tileset and the font's sheet.
        EXPECT_EQ(m_factory.getTextureMapCount(), 4u);
        EXPECT_EQ(m_fonts.getReferenceCount(ScoreBoard::FontName), 1);
    }
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);
    EXPECT_EQ(m_fonts.getReferenceCount(ScoreBoard::FontName), 0);

    try
    {
        ScoreBoard board(results({}, 0), true, "missing.png");
        ADD_FAILURE() << "a missing tileset was accepted";
    }
    catch (const Fernhouse::Base::FileNotFoundException& e)
    {
        EXPECT_EQ(e.getMessage(), "Could not load file: missing.png");
    }
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);

    m_fonts.setFontDirectory("nowhere/");
    EXPECT_THROW(ScoreBoard(results({}, 0), false, "tiles.png"), Fernhouse::Base::FileNotFoundException);
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);

    fs::remove(m_dir.path() / "graphics" / "highscore.png");
    EXPECT_THROW(ScoreBoard(results({}, 0), true, "tiles.png"), Fernhouse::Base::FileNotFoundException);
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);
}
