#pragma once

#include "engine/base/Entity.h"
#include "engine/base/Point.h"
#include "engine/base/Rect.h"

#include <memory>
#include <optional>
#include <vector>

namespace Fernhouse::Graphics
{
class Font;
class Painter;
} // namespace Fernhouse::Graphics

namespace Tarvo
{

class MapFile;
class MapPainter;

// The editor's view of a map in a screen rectangle: the layers drawn by the game's map painter, the
// layers not being edited faded, numbered start points, the cells the checks complain about, the cell
// under the mouse and the rectangle being filled. Scrolls by whole pixels within the map.
class MapView final : public Fernhouse::Base::Entity
{
public:
    static constexpr Fernhouse::Base::Color ProblemColor{255, 0, 0, 120};
    static constexpr Fernhouse::Base::Color StartColor{0, 64, 255, 180};
    static constexpr Fernhouse::Base::Color CursorColor{255, 255, 255, 255};
    static constexpr std::uint8_t FadedAlpha = 70;

    // The map is not owned and must outlive the view. Loads its tileset (TextureFactory errors) and the
    // number font (FontManager errors).
    MapView(const MapFile* map, const Fernhouse::Base::Rect& area);
    MapView(const MapView&) = delete;
    MapView& operator=(const MapView&) = delete;
    ~MapView() override;

    // After the map's tileset changed; throws like the constructor and keeps the old one then.
    void reloadTileset();

    // The layer edited; the others are faded.
    void setLayer(unsigned layer);

    // Moves the view over the map by pixels; a map smaller than the view stays centred.
    void scrollBy(std::int32_t dx, std::int32_t dy);

    // The cell under a screen pixel, none outside the area or the map.
    std::optional<Fernhouse::Base::Point> cellAt(std::int32_t x, std::int32_t y) const;
    // The screen pixel of a cell's top-left corner.
    Fernhouse::Base::Point cellOrigin(const Fernhouse::Base::Point& cell) const;

    void setProblemCells(std::vector<Fernhouse::Base::Point> cells) { m_problemCells = std::move(cells); }

    void setCursor(std::optional<Fernhouse::Base::Point> cell) { m_cursor = cell; }

    // The cells between two corners shown as being filled; none hides it.
    void setFillPreview(std::optional<Fernhouse::Base::Rect> cells) { m_fillPreview = cells; }

    const Fernhouse::Base::Rect& getArea() const { return m_area; }

    void draw() override;

    // A one-pixel frame just inside the rectangle, in the painter's colour.
    static void outline(Fernhouse::Graphics::Painter& painter, const Fernhouse::Base::Rect& rect);

private:
    // The screen pixel of the map's top-left corner.
    Fernhouse::Base::Point mapOrigin() const;
    std::int32_t clampScroll(std::int32_t scroll, std::int32_t mapPixels, std::uint32_t areaPixels) const;
    void applyLayerColors();
    void drawStarts() const;

    const MapFile* m_map; // not owned
    std::unique_ptr<MapPainter> m_painter;
    Fernhouse::Graphics::Font* m_font; // shared through FontManager
    Fernhouse::Base::Rect m_area;
    std::int32_t m_scrollX = 0;
    std::int32_t m_scrollY = 0;
    unsigned m_layer = 0;
    std::vector<Fernhouse::Base::Point> m_problemCells;
    std::optional<Fernhouse::Base::Point> m_cursor;
    std::optional<Fernhouse::Base::Rect> m_fillPreview;
};

} // namespace Tarvo
