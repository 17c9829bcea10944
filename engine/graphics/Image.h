#pragma once

#include "engine/base/Color.h"
#include "engine/base/Entity.h"
#include "engine/base/Rect.h"
#include "engine/base/Size.h"

#include <cstddef>
#include <optional>
#include <string>

namespace Fernhouse::Graphics
{

class TextureMap;

// A picture from an image file, drawn tinted by the entity colour. The position is the unrotated top-left
// corner, scaling grows the picture from it and rotation turns it about its centre. Children are drawn in
// the picture's frame (origin at its top-left corner) but never updated through it.
class Image : public Base::Entity
{
public:
    // The largest tiles, for a screen-sized picture drawn every frame: four textures for 800 x 600.
    static constexpr Base::Size ScreenTiles{512, 512};

    Image();
    // Both load at once and throw the loading errors of TextureFactory.
    explicit Image(const std::string& fileName);
    // Pixels of colorKey become transparent.
    Image(const std::string& fileName, const Base::Color& colorKey);
    // Cut into tiles of tileSize (both sides allowed) rather than the least wasteful ones, here and in
    // later loads: a large picture drawn every frame is cheaper in a few large textures, since every
    // texture switch costs the renderer more than the pixels do.
    Image(const std::string& fileName, const Base::Size& tileSize);
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    ~Image() override;

    // Replaces the picture. On an error the image is left without one and draws only its children.
    void load(const std::string& fileName, const Base::Color& colorKey);
    // Loads without a colour key.
    void load(const std::string& fileName);

    // The source image in pixels, before any tiling; needs a loaded picture.
    Base::Size getSize() const;

    const std::string& getFileName() const { return m_fileName; }

    // Whether every pixel of the picture has full alpha; read back from its textures once per load.
    bool isOpaque() const;

    void draw() override;
    void update() override;

    // Only the parts of the picture inside the rectangles (picture pixels, not overlapping), without the
    // children: for a picture at whole pixels, the same as drawing it clipped to them. Each texture is
    // bound once, however many rectangles it serves.
    void drawParts(const Base::Rect* parts, std::size_t count);

private:
    // Pushes the picture's frame, origin at its centre, and sets up texturing; gives the half size in
    // pixels. endPicture switches texturing off again and leaves the frame pushed.
    void beginPicture(float& halfW, float& halfH);
    void endPicture();
    // The parts of the picture, in its pixels, cut along its tiles; halfW and halfH as beginPicture gave.
    void drawTiles(const Base::Rect* parts, std::size_t count, float halfW, float halfH);

    void loadTextureMap(const Base::Color* colorKey);

    TextureMap* m_textureMap = nullptr; // owned, freed through TextureFactory; null when nothing is loaded
    std::string m_fileName;
    Base::Color m_colorKey;
    bool m_hasColorKey = false;
    Base::Size m_tileSize;                // empty: the factory's choice
    mutable std::optional<bool> m_opaque; // not yet known
};

} // namespace Fernhouse::Graphics
