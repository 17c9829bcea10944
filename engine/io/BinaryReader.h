#pragma once

#include <cstdint>
#include <string>

namespace Fernhouse::IO
{

class Stream;

// Reads what BinaryWriter writes. Throws IOException "Failed to read from Stream." whenever the stream
// gives fewer bytes than asked for.
class BinaryReader final
{
public:
    // Opens an existing file.
    explicit BinaryReader(const std::string& path);
    // Takes ownership of a stream that can read.
    explicit BinaryReader(Stream* stream);
    BinaryReader(const BinaryReader&) = delete;
    BinaryReader& operator=(const BinaryReader&) = delete;
    // Closes and deletes the stream.
    ~BinaryReader();

    void read(void* buffer, int size);
    std::int8_t readInt8();
    std::int16_t readInt16();
    std::uint16_t readUInt16();
    std::int32_t readInt32();
    std::uint32_t readUInt32();
    // Consumes the stored length's bytes and yields those before the first zero byte. A damaged length
    // costs no more memory than the stream really holds.
    std::string readString();

    Stream* getStream() const { return m_stream; }

private:
    std::uint32_t readLittleEndian(int bytes);

    Stream* m_stream; // owned
};

} // namespace Fernhouse::IO
