#include "engine/graphics/TextureMap.h"
#include "engine/gui/BoolSelect.h"
#include "engine/gui/Menu.h"
#include "engine/gui/SlideBar.h"

#include "tests/engine/graphics/GraphicsFixture.h"
#include "tests/support/Throws.h"

#include <memory>

using namespace Fernhouse::Base;
using namespace Fernhouse::GUI;
using namespace TestSupport;

namespace
{

constexpr Color Green(83, 148, 28, 255), Orange(255, 90, 0, 255);

using WidgetTest = GraphicsTest;

// Each step presses a key `times` times; then the selected and first shown rows are as given, nothing chosen.
void press(Menu& menu, std::initializer_list<std::tuple<SDLKey, int, int, int>> steps)
{
    for (const auto& [key, times, selected, firstVisible] : steps)
    {
        for (int i = 0; i < times; ++i)
        {
            EXPECT_TRUE(menu.keyDown(key, false, false, false));
        }
        EXPECT_EQ(std::tuple(menu.getSelected(), menu.getFirstVisible(), menu.isDone()),
                  std::tuple(selected, firstVisible, false));
    }
}

} // namespace

TEST_F(WidgetTest, MenuMovesWrappingOrNotChoosesByKeyAndDrawsTheRowsShownInABoxAboutItsPosition)
{
    // Items "A", "BB", "C", ... with ids 1, 2, ..., green, the selected one orange unless right aligned.
    const auto menu = [this](int items, bool wrap, int visible, const Color* box = nullptr,
                             const Color* bar = nullptr, int alignment = Menu::AlignCenter) {
        const Color* selected = alignment == Menu::AlignRight ? nullptr : &Orange;
        auto made = std::make_unique<Menu>(m_fonts.loadFont("sheet"), &Green, selected, box, bar, wrap,
                                           visible, alignment);
        for (int i = 0; i < items; ++i)
        {
            made->addItem(i + 1, std::string(i % 2 + 1u, static_cast<char>('A' + i)), 0);
        }
        made->setPosition(200, 100);
        return made;
    };
    press(*menu(7, true, 5),
          {{SDLK_UP, 1, 6, 2}, {SDLK_DOWN, 1, 0, 0}, {SDLK_DOWN, 5, 5, 1}, {SDLK_UP, 5, 0, 0}});
    auto stopping = menu(3, false, 2);
    press(*stopping, {{SDLK_UP, 1, 0, 0}, {SDLK_DOWN, 3, 2, 1}});
    press(*menu(0, true, 5), {{SDLK_DOWN, 1, -1, -1}, {SDLK_UP, 1, -1, -1}});

    stopping->addItem(10000, "BACK..", SDLK_ESCAPE);
    // Modified keys are left to the application; unbound and unnamed keys pass on.
    EXPECT_FALSE(stopping->keyDown(SDLK_RETURN, false, true, false) ||
                 stopping->keyDown(SDLK_a, false, false, false) ||
                 stopping->keyDown(SDLK_UNKNOWN, false, false, false) || stopping->isDone());
    // Moving takes the choice back.
    for (SDLKey key : {SDLK_RETURN, SDLK_KP_ENTER, SDLK_SPACE})
    {
        EXPECT_TRUE(stopping->keyDown(key, false, false, false) && stopping->isDone() &&
                    stopping->getSelectedId() == 3)
            << key;
        press(*stopping, {{SDLK_DOWN, 1, 3, 2}, {SDLK_UP, 1, 2, 2}});
    }
    EXPECT_TRUE(stopping->keyDown(SDLK_ESCAPE, false, false, false));
    EXPECT_EQ(std::pair(stopping->getSelectedId(), stopping->isDone()), std::pair(10000, true));

    constexpr Color Navy(20, 30, 90, 255), Bar(200, 200, 40, 255);
    menu(0, true, 5, &Navy, &Bar)->draw();
    EXPECT_TRUE(shows({{Background, {200, 100}}}));
    const auto shown = menu(3, true, 2, &Navy, &Bar);
    shown->draw();
    // Box 42 x 57 from (179, 72), bar 42 x 26; text centred on x 200, 5 below each row's top, rows 31 apart.
    EXPECT_TRUE(shows({{Bar, {179, 72, 220, 97, 191, 77}},
                       {Navy, {179, 98, 220, 128, 183, 108}},
                       {Background, {178, 72, 179, 129, 192, 139}},
                       {glyphColor(1, Orange), {192, 77, 207, 92}},
                       {glyphColor(2, Green), {184, 108}}}));
    shown->keyDown(SDLK_UP, false, false, false);
    fillBackground();
    shown->draw();
    EXPECT_TRUE(
        shows({{glyphColor(2, Green), {184, 77}}, {Bar, {179, 103}}, {glyphColor(3, Orange), {192, 108}}}));
    // Right aligned, text ends 5 pixels inside the (undrawn) box; without a selected colour, the normal one.
    fillBackground();
    menu(2, true, 1, nullptr, nullptr, Menu::AlignRight)->draw();
    EXPECT_TRUE(shows({{glyphColor(1, Green), {200, 92, 215, 107}}, {Background, {216, 92, 179, 87}}}));
}

TEST_F(WidgetTest, SlideBarKeepsItsValueInRangeAndDrawsItsEndsTrackAndKnob)
{
    constexpr Color Knob(240, 40, 40, 255), Track(40, 200, 40, 255), LeftEnd(40, 40, 230, 255),
        RightEnd(220, 220, 30, 255);
    TestImage sheet(64, 64, Knob);
    sheet.fill(32, 0, 32, 32, Track).fill(0, 32, 32, 32, LeftEnd).fill(32, 32, 32, 32, RightEnd);
    SlideBar bar(m_factory.createTextureMap(save(sheet, "s.png"), nullptr)->getTexture(0, 0));
    bar.setValue(95);
    EXPECT_TRUE(bar.keyDown(SDLK_RIGHT, false, false, false));
    const int high = bar.getValue();
    bar.setValue(5);
    EXPECT_TRUE(bar.keyDown(SDLK_LEFT, false, false, false));
    EXPECT_FALSE(bar.keyDown(SDLK_RIGHT, false, true, false) ||
                 bar.keyDown(SDLK_RETURN, false, false, false));
    const int zero = bar.getValue();
    bar.setValue(80);
    bar.setMaximum(50);
    const int clampedDown = bar.getValue();
    EXPECT_THROW(bar.setMinimum(60), OutOfBoundException);
    EXPECT_THROW(bar.setMaximum(-1), OutOfBoundException);
    EXPECT_TRUE(
        throwsWith<OutOfBoundException>([&] { bar.setValue(51); }, "value is out of bound.", "src/SlideBar"));
    bar.setValue(10);
    bar.setMinimum(30);
    EXPECT_EQ(std::tuple(high, zero, clampedDown, bar.getValue()), std::tuple(100, 0, 50, 30));

    // The knob's left edge: 0.5 + (40 - 30) x (200 - 32) / (50 - 30) = 84.5 from the bar's.
    bar.setPosition(100, 200);
    bar.setWidth(200);
    bar.setValue(40);
    bar.update();
    bar.draw();
    EXPECT_TRUE(shows({{LeftEnd, {100, 200, 131, 231}},
                       {Track, {132, 200, 183, 200, 216, 200, 267, 231}},
                       {Knob, {184, 200, 215, 231}},
                       {RightEnd, {268, 200, 299, 231}},
                       {Background, {300, 200, 100, 232, 99, 200}}}));
    // An empty range has no scale: the knob rests at the left end. A bar narrower than its two ends gets no
    // track, rather than one wrapped to a huge width.
    bar.setValue(50);
    bar.setMinimum(50);
    bar.update();
    fillBackground();
    bar.setWidth(40);
    bar.draw();
    EXPECT_TRUE(shows({{Knob, {100, 200}}, {RightEnd, {132, 200}}, {Background, {140, 200, 600, 210}}}));
}

TEST_F(WidgetTest, BoolSelectWordsSitSideBySideAndLeftOrRightSwapsTheirColoursAtTheNextUpdate)
{
    BoolSelect select("sheet", &Green, &Orange, "ON", "OFF", "/");
    EXPECT_EQ(std::pair(select.getWidth(), select.getHeight()), std::pair(96, 16));
    select.setPosition(100, 50);
    select.setScale(2.0f);
    select.update();
    select.draw();
    // "ON" from 100, "/" from 164, "OFF" from 196 to 291 at twice the size; O is cell 15, / 50, F 6.
    EXPECT_TRUE(shows({{glyphColor(15, Orange), {100, 50}},
                       {glyphColor(50, Green), {164, 50}},
                       {glyphColor(15, Green), {196, 50}},
                       {glyphColor(6, Green), {291, 81}},
                       {Background, {292, 50}}}));
    EXPECT_TRUE(select.keyDown(SDLK_LEFT, false, false, false) &&
                select.keyDown(SDLK_RIGHT, false, false, false) &&
                select.keyDown(SDLK_RIGHT, false, false, false));
    EXPECT_FALSE(select.keyDown(SDLK_LEFT, false, false, true) ||
                 select.keyDown(SDLK_UP, false, false, false) || select.getValue());
    select.update();
    select.draw();
    EXPECT_TRUE(shows({{glyphColor(15, Green), {100, 50}}, {glyphColor(15, Orange), {196, 50}}}));
}
