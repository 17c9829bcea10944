#include "game/edit/MapView.h"

#include "engine/graphics/Font.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/Painter.h"

#include "game/play/GameEngine.h"
#include "game/play/MapFile.h"
#include "game/play/MapPainter.h"
#include "game/play/WormSprite.h"

#include <algorithm>
#include <string>

namespace Tarvo
{

namespace
{

using Fernhouse::Base::Color;
using Fernhouse::Base::Point;
using Fernhouse::Base::Rect;
using Fernhouse::Graphics::Painter;

constexpr std::int32_t Cell = WormSprite::CellSize;
constexpr const char* NumberFont = "fixed_small";
constexpr std::uint32_t StartRadius = 7;
constexpr std::uint32_t StartSegments = 12;
constexpr Color Opaque{255, 255, 255, 255};

} // namespace

void MapView::outline(Painter& painter, const Rect& r)
{
    painter.fillRect(Rect(r.x, r.y, r.w, 1));
    painter.fillRect(Rect(r.x, r.y + static_cast<std::int32_t>(r.h) - 1, r.w, 1));
    painter.fillRect(Rect(r.x, r.y, 1, r.h));
    painter.fillRect(Rect(r.x + static_cast<std::int32_t>(r.w) - 1, r.y, 1, r.h));
}

MapView::MapView(const MapFile* map, const Rect& area)
    : m_map(map),
      m_painter(std::make_unique<MapPainter>(map)),
      m_font(Fernhouse::Graphics::FontManager::getInstance()->loadFont(NumberFont)),
      m_area(area)
{
    applyLayerColors();
}

MapView::~MapView()
{
    Fernhouse::Graphics::FontManager::getInstance()->freeFont(m_font);
}

void MapView::reloadTileset()
{
    m_painter = std::make_unique<MapPainter>(m_map);
    applyLayerColors();
}

void MapView::setLayer(unsigned layer)
{
    m_layer = layer;
    applyLayerColors();
}

void MapView::applyLayerColors()
{
    for (unsigned layer = 0; layer < MapFile::LayerSlots; ++layer)
    {
        m_painter->setLayerColor(layer, layer == m_layer ? Opaque : Color(255, 255, 255, FadedAlpha));
    }
}

std::int32_t MapView::clampScroll(std::int32_t scroll, std::int32_t mapPixels, std::uint32_t areaPixels) const
{
    const std::int32_t spare = static_cast<std::int32_t>(areaPixels) - mapPixels;
    if (spare >= 0)
    {
        return -spare / 2;
    }
    return std::clamp(scroll, 0, -spare);
}

void MapView::scrollBy(std::int32_t dx, std::int32_t dy)
{
    m_scrollX = clampScroll(m_scrollX + dx, Cell * m_map->getWidth(), m_area.w);
    m_scrollY = clampScroll(m_scrollY + dy, Cell * m_map->getHeight(), m_area.h);
}

Point MapView::mapOrigin() const
{
    return Point(m_area.x - clampScroll(m_scrollX, Cell * m_map->getWidth(), m_area.w),
                 m_area.y - clampScroll(m_scrollY, Cell * m_map->getHeight(), m_area.h));
}

std::optional<Point> MapView::cellAt(std::int32_t x, std::int32_t y) const
{
    if (x < m_area.x || y < m_area.y || x >= m_area.x + static_cast<std::int32_t>(m_area.w) ||
        y >= m_area.y + static_cast<std::int32_t>(m_area.h))
    {
        return std::nullopt;
    }
    const Point origin = mapOrigin();
    if (x < origin.x || y < origin.y)
    {
        return std::nullopt;
    }
    const Point cell((x - origin.x) / Cell, (y - origin.y) / Cell);
    if (cell.x >= m_map->getWidth() || cell.y >= m_map->getHeight())
    {
        return std::nullopt;
    }
    return cell;
}

Point MapView::cellOrigin(const Point& cell) const
{
    const Point origin = mapOrigin();
    return Point(origin.x + Cell * cell.x, origin.y + Cell * cell.y);
}

void MapView::draw()
{
    const Point origin = mapOrigin();
    m_painter->setPosition(origin.x + Cell * m_map->getWidth() / 2, origin.y + Cell * m_map->getHeight() / 2);
    m_painter->setVisibleArea(m_area);

    Painter painter;
    painter.setClipRect(m_area);
    m_painter->draw();
    drawStarts();

    painter.setColor(ProblemColor);
    for (const Point& cell : m_problemCells)
    {
        const Point at = cellOrigin(cell);
        painter.fillRect(Rect(at.x, at.y, Cell, Cell));
    }
    painter.setColor(CursorColor);
    if (m_fillPreview)
    {
        const Point at = cellOrigin(Point(m_fillPreview->x, m_fillPreview->y));
        outline(painter, Rect(at.x, at.y, Cell * m_fillPreview->w, Cell * m_fillPreview->h));
    }
    if (m_cursor)
    {
        const Point at = cellOrigin(*m_cursor);
        outline(painter, Rect(at.x, at.y, Cell, Cell));
    }
    painter.restoreColor();
    painter.clearClipRect();
}

void MapView::drawStarts() const
{
    if (m_map->getLayerCount() <= static_cast<std::int32_t>(GameEngine::StartLayer))
    {
        return;
    }
    Painter painter;
    const std::uint8_t alpha = m_layer == GameEngine::StartLayer ? StartColor.a : FadedAlpha;
    // Only the cells in the area, so that a large map costs what the view shows.
    const Point origin = mapOrigin();
    const std::int32_t firstX = std::max(0, (m_area.x - origin.x) / Cell);
    const std::int32_t firstY = std::max(0, (m_area.y - origin.y) / Cell);
    const std::int32_t lastX =
        std::min(m_map->getWidth(), (m_area.x + static_cast<std::int32_t>(m_area.w) - origin.x) / Cell + 1);
    const std::int32_t lastY =
        std::min(m_map->getHeight(), (m_area.y + static_cast<std::int32_t>(m_area.h) - origin.y) / Cell + 1);
    for (std::int32_t y = firstY; y < lastY; ++y)
    {
        for (std::int32_t x = firstX; x < lastX; ++x)
        {
            const std::int32_t number = m_map->getTile(GameEngine::StartLayer, x, y);
            if (number < 1)
            {
                continue;
            }
            const Point at = cellOrigin(Point(x, y));
            const Point centre(at.x + Cell / 2, at.y + Cell / 2);
            painter.setColor(Color(StartColor.r, StartColor.g, StartColor.b, alpha));
            painter.fillCircle(centre, StartRadius, StartSegments);
            painter.setColor(Color(255, 255, 255, alpha));
            painter.drawText(std::to_string(number), centre, m_font, Painter::AlignCenter,
                             Painter::AlignCenter);
        }
    }
    painter.restoreColor();
}

} // namespace Tarvo
