#include "engine/base/Point.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/Painter.h"
#include "engine/io/KeyboardControl.h"

#include "game/ai/AIControl.h"
#include "game/ai/AIFile.h"
#include "game/play/GameEngine.h"
#include "game/play/MapCheck.h"
#include "game/play/MapFile.h"
#include "game/play/PlayScreen.h"
#include "game/play/PlayerOverflowException.h"
#include "game/play/WormSprite.h"

#include "tests/game/play/RoundFixture.h"
#include "tests/support/PngWriter.h"
#include "tests/support/PrintTo.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Fernhouse::Base::Point;
using Tarvo::GameEngine;
using Tarvo::MapFile;

namespace
{

const fs::path SourceDir = TARVO_SOURCE_DIR;

constexpr unsigned GroundLayer = 0;
constexpr unsigned WallLayer = GameEngine::WallLayer;
constexpr unsigned StartLayer = GameEngine::StartLayer;
constexpr std::int32_t GameLayers = 3;
// A tileset sheet holds 16 x 16 tiles.
constexpr std::int32_t SheetTiles = 256;
constexpr std::size_t MinMaps = 24;
// Maps that scroll in the one-player view, and the largest ones.
constexpr std::size_t MinScrollingMaps = 6;
constexpr std::int32_t LargeSide = 96;
constexpr std::size_t MinLargeMaps = 2;
constexpr std::int32_t CellPixels = 16;
// The first steps of a round, in which no worm may die.
constexpr std::int32_t FirstSteps = 3;
// The highscore view shows only this much of a title.
constexpr std::size_t TitleWidth = 10;
constexpr std::uint32_t FrameMs = 50;
// Enough frames for the slowest worm to take its first steps.
constexpr int StepFrames = 200;

// Every maps/*.map of the repository, in file name order.
std::vector<fs::path> shippedMaps()
{
    std::vector<fs::path> maps;
    for (const auto& entry : fs::directory_iterator(SourceDir / "maps"))
    {
        if (entry.is_regular_file() && entry.path().extension() == ".map")
        {
            maps.push_back(entry.path());
        }
    }
    std::sort(maps.begin(), maps.end());
    return maps;
}

bool isWall(const MapFile& map, std::int32_t x, std::int32_t y)
{
    return map.getTile(WallLayer, x, y) != MapFile::EmptyCell;
}

// Start point number to cell; a repeated number or a value the game would ignore is a failure.
std::map<std::int32_t, Point> startPoints(const MapFile& map)
{
    std::map<std::int32_t, Point> starts;
    for (std::int32_t y = 0; y < map.getHeight(); ++y)
    {
        for (std::int32_t x = 0; x < map.getWidth(); ++x)
        {
            const std::int32_t value = map.getTile(StartLayer, x, y);
            if (value == MapFile::EmptyCell)
            {
                continue;
            }
            const bool valid = value >= 1 && static_cast<std::size_t>(value) <= GameEngine::MaxStartPoints;
            EXPECT_TRUE(valid) << "stray value " << value << " at " << x << "," << y;
            EXPECT_TRUE(!valid || starts.emplace(value, Point(x, y)).second)
                << "start point " << value << " twice";
        }
    }
    return starts;
}

std::string readBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void checkTiles(const MapFile& map)
{
    for (std::int32_t y = 0; y < map.getHeight(); ++y)
    {
        for (std::int32_t x = 0; x < map.getWidth(); ++x)
        {
            // Ground everywhere: a cell without it would show the screen behind the map.
            const std::int32_t ground = map.getTile(GroundLayer, x, y);
            EXPECT_TRUE(ground >= 0 && ground < SheetTiles) << "ground " << ground << " at " << x << "," << y;
            const std::int32_t wall = map.getTile(WallLayer, x, y);
            EXPECT_TRUE(wall >= MapFile::EmptyCell && wall < SheetTiles)
                << "wall " << wall << " at " << x << "," << y;
            const bool border = x == 0 || y == 0 || x == map.getWidth() - 1 || y == map.getHeight() - 1;
            EXPECT_TRUE(!border || isWall(map, x, y)) << "open border at " << x << "," << y;
        }
    }
}

} // namespace

TEST(ShippedMaps, EveryMapFillsTheViewKeepsTheMapRulesAndIsWrittenAsTheGameWritesIt)
{
    const std::vector<fs::path> maps = shippedMaps();
    EXPECT_GE(maps.size(), MinMaps);
    std::size_t scrolling = 0;
    std::size_t large = 0;
    std::set<std::string> titles;
    TestSupport::TempDir dir;
    for (const fs::path& path : maps)
    {
        SCOPED_TRACE(path.filename().string());
        MapFile map;
        ASSERT_NO_THROW(map.load(path.string()));
        EXPECT_EQ(map.getLayerCount(), GameLayers);
        EXPECT_FALSE(map.getName().empty());
        EXPECT_TRUE(titles.insert(map.getName().substr(0, TitleWidth)).second)
            << "a title that reads like another in the highscores: " << map.getName();
        EXPECT_TRUE(fs::is_regular_file(SourceDir / map.getGraphicsFileName())) << map.getGraphicsFileName();
        checkTiles(map);
        // Walled in, numbered start points, fair starts, every free cell reachable.
        for (const Tarvo::MapCheck::Problem& problem : Tarvo::MapCheck(map).check())
        {
            ADD_FAILURE() << problem.message;
        }
        // The field fills the one-player view; larger maps scroll.
        const auto viewWidth = static_cast<std::int32_t>(Tarvo::PlayScreen::SoloView.w);
        const auto viewHeight = static_cast<std::int32_t>(Tarvo::PlayScreen::SoloView.h);
        EXPECT_GE(map.getWidth() * CellPixels, viewWidth);
        EXPECT_GE(map.getHeight() * CellPixels, viewHeight);
        scrolling +=
            map.getWidth() * CellPixels > viewWidth || map.getHeight() * CellPixels > viewHeight ? 1 : 0;
        large += map.getWidth() >= LargeSide && map.getHeight() >= LargeSide ? 1 : 0;

        // Saved again by the game's own writer, the file keeps every byte.
        map.save(dir.file("copy.map"));
        EXPECT_EQ(readBytes(dir.file("copy.map")), readBytes(path));
    }
    EXPECT_GE(scrolling, MinScrollingMaps);
    EXPECT_GE(large, MinLargeMaps);
}

class ShippedMapRounds : public RoundSupport::RoundTest
{
protected:
    void SetUp() override
    {
        RoundTest::SetUp();
        if (HasFatalFailure())
        {
            return;
        }
        // The maps name their tilesets relative to the game's directory.
        fs::create_directory_symlink(SourceDir / "graphics" / "tilesets",
                                     dir().path() / "graphics" / "tilesets");
        fs::create_directory_symlink(SourceDir / "ai", dir().path() / "ai");
    }

    // As the front end sets up a one-player game: the human on start point 1, "buffy" on the others.
    void setUpOnePlayerRound(const fs::path& map)
    {
        GameEngine& game = makeEngine(map.string());
        game.setGame(Tarvo::GAME_ENEMIES, 0, OnePlayerTimeLimit);
        auto* keys = new Fernhouse::IO::KeyboardControl(RoundSupport::arrowKeys());
        keys->setRegistered(true);
        game.addPlayer("Tarvo", keys, "tarvo", Tarvo::WormSprite::ControlAbsolute);
        while (game.getWormCount() < game.getStartPointCount())
        {
            auto* computer = new Tarvo::AIControl("buffy", &game);
            const Tarvo::AIFile& ai = computer->getAIFile();
            game.addPlayer(ai.getName(), computer, ai.getSkin(), Tarvo::WormSprite::ControlAbsolute);
        }
    }

    static constexpr std::int32_t OnePlayerTimeLimit = 180000;
};

TEST_F(ShippedMapRounds, EveryStartPointTakesOneWormOnItsCellAndThenNoMore)
{
    for (const fs::path& map : shippedMaps())
    {
        SCOPED_TRACE(map.filename().string());
        GameEngine& game = makeEngine(map.string());
        const MapFile reference(map.string());
        const std::map<std::int32_t, Point> starts = startPoints(reference);
        ASSERT_EQ(static_cast<std::size_t>(game.getStartPointCount()), starts.size());
        for (const auto& [number, cell] : starts)
        {
            addHuman("player " + std::to_string(number), RoundSupport::arrowKeys());
            const Tarvo::WormSprite::Segment& head = game.getWorms().back()->getHead();
            EXPECT_EQ(Point(head.x, head.y), cell) << "start point " << number;
        }
        EXPECT_THROW(addHuman("one too many", RoundSupport::arrowKeys()), Tarvo::PlayerOverflowException);
        EXPECT_EQ(static_cast<std::size_t>(game.getWormCount()), starts.size());
        dropEngine();
    }
}

TEST_F(ShippedMapRounds, OnePlayerRoundsAgainstComputerWormsSurviveTheirFirstStepsAndTitlesDraw)
{
    Fernhouse::Graphics::FontManager* fonts = Fernhouse::Graphics::FontManager::getInstance();
    const Fernhouse::Graphics::Font* menuFont = fonts->loadFont("comic_medium");
    for (const fs::path& map : shippedMaps())
    {
        SCOPED_TRACE(map.filename().string());
        setUpOnePlayerRound(map);
        startRound();
        passStartDelay();
        const Tarvo::WormSprite* human = engine().getPlayer1();
        ASSERT_NE(human, nullptr);
        const Point start = engine().getStartPoint(1);
        const Point goal(start.x, start.y + FirstSteps);
        for (int i = 0; i < StepFrames && !human->isDead() && human->getHead().y < goal.y; ++i)
        {
            frame(FrameMs);
        }
        EXPECT_EQ(Point(human->getHead().x, human->getHead().y), goal);
        for (const Tarvo::WormSprite* worm : engine().getWorms())
        {
            EXPECT_FALSE(worm->isDead()) << worm->getName() << " died early, head at " << worm->getHead().x
                                         << "," << worm->getHead().y;
        }

        // The map list draws every title in the menu font; a character it lacks would throw there.
        frame(0, true);
        Fernhouse::Graphics::Painter painter;
        EXPECT_NO_THROW(painter.drawText(engine().getMap()->getName(), Point(400, 590), menuFont,
                                         Fernhouse::Graphics::Painter::AlignCenter,
                                         Fernhouse::Graphics::Painter::AlignBottom));
        TestSupport::saveFrame(screenshotPath("map_" + map.stem().string()));
        dropEngine();
    }
    fonts->freeFont(menuFont);
}
