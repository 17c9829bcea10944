#include "engine/base/Application.h"
#include "engine/base/Exception.h"
#include "engine/base/Screen.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/Image.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/graphics/TextureMap.h"
#include "engine/sound/SoundManager.h"

#include "tests/engine/graphics/TestImage.h"
#include "tests/support/GLWindow.h"
#include "tests/support/TempDir.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

using namespace Fernhouse::Base;
using Fernhouse::Graphics::FontManager;
using Fernhouse::Graphics::Image;
using Fernhouse::Graphics::TextureFactory;
using TestSupport::pixel;
using TestSupport::TempDir;
using TestSupport::TestImage;

namespace
{

class ServicesApp final : public Application
{
public:
    int run() override { return 0; }

    void open() { init("Tarvo services", 800, 600, 32, false, 44100, AUDIO_S16LSB, 16, 2048); }
};

} // namespace

TEST(ApplicationServices, TextureAndFontServicesExistFromConstructionToDestruction)
{
    {
        ServicesApp app;
        EXPECT_EQ(TextureFactory::getInstance(), app.getTextureFactory());
        EXPECT_EQ(FontManager::getInstance(), app.getFontManager());
        ASSERT_NE(app.getFontManager(), nullptr);
        EXPECT_EQ(app.getFontManager()->getFontDirectory(), "");
        EXPECT_EQ(app.getFontManager()->getFontExtension(), ".png");
        EXPECT_EQ(app.getSoundManager(), nullptr);
    }
    EXPECT_EQ(TextureFactory::getInstance(), nullptr);
    EXPECT_EQ(FontManager::getInstance(), nullptr);
}

TEST(ApplicationServices, MissingAudioDeviceLeavesASilentManagerAndPassesTheErrorOn)
{
    // The disk driver cannot open a file in a missing directory, so the mixer cannot open.
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/nonexistent-dir/out.raw", 1);
    ServicesApp app;
    try
    {
        app.open();
        FAIL() << "no exception";
    }
    catch (const SoundException& e)
    {
        EXPECT_EQ(e.getMessage().rfind("Mix_OpenAudio: ", 0), 0u) << e.getMessage();
    }
    ASSERT_NE(app.getScreen(), nullptr);
    ASSERT_NE(app.getSoundManager(), nullptr);
    EXPECT_FALSE(app.getSoundManager()->isEnabled());
    app.getSoundManager()->addSound("game", "die", "sounds/missing.wav", false);
    app.getSoundManager()->pushContext("game");
    app.getSoundManager()->playSound("die");
    app.getSoundManager()->popContext();
}

TEST(ApplicationServices, WorkingAudioDeviceGivesAnEnabledManager)
{
    TempDir dir;
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", dir.file("out.raw").c_str(), 1);
    ServicesApp app;
    app.open();
    ASSERT_NE(app.getSoundManager(), nullptr);
    EXPECT_TRUE(app.getSoundManager()->isEnabled());
}

TEST(ApplicationServices, FullscreenSwitchKeepsEveryTextureDrawableWithoutNewObjects)
{
    TempDir dir;
    TestImage picture(16, 16, Color(200, 40, 10, 255));
    picture.savePng(dir.file("red.png"));
    TestSupport::glyphSheet(8, 8).savePng(dir.file("font.png"));

    ServicesApp app;
    app.open();
    Screen* screen = app.getScreen();
    Image image(dir.file("red.png"));
    image.setPosition(20, 30);
    app.getFontManager()->setFontDirectory(dir.path().string() + "/");
    Fernhouse::Graphics::Font* font = app.getFontManager()->loadFont("font");
    ASSERT_NE(font, nullptr);
    const std::size_t maps = app.getTextureFactory()->getTextureMapCount();

    screen->setFullscreen(true);
    screen->setFullscreen(false);

    EXPECT_EQ(app.getTextureFactory()->getTextureMapCount(), maps);
    EXPECT_EQ(app.getFontManager()->loadFont("font"), font);
    screen->setBackgroundColor(Color(0, 0, 0, 255));
    screen->clear();
    glLoadIdentity();
    image.draw();
    EXPECT_RGB(pixel(20, 30), 200, 40, 10);
    EXPECT_RGB(pixel(35, 45), 200, 40, 10);
    EXPECT_RGB(pixel(36, 46), 0, 0, 0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    app.getFontManager()->freeFont("font");
    // The second hold is released by the application's destruction, fonts before the texture factory.
}
