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
// fraction of the rasteriser's cost.
class GroundTexture final : public Fernhouse::Graphics::TextureSource
{
public:
    // The largest map, in cells, that is given one: its textures take four bytes a pixel.
    static constexpr std::int32_t MaxCells = 128 * 128;

    static bool fits(const MapFile& map);

    // Neither is owned; both must outlive this. The map must fit. Throws TextureCreationFailedException.
    GroundTexture(const MapFile* map, const Fernhouse::Graphics::Texture* tileset);
    GroundTexture(const GroundTexture&) = delete;
    GroundTexture& operator=(const GroundTexture&) = delete;
    ~GroundTexture() override;

    // The layer as one picture, a cell's tile at (16x, 16y); empty cells transparent.
    SDL_Surface* render() const override;

    // The parts that show any of the cells, with the map's top-left corner at origin (pixels).
    // Leaves no texture bound. Returns the number of quads drawn.
    std::uint32_t draw(Fernhouse::Graphics::Painter& painter, const Fernhouse::Base::Rect& cells,
                       const Fernhouse::Base::Point& origin) const;

private:
    const MapFile* m_map;                          // not owned
    const Fernhouse::Graphics::Texture* m_tileset; // not owned
    Fernhouse::Graphics::TextureMap* m_pieces;     // owned, freed through TextureFactory
};

} // namespace Tarvo
