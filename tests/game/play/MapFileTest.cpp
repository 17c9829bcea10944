#include "game/play/MapFile.h"

#include "tests/game/play/RoundFixture.h"
#include "tests/support/TextDamage.h"

using namespace RoundSupport;
using namespace Fernhouse::Base;
using TestSupport::TempDir;

namespace
{

template <typename E>
::testing::AssertionResult throws(const std::function<void()>& call, const std::string& message)
{
    return TestSupport::throwsWith<E>(call, message, "MapFile");
}

// 3 layers of 2 x 2: the layout the writer produces.
const std::string BoxText = "1\nBox\ngraphics/tiles.png\n3 2 2\n\n"
                            "0 1 \n2 3 \n\n"
                            "-1 5 \n-1 -1 \n\n"
                            "1 -1 \n-1 2 \n\n";
const int BoxCells[12] = {0, 1, 2, 3, -1, 5, -1, -1, 1, -1, -1, 2}; // layer by layer, row by row

void expectBox(const MapFile& map)
{
    EXPECT_EQ(map.getName() + " " + map.getGraphicsFileName(), "Box graphics/tiles.png");
    EXPECT_EQ(std::vector<int>({map.getLayerCount(), map.getWidth(), map.getHeight()}),
              std::vector<int>({3, 2, 2}));
    EXPECT_FALSE(map.isModified());
    for (unsigned i = 0; i < 12; ++i)
    {
        EXPECT_EQ(map.getTile(i / 4, i % 2, i % 4 / 2), BoxCells[i]) << i;
    }
}

const std::string Top = "1\nBox\ng.png\n";
const std::string Sized = Top + "3 2 2\n\n";

// Whether each bad file is unreadable (IOException, else MapFileException), the message, and the files.
const std::vector<std::tuple<bool, std::string, std::vector<std::string>>> BadFiles = {
    // The version is judged before the title is even read; then image, layers, width, height.
    {false, "Unsupported map file version.", {"2\n", "-1\nBox\ng.png\n3 2 2\n"}},
    {false, "No graphics file name was supplied.", {"1\nBox\n\n0 0 0\n"}},
    {false, "Invalid layer count.", {Top + "0 0 0\n", Top + "4 2 2\n", Top + "-2147483648 2 2\n"}},
    {false, "Invalid map width.", {Top + "3 0 0\n", Top + "3 -7 2\n"}},
    {false, "Invalid map height.", {Top + "3 2 0\n"}},
    // Among them, one past the 32-bit range on either side.
    {true,
     "Failed to read from file.",
     {"", "one\nBox\ng.png\n3 2 2\n", "1x\nBox\ng.png\n3 2 2\n", "1", "1\nBox\n", Top + "3 2\n",
      Top + "3 2 -\n", Top + "3 2 2x\n", Top + "3 2147483648 2\n", Top + "3 2 -2147483649\n",
      "4294967297\nBox\ng.png\n3 2 2\n"}},
    // Last, huge counts claimed by a file holding four cells: short like any other, nothing reserved.
    {true,
     "Failed to read map layers.",
     {Sized, Sized + "0 1 2 3 4 5 6 7 8 9 10", Sized + "0 1 2 3 4 5 6 7 8 9 10 eleven",
      Sized + "0 1 2 3 4 5 6 7 8 9 10 99999999999", Sized + std::string("0 1 2 \0 4", 10),
      "1\nBig\ng.png\n1 2000000000 1\n\n0 1 2 3\n", "1\nBig\ng.png\n3 2000000000 2000000000\n\n0 1 2 3\n",
      "1\nBig\ng.png\n3 2147483647 2147483647\n"}}};

} // namespace

TEST(MapFile, SaveWritesTheUsedLayersInTheWriterLayoutAndLoadReadsThemBackInAnyWhiteSpaceLayout)
{
    TempDir dir;
    MapFile map(3, 2, 2);
    map.setName("Box");
    map.setGraphicsFileName("graphics/tiles.png");
    for (unsigned i = 0; i < 12; ++i)
    {
        map.setTile(i / 4, i % 2, i % 4 / 2, BoxCells[i]);
    }
    ASSERT_TRUE(map.isModified());
    map.save(dir.file("box.map"));
    const MapFile loaded(dir.file("box.map"));
    EXPECT_EQ(
        std::make_tuple(map.isModified(), map.getFileName(), loaded.getFileName(), dir.readFile("box.map")),
        std::make_tuple(false, dir.file("box.map"), dir.file("box.map"), BoxText));
    expectBox(loaded);

    // Only the used layers are stored, but every slot can be read.
    MapFile one(1, 3, 1);
    one.setGraphicsFileName("g.png");
    one.setTile(0, 2, 0, 7);
    one.setTile(2, 0, 0, 9);
    one.save(dir.file("one.map"));
    EXPECT_EQ(dir.readFile("one.map"), "1\n\ng.png\n1 3 1\n\n-1 -1 7 \n\n");
    EXPECT_EQ(MapFile(dir.file("one.map")).getTile(2, 0, 0), -1);

    // More layers than slots are written unchecked, and then refused on loading.
    MapFile five(5, 1, 1);
    five.setGraphicsFileName("g.png");
    five.save(dir.file("five.map"));
    EXPECT_EQ(dir.readFile("five.map"), "1\n\ng.png\n5 1 1\n\n-1 \n\n-1 \n\n-1 \n\n");
    EXPECT_TRUE(throws<MapFileException>([&] { MapFile(dir.file("five.map")); }, "Invalid layer count."));

    // CR LF and any white-space layout load like the writer's.
    std::string crlf;
    for (const char c : BoxText)
    {
        crlf += c == '\n' ? "\r\n" : std::string{c};
    }
    dir.written("crlf.map", crlf);
    expectBox(MapFile(dir.file("crlf.map")));
    // Counts split over lines, cells not one row per line, tabs, trailing text after the version.
    dir.written("loose.map", "\n 1 is the version\nBox\ngraphics/tiles.png\n3\n2\n\n   2\n"
                             "0 1 2\t3 -1 5 -1\n-1\n1 -1 -1 2");
    expectBox(MapFile(dir.file("loose.map")));
    // The twelfth cell ends the file without a line end: still complete.
    dir.written("end.map", "1\nBox\ng.png\n3 2 2\n\n0 1 2 3 4 5 6 7 8 9 10 -2147483648");
    EXPECT_EQ(MapFile(dir.file("end.map")).getTile(2, 1, 1), -2147483647 - 1);
}

TEST(MapFile, BadFilesFailWithTheMessageOfTheirFirstFaultAndFailedLoadsOrSavesKeepTheMap)
{
    TempDir dir;
    dir.written("box.map", BoxText);
    MapFile map(dir.file("box.map"));
    for (const auto& [unreadable, message, texts] : BadFiles)
    {
        for (const std::string& text : texts)
        {
            dir.written("m.map", text);
            const auto load = [&] { map.load(dir.file("m.map")); };
            EXPECT_TRUE(unreadable ? throws<IOException>(load, message)
                                   : throws<MapFileException>(load, message))
                << text;
        }
    }
    const std::string missing = dir.file("nowhere.map");
    EXPECT_TRUE(throws<FileNotFoundException>([&] { map.load(missing); }, "Couldn't load file: " + missing));
    EXPECT_TRUE(throws<FileNotFoundException>([&] { MapFile{missing}; }, "Couldn't load file: " + missing));
    EXPECT_EQ(map.getFileName(), dir.file("box.map"));
    expectBox(map);

    // Failed saves name their step and keep the map's state.
    MapFile unsaved(1, 1, 1);
    unsaved.setGraphicsFileName("g.png");
    const std::string noDir = dir.file("missing/m.map");
    EXPECT_TRUE(throws<IOException>([&] { unsaved.save(noDir); }, "Failed to create file: " + noDir));
    // /dev/full opens for writing but refuses every byte.
    EXPECT_TRUE(throws<IOException>([&] { unsaved.save("/dev/full"); }, "Failed to write headers."));
    EXPECT_TRUE(unsaved.isModified() && unsaved.getFileName().empty());
}

TEST(MapFile, RandomlyDamagedFilesLoadOrFailWithALoadMessage)
{
    std::set<std::string> loadMessages;
    for (const auto& bad : BadFiles)
    {
        loadMessages.insert(std::get<1>(bad));
    }
    const std::vector<std::string> pieces = {" ", "\n",         "\r\n",       "-", "0",
                                             "9", "2147483647", "4000000000", "x", "\t"};
    TempDir dir;
    std::mt19937 generator(20240501); // fixed, so that a failure repeats
    int loaded = 0;
    for (int round = 0; round < 1500; ++round)
    {
        dir.written("damaged.map", TestSupport::damageText(BoxText, generator, pieces));
        try
        {
            const MapFile map(dir.file("damaged.map"));
            EXPECT_TRUE(map.getLayerCount() >= 1 && map.getLayerCount() <= 3 && map.getWidth() >= 1 &&
                        map.getHeight() >= 1 && !map.getGraphicsFileName().empty());
            ++loaded;
        }
        catch (const Fernhouse::Base::Exception& e)
        {
            EXPECT_EQ(loadMessages.count(e.getMessage()), 1u) << e.getMessage();
            EXPECT_EQ(e.getFile(), "MapFile");
        }
    }
    // Some damage (a changed digit, an extra blank) is harmless; if nothing ever loads, the test is broken.
    EXPECT_GT(loaded, 0);
}

TEST(MapFile, CellAccessRefusesBadArgumentsAlsoOnAMapOfNegativeSize)
{
    MapFile map(2, 4, 3);

    for (const auto& [layer, x, y, message] :
         std::vector<std::tuple<unsigned, int, int, std::string>>{{3, -1, -1, "Layer index out of bounds."},
                                                                  {0, 4, -1, "X is out of bounds."},
                                                                  {0, -1, 0, "X is out of bounds."},
                                                                  {0, 0, -1, "Y is out of bounds."},
                                                                  {0, 0, 3, "Y is out of bounds."}})
    {
        EXPECT_TRUE(throws<ArgumentException>([&, layer = layer, x = x, y = y] { map.getTile(layer, x, y); },
                                              message));
        EXPECT_TRUE(throws<ArgumentException>(
            [&, layer = layer, x = x, y = y] { map.setTile(layer, x, y, 1); }, message));
    }
    // A negative size must not allocate or crash either.
    EXPECT_TRUE(
        throws<ArgumentException>([&] { MapFile(1, -5, 3).getTile(0, 0, 0); }, "X is out of bounds."));
}
