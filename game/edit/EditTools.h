#pragma once

#include "engine/base/Point.h"

#include <SDL/SDL_keysym.h>

#include <cstdint>
#include <optional>

namespace Tarvo
{

class CheckReport;
class MapEditor;
class MapView;
class PaletteView;

// The editor's tools on the open map: the layer edited and the tile chosen for each tile layer, strokes
// that paint or erase cells (or place and remove start points), rectangles filled while Shift is held, the
// cell under the mouse, and scrolling the view by keys, the wheel or a middle-button drag.
class EditTools final
{
public:
    static constexpr std::int32_t ScrollStep = 64; // pixels

    // check learns of every change to the map; shared, owned by the editor window.
    explicit EditTools(CheckReport* check);

    // The open map, its view and its palette, all shared and owned by the editor window; null when no map
    // is open. The view and palette take the layer and tile chosen so far.
    void attach(MapEditor* editor, MapView* view, PaletteView* palette);

    unsigned getLayer() const { return m_layer; }

    // The tile a stroke paints, MapFile::EmptyCell on the start point layer.
    std::int32_t getSelectedTile() const;

    // The map cell under the mouse, if any.
    const std::optional<Fernhouse::Base::Point>& getCursor() const { return m_cursor; }

    bool isDragging() const { return m_drag != Drag::None; }

    void setShift(bool held) { m_shift = held; }

    // 1-3 choose the layer, the arrows scroll, I picks the tile under the mouse. True when the key was one
    // of them.
    bool key(SDLKey key);

    // A left click on the palette chooses its tile for the layer; true when it did.
    bool pickFromPalette(std::uint16_t x, std::uint16_t y);

    // The mouse over the editor; the button events return whether they were used.
    void mouseMotion(std::uint16_t x, std::uint16_t y, std::int16_t xrel, std::int16_t yrel);
    bool mouseButtonDown(std::uint8_t button, std::uint16_t x, std::uint16_t y);
    bool mouseButtonUp(std::uint8_t button, std::uint16_t x, std::uint16_t y);

private:
    enum class Drag
    {
        None,
        Paint,
        Erase,
        Fill,
        EraseFill,
        Scroll
    };

    void setLayer(unsigned layer);
    void scrollView(std::int32_t dx, std::int32_t dy);
    void pickUnderCursor();
    void showFillPreview();
    void applyAt(const Fernhouse::Base::Point& cell);
    void finishFill();

    CheckReport* m_check;             // shared, owned by the editor window
    MapEditor* m_editor = nullptr;    // shared, owned by the editor window; null while no map is open
    MapView* m_view = nullptr;        // shared, owned by the editor window; null while no map is open
    PaletteView* m_palette = nullptr; // shared, owned by the editor window; null while no map is open

    unsigned m_layer = 1;
    std::int32_t m_tiles[2] = {16, 48};
    Drag m_drag = Drag::None;
    bool m_shift = false;
    Fernhouse::Base::Point m_mouse{-1, -1};
    std::optional<Fernhouse::Base::Point> m_cursor;
    Fernhouse::Base::Point m_fillAnchor;
};

} // namespace Tarvo
