#pragma once

#include "engine/base/Color.h"
#include "engine/gui/Widget.h"

#include "game/play/WormSprite.h"

#include <cstdint>
#include <string>

namespace Fernhouse::Graphics
{
class Font;
class Image;
class Painter;
class TextureMap;
} // namespace Fernhouse::Graphics

namespace Tarvo
{

// The results of a won campaign map: per apple kind a row of the apples eaten and the points they earned,
// then the score, under a framed picture whose window shows the rows. Escape, Return or Space close it;
// the campaign polls isDone.
class ScoreBoard final : public Fernhouse::GUI::Widget
{
public:
    static constexpr const char* BackgroundFile = "graphics/scoreboard_back.png";
    static constexpr const char* HighscoreFile = "graphics/highscore.png";
    static constexpr const char* FontName = "comic_medium";
    // Keys the pictures and the tileset with transparent black, so only their own transparency shows.
    static constexpr Fernhouse::Base::Color ColorKey{};
    static constexpr Fernhouse::Base::Color ScoreColor{255, 90, 0, 255};
    // Pixels: the first row's top, one row per apple kind, the score row below the last.
    static constexpr std::int32_t FirstRowY = 150;
    static constexpr std::int32_t RowHeight = 28;
    static constexpr std::int32_t ScoreRowY = FirstRowY + RowHeight * 6;
    static constexpr std::int32_t ApplesX = 100;
    // Apples in a row lie this many pixels apart at most and at least.
    static constexpr std::int32_t MaxSpacing = 18;
    static constexpr std::int32_t MinSpacing = 2;
    // Numbers are right-aligned in this many glyphs, ending at TextRight.
    static constexpr std::size_t NumberWidth = 7;
    static constexpr std::int32_t TextRight = 700;

    // results is copied. Loads both pictures (the banner only for a new highscore), the tileset whose first
    // row holds the apples and whose tile at column 15, row 15 marks a kind not eaten, and the font; throws
    // their loading errors.
    ScoreBoard(const WormSprite::Results& results, bool newHighscore, const std::string& tilesetPath);
    ScoreBoard(const ScoreBoard&) = delete;
    ScoreBoard& operator=(const ScoreBoard&) = delete;
    // Frees the tileset and the pictures and releases the font.
    ~ScoreBoard() override;

    // Escape, Return and Space finish the board; every other key is passed on. Modifiers are ignored.
    bool keyDown(SDLKey key, bool ctrl, bool shift, bool alt) override;
    // The rows, then the pictures over them.
    void draw() override;

    const WormSprite::Results& getResults() const { return m_results; }

    bool isNewHighscore() const { return m_newHighscore; }

    const std::string& getTilesetPath() const { return m_tilesetPath; }

    // Null without a new highscore.
    const Fernhouse::Graphics::Image* getHighscoreImage() const { return m_highscoreImage; }

private:
    // With the tileset bound.
    void drawApples(Fernhouse::Graphics::Painter& painter, std::size_t kind, std::int32_t glyphWidth) const;

    WormSprite::Results m_results;
    Fernhouse::Graphics::Image* m_background;     // owned; the first child
    Fernhouse::Graphics::Image* m_highscoreImage; // owned; the second child; null without a new highscore
    bool m_newHighscore;
    std::string m_tilesetPath;
    Fernhouse::Graphics::TextureMap* m_tileset; // owned, freed through TextureFactory
    Fernhouse::Graphics::Font* m_font;          // shared through FontManager
};

} // namespace Tarvo
