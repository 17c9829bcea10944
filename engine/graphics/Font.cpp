#include "engine/graphics/Font.h"

#include "engine/graphics/TextureFactory.h"
#include "engine/graphics/TextureMap.h"

namespace Fernhouse::Graphics
{

Font::Font(TextureMap* textureMap, std::uint32_t glyphWidth, std::uint32_t glyphHeight,
           const std::string& name)
    : m_textureMap(textureMap),
      m_glyphWidth(glyphWidth),
      m_glyphHeight(glyphHeight),
      m_name(name)
{
}

Font::~Font()
{
    // Without a factory the map has already gone with it.
    if (TextureFactory* factory = TextureFactory::getInstance())
    {
        factory->freeTextureMap(m_textureMap);
    }
}

Texture* Font::getTexture() const
{
    return m_textureMap->getTexture(0, 0);
}

Base::Size Font::getTextSize(const std::string& text) const
{
    return Base::Size(static_cast<std::uint32_t>(text.size()) * m_glyphWidth, m_glyphHeight);
}

} // namespace Fernhouse::Graphics
