#include "tests/engine/graphics/GraphicsFixture.h"

#include "tests/support/PngWriter.h"

#include <GL/gl.h>

#include <cmath>

namespace TestSupport
{

TestImage& TestImage::fill(int x, int y, int w, int h, const Color& color)
{
    for (int i = 0; i < w * h; ++i)
    {
        at(x + i % w, y + i / w) = color;
    }
    return *this;
}

void TestImage::savePng(const std::string& path, bool withAlpha) const
{
    std::vector<std::uint8_t> bytes;
    for (const Color& c : pixels)
    {
        bytes.insert(bytes.end(), {c.r, c.g, c.b, c.a});
        bytes.resize(bytes.size() - (withAlpha ? 0 : 1));
    }
    writePng(path, width, height, bytes, withAlpha ? 4 : 3);
}

TestImage coordinateImage(int width, int height)
{
    TestImage image(width, height, Color());
    for (int i = 0; i < width * height; ++i)
    {
        const int x = i % width;
        const int y = i / width;
        image.pixels[static_cast<std::size_t>(i)] =
            Color(static_cast<std::uint8_t>(x % 256), static_cast<std::uint8_t>(y % 256),
                  static_cast<std::uint8_t>(x / 256 * 16 + y / 256), 255);
    }
    return image;
}

TestImage glyphSheet(int glyphWidth, int glyphHeight)
{
    TestImage sheet(glyphWidth * 8, glyphHeight * 8, Color());
    for (int index = 0; index < 64; ++index)
    {
        sheet.fill(index % 8 * glyphWidth, index / 8 * glyphHeight, glyphWidth, glyphHeight,
                   glyphColor(index));
    }
    return sheet;
}

Color glyphColor(int index, const Color& tint)
{
    const auto tinted = [](int value, int by) {
        return static_cast<std::uint8_t>(std::lround(value * by / 255.0));
    };
    return Color(tinted(20 + index * 3, tint.r), tinted(250 - index * 3, tint.g),
                 tinted(index % 2 == 0 ? 60 : 180, tint.b), 255);
}

void Square::update()
{
    ++m_updates;
    Entity::update();
}

void Square::draw()
{
    ++m_draws;
    glPushMatrix();
    applyTransform();
    glColor4ub(getColor().r, getColor().g, getColor().b, getColor().a);
    glRecti(0, 0, m_side, m_side);
    Entity::draw();
    glPopMatrix();
}

void GraphicsTest::SetUp()
{
    GLTest::SetUp();
    glEnable(GL_BLEND);
    save(glyphSheet(16, 16), "sheet.png");
    fillBackground();
}

std::string GraphicsTest::save(const TestImage& image, const std::string& name, bool withAlpha) const
{
    image.savePng(m_dir.file(name), withAlpha);
    return m_dir.file(name);
}

void GraphicsTest::fillBackground()
{
    glColor4ub(Background.r, Background.g, Background.b, Background.a);
    glRecti(0, 0, WindowWidth, WindowHeight);
    glColor4ub(255, 255, 255, 255);
}

} // namespace TestSupport
