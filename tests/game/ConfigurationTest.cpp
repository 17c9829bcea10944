#include "game/Configuration.h"

#include "engine/base/Exception.h"

#include "game/ConfigurationException.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <set>
#include <sys/resource.h>

using Fernhouse::Base::Exception;
using Fernhouse::Base::IOException;
using Fernhouse::IO::KeySet;
using Tarvo::Configuration;
using Tarvo::ConfigurationException;
using TestSupport::TempDir;

namespace
{

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

    Bytes& keys(unsigned buffered, std::uint32_t left, std::uint32_t right, std::uint32_t up,
                std::uint32_t down, std::uint32_t action1, std::uint32_t action2)
    {
        return u8(buffered).u8(0).u8(0).u8(0).u32(left).u32(right).u32(up).u32(down).u32(action1).u32(
            action2);
    }

    // Everything but the unlocked list, all defaults, version 1.
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

KeySet keySet(bool buffered, SDLKey left, SDLKey right, SDLKey up, SDLKey down, SDLKey action1,
              SDLKey action2)
{
    KeySet keys;
    keys.buffered = buffered;
    keys.left = left;
    keys.right = right;
    keys.up = up;
    keys.down = down;
    keys.action1 = action1;
    keys.action2 = action2;
    return keys;
}

::testing::AssertionResult sameKeys(const KeySet& a, const KeySet& b)
{
    if (a.buffered == b.buffered && a.left == b.left && a.right == b.right && a.up == b.up &&
        a.down == b.down && a.action1 == b.action1 && a.action2 == b.action2)
    {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "key sets differ: " << a.buffered << " " << a.left << " " << a.right << " " << a.up << " "
           << a.down << " " << a.action1 << " " << a.action2 << " vs " << b.buffered << " " << b.left << " "
           << b.right << " " << b.up << " " << b.down << " " << b.action1 << " " << b.action2;
}

// Asserts that the call throws exactly type E with the message and the source tag.
template <typename E>
::testing::AssertionResult throwsWith(const std::function<void()>& call, const std::string& message,
                                      const std::string& file)
{
    try
    {
        call();
    }
    catch (const E& e)
    {
        if (e.getMessage() != message || e.getFile() != file)
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

// A configuration that differs from the defaults in every field.
Configuration edited()
{
    Configuration c;
    c.setMusicVolume(7);
    c.setSoundVolume(100);
    c.setFullscreen(true);
    c.setPlayer1Keys(keySet(false, SDLK_j, SDLK_l, SDLK_i, SDLK_k, SDLK_SPACE, SDLK_RETURN));
    c.setPlayer2Keys(keySet(true, SDLK_KP4, SDLK_KP6, SDLK_KP8, SDLK_KP2, SDLK_UNKNOWN, SDLK_KP0));
    c.setPlayer1Relative(1);
    c.setPlayer2Relative(0);
    c.unlockCampaign("b");
    c.unlockCampaign("a");
    return c;
}

::testing::AssertionResult sameSettings(const Configuration& a, const Configuration& b)
{
    if (a.getMusicVolume() != b.getMusicVolume() || a.getSoundVolume() != b.getSoundVolume() ||
        a.isFullscreen() != b.isFullscreen() || a.getPlayer1Relative() != b.getPlayer1Relative() ||
        a.getPlayer2Relative() != b.getPlayer2Relative() ||
        a.getUnlockedCampaigns() != b.getUnlockedCampaigns())
    {
        return ::testing::AssertionFailure() << "settings differ";
    }
    const auto keys1 = sameKeys(a.getPlayer1Keys(), b.getPlayer1Keys());
    return keys1 ? sameKeys(a.getPlayer2Keys(), b.getPlayer2Keys()) : keys1;
}

} // namespace

TEST(Configuration, StartsWithArrowKeysAndWasdAtHalfVolumeWindowedAndNothingUnlocked)
{
    Configuration c;
    EXPECT_EQ(c.getMusicVolume(), 50u);
    EXPECT_EQ(c.getSoundVolume(), 50u);
    EXPECT_FALSE(c.isFullscreen());
    EXPECT_TRUE(sameKeys(c.getPlayer1Keys(), keySet(true, SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN,
                                                    SDLK_UNKNOWN, SDLK_UNKNOWN)));
    EXPECT_TRUE(sameKeys(c.getPlayer2Keys(),
                         keySet(true, SDLK_a, SDLK_d, SDLK_w, SDLK_s, SDLK_UNKNOWN, SDLK_UNKNOWN)));
    EXPECT_EQ(c.getPlayer1Relative(), 0u);
    EXPECT_EQ(c.getPlayer2Relative(), 0u);
    EXPECT_TRUE(c.getUnlockedCampaigns().empty());

    // Resetting restores every setting but keeps what was unlocked.
    Configuration e = edited();
    e.setDefaults();
    Configuration expected;
    expected.unlockCampaign("a");
    expected.unlockCampaign("b");
    EXPECT_TRUE(sameSettings(e, expected));
}

TEST(Configuration, VolumesAboveOneHundredAreStoredAsOneHundred)
{
    TempDir dir;
    Configuration c;
    c.setMusicVolume(101);
    c.setSoundVolume(0xFFFFFFFF);
    EXPECT_EQ(c.getMusicVolume(), 100u);
    EXPECT_EQ(c.getSoundVolume(), 100u);
    c.setSoundVolume(0);
    EXPECT_EQ(c.getSoundVolume(), 0u);

    Bytes b = Bytes::defaults();
    dir.writeFile("c.dat",
                  Bytes().u32(1).u32(250).u32(100).str() + b.str().substr(12) + Bytes().u16(0).str());
    Configuration loaded;
    loaded.load(dir.file("c.dat"));
    EXPECT_EQ(loaded.getMusicVolume(), 100u);
    EXPECT_EQ(loaded.getSoundVolume(), 100u);
}

TEST(Configuration, UnlockedKeysFormAByteSortedSetAndTheEmptyKeyLocksNothing)
{
    Configuration c;
    EXPECT_TRUE(c.isCampaignUnlocked(""));
    EXPECT_FALSE(c.isCampaignUnlocked("forest"));
    c.unlockCampaign("");
    c.unlockCampaign("forest");
    c.unlockCampaign("\xE9t\xE9");
    c.unlockCampaign("Forest");
    c.unlockCampaign("forest");
    EXPECT_EQ(c.getUnlockedCampaigns(), (std::set<std::string>{"Forest", "forest", "\xE9t\xE9"}));
    EXPECT_TRUE(c.isCampaignUnlocked("forest"));
    EXPECT_TRUE(c.isCampaignUnlocked("Forest"));
    EXPECT_FALSE(c.isCampaignUnlocked("FOREST"));
    EXPECT_FALSE(c.isCampaignUnlocked("fores"));

    // Byte order puts 0xE9 after every ASCII letter, whatever the sign of char.
    TempDir dir;
    c.save(dir.file("c.dat"));
    EXPECT_EQ(dir.readFile("c.dat"),
              Bytes::defaults().u16(3).str("Forest").str("forest").str("\xE9t\xE9").str());
}

TEST(Configuration, SaveWritesEveryFieldAtItsOffset)
{
    TempDir dir;
    Configuration().save(dir.file("defaults.dat"));
    const std::string defaults = dir.readFile("defaults.dat");
    EXPECT_EQ(defaults.size(), 79u);
    EXPECT_EQ(defaults, Bytes::defaults().u16(0).str());

    edited().save(dir.file("edited.dat"));
    Bytes expected;
    expected.u32(1).u32(7).u32(100).u8(1);
    expected.keys(0, 'j', 'l', 'i', 'k', ' ', 13);
    expected.keys(1, SDLK_KP4, SDLK_KP6, SDLK_KP8, SDLK_KP2, 0, SDLK_KP0);
    expected.u32(1).u32(0).u16(2).str("a").str("b");
    EXPECT_EQ(dir.readFile("edited.dat"), expected.str());
}

TEST(Configuration, LoadRestoresWhatSaveWroteAndMergesTheUnlockedKeys)
{
    TempDir dir;
    edited().save(dir.file("c.dat"));
    Configuration loaded;
    loaded.unlockCampaign("kept");
    loaded.load(dir.file("c.dat"));
    Configuration expected = edited();
    expected.unlockCampaign("kept");
    EXPECT_TRUE(sameSettings(loaded, expected));

    // A save replaces a longer file completely, with nothing left over from it.
    dir.writeFile("long.dat", std::string(500, 'x'));
    Configuration().save(dir.file("long.dat"));
    EXPECT_EQ(dir.readFile("long.dat"), Bytes::defaults().u16(0).str());
}

TEST(Configuration, DuplicateAndEmptyStoredKeysCollapseIntoTheSortedSet)
{
    TempDir dir;
    dir.writeFile("c.dat", Bytes::defaults().u16(4).str("b").str("a").str("").str("a").str());
    Configuration c;
    c.load(dir.file("c.dat"));
    EXPECT_EQ(c.getUnlockedCampaigns(), (std::set<std::string>{"a", "b"}));
    c.save(dir.file("c.dat"));
    EXPECT_EQ(dir.readFile("c.dat"), Bytes::defaults().u16(2).str("a").str("b").str());
}

TEST(Configuration, UnsupportedVersionIsRejectedBeforeAnythingElseIsRead)
{
    TempDir dir;
    for (std::uint32_t version : {2u, 0u, 0xFFFFFFFFu})
    {
        Bytes b;
        b.u32(version).u32(90).u32(90).u8(1);
        dir.writeFile("c.dat", b.str() + Bytes::defaults().str().substr(13) + Bytes().u16(1).str("x").str());
        Configuration c;
        EXPECT_TRUE(throwsWith<ConfigurationException>([&] { c.load(dir.file("c.dat")); },
                                                       "The configuration file version is not supported.",
                                                       "Configuration"));
        EXPECT_TRUE(sameSettings(c, Configuration()));
    }
}

TEST(Configuration, MissingFileFailsToOpenAndChangesNothing)
{
    TempDir dir;
    Configuration c = edited();
    EXPECT_TRUE(throwsWith<IOException>([&] { c.load(dir.file("config.dat")); }, "Failed to open file.",
                                        "src/FileStream"));
    EXPECT_TRUE(sameSettings(c, edited()));
}

TEST(Configuration, FileCutShortKeepsTheFieldsReadBeforeTheCut)
{
    TempDir dir;
    Bytes full;
    full.u32(1).u32(20).u32(30).u8(1);
    full.keys(0, 'j', 'l', 'i', 'k', 0, 0);
    full.keys(0, 'f', 'h', 't', 'g', 0, 0);
    full.u32(1).u32(1).u16(2).str("a").str("b");

    // Inside player 2's record: volumes, fullscreen and player 1's keys are the file's, the rest untouched.
    dir.writeFile("c.dat", full.cut(41 + 10));
    Configuration c;
    c.unlockCampaign("old");
    EXPECT_TRUE(throwsWith<IOException>([&] { c.load(dir.file("c.dat")); }, "Failed to read from Stream.",
                                        "src/BinaryReader"));
    EXPECT_EQ(c.getMusicVolume(), 20u);
    EXPECT_EQ(c.getSoundVolume(), 30u);
    EXPECT_TRUE(c.isFullscreen());
    EXPECT_TRUE(sameKeys(c.getPlayer1Keys(),
                         keySet(false, SDLK_j, SDLK_l, SDLK_i, SDLK_k, SDLK_UNKNOWN, SDLK_UNKNOWN)));
    EXPECT_TRUE(sameKeys(c.getPlayer2Keys(), Configuration().getPlayer2Keys()));
    EXPECT_EQ(c.getPlayer1Relative(), 0u);
    // What start-up does next: every setting back to its default, the unlocked set kept.
    c.setDefaults();
    Configuration expected;
    expected.unlockCampaign("old");
    EXPECT_TRUE(sameSettings(c, expected));

    // Inside the list: the keys read before the cut are unlocked.
    dir.writeFile("c.dat", full.cut(full.str().size() - 1));
    Configuration listed;
    EXPECT_TRUE(throwsWith<IOException>([&] { listed.load(dir.file("c.dat")); },
                                        "Failed to read from Stream.", "src/BinaryReader"));
    EXPECT_EQ(listed.getUnlockedCampaigns(), (std::set<std::string>{"a"}));
    EXPECT_EQ(listed.getPlayer2Relative(), 1u);

    // Every shorter cut throws the reader's error, never anything else.
    for (std::size_t length = 0; length < full.str().size(); ++length)
    {
        dir.writeFile("c.dat", full.cut(length));
        Configuration any;
        EXPECT_TRUE(throwsWith<IOException>([&] { any.load(dir.file("c.dat")); },
                                            "Failed to read from Stream.", "src/BinaryReader"))
            << "cut at " << length;
    }
}

TEST(Configuration, JunkCountsLengthsAndKeyCodesNeitherExhaustMemoryNorBecomeKeys)
{
    TempDir dir;
    // A count of 65535 with one key present, and a key that claims four gigabytes.
    dir.writeFile("count.dat", Bytes::defaults().u16(0xFFFF).str("a").str());
    dir.writeFile("length.dat", Bytes::defaults().u16(1).u32(0xFFFFFFFF).u8('z').str());
    for (const char* name : {"count.dat", "length.dat"})
    {
        Configuration c;
        EXPECT_TRUE(throwsWith<IOException>([&] { c.load(dir.file(name)); }, "Failed to read from Stream.",
                                            "src/BinaryReader"))
            << name;
    }

    // Codes no SDL 1.2 key has read as no key; flag bytes other than 0 count as set.
    Bytes b;
    b.u32(1).u32(50).u32(50).u8(0x80);
    b.keys(0x7F, 0xFFFFFFFF, SDLK_LAST, SDLK_LAST - 1, 'q', 0x10000, 0);
    b.keys(0, 'a', 'd', 'w', 's', 0, 0).u32(0).u32(0).u16(0);
    dir.writeFile("codes.dat", b.str());
    Configuration c;
    c.load(dir.file("codes.dat"));
    EXPECT_TRUE(c.isFullscreen());
    EXPECT_TRUE(sameKeys(c.getPlayer1Keys(),
                         keySet(true, SDLK_UNKNOWN, SDLK_UNKNOWN, static_cast<SDLKey>(SDLK_LAST - 1), SDLK_q,
                                SDLK_UNKNOWN, SDLK_UNKNOWN)));
}

TEST(Configuration, FailedSaveLeavesTheOldFileWhole)
{
    TempDir dir;
    const std::string path = dir.file("config.dat");
    edited().save(path);
    const std::string before = dir.readFile("config.dat");

    // A directory that does not exist, or a file standing where the directory should be.
    dir.writeFile("plain", "x");
    EXPECT_TRUE(throwsWith<IOException>([&] { Configuration().save(dir.file("none/config.dat")); },
                                        "Failed to open file.", "src/FileStream"));
    EXPECT_TRUE(throwsWith<IOException>([&] { Configuration().save(dir.file("plain/config.dat")); },
                                        "Failed to open file.", "src/FileStream"));

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

    // And once the disk has room again, the save goes through.
    Configuration().save(path);
    EXPECT_EQ(dir.readFile("config.dat").size(), 79u);
}
