#include "game/frontend/AlertBox.h"

#include "engine/base/Application.h"
#include "engine/base/EventRouter.h"
#include "engine/base/Exception.h"
#include "engine/base/GameTime.h"
#include "engine/base/Screen.h"
#include "engine/graphics/FontManager.h"

#include "tests/support/FakeClock.h"
#include "tests/support/GLWindow.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

using Tarvo::AlertBox;
using TestSupport::pixel;

namespace
{

class TestApp final : public Fernhouse::Base::Application
{
public:
    TestApp()
    {
        init("Tarvo test", 800, 600, 32, false, 44100, AUDIO_S16LSB, 16, 2048);
        getFontManager()->setFontDirectory(std::string(TARVO_SOURCE_DIR) + "/graphics/fonts/");
    }

    int run() override { return 0; }
};

// Sees each finished frame, after the box and its labels are drawn, and can end the loop by pushing a key.
// The box deletes itself, so the draw count lives outside it.
class WatchedAlertBox final : public AlertBox
{
public:
    WatchedAlertBox(const std::string& title, const std::string& message, int& draws,
                    std::function<void(const AlertBox&, int)> onDraw)
        : AlertBox(title, message, "fixed_medium"),
          m_draws(draws),
          m_onDraw(std::move(onDraw))
    {
    }

    void draw() override
    {
        AlertBox::draw();
        m_onDraw(*this, ++m_draws);
    }

private:
    int& m_draws;
    std::function<void(const AlertBox&, int)> m_onDraw;
};

void pushKey(SDLKey key, SDLMod mod = KMOD_NONE)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    event.key.keysym.mod = mod;
    SDL_PushEvent(&event);
}

// Pixels of exactly (r, g, b) in the rectangle from (x0, y0) to (x1, y1) inclusive.
int countIn(int x0, int y0, int x1, int y1, int r, int g, int b)
{
    int count = 0;
    for (int y = y0; y <= y1; ++y)
    {
        for (int x = x0; x <= x1; ++x)
        {
            const std::array<int, 4> p = pixel(x, y);
            count += p[0] == r && p[1] == g && p[2] == b ? 1 : 0;
        }
    }
    return count;
}

class AlertBoxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(m_app.getScreen(), nullptr) << SDL_GetError();
        SDL_Event event;
        while (SDL_PollEvent(&event) != 0)
        {
        }
        m_app.getGameTime()->start();
        m_ticks.set(1000);
        m_app.getGameTime()->update();
    }

    TestSupport::FakeClock m_ticks;
    TestApp m_app;
};

} // namespace

TEST_F(AlertBoxTest, ShowsTheMessageOverAVeilUntilAKeyWithGameTimeStopped)
{
    // A backdrop for the veil to darken, and an older handler that must not see the closing key.
    struct Witness final : Fernhouse::Base::EventHandler
    {
        bool keyDown(SDLKey, bool, bool, bool) override { return ++keys > 0; }

        int keys = 0;
    } witness;

    m_app.getEventRouter()->addHandler(&witness);
    m_app.getScreen()->setBackgroundColor(Fernhouse::Base::Color(200, 100, 50, 255));

    int draws = 0;
    auto* box =
        new WatchedAlertBox("Error", "Something broke badly", draws, [&](const AlertBox& shown, int n) {
            m_ticks.advance(5000);
            if (n < 2)
            {
                // The box sleeps between events and draws again after each, as after the window was uncovered.
                SDL_Event expose{};
                expose.type = SDL_VIDEOEXPOSE;
                SDL_PushEvent(&expose);
                return;
            }
            // A 386 x 98 box at (207, 251), 50 pixels wider than the 336-pixel message, framed two pixels wide.
            EXPECT_EQ(shown.getBoxX(), 207);
            EXPECT_EQ(shown.getBoxY(), 251);
            EXPECT_EQ(shown.getBoxWidth(), 386);
            EXPECT_EQ(shown.getBoxHeight(), 98);
            EXPECT_RGB_NEAR(pixel(10, 10), 59, 29, 15, 1);
            EXPECT_RGB_NEAR(pixel(204, 249), 59, 29, 15, 1);
            EXPECT_RGB(pixel(205, 249), 83, 148, 28);
            EXPECT_RGB(pixel(594, 350), 83, 148, 28);
            EXPECT_RGB(pixel(207, 251), 0, 0, 0);
            EXPECT_RGB(pixel(592, 348), 0, 0, 0);
            // The title (80 x 16) centred at (360, 276) in green, the message at (232, 308) in orange.
            EXPECT_GT(countIn(360, 276, 439, 291, 83, 148, 28), 0);
            EXPECT_EQ(countIn(207, 276, 359, 291, 83, 148, 28) + countIn(440, 276, 592, 291, 83, 148, 28), 0);
            EXPECT_GT(countIn(232, 308, 567, 323, 255, 90, 0), 0);
            EXPECT_EQ(countIn(207, 308, 231, 323, 255, 90, 0) + countIn(568, 308, 592, 323, 255, 90, 0), 0);
            pushKey(SDLK_RETURN, KMOD_LALT);
        });
    box->show();

    EXPECT_EQ(draws, 2);
    EXPECT_EQ(witness.keys, 0);
    EXPECT_TRUE(m_app.getScreen()->getChildren().empty());
    ASSERT_EQ(m_app.getEventRouter()->getHandlers().size(), 1u);
    m_app.getEventRouter()->removeHandler(&witness);
    // Ten seconds passed on the tick counter, none of them in game time, and the clock runs again.
    m_app.getGameTime()->update();
    EXPECT_EQ(m_app.getGameTime()->getTime(), 1000u);
    m_ticks.advance(250);
    m_app.getGameTime()->update();
    EXPECT_EQ(m_app.getGameTime()->getTime(), 1250u);
}

TEST_F(AlertBoxTest, QuitEventClosesItAndAMissingFontStillRemovesIt)
{
    int draws = 0;
    auto* box = new WatchedAlertBox("Error", "Window closed", draws, [](const AlertBox&, int) {});
    m_app.getEventRouter()->pushQuit();
    box->show();
    EXPECT_EQ(draws, 0);
    EXPECT_TRUE(m_app.getScreen()->getChildren().empty());
    EXPECT_TRUE(m_app.getEventRouter()->getHandlers().empty());
    EXPECT_FALSE(m_app.getGameTime()->isStopped());

    EXPECT_THROW((new AlertBox("Error", "Message", "no_such_font"))->show(),
                 Fernhouse::Base::FileNotFoundException);
    EXPECT_TRUE(m_app.getScreen()->getChildren().empty());
    EXPECT_TRUE(m_app.getEventRouter()->getHandlers().empty());
}

TEST_F(AlertBoxTest, BytesWithoutGlyphsAreShownAsQuestionMarks)
{
    // Messages of standard exceptions may hold quotes, percent signs or line ends.
    const auto messageRows = [&](const std::string& message) {
        std::vector<std::array<int, 4>> rows;
        int draws = 0;
        auto* box = new WatchedAlertBox("Error", message, draws, [&](const AlertBox&, int) {
            for (int y = 308; y < 324; ++y)
            {
                for (int x = 0; x < 800; ++x)
                {
                    rows.push_back(pixel(x, y));
                }
            }
            pushKey(SDLK_ESCAPE);
        });
        EXPECT_NO_THROW(box->show());
        return rows;
    };
    const auto substituted = messageRows("bad ?value? 100??next ?line?");
    EXPECT_EQ(messageRows("bad \"value\" 100%\nnext [line]"), substituted);
    EXPECT_NE(messageRows("bad  value  100  next  line "), substituted);
}

TEST_F(AlertBoxTest, LongMessagesWrapAtBlanksInsideTheScreenAndEndInDotsWhenTheyOverflowIt)
{
    struct Case
    {
        std::string message;
        int lines;
    };

    const std::string path = "filesystem error: directory iterator cannot open directory: No such file or "
                             "directory [/home/player/games/tarvo/maps]";
    const Case cases[] = {{path, 3}, {std::string(5000, 'x'), 32}};
    for (const Case& c : cases)
    {
        int draws = 0;
        int orangeLines = 0;
        int orangeOutside = 0;
        auto* box = new WatchedAlertBox("Error", c.message, draws, [&](const AlertBox& shown, int) {
            EXPECT_GE(shown.getBoxX(), 0);
            EXPECT_GE(shown.getBoxY(), 0);
            EXPECT_LE(shown.getBoxX() + shown.getBoxWidth(), 800);
            EXPECT_LE(shown.getBoxY() + shown.getBoxHeight(), 600);
            // Three lines of title, gap and message, and one more per further message line.
            EXPECT_EQ(shown.getBoxHeight(), (2 + c.lines) * 16 + 50);
            std::vector<unsigned char> frame(800 * 600 * 3);
            glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, frame.data());
            // Runs of pixel rows with orange in them, one per line of text; and orange beside the box.
            bool previous = false;
            for (int y = 0; y < 600; ++y)
            {
                bool orange = false;
                for (int x = 0; x < 800; ++x)
                {
                    const unsigned char* p = &frame[static_cast<std::size_t>((599 - y) * 800 + x) * 3];
                    if (p[0] == 255 && p[1] == 90 && p[2] == 0)
                    {
                        orange = true;
                        const bool inside = x >= shown.getBoxX() && x < shown.getBoxX() + shown.getBoxWidth();
                        orangeOutside += inside ? 0 : 1;
                    }
                }
                orangeLines += orange && !previous ? 1 : 0;
                previous = orange;
            }
            pushKey(SDLK_ESCAPE);
        });
        box->show();
        EXPECT_EQ(orangeLines, c.lines) << c.message.substr(0, 20);
        EXPECT_EQ(orangeOutside, 0);
    }
}
