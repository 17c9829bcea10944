#pragma once

#include "engine/base/Size.h"

#include <cstdint>
#include <string>

namespace Fernhouse::Graphics
{

class Texture;
class TextureMap;

// A bitmap font: one texture holding an 8 x 8 grid of equal glyph cells. Made and shared by FontManager.
class Font final
{
public:
    // Takes textureMap (one tile, made by TextureFactory) and returns it to the factory when destroyed.
    // Glyph sides in pixels.
    Font(TextureMap* textureMap, std::uint32_t glyphWidth, std::uint32_t glyphHeight,
         const std::string& name);
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    ~Font();

    // In pixels.
    Base::Size getGlyphSize() const { return Base::Size(m_glyphWidth, m_glyphHeight); }

    // The whole glyph sheet.
    Texture* getTexture() const;

    const std::string& getName() const { return m_name; }

    // The box of one line of text in pixels; every byte counts as one glyph.
    Base::Size getTextSize(const std::string& text) const;

private:
    TextureMap* m_textureMap; // owned, freed through TextureFactory
    std::uint32_t m_glyphWidth;
    std::uint32_t m_glyphHeight;
    std::string m_name;
};

} // namespace Fernhouse::Graphics
