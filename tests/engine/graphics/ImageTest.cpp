#include "engine/graphics/Image.h"

#include "engine/base/Exception.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureMap.h"

#include "tests/engine/graphics/GraphicsFixture.h"
#include "tests/support/PngWriter.h"
#include "tests/support/PrintTo.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <iterator>
#include <type_traits>

using namespace Fernhouse::Base;
using namespace Fernhouse::Graphics;
using TestSupport::coordinateImage;
using TestSupport::pixel;
using TestSupport::TestImage;

static_assert(!std::is_copy_constructible_v<Image> && !std::is_copy_assignable_v<Image>);

namespace
{

// A 4 x 4 square at its own position, drawn the way entities draw; counts its updates.
class Marker final : public Entity
{
public:
    void draw() override
    {
        glPushMatrix();
        applyTransform();
        glColor4ub(0, 0, 255, 255);
        glBegin(GL_QUADS);
        glVertex2i(0, 0);
        glVertex2i(Side, 0);
        glVertex2i(Side, Side);
        glVertex2i(0, Side);
        glEnd();
        glPopMatrix();
    }

    void update() override { ++m_updates; }

    static constexpr int Side = 4;
    int m_updates = 0;
};

class ImageTest : public TestSupport::GraphicsTest
{
protected:
    void SetUp() override
    {
        GraphicsTest::SetUp();
        m_path = save(m_picture, "picture.png");
        fillBackground();
    }

    // The picture's pixel (ix, iy) shows at screen pixel (x, y).
    void expectImagePixel(int x, int y, int ix, int iy) const
    {
        const Color& c = m_picture.at(ix, iy);
        EXPECT_RGB(pixel(x, y), c.r, c.g, c.b) << "screen " << x << "," << y << " image " << ix << "," << iy;
    }

    static void expectBackground(int x, int y)
    {
        EXPECT_RGB(pixel(x, y), Background.r, Background.g, Background.b) << "at " << x << "," << y;
    }

    const TestImage m_picture = coordinateImage(100, 50);
    std::string m_path;
};

} // namespace

TEST_F(ImageTest, PositionIsTheTopLeftCornerAndThePaddingIsInvisible)
{
    Image image(m_path);
    EXPECT_EQ(image.getSize(), Size(100, 50));
    image.setPosition(10, 20);
    image.draw();
    expectImagePixel(10, 20, 0, 0);
    expectImagePixel(109, 69, 99, 49);
    expectImagePixel(60, 45, 50, 25);
    expectBackground(9, 20);
    expectBackground(10, 19);
    expectBackground(110, 20);
    expectBackground(10, 70);
    expectBackground(137, 83); // the far corner of the 128 x 64 texture
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);
}

TEST_F(ImageTest, RotationTurnsThePictureAboutItsCentre)
{
    Image image(m_path);
    image.setPosition(10, 20);
    image.setRotation(90.0f);
    image.draw();
    // Quarter turn clockwise about (60, 45): image pixel (ix, iy) lands at (84 - iy, ix - 5).
    expectImagePixel(84, 5, 10, 0);
    expectImagePixel(35, 94, 99, 49);
    expectImagePixel(60, 45, 50, 24);
    expectImagePixel(84, 94, 99, 0);
    expectBackground(85, 50);
    expectBackground(34, 50);
    expectBackground(60, 95);
    expectBackground(10, 20); // the unrotated corner is empty now
}

TEST_F(ImageTest, ScaleGrowsThePictureFromItsTopLeftCorner)
{
    Image image(m_path);
    image.setPosition(10, 20);
    image.setScale(2.0f);
    image.draw();
    expectImagePixel(10, 20, 0, 0);
    expectImagePixel(11, 21, 0, 0);
    expectImagePixel(12, 20, 1, 0);
    expectImagePixel(209, 119, 99, 49);
    expectBackground(210, 119);
    expectBackground(209, 120);
    expectBackground(9, 20);
}

TEST_F(ImageTest, EntityColourTintsAndFadesThePicture)
{
    Image image(m_path);
    image.setColor(Color(128, 255, 255, 255));
    image.draw();
    EXPECT_RGB(pixel(99, 49), 50, 49, 0); // 99 * 128 / 255, rounded

    fillBackground();
    image.setColor(Color(255, 255, 255, 0));
    image.draw();
    expectBackground(99, 49);

    fillBackground();
    image.setColor(Color(255, 255, 255, 128));
    image.draw();
    // Half of (99, 49, 0) over half of the background.
    EXPECT_RGB_NEAR(pixel(99, 49), 94, 69, 45, 1);

    const auto colour = [] {
        std::array<float, 4> c{};
        glGetFloatv(GL_CURRENT_COLOR, c.data());
        return c;
    }();
    EXPECT_EQ(colour, (std::array<float, 4>{1.0f, 1.0f, 1.0f, 1.0f}));
}

TEST_F(ImageTest, ChildrenAreDrawnInThePicturesFrameButNeverUpdated)
{
    Image image(m_path);
    Marker child;
    image.addChild(&child);
    image.setPosition(10, 20);
    image.draw();
    EXPECT_RGB(pixel(10, 20), 0, 0, 255);
    EXPECT_RGB(pixel(13, 23), 0, 0, 255);
    expectImagePixel(14, 20, 4, 0);

    // Turned a quarter about (150, 125), the top-left corner moves to (175, 75) and the child turns with it.
    fillBackground();
    image.setPosition(100, 100);
    image.setRotation(90.0f);
    image.draw();
    EXPECT_RGB(pixel(174, 75), 0, 0, 255);
    EXPECT_RGB(pixel(171, 78), 0, 0, 255);
    expectBackground(175, 75);
    expectImagePixel(170, 75, 0, 4);

    image.update();
    EXPECT_EQ(child.m_updates, 0);
}

TEST_F(ImageTest, LoadingAgainFreesTheFormerPicture)
{
    const std::string other = save(coordinateImage(300, 200), "other.png");
    Image image;
    image.load(m_path);
    ASSERT_EQ(m_factory.getTextureMapCount(), 1u);

    image.load(other, Color(255, 0, 255, 255));
    EXPECT_EQ(m_factory.getTextureMapCount(), 1u);
    EXPECT_EQ(image.getSize(), Size(300, 200));
    EXPECT_EQ(image.getFileName(), other);

    // A failed load leaves no picture behind: nothing registered, and drawing shows only the children.
    EXPECT_THROW(image.load(m_dir.file("absent.png")), FileNotFoundException);
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);
    image.draw();
    expectBackground(10, 10);

    try
    {
        Image missing(m_dir.file("absent.png"), Color());
        ADD_FAILURE() << "no exception";
    }
    catch (const FileNotFoundException& e)
    {
        EXPECT_EQ(e.getMessage(), "Could not load file: " + m_dir.file("absent.png"));
    }
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);
}

TEST_F(ImageTest, WidePictureIsDrawnTileByTile)
{
    const TestImage wide = coordinateImage(300, 200);
    Image image(save(wide, "wide.png"));
    image.setPosition(5, 7);
    image.draw();
    for (const auto& [ix, iy] : {std::pair(0, 0), std::pair(63, 0), std::pair(64, 199), std::pair(299, 199)})
    {
        const Color& c = wide.at(ix, iy);
        EXPECT_RGB(pixel(5 + ix, 7 + iy), c.r, c.g, c.b) << "image " << ix << "," << iy;
    }
    expectBackground(305, 7);
    expectBackground(5, 207);
}

TEST_F(ImageTest, PartsShowWhatTheClippedPictureShowsInAnyTiling)
{
    // 300 x 200 is cut into 64 x 256 tiles by default, or into two 256 x 256 ones on request; the parts
    // cross tile edges on every side.
    const std::string path = save(coordinateImage(300, 200), "wide.png");
    const Rect parts[] = {Rect(0, 0, 300, 30), Rect(0, 30, 70, 170), Rect(250, 30, 50, 150),
                          Rect(90, 190, 130, 10)};
    Image reference(path);
    reference.setPosition(5, 7);
    glClear(GL_COLOR_BUFFER_BIT);
    for (const Rect& part : parts)
    {
        glEnable(GL_SCISSOR_TEST);
        glScissor(5 + part.x, TestSupport::WindowHeight - (7 + part.y + static_cast<int>(part.h)),
                  static_cast<GLsizei>(part.w), static_cast<GLsizei>(part.h));
        reference.draw();
        glDisable(GL_SCISSOR_TEST);
    }
    const std::vector<std::uint8_t> clipped = TestSupport::readFrame();

    Image byDefault(path);
    Image large(path, Size(256, 256));
    EXPECT_EQ(large.getSize(), Size(300, 200));
    for (Image* image : {&byDefault, &large})
    {
        image->setPosition(5, 7);
        glClear(GL_COLOR_BUFFER_BIT);
        image->drawParts(parts, std::size(parts));
        EXPECT_TRUE(TestSupport::readFrame() == clipped)
            << (image == &large ? "256 x 256 tiles" : "default tiles");
    }
    EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);
}

TEST_F(ImageTest, OpaqueMeansEveryPixelOfThePictureButNotItsPadding)
{
    // 100 x 50 in a 128 x 64 texture: the transparent padding does not count.
    Image image(m_path);
    EXPECT_TRUE(image.isOpaque());
    TestImage holed = m_picture;
    holed.set(99, 49, Color(1, 2, 3, 254));
    image.load(save(holed, "holed.png"));
    EXPECT_FALSE(image.isOpaque());
    EXPECT_FALSE(Image().isOpaque());
}
