#pragma once

#include "engine/base/Rect.h"

#include <array>
#include <cstdint>

namespace Fernhouse::Graphics
{

class Texture;

// Copies rectangles of textures into the framebuffer being drawn, with the framebuffer blit of GL 3.0
// where the driver has it. For an opaque picture drawn without blending, unscaled and at whole pixels, the
// copy gives the textured quad's pixels; a software rasteriser then copies memory instead of shading a
// quad (for textures in the screen's byte order, see TextureFactory::createTexture). Main thread, with the
// screen's GL context current.
class FramebufferCopy final
{
public:
    FramebufferCopy();
    FramebufferCopy(const FramebufferCopy&) = delete;
    FramebufferCopy& operator=(const FramebufferCopy&) = delete;
    // Makes no GL call: its framebuffer object dies with the GL context.
    ~FramebufferCopy();

    // Copies the texels src of texture (src in texels, from the top left) to the quad whose top-left
    // corner is (x, y) in the current modelview's units, clipped by the scissor box as the quad would be.
    // Returns false, having drawn nothing, where the copy might give other pixels than the quad: a
    // transform other than a move onto the pixel grid under the screen's pixel projection, blending, the
    // alpha, stencil or depth test, a colour mask; where the driver has no framebuffer blit; or where the
    // drawing goes to a framebuffer object rather than the window. The caller then draws the quad. The
    // texture's texels must be opaque and drawn untinted.
    bool copy(const Texture& texture, const Base::Rect& src, float x, float y);

    // After the GL context was replaced: the framebuffer object went with the old one.
    void forgetContext() { m_framebuffer = 0; }

private:
    // Looks the GL 3.0 entry points up once; false when one is missing.
    bool loadEntryPoints();
    // Where the quad's corner lands in the framebuffer of that viewport, in whole pixels from the top left,
    // when the transform maps texels one to one onto pixels; false otherwise.
    static bool pixelCorner(const std::array<std::int32_t, 4>& viewport, float x, float y, std::int32_t& left,
                            std::int32_t& top);

    enum class EntryPoints
    {
        Unknown,
        Loaded,
        Missing
    };

    EntryPoints m_entryPoints = EntryPoints::Unknown;
    std::uint32_t m_framebuffer = 0; // GL name, made at the first copy; 0 before
};

} // namespace Fernhouse::Graphics
