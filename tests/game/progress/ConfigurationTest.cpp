#include "game/progress/Configuration.h"

#include "engine/base/Exception.h"

#include "game/progress/ConfigurationException.h"

#include "tests/game/progress/FileBytes.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

using Fernhouse::IO::KeySet;
using Tarvo::Configuration;

namespace
{

// "music sound fullscreen | player 1 keys | player 2 keys | relative flags | unlocked keys", each key set
// as "buffered left right up down action1 action2" in SDL key codes.
const std::string Defaults = "50 50 0 | 1 276 275 273 274 0 0 | 1 97 100 119 115 0 0 | 0 0 |";
const std::string ReadFailed = "src/BinaryReader: Failed to read from Stream.";

std::string summary(const Configuration& c)
{
    std::string s = std::to_string(c.getMusicVolume()) + " " + std::to_string(c.getSoundVolume()) + " " +
                    (c.isFullscreen() ? "1" : "0");
    for (const KeySet& k : {c.getPlayer1Keys(), c.getPlayer2Keys()})
    {
        s += k.buffered ? " | 1" : " | 0";
        for (const SDLKey key : {k.left, k.right, k.up, k.down, k.action1, k.action2})
        {
            s += " " + std::to_string(key);
        }
    }
    s += " | " + std::to_string(c.getPlayer1Relative()) + " " + std::to_string(c.getPlayer2Relative()) + " |";
    for (const std::string& key : c.getUnlockedCampaigns())
    {
        s += " " + key;
    }
    return s;
}

// The flag byte, three padding bytes, then left, right, up, down and the two actions.
FileBytes& keys(FileBytes& b, std::uint32_t buffered, std::initializer_list<std::uint32_t> codes)
{
    b.u8(buffered).u8(0).u8(0).u8(0);
    for (const std::uint32_t code : codes)
    {
        b.u32(code);
    }
    return b;
}

// Everything before the unlocked list, with default keys and flags.
FileBytes settings(std::uint32_t version = 1, std::uint32_t music = 50, std::uint32_t sound = 50)
{
    FileBytes b;
    b.u32(version).u32(music).u32(sound).u8(0);
    keys(keys(b, 1, {276, 275, 273, 274, 0, 0}), 1, {'a', 'd', 'w', 's', 0, 0});
    return b.u32(0).u32(0);
}

// What the file does to a configuration that had "old" unlocked: "loaded", or the error's file and message.
std::string load(const TestSupport::TempDir& dir, const std::string* bytes, Configuration& c)
{
    if (bytes != nullptr)
    {
        dir.writeFile("c.dat", *bytes);
    }
    c.unlockCampaign("old");
    try
    {
        c.load(dir.file("c.dat"));
        return "loaded";
    }
    catch (const Tarvo::ConfigurationException& e)
    {
        return "version " + e.getFile() + ": " + e.getMessage();
    }
    catch (const Fernhouse::Base::IOException& e)
    {
        return e.getFile() + ": " + e.getMessage();
    }
}

} // namespace

TEST(Configuration, SavedBytesFollowTheLayoutAndLoadBackToTheSameSettings)
{
    Configuration edited;
    edited.setMusicVolume(7);
    edited.setSoundVolume(101);
    edited.setFullscreen(true);
    edited.setPlayer1Keys(KeySet{false, SDLK_j, SDLK_l, SDLK_i, SDLK_k, SDLK_SPACE, SDLK_RETURN});
    edited.setPlayer2Keys(KeySet{true, SDLK_KP4, SDLK_KP6, SDLK_KP8, SDLK_KP2, SDLK_UNKNOWN, SDLK_KP0});
    edited.setPlayer1Relative(1);
    edited.unlockCampaign("b");
    edited.unlockCampaign("a");
    FileBytes editedBytes;
    editedBytes.u32(1).u32(7).u32(100).u8(1);
    keys(keys(editedBytes, 0, {'j', 'l', 'i', 'k', ' ', 13}), 1,
         {SDLK_KP4, SDLK_KP6, SDLK_KP8, SDLK_KP2, 0, SDLK_KP0});
    editedBytes.u32(1).u32(0).u16(2).text("a").text("b");

    // The empty key locks nothing; the set is case-sensitive and sorted by bytes, whatever the sign of char.
    Configuration unlocked;
    for (const char* key : {"", "forest", "\xE9t\xE9", "Forest", "forest"})
    {
        unlocked.unlockCampaign(key);
    }
    EXPECT_TRUE(unlocked.isCampaignUnlocked("") && unlocked.isCampaignUnlocked("Forest"));
    EXPECT_FALSE(unlocked.isCampaignUnlocked("FOREST") || unlocked.isCampaignUnlocked("fores"));

    const struct
    {
        Configuration configuration;
        std::string bytes, summary;
    } cases[] = {
        {Configuration(), settings().u16(0).bytes(), Defaults},
        {edited, editedBytes.bytes(),
         "7 100 1 | 0 106 108 105 107 32 13 | 1 260 262 264 258 0 256 | 1 0 | a b"},
        {unlocked, settings().u16(3).text("Forest").text("forest").text("\xE9t\xE9").bytes(),
         Defaults + " Forest forest \xE9t\xE9"},
    };

    TestSupport::TempDir dir;
    for (const auto& c : cases)
    {
        // Saving over a longer file leaves nothing of it behind.
        dir.writeFile("c.dat", std::string(500, 'x'));
        c.configuration.save(dir.file("c.dat"));
        EXPECT_EQ(dir.readFile("c.dat"), c.bytes) << c.summary;
        EXPECT_EQ(summary(c.configuration), c.summary);
        Configuration back;
        back.load(dir.file("c.dat"));
        EXPECT_EQ(summary(back), c.summary);
    }
    EXPECT_EQ(settings().u16(0).bytes().size(), 79u);

    // Start-up resets every setting after a bad file, but keeps what was unlocked.
    edited.setDefaults();
    EXPECT_EQ(summary(edited), Defaults + " a b");
}

TEST(Configuration, LoadMergesTheUnlockedKeysAndABadFileChangesOnlyWhatCameBeforeItsFault)
{
    FileBytes full;
    full.u32(1).u32(20).u32(30).u8(1);
    keys(keys(full, 0, {'j', 'l', 'i', 'k', 0, 0}), 0, {'f', 'h', 't', 'g', 0, 0});
    full.u32(1).u32(1).u16(2).text("a").text("b");
    const std::string unsupported = "version Configuration: The configuration file version is not supported.";
    // Codes no SDL 1.2 key has read as no key; flags other than 0 read as 1, so every reader agrees.
    FileBytes junk;
    junk.u32(1).u32(50).u32(50).u8(0x80);
    keys(keys(junk, 0x7F, {0xFFFFFFFF, SDLK_LAST, SDLK_LAST - 1, 'q', 0x10000, 0}), 0,
         {'a', 'd', 'w', 's', 0, 0});
    junk.u32(7).u32(0x80000000).u16(0);

    const struct
    {
        const char* behaviour;
        std::string bytes, result, summary;
    } cases[] = {
        {"every field", full.bytes(), "loaded",
         "20 30 1 | 0 106 108 105 107 0 0 | 0 102 104 116 103 0 0 | 1 1 | a b old"},
        {"loud volumes", settings(1, 101, 0).u16(0).bytes(), "loaded",
         "100 0 0 | 1 276 275 273 274 0 0 | 1 97 100 119 115 0 0 | 0 0 | old"},
        {"unsorted keys", settings().u16(4).text("b").text("a").text("").text("a").bytes(), "loaded",
         Defaults + " a b old"},
        {"junk codes", junk.bytes(), "loaded",
         "50 50 1 | 1 0 0 " + std::to_string(SDLK_LAST - 1) + " 113 0 0 | 0 97 100 119 115 0 0 | 1 1 | old"},
        // Player 2's record starts at byte 41 and is read whole before any of it is kept.
        {"cut in player 2's keys", full.bytes().substr(0, 51), ReadFailed,
         "20 30 1 | 0 106 108 105 107 0 0 | 1 97 100 119 115 0 0 | 0 0 | old"},
        {"cut in the list", full.bytes().substr(0, full.bytes().size() - 1), ReadFailed,
         "20 30 1 | 0 106 108 105 107 0 0 | 0 102 104 116 103 0 0 | 1 1 | a old"},
        {"a count of 65535", settings().u16(0xFFFF).text("a").bytes(), ReadFailed, Defaults + " a old"},
        {"a key of four gigabytes", settings().u16(1).u32(0xFFFFFFFF).u8('z').bytes(), ReadFailed,
         Defaults + " old"},
        {"version 2", settings(2, 90, 90).u16(1).text("x").bytes(), unsupported, Defaults + " old"},
        {"version 0", settings(0, 90, 90).u16(1).text("x").bytes(), unsupported, Defaults + " old"},
        {"version -1", settings(0xFFFFFFFF, 90, 90).u16(1).text("x").bytes(), unsupported, Defaults + " old"},
    };

    TestSupport::TempDir dir;
    for (const auto& c : cases)
    {
        Configuration loaded;
        EXPECT_EQ(load(dir, &c.bytes, loaded), c.result) << c.behaviour;
        EXPECT_EQ(summary(loaded), c.summary) << c.behaviour;
    }
    for (std::size_t length = 0; length < full.bytes().size(); ++length)
    {
        const std::string cut = full.bytes().substr(0, length);
        Configuration loaded;
        EXPECT_EQ(load(dir, &cut, loaded), ReadFailed) << "cut at " << length;
    }
    std::filesystem::remove(dir.file("c.dat"));
    Configuration missing;
    EXPECT_EQ(load(dir, nullptr, missing), "src/FileStream: Failed to open file.");
    EXPECT_EQ(summary(missing), Defaults + " old");
}
