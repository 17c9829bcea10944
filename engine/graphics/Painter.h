#pragma once

#include "engine/base/Color.h"
#include "engine/base/Point.h"
#include "engine/base/Rect.h"

#include <cstdint>
#include <optional>
#include <string>

namespace Fernhouse::Graphics
{

class Font;
class Texture;

// Immediate-mode drawing for one draw call: a drawable creates it on the stack, pushes the matrix, sets a
// colour, draws, restores the colour and pops. Main thread, between the screen's clear and swap.
class Painter final
{
public:
    // Alignment of drawText's text box against its position.
    static constexpr int AlignLeft = 0;
    static constexpr int AlignTop = 0;
    static constexpr int AlignCenter = 1;
    static constexpr int AlignRight = 2;
    static constexpr int AlignBottom = 2;

    Painter();
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;
    // Does not restore a saved colour; call restoreColor.
    ~Painter();

    void pushMatrix();
    void popMatrix();

    // Saves the current GL colour first, so that restoreColor can set it again.
    void setColor(const Base::Color& color);
    void restoreColor();
    // The colour GL draws with now, which tints and fades everything drawn.
    static Base::Color getColor();

    // How texels reach the screen. Blended is the default. Copied writes them as they are, without
    // blending or the colour's tint; CutOut does the same but leaves out fully transparent texels. For
    // opaque texels (Copied) or texels either opaque or fully transparent (CutOut) under opaque white,
    // both give the blended picture at a fraction of a software rasteriser's cost. Set Blended again
    // after use.
    enum class TexelMode
    {
        Blended,
        Copied,
        CutOut
    };
    static void setTexelMode(TexelMode mode);

    // In the Copied mode, copies the texels src of texture (in texels) unscaled to the quad whose top-left
    // corner is (x, y) in the current modelview's units, where a framebuffer copy gives the textured quad's
    // pixels (see FramebufferCopy); false, drawing nothing, in any other mode or case, and then the caller
    // draws the quad.
    static bool copyTexels(const Texture& texture, const Base::Rect& src, float x, float y);

    // texture must not be null; it stays bound until unbindTexture.
    void bindTexture(const Texture* texture);
    void unbindTexture();

    // dst in pixels; src in texels of the bound texture. Copied when the texel mode and the size allow.
    void drawTexturedRect(const Base::Rect& dst, const Base::Rect& src);
    // In the current colour.
    void fillRect(const Base::Rect& rect);
    // Radius in pixels; nothing is drawn for zero segments.
    void drawCircle(const Base::Point& centre, std::uint32_t radius, std::uint32_t segments);
    void fillCircle(const Base::Point& centre, std::uint32_t radius, std::uint32_t segments);

    // Clips all drawing to rect, in top-left screen pixels, until clearClipRect.
    void setClipRect(const Base::Rect& rect);
    void clearClipRect();

    // One line of text in the font (not null), in the current colour, aligned with the Align constants.
    // Throws GenericFontException at the first byte the font has no glyph for; the glyphs before it are
    // already drawn.
    void drawText(const std::string& text, const Base::Point& position, const Font* font, int horizontal,
                  int vertical);

    static void fillRect(const Base::Rect& rect, const Base::Color& color);
    static void drawTexture(const Base::Rect& dst, const Texture* texture, const Base::Rect& src);

private:
    static TexelMode s_texelMode;

    // A value rather than a heap object: painters are made for every draw call of every frame.
    std::optional<Base::Color> m_savedColor;
    const Texture* m_boundTexture = nullptr; // not owned
};

} // namespace Fernhouse::Graphics
