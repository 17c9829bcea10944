#pragma once

#include "engine/base/Point.h"
#include "engine/base/Rect.h"
#include "engine/graphics/TextureSource.h"

#include <cstdint>

namespace Fernhouse::Graphics
{
class Painter;
class Texture;
class TextureMap;
} // namespace Fernhouse::Graphics

namespace Tarvo
{

class MapFile;

// A map's first layer copied tile by tile out of its tileset into textures of its own, so that a view
// draws it with a few large quads instead of one quad per cell: texel for texel the same picture, at a
// fraction of the rasteriser's cost. A map too large to hold whole gets a window of WindowCells square
// instead, moved and made again whenever a view asks for cells outside it.
class GroundTexture final : public Fernhouse::Graphics::TextureSource
{
public:
    // The largest map, in cells, that is given one: its textures take four bytes a pixel.
    static constexpr std::int32_t MaxCells = 128 * 128;

    // The side of the window, in cells: a view of 480 pixels with room to scroll about 15 cells each way.
    static constexpr std::int32_t WindowCells = 64;

    // Whether the map is held whole.
    static bool fits(const MapFile& map);

    // Neither is owned; both must outlive this. Throws TextureCreationFailedException.
    GroundTexture(const MapFile* map, const Fernhouse::Graphics::Texture* tileset);
    GroundTexture(const GroundTexture&) = delete;
    GroundTexture& operator=(const GroundTexture&) = delete;
    ~GroundTexture() override;

    // The held cells as one picture, a cell's tile at (16x, 16y) from the window's corner; empty cells
    // transparent.
    SDL_Surface* render() const override;

    // Whether every cell of the rectangle that lies on the map is held.
    bool holds(const Fernhouse::Base::Rect& cells) const;
    // Whether those cells fit in the window once it is moved over them.
    bool canHold(const Fernhouse::Base::Rect& cells) const;

    // The parts that show any of the cells, with the map's top-left corner at origin (pixels), after
    // moving the window over the cells when it does not hold them. The cells must fit (canHold). Leaves no texture bound. Returns the
    // number of quads drawn. Throws TextureCreationFailedException when the window cannot be made again.
    std::uint32_t draw(Fernhouse::Graphics::Painter& painter, const Fernhouse::Base::Rect& cells,
                       const Fernhouse::Base::Point& origin);

    // The cells held now.
    const Fernhouse::Base::Rect& getWindow() const { return m_window; }

private:
    // Half-open ranges of cells.
    struct Span
    {
        std::int32_t left;
        std::int32_t top;
        std::int32_t right;
        std::int32_t bottom;
    };

    void moveWindow(const Fernhouse::Base::Rect& cells);
    // The rectangle's cells that lie on the map.
    Span onMap(const Fernhouse::Base::Rect& cells) const;

    const MapFile* m_map;                          // not owned
    const Fernhouse::Graphics::Texture* m_tileset; // not owned
    Fernhouse::Graphics::TextureMap* m_pieces;     // owned, freed through TextureFactory
    Fernhouse::Base::Rect m_window;                // cells
};

} // namespace Tarvo
