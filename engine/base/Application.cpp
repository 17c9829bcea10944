#include "engine/base/Application.h"

#include "engine/base/EventRouter.h"
#include "engine/base/Exception.h"
#include "engine/base/GameTime.h"
#include "engine/base/Repaint.h"
#include "engine/base/Screen.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/sound/SoundManager.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL/SDL.h>

#include <cassert>
#include <cstdio>
#include <cstdlib>

namespace Fernhouse::Base
{

namespace
{

static_assert((SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) == 0x100030u);

// The front end points the font manager at its font directory once it runs.
constexpr const char* FontExtension = ".png";
// sdl12-compat draws an SDL 1.2 OpenGL window into a framebuffer object of its own and copies that to the
// window at every swap, so that a fullscreen picture can be scaled to the display. A window of the game's
// own size needs no scaling, and on a software rasteriser the copy costs well over a millisecond a frame.
// Read when SDL starts its video; a player's own setting stands. Switched to fullscreen later, the game
// then asks for a display mode of its size, as SDL 1.2 did.
constexpr const char* CompatScalingHint = "SDL12COMPAT_OPENGL_SCALING";

} // namespace

Application* Application::s_instance = nullptr;
bool Application::s_paced = true;

Application::Application()
{
    assert(s_instance == nullptr && "only one application may live at a time");
    // Both exist before any image or font is loaded, and for the application's whole life.
    m_textureFactory = new Graphics::TextureFactory();
    m_fontManager = new Graphics::FontManager("", FontExtension);
    m_eventRouter = new EventRouter();
    m_gameTime = new GameTime();
    s_instance = this;
    // A new window shows nothing yet.
    Repaint::request();
}

Application::~Application()
{
    delete m_screen;
    delete m_soundManager;
    delete m_gameTime;
    delete m_eventRouter;
    // Fonts hold texture maps, so they go before the factory.
    delete m_fontManager;
    delete m_textureFactory;
    s_instance = nullptr;
    SDL_Quit();
}

void Application::init(const std::string& caption, std::uint32_t width, std::uint32_t height,
                       std::uint32_t bitsPerPixel, bool fullscreen, int audioFrequency,
                       std::uint16_t audioFormat, int audioChannels, int audioChunkSize)
{
    if (!fullscreen)
    {
        setenv(CompatScalingHint, "0", 0);
    }
    // Video first and audio on its own: a broken audio driver must cost the sound, never the window.
    SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE);
    SDL_InitSubSystem(SDL_INIT_AUDIO);
    SDL_EnableUNICODE(1);
    SDL_ShowCursor(SDL_DISABLE);

    m_screen = new Screen(caption, width, height, bitsPerPixel, fullscreen);
    int swapInterval = 0;
    if (SDL_GL_GetAttribute(SDL_GL_SWAP_CONTROL, &swapInterval) != 0)
    {
        swapInterval = 0;
    }
    m_pacer.setSwapInterval(swapInterval);

    try
    {
        m_soundManager = new Sound::SoundManager(audioFrequency, audioFormat, audioChannels, audioChunkSize);
    }
    catch (const SoundException&)
    {
        m_soundManager = new Sound::SoundManager();
        throw;
    }
}

bool Application::frame()
{
    if (!m_eventRouter->poll())
    {
        return false;
    }
    m_gameTime->update();
    step();
    m_screen->update();
    presentFrame();

    const GLenum error = glGetError();
    if (error != GL_NO_ERROR)
    {
        std::printf("%s\n", reinterpret_cast<const char*>(gluErrorString(error)));
        std::fflush(stdout);
    }
    return true;
}

bool Application::presentFrame()
{
    // Updates, timers and sound run every frame; drawing only when something visible changed.
    m_lastFrameDrawn = Repaint::take() || !m_drawOnlyChanges;
    if (m_lastFrameDrawn)
    {
        redraw();
        m_screen->swapBuffers();
    }
    if (s_paced)
    {
        m_pacer.endFrame(m_lastFrameDrawn);
    }
    return m_lastFrameDrawn;
}

void Application::redraw()
{
    m_screen->clear();
    m_screen->draw();
    // Positions set while drawing are the drawing's own business, not a change to show.
    Repaint::take();
}

void Application::step()
{
}

} // namespace Fernhouse::Base
