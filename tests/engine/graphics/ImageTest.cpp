#include "engine/graphics/Image.h"

#include "engine/base/Exception.h"

#include "tests/engine/graphics/GraphicsFixture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

using namespace Fernhouse::Base;
using namespace Fernhouse::Graphics;
using TestSupport::coordinateImage;
using TestSupport::pixel;

namespace
{

class ImageTest : public TestSupport::GraphicsTest
{
protected:
    // Each (x, y, ix, iy): screen pixel (x, y) shows picture pixel (ix, iy), or the background for ix -1.
    void expectShows(const std::vector<int>& shows) const
    {
        for (std::size_t i = 0; i + 3 < shows.size(); i += 4)
        {
            const Color c = shows[i + 2] < 0 ? Background : m_picture.at(shows[i + 2], shows[i + 3]);
            EXPECT_RGB(pixel(shows[i], shows[i + 1]), c.r, c.g, c.b)
                << "at " << shows[i] << "," << shows[i + 1];
        }
    }

    const TestSupport::TestImage m_picture = coordinateImage(100, 50);
    const std::string m_path = save(m_picture, "picture.png");
};

} // namespace

TEST_F(ImageTest, PositionIsTheTopLeftCornerRotationTurnsAboutTheCentreAndScaleGrowsFromTheCorner)
{
    const std::pair<std::pair<float, float>, std::vector<int>> cases[] = {
        // The far corner (137, 83) is that of the 128 x 64 texture: its padding is invisible.
        {{0.0f, 1.0f}, {10, 20, 0,   0,  109, 69, 99, 49, 9,  20, -1,  0,  10, 19,
                        -1, 0,  110, 20, -1,  0,  10, 70, -1, 0,  137, 83, -1, 0}},
        // A quarter turn clockwise about (60, 45): image pixel (ix, iy) lands at (84 - iy, ix - 5).
        {{90.0f, 1.0f},
         {84, 5, 10, 0, 35, 94, 99, 49, 84, 94, 99, 0, 85, 50, -1, 0, 34, 50, -1, 0, 60, 95, -1, 0}},
        {{0.0f, 2.0f}, {11, 21, 0, 0, 12, 20, 1, 0, 209, 119, 99, 49, 210, 119, -1, 0, 209, 120, -1, 0}},
    };
    for (const auto& [transform, shows] : cases)
    {
        SCOPED_TRACE(testing::Message() << "rotation " << transform.first << " scale " << transform.second);
        fillBackground();
        Image image(m_path);
        EXPECT_EQ(image.getSize(), Size(100, 50));
        image.setPosition(10, 20);
        image.setRotation(transform.first);
        image.setScale(transform.second);
        image.draw();
        expectShows(shows);
        EXPECT_EQ(glIsEnabled(GL_TEXTURE_2D), GL_FALSE);
    }
}

TEST_F(ImageTest, EntityColourTintsAndFadesThePictureAndChildrenDrawInItsFrameButAreNeverUpdated)
{
    Image image(m_path);
    image.setColor(Color(128, 255, 255, 255));
    image.draw();
    EXPECT_RGB(pixel(99, 49), 50, 49, 0); // 99 * 128 / 255, rounded
    fillBackground();
    image.setColor(Color(255, 255, 255, 0));
    image.draw();
    expectShows({99, 49, -1, 0});
    image.setColor(Color(255, 255, 255, 128));
    image.draw();
    // Half of (99, 49, 0) over half of the background, and GL's colour white again.
    EXPECT_RGB_NEAR(pixel(99, 49), 94, 69, 45, 1);
    std::array<float, 4> colour{};
    glGetFloatv(GL_CURRENT_COLOR, colour.data());
    EXPECT_EQ(colour, (std::array<float, 4>{1.0f, 1.0f, 1.0f, 1.0f}));

    // Turned a quarter about (150, 125), the top-left corner moves to (175, 75) and the child turns with it.
    TestSupport::Square child(4, Color(0, 0, 255, 255));
    image.addChild(&child);
    image.setColor(White);
    image.setPosition(100, 100);
    image.setRotation(90.0f);
    fillBackground();
    image.draw();
    EXPECT_TRUE(shows(child.getColor(), {174, 75, 171, 78}));
    expectShows({175, 75, -1, 0, 170, 75, 0, 4});
    image.update();
    EXPECT_EQ(std::pair(child.m_draws, child.m_updates), std::pair(1, 0));
}

TEST_F(ImageTest, LoadingAgainFreesTheFormerPictureAndAFailedLoadLeavesNone)
{
    Image image;
    EXPECT_FALSE(image.isOpaque());
    image.load(m_path);
    // 100 x 50 in a 128 x 64 texture: the transparent padding does not count against being opaque.
    EXPECT_TRUE(image.isOpaque());
    TestSupport::TestImage holed = m_picture;
    holed.at(99, 49) = Color(1, 2, 3, 254);
    image.load(save(holed, "holed.png"), Color(255, 0, 255, 255));
    EXPECT_FALSE(image.isOpaque());
    image.load(save(coordinateImage(300, 200), "other.png"));
    EXPECT_EQ(std::pair(image.getSize(), m_factory.getTextureMapCount()),
              std::pair(Size(300, 200), std::size_t{1}));
    EXPECT_THROW(image.load(m_dir.file("absent.png")), FileNotFoundException);
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);
    image.draw();
    expectShows({10, 10, -1, 0});
    EXPECT_THROW(Image(m_dir.file("absent.png"), Color()), FileNotFoundException);
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);
}
