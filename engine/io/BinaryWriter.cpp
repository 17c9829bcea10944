#include "engine/io/BinaryWriter.h"

#include "engine/base/Exception.h"
#include "engine/io/FileStream.h"

#include <array>
#include <limits>

namespace Fernhouse::IO
{

namespace
{

constexpr const char* SourceTag = "src/BinaryWriter";
constexpr unsigned BitsPerByte = 8;
constexpr std::uint32_t ByteMask = 0xFFu;

} // namespace

BinaryWriter::BinaryWriter(const std::string& path) : m_stream(new FileStream(path, FileStream::ModeWrite))
{
}

BinaryWriter::BinaryWriter(Stream* stream) : m_stream(stream)
{
    if (stream == nullptr)
    {
        FH_THROW(Base::ArgumentException, "Stream cannot be null.");
    }
    if (!stream->canWrite())
    {
        // A constructor that throws runs no destructor, so the caller keeps the stream.
        FH_THROW(Base::ArgumentException, "Stream is not opened for writing.");
    }
}

BinaryWriter::~BinaryWriter()
{
    delete m_stream;
}

void BinaryWriter::write(const void* buffer, int size)
{
    if (m_stream->write(buffer, size) < size)
    {
        FH_THROW(Base::IOException, "Failed to write buffer.");
    }
}

void BinaryWriter::writeLittleEndian(std::uint32_t value, int bytes)
{
    std::array<std::uint8_t, sizeof(std::uint32_t)> encoded{};
    for (int i = 0; i < bytes; ++i)
    {
        encoded[static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>((value >> (BitsPerByte * static_cast<unsigned>(i))) & ByteMask);
    }
    write(encoded.data(), bytes);
}

void BinaryWriter::writeInt8(std::int8_t value)
{
    writeLittleEndian(static_cast<std::uint8_t>(value), sizeof(value));
}

void BinaryWriter::writeInt16(std::int16_t value)
{
    writeLittleEndian(static_cast<std::uint16_t>(value), sizeof(value));
}

void BinaryWriter::writeUInt16(std::uint16_t value)
{
    writeLittleEndian(value, sizeof(value));
}

void BinaryWriter::writeInt32(std::int32_t value)
{
    writeLittleEndian(static_cast<std::uint32_t>(value), sizeof(value));
}

void BinaryWriter::writeUInt32(std::uint32_t value)
{
    writeLittleEndian(value, sizeof(value));
}

void BinaryWriter::writeString(const std::string& value)
{
    if (value.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
    {
        FH_THROW(Base::IOException, "Failed to write buffer.");
    }
    writeUInt32(static_cast<std::uint32_t>(value.size()));
    write(value.data(), static_cast<int>(value.size()));
}

} // namespace Fernhouse::IO
