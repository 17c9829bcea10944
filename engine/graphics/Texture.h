#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace Fernhouse::Graphics
{

// One uploaded OpenGL texture. The object never deletes its GL texture: TextureFactory does, because
// only it knows when a name is still shared after a reload.
class Texture final
{
public:
    // Width and height in pixels; glName is the OpenGL texture name.
    Texture(std::uint32_t width, std::uint32_t height, std::uint32_t glName);

    std::uint32_t getWidth() const { return m_width; }

    std::uint32_t getHeight() const { return m_height; }

    std::uint32_t getGlName() const { return m_glName; }

    // The texels read back from GL as bytes R, G, B, A, row by row from the top. Leaves the binding as it
    // was.
    std::vector<std::uint8_t> readPixels() const;

    // Whether every texel is either fully opaque or fully transparent; read back once, since a reload
    // brings the same pixels.
    bool isCutOut() const;

    // Whether test holds for the alpha of every texel in the width x height corner at the top left; reads
    // the texels back.
    template <typename Test> bool everyAlpha(std::uint32_t width, std::uint32_t height, Test test) const
    {
        const std::vector<std::uint8_t> pixels = readPixels();
        for (std::uint32_t y = 0; y < height; ++y)
        {
            for (std::uint32_t x = 0; x < width; ++x)
            {
                if (!test(pixels[BytesPerTexel * (static_cast<std::size_t>(y) * m_width + x) + AlphaByte]))
                {
                    return false;
                }
            }
        }
        return true;
    }

    static constexpr std::size_t BytesPerTexel = 4;
    static constexpr std::size_t AlphaByte = 3;

    // Replaced after a video-mode change, so that every holder of this object sees the new name.
    void setGlName(std::uint32_t glName) { m_glName = glName; }

private:
    std::uint32_t m_width;
    std::uint32_t m_height;
    std::uint32_t m_glName;
    mutable std::optional<bool> m_cutOut; // not yet known
};

} // namespace Fernhouse::Graphics
