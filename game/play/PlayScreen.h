#pragma once

#include "engine/base/Entity.h"
#include "engine/base/Rect.h"

#include <array>
#include <cstdint>
#include <string>

namespace Fernhouse::Graphics
{
class Image;
} // namespace Fernhouse::Graphics

namespace Tarvo
{

class GameEngine;
class MapFile;
class MapPainter;
class WormSprite;

// Shows a round: a background picture and one view onto the map per human player, each clipped to its
// own screen rectangle and scrolled at its worm's pace so that the worm stays in view. Draws in screen
// pixels; it must not be placed under a transformed parent.
class PlayScreen final : public Fernhouse::Base::Entity
{
public:
    static constexpr Fernhouse::Base::Rect SoloView{159, 90, 480, 480};
    static constexpr Fernhouse::Base::Rect DuoView1{422, 90, 347, 480};
    static constexpr Fernhouse::Base::Rect DuoView2{31, 90, 347, 480};
    static constexpr const char* SoloBackground = "graphics/singleplayer_back.png";
    static constexpr const char* DuoBackground = "graphics/twoplayer_back.png";

    // The map, engine and players are not owned; player2 is null in a one-player round, and
    // backgroundPath (empty for the default) is used only then. Throws the image loading errors.
    PlayScreen(GameEngine* engine, const MapFile* map, WormSprite* player1, WormSprite* player2,
               const std::string& backgroundPath);
    PlayScreen(const PlayScreen&) = delete;
    PlayScreen& operator=(const PlayScreen&) = delete;
    ~PlayScreen() override;

    // Worms are drawn by the map painter, after the apples.
    void addWorm(WormSprite* worm);
    void removeWorm(WormSprite* worm);

    // The map painter (apples and worms), then each view scrolls towards its worm.
    void update() override;
    // Only the views' scrolling: after the round's end nothing moves, but a view still comes to rest.
    void scrollViews();
    // The background, then each view clipped to its rectangle, player 2's first. The background is left
    // out where a view's map hides it anyway.
    void draw() override;

    // Moves every view straight to its target, without scrolling.
    void placeViews();

    MapPainter* getMapPainter() const { return m_mapPainter; }

    const Fernhouse::Graphics::Image* getBackground() const { return m_background; }

    // The screen rectangle of player 1's (index 0) or player 2's (index 1) view.
    const Fernhouse::Base::Rect& getView(std::size_t player) const { return m_views[player]; }

    // Where the map's centre lies relative to that view's top-left corner, in pixels.
    std::int32_t getOffsetX(std::size_t player) const { return m_viewStates[player].offsetX; }

    std::int32_t getOffsetY(std::size_t player) const { return m_viewStates[player].offsetY; }

private:
    struct ViewState
    {
        std::int32_t offsetX = 0;
        std::int32_t offsetY = 0;
        // Sub-pixel scroll not yet applied.
        float fractionX = 0.0f;
        float fractionY = 0.0f;
    };

    void placeView(const WormSprite* worm, const Fernhouse::Base::Rect& view, ViewState& state, bool smooth);
    // The part of that view the map fills, in screen pixels; empty when the map lies outside it.
    Fernhouse::Base::Rect mapArea(std::size_t player) const;
    // The background, clipped to what the count rectangles leave free.
    void drawBackgroundAround(const Fernhouse::Base::Rect* covered, std::size_t count);
    // The gaps, left to right, that the covered rectangles spanning the band [top, bottom) leave in a row
    // of the given width; written to gaps, which has room for MaxCovered + 1. Returns their number.
    static std::size_t bandGaps(const Fernhouse::Base::Rect* covered, std::size_t count, std::int32_t top,
                                std::int32_t bottom, std::int32_t width, Fernhouse::Base::Rect* gaps);

    MapPainter* m_mapPainter;                 // owned
    Fernhouse::Graphics::Image* m_background; // owned
    WormSprite* m_player1;                    // not owned
    WormSprite* m_player2;                    // not owned; null in a one-player round
    std::int32_t m_mapWidth;                  // pixels
    std::int32_t m_mapHeight;                 // pixels
    std::array<Fernhouse::Base::Rect, 2> m_views;
    std::array<ViewState, 2> m_viewStates;
    std::uint32_t m_lastTime; // game ms of the previous scroll
};

} // namespace Tarvo
