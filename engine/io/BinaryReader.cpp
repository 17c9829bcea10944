#include "engine/io/BinaryReader.h"

#include "engine/base/Exception.h"
#include "engine/io/FileStream.h"

#include <algorithm>
#include <array>
#include <vector>

namespace Fernhouse::IO
{

namespace
{

constexpr const char* SourceTag = "src/BinaryReader";
constexpr unsigned BitsPerByte = 8;
// Strings are read in pieces of this many bytes, so memory grows only with bytes actually present.
constexpr std::uint32_t StringChunk = 64 * 1024;

} // namespace

BinaryReader::BinaryReader(const std::string& path) : m_stream(new FileStream(path, FileStream::ModeRead))
{
}

BinaryReader::BinaryReader(Stream* stream) : m_stream(stream)
{
    if (stream == nullptr)
    {
        FH_THROW(Base::ArgumentException, "Stream cannot be null.");
    }
    if (!stream->canRead())
    {
        // A constructor that throws runs no destructor, so the caller keeps the stream.
        FH_THROW(Base::ArgumentException, "Stream is not opened for reading.");
    }
}

BinaryReader::~BinaryReader()
{
    delete m_stream;
}

void BinaryReader::read(void* buffer, int size)
{
    if (m_stream->read(buffer, size) < size)
    {
        FH_THROW(Base::IOException, "Failed to read from Stream.");
    }
}

std::uint32_t BinaryReader::readLittleEndian(int bytes)
{
    std::array<std::uint8_t, sizeof(std::uint32_t)> encoded{};
    read(encoded.data(), bytes);
    std::uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
    {
        value = (value << BitsPerByte) | encoded[static_cast<std::size_t>(i)];
    }
    return value;
}

std::int8_t BinaryReader::readInt8()
{
    return static_cast<std::int8_t>(readLittleEndian(sizeof(std::int8_t)));
}

std::int16_t BinaryReader::readInt16()
{
    return static_cast<std::int16_t>(readLittleEndian(sizeof(std::int16_t)));
}

std::uint16_t BinaryReader::readUInt16()
{
    return static_cast<std::uint16_t>(readLittleEndian(sizeof(std::uint16_t)));
}

std::int32_t BinaryReader::readInt32()
{
    return static_cast<std::int32_t>(readLittleEndian(sizeof(std::int32_t)));
}

std::uint32_t BinaryReader::readUInt32()
{
    return readLittleEndian(sizeof(std::uint32_t));
}

std::string BinaryReader::readString()
{
    std::uint32_t remaining = readUInt32();
    std::string bytes;
    std::vector<char> chunk(std::min(remaining, StringChunk));
    while (remaining > 0)
    {
        const std::uint32_t piece = std::min(remaining, StringChunk);
        read(chunk.data(), static_cast<int>(piece));
        bytes.append(chunk.data(), piece);
        remaining -= piece;
    }
    const std::size_t end = bytes.find('\0');
    if (end != std::string::npos)
    {
        bytes.resize(end);
    }
    return bytes;
}

} // namespace Fernhouse::IO
