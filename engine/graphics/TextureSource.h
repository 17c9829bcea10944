#pragma once

struct SDL_Surface;

namespace Fernhouse::Graphics
{

// Makes the pixels of a texture map that no image file holds. The TextureFactory asks again after every
// video-mode change, so the pixels must come out the same each time.
class TextureSource
{
public:
    virtual ~TextureSource() = default;

    // A new 32-bit surface from TextureFactory::createSurface, which the caller frees. Throws
    // TextureCreationFailedException when it cannot.
    virtual SDL_Surface* render() const = 0;

protected:
    TextureSource() = default;
    TextureSource(const TextureSource&) = default;
    TextureSource& operator=(const TextureSource&) = default;
};

} // namespace Fernhouse::Graphics
