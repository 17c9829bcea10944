#include "engine/graphics/Image.h"

#include "engine/base/Exception.h"
#include "engine/graphics/TextureMap.h"

#include "tests/engine/graphics/GraphicsFixture.h"
#include "tests/support/PngWriter.h"
#include "tests/support/PrintTo.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <iterator>

using namespace Fernhouse::Base;
using namespace Fernhouse::Graphics;
using TestSupport::coordinateImage;
using TestSupport::pixel;
using TestSupport::TestImage;

namespace
{

// A 4 x 4 blue square at its own position, drawn the way entities draw; counts its updates.
class Marker final : public Entity
{
public:
    void draw() override
    {
        glPushMatrix();
        applyTransform();
        glColor4ub(0, 0, 255, 255);
        glRecti(0, 0, 4, 4);
        glPopMatrix();
    }

    void update() override { ++m_updates; }

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

    // Screen pixel (x, y) shows the picture's pixel (ix, iy), or the background when ix is negative.
    void expectShows(int x, int y, int ix, int iy = 0) const
    {
        const Color c = ix < 0 ? Background : m_picture.at(ix, iy);
        EXPECT_RGB(pixel(x, y), c.r, c.g, c.b) << "screen " << x << "," << y << " image " << ix << "," << iy;
    }

    const TestImage m_picture = coordinateImage(100, 50);
    std::string m_path;
};

} // namespace

TEST_F(ImageTest, PositionIsTheTopLeftCornerRotationTurnsAboutTheCentreAndScaleGrowsFromTheCorner)
{
    struct Case
    {
        float rotation, scale;
        // Screen x, y, then the image pixel shown there, or -1 for the background.
        std::vector<std::array<int, 4>> shows;
    };

    const Case cases[] = {
        // The far corner (137, 83) is that of the 128 x 64 texture: its padding is invisible.
        {0.0f,
         1.0f,
         {{10, 20, 0, 0},
          {109, 69, 99, 49},
          {60, 45, 50, 25},
          {9, 20, -1},
          {10, 19, -1},
          {110, 20, -1},
          {10, 70, -1},
          {137, 83, -1}}},
        // A quarter turn clockwise about (60, 45): image pixel (ix, iy) lands at (84 - iy, ix - 5).
        {90.0f,
         1.0f,
         {{84, 5, 10, 0},
          {35, 94, 99, 49},
          {84, 94, 99, 0},
          {85, 50, -1},
          {34, 50, -1},
          {60, 95, -1},
          {10, 20, -1}}},
        {0.0f, 2.0f, {{11, 21, 0, 0}, {12, 20, 1, 0}, {209, 119, 99, 49}, {210, 119, -1}, {209, 120, -1}}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "rotation " << c.rotation << " scale " << c.scale);
        fillBackground();
        Image image(m_path);
        EXPECT_EQ(image.getSize(), Size(100, 50));
        image.setPosition(10, 20);
        image.setRotation(c.rotation);
        image.setScale(c.scale);
        image.draw();
        for (const auto& [x, y, ix, iy] : c.shows)
        {
            expectShows(x, y, ix, iy);
        }
        EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);
    }
}

TEST_F(ImageTest, EntityColourTintsAndFadesThePictureAndIsResetAfterwards)
{
    Image image(m_path);
    image.setColor(Color(128, 255, 255, 255));
    image.draw();
    EXPECT_RGB(pixel(99, 49), 50, 49, 0); // 99 * 128 / 255, rounded
    fillBackground();
    image.setColor(Color(255, 255, 255, 0));
    image.draw();
    expectShows(99, 49, -1);
    image.setColor(Color(255, 255, 255, 128));
    image.draw();
    // Half of (99, 49, 0) over half of the background.
    EXPECT_RGB_NEAR(pixel(99, 49), 94, 69, 45, 1);
    std::array<float, 4> colour{};
    glGetFloatv(GL_CURRENT_COLOR, colour.data());
    EXPECT_EQ(colour, (std::array<float, 4>{1.0f, 1.0f, 1.0f, 1.0f}));
}

TEST_F(ImageTest, ChildrenAreDrawnInThePicturesFrameButNeverUpdated)
{
    Image image(m_path);
    Marker child;
    image.addChild(&child);
    image.setPosition(10, 20);
    image.draw();
    EXPECT_RGB(pixel(13, 23), 0, 0, 255);
    expectShows(14, 20, 4, 0);
    // Turned a quarter about (150, 125), the top-left corner moves to (175, 75) and the child turns with it.
    fillBackground();
    image.setPosition(100, 100);
    image.setRotation(90.0f);
    image.draw();
    EXPECT_RGB(pixel(174, 75), 0, 0, 255);
    EXPECT_RGB(pixel(171, 78), 0, 0, 255);
    expectShows(175, 75, -1);
    expectShows(170, 75, 0, 4);
    image.update();
    EXPECT_EQ(child.m_updates, 0);
}

TEST_F(ImageTest, LoadingAgainFreesTheFormerPictureAndAFailedLoadLeavesNone)
{
    const std::string other = save(coordinateImage(300, 200), "other.png");
    Image image;
    image.load(m_path);
    image.load(other, Color(255, 0, 255, 255));
    EXPECT_EQ(m_factory.getTextureMapCount(), 1u);
    EXPECT_EQ(image.getSize(), Size(300, 200));
    EXPECT_THROW(image.load(m_dir.file("absent.png")), FileNotFoundException);
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);
    image.draw();
    expectShows(10, 10, -1);
    EXPECT_THROW(Image(m_dir.file("absent.png"), Color()), FileNotFoundException);
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);
}

TEST_F(ImageTest, PartsShowWhatTheClippedPictureShowsInAnyTiling)
{
    // 300 x 200 is cut into 64 x 256 tiles by default, or into two 256 x 256 ones on request; the parts
    // cross tile edges on every side.
    const TestImage wide = coordinateImage(300, 200);
    const std::string path = save(wide, "wide.png");
    const Rect parts[] = {Rect(0, 0, 300, 30), Rect(0, 30, 70, 170), Rect(250, 30, 50, 150),
                          Rect(90, 190, 130, 10)};
    Image reference(path);
    reference.setPosition(5, 7);
    glClear(GL_COLOR_BUFFER_BIT);
    reference.draw();
    for (const auto& [ix, iy] : {std::pair(0, 0), std::pair(63, 0), std::pair(64, 199), std::pair(299, 199)})
    {
        const Color& c = wide.at(ix, iy);
        EXPECT_RGB(pixel(5 + ix, 7 + iy), c.r, c.g, c.b) << "image " << ix << "," << iy;
    }
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

    Image large(path, Size(256, 256));
    EXPECT_EQ(large.getSize(), Size(300, 200));
    for (Image* image : {&reference, &large})
    {
        glClear(GL_COLOR_BUFFER_BIT);
        image->setPosition(5, 7);
        image->drawParts(parts, std::size(parts));
        EXPECT_TRUE(TestSupport::readFrame() == clipped) << (image == &large ? "256 x 256 tiles" : "default");
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
