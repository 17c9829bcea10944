#include "game/play/MapFile.h"

#include "engine/base/Exception.h"

#include "tests/support/TempDir.h"
#include "tests/support/TextDamage.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <random>
#include <set>

using Fernhouse::Base::ArgumentException;
using Fernhouse::Base::Exception;
using Fernhouse::Base::FileNotFoundException;
using Fernhouse::Base::IOException;
using Fernhouse::Base::MapFileException;
using Tarvo::MapFile;
using TestSupport::TempDir;

namespace
{

const std::string Tag = "MapFile";
const std::string HeaderFailed = "Failed to read from file.";
const std::string LayersFailed = "Failed to read map layers.";

template <typename E>
::testing::AssertionResult throwsWith(const std::function<void()>& call, const std::string& message)
{
    try
    {
        call();
    }
    catch (const E& e)
    {
        if (e.getMessage() != message || e.getFile() != Tag)
        {
            return ::testing::AssertionFailure() << "threw \"" << e.getMessage() << "\" from " << e.getFile();
        }
        return ::testing::AssertionSuccess();
    }
    catch (const Exception& e)
    {
        return ::testing::AssertionFailure() << "wrong type: " << e.what();
    }
    return ::testing::AssertionFailure() << "nothing thrown";
}

// Loads the text as a map file and expects exactly this exception.
template <typename E>::testing::AssertionResult loadFails(const std::string& text, const std::string& message)
{
    TempDir dir;
    dir.writeFile("m.map", text);
    MapFile map;
    return throwsWith<E>([&] { map.load(dir.file("m.map")); }, message);
}

// 3 layers of 2 x 2: the layout the writer produces.
const std::string BoxText = "1\nBox\ngraphics/tiles.png\n3 2 2\n\n"
                            "0 1 \n2 3 \n\n"
                            "-1 5 \n-1 -1 \n\n"
                            "1 -1 \n-1 2 \n\n";

void expectBoxCells(const MapFile& map)
{
    EXPECT_EQ(map.getLayerCount(), 3);
    EXPECT_EQ(map.getWidth(), 2);
    EXPECT_EQ(map.getHeight(), 2);
    const int expected[3][2][2] = {{{0, 1}, {2, 3}}, {{-1, 5}, {-1, -1}}, {{1, -1}, {-1, 2}}};
    for (unsigned layer = 0; layer < 3; ++layer)
    {
        for (int y = 0; y < 2; ++y)
        {
            for (int x = 0; x < 2; ++x)
            {
                EXPECT_EQ(map.getTile(layer, x, y), expected[layer][y][x]) << layer << " " << x << " " << y;
            }
        }
    }
}

} // namespace

TEST(MapFile, BuiltMapsStartEmptyAndUnmodified)
{
    const MapFile empty;
    EXPECT_EQ(empty.getLayerCount(), 0);
    EXPECT_EQ(empty.getWidth(), 0);
    EXPECT_EQ(empty.getHeight(), 0);
    EXPECT_TRUE(empty.getName().empty());
    EXPECT_TRUE(empty.getFileName().empty());
    EXPECT_FALSE(empty.isModified());

    const MapFile sized(3, 40, 30);
    EXPECT_FALSE(sized.isModified());
    for (unsigned layer = 0; layer < MapFile::LayerSlots; ++layer)
    {
        for (int y = 0; y < 30; ++y)
        {
            for (int x = 0; x < 40; ++x)
            {
                ASSERT_EQ(sized.getTile(layer, x, y), -1);
            }
        }
    }

    // No range checks on construction, but a negative size must not allocate or crash either.
    const MapFile negative(1, -5, 3);
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { negative.getTile(0, 0, 0); }, "X is out of bounds."));
}

TEST(MapFile, SaveThenLoadKeepsEverythingInTheWriterLayout)
{
    TempDir dir;
    MapFile map(3, 2, 2);
    map.setName("Box");
    map.setGraphicsFileName("graphics/tiles.png");
    const int cells[3][4] = {{0, 1, 2, 3}, {-1, 5, -1, -1}, {1, -1, -1, 2}};
    for (unsigned layer = 0; layer < 3; ++layer)
    {
        for (int i = 0; i < 4; ++i)
        {
            map.setTile(layer, i % 2, i / 2, cells[layer][i]);
        }
    }
    ASSERT_TRUE(map.isModified());

    map.save(dir.file("box.map"));
    EXPECT_FALSE(map.isModified());
    EXPECT_EQ(map.getFileName(), dir.file("box.map"));
    EXPECT_EQ(dir.readFile("box.map"), BoxText);

    const MapFile loaded(dir.file("box.map"));
    EXPECT_EQ(loaded.getName(), "Box");
    EXPECT_EQ(loaded.getGraphicsFileName(), "graphics/tiles.png");
    EXPECT_EQ(loaded.getFileName(), dir.file("box.map"));
    EXPECT_FALSE(loaded.isModified());
    expectBoxCells(loaded);
}

TEST(MapFile, OnlyTheUsedLayersAreStoredButEverySlotCanBeRead)
{
    TempDir dir;
    MapFile map(1, 3, 1);
    map.setGraphicsFileName("g.png");
    map.setTile(0, 2, 0, 7);
    map.setTile(2, 0, 0, 9); // never reaches the file
    map.save(dir.file("one.map"));
    EXPECT_EQ(dir.readFile("one.map"), "1\n\ng.png\n1 3 1\n\n-1 -1 7 \n\n");

    const MapFile loaded(dir.file("one.map"));
    EXPECT_EQ(loaded.getName(), "");
    EXPECT_EQ(loaded.getTile(0, 2, 0), 7);
    EXPECT_EQ(loaded.getTile(2, 0, 0), -1);
}

TEST(MapFile, CrLfAndAnyWhiteSpaceLayoutLoadLikeTheCanonicalFile)
{
    TempDir dir;
    std::string crlf;
    for (char c : BoxText)
    {
        if (c == '\n')
        {
            crlf += '\r';
        }
        crlf += c;
    }
    dir.writeFile("crlf.map", crlf);
    const MapFile fromCrLf(dir.file("crlf.map"));
    EXPECT_EQ(fromCrLf.getName(), "Box");
    EXPECT_EQ(fromCrLf.getGraphicsFileName(), "graphics/tiles.png");
    expectBoxCells(fromCrLf);

    // Counts split over lines, cells not one row per line, tabs, trailing text after the version.
    dir.writeFile("loose.map", "\n 1 is the version\nBox\ngraphics/tiles.png\n3\n2\n\n   2\n"
                               "0 1 2\t3 -1 5 -1\n-1\n1 -1 -1 2");
    const MapFile loose(dir.file("loose.map"));
    EXPECT_EQ(loose.getName(), "Box");
    expectBoxCells(loose);
}

TEST(MapFile, HeaderChecksRunInOrderWithTheirMessages)
{
    // The version is judged before the title is even read.
    EXPECT_TRUE(loadFails<MapFileException>("2\n", "Unsupported map file version."));
    EXPECT_TRUE(loadFails<MapFileException>("-1\nBox\ng.png\n3 2 2\n", "Unsupported map file version."));
    // Image path, then layer count, then width, then height: each message wins over the later ones.
    EXPECT_TRUE(loadFails<MapFileException>("1\nBox\n\n0 0 0\n", "No graphics file name was supplied."));
    EXPECT_TRUE(loadFails<MapFileException>("1\nBox\ng.png\n0 0 0\n", "Invalid layer count."));
    EXPECT_TRUE(loadFails<MapFileException>("1\nBox\ng.png\n4 2 2\n", "Invalid layer count."));
    EXPECT_TRUE(loadFails<MapFileException>("1\nBox\ng.png\n-2147483648 2 2\n", "Invalid layer count."));
    EXPECT_TRUE(loadFails<MapFileException>("1\nBox\ng.png\n3 0 0\n", "Invalid map width."));
    EXPECT_TRUE(loadFails<MapFileException>("1\nBox\ng.png\n3 -7 2\n", "Invalid map width."));
    EXPECT_TRUE(loadFails<MapFileException>("1\nBox\ng.png\n3 2 0\n", "Invalid map height."));
}

TEST(MapFile, UnreadableHeadersFailWithReadError)
{
    EXPECT_TRUE(loadFails<IOException>("", HeaderFailed));
    EXPECT_TRUE(loadFails<IOException>("one\nBox\ng.png\n3 2 2\n", HeaderFailed));
    EXPECT_TRUE(loadFails<IOException>("1x\nBox\ng.png\n3 2 2\n", HeaderFailed));
    EXPECT_TRUE(loadFails<IOException>("1", HeaderFailed));
    EXPECT_TRUE(loadFails<IOException>("1\nBox\n", HeaderFailed));
    EXPECT_TRUE(loadFails<IOException>("1\nBox\ng.png\n3 2\n", HeaderFailed));
    EXPECT_TRUE(loadFails<IOException>("1\nBox\ng.png\n3 2 -\n", HeaderFailed));
    EXPECT_TRUE(loadFails<IOException>("1\nBox\ng.png\n3 2 2x\n", HeaderFailed));
    // One past the 32-bit range on either side.
    EXPECT_TRUE(loadFails<IOException>("1\nBox\ng.png\n3 2147483648 2\n", HeaderFailed));
    EXPECT_TRUE(loadFails<IOException>("1\nBox\ng.png\n3 2 -2147483649\n", HeaderFailed));
    EXPECT_TRUE(loadFails<IOException>("4294967297\nBox\ng.png\n3 2 2\n", HeaderFailed));
}

TEST(MapFile, ShortOrDamagedCellsFailWithLayerReadError)
{
    const std::string header = "1\nBox\ng.png\n3 2 2\n\n";
    EXPECT_TRUE(loadFails<IOException>(header, LayersFailed));
    // Eleven of twelve cells.
    EXPECT_TRUE(loadFails<IOException>(header + "0 1 2 3 4 5 6 7 8 9 10", LayersFailed));
    EXPECT_TRUE(loadFails<IOException>(header + "0 1 2 3 4 5 6 7 8 9 10 eleven", LayersFailed));
    EXPECT_TRUE(loadFails<IOException>(header + "0 1 2 3 4 5 6 7 8 9 10 99999999999", LayersFailed));
    EXPECT_TRUE(loadFails<IOException>(header + std::string("0 1 2 \0 4", 10), LayersFailed));
    // The twelfth cell ends the file without a line end: still complete.
    TempDir dir;
    dir.writeFile("m.map", header + "0 1 2 3 4 5 6 7 8 9 10 -2147483648");
    EXPECT_EQ(MapFile(dir.file("m.map")).getTile(2, 1, 1), -2147483647 - 1);
}

TEST(MapFile, AbsurdCountsFailQuicklyWithoutReservingTheirSize)
{
    const auto start = std::chrono::steady_clock::now();
    // 2e9 cells, or 3 x 4e18 cells, claimed by a file holding four: as short as any other file.
    EXPECT_TRUE(loadFails<IOException>("1\nBig\ng.png\n1 2000000000 1\n\n0 1 2 3\n", LayersFailed));
    EXPECT_TRUE(loadFails<IOException>("1\nBig\ng.png\n3 2000000000 2000000000\n\n0 1 2 3\n", LayersFailed));
    EXPECT_TRUE(loadFails<IOException>("1\nBig\ng.png\n3 2147483647 2147483647\n", LayersFailed));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(MapFile, MissingFileOrFailedLoadThrowsAndKeepsTheOldMap)
{
    TempDir dir;
    const std::string missing = dir.file("nowhere.map");
    EXPECT_TRUE(
        throwsWith<FileNotFoundException>([&] { MapFile map(missing); }, "Couldn't load file: " + missing));

    dir.writeFile("box.map", BoxText);
    MapFile map(dir.file("box.map"));
    EXPECT_TRUE(
        throwsWith<FileNotFoundException>([&] { map.load(missing); }, "Couldn't load file: " + missing));
    dir.writeFile("short.map", "1\nOther\ng.png\n1 9 9\n\n5 5 5\n");
    EXPECT_TRUE(throwsWith<IOException>([&] { map.load(dir.file("short.map")); }, LayersFailed));
    EXPECT_EQ(map.getName(), "Box");
    EXPECT_EQ(map.getFileName(), dir.file("box.map"));
    expectBoxCells(map);
}

TEST(MapFile, CellAccessChecksLayerThenXThenY)
{
    MapFile map(2, 4, 3);
    EXPECT_EQ(map.getTile(2, 3, 2), -1); // the third slot exists whatever the layer count
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { map.getTile(3, -1, -1); }, "Layer index out of bounds."));
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { map.getTile(0, 4, -1); }, "X is out of bounds."));
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { map.getTile(0, -1, 0); }, "X is out of bounds."));
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { map.getTile(0, 0, -1); }, "Y is out of bounds."));
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { map.getTile(0, 0, 3); }, "Y is out of bounds."));
    EXPECT_TRUE(
        throwsWith<ArgumentException>([&] { map.setTile(3, 0, 0, 1); }, "Layer index out of bounds."));
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { map.setTile(0, 4, 0, 1); }, "X is out of bounds."));
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { map.setTile(0, 0, 3, 1); }, "Y is out of bounds."));
    EXPECT_FALSE(map.isModified());
}

TEST(MapFile, SettersMarkOnlyRealChangesAndRejectBadSizes)
{
    MapFile map(3, 2, 2);
    map.setTile(1, 1, 1, -1);
    map.setLayerCount(3);
    map.setWidth(2);
    map.setHeight(2);
    EXPECT_FALSE(map.isModified());
    MapFile named(1, 1, 1);
    named.setName(""); // names count as changes even when the text is the same
    EXPECT_TRUE(named.isModified());

    EXPECT_TRUE(throwsWith<ArgumentException>([&] { map.setLayerCount(4); }, "Invalid layer count."));
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { map.setLayerCount(-1); }, "Invalid layer count."));
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { map.setWidth(-1); }, "Invalid map width."));
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { map.setHeight(-1); }, "Invalid map height."));
    EXPECT_FALSE(map.isModified());
    EXPECT_EQ(map.getWidth(), 2);

    map.setLayerCount(0);
    EXPECT_EQ(map.getLayerCount(), 0);
    EXPECT_TRUE(map.isModified());

    // Cells keep their indices: (1, 0) at index 1 reads back as (1, 0) in the wider row.
    map.setTile(0, 1, 0, 8);
    map.setTile(0, 1, 1, 9);
    map.setWidth(3);
    EXPECT_EQ(map.getTile(0, 1, 0), 8);
    EXPECT_EQ(map.getTile(0, 0, 1), 9);
    map.setHeight(4);
    EXPECT_EQ(map.getTile(0, 2, 3), -1);
    EXPECT_EQ(map.getTile(2, 2, 3), -1);

    map.setWidth(0);
    EXPECT_EQ(map.getWidth(), 0);
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { map.getTile(0, 0, 0); }, "X is out of bounds."));
}

TEST(MapFile, SaveFailuresNameTheirStepAndKeepTheMapState)
{
    TempDir dir;
    MapFile map(1, 1, 1);
    map.setGraphicsFileName("g.png");
    const std::string noDir = dir.file("missing/m.map");
    EXPECT_TRUE(throwsWith<IOException>([&] { map.save(noDir); }, "Failed to create file: " + noDir));
    // /dev/full opens for writing but refuses every byte.
    EXPECT_TRUE(throwsWith<IOException>([&] { map.save("/dev/full"); }, "Failed to write headers."));
    EXPECT_TRUE(map.isModified());
    EXPECT_TRUE(map.getFileName().empty());
}

TEST(MapFile, SavingUncheckedCountsWritesThemUnchangedAndTheyFailToLoad)
{
    TempDir dir;
    MapFile map(5, 1, 1); // more layers than slots: only the slots can be written
    map.setGraphicsFileName("g.png");
    map.save(dir.file("five.map"));
    EXPECT_EQ(dir.readFile("five.map"), "1\n\ng.png\n5 1 1\n\n-1 \n\n-1 \n\n-1 \n\n");
    EXPECT_TRUE(
        throwsWith<MapFileException>([&] { MapFile loaded(dir.file("five.map")); }, "Invalid layer count."));
}

TEST(MapFile, RandomlyDamagedFilesLoadOrFailWithALoadMessage)
{
    const std::set<std::string> loadMessages = {HeaderFailed,
                                                LayersFailed,
                                                "Unsupported map file version.",
                                                "No graphics file name was supplied.",
                                                "Invalid layer count.",
                                                "Invalid map width.",
                                                "Invalid map height."};
    const std::vector<std::string> pieces = {" ", "\n",         "\r\n",       "-", "0",
                                             "9", "2147483647", "4000000000", "x", "\t"};
    TempDir dir;
    const std::string path = dir.file("damaged.map");
    std::mt19937 generator(20240501); // fixed, so that a failure repeats
    int loaded = 0;
    for (int round = 0; round < 1500; ++round)
    {
        const std::string text = TestSupport::damageText(BoxText, generator, pieces);
        dir.writeFile("damaged.map", text);
        try
        {
            const MapFile map(path);
            EXPECT_GE(map.getLayerCount(), 1);
            EXPECT_LE(map.getLayerCount(), 3);
            EXPECT_GE(map.getWidth(), 1);
            EXPECT_GE(map.getHeight(), 1);
            EXPECT_FALSE(map.getGraphicsFileName().empty());
            ++loaded;
        }
        catch (const Exception& e)
        {
            EXPECT_EQ(loadMessages.count(e.getMessage()), 1u) << e.getMessage();
            EXPECT_EQ(e.getFile(), Tag);
        }
    }
    // Some damage (a changed digit, an extra blank) is harmless; if nothing ever loads, the test is broken.
    EXPECT_GT(loaded, 0);
}
