#include "game/play/PlayScreen.h"

#include "engine/base/GameTime.h"
#include "engine/base/Repaint.h"
#include "engine/graphics/Image.h"
#include "engine/graphics/Painter.h"

#include "game/play/MapFile.h"
#include "game/play/MapPainter.h"
#include "game/play/WormSprite.h"

#include <algorithm>
#include <memory>

namespace Tarvo
{

namespace
{

using TexelMode = Fernhouse::Graphics::Painter::TexelMode;

using Fernhouse::Base::Rect;

constexpr float MsPerSecond = 1000.0f;
constexpr Fernhouse::Base::Color OpaqueWhite(255, 255, 255, 255);
// One covered rectangle per view.
constexpr std::size_t MaxCovered = 2;

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
    const bool back = goal < offset;
    const float f = back ? fraction - step : fraction + step;
    if (back ? f >= -1.0f : f <= 1.0f)
    {
        fraction = f;
        return;
    }
    const auto whole = static_cast<std::int32_t>(f);
    offset += whole;
    fraction = f - static_cast<float>(whole);
    offset = back ? std::max(offset, goal) : std::min(offset, goal);
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
    m_background = new Fernhouse::Graphics::Image(background, Fernhouse::Graphics::Image::ScreenTiles);
    m_mapPainter = mapPainter.release();
    placeViews();
}

PlayScreen::~PlayScreen()
{
    delete m_mapPainter;
    delete m_background;
}

void PlayScreen::addWorm(WormSprite* worm)
{
    m_mapPainter->addWorm(worm);
}

void PlayScreen::removeWorm(WormSprite* worm)
{
    m_mapPainter->removeWorm(worm);
}

void PlayScreen::update()
{
    m_mapPainter->update();
    scrollViews();
    Entity::update();
}

void PlayScreen::scrollViews()
{
    const std::array<const WormSprite*, 2> players = {m_player1, m_player2};
    for (std::size_t index = 0; index < players.size(); ++index)
    {
        if (players[index] != nullptr)
        {
            placeView(players[index], m_views[index], m_viewStates[index], true);
        }
    }
    m_lastTime = now();
}

void PlayScreen::draw()
{
    const std::array<const WormSprite*, 2> players = {m_player1, m_player2};
    std::array<Rect, MaxCovered> covered;
    std::size_t coveredCount = 0;
    for (std::size_t index = 0; index < players.size(); ++index)
    {
        if (players[index] == nullptr)
        {
            continue;
        }
        if (m_mapPainter->coversBackground())
        {
            covered[coveredCount++] = mapArea(index);
        }
    }
    drawBackgroundAround(covered.data(), coveredCount);

    Fernhouse::Graphics::Painter painter;
    for (std::size_t index : {std::size_t{1}, std::size_t{0}})
    {
        if (players[index] == nullptr)
        {
            continue;
        }
        const Rect& view = m_views[index];
        painter.setClipRect(view);
        m_mapPainter->setPosition(view.x + m_viewStates[index].offsetX, view.y + m_viewStates[index].offsetY);
        m_mapPainter->setVisibleArea(view);
        m_mapPainter->draw();
    }
    painter.clearClipRect();
}

Rect PlayScreen::mapArea(std::size_t index) const
{
    const Rect& view = m_views[index];
    const std::int32_t mapLeft = view.x + m_viewStates[index].offsetX - m_mapWidth / 2;
    const std::int32_t mapTop = view.y + m_viewStates[index].offsetY - m_mapHeight / 2;
    const std::int32_t left = std::max(view.x, mapLeft);
    const std::int32_t top = std::max(view.y, mapTop);
    const std::int32_t right = std::min(view.x + static_cast<std::int32_t>(view.w), mapLeft + m_mapWidth);
    const std::int32_t bottom = std::min(view.y + static_cast<std::int32_t>(view.h), mapTop + m_mapHeight);
    return Rect(left, top, static_cast<std::uint32_t>(std::max(0, right - left)),
                static_cast<std::uint32_t>(std::max(0, bottom - top)));
}

void PlayScreen::drawBackgroundAround(const Rect* covered, std::size_t count)
{
    if (count == 0)
    {
        m_background->draw();
        return;
    }
    // The picture is cut into bands at the covered rectangles' top and bottom edges; in each band the
    // gaps between the rectangles that span it are the parts to draw.
    const Fernhouse::Base::Size size = m_background->getSize();
    const auto width = static_cast<std::int32_t>(size.w);
    const auto height = static_cast<std::int32_t>(size.h);
    std::array<std::int32_t, 2 + 2 * MaxCovered> edges{0, height};
    std::size_t edgeCount = 2;
    for (std::size_t i = 0; i < count; ++i)
    {
        edges[edgeCount++] = std::clamp(covered[i].y, 0, height);
        edges[edgeCount++] = std::clamp(covered[i].y + static_cast<std::int32_t>(covered[i].h), 0, height);
    }
    std::sort(edges.begin(), edges.begin() + static_cast<std::ptrdiff_t>(edgeCount));

    // At most one gap more than there are rectangles in each band.
    std::array<Rect, (MaxCovered + 1) * (2 * MaxCovered + 1)> parts;
    std::size_t partCount = 0;
    for (std::size_t band = 0; band + 1 < edgeCount; ++band)
    {
        const std::int32_t top = edges[band];
        const std::int32_t bottom = edges[band + 1];
        if (top == bottom)
        {
            continue;
        }
        partCount += bandGaps(covered, count, top, bottom, width, parts.data() + partCount);
    }
    // Around the views an opaque, untinted background is copied rather than blended: the same pixels.
    const bool copying = m_background->isOpaque() && m_background->getColor() == OpaqueWhite;
    Fernhouse::Graphics::Painter::setTexelMode(copying ? TexelMode::Copied : TexelMode::Blended);
    m_background->drawParts(parts.data(), partCount);
    Fernhouse::Graphics::Painter::setTexelMode(TexelMode::Blended);
}

std::size_t PlayScreen::bandGaps(const Rect* covered, std::size_t count, std::int32_t top,
                                 std::int32_t bottom, std::int32_t width, Rect* gaps)
{
    std::array<std::pair<std::int32_t, std::int32_t>, MaxCovered> spans;
    std::size_t spanCount = 0;
    for (std::size_t i = 0; i < count; ++i)
    {
        const Rect& r = covered[i];
        if (r.w != 0 && r.y <= top && r.y + static_cast<std::int32_t>(r.h) >= bottom)
        {
            spans[spanCount++] = {r.x, r.x + static_cast<std::int32_t>(r.w)};
        }
    }
    static_assert(MaxCovered == 2, "two spans are put in order by one swap");
    if (spanCount == 2 && spans[1].first < spans[0].first)
    {
        std::swap(spans[0], spans[1]);
    }
    std::size_t gapCount = 0;
    std::int32_t left = 0;
    for (std::size_t i = 0; i <= spanCount; ++i)
    {
        const std::int32_t right = i < spanCount ? spans[i].first : width;
        if (right > left)
        {
            gaps[gapCount++] = Rect(left, top, static_cast<std::uint32_t>(right - left),
                                    static_cast<std::uint32_t>(bottom - top));
        }
        if (i < spanCount)
        {
            left = std::max(left, spans[i].second);
        }
    }
    return gapCount;
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
    const std::int32_t oldX = state.offsetX;
    const std::int32_t oldY = state.offsetY;
    scroll(state.offsetX, state.fractionX, target(m_mapWidth, viewWidth, worm->getX()), step, smooth);
    scroll(state.offsetY, state.fractionY, target(m_mapHeight, viewHeight, worm->getY()), step, smooth);
    if (state.offsetX != oldX || state.offsetY != oldY)
    {
        Fernhouse::Base::Repaint::request();
    }
}

} // namespace Tarvo
