#include "engine/graphics/Image.h"

#include "engine/base/Repaint.h"
#include "engine/graphics/Painter.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/graphics/TextureMap.h"

#include <GL/gl.h>

#include <algorithm>
#include <cassert>

namespace Fernhouse::Graphics
{

namespace
{

constexpr std::uint8_t Opaque = 255;

} // namespace

Image::Image() = default;

Image::Image(const std::string& fileName) : m_fileName(fileName)
{
    loadTextureMap(nullptr);
}

Image::Image(const std::string& fileName, const Base::Color& colorKey)
    : m_fileName(fileName),
      m_colorKey(colorKey),
      m_hasColorKey(true)
{
    loadTextureMap(&m_colorKey);
}

Image::Image(const std::string& fileName, const Base::Size& tileSize)
    : m_fileName(fileName),
      m_tileSize(tileSize)
{
    loadTextureMap(nullptr);
}

Image::~Image()
{
    if (m_textureMap != nullptr)
    {
        if (TextureFactory* factory = TextureFactory::getInstance())
        {
            factory->freeTextureMap(m_textureMap);
        }
    }
}

void Image::load(const std::string& fileName, const Base::Color& colorKey)
{
    m_fileName = fileName;
    m_hasColorKey = true;
    m_colorKey = colorKey;
    loadTextureMap(&m_colorKey);
}

void Image::load(const std::string& fileName)
{
    m_fileName = fileName;
    loadTextureMap(nullptr);
}

Base::Size Image::getSize() const
{
    assert(m_textureMap != nullptr && "getSize of an image that is not loaded");
    return m_textureMap->getImageSize();
}

void Image::draw()
{
    float halfW = 0.0f;
    float halfH = 0.0f;
    beginPicture(halfW, halfH);
    if (m_textureMap != nullptr)
    {
        const Base::Size& image = m_textureMap->getImageSize();
        const Base::Rect whole(0, 0, image.w, image.h);
        drawTiles(&whole, 1, halfW, halfH);
    }
    endPicture();
    glTranslatef(-halfW, -halfH, 0.0f);
    Entity::draw();
    glPopMatrix();
}

void Image::drawParts(const Base::Rect* parts, std::size_t count)
{
    float halfW = 0.0f;
    float halfH = 0.0f;
    beginPicture(halfW, halfH);
    if (m_textureMap != nullptr)
    {
        drawTiles(parts, count, halfW, halfH);
    }
    endPicture();
    glPopMatrix();
}

void Image::drawTiles(const Base::Rect* parts, std::size_t count, float halfW, float halfH)
{
    const Base::Size& grid = m_textureMap->getGridSize();
    const Base::Size& image = m_textureMap->getImageSize();
    const auto tileW = static_cast<std::int32_t>(m_textureMap->getTileSize().w);
    const auto tileH = static_cast<std::int32_t>(m_textureMap->getTileSize().h);
    for (std::uint32_t column = 0; column < grid.w; ++column)
    {
        for (std::uint32_t row = 0; row < grid.h; ++row)
        {
            const std::int32_t tileLeft = static_cast<std::int32_t>(column) * tileW;
            const std::int32_t tileTop = static_cast<std::int32_t>(row) * tileH;
            const std::int32_t tileRight = std::min(tileLeft + tileW, static_cast<std::int32_t>(image.w));
            const std::int32_t tileBottom = std::min(tileTop + tileH, static_cast<std::int32_t>(image.h));
            const Texture* texture = m_textureMap->getTexture(column, row);
            bool bound = false;
            for (std::size_t i = 0; i < count; ++i)
            {
                const Base::Rect& part = parts[i];
                const std::int32_t left = std::max(part.x, tileLeft);
                const std::int32_t top = std::max(part.y, tileTop);
                const std::int32_t right = std::min(part.x + static_cast<std::int32_t>(part.w), tileRight);
                const std::int32_t bottom = std::min(part.y + static_cast<std::int32_t>(part.h), tileBottom);
                if (left >= right || top >= bottom)
                {
                    continue;
                }
                const Base::Rect texels(left - tileLeft, top - tileTop,
                                        static_cast<std::uint32_t>(right - left),
                                        static_cast<std::uint32_t>(bottom - top));
                if (Painter::copyTexels(*texture, texels, static_cast<float>(left) - halfW,
                                        static_cast<float>(top) - halfH))
                {
                    continue;
                }
                if (!bound)
                {
                    glBindTexture(GL_TEXTURE_2D, texture->getGlName());
                    bound = true;
                }
                const auto s0 = static_cast<float>(left - tileLeft) / static_cast<float>(tileW);
                const auto s1 = static_cast<float>(right - tileLeft) / static_cast<float>(tileW);
                const auto t0 = static_cast<float>(top - tileTop) / static_cast<float>(tileH);
                const auto t1 = static_cast<float>(bottom - tileTop) / static_cast<float>(tileH);
                const auto x0 = static_cast<float>(left) - halfW;
                const auto x1 = static_cast<float>(right) - halfW;
                const auto y0 = static_cast<float>(top) - halfH;
                const auto y1 = static_cast<float>(bottom) - halfH;
                glBegin(GL_QUADS);
                glTexCoord2f(s0, t0);
                glVertex2f(x0, y0);
                glTexCoord2f(s1, t0);
                glVertex2f(x1, y0);
                glTexCoord2f(s1, t1);
                glVertex2f(x1, y1);
                glTexCoord2f(s0, t1);
                glVertex2f(x0, y1);
                glEnd();
            }
        }
    }
}

void Image::beginPicture(float& halfW, float& halfH)
{
    const Base::Size imageSize = m_textureMap != nullptr ? m_textureMap->getImageSize() : Base::Size();
    halfW = static_cast<float>(imageSize.w) * 0.5f;
    halfH = static_cast<float>(imageSize.h) * 0.5f;

    glPushMatrix();
    glTranslatef(static_cast<float>(getX()), static_cast<float>(getY()), 0.0f);
    glScalef(getScale(), getScale(), 1.0f);
    glTranslatef(halfW, halfH, 0.0f);
    glRotatef(getRotation(), 0.0f, 0.0f, 1.0f);
    if (m_textureMap != nullptr)
    {
        glEnable(GL_TEXTURE_2D);
        const Base::Color& color = getColor();
        glColor4ub(color.r, color.g, color.b, color.a);
    }
}

void Image::endPicture()
{
    if (m_textureMap != nullptr)
    {
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glDisable(GL_TEXTURE_2D);
    }
}

void Image::update()
{
    // Children of an image are decoration: drawn with it, never animated through it.
}

bool Image::isOpaque() const
{
    if (m_textureMap == nullptr)
    {
        return false;
    }
    if (!m_opaque)
    {
        m_opaque = true;
        const Base::Size& grid = m_textureMap->getGridSize();
        const Base::Size& tile = m_textureMap->getTileSize();
        const Base::Size& image = m_textureMap->getImageSize();
        for (std::uint32_t column = 0; column < grid.w && *m_opaque; ++column)
        {
            for (std::uint32_t row = 0; row < grid.h && *m_opaque; ++row)
            {
                // The padding beyond the picture is transparent and never drawn over anything that shows.
                const std::uint32_t width = std::min(tile.w, image.w - column * tile.w);
                const std::uint32_t height = std::min(tile.h, image.h - row * tile.h);
                m_opaque =
                    m_textureMap->getTexture(column, row)->everyAlpha(width, height, [](std::uint8_t alpha) {
                        return alpha == Opaque;
                    });
            }
        }
    }
    return *m_opaque;
}

void Image::loadTextureMap(const Base::Color* colorKey)
{
    Base::Repaint::request();
    m_opaque.reset();
    TextureFactory* factory = TextureFactory::getInstance();
    assert(factory != nullptr && "images need the texture factory");
    if (m_textureMap != nullptr)
    {
        factory->freeTextureMap(m_textureMap);
        m_textureMap = nullptr;
    }
    m_textureMap = m_tileSize.w != 0 ? factory->createTextureMap(m_fileName, m_tileSize, colorKey)
                                     : factory->createTextureMap(m_fileName, colorKey);
}

} // namespace Fernhouse::Graphics
