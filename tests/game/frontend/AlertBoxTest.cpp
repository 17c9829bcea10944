#include "game/frontend/AlertBox.h"

#include "tests/game/frontend/FrontFixture.h"

#include <algorithm>

using Tarvo::AlertBox;

namespace
{

struct WatchedAlertBox final : AlertBox
{
    using AlertBox::AlertBox;

    void draw() override
    {
        AlertBox::draw();
        onDraw(*this);
    }

    std::function<void(const AlertBox&)> onDraw;
};

class AlertBoxTest : public FrontSupport::AppTest
{
protected:
    void SetUp() override
    {
        m_app.getGameTime()->start();
        m_ticks.set(1000);
        m_app.getGameTime()->update();
    }

    // The frame drawn again after the window was uncovered; each frame takes five seconds of ticks.
    std::vector<std::uint8_t> show(const std::string& message)
    {
        std::vector<std::uint8_t> frame;
        m_draws = 0;
        auto* watched = new WatchedAlertBox("Error", message, "fixed_medium");
        watched->onDraw = [&](const AlertBox& box) {
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
        };
        watched->show();
        return frame;
    }

    static int count(const std::vector<std::uint8_t>& frame, int x0, int y0, int x1, int y1,
                     std::array<int, 3> rgb, int tolerance = 0)
    {
        int found = 0;
        for (int i = 0, w = x1 - x0 + 1; i < w * (y1 - y0 + 1); ++i)
        {
            const std::uint8_t* p = &frame[static_cast<std::size_t>((y0 + i / w) * 800 + x0 + i % w) * 4];
            found += std::max({std::abs(p[0] - rgb[0]), std::abs(p[1] - rgb[1]), std::abs(p[2] - rgb[2])}) <=
                     tolerance;
        }
        return found;
    }

    TestSupport::FakeClock m_ticks;
    int m_draws = 0;
    std::array<int, 4> m_box{}; // x, y, width, height
};

constexpr std::array<int, 3> Green{83, 148, 28}, Orange{255, 90, 0};

} // namespace

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
    EXPECT_EQ(std::tuple(m_draws, witness.keys, m_app.getScreen()->getChildren().size(),
                         router().getHandlers().size()),
              std::tuple(2, 0, 0ul, 1ul));
    router().removeHandler(&witness);

    // A 386 x 98 box at (207, 251), framed two pixels wide, over a veil; the title centred in it.
    EXPECT_EQ(count(frame, 0, 0, 799, 599, {59, 29, 15}, 1), 800 * 600 - 390 * 102);
    EXPECT_EQ(count(frame, 205, 249, 594, 350, Green) - count(frame, 207, 251, 592, 348, Green),
              390 * 102 - 386 * 98);
    EXPECT_GT(count(frame, 360, 276, 439, 291, Green), 0);
    EXPECT_EQ(count(frame, 207, 251, 592, 348, Green), count(frame, 360, 276, 439, 291, Green));
}

TEST_F(AlertBoxTest, LongMessagesWrapInsideTheScreen)
{
    const std::string path = "filesystem error: directory iterator cannot open directory: No such file or "
                             "directory [/home/player/games/tarvo/maps]";
    for (const auto& [message, lines] : {std::pair{path, 3}, {std::string(5000, 'x'), 32}})
    {
        const std::vector<std::uint8_t> frame = show(message);
        const auto& [x, y, w, h] = m_box;
        EXPECT_TRUE(x >= 0 && y >= 0 && x + w <= 800 && y + h <= 600);
        EXPECT_EQ(h, (2 + lines) * 16 + 50);
        EXPECT_EQ(count(frame, 0, 0, 799, 599, Orange), count(frame, x, 0, x + w - 1, 599, Orange));
    }
}
