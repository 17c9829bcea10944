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

constexpr std::size_t BytesPerPixel = 4;
// A stored deflate block holds at most this many bytes.
constexpr std::size_t MaxStoredBlock = 65535;

void putBigEndian(Bytes& out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
    {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc)
{
    for (std::size_t i = 0; i < size; ++i)
    {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
        {
            crc = (crc & 1u) != 0 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
    }
    return crc;
}

void putChunk(Bytes& png, const char* type, const Bytes& data)
{
    putBigEndian(png, static_cast<std::uint32_t>(data.size()));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    putBigEndian(png, crc32(body.data(), body.size(), 0xFFFFFFFFu) ^ 0xFFFFFFFFu);
}

// A zlib stream of stored blocks: no compression library needed, and every decoder reads it.
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
        a = (a + byte) % 65521u;
        b = (b + a) % 65521u;
    }
    putBigEndian(out, (b << 16) | a);
    return out;
}

} // namespace

void writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& pixels,
              int channels)
{
    const auto w = static_cast<std::size_t>(width);
    const auto h = static_cast<std::size_t>(height);
    const auto rowBytes = w * static_cast<std::size_t>(channels);
    if (width <= 0 || height <= 0 || (channels != 3 && channels != 4) || pixels.size() != h * rowBytes)
    {
        throw std::runtime_error("pixel data does not match the size of " + path);
    }
    Bytes raw;
    raw.reserve(h * (1 + rowBytes));
    for (std::size_t y = 0; y < h; ++y)
    {
        raw.push_back(0); // filter: none
        const auto row = pixels.begin() + static_cast<std::ptrdiff_t>(y * rowBytes);
        raw.insert(raw.end(), row, row + static_cast<std::ptrdiff_t>(rowBytes));
    }
    Bytes header;
    putBigEndian(header, static_cast<std::uint32_t>(width));
    putBigEndian(header, static_cast<std::uint32_t>(height));
    const std::uint8_t colourType = channels == 4 ? 6 : 2; // RGBA or RGB
    header.insert(header.end(), {8, colourType, 0, 0, 0}); // 8 bits, deflate, no filter, no interlace

    Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    putChunk(png, "IHDR", header);
    putChunk(png, "IDAT", storedZlib(raw));
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
    const auto rowBytes = static_cast<std::size_t>(WindowWidth) * BytesPerPixel;
    Bytes bottomUp(rowBytes * static_cast<std::size_t>(WindowHeight));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WindowWidth, WindowHeight, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    Bytes topDown(bottomUp.size());
    for (std::size_t y = 0; y < static_cast<std::size_t>(WindowHeight); ++y)
    {
        const auto source = bottomUp.begin() + static_cast<std::ptrdiff_t>((WindowHeight - 1 - y) * rowBytes);
        std::copy(source, source + static_cast<std::ptrdiff_t>(rowBytes),
                  topDown.begin() + static_cast<std::ptrdiff_t>(y * rowBytes));
    }
    return topDown;
}

void saveFrame(const std::string& path)
{
    writePng(path, WindowWidth, WindowHeight, readFrame());
}

} // namespace TestSupport
