#include "engine/graphics/FramebufferCopy.h"

#include "engine/graphics/Texture.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL/SDL.h>

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace Fernhouse::Graphics
{

namespace
{

constexpr int FirstVersionWithBlit = 3;
constexpr const char* BlitExtension = "GL_ARB_framebuffer_object";
// The screen moves its drawing by this much to hit pixel centres; a quad corner between a pixel's edge and
// that offset covers the same pixels and samples the same texels as one on the edge.
constexpr float LargestCornerOffset = 0.375f;
constexpr float MatrixTolerance = 1e-6f;
constexpr std::size_t MatrixSize = 16;
constexpr std::size_t MoveX = 12;
constexpr std::size_t MoveY = 13;

PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D = nullptr;
PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;

template <typename Function> bool lookUp(Function& function, const char* name)
{
    function = reinterpret_cast<Function>(SDL_GL_GetProcAddress(name));
    return function != nullptr;
}

// GLX hands out an address for any name, so the version or the extension decides whether it works.
bool driverHasBlit()
{
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    if (version != nullptr && std::atoi(version) >= FirstVersionWithBlit)
    {
        return true;
    }
    const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return extensions != nullptr && std::strstr(extensions, BlitExtension) != nullptr;
}

bool nearlyEqual(GLfloat value, GLfloat expected)
{
    return std::abs(value - expected) <= MatrixTolerance * std::max(1.0f, std::abs(expected));
}

bool matches(const std::array<GLfloat, MatrixSize>& matrix, const std::array<GLfloat, MatrixSize>& expected,
             bool moveFree)
{
    for (std::size_t i = 0; i < MatrixSize; ++i)
    {
        if ((!moveFree || (i != MoveX && i != MoveY)) && !nearlyEqual(matrix[i], expected[i]))
        {
            return false;
        }
    }
    return true;
}

// The whole pixel at or left of (above) a quad edge, when the edge lies no further into it than the
// screen's offset.
bool wholePixel(float edge, std::int32_t& pixel)
{
    const float whole = std::floor(edge);
    if (edge - whole > LargestCornerOffset)
    {
        return false;
    }
    pixel = static_cast<std::int32_t>(whole);
    return true;
}

// Mesa keeps a framebuffer object's rows bottom up and the window's top down: only into the window is the
// copy of a texture a copy of memory. Into another framebuffer object (sdl12-compat's scaling one) it is
// drawn like the quad, and would only flush the drawing so far.
bool drawingToTheWindow()
{
    GLint drawing = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &drawing);
    return drawing == 0;
}

bool drawsOnlyOpaqueTexels()
{
    constexpr std::array<GLenum, 5> Tests = {GL_BLEND, GL_ALPHA_TEST, GL_STENCIL_TEST, GL_DEPTH_TEST,
                                             GL_COLOR_LOGIC_OP};
    for (const GLenum capability : Tests)
    {
        if (glIsEnabled(capability) != GL_FALSE)
        {
            return false;
        }
    }
    std::array<GLboolean, 4> mask{};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask.data());
    return std::all_of(mask.begin(), mask.end(), [](GLboolean channel) { return channel != GL_FALSE; });
}

} // namespace

FramebufferCopy::FramebufferCopy() = default;

FramebufferCopy::~FramebufferCopy() = default;

bool FramebufferCopy::loadEntryPoints()
{
    if (m_entryPoints == EntryPoints::Unknown)
    {
        const bool loaded = driverHasBlit() && lookUp(genFramebuffers, "glGenFramebuffers") &&
                            lookUp(bindFramebuffer, "glBindFramebuffer") &&
                            lookUp(framebufferTexture2D, "glFramebufferTexture2D") &&
                            lookUp(blitFramebuffer, "glBlitFramebuffer");
        m_entryPoints = loaded ? EntryPoints::Loaded : EntryPoints::Missing;
    }
    return m_entryPoints == EntryPoints::Loaded;
}

bool FramebufferCopy::pixelCorner(const std::array<std::int32_t, 4>& viewport, float x, float y,
                                  std::int32_t& left, std::int32_t& top)
{
    if (viewport[2] <= 0 || viewport[3] <= 0)
    {
        return false;
    }
    std::array<GLfloat, MatrixSize> modelview{};
    std::array<GLfloat, MatrixSize> projection{};
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    // The screen's projection, gluOrtho2D(0, width, height, 0): one unit per pixel, y downwards.
    const std::array<GLfloat, MatrixSize> pixels = {2.0f / static_cast<GLfloat>(viewport[2]),
                                                    0.0f,
                                                    0.0f,
                                                    0.0f,
                                                    0.0f,
                                                    -2.0f / static_cast<GLfloat>(viewport[3]),
                                                    0.0f,
                                                    0.0f,
                                                    0.0f,
                                                    0.0f,
                                                    -1.0f,
                                                    0.0f,
                                                    -1.0f,
                                                    1.0f,
                                                    0.0f,
                                                    1.0f};
    const std::array<GLfloat, MatrixSize> move = {1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f,
                                                  0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f};
    if (!matches(projection, pixels, false) || !matches(modelview, move, true))
    {
        return false;
    }
    std::int32_t pixelX = 0;
    std::int32_t pixelY = 0;
    if (!wholePixel(x + modelview[MoveX], pixelX) || !wholePixel(y + modelview[MoveY], pixelY))
    {
        return false;
    }
    // GL counts framebuffer rows from the bottom.
    left = viewport[0] + pixelX;
    top = viewport[1] + viewport[3] - pixelY;
    return true;
}

bool FramebufferCopy::copy(const Texture& texture, const Base::Rect& src, float x, float y)
{
    assert(src.x >= 0 && src.y >= 0 && src.x + static_cast<std::int64_t>(src.w) <= texture.getWidth() &&
           src.y + static_cast<std::int64_t>(src.h) <= texture.getHeight() && "texels outside the texture");
    if (!loadEntryPoints() || !drawingToTheWindow() || !drawsOnlyOpaqueTexels())
    {
        return false;
    }
    std::array<GLint, 4> box{};
    glGetIntegerv(GL_VIEWPORT, box.data());
    std::int32_t left = 0;
    std::int32_t top = 0; // GL row above the quad's top row
    if (!pixelCorner(box, x, y, left, top))
    {
        return false;
    }
    // The quad is cut by the viewport and the scissor box; the copy by nothing but the framebuffer.
    const bool scissored = glIsEnabled(GL_SCISSOR_TEST) != GL_FALSE;
    std::int32_t clipLeft = box[0];
    std::int32_t clipBottom = box[1];
    std::int32_t clipRight = box[0] + box[2];
    std::int32_t clipTop = box[1] + box[3];
    if (scissored)
    {
        glGetIntegerv(GL_SCISSOR_BOX, box.data());
        clipLeft = std::max(clipLeft, box[0]);
        clipBottom = std::max(clipBottom, box[1]);
        clipRight = std::min(clipRight, box[0] + box[2]);
        clipTop = std::min(clipTop, box[1] + box[3]);
    }
    const std::int32_t right = std::min(left + static_cast<std::int32_t>(src.w), clipRight);
    const std::int32_t bottom = std::max(top - static_cast<std::int32_t>(src.h), clipBottom);
    const std::int32_t cutLeft = std::max(clipLeft - left, 0);
    const std::int32_t cutTop = std::max(top - clipTop, 0);
    left += cutLeft;
    top -= cutTop;
    if (left >= right || bottom >= top)
    {
        return true;
    }
    const std::int32_t texelX = src.x + cutLeft;
    const std::int32_t texelY = src.y + cutTop;

    if (m_framebuffer == 0)
    {
        GLuint name = 0;
        genFramebuffers(1, &name);
        m_framebuffer = name;
    }
    GLint reading = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &reading);
    bindFramebuffer(GL_READ_FRAMEBUFFER, m_framebuffer);
    framebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture.getGlName(), 0);
    if (scissored)
    {
        glDisable(GL_SCISSOR_TEST);
    }
    // Texel rows count from the top of the picture as uploaded and GL rows from the bottom: the first
    // texel row goes to the top row.
    blitFramebuffer(texelX, texelY, texelX + (right - left), texelY + (top - bottom), left, top, right,
                    bottom, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    if (scissored)
    {
        glEnable(GL_SCISSOR_TEST);
    }
    bindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(reading));
    return true;
}

} // namespace Fernhouse::Graphics
