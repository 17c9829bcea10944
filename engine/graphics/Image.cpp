#include "engine/graphics/Image.h"

#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/graphics/TextureMap.h"

#include <GL/gl.h>

#include <cassert>

namespace Fernhouse::Graphics
{

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
    const Base::Size imageSize = m_textureMap != nullptr ? m_textureMap->getImageSize() : Base::Size();
    const float halfW = static_cast<float>(imageSize.w) * 0.5f;
    const float halfH = static_cast<float>(imageSize.h) * 0.5f;

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
        const Base::Size& grid = m_textureMap->getGridSize();
        const auto tileW = static_cast<float>(m_textureMap->getTileSize().w);
        const auto tileH = static_cast<float>(m_textureMap->getTileSize().h);
        for (std::uint32_t column = 0; column < grid.w; ++column)
        {
            const float left = static_cast<float>(column) * tileW - halfW;
            for (std::uint32_t row = 0; row < grid.h; ++row)
            {
                const float top = static_cast<float>(row) * tileH - halfH;
                glBindTexture(GL_TEXTURE_2D, m_textureMap->getTexture(column, row)->getGlName());
                // The whole tile, padding included: the padding is transparent.
                glBegin(GL_QUADS);
                glTexCoord2i(0, 0);
                glVertex2f(left, top);
                glTexCoord2i(1, 0);
                glVertex2f(left + tileW, top);
                glTexCoord2i(1, 1);
                glVertex2f(left + tileW, top + tileH);
                glTexCoord2i(0, 1);
                glVertex2f(left, top + tileH);
                glEnd();
            }
        }
        glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
        glDisable(GL_TEXTURE_2D);
    }

    glTranslatef(-halfW, -halfH, 0.0f);
    Entity::draw();
    glPopMatrix();
}

void Image::update()
{
    // Children of an image are decoration: drawn with it, never animated through it.
}

void Image::loadTextureMap(const Base::Color* colorKey)
{
    TextureFactory* factory = TextureFactory::getInstance();
    assert(factory != nullptr && "images need the texture factory");
    if (m_textureMap != nullptr)
    {
        factory->freeTextureMap(m_textureMap);
        m_textureMap = nullptr;
    }
    m_textureMap = factory->createTextureMap(m_fileName, colorKey);
}

} // namespace Fernhouse::Graphics
