#include "tests/support/PngWriter.h"

#include "tests/support/GLWindow.h"

#include <GL/gl.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace TestSupport
{

namespace
{

using Bytes = std::vector<std::uint8_t>;

void putBigEndian(Bytes& out, std::uint32_t value)
{
    out.insert(out.end(), {std::uint8_t(value >> 24), std::uint8_t(value >> 16), std::uint8_t(value >> 8),
                           std::uint8_t(value)});
}

void putChunk(Bytes& png, const std::string& type, const Bytes& data)
{
    Bytes body(type.begin(), type.end());
    body.insert(body.end(), data.begin(), data.end());
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const std::uint8_t byte : body)
    {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
        {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    putBigEndian(png, static_cast<std::uint32_t>(data.size()));
    png.insert(png.end(), body.begin(), body.end());
    putBigEndian(png, ~crc);
}

} // namespace

void writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& pixels,
              int channels)
{
    const auto row = static_cast<std::size_t>(width * channels);
    if (width <= 0 || height <= 0 || (channels != 3 && channels != 4) || row >= 65535 ||
        pixels.size() != row * static_cast<std::size_t>(height))
    {
        throw std::runtime_error("pixel data does not match the size of " + path);
    }
    // A zlib stream of one stored (uncompressed) deflate block per row, each row behind filter type 0.
    Bytes zlib{0x78, 0x01};
    std::uint32_t a = 1, b = 0; // Adler-32
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y)
    {
        const auto length = static_cast<std::uint16_t>(row + 1);
        zlib.insert(zlib.end(),
                    {static_cast<std::uint8_t>(y + 1 == static_cast<std::size_t>(height)),
                     static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8),
                     static_cast<std::uint8_t>(~length), static_cast<std::uint8_t>(~length >> 8), 0});
        zlib.insert(zlib.end(), pixels.begin() + static_cast<std::ptrdiff_t>(y * row),
                    pixels.begin() + static_cast<std::ptrdiff_t>((y + 1) * row));
        for (auto byte = zlib.end() - length; byte != zlib.end(); ++byte)
        {
            a = (a + *byte) % 65521u;
            b = (b + a) % 65521u;
        }
    }
    putBigEndian(zlib, (b << 16) | a);
    Bytes header;
    putBigEndian(header, static_cast<std::uint32_t>(width));
    putBigEndian(header, static_cast<std::uint32_t>(height));
    // 8 bits, RGBA or RGB, deflate, no filter, no interlace.
    header.insert(header.end(), {8, static_cast<std::uint8_t>(channels == 4 ? 6 : 2), 0, 0, 0});
    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", zlib);
    putChunk(png, "IEND", Bytes());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    if (!file)
    {
        throw std::runtime_error("cannot write " + path);
    }
}

std::vector<std::uint8_t> readFrame()
{
    constexpr std::size_t Row = WindowWidth * 4;
    Bytes frame(Row * WindowHeight);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WindowWidth, WindowHeight, GL_RGBA, GL_UNSIGNED_BYTE, frame.data());
    // GL gives the bottom row first.
    for (std::size_t top = 0, bottom = WindowHeight - 1; top < bottom; ++top, --bottom)
    {
        std::swap_ranges(frame.begin() + static_cast<std::ptrdiff_t>(top * Row),
                         frame.begin() + static_cast<std::ptrdiff_t>((top + 1) * Row),
                         frame.begin() + static_cast<std::ptrdiff_t>(bottom * Row));
    }
    return frame;
}

} // namespace TestSupport
