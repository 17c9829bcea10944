#include "engine/base/Application.h"
#include "engine/base/Color.h"
#include "engine/graphics/Font.h"
#include "engine/graphics/FontManager.h"
#include "engine/graphics/TextureFactory.h"
#include "engine/graphics/TextureMap.h"
#include "engine/sound/SoundManager.h"

#include "tests/support/TempDir.h"

#include <SDL/SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Fernhouse::Base::Color;
using Fernhouse::Base::Size;
using Fernhouse::Graphics::TextureMap;

namespace
{

const fs::path SourceDir = TARVO_SOURCE_DIR;

// An application with the real window and, through the disk driver, a real mixer.
class ContentApp final : public Fernhouse::Base::Application
{
public:
    explicit ContentApp(const std::string& audioFile)
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", audioFile.c_str(), 1);
        init("Tarvo content", 800, 600, 32, false, 44100, AUDIO_S16LSB, 16, 2048);
    }

    int run() override { return 0; }
};

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

} // namespace

class Content : public ::testing::Test
{
protected:
    void SetUp() override { m_app = new ContentApp(m_dir.file("out.raw")); }

    void TearDown() override { delete m_app; }

    TestSupport::TempDir m_dir;
    TestSupport::ScopedWorkingDirectory m_cwd{SourceDir};
    ContentApp* m_app = nullptr;
};

// The pictures the game names exist, the screens fill the window and the slider holds four 32 x 32 tiles;
// every picture loads and is freed again.
TEST_F(Content, EveryImageLoadsAndTheNamedOnesHaveTheirSizes)
{
    const Size Any(0, 0);
    std::map<std::string, Size> named = {{"graphics/menu_back.png", Size(800, 600)},
                                         {"graphics/splash.png", Size(800, 600)},
                                         {"graphics/singleplayer_back.png", Size(800, 600)},
                                         {"graphics/twoplayer_back.png", Size(800, 600)},
                                         {"graphics/scoreboard_back.png", Size(800, 600)},
                                         {"graphics/slider.png", Size(64, 64)},
                                         {"graphics/fernhouse_splash.png", Any},
                                         {"graphics/highscore.png", Any}};
    auto* factory = m_app->getTextureFactory();
    for (const std::string& file : filesIn("graphics", ".png"))
    {
        SCOPED_TRACE(file);
        TextureMap* map = nullptr;
        ASSERT_NO_THROW(map = factory->createTextureMap(file, nullptr));
        EXPECT_GT(map->getImageSize().w, 0u);
        if (const auto found = named.find(file); found != named.end())
        {
            EXPECT_TRUE(found->second == Any || map->getImageSize() == found->second);
            named.erase(found);
        }
        factory->freeTextureMap(map);
    }
    EXPECT_TRUE(named.empty()) << named.begin()->first << " is missing";
    EXPECT_EQ(factory->getTextureMapCount(), 0u);
}

TEST_F(Content, EveryFontSkinAndTilesetFitsInOneTextureTile)
{
    auto* fonts = m_app->getFontManager();
    fonts->setFontDirectory("graphics/fonts/");
    std::set<std::string> names;
    for (const std::string& file : filesIn("graphics/fonts", ".png"))
    {
        names.insert(fs::path(file).stem().string());
    }
    for (const char* required : {"fixed_small", "fixed_medium", "fixed_large", "comic_medium"})
    {
        EXPECT_EQ(names.count(required), 1u) << required << " is missing";
    }
    for (const std::string& name : names)
    {
        SCOPED_TRACE(name);
        Fernhouse::Graphics::Font* font = nullptr;
        ASSERT_NO_THROW(font = fonts->loadFont(name));
        EXPECT_NE(font->getTexture(), nullptr);
        EXPECT_EQ(font->getTextSize("TARVO").w, 5 * font->getGlyphSize().w);
        fonts->freeFont(name);
    }

    auto* factory = m_app->getTextureFactory();
    const Color black(0, 0, 0, 255);
    std::vector<std::string> sheets = filesIn("graphics/skins", ".png");
    const std::vector<std::string> tilesets = filesIn("graphics/tilesets", ".png");
    EXPECT_GE(sheets.size(), 6u);
    EXPECT_GE(tilesets.size(), 3u);
    EXPECT_TRUE(fs::exists(SourceDir / "graphics/skins/tarvo.png") &&
                fs::exists(SourceDir / "graphics/skins/king.png"));
    sheets.insert(sheets.end(), tilesets.begin(), tilesets.end());
    for (const std::string& file : sheets)
    {
        SCOPED_TRACE(file);
        TextureMap* map = factory->createTextureMap(file, &black);
        EXPECT_EQ(map->getGridSize(), Size(1, 1));
        factory->freeTextureMap(map);
    }
}

TEST_F(Content, EverySoundAndSongLoadsThroughTheSoundManager)
{
    auto* sounds = m_app->getSoundManager();
    ASSERT_TRUE(sounds->isEnabled());
    for (const std::string name : {"menuClick", "menuHover", "wormEatNormal", "wormEatRotten", "wormEatBeer",
                                   "wormEatTurbo", "wormEatSuper", "wormEatCake", "wormDie", "wormMove"})
    {
        SCOPED_TRACE(name);
        EXPECT_NO_THROW(sounds->addSound("content", name, "sounds/" + name + ".wav", true));
    }
    for (const char* song : {"song1", "song2"})
    {
        SCOPED_TRACE(song);
        sounds->addMusic(song, song, std::string("sounds/") + song + ".ogg", false);
        EXPECT_NO_THROW(sounds->pushContext(song));
        EXPECT_NE(sounds->getCurrentMusic(), nullptr);
        sounds->popContext();
    }
    EXPECT_NO_THROW(sounds->pushContext("content"));
    EXPECT_NO_THROW(sounds->playSound("wormMove"));
    sounds->popContext();
}

TEST(SourceTags, EveryThrowingFileNamesItselfAsItsLayerDoes)
{
    // Error records name the file a throw came from: the engine's as src/<file>, the game's bare.
    const std::regex tag(R"re(constexpr const char\* SourceTag = "([^"]*)";)re");
    for (const char* layer : {"engine", "game"})
    {
        const std::string prefix = std::string(layer) == "engine" ? "src/" : "";
        for (const std::string& file : filesIn(layer, ".cpp"))
        {
            std::ifstream in(SourceDir / file);
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            std::smatch found;
            if (std::regex_search(text, found, tag))
            {
                EXPECT_EQ(found[1].str(), prefix + fs::path(file).stem().string()) << file;
            }
        }
    }
}
