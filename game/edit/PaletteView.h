#pragma once

#include "engine/base/Entity.h"

#include <cstdint>
#include <string>

namespace Fernhouse::Graphics
{
class TextureMap;
} // namespace Fernhouse::Graphics

namespace Tarvo
{

// A tileset sheet at its entity position, tile for tile as the map painter cuts it, with a frame around
// the chosen tile.
class PaletteView final : public Fernhouse::Base::Entity
{
public:
    static constexpr std::int32_t Columns = 16;
    static constexpr std::int32_t Rows = 16;
    static constexpr Fernhouse::Base::Color FrameColor{255, 255, 0, 255};

    // Loads the sheet (TextureFactory errors).
    explicit PaletteView(const std::string& tileset);
    PaletteView(const PaletteView&) = delete;
    PaletteView& operator=(const PaletteView&) = delete;
    ~PaletteView() override;

    // Throws like the constructor and keeps the old sheet then.
    void setTileset(const std::string& tileset);

    // The tile under a screen pixel, -1 outside the sheet.
    std::int32_t tileAt(std::int32_t x, std::int32_t y) const;

    void setSelected(std::int32_t tile) { m_selected = tile; }

    std::int32_t getSelected() const { return m_selected; }

    void draw() override;

private:
    Fernhouse::Graphics::TextureMap* m_sheet; // owned, freed through TextureFactory
    std::int32_t m_selected = 0;
};

} // namespace Tarvo
