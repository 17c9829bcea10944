#include "engine/io/BinaryWriter.h"

#include "game/progress/Configuration.h"
#include "game/progress/HighscoreEntry.h"
#include "game/progress/HighscoreTable.h"
#include "game/progress/SafeFileWriter.h"

#include "tests/support/TempDir.h"
#include "tests/support/Throws.h"

#include <csignal>
#include <sys/resource.h>
#include <tuple>

using namespace Tarvo;
using Fernhouse::Base::IOException;
using Fernhouse::IO::KeySet;
using TestSupport::throwsWith;
using namespace std::string_literals;

namespace
{

namespace fs = std::filesystem;

// Little-endian fields built independently of the code under test, and what the game read.
struct Bytes
{
    static std::string u8(std::uint32_t v) { return std::string(1, static_cast<char>(v & 0xFFu)); }

    static std::string u16(std::uint32_t v) { return u8(v) + u8(v >> 8); }

    template <typename... V> static std::string u32(V... v)
    {
        return ((u16(std::uint32_t(v) & 0xFFFFu) + u16(std::uint32_t(v) >> 16)) + ... + std::string());
    }

    static std::string text(const std::string& v) { return u32(v.size()) + v; }

    static std::string entry(const std::string& map, std::uint32_t score, std::uint32_t length)
    {
        return text(map) + u32(score, length);
    }

    // A key record: the flag byte, three padding bytes, then left, right, up, down and the two actions.
    template <typename... V> static std::string keys(std::uint32_t buffered, V... codes)
    {
        return u8(buffered) + u8(0) + u16(0) + u32(codes...);
    }

    // A configuration file up to its unlocked list, with the default keys and flags.
    static std::string settings(std::uint32_t version = 1, std::uint32_t music = 50, std::uint32_t sound = 50)
    {
        return u32(version, music, sound) + u8(0) + keys(1, 276, 275, 273, 274, 0, 0) +
               keys(1, 'a', 'd', 'w', 's', 0, 0) + u32(0, 0);
    }

    // "music sound fullscreen | player 1 keys | player 2 keys | relative flags | unlocked keys", each key
    // set as "buffered left right up down action1 action2" in SDL key codes.
    static std::string summary(const Configuration& c)
    {
        std::ostringstream s;
        s << c.getMusicVolume() << " " << c.getSoundVolume() << " " << c.isFullscreen();
        for (const KeySet& k : {c.getPlayer1Keys(), c.getPlayer2Keys()})
        {
            s << " | " << k.buffered << " " << k.left << " " << k.right << " " << k.up << " " << k.down << " "
              << k.action1 << " " << k.action2;
        }
        s << " | " << c.getPlayer1Relative() << " " << c.getPlayer2Relative() << " |";
        for (const std::string& key : c.getUnlockedCampaigns())
        {
            s << " " << key;
        }
        return s.str();
    }

    // "map score length;" per entry, in table order.
    static std::string summary(const HighscoreTable& table)
    {
        std::string s;
        for (const HighscoreEntry* e : table.getEntries())
        {
            s += e->getMap() + " " + std::to_string(e->getScore()) + " " + std::to_string(e->getLength()) +
                 ";";
        }
        return s;
    }
};

const std::string Defaults = "50 50 0 | 1 276 275 273 274 0 0 | 1 97 100 119 115 0 0 | 0 0 |";

// The two files the game saves through SafeFileWriter (the highscores when the table ends), each with
// content that changes with the value (growing values, as the highscore keeps the best).
const std::pair<std::string, std::function<void(std::int32_t)>> Savers[] = {
    {"config.dat",
     [](std::int32_t value) {
         Configuration c;
         c.setMusicVolume(static_cast<std::uint32_t>(value));
         c.save("config.dat");
     }},
    {HighscoreTable::FileName, [](std::int32_t value) { HighscoreTable().submit("maps/m.map", value, 1); }},
};

// Every test works in a fresh working directory, where the highscore table keeps its file.
class SavedFiles : public ::testing::Test, public Bytes
{
protected:
    std::string read(const std::string& name) const { return m_dir.readFile(name); }

    void write(const std::string& name, const std::string& bytes) const { m_dir.written(name, bytes); }

    // "loaded" or the error, then the settings, after loading c.dat ("missing": none) over "old" unlocked.
    std::string load(const std::string& bytes) const
    {
        bytes == "missing" ? void(fs::remove("c.dat")) : write("c.dat", bytes);
        Configuration c;
        c.unlockCampaign("old");
        try
        {
            c.load("c.dat");
            return "loaded = " + summary(c);
        }
        catch (const Fernhouse::Base::Exception& e)
        {
            return e.getFile() + ": " + e.getMessage() + " = " + summary(c);
        }
    }

    TestSupport::TempDir m_dir;
    TestSupport::ScopedWorkingDirectory m_cwd{m_dir.path()};
};

} // namespace

TEST_F(SavedFiles, ConfigurationSavesEveryFieldAtItsOffsetAndLoadsItBack)
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
    // The empty key is not kept; the set is case-sensitive and sorted by bytes, whatever the sign of char.
    Configuration unlocked;
    for (const char* key : {"", "forest", "\xE9t\xE9", "Forest", "forest"})
    {
        unlocked.unlockCampaign(key);
    }

    const std::tuple<Configuration, std::string, std::string> cases[] = {
        {Configuration(), settings() + u16(0), Defaults},
        {edited,
         u32(1, 7, 100) + u8(1) + keys(0, 'j', 'l', 'i', 'k', ' ', 13) +
             keys(1, SDLK_KP4, SDLK_KP6, SDLK_KP8, SDLK_KP2, 0, SDLK_KP0) + u32(1, 0) + u16(2) + text("a") +
             text("b"),
         "7 100 1 | 0 106 108 105 107 32 13 | 1 260 262 264 258 0 256 | 1 0 | a b"},
        {unlocked, settings() + u16(3) + text("Forest") + text("forest") + text("\xE9t\xE9"),
         Defaults + " Forest forest \xE9t\xE9"},
    };
    for (const auto& [configuration, bytes, fields] : cases)
    {
        // Saving over a longer file leaves nothing of it behind.
        write("c.dat", std::string(500, 'x'));
        configuration.save("c.dat");
        Configuration back;
        back.load("c.dat");
        EXPECT_EQ(read("c.dat") + " = " + summary(back), bytes + " = " + fields);
    }
    // Start-up resets every setting after a bad file, but keeps what was unlocked.
    edited.setDefaults();
    EXPECT_EQ(summary(edited), Defaults + " a b");
}

TEST_F(SavedFiles, ConfigurationLoadMergesTheUnlockedKeysAndABadFileChangesOnlyWhatCameBeforeItsFault)
{
    const std::string full = u32(1, 20, 30) + u8(1) + keys(0, 'j', 'l', 'i', 'k', 0, 0) +
                             keys(0, 'f', 'h', 't', 'g', 0, 0) + u32(1, 1) + u16(2) + text("a") + text("b");
    // Codes no SDL 1.2 key has read as no key; flags other than 0 read as 1, so every reader agrees.
    const std::string junk = u32(1, 50, 50) + u8(0x80) +
                             keys(0x7F, 0xFFFFFFFF, SDLK_LAST, SDLK_LAST - 1, 'q', 0x10000, 0) +
                             keys(0, 'a', 'd', 'w', 's', 0, 0) + u32(7, 0x80000000) + u16(0);
    const std::string readFailed = "src/BinaryReader: Failed to read from Stream. = ";
    const std::string unsupported =
        "Configuration: The configuration file version is not supported. = " + Defaults + " old";

    const std::pair<std::string, std::string> cases[] = {
        {full, "loaded = 20 30 1 | 0 106 108 105 107 0 0 | 0 102 104 116 103 0 0 | 1 1 | a b old"},
        {settings(1, 101, 0) + u16(0),
         "loaded = 100 0 0 | 1 276 275 273 274 0 0 | 1 97 100 119 115 0 0 | 0 0 | old"},
        {junk, "loaded = 50 50 1 | 1 0 0 " + std::to_string(SDLK_LAST - 1) +
                   " 113 0 0 | 0 97 100 119 115 0 0 | 1 1 | old"},
        // Player 2's record starts at byte 41 and is read whole before any of it is kept.
        {full.substr(0, 51),
         readFailed + "20 30 1 | 0 106 108 105 107 0 0 | 1 97 100 119 115 0 0 | 0 0 | old"},
        {full.substr(0, full.size() - 1),
         readFailed + "20 30 1 | 0 106 108 105 107 0 0 | 0 102 104 116 103 0 0 | 1 1 | a old"},
        // A count of 65535, and a key of four gigabytes.
        {settings() + u16(0xFFFF) + text("a"), readFailed + Defaults + " a old"},
        {settings() + u16(1) + u32(0xFFFFFFFF) + u8('z'), readFailed + Defaults + " old"},
        {settings(2, 90, 90) + u16(1) + text("x"), unsupported},
        {settings(0, 90, 90) + u16(1) + text("x"), unsupported},
        {"missing", "src/FileStream: Failed to open file. = " + Defaults + " old"},
    };
    for (const auto& [bytes, result] : cases)
    {
        EXPECT_EQ(load(bytes), result);
    }
    for (std::size_t length = 0; length < full.size(); ++length)
    {
        EXPECT_EQ(load(full.substr(0, length)).substr(0, readFailed.size()), readFailed)
            << "cut at " << length;
    }
}

TEST_F(SavedFiles, HighscoresRaiseScoreAndLengthApartPerExactMapNameAndAreWrittenWhenTheTableEnds)
{
    const std::tuple<const char*, std::int32_t, std::int32_t, std::uint32_t> submissions[] = {
        {"m", 100, 10, 3},
        {"m", 90, 12, HighscoreTable::NewLength},
        {"m", 100, 12, 0},
        {"m", 101, 3, HighscoreTable::NewScore},
        // Negative values count as 0, so they never beat a stored 0.
        {"n", -50, -1, 3},
        {"n", -1, 0, 0},
        {"n", 0, 1, HighscoreTable::NewLength},
        {"M", 1, 1, 3},
    };
    {
        HighscoreTable table;
        for (const auto& [map, score, length, result] : submissions)
        {
            EXPECT_EQ(table.submit(map, score, length), result) << map << " " << score << " " << length;
        }
    }
    EXPECT_EQ(read(HighscoreTable::FileName),
              u32(3) + entry("m", 101, 12) + entry("n", 0, 1) + entry("M", 1, 1));
}

TEST_F(SavedFiles, HighscoreLoadReplacesTheEntriesAndABadFileLeavesTheTableEmptyAndTheFileAsItWas)
{
    const std::string full = u32(2) + entry("one.map", 10, 5) + entry("two.map", 20, 6);
    // A name ends at its first NUL; entries then named alike merge into the best of each.
    const std::string nul = u32(4) + entry("a.map\0x"s, 10, 1) + entry("b.map", 3, 3) + entry("a.map", 5, 7) +
                            entry("\0a.map"s, 2, 2);
    std::vector<std::pair<std::string, std::string>> cases = {
        {full, "one.map 10 5;two.map 20 6;"},
        {u32(0xFFFFFFFF) + entry("one.map", 10, 5), ""},
        {u32(1, 0xFFFFFFF0, 1, 2), ""},
        {nul, "a.map 10 7;b.map 3 3; 2 2;"},
    };
    for (std::size_t cut = 0; cut < full.size(); ++cut)
    {
        cases.emplace_back(full.substr(0, cut), "");
    }
    HighscoreTable table;
    for (const auto& [bytes, entries] : cases)
    {
        table.submit("old.map", 1, 1);
        write(HighscoreTable::FileName, bytes);
        table.load();
        EXPECT_EQ(summary(table) + " = " + read(HighscoreTable::FileName), entries + " = " + bytes);
    }
}

TEST_F(SavedFiles, FailedSaveLeavesTheOldFileWholeAndNoTemporaryFileBehind)
{
    for (const auto& [path, save] : Savers)
    {
        SCOPED_TRACE(path);
        save(1);
        const std::string old = read(path);
        // The replacement cannot be created beside the file.
        fs::create_directory(path + ".tmp");
        EXPECT_TRUE(throwsWith<IOException>([&, save = save] { save(2); }, "Failed to open file.",
                                            "src/FileStream") &&
                    read(path) == old);
        fs::remove(path + ".tmp");
        // The disk fills up: the C library reports it only when the file is closed.
        rlimit saved{};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const rlimit small{20, saved.rlim_max};
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool failed = throwsWith<IOException>([&, save = save] { save(3); }, "Failed to write buffer.",
                                                    "SafeFileWriter");
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
        EXPECT_TRUE(failed && read(path) == old && !fs::exists(path + ".tmp"));
        // A save given up before its commit takes its temporary file with it.
        SafeFileWriter(path).getWriter().writeInt32(7);
        EXPECT_TRUE(read(path) == old && !fs::exists(path + ".tmp"));
    }

    // The highscore table saves when it ends; while another exception unwinds the stack, which a second one
    // would end the program for, the failure goes to the error log.
    fs::create_directory(HighscoreTable::FileName + ".tmp"s);
    try
    {
        HighscoreTable unwinding;
        throw std::runtime_error("round failed");
    }
    catch (const std::runtime_error&)
    {
    }
    EXPECT_NE(read("ErrorLog.txt").find("Failed to open file."), std::string::npos);
}

TEST_F(SavedFiles, UnreadableFileIsKeptBesideWhenReplacedAndTheLogSaysSo)
{
    // A configuration of a newer version, and highscores cut short.
    const std::string damagedFiles[] = {u32(2, 50, 50) + u8(0), u32(3) + entry("one.map", 10, 5)};
    std::int32_t value = 1;
    for (std::size_t i = 0; i < 2; ++i)
    {
        const auto& [path, save] = Savers[i];
        write(path, damagedFiles[i]);
        save(value++);
        EXPECT_EQ(read(path + SafeFileWriter::KeptSuffix), damagedFiles[i]) << path;
        // The file in the way now loads: the copy stays as it is.
        save(value++);
        EXPECT_EQ(read(path + SafeFileWriter::KeptSuffix), damagedFiles[i]) << path;
    }
    const std::string log = read("ErrorLog.txt");
    const std::string record = " was replaced; it is kept as ";
    int records = 0;
    for (auto at = log.find(record); at != std::string::npos; at = log.find(record, at + 1))
    {
        ++records;
    }
    EXPECT_EQ(records, 2) << log;
}
