#include "engine/graphics/FontManager.h"

#include "engine/base/Exception.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/graphics/TextureMap.h"

#include <cassert>

namespace Fernhouse::Graphics
{

namespace
{

constexpr const char* SourceTag = "src/FontManager";

// The sheet holds 8 x 8 glyph cells.
constexpr std::uint32_t GlyphsPerSide = 8;
// Black pixels of a font sheet are its background.
constexpr Base::Color FontColorKey(0, 0, 0, 255);

} // namespace

FontManager::FontManager(const std::string& fontDirectory, const std::string& fontExtension)
    : m_fontDirectory(fontDirectory),
      m_fontExtension(fontExtension)
{
}

FontManager::~FontManager()
{
    for (auto& [name, entry] : m_fonts)
    {
        delete entry.font;
    }
}

Font* FontManager::loadFont(const std::string& name)
{
    const auto found = m_fonts.find(name);
    if (found != m_fonts.end())
    {
        ++found->second.referenceCount;
        return found->second.font;
    }

    TextureFactory* factory = TextureFactory::getInstance();
    assert(factory != nullptr && "fonts need the texture factory");
    TextureMap* map = factory->createTextureMap(m_fontDirectory + name + m_fontExtension, &FontColorKey);
    // Glyph lookup addresses one texture; a sheet cut into several tiles cannot be drawn.
    if (map->getGridSize() != Base::Size(1, 1))
    {
        factory->freeTextureMap(map);
        FH_THROW(Base::FontLoadFailedException, "Invalid font graphics size.");
    }
    const Base::Size& image = map->getImageSize();
    auto* font = new Font(map, image.w / GlyphsPerSide, image.h / GlyphsPerSide, name);
    m_fonts[name] = Entry{font, 1};
    return font;
}

void FontManager::freeFont(const std::string& name)
{
    const auto found = m_fonts.find(name);
    if (found == m_fonts.end())
    {
        FH_THROW(Base::ArgumentException, "Cannot free a font that is not loaded.");
    }
    Entry& entry = found->second;
    --entry.referenceCount;
    if (entry.referenceCount < 0)
    {
        FH_THROW(Base::InvalidFontReferenceCounterException, "The reference counter cannot be less than 0.");
    }
    if (entry.referenceCount == 0)
    {
        Font* font = entry.font;
        m_fonts.erase(found);
        delete font;
    }
}

void FontManager::freeFont(const Font* font)
{
    if (font == nullptr)
    {
        FH_THROW(Base::ArgumentException, "Cannot free a null font.");
    }
    // A copy: the name lives in the font that this call may delete.
    const std::string name = font->getName();
    freeFont(name);
}

std::int32_t FontManager::getReferenceCount(const std::string& name) const
{
    const auto found = m_fonts.find(name);
    return found == m_fonts.end() ? 0 : found->second.referenceCount;
}

} // namespace Fernhouse::Graphics
