#include "tests/engine/graphics/TestImage.h"

#include <GL/gl.h>

#include <array>
#include <fstream>
#include <stdexcept>

namespace TestSupport
{

namespace
{

using Fernhouse::Base::Color;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t MaxStoredBlock = 65535;

std::uint32_t crc32(const Bytes& data, std::size_t begin)
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n)
        {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
            {
                c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = begin; i < data.size(); ++i)
    {
        c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
    }
    return c ^ 0xFFFFFFFFu;
}

void putBigEndian(Bytes& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void putChunk(Bytes& out, const char* type, const Bytes& data)
{
    putBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeStart = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBigEndian(out, crc32(out, typeStart));
}

// A zlib stream of uncompressed blocks: valid for every inflater and simple enough to trust.
Bytes storedZlib(const Bytes& raw)
{
    Bytes out{0x78, 0x01};
    std::size_t offset = 0;
    do
    {
        const std::size_t length = std::min(MaxStoredBlock, raw.size() - offset);
        const bool last = offset + length == raw.size();
        out.push_back(last ? 1 : 0);
        out.push_back(static_cast<std::uint8_t>(length));
        out.push_back(static_cast<std::uint8_t>(length >> 8));
        out.push_back(static_cast<std::uint8_t>(~length));
        out.push_back(static_cast<std::uint8_t>(~length >> 8));
        out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
                   raw.begin() + static_cast<std::ptrdiff_t>(offset + length));
        offset += length;
    } while (offset < raw.size());
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::uint8_t byte : raw)
    {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    putBigEndian(out, (b << 16) | a);
    return out;
}

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
    Bytes raw;
    for (int y = 0; y < m_height; ++y)
    {
        raw.push_back(0); // filter: none
        for (int x = 0; x < m_width; ++x)
        {
            const Color& c = at(x, y);
            raw.insert(raw.end(), {c.r, c.g, c.b});
            if (withAlpha)
            {
                raw.push_back(c.a);
            }
        }
    }
    Bytes header;
    putBigEndian(header, static_cast<std::uint32_t>(m_width));
    putBigEndian(header, static_cast<std::uint32_t>(m_height));
    const std::uint8_t colourType = withAlpha ? 6 : 2;
    header.insert(header.end(), {8, colourType, 0, 0, 0});

    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", storedZlib(raw));
    putChunk(png, "IEND", Bytes());
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    if (!file)
    {
        throw std::runtime_error("cannot write " + path);
    }
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
