#include "engine/graphics/Font.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/graphics/TextureMap.h"
#include "engine/script/ScriptEngine.h"
#include "engine/sound/SoundContext.h"

#include "game/ai/AIFile.h"
#include "game/frontend/ScriptEnvironment.h"
#include "game/play/MapFile.h"
#include "game/play/PlayScreen.h"
#include "game/progress/Campaign.h"
#include "game/progress/CampaignFile.h"
#include "game/progress/Configuration.h"
#include "game/progress/HighscoreTable.h"

#include "tests/game/play/RoundFixture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <set>

namespace fs = std::filesystem;
using Fernhouse::Base::Point;
using Fernhouse::Base::Size;

namespace
{

const fs::path SourceDir = TestSupport::SourceDir;
constexpr std::uint32_t LongestSceneMs = 60000;

std::set<std::string> filesIn(const std::string& directory, const std::string& extension)
{
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(SourceDir / directory))
    {
        if (entry.is_regular_file() && entry.path().extension() == extension)
        {
            files.insert(fs::relative(entry.path(), SourceDir).generic_string());
        }
    }
    return files;
}

// The shipped data, used from the repository as the game uses its data directory.
class CampaignsContent : public RoundSupport::RoundTest
{
protected:
    // Plays the scene in frames of 40 ms as the front end does, so that a text without glyphs or a missing
    // picture or sound fails here. Draws every fourth frame: no text can be read in less than 160 ms, and the
    // software renderer of the sanitizer pass takes most of a second per second of scene drawing them all.
    // Returns its game time; counts every twentieth frame and those that showed anything.
    std::uint32_t play(const std::string& path, const std::string& context)
    {
        soundManager()->pushContext(context);
        Fernhouse::Script::ScriptEngine engine;
        Tarvo::ScriptEnvironment env(&engine, soundManager());
        engine.load(path);
        const std::uint32_t start = gameTime();
        std::vector<unsigned char> rgb(800 * 600 * 3);
        const std::vector<unsigned char> black(rgb.size());
        m_sampled = m_shown = 0;
        for (int frame = 0; engine.run() && gameTime() - start < LongestSceneMs; ++frame)
        {
            env.update();
            if (frame % 4 == 0)
            {
                glClear(GL_COLOR_BUFFER_BIT);
                env.draw();
            }
            if (frame % 20 == 0)
            {
                glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
                ++m_sampled;
                m_shown += rgb != black;
            }
            clock().advance(40); // one frame
            Fernhouse::Base::GameTime::getInstance()->update();
        }
        EXPECT_FALSE(env.isDone()) << path;
        m_sounds = soundManager()->topContext()->getSounds().size();
        soundManager()->popContext();
        return gameTime() - start;
    }

    int m_sampled = 0;
    int m_shown = 0;
    std::size_t m_sounds = 0; // the last scene's
    Tarvo::Configuration m_configuration;
};

} // namespace

TEST_F(CampaignsContent, EveryPictureLoadsSheetsFitOneTileFontsMeasureByGlyphAndNamedFilesHaveTheirSizes)
{
    const TestSupport::ScopedWorkingDirectory cwd(SourceDir);
    // Screens fill the window and the slider holds four 32 x 32 tiles; Size() is any size.
    const Size screen(800, 600);
    std::map<std::string, Size> named = {
        {"slider", {64, 64}},          {"menu_back", screen},      {"splash", screen},
        {"singleplayer_back", screen}, {"twoplayer_back", screen}, {"scoreboard_back", screen},
        {"fernhouse_splash", {}},      {"highscore", {}},          {"fonts/fixed_small", {}},
        {"fonts/fixed_medium", {}},    {"fonts/fixed_large", {}},  {"fonts/comic_medium", {}},
        {"skins/tarvo", {}},           {"skins/king", {}}};
    // Every computer player wears a shipped skin.
    for (const std::string& ai : filesIn("ai", Tarvo::AIFile::Extension))
    {
        named.emplace("skins/" + Tarvo::AIFile(fs::path(ai).stem().string()).getSkin(), Size());
    }
    auto* textures = Fernhouse::Graphics::TextureFactory::getInstance();
    const Fernhouse::Base::Color black(0, 0, 0, 255);
    for (const std::string& file : filesIn("graphics", ".png"))
    {
        SCOPED_TRACE(file);
        const std::string folder = fs::path(file).parent_path().filename().string();
        const std::string name = file.substr(9, file.size() - 13); // without "graphics/" and ".png"
        const Size wanted = named.count(name) != 0 ? named[name] : Size();
        named.erase(name);
        if (folder == "fonts")
        {
            const auto* font =
                Fernhouse::Graphics::FontManager::getInstance()->loadFont(fs::path(file).stem().string());
            EXPECT_EQ(font->getTextSize("TARVO").w, 5 * font->getGlyphSize().w);
            Fernhouse::Graphics::FontManager::getInstance()->freeFont(font);
        }
        else
        {
            // Skins and tilesets are drawn with black as their transparent colour.
            auto* map = textures->createTextureMap(file, folder == "graphics" ? nullptr : &black);
            EXPECT_TRUE(map->getImageSize().w > 0 &&
                        (folder == "graphics" || map->getGridSize() == Size(1, 1)) &&
                        (wanted == Size() || wanted == map->getImageSize()));
            textures->freeTextureMap(map);
        }
    }
    EXPECT_TRUE(named.empty()) << named.begin()->first << " is missing";
}

// Beside tarvo-check's map rules: the highscores' ten columns tell titles apart, and the view is filled.
TEST(ShippedMaps, EveryMapHasKnownTilesADistinctDrawableTitleFillsTheViewAndIsWrittenAsTheGameWritesIt)
{
    std::set<std::string> titles;
    const TestSupport::TempDir dir;
    for (const std::string& path : filesIn("maps", ".map"))
    {
        SCOPED_TRACE(path);
        Tarvo::MapFile map;
        ASSERT_NO_THROW(map.load((SourceDir / path).string()));
        EXPECT_EQ(map.getLayerCount(), 3);
        const std::string& title = map.getName();
        EXPECT_TRUE(titles.insert(title.substr(0, 10)).second) << title;
        EXPECT_TRUE(std::all_of(title.begin(), title.end(), [](char c) {
            return Fernhouse::Graphics::FontGlyphs::Table[static_cast<unsigned char>(c)] !=
                   Fernhouse::Graphics::FontGlyphs::NoGlyph;
        })) << title;
        const std::int32_t w = map.getWidth();
        for (std::int32_t i = 0; i < w * map.getHeight(); ++i)
        {
            const std::int32_t ground = map.getTile(0, i % w, i / w),
                               wall = map.getTile(Tarvo::GameEngine::WallLayer, i % w, i / w);
            EXPECT_TRUE(ground >= 0 && ground < 256 && wall >= Tarvo::MapFile::EmptyCell && wall < 256)
                << ground << "/" << wall;
        }
        const auto view = Tarvo::PlayScreen::SoloView;
        EXPECT_TRUE(w * 16 >= static_cast<std::int32_t>(view.w) &&
                    map.getHeight() * 16 >= static_cast<std::int32_t>(view.h));
        map.save(dir.file("copy.map"));
        std::ifstream original(SourceDir / path, std::ios::binary);
        EXPECT_EQ(dir.readFile("copy.map"), std::string(std::istreambuf_iterator<char>(original), {}));
    }
}

// Every scene ends by itself: the intro and the credits hold the screen for a while, show something in most
// frames and play sounds; a campaign scene is long enough to read and short enough not to bore.
TEST_F(CampaignsContent, EveryScenePlaysToItsEndWithinItsTime)
{
    const TestSupport::ScopedWorkingDirectory cwd(SourceDir);
    const std::set<std::string> scripts = filesIn("scripts", ".fhs");
    EXPECT_GE(scripts.size(), 12u);
    for (const std::string& path : scripts)
    {
        const std::uint32_t ms = play(path, path == "scripts/credits.fhs" ? "credits" : "menu");
        EXPECT_TRUE(path.rfind("scripts/campaign_", 0) == 0
                        ? ms > 3000 && ms < 30000
                        : ms > 10000 && ms < LongestSceneMs && m_shown * 4 > m_sampled * 3 && m_sounds > 0)
            << path << " runs " << ms << " ms, shown in " << m_shown << " of " << m_sampled << " samples";
    }
}

// A test-only player (towards the longest free row, handed a golden apple under its head every frame of a
// length, score or apple goal) wins it against computer players that never turn.
TEST_F(CampaignsContent, FirstCampaignPlaysToItsEndOnTheShippedData)
{
    const TestSupport::ScopedWorkingDirectory source(SourceDir);
    const TestSupport::TempDir dir;
    for (const char* data : {"graphics", "sounds", "maps", "campaigns", "scripts"})
    {
        fs::create_directory_symlink(SourceDir / data, dir.path() / data);
    }
    fs::create_directory(dir.path() / "ai");
    for (const std::string& ai : filesIn("ai", Tarvo::AIFile::Extension))
    {
        dir.written(ai, Tarvo::AIFile(fs::path(ai).stem().string()).getSkin() + "\neat\n0\n100\n0\n");
    }
    const TestSupport::ScopedWorkingDirectory cwd(dir.path());
    m_configuration.setPlayer1Relative(Tarvo::WormSprite::ControlAbsolute);
    const Fernhouse::IO::KeySet keys = m_configuration.getPlayer1Keys();
    const std::array<SDLKey, 4> turns{keys.right, keys.left, keys.up, keys.down};
    const std::array<Point, 4> steps{Point(1, 0), Point(-1, 0), Point(0, -1), Point(0, 1)};
    Tarvo::HighscoreTable highscores;
    Tarvo::Campaign campaign("campaigns/first_feast.cpj", &m_configuration, soundManager(), &highscores);
    campaign.start();
    for (int frame = 0; frame < 20000 && !campaign.isFinished(); ++frame)
    {
        Tarvo::GameEngine* engine = campaign.getGameEngine();
        if (engine == nullptr || engine->getEndTime() != 0)
        {
            pressKey(SDLK_RETURN);
        }
        else
        {
            const Tarvo::WormSprite& worm = *engine->getPlayer1();
            const Point head(worm.getHead().x, worm.getHead().y);
            const std::int32_t type = engine->getSettings().type;
            for (Tarvo::Apple* apple : engine->getApplePainter()->getApples())
            {
                if (apple->getKind() >= 0 && type >= Tarvo::GAME_LENGTH && type <= Tarvo::GAME_APPLES)
                {
                    apple->setKind(Tarvo::Apple::Super);
                    apple->setCell(head);
                    break;
                }
            }
            const auto room = [&](std::uint32_t d) {
                int n = 1;
                while (engine->isFree(Point(head.x + steps[d].x * n, head.y + steps[d].y * n), false))
                {
                    ++n;
                }
                return n;
            };
            std::uint32_t best = worm.getDirection();
            for (std::uint32_t d = 0; d < steps.size(); ++d)
            {
                best = room(d) > room(best) ? d : best;
            }
            if (best != worm.getDirection())
            {
                pressKey(turns[worm.getState() == Tarvo::WormSprite::StateDrunk ? best ^ 1u : best]);
            }
        }
        clock().advance(100);
        router().poll();
        Fernhouse::Base::GameTime::getInstance()->update();
        campaign.update();
    }
    EXPECT_TRUE(campaign.isFinished() &&
                m_configuration.isCampaignUnlocked(campaign.getCampaignFile().getRewardKey()))
        << "ended on map " << campaign.getMapIndex();
}
