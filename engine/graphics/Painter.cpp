#include "engine/graphics/Painter.h"

#include "engine/base/Exception.h"
#include "engine/base/Size.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/FramebufferCopy.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureFactory.h"

#include <GL/gl.h>

#include <array>
#include <cassert>
#include <cmath>

namespace Fernhouse::Graphics
{

namespace
{

constexpr const char* SourceTag = "src/Painter";

static_assert(Font::glyphIndex('H') == 8 && Font::glyphIndex('i') == 9 && Font::glyphIndex('5') == 32);
static_assert(Font::glyphIndex('!') == 39 && Font::glyphIndex('&') == 56 && !Font::canDraw('%'));

constexpr float Pi = 3.14159265358979f;

std::uint8_t toByte(GLfloat component)
{
    return static_cast<std::uint8_t>(std::lround(component * 255.0f));
}

// How far the text box starts before the position along one axis.
std::int32_t alignmentShift(std::uint32_t extent, int alignment)
{
    if (alignment == Painter::AlignCenter)
    {
        return static_cast<std::int32_t>(extent >> 1);
    }
    if (alignment == Painter::AlignRight)
    {
        return static_cast<std::int32_t>(extent);
    }
    return 0;
}

void emitCircle(GLenum mode, const Base::Point& centre, std::uint32_t radius, std::uint32_t segments)
{
    const auto r = static_cast<float>(radius);
    glBegin(mode);
    for (std::uint32_t i = 0; i < segments; ++i)
    {
        const float angle = 2.0f * static_cast<float>(i) * Pi / static_cast<float>(segments);
        glVertex2f(static_cast<float>(centre.x) + std::cos(angle) * r,
                   static_cast<float>(centre.y) + std::sin(angle) * r);
    }
    glEnd();
}

} // namespace

Painter::TexelMode Painter::s_texelMode = Painter::TexelMode::Blended;

Painter::Painter() = default;

Painter::~Painter() = default;

void Painter::pushMatrix()
{
    glPushMatrix();
}

void Painter::popMatrix()
{
    glPopMatrix();
}

void Painter::setColor(const Base::Color& color)
{
    restoreColor();
    m_savedColor = getColor();
    glColor4ub(color.r, color.g, color.b, color.a);
}

Base::Color Painter::getColor()
{
    GLfloat current[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    glGetFloatv(GL_CURRENT_COLOR, current);
    return Base::Color(toByte(current[0]), toByte(current[1]), toByte(current[2]), toByte(current[3]));
}

void Painter::setTexelMode(TexelMode mode)
{
    s_texelMode = mode;
    if (mode == TexelMode::Blended)
    {
        glEnable(GL_BLEND);
        glDisable(GL_ALPHA_TEST);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        return;
    }
    glDisable(GL_BLEND);
    if (mode == TexelMode::CutOut)
    {
        glEnable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0.0f);
    }
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
}

bool Painter::copyTexels(const Texture& texture, const Base::Rect& src, float x, float y)
{
    TextureFactory* factory = TextureFactory::getInstance();
    return s_texelMode == TexelMode::Copied && factory != nullptr &&
           factory->getFramebufferCopy().copy(texture, src, x, y);
}

void Painter::restoreColor()
{
    if (m_savedColor)
    {
        glColor4ub(m_savedColor->r, m_savedColor->g, m_savedColor->b, m_savedColor->a);
        m_savedColor.reset();
    }
}

void Painter::bindTexture(const Texture* texture)
{
    assert(texture != nullptr);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture->getGlName());
    m_boundTexture = texture;
}

void Painter::unbindTexture()
{
    glDisable(GL_TEXTURE_2D);
    m_boundTexture = nullptr;
}

void Painter::drawTexturedRect(const Base::Rect& dst, const Base::Rect& src)
{
    assert(m_boundTexture != nullptr && "drawTexturedRect without a bound texture");
    if (dst.w == src.w && dst.h == src.h &&
        copyTexels(*m_boundTexture, src, static_cast<float>(dst.x), static_cast<float>(dst.y)))
    {
        return;
    }
    const auto width = static_cast<float>(m_boundTexture->getWidth());
    const auto height = static_cast<float>(m_boundTexture->getHeight());
    const float left = static_cast<float>(src.x) / width;
    const float right = static_cast<float>(src.x + static_cast<std::int32_t>(src.w)) / width;
    const float top = static_cast<float>(src.y) / height;
    const float bottom = static_cast<float>(src.y + static_cast<std::int32_t>(src.h)) / height;
    const std::int32_t x2 = dst.x + static_cast<std::int32_t>(dst.w);
    const std::int32_t y2 = dst.y + static_cast<std::int32_t>(dst.h);
    glBegin(GL_QUADS);
    glTexCoord2f(left, top);
    glVertex2i(dst.x, dst.y);
    glTexCoord2f(right, top);
    glVertex2i(x2, dst.y);
    glTexCoord2f(right, bottom);
    glVertex2i(x2, y2);
    glTexCoord2f(left, bottom);
    glVertex2i(dst.x, y2);
    glEnd();
}

void Painter::fillRect(const Base::Rect& rect)
{
    const std::int32_t x2 = rect.x + static_cast<std::int32_t>(rect.w);
    const std::int32_t y2 = rect.y + static_cast<std::int32_t>(rect.h);
    glBegin(GL_QUADS);
    glVertex2i(rect.x, rect.y);
    glVertex2i(x2, rect.y);
    glVertex2i(x2, y2);
    glVertex2i(rect.x, y2);
    glEnd();
}

void Painter::drawCircle(const Base::Point& centre, std::uint32_t radius, std::uint32_t segments)
{
    emitCircle(GL_LINE_LOOP, centre, radius, segments);
}

void Painter::fillCircle(const Base::Point& centre, std::uint32_t radius, std::uint32_t segments)
{
    emitCircle(GL_POLYGON, centre, radius, segments);
}

void Painter::setClipRect(const Base::Rect& rect)
{
    glEnable(GL_SCISSOR_TEST);
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    // GL counts scissor rows from the bottom of the viewport.
    glScissor(rect.x, viewport[3] - (rect.y + static_cast<GLint>(rect.h)), static_cast<GLsizei>(rect.w),
              static_cast<GLsizei>(rect.h));
}

void Painter::clearClipRect()
{
    glDisable(GL_SCISSOR_TEST);
}

void Painter::drawText(const std::string& text, const Base::Point& position, const Font* font, int horizontal,
                       int vertical)
{
    assert(font != nullptr);
    bindTexture(font->getTexture());
    const Base::Size glyph = font->getGlyphSize();
    const Base::Size box = font->getTextSize(text);
    std::int32_t x = position.x - alignmentShift(box.w, horizontal);
    const std::int32_t y = position.y - alignmentShift(box.h, vertical);
    const auto glyphWidth = static_cast<std::int32_t>(glyph.w);
    const auto glyphHeight = static_cast<std::int32_t>(glyph.h);
    for (const char byte : text)
    {
        const int index = Font::glyphIndex(byte);
        if (index == Font::NoGlyph)
        {
            // Leave no texturing switched on behind the exception.
            unbindTexture();
            FH_THROW(Base::GenericFontException, "Invalid character.");
        }
        const Base::Rect source((index % Font::GlyphsPerRow) * glyphWidth,
                                (index / Font::GlyphsPerRow) * glyphHeight, glyph.w, glyph.h);
        drawTexturedRect(Base::Rect(x, y, glyph.w, glyph.h), source);
        x += glyphWidth;
    }
    unbindTexture();
}

void Painter::fillRect(const Base::Rect& rect, const Base::Color& color)
{
    Painter painter;
    painter.pushMatrix();
    painter.setColor(color);
    painter.fillRect(rect);
    painter.restoreColor();
    painter.popMatrix();
}

void Painter::drawTexture(const Base::Rect& dst, const Texture* texture, const Base::Rect& src)
{
    Painter painter;
    painter.pushMatrix();
    painter.bindTexture(texture);
    painter.drawTexturedRect(dst, src);
    painter.unbindTexture();
    painter.popMatrix();
}

} // namespace Fernhouse::Graphics
