#include "engine/base/Application.h"

#include "engine/base/EventRouter.h"
#include "engine/base/GameTime.h"
#include "engine/base/Screen.h"
#include "engine/graphics/Image.h"
#include "engine/sound/SoundManager.h"

#include "tests/engine/graphics/GraphicsFixture.h"
#include "tests/support/FakeClock.h"
#include "tests/support/Throws.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <functional>

using namespace Fernhouse::Base;
using namespace Fernhouse::Graphics;
using namespace TestSupport;
using EntityTest = GLTest;

namespace
{

class TestApp final : public Application
{
public:
    int run() override { return 0; }

    void open() { init("Tarvo test", 800, 600, 32, false, 44100, AUDIO_S16LSB, 16, 2048); }

    bool runFrame() { return frame(); }

    std::function<void()> m_step = [] {};

protected:
    void step() override { m_step(); }
};

} // namespace

TEST(Application,
     OwnsItsServicesForItsLifetimeStepsUpdatesAndDrawsEachFrameUntilAQuitAndSwitchesFullscreen)
{
    FakeClock clock(1000);
    {
        TestApp app;
        app.open();
        // A child added by the step is updated and drawn in the same frame, on the game time of the frame, and
        // a GL error of the frame is printed.
        Square child(4, Color(0, 255, 0, 255));
        int steps = 0;
        app.m_step = [&] {
            app.getScreen()->addChild(&child);
            glEnable(GL_TEXTURE_ENV);
            ++steps;
        };
        app.getGameTime()->start();
        clock.advance(40);
        ::testing::internal::CaptureStdout();
        EXPECT_TRUE(app.runFrame());
        EXPECT_EQ(std::tuple(child.m_updates, child.m_draws, app.getGameTime()->getTime(),
                             ::testing::internal::GetCapturedStdout()),
                  std::tuple(1, 1, 40u, "invalid enumerant\n"));
        app.getScreen()->removeChild(&child);
        // A quit ends the loop before the step.
        app.getEventRouter()->pushQuit();
        EXPECT_FALSE(app.runFrame());
        EXPECT_EQ(steps, 1);

        // Switching the screen keeps the textures and the pixel projection; setting the value it has does
        // nothing.
        TempDir dir;
        TestImage(16, 16, Color(200, 40, 10, 255)).savePng(dir.file("red.png"));
        Image image(dir.file("red.png"));
        image.setPosition(20, 30);
        Screen* screen = app.getScreen();
        for (const bool fullscreen : {false, true, false})
        {
            screen->setFullscreen(fullscreen);
            EXPECT_EQ(std::pair(screen->isFullscreen(), (SDL_GetVideoSurface()->flags & SDL_FULLSCREEN) != 0),
                      std::pair(fullscreen, fullscreen));
        }
        EXPECT_EQ(app.getTextureFactory()->getTextureMapCount(), 1u);
        screen->setBackgroundColor(Color(255, 128, 1, 255));
        screen->clear();
        image.draw();
        EXPECT_TRUE(rgbAt({20, 30, 35, 45}, 200, 40, 10));
        EXPECT_TRUE(rgbAt({36, 46, 19, 30, 20, 29, 0, 0, 799, 599}, 255, 128, 1));
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
    EXPECT_EQ(std::tuple(Application::getInstance(), EventRouter::getInstance(), GameTime::getInstance(),
                         TextureFactory::getInstance(), FontManager::getInstance()),
              std::tuple(nullptr, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
}

TEST(Application, UnopenableWindowLeavesNoScreenAndMissingAudioASilentManager)
{
    // The disk driver cannot write into a missing directory, so the mixer cannot open.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/nonexistent-dir/out.raw", 1);
    {
        TestApp app;
        const std::string threw =
            throwsWith<SoundException>([&] { app.open(); }, "", "src/SoundManager").message();
        EXPECT_EQ(threw.rfind("threw \"Mix_OpenAudio: ", 0), 0u) << threw;
        ASSERT_NE(app.getSoundManager(), nullptr);
        EXPECT_EQ(std::pair(app.getScreen() != nullptr, app.getSoundManager()->isEnabled()),
                  std::pair(true, false));
    }
    // The dummy video driver has no OpenGL, so no GL mode can be set.
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    TestApp app;
    EXPECT_TRUE(throwsWith<ScreenCreateFailedException>(
        [&] { app.open(); }, "Failed to set the requested video mode.", "src/Screen"));
    EXPECT_EQ(std::pair(app.getScreen() == nullptr, app.getSoundManager() == nullptr), std::pair(true, true));
}

TEST_F(EntityTest, ChildrenDrawInOrderInTheirParentsChainedTransformAndEachListingIsVisitedWhileItOutlivesIt)
{
    // A plain entity applies no transform of its own; later children draw on top.
    Square first(10, Color(255, 0, 0, 255)), second(10, Color(0, 255, 0, 255));
    second.setPosition(5, 5);
    {
        Entity plain;
        plain.setPosition(100, 100);
        for (Entity* child : {&first, &second, &second})
        {
            plain.addChild(child);
        }
        plain.update();
        plain.draw();
        EXPECT_TRUE(rgbAt({2, 2}, 255, 0, 0));
        EXPECT_TRUE(rgbAt({7, 7}, 0, 255, 0));
        EXPECT_TRUE(rgbAt({15, 15, 110, 110}, 0, 0, 0));
        EXPECT_EQ(std::tuple(first.m_updates, first.m_draws, second.m_updates, second.m_draws),
                  std::tuple(1, 1, 2, 2));
        plain.removeChild(&second);
        plain.removeChild(&second);
        EXPECT_EQ(plain.getChildren(), std::vector<Entity*>{&first});
    }
    second.update();
    EXPECT_EQ(second.m_updates, 3);

    // Moves add up to (200, 100), scales multiply to 2 and turns add up to 90 degrees clockwise: local
    // (x, y) lands on (200 - 2y, 100 + 2x). The parent covers x 180..199, y 100..119; the child x 190..199,
    // y 140..149.
    Square parent(10, Color(0, 0, 255, 255));
    parent.move(203, 96).move(-3, 4).scale(4.0f).scale(0.5f).rotate(300.0f).rotate(150.0f);
    Square child(5, Color(0, 255, 0, 255));
    child.setPosition(20, 0);
    parent.addChild(&child);
    parent.draw();
    EXPECT_TRUE(rgbAt({181, 101, 198, 118}, 0, 0, 255));
    EXPECT_TRUE(rgbAt({191, 141, 198, 148}, 0, 255, 0));
    EXPECT_TRUE(rgbAt({201, 110, 191, 151, 188, 145}, 0, 0, 0));
}
