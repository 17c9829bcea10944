#include "engine/graphics/Font.h"

#include "game/play/GameEngine.h"
#include "game/play/MapFile.h"
#include "game/play/PlayScreen.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace fs = std::filesystem;
using Tarvo::MapFile;

namespace
{

std::string readBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace

// The map rules (walls, start points, reachable cells) are tarvo-check's; besides them every map has its
// three layers and tiles on the sheet, a title the menu font can draw that stays distinct in the highscores'
// ten columns, a field that fills the one-player view, and a file the game's writer reproduces byte for byte;
// some maps scroll and some are large.
TEST(ShippedMaps, EveryMapHasKnownTilesADistinctDrawableTitleFillsTheViewAndIsWrittenAsTheGameWritesIt)
{
    std::set<fs::path> maps;
    std::copy_if(fs::directory_iterator(fs::path(TARVO_SOURCE_DIR) / "maps"), fs::directory_iterator(),
                 std::inserter(maps, maps.end()),
                 [](const fs::path& path) { return path.extension() == ".map"; });
    EXPECT_GE(maps.size(), 24u);
    std::size_t scrolling = 0;
    std::size_t large = 0;
    std::set<std::string> titles;
    const TestSupport::TempDir dir;
    const auto view = Tarvo::PlayScreen::SoloView;
    for (const fs::path& path : maps)
    {
        SCOPED_TRACE(path.filename().string());
        MapFile map;
        ASSERT_NO_THROW(map.load(path.string()));
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
            EXPECT_TRUE(ground >= 0 && ground < 256 && wall >= MapFile::EmptyCell && wall < 256)
                << ground << "/" << wall;
        }
        const auto width = static_cast<std::uint32_t>(map.getWidth() * 16);
        const auto height = static_cast<std::uint32_t>(map.getHeight() * 16);
        EXPECT_TRUE(width >= view.w && height >= view.h);
        scrolling += width > view.w || height > view.h;
        large += map.getWidth() >= 96 && map.getHeight() >= 96;
        map.save(dir.file("copy.map"));
        EXPECT_EQ(readBytes(dir.file("copy.map")), readBytes(path));
    }
    EXPECT_GE(scrolling, 6u);
    EXPECT_GE(large, 2u);
}
