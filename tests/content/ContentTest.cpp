#include "engine/base/Color.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/graphics/TextureMap.h"

#include "game/ai/AIFile.h"
#include "game/play/GameEngine.h"
#include "game/play/MapFile.h"
#include "game/play/PlayScreen.h"

#include "tests/support/GLWindow.h"
#include "tests/support/PrintTo.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Fernhouse::Base::Size;

namespace
{

const fs::path SourceDir = TARVO_SOURCE_DIR;

// Every file with the extension under the directory, relative to the repository, sorted.
std::vector<std::string> filesIn(const std::string& directory, const std::string& extension)
{
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(SourceDir / directory))
    {
        if (entry.is_regular_file() && entry.path().extension() == extension)
        {
            files.push_back(fs::relative(entry.path(), SourceDir).generic_string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::string readBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class Content : public TestSupport::GLTest
{
protected:
    TestSupport::ScopedWorkingDirectory m_cwd{SourceDir};
    Fernhouse::Graphics::TextureFactory m_factory;
    Fernhouse::Graphics::FontManager m_fonts{"graphics/fonts/", ".png"};
};

} // namespace

TEST_F(Content, EveryPictureLoadsSheetsFitOneTileFontsMeasureByGlyphAndNamedFilesHaveTheirSizes)
{
    // Screens fill the window and the slider holds four 32 x 32 tiles; Size() is any size.
    std::map<std::string, Size> named = {{"graphics/menu_back.png", Size(800, 600)},
                                         {"graphics/splash.png", Size(800, 600)},
                                         {"graphics/singleplayer_back.png", Size(800, 600)},
                                         {"graphics/twoplayer_back.png", Size(800, 600)},
                                         {"graphics/scoreboard_back.png", Size(800, 600)},
                                         {"graphics/slider.png", Size(64, 64)},
                                         {"graphics/fernhouse_splash.png", Size()},
                                         {"graphics/highscore.png", Size()},
                                         {"graphics/fonts/fixed_small.png", Size()},
                                         {"graphics/fonts/fixed_medium.png", Size()},
                                         {"graphics/fonts/fixed_large.png", Size()},
                                         {"graphics/fonts/comic_medium.png", Size()},
                                         {"graphics/skins/tarvo.png", Size()},
                                         {"graphics/skins/king.png", Size()}};
    // Every computer player wears a shipped skin.
    for (const std::string& ai : filesIn("ai", Tarvo::AIFile::Extension))
    {
        named.emplace("graphics/skins/" + Tarvo::AIFile(fs::path(ai).stem().string()).getSkin() + ".png",
                      Size());
    }
    std::map<std::string, std::size_t> perFolder;
    const Fernhouse::Base::Color black(0, 0, 0, 255);
    for (const std::string& file : filesIn("graphics", ".png"))
    {
        SCOPED_TRACE(file);
        const std::string folder = fs::path(file).parent_path().filename().string();
        ++perFolder[folder];
        const auto found = named.find(file);
        if (folder == "fonts")
        {
            const Fernhouse::Graphics::Font* font = m_fonts.loadFont(fs::path(file).stem().string());
            EXPECT_EQ(font->getTextSize("TARVO").w, 5 * font->getGlyphSize().w);
            m_fonts.freeFont(font);
        }
        else
        {
            // Skins and tilesets are drawn with black as their transparent colour.
            Fernhouse::Graphics::TextureMap* map =
                m_factory.createTextureMap(file, folder == "graphics" ? nullptr : &black);
            EXPECT_GT(map->getImageSize().w, 0u);
            EXPECT_TRUE(folder == "graphics" || map->getGridSize() == Size(1, 1));
            EXPECT_TRUE(found == named.end() || found->second == Size() ||
                        found->second == map->getImageSize());
            m_factory.freeTextureMap(map);
        }
        if (found != named.end())
        {
            named.erase(found);
        }
    }
    EXPECT_TRUE(named.empty()) << named.begin()->first << " is missing";
    EXPECT_EQ(m_factory.getTextureMapCount(), 0u);
    EXPECT_GE(perFolder["skins"], 6u);
    EXPECT_GE(perFolder["tilesets"], 3u);
}

// The map rules (walls, start points, reachable cells) are tarvo-check's; besides them every map has its
// three layers and tiles on the sheet, a title the menu font can draw that stays distinct in the highscores'
// ten columns, a field that fills the one-player view, and a file the game's writer reproduces byte for byte;
// some maps scroll and some are large.
TEST(ShippedMaps, EveryMapHasKnownTilesADistinctDrawableTitleFillsTheViewAndIsWrittenAsTheGameWritesIt)
{
    const std::vector<std::string> maps = filesIn("maps", ".map");
    EXPECT_GE(maps.size(), 24u);
    std::size_t scrolling = 0;
    std::size_t large = 0;
    std::set<std::string> titles;
    const TestSupport::TempDir dir;
    const auto view = Tarvo::PlayScreen::SoloView;
    for (const std::string& path : maps)
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
        for (std::int32_t i = 0; i < map.getWidth() * map.getHeight(); ++i)
        {
            const std::int32_t ground = map.getTile(0, i % map.getWidth(), i / map.getWidth());
            const std::int32_t wall =
                map.getTile(Tarvo::GameEngine::WallLayer, i % map.getWidth(), i / map.getWidth());
            EXPECT_TRUE(ground >= 0 && ground < 256 && wall >= Tarvo::MapFile::EmptyCell && wall < 256)
                << ground << "/" << wall;
        }
        const auto width = static_cast<std::uint32_t>(map.getWidth() * 16);
        const auto height = static_cast<std::uint32_t>(map.getHeight() * 16);
        EXPECT_TRUE(width >= view.w && height >= view.h);
        scrolling += width > view.w || height > view.h;
        large += map.getWidth() >= 96 && map.getHeight() >= 96;
        map.save(dir.file("copy.map"));
        EXPECT_EQ(dir.readFile("copy.map"), readBytes(SourceDir / path));
    }
    EXPECT_GE(scrolling, 6u);
    EXPECT_GE(large, 2u);
}

TEST(SourceTags, EveryThrowingFileNamesItselfAsItsLayerDoes)
{
    // Error records name the file a throw came from: the engine's as src/<file>, the game's bare.
    const std::regex tag(R"re(constexpr const char\* SourceTag = "([^"]*)";)re");
    for (const std::string layer : {"engine", "game"})
    {
        for (const std::string& file : filesIn(layer, ".cpp"))
        {
            const std::string text = readBytes(SourceDir / file);
            std::smatch found;
            if (std::regex_search(text, found, tag))
            {
                EXPECT_EQ(found[1].str(), (layer == "engine" ? "src/" : "") + fs::path(file).stem().string())
                    << file;
            }
        }
    }
}
