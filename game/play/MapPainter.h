#pragma once

#include "engine/base/Entity.h"
#include "engine/base/Point.h"
#include "engine/base/Rect.h"

#include <array>
#include <vector>

namespace Fernhouse::Graphics
{
class Painter;
class Texture;
class TextureMap;
} // namespace Fernhouse::Graphics

namespace Tarvo
{

class ApplePainter;
class GameEngine;
class GroundTexture;
class MapFile;
class WormSprite;

// Draws a map's layers from its tileset, centred on the painter's position, blinks the human players'
// start cells during the start delay, and is the frame in which the apples and then the worms are drawn
// (cell (x, y) at pixel (16x, 16y) from the map's top-left corner).
class MapPainter final : public Fernhouse::Base::Entity
{
public:
    // Radius (pixels), segments and colours of the start markers.
    static constexpr std::uint32_t MarkerRadius = 14;
    static constexpr std::uint32_t MarkerSegments = 10;
    static constexpr Fernhouse::Base::Color Marker1{0, 0, 255, 100};
    static constexpr Fernhouse::Base::Color Marker2{255, 0, 0, 100};
    // The markers show in the second half of every real second.
    static constexpr std::uint32_t BlinkPeriod = 1000;
    static constexpr std::uint32_t BlinkOn = 500;

    // map and engine are not owned. Loads the tileset named by the map (transparent black as colour key)
    // and throws the TextureFactory errors when it cannot; takes the engine's human players.
    MapPainter(const MapFile* map, GameEngine* engine);
    // A painter outside a round, for an editor: no apples, no players, and every layer drawn cell by cell,
    // so that changes to the map show at the next draw.
    explicit MapPainter(const MapFile* map);
    MapPainter(const MapPainter&) = delete;
    MapPainter& operator=(const MapPainter&) = delete;
    // Deletes the apple painter and frees the tileset.
    ~MapPainter() override;

    // All layers but the last, the start markers, then the children (apples first, worms after them).
    void draw() override;
    // Whether the start markers show now, then the children.
    void update() override;

    // Worms are children drawn after the apples, only where the view shows them. Not owned.
    void addWorm(WormSprite* worm);
    void removeWorm(WormSprite* worm);

    // Whether a draw now hides everything beneath the map's rectangle: every cell of the first layer
    // holds a fully opaque tile, and the current colour does not fade it.
    bool coversBackground() const;

    // The markers follow at the next update.
    void setShowStart(bool showStart) { m_showStart = showStart; }

    bool isShowingStart() const { return m_showStart; }

    // The screen rectangle (pixels) through which the map is seen; cells outside it are skipped, which
    // leaves the clipped picture as it is but keeps the cost to what a view shows. An empty rectangle
    // draws every cell.
    void setVisibleArea(const Fernhouse::Base::Rect& area) { m_visibleArea = area; }

    // Null for a painter outside a round.
    ApplePainter* getApplePainter() const { return m_applePainter; }

    // The colour a layer's tiles are drawn with (an editor fades the layers not being edited). Opaque
    // white, the default, draws them as they are.
    void setLayerColor(unsigned layer, const Fernhouse::Base::Color& color);

    const Fernhouse::Graphics::Texture* getTileTexture() const { return m_tileTexture; }

    // The number of quads the last draw emitted for the layers.
    std::uint32_t getDrawnTiles() const { return m_drawnTiles; }

private:
    // Whether every cell of the first drawn layer holds a tile without a transparent texel.
    bool hasOpaqueGround() const;
    // The ground texture to draw those cells from, the one that holds them if any.
    GroundTexture& groundFor(const Fernhouse::Base::Rect& cells);
    // The cells the view rectangle shows, all of them without one.
    Fernhouse::Base::Rect visibleArea() const;
    // One layer's tiles in those cells, one quad each; origin is the map's top left in the painter's frame.
    void drawLayerByCell(Fernhouse::Graphics::Painter& painter, unsigned layer,
                         const Fernhouse::Base::Rect& cells, const Fernhouse::Base::Point& origin);
    void drawStartMarkers(Fernhouse::Graphics::Painter& painter, const Fernhouse::Base::Point& origin) const;

    // The half-open range of cells of one axis that can appear in [areaStart, areaStart + areaLength).
    static void visibleCells(std::int32_t mapOrigin, std::int32_t areaStart, std::uint32_t areaLength,
                             std::int32_t cells, std::int32_t& first, std::int32_t& last);

    const MapFile* m_map;                              // not owned
    Fernhouse::Graphics::TextureMap* m_tileset;        // owned, freed through TextureFactory
    const Fernhouse::Graphics::Texture* m_tileTexture; // the tileset's one tile
    ApplePainter* m_applePainter = nullptr;            // owned; null outside a round
    // Owned; both null when the first layer is drawn by cell, the second null but for two views onto a
    // map too large to hold whole.
    std::array<GroundTexture*, 2> m_grounds{};
    std::size_t m_lastGround = 0; // the ground the last view was drawn from
    bool m_showStart = false;
    bool m_markersShown = false;      // as of the last update
    WormSprite* m_player1 = nullptr;  // not owned; null when absent
    WormSprite* m_player2 = nullptr;  // not owned; null when absent
    std::vector<WormSprite*> m_worms; // not owned
    Fernhouse::Base::Rect m_visibleArea;
    std::uint32_t m_drawnTiles = 0;
    bool m_opaqueGround = false;
    std::vector<Fernhouse::Base::Color> m_layerColors;
};

} // namespace Tarvo
