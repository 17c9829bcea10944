#include "game/progress/Configuration.h"

#include "engine/base/Exception.h"

#include "game/progress/ConfigurationException.h"

#include "tests/support/TempDir.h"
#include "tests/support/Throws.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <sys/resource.h>

using Fernhouse::Base::Exception;
using Fernhouse::Base::IOException;
using Fernhouse::IO::KeySet;
using Tarvo::Configuration;
using Tarvo::ConfigurationException;
using TestSupport::TempDir;

namespace
{

// "music sound fullscreen | player 1 keys | player 2 keys | relative flags | unlocked keys", each key set
// as "buffered left right up down action1 action2" in SDL key codes.
const std::string Defaults = "50 50 0 | 1 276 275 273 274 0 0 | 1 97 100 119 115 0 0 | 0 0 |";

// The file as the layout describes it, built independently of the code under test.
class Bytes
{
public:
    Bytes& u8(unsigned value)
    {
        m_bytes.push_back(static_cast<char>(value));
        return *this;
    }

    Bytes& u16(unsigned value) { return u8(value & 0xFF).u8(value >> 8); }

    Bytes& u32(std::uint32_t value) { return u16(value & 0xFFFF).u16(value >> 16); }

    Bytes& str(const std::string& value)
    {
        u32(static_cast<std::uint32_t>(value.size()));
        m_bytes += value;
        return *this;
    }

    // A key record with its three padding bytes.
    Bytes& keys(unsigned buffered, std::uint32_t left, std::uint32_t right, std::uint32_t up,
                std::uint32_t down, std::uint32_t action1, std::uint32_t action2)
    {
        return u8(buffered).u8(0).u8(0).u8(0).u32(left).u32(right).u32(up).u32(down).u32(action1).u32(
            action2);
    }

    // Everything before the unlocked list, all defaults.
    static Bytes defaults()
    {
        Bytes b;
        b.u32(1).u32(50).u32(50).u8(0);
        b.keys(1, 276, 275, 273, 274, 0, 0).keys(1, 'a', 'd', 'w', 's', 0, 0);
        return b.u32(0).u32(0);
    }

    std::string cut(std::size_t length) const { return m_bytes.substr(0, length); }

    const std::string& str() const { return m_bytes; }

private:
    std::string m_bytes;
};

std::string summary(const KeySet& k)
{
    std::string s = k.buffered ? "1" : "0";
    for (const SDLKey key : {k.left, k.right, k.up, k.down, k.action1, k.action2})
    {
        s += " " + std::to_string(key);
    }
    return s;
}

std::string summary(const Configuration& c)
{
    std::string s = std::to_string(c.getMusicVolume()) + " " + std::to_string(c.getSoundVolume()) + " " +
                    (c.isFullscreen() ? "1" : "0") + " | " + summary(c.getPlayer1Keys()) + " | " +
                    summary(c.getPlayer2Keys()) + " | " + std::to_string(c.getPlayer1Relative()) + " " +
                    std::to_string(c.getPlayer2Relative()) + " |";
    for (const std::string& key : c.getUnlockedCampaigns())
    {
        s += " " + key;
    }
    return s;
}

using TestSupport::throwsWith;

::testing::AssertionResult failsToRead(Configuration& c, const std::string& path)
{
    return throwsWith<IOException>([&] { c.load(path); }, "Failed to read from Stream.", "src/BinaryReader");
}

// A configuration that differs from the defaults in every field.
Configuration edited()
{
    Configuration c;
    c.setMusicVolume(7);
    c.setSoundVolume(100);
    c.setFullscreen(true);
    c.setPlayer1Keys(KeySet{false, SDLK_j, SDLK_l, SDLK_i, SDLK_k, SDLK_SPACE, SDLK_RETURN});
    c.setPlayer2Keys(KeySet{true, SDLK_KP4, SDLK_KP6, SDLK_KP8, SDLK_KP2, SDLK_UNKNOWN, SDLK_KP0});
    c.setPlayer1Relative(1);
    c.unlockCampaign("b");
    c.unlockCampaign("a");
    return c;
}

const std::string Edited = "7 100 1 | 0 106 108 105 107 32 13 | 1 260 262 264 258 0 256 | 1 0 | a b";

} // namespace

TEST(Configuration, DefaultsAreArrowKeysAndWasdAtHalfVolumeAndResettingKeepsTheUnlockedSet)
{
    EXPECT_EQ(summary(Configuration()), Defaults);
    Configuration c = edited();
    EXPECT_EQ(summary(c), Edited);
    c.setDefaults();
    EXPECT_EQ(summary(c), Defaults + " a b");
}

TEST(Configuration, VolumesAboveOneHundredAreStoredAsOneHundred)
{
    Configuration c;
    c.setMusicVolume(101);
    c.setSoundVolume(0xFFFFFFFF);
    EXPECT_EQ(c.getMusicVolume(), 100u);
    EXPECT_EQ(c.getSoundVolume(), 100u);

    TempDir dir;
    dir.writeFile("c.dat", Bytes().u32(1).u32(250).u32(0).str() + Bytes::defaults().str().substr(12) +
                               Bytes().u16(0).str());
    c.load(dir.file("c.dat"));
    EXPECT_EQ(c.getMusicVolume(), 100u);
    EXPECT_EQ(c.getSoundVolume(), 0u);
}

TEST(Configuration, UnlockedKeysFormAByteSortedSetWhereTheEmptyKeyLocksNothing)
{
    Configuration c;
    EXPECT_TRUE(c.isCampaignUnlocked(""));
    c.unlockCampaign("");
    c.unlockCampaign("forest");
    c.unlockCampaign("\xE9t\xE9");
    c.unlockCampaign("Forest");
    c.unlockCampaign("forest");
    EXPECT_EQ(c.getUnlockedCampaigns().size(), 3u);
    EXPECT_TRUE(c.isCampaignUnlocked("Forest"));
    EXPECT_FALSE(c.isCampaignUnlocked("FOREST"));
    EXPECT_FALSE(c.isCampaignUnlocked("fores"));
    // Byte order puts 0xE9 after every ASCII letter, whatever the sign of char.
    TempDir dir;
    c.save(dir.file("c.dat"));
    EXPECT_EQ(dir.readFile("c.dat"),
              Bytes::defaults().u16(3).str("Forest").str("forest").str("\xE9t\xE9").str());

    // Stored keys b, a, "" and a load as {a, b} and are written back in order.
    dir.writeFile("c.dat", Bytes::defaults().u16(4).str("b").str("a").str("").str("a").str());
    Configuration loaded;
    loaded.load(dir.file("c.dat"));
    EXPECT_EQ(summary(loaded), Defaults + " a b");
    loaded.save(dir.file("c.dat"));
    EXPECT_EQ(dir.readFile("c.dat"), Bytes::defaults().u16(2).str("a").str("b").str());
}

TEST(Configuration, SaveWritesEveryFieldAtItsOffsetAndLoadReadsItBack)
{
    TempDir dir;
    Configuration().save(dir.file("defaults.dat"));
    EXPECT_EQ(dir.readFile("defaults.dat").size(), 79u);
    EXPECT_EQ(dir.readFile("defaults.dat"), Bytes::defaults().u16(0).str());

    // Saving over a longer file leaves nothing of it behind.
    dir.writeFile("edited.dat", std::string(500, 'x'));
    edited().save(dir.file("edited.dat"));
    Bytes expected;
    expected.u32(1).u32(7).u32(100).u8(1);
    expected.keys(0, 'j', 'l', 'i', 'k', ' ', 13);
    expected.keys(1, SDLK_KP4, SDLK_KP6, SDLK_KP8, SDLK_KP2, 0, SDLK_KP0);
    expected.u32(1).u32(0).u16(2).str("a").str("b");
    EXPECT_EQ(dir.readFile("edited.dat"), expected.str());

    // Loading merges the unlocked keys into those already there.
    Configuration loaded;
    loaded.unlockCampaign("kept");
    loaded.load(dir.file("edited.dat"));
    EXPECT_EQ(summary(loaded), Edited + " kept");
}

TEST(Configuration, MissingFileOrUnsupportedVersionChangesNothing)
{
    TempDir dir;
    Configuration c;
    EXPECT_TRUE(throwsWith<IOException>([&] { c.load(dir.file("config.dat")); }, "Failed to open file.",
                                        "src/FileStream"));
    EXPECT_EQ(summary(c), Defaults);

    for (std::uint32_t version : {2u, 0u, 0xFFFFFFFFu})
    {
        Bytes b;
        b.u32(version).u32(90).u32(90).u8(1);
        dir.writeFile("c.dat", b.str() + Bytes::defaults().str().substr(13) + Bytes().u16(1).str("x").str());
        EXPECT_TRUE(throwsWith<ConfigurationException>([&] { c.load(dir.file("c.dat")); },
                                                       "The configuration file version is not supported.",
                                                       "Configuration"));
        EXPECT_EQ(summary(c), Defaults);
    }
}

TEST(Configuration, FileCutShortKeepsTheFieldsReadBeforeTheCut)
{
    TempDir dir;
    Bytes full;
    full.u32(1).u32(20).u32(30).u8(1);
    full.keys(0, 'j', 'l', 'i', 'k', 0, 0);
    full.keys(0, 'f', 'h', 't', 'g', 0, 0);
    full.u32(1).u32(1).u16(2).str("a").str("b");

    // Inside player 2's record, which starts at byte 41: that record and all after it stay untouched.
    dir.writeFile("c.dat", full.cut(41 + 10));
    Configuration c;
    c.unlockCampaign("old");
    EXPECT_TRUE(failsToRead(c, dir.file("c.dat")));
    EXPECT_EQ(summary(c), "20 30 1 | 0 106 108 105 107 0 0 | 1 97 100 119 115 0 0 | 0 0 | old");
    // Start-up then resets every setting, the unlocked set kept.
    c.setDefaults();
    EXPECT_EQ(summary(c), Defaults + " old");

    // Inside the list: the keys before the cut are unlocked.
    dir.writeFile("c.dat", full.cut(full.str().size() - 1));
    Configuration listed;
    EXPECT_TRUE(failsToRead(listed, dir.file("c.dat")));
    EXPECT_EQ(summary(listed), "20 30 1 | 0 106 108 105 107 0 0 | 0 102 104 116 103 0 0 | 1 1 | a");

    for (std::size_t length = 0; length < full.str().size(); ++length)
    {
        dir.writeFile("c.dat", full.cut(length));
        Configuration any;
        EXPECT_TRUE(failsToRead(any, dir.file("c.dat"))) << "cut at " << length;
    }
}

TEST(Configuration, JunkCountsLengthsAndKeyCodesNeitherExhaustMemoryNorBecomeKeys)
{
    TempDir dir;
    // A count of 65535 with one key present, and a key that claims four gigabytes.
    dir.writeFile("count.dat", Bytes::defaults().u16(0xFFFF).str("a").str());
    dir.writeFile("length.dat", Bytes::defaults().u16(1).u32(0xFFFFFFFF).u8('z').str());
    Configuration c;
    EXPECT_TRUE(failsToRead(c, dir.file("count.dat")));
    EXPECT_TRUE(failsToRead(c, dir.file("length.dat")));

    // Codes no SDL 1.2 key has read as no key; flags other than 0 count as set and read back as 1, so
    // that every reader of the steering flag agrees.
    Bytes b;
    b.u32(1).u32(50).u32(50).u8(0x80);
    b.keys(0x7F, 0xFFFFFFFF, SDLK_LAST, SDLK_LAST - 1, 'q', 0x10000, 0);
    b.keys(0, 'a', 'd', 'w', 's', 0, 0).u32(7).u32(0x80000000).u16(0);
    dir.writeFile("codes.dat", b.str());
    c.load(dir.file("codes.dat"));
    EXPECT_EQ(summary(c), "50 50 1 | 1 0 0 " + std::to_string(SDLK_LAST - 1) +
                              " 113 0 0 | 0 97 100 119 115 0 0 | 1 1 | a");
}

TEST(Configuration, FailedSaveLeavesTheOldFileWhole)
{
    TempDir dir;
    const std::string path = dir.file("config.dat");
    edited().save(path);
    const std::string before = dir.readFile("config.dat");

    // A directory that does not exist, or a file standing where the directory should be.
    dir.writeFile("plain", "x");
    for (const char* name : {"none/config.dat", "plain/config.dat"})
    {
        EXPECT_TRUE(throwsWith<IOException>([&] { Configuration().save(dir.file(name)); },
                                            "Failed to open file.", "src/FileStream"));
    }

    // The replacement cannot be created beside the file.
    std::filesystem::create_directory(path + ".tmp");
    EXPECT_TRUE(throwsWith<IOException>([&] { Configuration().save(path); }, "Failed to open file.",
                                        "src/FileStream"));
    EXPECT_EQ(dir.readFile("config.dat"), before);
    std::filesystem::remove(path + ".tmp");

    // The disk fills up: the C library reports it only when the file is closed.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 40;
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool failed = throwsWith<IOException>([&] { Configuration().save(path); },
                                                "Failed to write buffer.", "SafeFileWriter");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(failed);
    EXPECT_EQ(dir.readFile("config.dat"), before);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

    Configuration().save(path);
    EXPECT_EQ(dir.readFile("config.dat").size(), 79u);
}

TEST(Configuration, FileThatDoesNotLoadIsKeptBesideWhenReplacedAndTheLogSaysSo)
{
    TempDir dir;
    TestSupport::ScopedWorkingDirectory cwd(dir.path());
    const std::string path = "config.dat";
    const std::string kept = path + ".damaged";
    // Written by a newer version, then one cut short: each is kept in turn, the newest copy winning.
    const std::string newer =
        Bytes().u32(2).str() + Bytes::defaults().str().substr(4) + Bytes().u16(1).str("x").str();
    const std::string cut = Bytes::defaults().cut(20);
    for (const std::string& damaged : {newer, cut})
    {
        dir.writeFile(path, damaged);
        Configuration c;
        EXPECT_THROW(c.load(path), Exception);
        c.save(path);
        EXPECT_EQ(dir.readFile(kept), damaged);
        EXPECT_NO_THROW(Configuration().load(path));
        // The file in the way now loads: the copy stays as it is.
        c.save(path);
        EXPECT_EQ(dir.readFile(kept), damaged);
    }
    const std::string log = dir.readFile("ErrorLog.txt");
    std::size_t records = 0;
    for (std::size_t at = log.find(kept); at != std::string::npos; at = log.find(kept, at + 1))
    {
        ++records;
    }
    EXPECT_EQ(records, 2u) << log;

    // A missing file leaves nothing to keep.
    std::filesystem::remove(kept);
    std::filesystem::remove(path);
    Configuration().save(path);
    EXPECT_FALSE(std::filesystem::exists(kept));
}
