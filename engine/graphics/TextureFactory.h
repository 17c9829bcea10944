#pragma once

#include "engine/base/Color.h"
#include "engine/base/Singleton.h"
#include "engine/base/Size.h"
#include "engine/graphics/FramebufferCopy.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

struct SDL_Surface;

namespace Fernhouse::Graphics
{

class Texture;
class TextureMap;
class TextureSource;

// Turns image files into texture maps of power-of-two tiles and remembers how each map was made, so that
// every map can be uploaded again when the GL context is replaced. Everything here needs the screen's
// GL context and the main thread.
class TextureFactory final : public Base::Singleton<TextureFactory>
{
public:
    TextureFactory();
    // Deletes every map still registered; their GL textures die with the context.
    ~TextureFactory() override;

    // The map stays registered, and owned by the factory, until freeTextureMap. colorKey may be null;
    // pixels of the key colour become transparent. Throws FileNotFoundException and
    // TextureCreationFailedException.
    TextureMap* createTextureMap(const std::string& fileName, const Base::Color* colorKey);
    // The same with a fixed tile size (pixels) whose both sides must be allowed.
    TextureMap* createTextureMap(const std::string& fileName, const Base::Size& tileSize,
                                 const Base::Color* colorKey);
    // A map of the source's pixels cut into tiles of tileSize (both sides allowed), kept like a file's map
    // and made again from the source by reloadAll. The source is not owned and must outlive the map.
    // Throws TextureCreationFailedException and what the source throws.
    TextureMap* createTextureMap(const TextureSource* source, const Base::Size& tileSize);
    // Deletes the map and its GL textures; a map this factory does not hold is ignored.
    void freeTextureMap(TextureMap* map);
    // Uploads every registered map again after a video-mode change, the files' before the sources', so
    // that a source may draw on file textures. The map and Texture objects stay; only their GL names change.
    void reloadAll();

    std::size_t getTextureMapCount() const { return m_fileNames.size() + m_sources.size(); }

    // Copies of texture rectangles to the screen, kept here to be forgotten with the GL context.
    FramebufferCopy& getFramebufferCopy() { return m_framebufferCopy; }

    // The steps of loading, public so that each can be used on its own.

    // The tile side in pixels that wastes the least texture space on an image side of length pixels.
    std::uint32_t bestTileSize(std::uint32_t length) const;
    // A power of two from the minimum tile size up to the smaller of the maximum and the driver's limit.
    bool isTileSizeAllowed(std::uint32_t size) const;
    // A zeroed 32-bit surface with bytes R, G, B, A in memory; null when SDL fails. The caller frees it.
    SDL_Surface* createSurface(std::uint32_t width, std::uint32_t height) const;
    // Uploads the whole 32-bit RGBA surface as one texture; the surface stays the caller's.
    Texture* createTexture(SDL_Surface* surface) const;
    // The image file as a new 32-bit RGBA surface that the caller frees. colorKey may be null.
    SDL_Surface* loadSurface(const std::string& fileName, const Base::Color* colorKey) const;
    // The surface itself when it is already as large as size, else a new surface (the caller frees it) of
    // that size with the image in its top-left corner and transparent black around it.
    SDL_Surface* padSurface(SDL_Surface* surface, const Base::Size& size) const;
    // Cuts the surface into tiles and uploads them. Takes ownership of surface and frees it on every path.
    // Unless reload is set, the new map is registered with its file name and key.
    TextureMap* buildTextureMap(SDL_Surface* surface, const Base::Size& tileSize, const std::string& fileName,
                                const Base::Color* colorKey, bool reload);

private:
    // Uploads the surface, cut along the map's tiles, as the map's textures; on a failure none is left.
    void cutIntoTiles(SDL_Surface* surface, TextureMap& map);
    // Uploads the surface (taken over) as fresh textures and gives their names to map.
    void adoptFresh(TextureMap& map, SDL_Surface* surface, const std::string& fileName,
                    const Base::Color* colorKey);

    const std::uint32_t m_maxTileSize;
    const std::uint32_t m_minTileSize;
    std::map<TextureMap*, std::string> m_fileNames;        // keys owned
    std::map<TextureMap*, Base::Color> m_colorKeys;        // maps made with a colour key
    std::map<TextureMap*, const TextureSource*> m_sources; // keys owned; the sources are not
    FramebufferCopy m_framebufferCopy;
};

} // namespace Fernhouse::Graphics
