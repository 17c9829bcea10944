#include "engine/base/Screen.h"

#include "engine/base/Exception.h"
#include "engine/base/Repaint.h"
#include "engine/graphics/TextureFactory.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL/SDL.h>

namespace Fernhouse::Base
{

namespace
{

constexpr const char* SourceTag = "src/Screen";
constexpr const char* VideoModeFailed = "Failed to set the requested video mode.";

constexpr std::uint32_t WindowedFlags = SDL_HWSURFACE | SDL_OPENGL | SDL_ANYFORMAT;
static_assert(WindowedFlags == 0x10000003u);
static_assert((WindowedFlags | SDL_FULLSCREEN) == 0x90000003u);

// Moves rasterisation to pixel centres so that integer coordinates hit exact pixels.
constexpr GLfloat PixelCentreOffset = 0.375f;
constexpr float ColorScale = 255.0f;

} // namespace

Screen::Screen(const std::string& caption, std::uint32_t width, std::uint32_t height,
               std::uint32_t bitsPerPixel, bool fullscreen)
    : Screen(caption, Size(width, height), bitsPerPixel, fullscreen)
{
}

Screen::Screen(const std::string& caption, const Size& size, std::uint32_t bitsPerPixel, bool fullscreen)
    : m_caption(caption),
      m_size(size),
      m_bitsPerPixel(bitsPerPixel),
      m_fullscreen(fullscreen)
{
    createVideoMode();
}

std::uint32_t Screen::videoFlags(bool fullscreen)
{
    return fullscreen ? (WindowedFlags | SDL_FULLSCREEN) : WindowedFlags;
}

void Screen::createVideoMode()
{
    // A new mode starts with an empty window.
    Repaint::request();
    SDL_WM_SetCaption(m_caption.c_str(), nullptr);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 1);
    // Vertical sync; only honoured when set before the mode, and ignored where the driver cannot.
    SDL_GL_SetAttribute(SDL_GL_SWAP_CONTROL, 1);

    if (SDL_SetVideoMode(static_cast<int>(m_size.w), static_cast<int>(m_size.h),
                         static_cast<int>(m_bitsPerPixel), videoFlags(m_fullscreen)) == nullptr)
    {
        FH_THROW(ScreenCreateFailedException, VideoModeFailed);
    }
    setUpProjection();
}

void Screen::setUpProjection()
{
    glViewport(0, 0, static_cast<GLsizei>(m_size.w), static_cast<GLsizei>(m_size.h));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0.0, static_cast<GLdouble>(m_size.w), static_cast<GLdouble>(m_size.h), 0.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void Screen::setFullscreen(bool value)
{
    if (value == m_fullscreen)
    {
        return;
    }
    const bool former = m_fullscreen;
    m_fullscreen = value;
    if (SDL_WM_ToggleFullScreen(SDL_GetVideoSurface()) == 0)
    {
        if (SDL_SetVideoMode(static_cast<int>(m_size.w), static_cast<int>(m_size.h),
                             static_cast<int>(m_bitsPerPixel), videoFlags(m_fullscreen)) == nullptr)
        {
            m_fullscreen = former;
            FH_THROW(ScreenCreateFailedException, VideoModeFailed);
        }
    }
    setUpProjection();
    // A new mode may come with a new GL context: upload every texture again under its old object.
    if (Graphics::TextureFactory* factory = Graphics::TextureFactory::getInstance())
    {
        factory->reloadAll();
    }
}

void Screen::setBackgroundColor(const Color& color)
{
    m_backgroundColor = color;
    Repaint::request();
    glClearColor(color.r / ColorScale, color.g / ColorScale, color.b / ColorScale, color.a / ColorScale);
}

void Screen::setCaption(const std::string& caption)
{
    m_caption = caption;
    SDL_WM_SetCaption(m_caption.c_str(), nullptr);
}

void Screen::clear()
{
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    glTranslatef(PixelCentreOffset, PixelCentreOffset, 0.0f);
}

void Screen::swapBuffers()
{
    SDL_GL_SwapBuffers();
}

} // namespace Fernhouse::Base
