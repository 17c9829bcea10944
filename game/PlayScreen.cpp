#include "game/PlayScreen.h"

#include "engine/base/GameTime.h"
#include "engine/graphics/Image.h"
#include "engine/graphics/Painter.h"

#include "game/MapFile.h"
#include "game/MapPainter.h"
#include "game/WormSprite.h"

#include <algorithm>
#include <memory>

namespace Tarvo
{

namespace
{

constexpr float MsPerSecond = 1000.0f;

std::uint32_t now()
{
    return Fernhouse::Base::GameTime::getInstance()->getTime();
}

// Where the map's centre goes on one axis: the worm's cell in the middle of the view, but never so far
// that space beyond the map's edge comes into view; a map smaller than the view is centred.
std::int32_t target(std::int32_t mapLength, std::int32_t viewLength, std::int32_t head)
{
    const std::int32_t halfMap = mapLength / 2;
    if (mapLength <= viewLength)
    {
        return viewLength / 2;
    }
    const std::int32_t centred = halfMap + viewLength / 2 - head;
    return std::clamp(centred, viewLength - halfMap, halfMap);
}

// Moves offset towards goal by step pixels, keeping what is less than a whole pixel in fraction.
void scroll(std::int32_t& offset, float& fraction, std::int32_t goal, float step, bool smooth)
{
    if (!smooth || offset == goal)
    {
        offset = goal;
        fraction = 0.0f;
        return;
    }
    if (goal < offset)
    {
        const float f = fraction - step;
        if (f >= -1.0f)
        {
            fraction = f;
            return;
        }
        const auto whole = static_cast<std::int32_t>(f);
        offset += whole;
        fraction = f - static_cast<float>(whole);
        offset = std::max(offset, goal);
        return;
    }
    const float f = fraction + step;
    if (f <= 1.0f)
    {
        fraction = f;
        return;
    }
    const auto whole = static_cast<std::int32_t>(f);
    offset += whole;
    fraction = f - static_cast<float>(whole);
    offset = std::min(offset, goal);
}

} // namespace

PlayScreen::PlayScreen(GameEngine* engine, const MapFile* map, WormSprite* player1, WormSprite* player2,
                       const std::string& backgroundPath)
    : m_player1(player1),
      m_player2(player2),
      m_mapWidth(WormSprite::CellSize * map->getWidth()),
      m_mapHeight(WormSprite::CellSize * map->getHeight()),
      m_views{player2 == nullptr ? SoloView : DuoView1, DuoView2},
      m_lastTime(now())
{
    auto mapPainter = std::make_unique<MapPainter>(map, engine);
    const std::string background =
        player2 != nullptr ? DuoBackground : (backgroundPath.empty() ? SoloBackground : backgroundPath);
    m_background = new Fernhouse::Graphics::Image(background);
    m_mapPainter = mapPainter.release();
    addChild(m_background);
    placeViews();
}

PlayScreen::~PlayScreen()
{
    delete m_mapPainter;
    delete m_background;
}

void PlayScreen::addWorm(WormSprite* worm)
{
    m_mapPainter->addChild(worm);
}

void PlayScreen::removeWorm(WormSprite* worm)
{
    m_mapPainter->removeChild(worm);
}

void PlayScreen::update()
{
    m_mapPainter->update();
    Entity::update();
}

void PlayScreen::draw()
{
    Entity::draw();
    Fernhouse::Graphics::Painter painter;
    for (std::size_t index : {std::size_t{1}, std::size_t{0}})
    {
        const WormSprite* worm = index == 0 ? m_player1 : m_player2;
        if (worm == nullptr)
        {
            continue;
        }
        painter.setClipRect(m_views[index]);
        placeView(worm, m_views[index], m_viewStates[index], true);
        m_mapPainter->setVisibleArea(m_views[index]);
        m_mapPainter->draw();
    }
    painter.clearClipRect();
    m_lastTime = now();
}

void PlayScreen::placeViews()
{
    if (m_player1 != nullptr)
    {
        placeView(m_player1, m_views[0], m_viewStates[0], false);
    }
    if (m_player2 != nullptr)
    {
        placeView(m_player2, m_views[1], m_viewStates[1], false);
    }
    m_lastTime = now();
}

void PlayScreen::placeView(const WormSprite* worm, const Fernhouse::Base::Rect& view, ViewState& state,
                           bool smooth)
{
    // The worm's own pace: the view may follow it by as many pixels as the worm covers.
    const float step = static_cast<float>(WormSprite::CellSize) * worm->getSpeed() *
                       static_cast<float>(now() - m_lastTime) / MsPerSecond;
    const auto viewWidth = static_cast<std::int32_t>(view.w);
    const auto viewHeight = static_cast<std::int32_t>(view.h);
    scroll(state.offsetX, state.fractionX, target(m_mapWidth, viewWidth, worm->getX()), step, smooth);
    scroll(state.offsetY, state.fractionY, target(m_mapHeight, viewHeight, worm->getY()), step, smooth);
    m_mapPainter->setPosition(view.x + state.offsetX, view.y + state.offsetY);
}

} // namespace Tarvo
