#include "engine/base/Application.h"

#include "engine/base/EventRouter.h"
#include "engine/base/Exception.h"
#include "engine/base/GameTime.h"
#include "engine/base/Screen.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL/SDL.h>

#include <cassert>
#include <cstdio>

namespace Fernhouse::Base
{

namespace
{

static_assert((SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE) == 0x100030u);

} // namespace

Application* Application::s_instance = nullptr;

Application::Application()
{
    assert(s_instance == nullptr && "only one application may live at a time");
    m_eventRouter = new EventRouter();
    m_gameTime = new GameTime();
    s_instance = this;
}

Application::~Application()
{
    delete m_screen;
    delete m_gameTime;
    delete m_eventRouter;
    s_instance = nullptr;
    SDL_Quit();
}

void Application::init(const std::string& caption, std::uint32_t width, std::uint32_t height,
                       std::uint32_t bitsPerPixel, bool fullscreen, int audioFrequency,
                       std::uint16_t audioFormat, int audioChannels, int audioChunkSize)
{
    // Video first and audio on its own: a broken audio driver must cost the sound, never the window.
    SDL_Init(SDL_INIT_VIDEO | SDL_INIT_NOPARACHUTE);
    SDL_InitSubSystem(SDL_INIT_AUDIO);
    SDL_EnableUNICODE(1);
    SDL_ShowCursor(SDL_DISABLE);

    m_screen = new Screen(caption, width, height, bitsPerPixel, fullscreen);

    // The sound service is created from these once it exists.
    static_cast<void>(audioFrequency);
    static_cast<void>(audioFormat);
    static_cast<void>(audioChannels);
    static_cast<void>(audioChunkSize);
}

bool Application::frame()
{
    if (!m_eventRouter->poll())
    {
        return false;
    }
    m_gameTime->update();
    m_screen->clear();
    step();
    m_screen->update();
    m_screen->draw();
    m_screen->swapBuffers();

    const GLenum error = glGetError();
    if (error != GL_NO_ERROR)
    {
        std::printf("%s\n", reinterpret_cast<const char*>(gluErrorString(error)));
        std::fflush(stdout);
    }
    return true;
}

void Application::step()
{
}

} // namespace Fernhouse::Base
