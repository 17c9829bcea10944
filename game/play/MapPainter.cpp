#include "game/play/MapPainter.h"

#include "engine/base/GameTime.h"
#include "engine/base/Repaint.h"
#include "engine/graphics/Painter.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/graphics/TextureMap.h"

#include "game/play/ApplePainter.h"
#include "game/play/GameEngine.h"
#include "game/play/GroundTexture.h"
#include "game/play/MapFile.h"
#include "game/play/WormSprite.h"

#include <GL/gl.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace Tarvo
{

namespace
{

using TexelMode = Fernhouse::Graphics::Painter::TexelMode;

using Fernhouse::Base::Point;
using Fernhouse::Base::Rect;

constexpr std::int32_t CellSize = WormSprite::CellSize;
constexpr std::int32_t HalfCell = CellSize / 2;
// Tileset sheets hold this many tiles per row.
constexpr std::int32_t TilesPerRow = 16;
// Colour key of the tileset: only pixels that are already fully transparent.
constexpr Fernhouse::Base::Color TilesetColorKey{};
constexpr std::uint8_t Opaque = 255;
constexpr Fernhouse::Base::Color OpaqueWhite(Opaque, Opaque, Opaque, Opaque);

// Integer division rounding towards negative infinity, for cells left of or above the area.
std::int32_t floorDiv(std::int32_t value, std::int32_t divisor)
{
    const std::int32_t quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}

} // namespace

MapPainter::MapPainter(const MapFile* map, GameEngine* engine)
    : m_map(map),
      m_tileset(Fernhouse::Graphics::TextureFactory::getInstance()->createTextureMap(
          map->getGraphicsFileName(), &TilesetColorKey)),
      m_tileTexture(m_tileset->getTexture(0, 0)),
      m_applePainter(new ApplePainter(engine, m_tileTexture)),
      m_player1(engine->getPlayer1()),
      m_player2(engine->getPlayer2())
{
    addChild(m_applePainter);
    m_opaqueGround = hasOpaqueGround();
    if (m_map->getLayerCount() > 1)
    {
        try
        {
            m_grounds[0] = new GroundTexture(m_map, m_tileTexture);
            // Two views far apart on a large map keep a window each.
            if (m_player2 != nullptr && !GroundTexture::fits(*m_map))
            {
                m_grounds[1] = new GroundTexture(m_map, m_tileTexture);
            }
        }
        catch (...)
        {
            delete m_grounds[0];
            delete m_applePainter;
            Fernhouse::Graphics::TextureFactory::getInstance()->freeTextureMap(m_tileset);
            throw;
        }
    }
}

MapPainter::MapPainter(const MapFile* map)
    : m_map(map),
      m_tileset(Fernhouse::Graphics::TextureFactory::getInstance()->createTextureMap(
          map->getGraphicsFileName(), &TilesetColorKey)),
      m_tileTexture(m_tileset->getTexture(0, 0))
{
}

void MapPainter::setLayerColor(unsigned layer, const Fernhouse::Base::Color& color)
{
    if (m_layerColors.size() <= layer)
    {
        m_layerColors.resize(layer + 1, OpaqueWhite);
    }
    m_layerColors[layer] = color;
}

MapPainter::~MapPainter()
{
    delete m_grounds[0];
    delete m_grounds[1];
    delete m_applePainter;
    Fernhouse::Graphics::TextureFactory::getInstance()->freeTextureMap(m_tileset);
}

void MapPainter::addWorm(WormSprite* worm)
{
    m_worms.push_back(worm);
    addChild(worm);
}

void MapPainter::removeWorm(WormSprite* worm)
{
    m_worms.erase(std::remove(m_worms.begin(), m_worms.end(), worm), m_worms.end());
    removeChild(worm);
}

bool MapPainter::coversBackground() const
{
    return m_opaqueGround && Fernhouse::Graphics::Painter::getColor().a == Opaque;
}

bool MapPainter::hasOpaqueGround() const
{
    if (m_map->getLayerCount() < 2)
    {
        return false;
    }
    const auto sheetWidth = static_cast<std::int32_t>(m_tileTexture->getWidth());
    const auto sheetHeight = static_cast<std::int32_t>(m_tileTexture->getHeight());
    const std::vector<std::uint8_t> pixels = m_tileTexture->readPixels();
    const auto opaqueTile = [&](std::int32_t tile) {
        const std::int32_t left = CellSize * (tile % TilesPerRow);
        const std::int32_t top = CellSize * (tile / TilesPerRow);
        if (left + CellSize > sheetWidth || top + CellSize > sheetHeight)
        {
            return false;
        }
        for (std::int32_t y = top; y < top + CellSize; ++y)
        {
            for (std::int32_t x = left; x < left + CellSize; ++x)
            {
                if (pixels[static_cast<std::size_t>(4 * (y * sheetWidth + x) + 3)] != Opaque)
                {
                    return false;
                }
            }
        }
        return true;
    };

    // Each tile is judged once: 0 not yet, 1 opaque, 2 not.
    std::vector<std::uint8_t> verdicts(static_cast<std::size_t>(TilesPerRow * TilesPerRow), 0);
    for (std::int32_t y = 0; y < m_map->getHeight(); ++y)
    {
        for (std::int32_t x = 0; x < m_map->getWidth(); ++x)
        {
            const std::int32_t tile = m_map->getTile(0, x, y);
            if (tile < 0 || tile >= TilesPerRow * TilesPerRow)
            {
                return false;
            }
            std::uint8_t& verdict = verdicts[static_cast<std::size_t>(tile)];
            if (verdict == 0)
            {
                verdict = opaqueTile(tile) ? 1 : 2;
            }
            if (verdict != 1)
            {
                return false;
            }
        }
    }
    return true;
}

void MapPainter::visibleCells(std::int32_t mapOrigin, std::int32_t areaStart, std::uint32_t areaLength,
                              std::int32_t cells, std::int32_t& first, std::int32_t& last)
{
    // One cell of slack on each side absorbs the screen's sub-pixel offset; the scissor does the rest.
    const std::int32_t areaEnd = areaStart + static_cast<std::int32_t>(areaLength);
    first = std::max(0, floorDiv(areaStart - mapOrigin, CellSize) - 1);
    last = std::min(cells, floorDiv(areaEnd - mapOrigin, CellSize) + 2);
}

GroundTexture& MapPainter::groundFor(const Rect& cells)
{
    if (m_grounds[1] == nullptr || m_grounds[0]->holds(cells))
    {
        m_lastGround = 0;
    }
    else if (m_grounds[1]->holds(cells))
    {
        m_lastGround = 1;
    }
    else
    {
        // The window the other view did not just use is moved.
        m_lastGround = 1 - m_lastGround;
    }
    return *m_grounds[m_lastGround];
}

void MapPainter::update()
{
    const bool markersShown = m_showStart && Fernhouse::Base::GameTime::getTicks() % BlinkPeriod > BlinkOn;
    if (markersShown != m_markersShown)
    {
        m_markersShown = markersShown;
        Fernhouse::Base::Repaint::request();
    }
    Entity::update();
}

Rect MapPainter::visibleArea() const
{
    // The painter sits at the map's centre; the view rectangle gives the cells that can be seen.
    std::int32_t firstX = 0;
    std::int32_t lastX = m_map->getWidth();
    std::int32_t firstY = 0;
    std::int32_t lastY = m_map->getHeight();
    if (m_visibleArea.w != 0 && m_visibleArea.h != 0)
    {
        visibleCells(getX() - HalfCell * m_map->getWidth(), m_visibleArea.x, m_visibleArea.w,
                     m_map->getWidth(), firstX, lastX);
        visibleCells(getY() - HalfCell * m_map->getHeight(), m_visibleArea.y, m_visibleArea.h,
                     m_map->getHeight(), firstY, lastY);
    }
    return Rect(firstX, firstY, static_cast<std::uint32_t>(std::max(0, lastX - firstX)),
                static_cast<std::uint32_t>(std::max(0, lastY - firstY)));
}

void MapPainter::draw()
{
    const Point origin(-HalfCell * m_map->getWidth(), -HalfCell * m_map->getHeight());
    Fernhouse::Graphics::Painter painter;
    painter.pushMatrix();
    applyTransform();
    painter.bindTexture(m_tileTexture);

    const Rect drawArea = visibleArea();
    m_drawnTiles = 0;
    std::int32_t layer = 0;
    // A whole large map at once is more than a ground window holds: it is drawn by cell.
    if (m_grounds[0] != nullptr && m_grounds[0]->canHold(drawArea))
    {
        // Opaque ground under opaque white is copied rather than blended: the same pixels, drawn faster.
        const bool copying = m_opaqueGround && Fernhouse::Graphics::Painter::getColor() == OpaqueWhite;
        Fernhouse::Graphics::Painter::setTexelMode(copying ? TexelMode::Copied : TexelMode::Blended);
        m_drawnTiles += groundFor(drawArea).draw(painter, drawArea, origin);
        Fernhouse::Graphics::Painter::setTexelMode(TexelMode::Blended);
        painter.bindTexture(m_tileTexture);
        ++layer;
    }
    for (; layer < m_map->getLayerCount() - 1; ++layer)
    {
        drawLayerByCell(painter, static_cast<unsigned>(layer), drawArea, origin);
    }
    // Untextured, so that the markers show their own colour and not a tint of the last tile.
    painter.unbindTexture();
    if (m_markersShown)
    {
        drawStartMarkers(painter, origin);
    }
    painter.restoreColor();

    for (WormSprite* worm : m_worms)
    {
        worm->setDrawArea(drawArea);
    }
    glTranslatef(static_cast<GLfloat>(origin.x), static_cast<GLfloat>(origin.y), 0.0f);
    Entity::draw();
    painter.popMatrix();
}

void MapPainter::drawLayerByCell(Fernhouse::Graphics::Painter& painter, unsigned layer, const Rect& cells,
                                 const Point& origin)
{
    const bool tinted = layer < m_layerColors.size();
    if (tinted)
    {
        painter.setColor(m_layerColors[layer]);
    }
    const std::int32_t lastX = cells.x + static_cast<std::int32_t>(cells.w);
    const std::int32_t lastY = cells.y + static_cast<std::int32_t>(cells.h);
    for (std::int32_t y = cells.y; y < lastY; ++y)
    {
        for (std::int32_t x = cells.x; x < lastX; ++x)
        {
            const std::int32_t tile = m_map->getTile(layer, x, y);
            if (tile == MapFile::EmptyCell)
            {
                continue;
            }
            painter.drawTexturedRect(
                Rect(CellSize * x + origin.x, CellSize * y + origin.y, CellSize, CellSize),
                Rect(CellSize * (tile % TilesPerRow), CellSize * (tile / TilesPerRow), CellSize, CellSize));
            ++m_drawnTiles;
        }
    }
    if (tinted)
    {
        painter.restoreColor();
    }
}

void MapPainter::drawStartMarkers(Fernhouse::Graphics::Painter& painter, const Point& origin) const
{
    const WormSprite* players[] = {m_player1, m_player2};
    const Fernhouse::Base::Color colors[] = {Marker1, Marker2};
    for (std::size_t i = 0; i < 2; ++i)
    {
        if (players[i] == nullptr)
        {
            continue;
        }
        const WormSprite::Segment& head = players[i]->getHead();
        painter.setColor(colors[i]);
        painter.fillCircle(
            Point(CellSize * head.x + origin.x + HalfCell, CellSize * head.y + origin.y + HalfCell),
            MarkerRadius, MarkerSegments);
    }
}

} // namespace Tarvo
