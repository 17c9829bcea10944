#pragma once

#include "engine/base/Entity.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/TextureFactory.h"

#include "tests/support/GLWindow.h"
#include "tests/support/PngWriter.h"
#include "tests/support/PrintTo.h"
#include "tests/support/TempDir.h"

#include <GL/gl.h>

#include <cmath>

namespace TestSupport
{

using Fernhouse::Base::Color;

struct TestImage
{
    TestImage(int w, int h, const Color& c) : width(w), height(h), pixels(w * h, c) {}

    Color& at(int x, int y) { return pixels.at(y * width + x); }

    TestImage& fill(int x, int y, int w, int h, const Color& color)
    {
        for (int i = 0; i < w * h; ++i)
        {
            at(x + i % w, y + i / w) = color;
        }
        return *this;
    }

    void savePng(const std::string& path, bool withAlpha = true) const
    {
        std::vector<std::uint8_t> bytes;
        for (const Color& c : pixels)
        {
            bytes.insert(bytes.end(), {c.r, c.g, c.b, c.a});
            bytes.resize(bytes.size() - (withAlpha ? 0 : 1));
        }
        writePng(path, width, height, bytes, withAlpha ? 4 : 3);
    }

    int width, height;
    std::vector<Color> pixels;
};

// Every pixel distinct, so that a texel read back names the image pixel it came from.
inline TestImage coordinateImage(int width, int height)
{
    TestImage image(width, height, Color());
    const auto byte = [](int value) { return static_cast<std::uint8_t>(value); };
    for (int i = 0; i < width * height; ++i)
    {
        const int x = i % width, y = i / width;
        image.at(x, y) = Color(byte(x % 256), byte(y % 256), byte(x / 256 * 16 + y / 256), 255);
    }
    return image;
}

// A distinct colour per glyph cell, never black (a font's transparent colour), tinted as GL_MODULATE does.
inline Color glyphColor(int index, const Color& tint = Color(255, 255, 255, 255))
{
    const auto tinted = [](int v, int by) { return static_cast<std::uint8_t>(std::lround(v * by / 255.0)); };
    return Color(tinted(20 + index * 3, tint.r), tinted(250 - index * 3, tint.g),
                 tinted(index % 2 == 0 ? 60 : 180, tint.b), 255);
}

inline TestImage glyphSheet(int glyphWidth, int glyphHeight)
{
    TestImage sheet(glyphWidth * 8, glyphHeight * 8, Color());
    for (int index = 0; index < 64; ++index)
    {
        sheet.fill(index % 8 * glyphWidth, index / 8 * glyphHeight, glyphWidth, glyphHeight,
                   glyphColor(index));
    }
    return sheet;
}

// A square of the given side and colour at its own transform with its children in its frame; counts visits.
struct Square final : Fernhouse::Base::Entity
{
    Square(int side, const Color& color) : m_side(side) { setColor(color); }

    void update() override
    {
        ++m_updates;
        Entity::update();
    }

    void draw() override
    {
        ++m_draws;
        glPushMatrix();
        applyTransform();
        glColor4ub(getColor().r, getColor().g, getColor().b, getColor().a);
        glRecti(0, 0, m_side, m_side);
        Entity::draw();
        glPopMatrix();
    }

    int m_side, m_updates = 0, m_draws = 0;
};

// The graphics services, blending on as the screen sets it, and the 16 x 16 font "sheet" in a temporary dir.
class GraphicsTest : public GLTest
{
protected:
    static constexpr Color Background{90, 90, 90, 255};
    static constexpr Color White{255, 255, 255, 255};

    void SetUp() override
    {
        GLTest::SetUp();
        glEnable(GL_BLEND);
        save(glyphSheet(16, 16), "sheet.png");
        fillBackground();
    }

    std::string save(const TestImage& image, const std::string& name, bool withAlpha = true) const
    {
        image.savePng(m_dir.file(name), withAlpha);
        return m_dir.file(name);
    }

    static void fillBackground()
    {
        glColor4ub(Background.r, Background.g, Background.b, Background.a);
        glRecti(0, 0, WindowWidth, WindowHeight);
        glColor4ub(255, 255, 255, 255);
    }

    // Whether every (x, y) pair of points shows its colour.
    static ::testing::AssertionResult shows(
        std::initializer_list<std::pair<Color, std::initializer_list<int>>> all)
    {
        ::testing::AssertionResult result = ::testing::AssertionSuccess();
        for (const auto& [c, points] : all)
        {
            result = result ? rgbAt(points, c.r, c.g, c.b) : result;
        }
        return result;
    }

    TempDir m_dir;
    Fernhouse::Graphics::TextureFactory m_factory;
    Fernhouse::Graphics::FontManager m_fonts{m_dir.path().string() + "/", ".png"};
};

} // namespace TestSupport
