#include "engine/base/Exception.h"

#include "game/progress/HighscoreEntry.h"
#include "game/progress/HighscoreTable.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <tuple>
#include <unistd.h>
#include <vector>

#include "fuzz/FuzzInput.h"

namespace
{

using Entries = std::vector<std::tuple<std::string, std::uint32_t, std::uint32_t>>;

Entries entriesOf(const Tarvo::HighscoreTable& table)
{
    Entries entries;
    for (const Tarvo::HighscoreEntry* entry : table.getEntries())
    {
        entries.emplace_back(entry->getMap(), entry->getScore(), entry->getLength());
    }
    return entries;
}

} // namespace

// The table keeps its file in the working folder: the fuzzer works in its own.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    return chdir(TarvoFuzz::FuzzInput::folder().c_str());
}

// Every input loads (a damaged one as an empty table), and what loads survives the save the table makes
// when it ends and a second load unchanged.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TarvoFuzz::FuzzInput::write(Tarvo::HighscoreTable::FileName, data, size);
    // Each damaged input is kept and logged when replaced; the log would only grow.
    std::remove("ErrorLog.txt");
    Entries loaded;
    {
        Tarvo::HighscoreTable table;
        loaded = entriesOf(table);
    }
    Tarvo::HighscoreTable reread;
    if (entriesOf(reread) != loaded)
    {
        TarvoFuzz::FuzzInput::fail("highscores changed on their way through save and load");
    }
    return 0;
}
