#include "tests/support/GLWindow.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <SDL/SDL.h>

#include <algorithm>
#include <cstdlib>

namespace TestSupport
{

std::array<int, 4> pixel(int x, int y)
{
    unsigned char p[4] = {0, 0, 0, 0};
    glReadPixels(x, WindowHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

::testing::AssertionResult rgbIs(const std::array<int, 4>& got, int r, int g, int b, int tolerance)
{
    const bool near =
        std::max({std::abs(got[0] - r), std::abs(got[1] - g), std::abs(got[2] - b)}) <= tolerance;
    return near ? ::testing::AssertionSuccess()
                : ::testing::AssertionFailure()
                      << "got (" << got[0] << "," << got[1] << "," << got[2] << ") expected (" << r << ","
                      << g << "," << b << ") +-" << tolerance;
}

::testing::AssertionResult rgbAt(std::initializer_list<int> points, int r, int g, int b)
{
    std::string wrong;
    for (const int* p = points.begin(); p + 1 < points.end(); p += 2)
    {
        const ::testing::AssertionResult one = rgbIs(pixel(p[0], p[1]), r, g, b);
        wrong += one ? "" : " at " + std::to_string(p[0]) + "," + std::to_string(p[1]) + " " + one.message();
    }
    return wrong.empty() ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << wrong;
}

void GLTest::SetUp()
{
    // A test that shut SDL down leaves the window closed.
    if (SDL_GetVideoSurface() == nullptr)
    {
        // Like the game's window: drawn into directly, without sdl12-compat's scaling framebuffer object.
        setenv("SDL12COMPAT_OPENGL_SCALING", "0", 0);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 1);
        ASSERT_NE(SDL_SetVideoMode(WindowWidth, WindowHeight, 32, SDL_HWSURFACE | SDL_OPENGL | SDL_ANYFORMAT),
                  nullptr)
            << SDL_GetError();
    }
    // Stale GL errors go, and so do the focus and motion events a fresh X11 window queues: tests that push
    // their own must not see them.
    SDL_Event event;
    while (glGetError() != GL_NO_ERROR || SDL_PollEvent(&event) != 0)
    {
    }
    glViewport(0, 0, WindowWidth, WindowHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, WindowWidth, WindowHeight, 0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    for (const GLenum capability : std::initializer_list<GLenum>{GL_BLEND, GL_TEXTURE_2D, GL_STENCIL_TEST,
                                                                 GL_SCISSOR_TEST, GL_DEPTH_TEST})
    {
        glDisable(capability);
    }
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearStencil(0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_STENCIL_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glColor4ub(255, 255, 255, 255);
}

void GLTest::TearDown()
{
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

} // namespace TestSupport
