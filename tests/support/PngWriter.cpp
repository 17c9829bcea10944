#include "tests/support/PngWriter.h"

#include "tests/support/GLWindow.h"

#include <GL/gl.h>

#include <cstring>
#include <png.h>
#include <stdexcept>

namespace TestSupport
{

void writePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& pixels,
              int channels)
{
    if (width <= 0 || height <= 0 || (channels != 3 && channels != 4) ||
        pixels.size() != static_cast<std::size_t>(width * height * channels))
    {
        throw std::runtime_error("pixel data does not match the size of " + path);
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = channels == 4 ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    if (png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, nullptr) == 0)
    {
        throw std::runtime_error("cannot write " + path + ": " + image.message);
    }
}

std::vector<std::uint8_t> readFrame()
{
    constexpr std::size_t Row = WindowWidth * 4, Height = WindowHeight;
    std::vector<std::uint8_t> upsideDown(Row * Height), frame(upsideDown.size());
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WindowWidth, WindowHeight, GL_RGBA, GL_UNSIGNED_BYTE, upsideDown.data());
    // GL gives the bottom row first. Whole rows by memcpy: a byte loop costs seconds in the sanitizer build.
    for (std::size_t y = 0; y < Height; ++y)
    {
        std::memcpy(&frame[y * Row], &upsideDown[(Height - 1 - y) * Row], Row);
    }
    return frame;
}

} // namespace TestSupport
