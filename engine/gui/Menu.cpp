#include "engine/gui/Menu.h"

#include "engine/base/Rect.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/Painter.h"

#include <algorithm>
#include <cassert>
#include <cstdint>

namespace Fernhouse::GUI
{

namespace
{

static_assert(SDLK_RETURN == 13 && SDLK_KP_ENTER == 271 && SDLK_SPACE == 32);
static_assert(SDLK_UP == 273 && SDLK_DOWN == 274);

// Box layout in pixels: the text sits TextInset inside the box, rows are RowGap apart and the highlight
// bar reaches TextInset above and below its text.
constexpr int TextInset = 5;
constexpr int RowGap = 15;

std::optional<Base::Color> copyOf(const Base::Color* color)
{
    return color != nullptr ? std::optional<Base::Color>(*color) : std::nullopt;
}

} // namespace

Menu::Menu(Graphics::Font* font, const Base::Color* normalColor, const Base::Color* selectedColor,
           const Base::Color* backgroundColor, const Base::Color* highlightColor, bool wrap, int visibleCount,
           int alignment)
    : m_font(font),
      m_visibleCount(visibleCount),
      m_normalColor(copyOf(normalColor)),
      m_selectedColor(copyOf(selectedColor)),
      m_backgroundColor(copyOf(backgroundColor)),
      m_highlightColor(copyOf(highlightColor)),
      m_wrap(wrap),
      m_alignment(alignment)
{
    assert(font != nullptr && "a menu measures and draws its items in its font");
    assert(visibleCount > 0 && "a menu shows at least one row");
}

void Menu::addItem(int id, const std::string& text, int shortcut)
{
    m_items.push_back(MenuItem{id, text, shortcut});
    const Base::Size size = m_font->getTextSize(text);
    m_itemWidth = std::max(m_itemWidth, static_cast<int>(size.w));
    m_itemHeight = static_cast<int>(size.h);
    if (m_selected == -1)
    {
        m_selected = 0;
        m_firstVisible = 0;
    }
}

int Menu::getSelectedId() const
{
    assert(m_selected >= 0 && "an empty menu has no selection");
    return m_items[static_cast<std::size_t>(m_selected)].id;
}

bool Menu::keyDown(SDLKey key, bool ctrl, bool shift, bool alt)
{
    if (ctrl || shift || alt)
    {
        return false;
    }
    switch (key)
    {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
        case SDLK_SPACE:
            setDone(true);
            return true;
        case SDLK_UP:
            selectPrevious();
            setDone(false);
            return true;
        case SDLK_DOWN:
            selectNext();
            setDone(false);
            return true;
        default:
            break;
    }
    // SDL reports keys it cannot name as 0, the code that marks an item without a shortcut; they must not
    // choose that item.
    if (key == SDLK_UNKNOWN)
    {
        return false;
    }
    for (std::size_t i = 0; i < m_items.size(); ++i)
    {
        if (m_items[i].shortcut == static_cast<int>(key))
        {
            m_selected = static_cast<int>(i);
            setDone(true);
            return true;
        }
    }
    return false;
}

void Menu::selectPrevious()
{
    // Wrapping an empty menu would select the item before the first.
    if (m_items.empty())
    {
        return;
    }
    if (m_selected - 1 >= 0 || m_wrap)
    {
        --m_selected;
        if (m_selected < 0)
        {
            m_selected = lastIndex();
            m_firstVisible = std::max(lastIndex() - m_visibleCount + 1, 0);
        }
    }
    if (m_selected < m_firstVisible)
    {
        --m_firstVisible;
    }
}

void Menu::selectNext()
{
    if (m_items.empty())
    {
        return;
    }
    if (m_selected + 1 <= lastIndex() || m_wrap)
    {
        ++m_selected;
        if (m_selected > lastIndex())
        {
            m_selected = 0;
            m_firstVisible = 0;
        }
    }
    if (m_selected >= m_firstVisible + m_visibleCount)
    {
        ++m_firstVisible;
    }
}

void Menu::draw()
{
    if (m_items.empty())
    {
        return;
    }
    const int boxWidth = m_itemWidth + 2 * TextInset;
    const int boxHeight = m_visibleCount * (m_itemHeight + RowGap) - TextInset;
    const int left = getX() - boxWidth / 2;
    const int top = getY() - boxHeight / 2;
    if (m_backgroundColor)
    {
        Graphics::Painter::fillRect(Base::Rect(left, top, static_cast<std::uint32_t>(boxWidth),
                                               static_cast<std::uint32_t>(boxHeight)),
                                    *m_backgroundColor);
    }

    int textX = left + TextInset;
    if (m_alignment == AlignCenter)
    {
        textX = left + boxWidth / 2;
    }
    else if (m_alignment == AlignRight)
    {
        textX = left + boxWidth - TextInset;
    }
    int barY = top;
    const int end = std::min(m_firstVisible + m_visibleCount, static_cast<int>(m_items.size()));
    for (int i = m_firstVisible; i < end; ++i)
    {
        drawItem(i,
                 Base::Rect(left, barY, static_cast<std::uint32_t>(boxWidth),
                            static_cast<std::uint32_t>(m_itemHeight + 2 * TextInset)),
                 textX);
        barY += m_itemHeight + RowGap;
    }
}

void Menu::drawItem(int index, const Base::Rect& bar, int textX)
{
    Graphics::Painter painter;
    painter.pushMatrix();
    const std::optional<Base::Color>* textColor = &m_normalColor;
    if (index == m_selected)
    {
        if (m_highlightColor)
        {
            painter.setColor(*m_highlightColor);
            painter.fillRect(bar);
        }
        if (m_selectedColor)
        {
            textColor = &m_selectedColor;
        }
    }
    // Without any text colour the item keeps the current one.
    if (*textColor)
    {
        painter.setColor(**textColor);
    }
    else
    {
        painter.restoreColor();
    }
    painter.drawText(m_items[static_cast<std::size_t>(index)].text, Base::Point(textX, bar.y + TextInset),
                     m_font, m_alignment, Graphics::Painter::AlignTop);
    painter.restoreColor();
    painter.popMatrix();
}

} // namespace Fernhouse::GUI
