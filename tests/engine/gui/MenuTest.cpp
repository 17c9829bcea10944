#include "engine/gui/Menu.h"

#include "engine/base/EventRouter.h"
#include "engine/graphics/Font.h"

#include "tests/engine/graphics/GraphicsFixture.h"
#include "tests/support/PrintTo.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>

using namespace Fernhouse::Base;
using namespace Fernhouse::Graphics;
using Fernhouse::GUI::Menu;
using TestSupport::glyphColor;
using TestSupport::pixel;

namespace
{

constexpr Color Green(83, 148, 28, 255);
constexpr Color Orange(255, 90, 0, 255);
constexpr Color Navy(20, 30, 90, 255);
constexpr Color Bar(200, 200, 40, 255);
constexpr int Escape = SDLK_ESCAPE;

// A glyph texel as drawn through the colour c (GL_MODULATE).
Color tinted(const Color& texel, const Color& c)
{
    const auto channel = [](int t, int k) { return static_cast<std::uint8_t>(std::lround(t * k / 255.0)); };
    return Color(channel(texel.r, c.r), channel(texel.g, c.g), channel(texel.b, c.b), 255);
}

class MenuTest : public TestSupport::GraphicsTest
{
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        saveFont("sheet", 16, 16);
        m_font = m_fonts.loadFont("sheet");
        fillBackground();
    }

    void TearDown() override
    {
        m_fonts.freeFont(m_font);
        GraphicsTest::TearDown();
    }

    // The menu the front end builds: green, orange, no box, no bar, wrapping, centred.
    Menu* frontEndMenu(int items, int visible = 5)
    {
        auto* menu = new Menu(m_font, &Green, &Orange, nullptr, nullptr, true, visible, Menu::AlignCenter);
        for (int i = 0; i < items; ++i)
        {
            menu->addItem(100 + i, "ITEM", 0);
        }
        return menu;
    }

    static bool press(Menu& menu, SDLKey key, bool shift = false)
    {
        return menu.keyDown(key, false, shift, false);
    }

    static void expectColor(int x, int y, const Color& c)
    {
        EXPECT_RGB(pixel(x, y), c.r, c.g, c.b) << "at " << x << "," << y;
    }

    static void expectBackground(int x, int y) { expectColor(x, y, Background); }

    Font* m_font = nullptr;
};

} // namespace

TEST_F(MenuTest, WrappingMenuJumpsBetweenItsEndsAndScrollsTheRowsShown)
{
    std::unique_ptr<Menu> menu(frontEndMenu(7));
    EXPECT_EQ(menu->getSelected(), 0);
    EXPECT_EQ(menu->getFirstVisible(), 0);

    EXPECT_TRUE(press(*menu, SDLK_UP));
    EXPECT_EQ(menu->getSelected(), 6);
    EXPECT_EQ(menu->getFirstVisible(), 2);

    EXPECT_TRUE(press(*menu, SDLK_DOWN));
    EXPECT_EQ(menu->getSelected(), 0);
    EXPECT_EQ(menu->getFirstVisible(), 0);

    for (int i = 0; i < 4; ++i)
    {
        press(*menu, SDLK_DOWN);
    }
    EXPECT_EQ(menu->getSelected(), 4);
    EXPECT_EQ(menu->getFirstVisible(), 0);
    press(*menu, SDLK_DOWN);
    EXPECT_EQ(menu->getSelected(), 5);
    EXPECT_EQ(menu->getFirstVisible(), 1);

    // Back up past the top of the view: it follows the selection one row at a time.
    for (int i = 0; i < 4; ++i)
    {
        press(*menu, SDLK_UP);
    }
    EXPECT_EQ(menu->getSelected(), 1);
    EXPECT_EQ(menu->getFirstVisible(), 1);
    press(*menu, SDLK_UP);
    EXPECT_EQ(menu->getSelected(), 0);
    EXPECT_EQ(menu->getFirstVisible(), 0);
    EXPECT_FALSE(menu->isDone());
}

TEST_F(MenuTest, NonWrappingMenuStaysOnItsFirstAndLastItems)
{
    Menu menu(m_font, &Green, &Orange, nullptr, nullptr, false, 2, Menu::AlignLeft);
    menu.addItem(1, "A", 0);
    menu.addItem(2, "B", 0);
    menu.addItem(3, "C", 0);

    EXPECT_TRUE(press(menu, SDLK_UP));
    EXPECT_EQ(menu.getSelected(), 0);
    EXPECT_EQ(menu.getFirstVisible(), 0);

    press(menu, SDLK_DOWN);
    press(menu, SDLK_DOWN);
    EXPECT_EQ(menu.getSelected(), 2);
    EXPECT_EQ(menu.getFirstVisible(), 1);
    EXPECT_TRUE(press(menu, SDLK_DOWN));
    EXPECT_EQ(menu.getSelected(), 2);
    EXPECT_EQ(menu.getFirstVisible(), 1);
    EXPECT_EQ(menu.getSelectedId(), 3);
}

TEST_F(MenuTest, ConfirmKeysChooseTheSelectionAndModifiedKeysPassOn)
{
    std::unique_ptr<Menu> menu(frontEndMenu(3));
    press(*menu, SDLK_DOWN);

    // Alt+Return belongs to the application's full-screen switch.
    EXPECT_FALSE(press(*menu, SDLK_RETURN, true));
    EXPECT_FALSE(menu->keyDown(SDLK_RETURN, false, false, true));
    EXPECT_FALSE(menu->keyDown(SDLK_DOWN, true, false, false));
    EXPECT_FALSE(menu->isDone());
    EXPECT_EQ(menu->getSelected(), 1);

    for (SDLKey key : {SDLK_RETURN, SDLK_KP_ENTER, SDLK_SPACE})
    {
        EXPECT_TRUE(press(*menu, key));
        EXPECT_TRUE(menu->isDone());
        EXPECT_EQ(menu->getSelectedId(), 101);
        // Moving again takes the choice back.
        EXPECT_TRUE(press(*menu, SDLK_UP));
        EXPECT_FALSE(menu->isDone());
        press(*menu, SDLK_DOWN);
    }
}

TEST_F(MenuTest, ShortcutChoosesTheFirstItemBoundToTheKey)
{
    Menu menu(m_font, &Green, &Orange, nullptr, nullptr, true, 5, Menu::AlignCenter);
    menu.addItem(10001, "ONE PLAYER", 0);
    menu.addItem(10000, "BACK..", Escape);
    menu.addItem(10002, "AGAIN", Escape);

    // A key no item is bound to passes on; nor does SDL's code for unnamed keys pick an unbound item.
    EXPECT_FALSE(press(menu, SDLK_a));
    EXPECT_FALSE(press(menu, SDLK_UNKNOWN));
    EXPECT_FALSE(menu.isDone());
    EXPECT_EQ(menu.getSelected(), 0);

    EXPECT_FALSE(press(menu, SDLK_ESCAPE, true));
    EXPECT_TRUE(press(menu, SDLK_ESCAPE));
    EXPECT_TRUE(menu.isDone());
    EXPECT_EQ(menu.getSelectedId(), 10000);
}

TEST_F(MenuTest, ItemSizeIsTheWidestTextAndTheLastItemsHeight)
{
    saveFont("tall", 8, 12);
    Font* tall = m_fonts.loadFont("tall");
    Menu menu(tall, &Green, &Orange, nullptr, nullptr, true, 5, Menu::AlignCenter);
    menu.addItem(1, "SETTINGS", 0);
    menu.addItem(2, "QUIT", 0);
    EXPECT_EQ(menu.getItemWidth(), 64);
    EXPECT_EQ(menu.getItemHeight(), 12);
    EXPECT_EQ(menu.getItems().size(), 2u);
    m_fonts.freeFont(tall);
}

TEST_F(MenuTest, EmptyMenuDrawsNothingAndItsKeysSelectNothing)
{
    Menu menu(m_font, &Green, &Orange, &Navy, &Bar, true, 5, Menu::AlignCenter);
    menu.setPosition(400, 300);
    EXPECT_EQ(menu.getSelected(), -1);
    EXPECT_EQ(menu.getFirstVisible(), -1);

    EXPECT_TRUE(press(menu, SDLK_DOWN));
    EXPECT_TRUE(press(menu, SDLK_UP));
    EXPECT_EQ(menu.getSelected(), -1);
    EXPECT_EQ(menu.getFirstVisible(), -1);

    menu.draw();
    expectBackground(400, 300);
    expectBackground(396, 290);
}

TEST_F(MenuTest, DrawsTheVisibleRowsInABoxCentredOnItsPosition)
{
    Menu menu(m_font, &Green, &Orange, &Navy, &Bar, true, 2, Menu::AlignCenter);
    menu.addItem(1, "A", 0);
    menu.addItem(2, "BB", 0);
    menu.addItem(3, "C", 0);
    menu.setPosition(200, 100);
    menu.draw();

    // Box 42 x 57 (items 32 x 16) from (179, 72); the bar of the selected row is 42 x 26.
    expectColor(179, 72, Bar);
    expectColor(220, 97, Bar);
    expectColor(179, 98, Navy);
    expectColor(220, 128, Navy);
    expectBackground(178, 72);
    expectBackground(179, 71);
    expectBackground(221, 100);
    expectBackground(179, 129);
    // Text centred on x 200, 5 pixels below each row's top; rows 31 pixels apart.
    expectColor(192, 77, tinted(glyphColor(1), Orange));
    expectColor(207, 92, tinted(glyphColor(1), Orange));
    expectColor(191, 77, Bar);
    expectColor(208, 92, Bar);
    expectColor(184, 108, tinted(glyphColor(2), Green));
    expectColor(215, 123, tinted(glyphColor(2), Green));
    expectColor(183, 108, Navy);
    // The third item lies beyond the two rows shown.
    expectBackground(192, 139);

    press(menu, SDLK_DOWN);
    press(menu, SDLK_DOWN);
    fillBackground();
    menu.draw();
    expectColor(179, 72, Navy);
    expectColor(184, 77, tinted(glyphColor(2), Green));
    expectColor(179, 103, Bar);
    expectColor(192, 108, tinted(glyphColor(3), Orange));

    std::array<float, 4> colour{};
    glGetFloatv(GL_CURRENT_COLOR, colour.data());
    EXPECT_EQ(colour, (std::array<float, 4>{1.0f, 1.0f, 1.0f, 1.0f}));
}

TEST_F(MenuTest, AlignmentPlacesTextInsideTheBoxAndMissingColoursFallBack)
{
    // One row: box 42 x 26 from (179, 87), text 5 pixels inside.
    Menu left(m_font, &Green, nullptr, nullptr, nullptr, true, 1, Menu::AlignLeft);
    left.addItem(1, "A", 0);
    left.addItem(2, "BB", 0);
    left.setPosition(200, 100);
    left.draw();
    // No selected colour: the selected row is green too; no box and no bar.
    expectColor(184, 92, tinted(glyphColor(1), Green));
    expectBackground(183, 92);
    expectBackground(179, 87);

    fillBackground();
    Menu right(m_font, nullptr, nullptr, nullptr, nullptr, true, 1, Menu::AlignRight);
    right.addItem(1, "A", 0);
    right.addItem(2, "BB", 0);
    right.setPosition(200, 100);
    right.draw();
    // No colour at all: the glyphs keep the current colour, white.
    expectColor(200, 92, glyphColor(1));
    expectColor(215, 107, glyphColor(1));
    expectBackground(199, 92);
    expectBackground(216, 92);
}

TEST_F(MenuTest, RegisteredMenuReceivesKeysThroughTheRouter)
{
    EventRouter router;
    std::unique_ptr<Menu> menu(frontEndMenu(3));
    router.addHandler(menu.get());

    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = SDLK_DOWN;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
    event.key.keysym.sym = SDLK_RETURN;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
    EXPECT_TRUE(router.poll());
    EXPECT_TRUE(menu->isDone());
    EXPECT_EQ(menu->getSelectedId(), 101);

    router.removeHandler(menu.get());
    EXPECT_TRUE(router.getHandlers().empty());
}
