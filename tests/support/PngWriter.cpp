#include "tests/support/PngWriter.h"

#include "tests/support/GLWindow.h"

#include <GL/gl.h>

#include <algorithm>
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
    constexpr std::ptrdiff_t Row = WindowWidth * 4;
    std::vector<std::uint8_t> frame(Row * WindowHeight);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WindowWidth, WindowHeight, GL_RGBA, GL_UNSIGNED_BYTE, frame.data());
    // GL gives the bottom row first.
    for (auto top = frame.begin(), bottom = frame.end() - Row; top < bottom; top += Row, bottom -= Row)
    {
        std::swap_ranges(top, top + Row, bottom);
    }
    return frame;
}

} // namespace TestSupport
