#include "game/progress/Configuration.h"

#include "engine/base/Exception.h"
#include "engine/io/BinaryReader.h"
#include "engine/io/BinaryWriter.h"

#include "game/progress/ConfigurationException.h"
#include "game/progress/SafeFileWriter.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <limits>
#include <system_error>

namespace Tarvo
{

namespace
{

constexpr const char* SourceTag = "Configuration";

using Fernhouse::IO::BinaryReader;
using Fernhouse::IO::BinaryWriter;
using Fernhouse::IO::KeySet;

constexpr unsigned BitsPerByte = 8;
constexpr std::uint32_t ByteMask = 0xFFu;
constexpr std::size_t KeyBytes = 4;
// The flag byte and its three padding bytes.
constexpr std::size_t FirstKeyOffset = 4;
constexpr std::size_t KeyCount = 6;
static_assert(FirstKeyOffset + KeyCount * KeyBytes == Configuration::KeySetBytes);

using KeyRecord = std::array<std::uint8_t, Configuration::KeySetBytes>;

KeySet makeKeys(SDLKey left, SDLKey right, SDLKey up, SDLKey down)
{
    KeySet keys;
    keys.buffered = true;
    keys.left = left;
    keys.right = right;
    keys.up = up;
    keys.down = down;
    return keys;
}

std::array<SDLKey*, KeyCount> keyFields(KeySet& keys)
{
    return {&keys.left, &keys.right, &keys.up, &keys.down, &keys.action1, &keys.action2};
}

// SDL 1.2 has no key at or above SDLK_LAST; such a code in a damaged file means no key, and kept as it is it
// would not even be a valid SDLKey value.
SDLKey toKey(std::uint32_t code)
{
    return code < static_cast<std::uint32_t>(SDLK_LAST) ? static_cast<SDLKey>(code) : SDLK_UNKNOWN;
}

// A whole record is read before any of it is stored, so a file cut off inside it leaves the keys untouched.
KeySet readKeys(BinaryReader& reader)
{
    KeyRecord record{};
    reader.read(record.data(), Configuration::KeySetBytes);
    KeySet keys;
    keys.buffered = record[0] != 0;
    std::size_t offset = FirstKeyOffset;
    for (SDLKey* key : keyFields(keys))
    {
        std::uint32_t code = 0;
        for (std::size_t i = KeyBytes; i-- > 0;)
        {
            code = (code << BitsPerByte) | record[offset + i];
        }
        *key = toKey(code);
        offset += KeyBytes;
    }
    return keys;
}

// The padding bytes are written as zeros.
void writeKeys(BinaryWriter& writer, const KeySet& keys)
{
    const std::array<SDLKey, KeyCount> codes{keys.left, keys.right,   keys.up,
                                             keys.down, keys.action1, keys.action2};
    KeyRecord record{};
    record[0] = keys.buffered ? 1 : 0;
    std::size_t offset = FirstKeyOffset;
    for (const SDLKey key : codes)
    {
        const auto code = static_cast<std::uint32_t>(key);
        for (std::size_t i = 0; i < KeyBytes; ++i)
        {
            record[offset + i] = static_cast<std::uint8_t>((code >> (BitsPerByte * i)) & ByteMask);
        }
        offset += KeyBytes;
    }
    writer.write(record.data(), Configuration::KeySetBytes);
}

// A file that exists but does not load: damaged, or written by a newer version.
bool unreadable(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
    {
        return false;
    }
    try
    {
        Configuration().load(path);
        return false;
    }
    catch (const Fernhouse::Base::Exception&)
    {
        return true;
    }
}

} // namespace

Configuration::Configuration()
{
    setDefaults();
}

void Configuration::setDefaults()
{
    m_musicVolume = DefaultVolume;
    m_soundVolume = DefaultVolume;
    m_fullscreen = false;
    m_player1Keys = makeKeys(SDLK_LEFT, SDLK_RIGHT, SDLK_UP, SDLK_DOWN);
    m_player2Keys = makeKeys(SDLK_a, SDLK_d, SDLK_w, SDLK_s);
    m_player1Relative = 0;
    m_player2Relative = 0;
}

void Configuration::setMusicVolume(std::uint32_t musicVolume)
{
    m_musicVolume = std::min(musicVolume, MaxVolume);
}

void Configuration::setSoundVolume(std::uint32_t soundVolume)
{
    m_soundVolume = std::min(soundVolume, MaxVolume);
}

void Configuration::unlockCampaign(const std::string& key)
{
    if (!key.empty())
    {
        m_unlockedCampaigns.insert(key);
    }
}

bool Configuration::isCampaignUnlocked(const std::string& key) const
{
    return key.empty() || m_unlockedCampaigns.count(key) != 0;
}

void Configuration::load(const std::string& path)
{
    BinaryReader reader(path);
    if (reader.readInt32() != Version)
    {
        FH_THROW(ConfigurationException, "The configuration file version is not supported.");
    }
    setMusicVolume(reader.readUInt32());
    setSoundVolume(reader.readUInt32());
    m_fullscreen = reader.readInt8() != 0;
    m_player1Keys = readKeys(reader);
    m_player2Keys = readKeys(reader);
    // A flag: any other value than 0 or 1 would be read as on by some users and as off by others.
    m_player1Relative = reader.readUInt32() != 0 ? 1 : 0;
    m_player2Relative = reader.readUInt32() != 0 ? 1 : 0;
    // Each key needs at least its four length bytes, so a damaged count ends at the end of the file.
    const std::uint16_t count = reader.readUInt16();
    for (std::uint16_t i = 0; i < count; ++i)
    {
        unlockCampaign(reader.readString());
    }
}

void Configuration::save(const std::string& path) const
{
    // A larger set would be written with a wrapped count and read back as a different one.
    if (m_unlockedCampaigns.size() > std::numeric_limits<std::uint16_t>::max())
    {
        FH_THROW(Fernhouse::Base::IOException, "Failed to write buffer.");
    }
    SafeFileWriter file(path, unreadable(path));
    BinaryWriter& writer = file.getWriter();
    writer.writeInt32(Version);
    writer.writeUInt32(m_musicVolume);
    writer.writeUInt32(m_soundVolume);
    writer.writeInt8(m_fullscreen ? 1 : 0);
    writeKeys(writer, m_player1Keys);
    writeKeys(writer, m_player2Keys);
    writer.writeUInt32(m_player1Relative);
    writer.writeUInt32(m_player2Relative);
    writer.writeUInt16(static_cast<std::uint16_t>(m_unlockedCampaigns.size()));
    for (const std::string& key : m_unlockedCampaigns)
    {
        writer.writeString(key);
    }
    file.commit();
}

} // namespace Tarvo
