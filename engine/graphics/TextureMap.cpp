#include "engine/graphics/TextureMap.h"

#include "engine/base/Exception.h"
#include "engine/graphics/Texture.h"

namespace Fernhouse::Graphics
{

namespace
{

constexpr const char* SourceTag = "src/TextureMap";

} // namespace

TextureMap::TextureMap(const Base::Size& tileSize, const Base::Size& gridSize, const Base::Size& imageSize)
    : m_tileSize(tileSize),
      m_gridSize(gridSize),
      m_imageSize(imageSize),
      m_textures(static_cast<std::size_t>(gridSize.w) * gridSize.h, nullptr)
{
}

TextureMap::~TextureMap()
{
    for (Texture* texture : m_textures)
    {
        delete texture;
    }
}

Texture* TextureMap::getTexture(std::uint32_t column, std::uint32_t row) const
{
    return m_textures[indexOf(column, row)];
}

void TextureMap::setTexture(Texture* texture, std::uint32_t column, std::uint32_t row)
{
    Texture*& slot = m_textures[indexOf(column, row)];
    if (slot != texture)
    {
        delete slot;
        slot = texture;
    }
}

void TextureMap::adoptTextureNames(const TextureMap& other)
{
    if (other.m_gridSize != m_gridSize)
    {
        FH_THROW(Base::Exception, "tMap's size doesn't match.");
    }
    for (std::size_t i = 0; i < m_textures.size(); ++i)
    {
        if (m_textures[i] != nullptr && other.m_textures[i] != nullptr)
        {
            m_textures[i]->setGlName(other.m_textures[i]->getGlName());
        }
    }
}

std::size_t TextureMap::indexOf(std::uint32_t column, std::uint32_t row) const
{
    if (column >= m_gridSize.w || row >= m_gridSize.h)
    {
        FH_THROW(Base::TextureMapOutOfBoundException, "Position is out of bound.");
    }
    return static_cast<std::size_t>(m_gridSize.w) * row + column;
}

} // namespace Fernhouse::Graphics
