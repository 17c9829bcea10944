#pragma once

#include "engine/base/Entity.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/TextureFactory.h"

#include "tests/support/GLWindow.h"
#include "tests/support/PrintTo.h"
#include "tests/support/TempDir.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace TestSupport
{

using Fernhouse::Base::Color;

// A picture built pixel by pixel and written as a PNG, so that the tests need no image files.
struct TestImage
{
    TestImage(int w, int h, const Color& fill)
        : width(w),
          height(h),
          pixels(static_cast<std::size_t>(w * h), fill)
    {
    }

    Color& at(int x, int y) { return pixels.at(static_cast<std::size_t>(y * width + x)); }

    Color at(int x, int y) const { return pixels.at(static_cast<std::size_t>(y * width + x)); }

    TestImage& fill(int x, int y, int w, int h, const Color& color);
    // withAlpha false writes 24-bit RGB, the kind colour keys are made for.
    void savePng(const std::string& path, bool withAlpha = true) const;

    int width;
    int height;
    std::vector<Color> pixels;
};

// Every pixel distinct: red x mod 256, green y mod 256, blue x / 256 * 16 + y / 256, so that a texel read
// back names the image pixel it came from.
TestImage coordinateImage(int width, int height);

// A font sheet of 8 x 8 cells, each filled with glyphColor of its index.
TestImage glyphSheet(int glyphWidth, int glyphHeight);

// A distinct opaque colour per glyph cell, never black (a font's transparent colour), through the tint as
// GL_MODULATE draws it.
Color glyphColor(int index, const Color& tint = Color(255, 255, 255, 255));

// A square of the given side and colour at its own transform with its children in its frame; counts visits.
class Square final : public Fernhouse::Base::Entity
{
public:
    Square(int side, const Color& color) : m_side(side) { setColor(color); }

    void update() override;
    void draw() override;

    int m_updates = 0;
    int m_draws = 0;

private:
    int m_side;
};

// The shared window with the graphics services the application would own, in its order, blending on as
// the screen sets it, the frame filled with the background, and a temporary directory holding the 16 x 16
// font "sheet".
class GraphicsTest : public GLTest
{
public:
    static constexpr Color Background{90, 90, 90, 255};
    static constexpr Color White{255, 255, 255, 255};

protected:
    void SetUp() override;

    std::string save(const TestImage& image, const std::string& name, bool withAlpha = true) const;

    static void fillBackground();

    // Whether every (x, y) pair of points shows the colour.
    static ::testing::AssertionResult shows(const Color& c, std::initializer_list<int> points)
    {
        return rgbAt(points, c.r, c.g, c.b);
    }

    TempDir m_dir;
    Fernhouse::Graphics::TextureFactory m_factory;
    Fernhouse::Graphics::FontManager m_fonts{m_dir.path().string() + "/", ".png"};
};

} // namespace TestSupport
