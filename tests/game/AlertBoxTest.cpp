#include "game/AlertBox.h"

#include "engine/base/Application.h"
#include "engine/base/Entity.h"
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
#include <type_traits>
#include <vector>

using Fernhouse::Base::Application;
using Fernhouse::Base::Entity;
using Fernhouse::Base::EventRouter;
using Fernhouse::Base::GameTime;
using Tarvo::AlertBox;
using TestSupport::pixel;

static_assert(!std::is_copy_constructible_v<AlertBox> && !std::is_copy_assignable_v<AlertBox>);

namespace
{

constexpr std::array<int, 3> Green{83, 148, 28};
constexpr std::array<int, 3> Orange{255, 90, 0};

class TestApp final : public Application
{
public:
    TestApp()
    {
        init("Tarvo test", 800, 600, 32, false, 44100, AUDIO_S16LSB, 16, 2048);
        getFontManager()->setFontDirectory(std::string(TARVO_SOURCE_DIR) + "/graphics/fonts/");
    }

    int run() override { return 0; }
};

// Fills the screen, so that the veil has something to darken.
class Backdrop final : public Entity
{
public:
    void draw() override
    {
        glColor4ub(200, 100, 50, 255);
        glBegin(GL_QUADS);
        glVertex2i(0, 0);
        glVertex2i(800, 0);
        glVertex2i(800, 600);
        glVertex2i(0, 600);
        glEnd();
        glColor4ub(255, 255, 255, 255);
    }
};

// Sees each finished frame of the box, after the box and its labels are drawn, and can end the loop. The
// box deletes itself, so what the test reads afterwards lives outside it.
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

void pushKey(SDLKey key)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = key;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

bool is(const std::array<int, 4>& p, const std::array<int, 3>& c)
{
    return p[0] == c[0] && p[1] == c[1] && p[2] == c[2];
}

// How many pixels of the row span [x0, x1] have exactly the colour c.
int countInRow(int y, int x0, int x1, const std::array<int, 3>& c)
{
    int count = 0;
    for (int x = x0; x <= x1; ++x)
    {
        count += is(pixel(x, y), c) ? 1 : 0;
    }
    return count;
}

// How many pixels of the rows [y0, y1] between x0 and x1 have exactly the colour c.
int countIn(int x0, int y0, int x1, int y1, const std::array<int, 3>& c)
{
    int count = 0;
    for (int y = y0; y <= y1; ++y)
    {
        count += countInRow(y, x0, x1, c);
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

    TestSupport::FakeClock m_ticks{0};
    TestApp m_app;
};

} // namespace

TEST_F(AlertBoxTest, ShowsTheMessageOverAVeilUntilAKeyWithGameTimeStopped)
{
    Backdrop backdrop;
    m_app.getScreen()->addChild(&backdrop);
    int draws = 0;
    auto* box =
        new WatchedAlertBox("Error", "Something broke badly", draws, [&](const AlertBox& shown, int n) {
            m_ticks.advance(5000);
            if (n < 2)
            {
                return;
            }
            // Box 386 x 98 at (207, 251) around a 336-pixel message, framed two pixels wide.
            EXPECT_EQ(shown.getBoxX(), 207);
            EXPECT_EQ(shown.getBoxY(), 251);
            EXPECT_EQ(shown.getBoxWidth(), 386);
            EXPECT_EQ(shown.getBoxHeight(), 98);
            EXPECT_RGB_NEAR(pixel(10, 10), 59, 29, 15, 1);
            EXPECT_RGB_NEAR(pixel(204, 249), 59, 29, 15, 1);
            EXPECT_RGB_NEAR(pixel(595, 350), 59, 29, 15, 1);
            EXPECT_RGB(pixel(205, 249), 83, 148, 28);
            EXPECT_RGB(pixel(206, 250), 83, 148, 28);
            EXPECT_RGB(pixel(594, 350), 83, 148, 28);
            EXPECT_RGB(pixel(207, 251), 0, 0, 0);
            EXPECT_RGB(pixel(592, 348), 0, 0, 0);
            // The title (80 x 16) centred at (360, 276) in green, the message (336 x 16) at (232, 308) in
            // orange; nothing of either outside its place.
            EXPECT_GT(countIn(360, 276, 439, 291, Green), 0);
            EXPECT_EQ(countIn(207, 276, 359, 291, Green), 0);
            EXPECT_EQ(countIn(440, 276, 592, 291, Green), 0);
            EXPECT_GT(countIn(232, 308, 567, 323, Orange), 0);
            EXPECT_EQ(countIn(207, 308, 231, 323, Orange), 0);
            EXPECT_EQ(countIn(568, 308, 592, 323, Orange), 0);
            EXPECT_EQ(countIn(207, 292, 592, 307, Green) + countIn(207, 292, 592, 307, Orange), 0);
            pushKey(SDLK_a);
        });

    box->show();

    EXPECT_EQ(draws, 2);
    // The box is gone from the screen and the router.
    ASSERT_EQ(m_app.getScreen()->getChildren().size(), 1u);
    EXPECT_EQ(m_app.getScreen()->getChildren().front(), &backdrop);
    EXPECT_TRUE(m_app.getEventRouter()->getHandlers().empty());
    // Ten seconds passed on the tick counter, none of them in game time, and the clock runs again.
    EXPECT_FALSE(m_app.getGameTime()->isStopped());
    m_app.getGameTime()->update();
    EXPECT_EQ(m_app.getGameTime()->getTime(), 1000u);
    m_ticks.advance(250);
    m_app.getGameTime()->update();
    EXPECT_EQ(m_app.getGameTime()->getTime(), 1250u);
    m_app.getScreen()->removeChild(&backdrop);
}

TEST_F(AlertBoxTest, TakesEveryKeyBeforeOlderHandlersAndSizesTheBoxByTheWiderText)
{
    // A handler registered earlier never sees the key that closes the box.
    struct Witness final : Fernhouse::Base::EventHandler
    {
        bool keyDown(SDLKey, bool, bool, bool) override
        {
            ++keys;
            return true;
        }

        int keys = 0;
    } witness;

    m_app.getEventRouter()->addHandler(&witness);

    int draws = 0;
    auto* box = new WatchedAlertBox("A MUCH LONGER TITLE", "ERR", draws, [](const AlertBox& shown, int) {
        EXPECT_EQ(shown.getBoxWidth(), 19 * 16 + 50);
        EXPECT_EQ(shown.getBoxHeight(), 3 * 16 + 50);
        EXPECT_EQ(shown.getBoxX(), (800 - 354) / 2);
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.keysym.sym = SDLK_RETURN;
        event.key.keysym.mod = KMOD_LALT;
        SDL_PushEvent(&event);
    });
    box->show();

    EXPECT_EQ(draws, 1);
    EXPECT_EQ(witness.keys, 0);
    ASSERT_EQ(m_app.getEventRouter()->getHandlers().size(), 1u);
    EXPECT_EQ(m_app.getEventRouter()->getHandlers().front(), &witness);
    m_app.getEventRouter()->removeHandler(&witness);
}

TEST_F(AlertBoxTest, QuitEventClosesItBeforeAnyFrame)
{
    int draws = 0;
    auto* box = new WatchedAlertBox("Error", "Window closed", draws, [](const AlertBox&, int) {});
    m_app.getEventRouter()->pushQuit();
    box->show();
    EXPECT_EQ(draws, 0);
    EXPECT_TRUE(m_app.getScreen()->getChildren().empty());
    EXPECT_TRUE(m_app.getEventRouter()->getHandlers().empty());
    EXPECT_FALSE(m_app.getGameTime()->isStopped());
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
        EXPECT_EQ(draws, 1);
        return rows;
    };
    const auto substituted = messageRows("bad ?value? 100??next ?line?");
    EXPECT_EQ(messageRows("bad \"value\" 100%\nnext [line]"), substituted);
    EXPECT_NE(messageRows("bad  value  100  next  line "), substituted);
}

TEST_F(AlertBoxTest, MissingFontThrowsAndStillRemovesTheBox)
{
    auto* box = new AlertBox("Error", "Message", "no_such_font");
    EXPECT_THROW(box->show(), Fernhouse::Base::FileNotFoundException);
    EXPECT_TRUE(m_app.getScreen()->getChildren().empty());
    EXPECT_TRUE(m_app.getEventRouter()->getHandlers().empty());
}
