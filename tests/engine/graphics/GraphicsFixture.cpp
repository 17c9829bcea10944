#include "tests/engine/graphics/GraphicsFixture.h"

#include <GL/gl.h>

namespace TestSupport
{

void GraphicsTest::fillBackground()
{
    glColor4ub(Background.r, Background.g, Background.b, Background.a);
    fillRect(0, 0, WindowWidth, WindowHeight);
    glColor4ub(255, 255, 255, 255);
}

void GraphicsTest::glEnableBlending()
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

} // namespace TestSupport
