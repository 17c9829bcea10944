#include "game/edit/PaletteView.h"

#include "engine/graphics/Painter.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/graphics/TextureMap.h"

#include "game/edit/MapView.h"
#include "game/play/WormSprite.h"

namespace Tarvo
{

namespace
{

using Fernhouse::Base::Rect;
using Fernhouse::Graphics::TextureFactory;

constexpr std::int32_t Cell = WormSprite::CellSize;
constexpr std::uint32_t Side = static_cast<std::uint32_t>(Cell * PaletteView::Columns);
// The same colour key as the map painter's, so that the palette shows the tiles as the map does.
constexpr Fernhouse::Base::Color ColorKey{};

} // namespace

PaletteView::PaletteView(const std::string& tileset)
    : m_sheet(TextureFactory::getInstance()->createTextureMap(tileset, &ColorKey))
{
}

PaletteView::~PaletteView()
{
    TextureFactory::getInstance()->freeTextureMap(m_sheet);
}

void PaletteView::setTileset(const std::string& tileset)
{
    Fernhouse::Graphics::TextureMap* sheet =
        TextureFactory::getInstance()->createTextureMap(tileset, &ColorKey);
    TextureFactory::getInstance()->freeTextureMap(m_sheet);
    m_sheet = sheet;
}

std::int32_t PaletteView::tileAt(std::int32_t x, std::int32_t y) const
{
    const std::int32_t column = (x - getX()) / Cell;
    const std::int32_t row = (y - getY()) / Cell;
    if (x < getX() || y < getY() || column >= Columns || row >= Rows)
    {
        return -1;
    }
    return row * Columns + column;
}

void PaletteView::draw()
{
    Fernhouse::Graphics::Painter painter;
    painter.bindTexture(m_sheet->getTexture(0, 0));
    painter.drawTexturedRect(Rect(getX(), getY(), Side, Side), Rect(0, 0, Side, Side));
    painter.unbindTexture();
    if (m_selected >= 0)
    {
        const std::int32_t left = getX() + Cell * (m_selected % Columns);
        const std::int32_t top = getY() + Cell * (m_selected / Columns);
        painter.setColor(FrameColor);
        MapView::outline(painter, Rect(left - 1, top - 1, Cell + 2, Cell + 2));
        painter.restoreColor();
    }
}

} // namespace Tarvo
