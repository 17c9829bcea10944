#include "engine/graphics/Texture.h"

#include <GL/gl.h>

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

} // namespace Fernhouse::Graphics
