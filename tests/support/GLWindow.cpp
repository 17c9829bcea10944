#include "tests/support/GLWindow.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL/SDL.h>

#include <cstdlib>

namespace TestSupport
{

std::string ensureGLWindow()
{
    if ((SDL_WasInit(SDL_INIT_VIDEO) & SDL_INIT_VIDEO) != 0 && SDL_GetVideoSurface() != nullptr)
    {
        return std::string();
    }
    // Like the game's window in Application::init: drawn into directly, without sdl12-compat's scaling
    // framebuffer object.
    setenv("SDL12COMPAT_OPENGL_SCALING", "0", 0);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0)
    {
        return std::string("SDL_InitSubSystem: ") + SDL_GetError();
    }
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 1);
    if (SDL_SetVideoMode(WindowWidth, WindowHeight, 32, SDL_HWSURFACE | SDL_OPENGL | SDL_ANYFORMAT) ==
        nullptr)
    {
        return std::string("SDL_SetVideoMode: ") + SDL_GetError();
    }
    return std::string();
}

void closeGLWindow()
{
    if (SDL_WasInit(0) != 0)
    {
        SDL_Quit();
    }
}

std::array<int, 4> pixel(int x, int y)
{
    unsigned char p[4] = {0, 0, 0, 0};
    glReadPixels(x, WindowHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

::testing::AssertionResult rgbIs(const std::array<int, 4>& got, int r, int g, int b, int tolerance)
{
    if (std::abs(got[0] - r) <= tolerance && std::abs(got[1] - g) <= tolerance &&
        std::abs(got[2] - b) <= tolerance)
    {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "got (" << got[0] << "," << got[1] << "," << got[2] << ") expected (" << r << "," << g << ","
           << b << ") +-" << tolerance;
}

void GLTest::SetUp()
{
    const std::string error = ensureGLWindow();
    ASSERT_TRUE(error.empty()) << error;

    while (glGetError() != GL_NO_ERROR)
    {
    }
    // A fresh X11 window queues focus and motion events; tests that push their own must not see them.
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0)
    {
    }
    glViewport(0, 0, WindowWidth, WindowHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, WindowWidth, WindowHeight, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_STENCIL_TEST);
    glDisable(GL_SCISSOR_TEST);
    glDisable(GL_DEPTH_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glClearColor(0, 0, 0, 1);
    glClearStencil(0);
    glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor4ub(255, 255, 255, 255);
}

void GLTest::TearDown()
{
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

void GLTest::fillRect(int x, int y, int w, int h)
{
    glBegin(GL_QUADS);
    glVertex2i(x, y);
    glVertex2i(x + w, y);
    glVertex2i(x + w, y + h);
    glVertex2i(x, y + h);
    glEnd();
}

} // namespace TestSupport
