#include "game/play/GroundTexture.h"

#include "engine/base/Exception.h"
#include "engine/graphics/Painter.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/graphics/TextureMap.h"

#include "game/play/MapFile.h"
#include "game/play/WormSprite.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace Tarvo
{

namespace
{

using Fernhouse::Base::Rect;
using Fernhouse::Graphics::TextureFactory;

constexpr const char* SourceTag = "GroundTexture";
constexpr std::int32_t CellSize = WormSprite::CellSize;
constexpr std::int32_t TilesPerRow = 16;
constexpr std::int32_t BytesPerPixel = 4;
constexpr std::uint32_t FirstPieceSide = 64;

// Where a texel coordinate lands in a texture that repeats, as GL samples it by default.
std::int32_t wrap(std::int32_t coordinate, std::int32_t length)
{
    const std::int32_t rest = coordinate % length;
    return rest < 0 ? rest + length : rest;
}

// The smallest allowed texture side that holds the whole map, or the largest allowed one.
std::uint32_t pieceSide(std::int32_t mapPixels)
{
    const TextureFactory* factory = TextureFactory::getInstance();
    std::uint32_t side = FirstPieceSide;
    while (side < static_cast<std::uint32_t>(mapPixels) && factory->isTileSizeAllowed(side * 2))
    {
        side *= 2;
    }
    return side;
}

} // namespace

bool GroundTexture::fits(const MapFile& map)
{
    return map.getWidth() > 0 && map.getHeight() > 0 && map.getWidth() <= MaxCells / map.getHeight();
}

GroundTexture::GroundTexture(const MapFile* map, const Fernhouse::Graphics::Texture* tileset)
    : m_map(map),
      m_tileset(tileset),
      m_pieces(nullptr)
{
    const bool whole = fits(*map);
    m_window = Rect(
        0, 0, static_cast<std::uint32_t>(whole ? map->getWidth() : std::min(WindowCells, map->getWidth())),
        static_cast<std::uint32_t>(whole ? map->getHeight() : std::min(WindowCells, map->getHeight())));
    const std::uint32_t side =
        pieceSide(CellSize * static_cast<std::int32_t>(std::max(m_window.w, m_window.h)));
    m_pieces = TextureFactory::getInstance()->createTextureMap(this, Fernhouse::Base::Size(side, side));
}

GroundTexture::Span GroundTexture::onMap(const Rect& cells) const
{
    return Span{std::max(0, cells.x), std::max(0, cells.y),
                std::min(m_map->getWidth(), cells.x + static_cast<std::int32_t>(cells.w)),
                std::min(m_map->getHeight(), cells.y + static_cast<std::int32_t>(cells.h))};
}

bool GroundTexture::holds(const Rect& cells) const
{
    const Span span = onMap(cells);
    if (span.right <= span.left || span.bottom <= span.top)
    {
        return true;
    }
    return span.left >= m_window.x && span.top >= m_window.y &&
           span.right <= m_window.x + static_cast<std::int32_t>(m_window.w) &&
           span.bottom <= m_window.y + static_cast<std::int32_t>(m_window.h);
}

bool GroundTexture::canHold(const Rect& cells) const
{
    const Span span = onMap(cells);
    return span.right - span.left <= static_cast<std::int32_t>(m_window.w) &&
           span.bottom - span.top <= static_cast<std::int32_t>(m_window.h);
}

void GroundTexture::moveWindow(const Rect& cells)
{
    const Span span = onMap(cells);
    const auto width = static_cast<std::int32_t>(m_window.w);
    const auto height = static_cast<std::int32_t>(m_window.h);
    // Centred on the cells, so that the view may scroll either way before the next move.
    m_window.x = std::clamp((span.left + span.right - width) / 2, 0, m_map->getWidth() - width);
    m_window.y = std::clamp((span.top + span.bottom - height) / 2, 0, m_map->getHeight() - height);
    const Fernhouse::Base::Size side = m_pieces->getTileSize();
    TextureFactory::getInstance()->freeTextureMap(m_pieces);
    m_pieces = nullptr;
    m_pieces = TextureFactory::getInstance()->createTextureMap(this, side);
}

GroundTexture::~GroundTexture()
{
    TextureFactory::getInstance()->freeTextureMap(m_pieces);
}

SDL_Surface* GroundTexture::render() const
{
    const std::int32_t width = CellSize * static_cast<std::int32_t>(m_window.w);
    const std::int32_t height = CellSize * static_cast<std::int32_t>(m_window.h);
    SDL_Surface* surface = TextureFactory::getInstance()->createSurface(static_cast<std::uint32_t>(width),
                                                                        static_cast<std::uint32_t>(height));
    if (surface == nullptr)
    {
        FH_THROW(Fernhouse::Base::TextureCreationFailedException, "Error when creating new image.");
    }
    const std::vector<std::uint8_t> sheet = m_tileset->readPixels();
    const auto sheetWidth = static_cast<std::int32_t>(m_tileset->getWidth());
    const auto sheetHeight = static_cast<std::int32_t>(m_tileset->getHeight());
    auto* pixels = static_cast<std::uint8_t*>(surface->pixels);

    for (std::int32_t y = 0; y < static_cast<std::int32_t>(m_window.h); ++y)
    {
        for (std::int32_t x = 0; x < static_cast<std::int32_t>(m_window.w); ++x)
        {
            const std::int32_t tile = m_map->getTile(0, m_window.x + x, m_window.y + y);
            const std::int32_t left = CellSize * (tile % TilesPerRow);
            const std::int32_t top = CellSize * (tile / TilesPerRow);
            for (std::int32_t row = 0; row < CellSize; ++row)
            {
                std::uint8_t* to =
                    pixels + (CellSize * y + row) * surface->pitch + CellSize * x * BytesPerPixel;
                if (tile == MapFile::EmptyCell)
                {
                    std::memset(to, 0, CellSize * BytesPerPixel);
                    continue;
                }
                const std::int32_t sheetRow = wrap(top + row, sheetHeight);
                for (std::int32_t column = 0; column < CellSize; ++column)
                {
                    const std::int32_t sheetColumn = wrap(left + column, sheetWidth);
                    std::memcpy(to + column * BytesPerPixel,
                                sheet.data() + (sheetRow * sheetWidth + sheetColumn) * BytesPerPixel,
                                BytesPerPixel);
                }
            }
        }
    }
    return surface;
}

std::uint32_t GroundTexture::draw(Fernhouse::Graphics::Painter& painter, const Rect& cells,
                                  const Fernhouse::Base::Point& mapOrigin)
{
    if (!holds(cells))
    {
        moveWindow(cells);
    }
    const auto side = static_cast<std::int32_t>(m_pieces->getTileSize().w);
    const std::int32_t width = CellSize * static_cast<std::int32_t>(m_window.w);
    const std::int32_t height = CellSize * static_cast<std::int32_t>(m_window.h);
    const Fernhouse::Base::Point origin(mapOrigin.x + CellSize * m_window.x,
                                        mapOrigin.y + CellSize * m_window.y);
    // The cells' pixels within the window, then the textures that hold them.
    const std::int32_t left = std::max(0, CellSize * (cells.x - m_window.x));
    const std::int32_t top = std::max(0, CellSize * (cells.y - m_window.y));
    const std::int32_t right =
        std::min(width, CellSize * (cells.x - m_window.x + static_cast<std::int32_t>(cells.w)));
    const std::int32_t bottom =
        std::min(height, CellSize * (cells.y - m_window.y + static_cast<std::int32_t>(cells.h)));
    const std::int32_t firstColumn = left / side;
    const std::int32_t firstRow = top / side;
    const std::int32_t lastColumn = right > left ? (right + side - 1) / side : firstColumn;
    const std::int32_t lastRow = bottom > top ? (bottom + side - 1) / side : firstRow;
    std::uint32_t quads = 0;
    for (std::int32_t row = firstRow; row < lastRow; ++row)
    {
        for (std::int32_t column = firstColumn; column < lastColumn; ++column)
        {
            // Only the piece's part under the cells: a quad reaching far off the screen is clipped into
            // triangles that some rasterisers do not join without gaps.
            const std::int32_t x0 = std::max(column * side, left);
            const std::int32_t y0 = std::max(row * side, top);
            const std::int32_t x1 = std::min(column * side + side, right);
            const std::int32_t y1 = std::min(row * side + side, bottom);
            const auto partWidth = static_cast<std::uint32_t>(x1 - x0);
            const auto partHeight = static_cast<std::uint32_t>(y1 - y0);
            painter.bindTexture(
                m_pieces->getTexture(static_cast<std::uint32_t>(column), static_cast<std::uint32_t>(row)));
            painter.drawTexturedRect(Rect(origin.x + x0, origin.y + y0, partWidth, partHeight),
                                     Rect(x0 - column * side, y0 - row * side, partWidth, partHeight));
            ++quads;
        }
    }
    painter.unbindTexture();
    return quads;
}

} // namespace Tarvo
