#pragma once

#include "engine/base/Color.h"
#include "engine/base/Rect.h"
#include "engine/gui/Widget.h"

#include <optional>
#include <string>
#include <vector>

namespace Fernhouse::Graphics
{
class Font;
} // namespace Fernhouse::Graphics

namespace Fernhouse::GUI
{

struct MenuItem
{
    int id;           // what the menu's owner acts on
    std::string text; // one line in the menu's font
    int shortcut;     // SDL key code that chooses the item at once; 0 for none
};

// A scrolling column of text items chosen with the keyboard. Its position is the centre of its box; the
// transform is not applied and children are not drawn. Done once an item is chosen.
class Menu : public Widget
{
public:
    static constexpr int AlignLeft = 0;
    static constexpr int AlignCenter = 1;
    static constexpr int AlignRight = 2;

    // font must not be null and outlive the menu. Each colour may be null (no box without a background
    // colour, no bar without a highlight colour) and is copied. visibleCount rows, at least one.
    Menu(Graphics::Font* font, const Base::Color* normalColor, const Base::Color* selectedColor,
         const Base::Color* backgroundColor, const Base::Color* highlightColor, bool wrap, int visibleCount,
         int alignment);

    // shortcut 0 gives the item none.
    void addItem(int id, const std::string& text, int shortcut);

    // Needs at least one item.
    int getSelectedId() const;

    // -1 while there are no items.
    int getSelected() const { return m_selected; }

    // -1 while there are no items.
    int getFirstVisible() const { return m_firstVisible; }

    int getVisibleCount() const { return m_visibleCount; }

    // Widest item text, in pixels.
    int getItemWidth() const { return m_itemWidth; }

    // In pixels.
    int getItemHeight() const { return m_itemHeight; }

    const std::vector<MenuItem>& getItems() const { return m_items; }

    // Any modifier leaves the key to later handlers, so Alt+Return reaches the application.
    bool keyDown(SDLKey key, bool ctrl, bool shift, bool alt) override;
    void draw() override;

private:
    void selectPrevious();
    void selectNext();
    // One visible item: its highlight bar when selected, then its text at textX, inset from the bar's top.
    void drawItem(int index, const Base::Rect& bar, int textX);

    int lastIndex() const { return static_cast<int>(m_items.size()) - 1; }

    Graphics::Font* m_font; // not owned
    int m_visibleCount;
    std::optional<Base::Color> m_normalColor;
    std::optional<Base::Color> m_selectedColor;
    std::optional<Base::Color> m_backgroundColor;
    std::optional<Base::Color> m_highlightColor;
    bool m_wrap;
    int m_alignment;
    std::vector<MenuItem> m_items;
    int m_selected = -1;
    int m_firstVisible = -1;
    int m_itemWidth = 0;
    int m_itemHeight = 0;
};

} // namespace Fernhouse::GUI
