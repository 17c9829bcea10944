#include "engine/base/Color.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/graphics/TextureMap.h"

#include "game/ai/AIFile.h"

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

TEST(SourceTags, EveryThrowingFileNamesItselfAsItsLayerDoes)
{
    // Error records name the file a throw came from: the engine's as src/<file>, the game's bare.
    const std::regex tag(R"re(constexpr const char\* SourceTag = "([^"]*)";)re");
    for (const std::string layer : {"engine", "game"})
    {
        for (const std::string& file : filesIn(layer, ".cpp"))
        {
            std::ifstream in(SourceDir / file);
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            std::smatch found;
            if (std::regex_search(text, found, tag))
            {
                EXPECT_EQ(found[1].str(), (layer == "engine" ? "src/" : "") + fs::path(file).stem().string())
                    << file;
            }
        }
    }
}
