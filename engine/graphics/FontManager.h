#pragma once

#include "engine/base/Singleton.h"

#include <cstdint>
#include <map>
#include <string>

namespace Fernhouse::Graphics
{

class Font;

// Loads bitmap fonts by name and shares them: every successful loadFont is matched by one freeFont, and a
// font stays loaded while anybody holds it.
class FontManager final : public Base::Singleton<FontManager>
{
public:
    // A font is found at directory + name + extension, e.g. "graphics/fonts/" + "comic_medium" + ".png".
    FontManager(const std::string& fontDirectory, const std::string& fontExtension);
    // Deletes the fonts still loaded, whoever holds them.
    ~FontManager() override;

    // The shared font, loaded on first use with black as the transparent colour. Throws the image
    // loading errors of TextureFactory, and FontLoadFailedException when the sheet needs more than one
    // texture tile.
    Font* loadFont(const std::string& name);
    // Releases one hold; the last one deletes the font. Throws ArgumentException for a name not loaded.
    void freeFont(const std::string& name);
    // Throws ArgumentException for null.
    void freeFont(const Font* font);

    void setFontDirectory(const std::string& fontDirectory) { m_fontDirectory = fontDirectory; }

    const std::string& getFontDirectory() const { return m_fontDirectory; }

    void setFontExtension(const std::string& fontExtension) { m_fontExtension = fontExtension; }

    const std::string& getFontExtension() const { return m_fontExtension; }

    // The holds on a font, 0 when it is not loaded.
    std::int32_t getReferenceCount(const std::string& name) const;

private:
    struct Entry
    {
        Font* font; // owned
        std::int32_t referenceCount;
    };

    std::string m_fontDirectory;
    std::string m_fontExtension;
    std::map<std::string, Entry> m_fonts;
};

} // namespace Fernhouse::Graphics
