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
#include "game/play/WormSprite.h"

#include "tests/game/play/RoundFixture.h"
#include "tests/support/PngWriter.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
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
constexpr std::int32_t CellPixels = 16;

std::vector<fs::path> shippedMaps()
{
    std::vector<fs::path> maps;
    for (const auto& entry : fs::directory_iterator(SourceDir / "maps"))
    {
        if (entry.path().extension() == ".map")
        {
            maps.push_back(entry.path());
        }
    }
    std::sort(maps.begin(), maps.end());
    return maps;
}

std::string readBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace

// Walled in, numbered and fair start points, every free cell reachable (MapCheck); besides: ground and
// wall tiles on the sheet, a title that stays distinct in the highscores' ten columns, a field that fills
// the one-player view, enough scrolling and large maps, and a file the game's writer reproduces byte for byte.
TEST(ShippedMaps, EveryMapPassesTheMapCheckFillsTheViewAndIsWrittenAsTheGameWritesIt)
{
    const std::vector<fs::path> maps = shippedMaps();
    EXPECT_GE(maps.size(), 24u);
    std::size_t scrolling = 0;
    std::size_t large = 0;
    std::set<std::string> titles;
    TestSupport::TempDir dir;
    const auto view = Tarvo::PlayScreen::SoloView;
    for (const fs::path& path : maps)
    {
        SCOPED_TRACE(path.filename().string());
        MapFile map;
        ASSERT_NO_THROW(map.load(path.string()));
        EXPECT_EQ(map.getLayerCount(), 3);
        EXPECT_TRUE(titles.insert(map.getName().substr(0, 10)).second) << map.getName();
        EXPECT_TRUE(fs::is_regular_file(SourceDir / map.getGraphicsFileName())) << map.getGraphicsFileName();
        for (std::int32_t y = 0; y < map.getHeight(); ++y)
        {
            for (std::int32_t x = 0; x < map.getWidth(); ++x)
            {
                const std::int32_t ground = map.getTile(0, x, y);
                const std::int32_t wall = map.getTile(GameEngine::WallLayer, x, y);
                EXPECT_TRUE(ground >= 0 && ground < 256 && wall >= MapFile::EmptyCell && wall < 256)
                    << "tiles " << ground << "/" << wall << " at " << x << "," << y;
            }
        }
        for (const Tarvo::MapCheck::Problem& problem : Tarvo::MapCheck(map).check())
        {
            ADD_FAILURE() << problem.message;
        }
        const std::int32_t width = map.getWidth() * CellPixels;
        const std::int32_t height = map.getHeight() * CellPixels;
        EXPECT_TRUE(width >= static_cast<std::int32_t>(view.w) &&
                    height >= static_cast<std::int32_t>(view.h));
        scrolling += width > static_cast<std::int32_t>(view.w) || height > static_cast<std::int32_t>(view.h);
        large += map.getWidth() >= 96 && map.getHeight() >= 96;
        map.save(dir.file("copy.map"));
        EXPECT_EQ(readBytes(dir.file("copy.map")), readBytes(path));
    }
    EXPECT_GE(scrolling, 6u);
    EXPECT_GE(large, 2u);
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
};

// As the front end sets up a one-player game: the human on start point 1, "buffy" on every other one.
// Nobody dies in the first three steps, and the map list can draw the title in the menu font.
TEST_F(ShippedMapRounds, OnePlayerRoundsSurviveTheirFirstStepsAndTitlesDraw)
{
    Fernhouse::Graphics::FontManager* fonts = Fernhouse::Graphics::FontManager::getInstance();
    const Fernhouse::Graphics::Font* menuFont = fonts->loadFont("comic_medium");
    for (const fs::path& map : shippedMaps())
    {
        SCOPED_TRACE(map.filename().string());
        GameEngine& game = makeEngine(map.string());
        game.setGame(Tarvo::GAME_ENEMIES, 0, 180000);
        auto* keys = new Fernhouse::IO::KeyboardControl(RoundSupport::arrowKeys());
        keys->setRegistered(true);
        game.addPlayer("Tarvo", keys, "tarvo", Tarvo::WormSprite::ControlAbsolute);
        while (game.getWormCount() < game.getStartPointCount())
        {
            auto* computer = new Tarvo::AIControl("buffy", &game);
            const Tarvo::AIFile& ai = computer->getAIFile();
            game.addPlayer(ai.getName(), computer, ai.getSkin(), Tarvo::WormSprite::ControlAbsolute);
        }
        startRound();
        passStartDelay();
        const Tarvo::WormSprite* human = engine().getPlayer1();
        const Point goal(engine().getStartPoint(1).x, engine().getStartPoint(1).y + 3);
        for (int i = 0; i < 200 && !human->isDead() && human->getHead().y < goal.y; ++i)
        {
            frame(50);
        }
        EXPECT_EQ(Point(human->getHead().x, human->getHead().y), goal);
        for (const Tarvo::WormSprite* worm : engine().getWorms())
        {
            EXPECT_FALSE(worm->isDead()) << worm->getName() << " died early";
        }
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
