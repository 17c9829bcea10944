#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Tarvo
{

class HighscoreEntry;

// One entry per map played in a campaign, in the order the maps were first submitted, kept in
// "highscore.dat" in the working directory: read when the table is created, written when it is destroyed.
class HighscoreTable final
{
public:
    static constexpr const char* FileName = "highscore.dat";
    // Bits of submit's result.
    static constexpr std::uint32_t NewScore = 1;
    static constexpr std::uint32_t NewLength = 2;

    // Loads the file; a missing or damaged one gives an empty table.
    HighscoreTable();
    HighscoreTable(const HighscoreTable&) = delete;
    HighscoreTable& operator=(const HighscoreTable&) = delete;
    // Saves, then deletes the entries. Throws what save throws, except while another exception is
    // unwinding the stack: the error is then written to the error log instead.
    ~HighscoreTable() noexcept(false);

    // Replaces the entries with the file's. Reports nothing: a missing, short or damaged file leaves the
    // table empty. A map name ends at its first NUL byte, as the file name it stands for does; entries
    // whose names are then the same are merged, keeping the best score and the best length.
    void load();
    // Replaces the file only once the whole new one is written; a failure leaves the old file as it was.
    // A file in the way that does not load is kept as "highscore.dat.damaged". Throws IOException.
    void save() const;

    // Records a finished round; negative values count as 0. Returns NewScore and NewLength for the bests
    // it raised; both for a map not seen before.
    std::uint32_t submit(const std::string& map, std::int32_t score, std::int32_t length);

    // Owned by the table; valid until the next load or the table's end.
    const std::vector<HighscoreEntry*>& getEntries() const { return m_entries; }

private:
    void clear();
    // Appends the file's entries; throws for a missing, short or damaged file.
    static void read(std::vector<HighscoreEntry*>& entries);
    // True for a file that exists but does not load.
    static bool unreadable();

    std::vector<HighscoreEntry*> m_entries; // owned
};

} // namespace Tarvo
