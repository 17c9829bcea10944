#include "engine/graphics/TextureFactory.h"

#include "engine/base/Exception.h"
#include "engine/graphics/Texture.h"
#include "engine/graphics/TextureMap.h"
#include "engine/graphics/TextureSource.h"

#include <GL/gl.h>
#include <SDL/SDL.h>
#include <SDL/SDL_image.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <memory>
#include <utility>

namespace Fernhouse::Graphics
{

namespace
{

constexpr const char* SourceTag = "src/TextureFactory";
constexpr const char* ConvertFailed = "Couldn't convert image format.";
constexpr const char* AlphaModeFailed = "Couldn't change alpha mode on SDL surface.";
constexpr const char* CreateFailed = "Error when creating new image.";
constexpr const char* ClearFailed = "Couldn't clear image.";

constexpr std::uint32_t MaxTileSize = 512;
constexpr std::uint32_t MinTileSize = 64;

// Bytes R, G, B, A in memory on a little-endian machine, as glTexImage2D with GL_RGBA reads them.
constexpr Uint32 RedMask = 0x000000FF;
constexpr Uint32 GreenMask = 0x0000FF00;
constexpr Uint32 BlueMask = 0x00FF0000;
constexpr Uint32 AlphaMask = 0xFF000000;
constexpr int BitsPerPixel = 32;
// Unsized, so that the driver may keep the texels in the order they are handed over in.
constexpr GLint InternalFormat = GL_RGBA;
constexpr std::ptrdiff_t BytesPerPixel = BitsPerPixel / CHAR_BIT;
constexpr std::size_t RedByte = 0;
constexpr std::size_t BlueByte = 2;

struct SurfaceDeleter
{
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};

using SurfaceGuard = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

std::uint32_t widthOf(const SDL_Surface* surface)
{
    return static_cast<std::uint32_t>(surface->w);
}

std::uint32_t heightOf(const SDL_Surface* surface)
{
    return static_cast<std::uint32_t>(surface->h);
}

// A surface with per-pixel alpha (every one from createSurface) is blended by SDL_BlitSurface, which
// leaves the destination's alpha at 0; cleared, the blit copies all four channels.
void copyAlphaOnBlit(SDL_Surface* surface)
{
    if (SDL_SetAlpha(surface, 0, SDL_ALPHA_OPAQUE) != 0)
    {
        FH_THROW(Base::TextureCreationFailedException, AlphaModeFailed);
    }
}

// Between R, G, B, A and B, G, R, A in place, both ways.
void swapRedAndBlue(SDL_Surface* surface)
{
    auto* row = static_cast<std::uint8_t*>(surface->pixels);
    for (int y = 0; y < surface->h; ++y, row += surface->pitch)
    {
        std::uint8_t* const end = row + BytesPerPixel * surface->w;
        for (std::uint8_t* texel = row; texel != end; texel += BytesPerPixel)
        {
            std::swap(texel[RedByte], texel[BlueByte]);
        }
    }
}

void deleteTextures(const TextureMap& map)
{
    const Base::Size& grid = map.getGridSize();
    for (std::uint32_t column = 0; column < grid.w; ++column)
    {
        for (std::uint32_t row = 0; row < grid.h; ++row)
        {
            if (const Texture* texture = map.getTexture(column, row))
            {
                const GLuint name = texture->getGlName();
                glDeleteTextures(1, &name);
            }
        }
    }
}

} // namespace

TextureFactory::TextureFactory() : m_maxTileSize(MaxTileSize), m_minTileSize(MinTileSize)
{
}

TextureFactory::~TextureFactory()
{
    for (auto& [map, fileName] : m_fileNames)
    {
        delete map;
    }
    for (auto& [map, source] : m_sources)
    {
        delete map;
    }
}

TextureMap* TextureFactory::createTextureMap(const std::string& fileName, const Base::Color* colorKey)
{
    SDL_Surface* surface = loadSurface(fileName, colorKey);
    const std::uint32_t width = widthOf(surface);
    const std::uint32_t height = heightOf(surface);
    Base::Size tileSize(width, height);
    if (!isTileSizeAllowed(width) || !isTileSizeAllowed(height))
    {
        tileSize = Base::Size(bestTileSize(width), bestTileSize(height));
    }
    return buildTextureMap(surface, tileSize, fileName, colorKey, false);
}

TextureMap* TextureFactory::createTextureMap(const std::string& fileName, const Base::Size& tileSize,
                                             const Base::Color* colorKey)
{
    if (!isTileSizeAllowed(tileSize.w) || !isTileSizeAllowed(tileSize.h))
    {
        FH_THROW(Base::TextureCreationFailedException, "Tile size not allowed.");
    }
    return buildTextureMap(loadSurface(fileName, colorKey), tileSize, fileName, colorKey, false);
}

TextureMap* TextureFactory::createTextureMap(const TextureSource* source, const Base::Size& tileSize)
{
    if (!isTileSizeAllowed(tileSize.w) || !isTileSizeAllowed(tileSize.h))
    {
        FH_THROW(Base::TextureCreationFailedException, "Tile size not allowed.");
    }
    TextureMap* map = buildTextureMap(source->render(), tileSize, std::string(), nullptr, true);
    m_sources[map] = source;
    return map;
}

void TextureFactory::freeTextureMap(TextureMap* map)
{
    if (m_fileNames.count(map) == 0 && m_sources.count(map) == 0)
    {
        return;
    }
    deleteTextures(*map);
    m_fileNames.erase(map);
    m_colorKeys.erase(map);
    m_sources.erase(map);
    delete map;
}

void TextureFactory::reloadAll()
{
    m_framebufferCopy.forgetContext();
    // The old names are dead or about to be replaced; free them before the new uploads take memory.
    for (const auto& [map, fileName] : m_fileNames)
    {
        deleteTextures(*map);
    }
    for (const auto& [map, source] : m_sources)
    {
        deleteTextures(*map);
    }
    for (const auto& [map, fileName] : m_fileNames)
    {
        const auto key = m_colorKeys.find(map);
        const Base::Color* colorKey = key == m_colorKeys.end() ? nullptr : &key->second;
        adoptFresh(*map, loadSurface(fileName, colorKey), fileName, colorKey);
    }
    for (const auto& [map, source] : m_sources)
    {
        adoptFresh(*map, source->render(), std::string(), nullptr);
    }
}

void TextureFactory::adoptFresh(TextureMap& map, SDL_Surface* surface, const std::string& fileName,
                                const Base::Color* colorKey)
{
    const std::unique_ptr<TextureMap> fresh(
        buildTextureMap(surface, map.getTileSize(), fileName, colorKey, true));
    try
    {
        map.adoptTextureNames(*fresh);
    }
    catch (const Base::Exception&)
    {
        // The picture changed its grid since it was made; nobody would own these names.
        deleteTextures(*fresh);
        throw;
    }
}

std::uint32_t TextureFactory::bestTileSize(std::uint32_t length) const
{
    GLint driverLimit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &driverLimit);
    const std::uint32_t limit = std::min(static_cast<std::uint32_t>(std::max(driverLimit, 0)), m_maxTileSize);
    if (limit < m_minTileSize)
    {
        return m_minTileSize;
    }
    std::uint32_t best = m_minTileSize;
    std::uint32_t bestWaste = limit + 1;
    for (std::uint32_t size = m_minTileSize; size <= limit; size *= 2)
    {
        const auto count =
            static_cast<std::uint32_t>(std::ceil(static_cast<float>(length) / static_cast<float>(size)));
        const std::uint32_t waste = count * size - length;
        // "<=" lets a later, larger size win a tie: fewer tiles for the same waste.
        if (waste <= bestWaste)
        {
            best = size;
            bestWaste = waste;
        }
    }
    return best;
}

bool TextureFactory::isTileSizeAllowed(std::uint32_t size) const
{
    GLint driverLimit = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &driverLimit);
    const std::uint32_t limit = std::min(static_cast<std::uint32_t>(std::max(driverLimit, 0)), m_maxTileSize);
    const bool powerOfTwo = size != 0 && (size & (size - 1)) == 0;
    return powerOfTwo && size >= m_minTileSize && size <= limit;
}

SDL_Surface* TextureFactory::createSurface(std::uint32_t width, std::uint32_t height) const
{
    return SDL_CreateRGBSurface(0, static_cast<int>(width), static_cast<int>(height), BitsPerPixel, RedMask,
                                GreenMask, BlueMask, AlphaMask);
}

Texture* TextureFactory::createTexture(SDL_Surface* surface) const
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    // Handed over as B, G, R, A, the order of the screen's pixels: a driver that keeps them so can copy a
    // picture to the screen without converting it (FramebufferCopy). The surface is left as it came.
    swapRedAndBlue(surface);
    glTexImage2D(GL_TEXTURE_2D, 0, InternalFormat, surface->w, surface->h, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                 surface->pixels);
    swapRedAndBlue(surface);
    // Pixel art and tiles must stay sharp at any scale.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return new Texture(widthOf(surface), heightOf(surface), name);
}

SDL_Surface* TextureFactory::loadSurface(const std::string& fileName, const Base::Color* colorKey) const
{
    const SurfaceGuard loaded(IMG_Load(fileName.c_str()));
    if (!loaded)
    {
        FH_THROW(Base::FileNotFoundException, "Could not load file: " + fileName);
    }
    if (colorKey != nullptr)
    {
        SDL_SetColorKey(loaded.get(), SDL_SRCCOLORKEY | SDL_RLEACCEL,
                        SDL_MapRGBA(loaded->format, colorKey->r, colorKey->g, colorKey->b, colorKey->a));
    }
    SurfaceGuard converted(createSurface(widthOf(loaded.get()), heightOf(loaded.get())));
    if (!converted)
    {
        FH_THROW(Base::TextureCreationFailedException, ConvertFailed);
    }
    copyAlphaOnBlit(loaded.get());
    if (SDL_UpperBlit(loaded.get(), nullptr, converted.get(), nullptr) != 0)
    {
        FH_THROW(Base::TextureCreationFailedException, ConvertFailed);
    }
    return converted.release();
}

SDL_Surface* TextureFactory::padSurface(SDL_Surface* surface, const Base::Size& size) const
{
    const std::uint32_t width = widthOf(surface);
    const std::uint32_t height = heightOf(surface);
    const bool pad = (width < size.w && height <= size.h) || (width <= size.w && height < size.h);
    if (!pad)
    {
        return surface;
    }
    SurfaceGuard padded(createSurface(size.w, size.h));
    if (!padded)
    {
        FH_THROW(Base::TextureCreationFailedException, CreateFailed);
    }
    if (SDL_FillRect(padded.get(), nullptr, 0) != 0)
    {
        FH_THROW(Base::TextureCreationFailedException, ClearFailed);
    }
    copyAlphaOnBlit(surface);
    if (SDL_UpperBlit(surface, nullptr, padded.get(), nullptr) != 0)
    {
        FH_THROW(Base::TextureCreationFailedException, "Couldn't pad image.");
    }
    return padded.release();
}

void TextureFactory::cutIntoTiles(SDL_Surface* surface, TextureMap& map)
{
    const Base::Size tileSize = map.getTileSize();
    const Base::Size grid = map.getGridSize();
    const SurfaceGuard scratch(createSurface(tileSize.w, tileSize.h));
    if (!scratch)
    {
        FH_THROW(Base::TextureCreationFailedException, CreateFailed);
    }
    copyAlphaOnBlit(surface);
    try
    {
        for (std::uint32_t column = 0; column < grid.w; ++column)
        {
            for (std::uint32_t row = 0; row < grid.h; ++row)
            {
                if (SDL_FillRect(scratch.get(), nullptr, 0) != 0)
                {
                    FH_THROW(Base::TextureCreationFailedException, ClearFailed);
                }
                SDL_Rect from{static_cast<Sint16>(column * tileSize.w), static_cast<Sint16>(row * tileSize.h),
                              static_cast<Uint16>(tileSize.w), static_cast<Uint16>(tileSize.h)};
                SDL_Rect to{0, 0, static_cast<Uint16>(tileSize.w), static_cast<Uint16>(tileSize.h)};
                if (SDL_UpperBlit(surface, &from, scratch.get(), &to) != 0)
                {
                    FH_THROW(Base::TextureCreationFailedException, "Couldn't copy image.");
                }
                map.setTexture(createTexture(scratch.get()), column, row);
            }
        }
    }
    catch (const Base::TextureCreationFailedException&)
    {
        // The tiles uploaded so far would otherwise outlive the map that names them.
        deleteTextures(map);
        throw;
    }
}

TextureMap* TextureFactory::buildTextureMap(SDL_Surface* surface, const Base::Size& tileSize,
                                            const std::string& fileName, const Base::Color* colorKey,
                                            bool reload)
{
    const SurfaceGuard source(surface);
    const Base::Size imageSize(widthOf(surface), heightOf(surface));
    std::unique_ptr<TextureMap> map;
    if (tileSize.w < imageSize.w || tileSize.h < imageSize.h)
    {
        const std::uint32_t columns = (imageSize.w + tileSize.w - 1) / tileSize.w;
        const std::uint32_t rows = (imageSize.h + tileSize.h - 1) / tileSize.h;
        map = std::make_unique<TextureMap>(tileSize, Base::Size(columns, rows), imageSize);
        cutIntoTiles(surface, *map);
    }
    else
    {
        SDL_Surface* padded = padSurface(surface, tileSize);
        const SurfaceGuard paddedGuard(padded == surface ? nullptr : padded);
        map = std::make_unique<TextureMap>(tileSize, Base::Size(1, 1), imageSize);
        map->setTexture(createTexture(padded), 0, 0);
    }
    if (!reload)
    {
        m_fileNames[map.get()] = fileName;
        if (colorKey != nullptr)
        {
            m_colorKeys[map.get()] = *colorKey;
        }
    }
    return map.release();
}

} // namespace Fernhouse::Graphics
