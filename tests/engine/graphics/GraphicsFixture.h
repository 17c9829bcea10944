#pragma once

#include "engine/base/Color.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/TextureFactory.h"

#include "tests/engine/graphics/TestImage.h"
#include "tests/support/GLWindow.h"
#include "tests/support/TempDir.h"

#include <string>

namespace TestSupport
{

// The shared window with the graphics services the application would own, in its order, and a temporary
// directory for the images a test writes. Blending is on, as the screen sets it.
class GraphicsTest : public GLTest
{
public:
    static constexpr Fernhouse::Base::Color Background{90, 90, 90, 255};
    static constexpr Fernhouse::Base::Color White{255, 255, 255, 255};

protected:
    void SetUp() override;

    // Writes the image into the temporary directory and returns its path.
    std::string save(const TestImage& image, const std::string& name, bool withAlpha = true) const
    {
        const std::string path = m_dir.file(name);
        image.savePng(path, withAlpha);
        return path;
    }

    // Writes a font sheet under the name FontManager finds it by.
    void saveFont(const std::string& name, int glyphWidth, int glyphHeight) const
    {
        glyphSheet(glyphWidth, glyphHeight).savePng(m_dir.file(name + ".png"));
    }

    static void fillBackground();

    static void expectColor(int x, int y, const Fernhouse::Base::Color& c)
    {
        EXPECT_RGB(pixel(x, y), c.r, c.g, c.b) << "at " << x << "," << y;
    }

    static void expectBackground(int x, int y) { expectColor(x, y, Background); }

    // The glyph of cell `glyph` drawn through the colour tint (GL_MODULATE) shows at (x, y).
    static void expectGlyph(int x, int y, int glyph, const Fernhouse::Base::Color& tint = White);

    TempDir m_dir;
    Fernhouse::Graphics::TextureFactory m_factory;
    Fernhouse::Graphics::FontManager m_fonts{m_dir.path().string() + "/", ".png"};
};

} // namespace TestSupport
