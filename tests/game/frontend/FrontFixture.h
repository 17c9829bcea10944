#pragma once

#include "engine/base/Application.h"
#include "engine/base/EventRouter.h"
#include "engine/base/Exception.h"
#include "engine/base/Screen.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/Label.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/sound/SoundManager.h"

#include "tests/support/FakeClock.h"
#include "tests/support/GLWindow.h"
#include "tests/support/Paths.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TempDir.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

namespace FrontSupport
{

inline void pushKey(SDLKey key, SDLMod mod = KMOD_NONE)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.sym = key;
    event.key.keysym.mod = mod;
    ASSERT_EQ(SDL_PushEvent(&event), 0);
}

inline void saveHalves(const std::string& path, int width, int height, const Fernhouse::Base::Color& left,
                       const Fernhouse::Base::Color& right)
{
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 24, 0xFF, 0xFF00, 0xFF0000, 0);
    ASSERT_NE(surface, nullptr) << SDL_GetError();
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, right.r, right.g, right.b));
    SDL_Rect leftHalf{0, 0, static_cast<Uint16>(width / 2), static_cast<Uint16>(height)};
    SDL_FillRect(surface, &leftHalf, SDL_MapRGB(surface->format, left.r, left.g, left.b));
    EXPECT_EQ(SDL_SaveBMP(surface, path.c_str()), 0) << SDL_GetError();
    SDL_FreeSurface(surface);
}

class AppTest : public ::testing::Test
{
protected:
    AppTest()
    {
        std::filesystem::create_directory_symlink(std::filesystem::path(TestSupport::SourceDir) / "graphics",
                                                  m_dir.path() / "graphics");
        for (SDL_Event event; SDL_PollEvent(&event) != 0;)
        {
        }
    }

    struct App final : Fernhouse::Base::Application
    {
        App()
        {
            setenv("SDL_AUDIODRIVER", "dummy", 0);
            init("Tarvo front end", 800, 600, 32, false, 44100, AUDIO_S16LSB, 16, 2048);
            getFontManager()->setFontDirectory("graphics/fonts/");
        }

        int run() override { return 0; }
    };

    Fernhouse::Base::EventRouter& router() { return *m_app.getEventRouter(); }

    TestSupport::TempDir m_dir;
    TestSupport::ScopedWorkingDirectory m_cwd{m_dir.path()};
    App m_app;
};

class WorldTest : public TestSupport::GLTest
{
protected:
    void SetUp() override
    {
        GLTest::SetUp();
        glEnable(GL_BLEND);
        m_time.start();
    }

    void at(std::uint32_t t)
    {
        m_ticks.set(t);
        m_time.update();
    }

    TestSupport::TempDir m_dir;
    TestSupport::ScopedWorkingDirectory m_cwd{m_dir.path()};
    TestSupport::FakeClock m_ticks;
    Fernhouse::Base::GameTime m_time;
    Fernhouse::Graphics::TextureFactory m_textures;
    Fernhouse::Graphics::FontManager m_fonts{std::string(TestSupport::SourceDir) + "/graphics/fonts/",
                                             ".png"};
};

} // namespace FrontSupport
