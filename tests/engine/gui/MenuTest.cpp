#include "engine/gui/Menu.h"

#include "engine/graphics/Font.h"

#include "tests/engine/graphics/GraphicsFixture.h"

#include <gtest/gtest.h>

#include <memory>

using namespace Fernhouse::Base;
using Fernhouse::GUI::Menu;

namespace
{

constexpr Color Green(83, 148, 28, 255);
constexpr Color Orange(255, 90, 0, 255);
constexpr Color Navy(20, 30, 90, 255);
constexpr Color Bar(200, 200, 40, 255);

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

    std::unique_ptr<Menu> menu(int items, bool wrap, int visible)
    {
        auto made = std::make_unique<Menu>(m_font, &Green, &Orange, nullptr, nullptr, wrap, visible,
                                           Menu::AlignCenter);
        for (int i = 0; i < items; ++i)
        {
            made->addItem(100 + i, "ITEM", 0);
        }
        return made;
    }

    // Presses the key `times` times; then the selected row and the first row shown are as given.
    static void press(Menu& menu, SDLKey key, int times, int selected, int firstVisible)
    {
        for (int i = 0; i < times; ++i)
        {
            EXPECT_TRUE(menu.keyDown(key, false, false, false));
        }
        EXPECT_EQ(menu.getSelected(), selected);
        EXPECT_EQ(menu.getFirstVisible(), firstVisible);
    }

    Fernhouse::Graphics::Font* m_font = nullptr;
};

} // namespace

TEST_F(MenuTest, UpAndDownWrapOrStopAtTheEndsAndScrollTheRowsShown)
{
    auto wrapping = menu(7, true, 5);
    press(*wrapping, SDLK_UP, 1, 6, 2);
    press(*wrapping, SDLK_DOWN, 1, 0, 0);
    press(*wrapping, SDLK_DOWN, 5, 5, 1);
    press(*wrapping, SDLK_UP, 5, 0, 0);
    auto stopping = menu(3, false, 2);
    press(*stopping, SDLK_UP, 1, 0, 0);
    press(*stopping, SDLK_DOWN, 3, 2, 1);
    // An empty menu has nothing to move to, even when it wraps.
    auto empty = menu(0, true, 5);
    empty->keyDown(SDLK_DOWN, false, false, false);
    empty->keyDown(SDLK_UP, false, false, false);
    EXPECT_EQ(empty->getSelected(), -1);
    EXPECT_EQ(empty->getFirstVisible(), -1);
}

TEST_F(MenuTest, ConfirmKeysAndShortcutsChooseAndModifiedKeysPassOn)
{
    auto chooser = menu(2, true, 5);
    chooser->addItem(10000, "BACK..", SDLK_ESCAPE);
    chooser->keyDown(SDLK_DOWN, false, false, false);
    // Shift+Return and Alt+Return are left to the application.
    EXPECT_FALSE(chooser->keyDown(SDLK_RETURN, false, true, false));
    EXPECT_FALSE(chooser->keyDown(SDLK_RETURN, false, false, true));
    EXPECT_FALSE(chooser->keyDown(SDLK_ESCAPE, true, false, false));
    EXPECT_FALSE(chooser->isDone());
    for (SDLKey key : {SDLK_RETURN, SDLK_KP_ENTER, SDLK_SPACE})
    {
        EXPECT_TRUE(chooser->keyDown(key, false, false, false));
        EXPECT_TRUE(chooser->isDone());
        EXPECT_EQ(chooser->getSelectedId(), 101);
        // Moving takes the choice back.
        chooser->keyDown(SDLK_UP, false, false, false);
        chooser->keyDown(SDLK_DOWN, false, false, false);
        EXPECT_FALSE(chooser->isDone());
    }
    // Unbound keys pass on; SDL's code for unnamed keys must not pick the items that have no shortcut.
    EXPECT_FALSE(chooser->keyDown(SDLK_a, false, false, false));
    EXPECT_FALSE(chooser->keyDown(SDLK_UNKNOWN, false, false, false));
    EXPECT_FALSE(chooser->isDone());
    EXPECT_TRUE(chooser->keyDown(SDLK_ESCAPE, false, false, false));
    EXPECT_EQ(chooser->getSelectedId(), 10000);
}

TEST_F(MenuTest, DrawsTheRowsShownInABoxCentredOnItsPosition)
{
    Menu empty(m_font, &Green, &Orange, &Navy, &Bar, true, 5, Menu::AlignCenter);
    empty.setPosition(200, 100);
    empty.draw();
    expectBackground(200, 100);

    Menu menu(m_font, &Green, &Orange, &Navy, &Bar, true, 2, Menu::AlignCenter);
    menu.addItem(1, "A", 0);
    menu.addItem(2, "BB", 0);
    menu.addItem(3, "C", 0);
    menu.setPosition(200, 100);
    menu.draw();
    // Box 42 x 57 (items 32 x 16 wide and high) from (179, 72); the selected row's bar is 42 x 26.
    // Text centred on x 200, 5 pixels below each row's top, rows 31 pixels apart; the third row is hidden.
    const std::tuple<int, int, Color> shows[] = {
        {179, 72, Bar},   {220, 97, Bar},        {179, 98, Navy},
        {220, 128, Navy}, {178, 72, Background}, {179, 129, Background},
        {191, 77, Bar},   {183, 108, Navy},      {192, 139, Background}};
    for (const auto& [x, y, colour] : shows)
    {
        expectColor(x, y, colour);
    }
    expectGlyph(192, 77, 1, Orange);
    expectGlyph(207, 92, 1, Orange);
    expectGlyph(184, 108, 2, Green);

    menu.keyDown(SDLK_UP, false, false, false);
    fillBackground();
    menu.draw();
    expectGlyph(184, 77, 2, Green);
    expectColor(179, 103, Bar);
    expectGlyph(192, 108, 3, Orange);
}

TEST_F(MenuTest, RightAlignedTextEndsFivePixelsInsideTheBoxAndWithoutASelectedColourIsNormal)
{
    // One row: box 42 x 26 from (179, 87), neither drawn.
    Menu right(m_font, &Green, nullptr, nullptr, nullptr, true, 1, Menu::AlignRight);
    right.addItem(1, "A", 0);
    right.addItem(2, "BB", 0);
    right.setPosition(200, 100);
    right.draw();
    expectGlyph(200, 92, 1, Green);
    expectGlyph(215, 107, 1, Green);
    expectBackground(216, 92);
    expectBackground(179, 87);
}
