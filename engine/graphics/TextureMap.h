#pragma once

#include "engine/base/Size.h"

#include <cstdint>
#include <vector>

namespace Fernhouse::Graphics
{

class Texture;

// An image cut into a grid of equal tiles, one Texture per tile. Made and freed by TextureFactory;
// owners never delete a map themselves.
class TextureMap final
{
public:
    // All tiles start empty. Sizes in pixels, the grid in columns and rows.
    TextureMap(const Base::Size& tileSize, const Base::Size& gridSize, const Base::Size& imageSize);
    TextureMap(const TextureMap&) = delete;
    TextureMap& operator=(const TextureMap&) = delete;
    // Deletes the Texture objects, not their GL textures.
    ~TextureMap();

    // Null while the tile is empty. Throws TextureMapOutOfBoundException outside the grid.
    Texture* getTexture(std::uint32_t column, std::uint32_t row) const;
    // The map takes ownership of texture and deletes a different texture it held at that place.
    // Throws TextureMapOutOfBoundException outside the grid.
    void setTexture(Texture* texture, std::uint32_t column, std::uint32_t row);

    // The size of every tile texture in pixels.
    const Base::Size& getTileSize() const { return m_tileSize; }

    // Columns and rows.
    const Base::Size& getGridSize() const { return m_gridSize; }

    // The source image's size in pixels, before cutting and padding.
    const Base::Size& getImageSize() const { return m_imageSize; }

    // Gives this map's textures the GL names of other's, tile by tile, keeping the Texture objects so that
    // their holders see the new names. Throws Exception when the grids differ.
    void adoptTextureNames(const TextureMap& other);

private:
    std::size_t indexOf(std::uint32_t column, std::uint32_t row) const;

    Base::Size m_tileSize;
    Base::Size m_gridSize;
    Base::Size m_imageSize;
    std::vector<Texture*> m_textures; // owned; column + columns * row
};

} // namespace Fernhouse::Graphics
