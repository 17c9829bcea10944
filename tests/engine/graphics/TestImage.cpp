#include "tests/engine/graphics/TestImage.h"

#include "tests/support/PngWriter.h"

#include <GL/gl.h>

namespace TestSupport
{

namespace
{

using Fernhouse::Base::Color;
using Bytes = std::vector<std::uint8_t>;

} // namespace

TestImage::TestImage(int width, int height, const Color& fill)
    : m_width(width),
      m_height(height),
      m_pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill)
{
}

void TestImage::set(int x, int y, const Color& color)
{
    m_pixels.at(static_cast<std::size_t>(y * m_width + x)) = color;
}

void TestImage::fill(int x, int y, int w, int h, const Color& color)
{
    for (int row = y; row < y + h; ++row)
    {
        for (int column = x; column < x + w; ++column)
        {
            set(column, row, color);
        }
    }
}

const Color& TestImage::at(int x, int y) const
{
    return m_pixels.at(static_cast<std::size_t>(y * m_width + x));
}

void TestImage::savePng(const std::string& path, bool withAlpha) const
{
    Bytes pixels;
    for (const Color& c : m_pixels)
    {
        pixels.insert(pixels.end(), {c.r, c.g, c.b});
        if (withAlpha)
        {
            pixels.push_back(c.a);
        }
    }
    writePng(path, m_width, m_height, pixels, withAlpha ? 4 : 3);
}

TestImage coordinateImage(int width, int height)
{
    TestImage image(width, height, Color());
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
        {
            image.set(x, y,
                      Color(static_cast<std::uint8_t>(x % 256), static_cast<std::uint8_t>(y % 256),
                            static_cast<std::uint8_t>(x / 256 * 16 + y / 256), 255));
        }
    }
    return image;
}

TestImage glyphSheet(int glyphWidth, int glyphHeight)
{
    constexpr int Cells = 8;
    TestImage sheet(glyphWidth * Cells, glyphHeight * Cells, Color());
    for (int index = 0; index < Cells * Cells; ++index)
    {
        sheet.fill(index % Cells * glyphWidth, index / Cells * glyphHeight, glyphWidth, glyphHeight,
                   glyphColor(index));
    }
    return sheet;
}

Color glyphColor(int index)
{
    return Color(static_cast<std::uint8_t>(20 + index * 3), static_cast<std::uint8_t>(250 - index * 3),
                 static_cast<std::uint8_t>(index % 2 == 0 ? 60 : 180), 255);
}

std::vector<Color> readTexture(std::uint32_t glName, std::uint32_t width, std::uint32_t height)
{
    std::vector<Color> texels(static_cast<std::size_t>(width) * height);
    glBindTexture(GL_TEXTURE_2D, glName);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    return texels;
}

} // namespace TestSupport
