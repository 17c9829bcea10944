#include "tests/engine/graphics/GraphicsFixture.h"

#include <GL/gl.h>

#include <cmath>

namespace TestSupport
{

void GraphicsTest::SetUp()
{
    GLTest::SetUp();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void GraphicsTest::fillBackground()
{
    glColor4ub(Background.r, Background.g, Background.b, Background.a);
    fillRect(0, 0, WindowWidth, WindowHeight);
    glColor4ub(255, 255, 255, 255);
}

void GraphicsTest::expectGlyph(int x, int y, int glyph, const Fernhouse::Base::Color& tint)
{
    const Fernhouse::Base::Color t = glyphColor(glyph);
    const auto ch = [](int a, int b) { return static_cast<int>(std::lround(a * b / 255.0)); };
    EXPECT_RGB(pixel(x, y), ch(t.r, tint.r), ch(t.g, tint.g), ch(t.b, tint.b))
        << "glyph " << glyph << " at " << x << "," << y;
}

} // namespace TestSupport
