#include "engine/graphics/Texture.h"

#include <GL/gl.h>

#include <algorithm>
#include <type_traits>

namespace Fernhouse::Graphics
{

// The name is kept without GL's typedef so that this header needs no GL include.
static_assert(std::is_same_v<GLuint, std::uint32_t>);

Texture::Texture(std::uint32_t width, std::uint32_t height, std::uint32_t glName)
    : m_width(width),
      m_height(height),
      m_glName(glName)
{
}

std::vector<std::uint8_t> Texture::readPixels() const
{
    std::vector<std::uint8_t> pixels(BytesPerTexel * m_width * m_height);
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    glBindTexture(GL_TEXTURE_2D, m_glName);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
    return pixels;
}

bool Texture::isCutOut() const
{
    if (!m_cutOut)
    {
        m_cutOut =
            everyAlpha(m_width, m_height, [](std::uint8_t alpha) { return alpha == 0 || alpha == 255; });
    }
    return *m_cutOut;
}

} // namespace Fernhouse::Graphics
