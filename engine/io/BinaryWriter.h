#pragma once

#include <cstdint>
#include <string>

namespace Fernhouse::IO
{

class Stream;

// Writes numbers little-endian and strings as a 32-bit byte length followed by the bytes. Throws
// IOException "Failed to write buffer." whenever the stream takes fewer bytes than given.
class BinaryWriter final
{
public:
    // Creates or empties the file.
    explicit BinaryWriter(const std::string& path);
    // Takes ownership of a stream that can write.
    explicit BinaryWriter(Stream* stream);
    BinaryWriter(const BinaryWriter&) = delete;
    BinaryWriter& operator=(const BinaryWriter&) = delete;
    // Closes and deletes the stream.
    ~BinaryWriter();

    void write(const void* buffer, int size);
    void writeInt8(std::int8_t value);
    void writeInt16(std::int16_t value);
    void writeUInt16(std::uint16_t value);
    void writeInt32(std::int32_t value);
    void writeUInt32(std::uint32_t value);
    void writeString(const std::string& value);

    Stream* getStream() const { return m_stream; }

private:
    void writeLittleEndian(std::uint32_t value, int bytes);

    Stream* m_stream; // owned
};

} // namespace Fernhouse::IO
