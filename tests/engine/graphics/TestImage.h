#pragma once

#include "engine/base/Color.h"

#include <cstdint>
#include <string>
#include <vector>

namespace TestSupport
{

// A picture built pixel by pixel in a test and written as a PNG that IMG_Load reads, so that the tests
// need no image files of their own.
class TestImage final
{
public:
    // Every pixel starts as fill.
    TestImage(int width, int height, const Fernhouse::Base::Color& fill);

    int width() const { return m_width; }

    int height() const { return m_height; }

    void set(int x, int y, const Fernhouse::Base::Color& color);
    void fill(int x, int y, int w, int h, const Fernhouse::Base::Color& color);

    const Fernhouse::Base::Color& at(int x, int y) const;

    // withAlpha false writes a 24-bit RGB file, the kind colour keys are made for.
    void savePng(const std::string& path, bool withAlpha = true) const;

private:
    int m_width;
    int m_height;
    std::vector<Fernhouse::Base::Color> m_pixels;
};

// A picture in which every pixel is distinct: red = x mod 256, green = y mod 256, blue = x / 256 * 16 +
// y / 256, alpha 255. A texel read back names the image pixel it came from.
TestImage coordinateImage(int width, int height);

// A font sheet of 8 x 8 cells, each filled with glyphColor of its index.
TestImage glyphSheet(int glyphWidth, int glyphHeight);

// A distinct opaque colour per glyph cell, never black (black is a font's transparent colour).
Fernhouse::Base::Color glyphColor(int index);

// The texels of a GL texture, row by row from the top, read back with glGetTexImage.
std::vector<Fernhouse::Base::Color> readTexture(std::uint32_t glName, std::uint32_t width,
                                                std::uint32_t height);

} // namespace TestSupport
