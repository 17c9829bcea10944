#pragma once

#include "engine/base/Size.h"

#include <array>
#include <cstdint>
#include <string>

namespace Fernhouse::Graphics
{

class Texture;
class TextureMap;

namespace FontGlyphs
{

constexpr int NoGlyph = -1;
constexpr int FirstLetterGlyph = 1;
constexpr int FirstDigitGlyph = 27;
constexpr int FirstSignGlyph = 37;
// The signs in the order of their cells, after the digits.
constexpr char Signs[] = ".,!?-+_#:;$()/\\='<>&";

constexpr std::array<int, 256> makeTable()
{
    std::array<int, 256> table{};
    for (int& glyph : table)
    {
        glyph = NoGlyph;
    }
    table[' '] = 0;
    for (int letter = 0; letter < 26; ++letter)
    {
        table[static_cast<std::size_t>('A' + letter)] = FirstLetterGlyph + letter;
        table[static_cast<std::size_t>('a' + letter)] = FirstLetterGlyph + letter;
    }
    for (int digit = 0; digit < 10; ++digit)
    {
        table[static_cast<std::size_t>('0' + digit)] = FirstDigitGlyph + digit;
    }
    for (int sign = 0; Signs[sign] != '\0'; ++sign)
    {
        table[static_cast<unsigned char>(Signs[sign])] = FirstSignGlyph + sign;
    }
    return table;
}

// Byte -> glyph cell; the same on every sheet.
inline constexpr std::array<int, 256> Table = makeTable();

} // namespace FontGlyphs

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

    // The cell of a byte's glyph, counted row by row on the sheet; NoGlyph for a byte no sheet draws.
    // Every font sheet has the same cells, so this is the one list of what text can hold.
    static constexpr int glyphIndex(char byte) { return FontGlyphs::Table[static_cast<unsigned char>(byte)]; }

    static constexpr bool canDraw(char byte) { return glyphIndex(byte) != NoGlyph; }

    static constexpr int NoGlyph = FontGlyphs::NoGlyph;
    static constexpr int GlyphsPerRow = 8;

private:
    TextureMap* m_textureMap; // owned, freed through TextureFactory
    std::uint32_t m_glyphWidth;
    std::uint32_t m_glyphHeight;
    std::string m_name;
};

} // namespace Fernhouse::Graphics
