#include "game/progress/HighscoreTable.h"

#include "engine/base/ErrorLog.h"
#include "engine/base/Exception.h"
#include "engine/io/BinaryReader.h"
#include "engine/io/BinaryWriter.h"
#include "engine/io/Stream.h"

#include "game/progress/HighscoreEntry.h"
#include "game/progress/SafeFileWriter.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <string>
#include <system_error>
#include <unordered_map>

namespace Tarvo
{

namespace
{

constexpr const char* SourceTag = "HighscoreTable";

// The smallest entry: an empty map name's length word, the score and the length.
constexpr std::uint32_t MinimumEntryBytes = 12;

std::uint32_t notNegative(std::int32_t value)
{
    return static_cast<std::uint32_t>(std::max(value, 0));
}

} // namespace

HighscoreTable::HighscoreTable()
{
    load();
}

HighscoreTable::~HighscoreTable() noexcept(false)
{
    const bool unwinding = std::uncaught_exceptions() > 0;
    try
    {
        save();
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        clear();
        // A second exception in flight would end the program on the spot.
        if (unwinding)
        {
            Fernhouse::Base::ErrorLog::write(e);
            return;
        }
        throw;
    }
    clear();
}

void HighscoreTable::load()
{
    clear();
    try
    {
        read(m_entries);
    }
    catch (const Fernhouse::Base::Exception&)
    {
        // The file is damaged or missing: the table starts empty, and the next save writes a sound one.
        clear();
    }
}

void HighscoreTable::read(std::vector<HighscoreEntry*>& entries)
{
    Fernhouse::IO::BinaryReader reader(FileName);
    Fernhouse::IO::Stream* stream = reader.getStream();
    const std::uint32_t count = reader.readUInt32();
    const auto bytesLeft =
        static_cast<std::uint32_t>(std::max(stream->getLength() - stream->getPosition(), 0));
    // A damaged count would run out of bytes anyway; stopping here spares reading up to it.
    if (count > bytesLeft / MinimumEntryBytes)
    {
        FH_THROW(Fernhouse::Base::IOException, "Failed to read from Stream.");
    }
    std::unordered_map<std::string, HighscoreEntry*> byMap;
    for (std::uint32_t i = 0; i < count; ++i)
    {
        std::string map = reader.readString();
        map.resize(std::min(map.find('\0'), map.size()));
        const std::uint32_t score = reader.readUInt32();
        const std::uint32_t length = reader.readUInt32();
        HighscoreEntry*& entry = byMap[map];
        if (entry == nullptr)
        {
            entry = new HighscoreEntry(map, score, length);
            entries.push_back(entry);
        }
        else
        {
            entry->setScore(std::max(entry->getScore(), score));
            entry->setLength(std::max(entry->getLength(), length));
        }
    }
}

bool HighscoreTable::unreadable()
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(FileName, error))
    {
        return false;
    }
    std::vector<HighscoreEntry*> entries;
    bool damaged = false;
    try
    {
        read(entries);
    }
    catch (const Fernhouse::Base::Exception&)
    {
        damaged = true;
    }
    for (HighscoreEntry* entry : entries)
    {
        delete entry;
    }
    return damaged;
}

void HighscoreTable::save() const
{
    SafeFileWriter file(FileName, unreadable());
    Fernhouse::IO::BinaryWriter& writer = file.getWriter();
    writer.writeUInt32(static_cast<std::uint32_t>(m_entries.size()));
    for (const HighscoreEntry* entry : m_entries)
    {
        writer.writeString(entry->getMap());
        writer.writeUInt32(entry->getScore());
        writer.writeUInt32(entry->getLength());
    }
    file.commit();
}

std::uint32_t HighscoreTable::submit(const std::string& map, std::int32_t score, std::int32_t length)
{
    const std::uint32_t newScore = notNegative(score);
    const std::uint32_t newLength = notNegative(length);
    for (HighscoreEntry* entry : m_entries)
    {
        if (entry->getMap() != map)
        {
            continue;
        }
        std::uint32_t result = 0;
        if (newScore > entry->getScore())
        {
            entry->setScore(newScore);
            result |= NewScore;
        }
        if (newLength > entry->getLength())
        {
            entry->setLength(newLength);
            result |= NewLength;
        }
        return result;
    }
    m_entries.push_back(new HighscoreEntry(map, newScore, newLength));
    return NewScore | NewLength;
}

void HighscoreTable::clear()
{
    for (HighscoreEntry* entry : m_entries)
    {
        delete entry;
    }
    m_entries.clear();
}

} // namespace Tarvo
