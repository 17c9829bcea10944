#include "game/frontend/AlertBox.h"

#include "engine/base/Exception.h"
#include "engine/base/Screen.h"

#include "tests/game/frontend/FrontFixture.h"
#include "tests/support/PngWriter.h"

#include <array>
#include <functional>

using Tarvo::AlertBox;

namespace
{

// Hands each finished frame to the test, after the box and its labels are drawn.
class WatchedAlertBox final : public AlertBox
{
public:
    WatchedAlertBox(const std::string& message, std::function<void(const AlertBox&)> onDraw)
        : AlertBox("Error", message, "fixed_medium"),
          m_onDraw(std::move(onDraw))
    {
    }

    void draw() override
    {
        AlertBox::draw();
        m_onDraw(*this);
    }

private:
    std::function<void(const AlertBox&)> m_onDraw;
};

// The game's services with game time running on fake ticks.
class AlertBoxTest : public FrontSupport::AppTest
{
protected:
    void SetUp() override
    {
        m_app.getGameTime()->start();
        m_ticks.set(1000);
        m_app.getGameTime()->update();
    }

    // Shows a box with the message and returns the frame it drew again after the window was uncovered, when
    // Alt+Return closes it. Each frame takes five seconds of the tick counter.
    std::vector<std::uint8_t> show(const std::string& message)
    {
        std::vector<std::uint8_t> frame;
        m_draws = 0;
        (new WatchedAlertBox(message, [&](const AlertBox& box) {
            m_ticks.advance(5000);
            SDL_Event expose{};
            expose.type = SDL_VIDEOEXPOSE;
            SDL_PushEvent(&expose);
            if (++m_draws == 2)
            {
                frame = TestSupport::readFrame();
                m_box = {box.getBoxX(), box.getBoxY(), box.getBoxWidth(), box.getBoxHeight()};
                FrontSupport::pushKey(SDLK_RETURN, KMOD_LALT);
            }
        }))->show();
        return frame;
    }

    static std::array<int, 4> pixel(const std::vector<std::uint8_t>& frame, int x, int y)
    {
        const std::uint8_t* p = &frame[static_cast<std::size_t>(y * 800 + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }

    // Pixels of exactly (r, g, b) in the frame from (x0, y0) to (x1, y1) inclusive.
    static int count(const std::vector<std::uint8_t>& frame, int x0, int y0, int x1, int y1, int r, int g,
                     int b)
    {
        int found = 0;
        for (int y = y0; y <= y1; ++y)
        {
            for (int x = x0; x <= x1; ++x)
            {
                found += pixel(frame, x, y) == std::array<int, 4>{r, g, b, 255} ? 1 : 0;
            }
        }
        return found;
    }

    TestSupport::FakeClock m_ticks;
    int m_draws = 0;
    std::array<int, 4> m_box{}; // x, y, width, height
};

} // namespace

// The box sleeps between events and draws again after each; the key that closes it reaches nothing
// behind it, and the ten seconds it was shown do not count as game time.
TEST_F(AlertBoxTest, ShowsTheMessageOverAVeilUntilAKeyThatNothingBehindSees)
{
    struct Witness final : Fernhouse::Base::EventHandler
    {
        bool keyDown(SDLKey, bool, bool, bool) override { return ++keys > 0; }

        int keys = 0;
    } witness;

    router().addHandler(&witness);
    m_app.getScreen()->setBackgroundColor(Fernhouse::Base::Color(200, 100, 50, 255));
    const std::vector<std::uint8_t> frame = show("Something broke badly");
    EXPECT_EQ(m_draws, 2);
    EXPECT_EQ(witness.keys, 0);
    EXPECT_TRUE(m_app.getScreen()->getChildren().empty());
    EXPECT_EQ(router().getHandlers().size(), 1u);
    router().removeHandler(&witness);
    m_app.getGameTime()->update();
    EXPECT_EQ(m_app.getGameTime()->getTime(), 1000u);
    m_ticks.advance(250);
    m_app.getGameTime()->update();
    EXPECT_EQ(m_app.getGameTime()->getTime(), 1250u);

    // A 386 x 98 box at (207, 251), 50 pixels wider than the 336-pixel message, framed two pixels wide.
    EXPECT_RGB_NEAR(pixel(frame, 10, 10), 59, 29, 15, 1);
    EXPECT_RGB_NEAR(pixel(frame, 204, 249), 59, 29, 15, 1);
    EXPECT_RGB(pixel(frame, 205, 249), 83, 148, 28);
    EXPECT_RGB(pixel(frame, 594, 350), 83, 148, 28);
    EXPECT_RGB(pixel(frame, 207, 251), 0, 0, 0);
    EXPECT_RGB(pixel(frame, 592, 348), 0, 0, 0);
    // The title (80 x 16) centred at (360, 276) in green, the message at (232, 308) in orange.
    EXPECT_GT(count(frame, 360, 276, 439, 291, 83, 148, 28), 0);
    EXPECT_EQ(count(frame, 207, 276, 359, 291, 83, 148, 28) + count(frame, 440, 276, 592, 291, 83, 148, 28),
              0);
    EXPECT_GT(count(frame, 232, 308, 567, 323, 255, 90, 0), 0);
    EXPECT_EQ(count(frame, 207, 308, 231, 323, 255, 90, 0) + count(frame, 568, 308, 592, 323, 255, 90, 0), 0);
}

TEST_F(AlertBoxTest, AQuitEventClosesItAndAMissingFontStillTakesItDown)
{
    router().pushQuit();
    show("Window closed");
    EXPECT_EQ(m_draws, 0);
    EXPECT_FALSE(m_app.getGameTime()->isStopped());
    EXPECT_THROW((new AlertBox("Error", "Message", "no_such_font"))->show(),
                 Fernhouse::Base::FileNotFoundException);
    EXPECT_TRUE(m_app.getScreen()->getChildren().empty());
    EXPECT_TRUE(router().getHandlers().empty());
}

// A message wider than the screen wraps at blanks, one longer than it can hold ends in dots; the box grows
// a line for each. Bytes without a glyph (quotes, percent signs, line ends) are shown as question marks.
TEST_F(AlertBoxTest, LongMessagesWrapInsideTheScreenAndBytesWithoutGlyphsShowAsQuestionMarks)
{
    const std::string path = "filesystem error: directory iterator cannot open directory: No such file or "
                             "directory [/home/player/games/tarvo/maps]";
    for (const auto& [message, lines] : {std::pair{path, 3}, {std::string(5000, 'x'), 32}})
    {
        const std::vector<std::uint8_t> frame = show(message);
        const auto& [x, y, w, h] = m_box;
        EXPECT_TRUE(x >= 0 && y >= 0 && x + w <= 800 && y + h <= 600);
        EXPECT_EQ(h, (2 + lines) * 16 + 50);
        EXPECT_EQ(count(frame, 0, 0, x - 1, 599, 255, 90, 0) + count(frame, x + w, 0, 799, 599, 255, 90, 0),
                  0);
        int runs = 0;
        for (int row = 0, previous = 0; row < 600; ++row)
        {
            const int orange = count(frame, x, row, x + w - 1, row, 255, 90, 0) > 0 ? 1 : 0;
            runs += orange > previous ? 1 : 0;
            previous = orange;
        }
        EXPECT_EQ(runs, lines) << message.substr(0, 20);
    }
    const std::vector<std::uint8_t> substituted = show("bad ?value? 100??next ?line?");
    EXPECT_TRUE(show("bad \"value\" 100%\nnext [line]") == substituted);
    EXPECT_FALSE(show("bad  value  100  next  line ") == substituted);
}
