#include "game/edit/EditTools.h"

#include "engine/base/Rect.h"

#include "game/edit/CheckReport.h"
#include "game/edit/MapEditor.h"
#include "game/edit/MapView.h"
#include "game/edit/PaletteView.h"
#include "game/play/MapFile.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <cstdlib>

namespace Tarvo
{

namespace
{

using Fernhouse::Base::Point;
using Fernhouse::Base::Rect;

constexpr std::uint8_t LeftButton = SDL_BUTTON_LEFT;
constexpr std::uint8_t MiddleButton = SDL_BUTTON_MIDDLE;
constexpr std::uint8_t RightButton = SDL_BUTTON_RIGHT;
constexpr std::uint8_t WheelUp = SDL_BUTTON_WHEELUP;
constexpr std::uint8_t WheelDown = SDL_BUTTON_WHEELDOWN;

} // namespace

EditTools::EditTools(CheckReport* check) : m_check(check)
{
}

void EditTools::attach(MapEditor* editor, MapView* view, PaletteView* palette)
{
    m_editor = editor;
    m_view = view;
    m_palette = palette;
    if (m_view != nullptr)
    {
        m_view->setLayer(m_layer);
    }
    if (m_palette != nullptr)
    {
        m_palette->setSelected(getSelectedTile());
    }
}

std::int32_t EditTools::getSelectedTile() const
{
    return m_layer < 2 ? m_tiles[m_layer] : MapFile::EmptyCell;
}

bool EditTools::key(SDLKey key)
{
    switch (key)
    {
        case SDLK_1:
        case SDLK_2:
        case SDLK_3:
            setLayer(static_cast<unsigned>(key - SDLK_1));
            return true;
        case SDLK_LEFT:
            scrollView(-ScrollStep, 0);
            return true;
        case SDLK_RIGHT:
            scrollView(ScrollStep, 0);
            return true;
        case SDLK_UP:
            scrollView(0, -ScrollStep);
            return true;
        case SDLK_DOWN:
            scrollView(0, ScrollStep);
            return true;
        case SDLK_i:
            pickUnderCursor();
            return true;
        default:
            return false;
    }
}

void EditTools::setLayer(unsigned layer)
{
    m_layer = layer;
    m_view->setLayer(m_layer);
    m_palette->setSelected(getSelectedTile());
}

void EditTools::scrollView(std::int32_t dx, std::int32_t dy)
{
    m_view->scrollBy(dx, dy);
    // The mouse stays where it is, over another cell now.
    m_cursor = m_view->cellAt(m_mouse.x, m_mouse.y);
    m_view->setCursor(m_cursor);
}

void EditTools::pickUnderCursor()
{
    if (m_cursor && m_layer < 2)
    {
        m_tiles[m_layer] = m_editor->pick(m_layer, m_cursor->x, m_cursor->y);
        m_palette->setSelected(getSelectedTile());
    }
}

bool EditTools::pickFromPalette(std::uint16_t x, std::uint16_t y)
{
    const std::int32_t tile = m_palette->tileAt(x, y);
    if (tile < 0 || m_layer >= 2)
    {
        return false;
    }
    m_tiles[m_layer] = tile;
    m_palette->setSelected(tile);
    return true;
}

void EditTools::mouseMotion(std::uint16_t x, std::uint16_t y, std::int16_t xrel, std::int16_t yrel)
{
    m_mouse = Point(x, y);
    if (m_drag == Drag::Scroll)
    {
        scrollView(-xrel, -yrel);
    }
    m_cursor = m_view->cellAt(x, y);
    m_view->setCursor(m_cursor);
    if (m_cursor && (m_drag == Drag::Paint || m_drag == Drag::Erase))
    {
        applyAt(*m_cursor);
    }
    if (m_cursor && (m_drag == Drag::Fill || m_drag == Drag::EraseFill))
    {
        showFillPreview();
    }
}

void EditTools::showFillPreview()
{
    const std::int32_t left = std::min(m_fillAnchor.x, m_cursor->x);
    const std::int32_t top = std::min(m_fillAnchor.y, m_cursor->y);
    m_view->setFillPreview(Rect(left, top,
                                static_cast<std::uint32_t>(std::abs(m_fillAnchor.x - m_cursor->x) + 1),
                                static_cast<std::uint32_t>(std::abs(m_fillAnchor.y - m_cursor->y) + 1)));
}

bool EditTools::mouseButtonDown(std::uint8_t button, std::uint16_t x, std::uint16_t y)
{
    if (button == WheelUp || button == WheelDown)
    {
        scrollView(0, button == WheelUp ? -ScrollStep : ScrollStep);
        return true;
    }
    if (button == MiddleButton)
    {
        m_drag = Drag::Scroll;
        return true;
    }
    m_cursor = m_view->cellAt(x, y);
    if (!m_cursor || (button != LeftButton && button != RightButton))
    {
        return false;
    }
    const bool left = button == LeftButton;
    if (m_shift && m_layer < 2)
    {
        m_drag = left ? Drag::Fill : Drag::EraseFill;
        m_fillAnchor = *m_cursor;
        m_view->setFillPreview(Rect(m_cursor->x, m_cursor->y, 1, 1));
        return true;
    }
    m_drag = left ? Drag::Paint : Drag::Erase;
    m_editor->beginStroke();
    applyAt(*m_cursor);
    return true;
}

bool EditTools::mouseButtonUp(std::uint8_t button, std::uint16_t x, std::uint16_t y)
{
    const bool ends = (button == MiddleButton && m_drag == Drag::Scroll) ||
                      (button == LeftButton && (m_drag == Drag::Paint || m_drag == Drag::Fill)) ||
                      (button == RightButton && (m_drag == Drag::Erase || m_drag == Drag::EraseFill));
    if (!ends)
    {
        return false;
    }
    if (m_drag == Drag::Fill || m_drag == Drag::EraseFill)
    {
        if (const auto cell = m_view->cellAt(x, y))
        {
            m_cursor = cell;
        }
        finishFill();
    }
    m_editor->endStroke();
    m_drag = Drag::None;
    return true;
}

void EditTools::applyAt(const Point& cell)
{
    const bool erasing = m_drag == Drag::Erase;
    if (m_layer == MapEditor::StartLayer)
    {
        if (erasing)
        {
            m_editor->removeStart(cell.x, cell.y);
        }
        else
        {
            m_editor->placeStart(cell.x, cell.y);
        }
    }
    else
    {
        m_editor->paint(m_layer, cell.x, cell.y, erasing ? MapFile::EmptyCell : m_tiles[m_layer]);
    }
    m_check->markStale();
}

void EditTools::finishFill()
{
    const std::int32_t tile = m_drag == Drag::Fill ? m_tiles[m_layer] : MapFile::EmptyCell;
    const Point corner = m_cursor.value_or(m_fillAnchor);
    m_editor->fillRect(m_layer, m_fillAnchor.x, m_fillAnchor.y, corner.x, corner.y, tile);
    m_view->setFillPreview(std::nullopt);
    m_check->markStale();
}

} // namespace Tarvo
