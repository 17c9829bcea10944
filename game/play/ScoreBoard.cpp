#include "game/play/ScoreBoard.h"

#include "engine/base/Layout.h"
#include "engine/base/Rect.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/Image.h"
#include "engine/graphics/Painter.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/graphics/TextureMap.h"

#include "game/play/Apple.h"

#include <algorithm>
#include <memory>

namespace Tarvo
{

namespace
{

using Fernhouse::Base::Layout;
using Fernhouse::Base::Rect;
using Fernhouse::Graphics::FontManager;
using Fernhouse::Graphics::Image;
using Fernhouse::Graphics::Painter;
using Fernhouse::Graphics::TextureFactory;

static_assert(SDLK_SPACE == 32 && SDLK_ESCAPE == 27 && SDLK_RETURN == 13);
static_assert(WormSprite::AppleKinds == static_cast<std::size_t>(Apple::KindCount));

constexpr char Blank = ' ';
constexpr std::int32_t ScreenHeight = 600;
constexpr std::int32_t Tile = 16;
// Column 15, row 15 of the tileset: drawn over the apple of a kind nobody ate.
constexpr std::int32_t NoneMarkX = 240;
constexpr std::int32_t NoneMarkY = 240;
// The apples of a row share the room left of the numbers: they start at ApplesX, spread over up to
// SpreadRoom - 7 glyphs and none starts beyond LastAppleRoom - 7 glyphs.
constexpr std::int32_t SpreadRoom = 569;
constexpr std::int32_t LastAppleRoom = 669;

} // namespace

ScoreBoard::ScoreBoard(const WormSprite::Results& results, bool newHighscore, const std::string& tilesetPath)
    : m_results(results),
      m_newHighscore(newHighscore),
      m_tilesetPath(tilesetPath)
{
    // Built aside, so that a later loading error leaves nothing behind.
    auto background = std::make_unique<Image>(BackgroundFile, ColorKey);
    std::unique_ptr<Image> highscoreImage;
    if (newHighscore)
    {
        highscoreImage = std::make_unique<Image>(HighscoreFile, ColorKey);
        highscoreImage->setPosition(0, ScreenHeight - static_cast<std::int32_t>(highscoreImage->getSize().h));
    }
    TextureFactory* factory = TextureFactory::getInstance();
    Fernhouse::Graphics::TextureMap* tileset = factory->createTextureMap(tilesetPath, &ColorKey);
    try
    {
        m_font = FontManager::getInstance()->loadFont(FontName);
    }
    catch (...)
    {
        factory->freeTextureMap(tileset);
        throw;
    }
    m_tileset = tileset;
    m_background = background.release();
    m_highscoreImage = highscoreImage.release();
    addChild(m_background);
    if (m_highscoreImage != nullptr)
    {
        addChild(m_highscoreImage);
    }
}

ScoreBoard::~ScoreBoard()
{
    removeChild(m_background);
    delete m_background;
    if (m_highscoreImage != nullptr)
    {
        removeChild(m_highscoreImage);
        delete m_highscoreImage;
    }
    TextureFactory::getInstance()->freeTextureMap(m_tileset);
    FontManager::getInstance()->freeFont(m_font);
}

bool ScoreBoard::keyDown(SDLKey key, bool /*ctrl*/, bool /*shift*/, bool /*alt*/)
{
    if (key == SDLK_ESCAPE || key == SDLK_RETURN || key == SDLK_SPACE)
    {
        setDone(true);
        return true;
    }
    return false;
}

void ScoreBoard::draw()
{
    const auto glyphWidth = static_cast<std::int32_t>(m_font->getGlyphSize().w);
    const std::int32_t textX = TextRight - static_cast<std::int32_t>(NumberWidth) * glyphWidth;

    Painter painter;
    // Pictures drawn before leave their colour behind; the rows take the board's own.
    painter.setColor(getColor());
    painter.bindTexture(m_tileset->getTexture(0, 0));
    for (std::size_t kind = 0; kind < WormSprite::AppleKinds; ++kind)
    {
        drawApples(painter, kind, glyphWidth);
    }
    painter.unbindTexture();

    for (std::size_t kind = 0; kind < WormSprite::AppleKinds; ++kind)
    {
        const std::int64_t points =
            std::int64_t{Apple::getPoints(static_cast<std::int32_t>(kind))} * m_results.applesEaten[kind];
        painter.drawText(Layout::rightAligned(std::to_string(points), NumberWidth, Blank),
                         {textX, FirstRowY + RowHeight * static_cast<std::int32_t>(kind)}, m_font,
                         Painter::AlignLeft, Painter::AlignTop);
    }
    painter.setColor(ScoreColor);
    painter.drawText(Layout::rightAligned(std::to_string(m_results.score), NumberWidth, Blank),
                     {textX, ScoreRowY}, m_font, Painter::AlignLeft, Painter::AlignTop);
    painter.restoreColor();

    painter.pushMatrix();
    applyTransform();
    Entity::draw();
    painter.popMatrix();
}

void ScoreBoard::drawApples(Painter& painter, std::size_t kind, std::int32_t glyphWidth) const
{
    const std::int32_t y = FirstRowY + RowHeight * static_cast<std::int32_t>(kind);
    const std::uint32_t count = m_results.applesEaten[kind];
    const Rect apple(Tile * static_cast<std::int32_t>(kind), 0, Tile, Tile);
    if (count == 0)
    {
        painter.drawTexturedRect(Rect(ApplesX, y, Tile, Tile), apple);
        painter.drawTexturedRect(Rect(ApplesX, y, Tile, Tile), Rect(NoneMarkX, NoneMarkY, Tile, Tile));
        return;
    }
    const std::int32_t numbersWidth = static_cast<std::int32_t>(NumberWidth) * glyphWidth;
    const std::int64_t spread = (SpreadRoom - numbersWidth) / std::int64_t{count};
    const auto spacing = static_cast<std::int32_t>(std::clamp<std::int64_t>(spread, MinSpacing, MaxSpacing));
    const std::int32_t lastX = LastAppleRoom - numbersWidth;
    // Bounded by the row's room, not by the count, however many apples were eaten.
    std::uint32_t drawn = 0;
    for (std::int32_t x = ApplesX; x <= lastX && drawn < count; x += spacing, ++drawn)
    {
        painter.drawTexturedRect(Rect(x, y, Tile, Tile), apple);
    }
}

} // namespace Tarvo
