#include "engine/io/BinaryReader.h"
#include "engine/io/BinaryWriter.h"
#include "engine/io/FileStream.h"

#include "tests/support/TempDir.h"
#include "tests/support/Throws.h"

#include <gtest/gtest.h>

#include <functional>

using namespace Fernhouse::IO;
using namespace Fernhouse::Base;
using TestSupport::throwsWith;

namespace
{

std::string bytes(std::initializer_list<int> values)
{
    return std::string(values.begin(), values.end());
}

class StreamTest : public ::testing::Test
{
protected:
    TestSupport::TempDir m_dir;
};

} // namespace

TEST_F(StreamTest, WriterLaysFieldsOutLittleEndianAndTheReaderReadsThemBack)
{
    const std::string longText(200000, 'q');
    {
        BinaryWriter writer(m_dir.file("out.bin"));
        writer.writeUInt32(1);
        writer.writeString("abc");
        writer.writeInt8(-2);
        writer.writeInt16(-2);
        writer.writeUInt16(0xBEEF);
        writer.writeInt32(-123456789);
        writer.writeString("");
        writer.write("xy", 2);
        writer.writeString(longText);
    }
    EXPECT_EQ(m_dir.readFile("out.bin").substr(0, 26),
              bytes({0x01, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 'a',  'b',  'c',  0xFE, 0xFE,
                     0xFF, 0xEF, 0xBE, 0xEB, 0x32, 0xA4, 0xF8, 0x00, 0x00, 0x00, 0x00, 'x',  'y'}));
    BinaryReader in(m_dir.file("out.bin"));
    // A braced list reads from left to right. The long string takes more than one chunk of the reader.
    const std::tuple<std::uint32_t, std::string, std::int8_t, std::int16_t, std::uint16_t, std::int32_t,
                     std::string, std::int16_t, std::string>
        read{in.readUInt32(), in.readString(), in.readInt8(),  in.readInt16(), in.readUInt16(),
             in.readInt32(),  in.readString(), in.readInt16(), in.readString()};
    EXPECT_EQ(read, std::tuple(1u, "abc", -2, -2, 0xBEEF, -123456789, "", 'x' | 'y' << 8, longText));
}

TEST_F(StreamTest, StringsStopAtAZeroByteAndShortOrDamagedInputThrowsWithoutExhaustingMemory)
{
    BinaryReader zero(m_dir.written("zero.bin", bytes({5, 0, 0, 0, 'a', 'b', 0, 'c', 'd', 7, 0})));
    EXPECT_EQ(zero.readString(), "ab");
    EXPECT_EQ(zero.readInt16(), 7);
    BinaryReader shortRead(m_dir.written("short.bin", bytes({1, 2, 3})));
    EXPECT_TRUE(throwsWith<IOException>([&] { shortRead.readUInt32(); }, "Failed to read from Stream.",
                                        "src/BinaryReader"));
    EXPECT_EQ(shortRead.getStream()->getPosition(), 3);
    for (const std::string& damaged : {bytes({0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c'}),
                                       bytes({0x00, 0x00, 0x02, 0x00}) + std::string(100000, 'z')})
    {
        BinaryReader in(m_dir.written("damaged.bin", damaged));
        EXPECT_TRUE(throwsWith<IOException>([&] { in.readString(); }, "Failed to read from Stream.",
                                            "src/BinaryReader"));
    }
}

TEST_F(StreamTest, StreamsOpenTruncateSeekAndReadOnlyTheWayTheyWereOpened)
{
    FileStream ten(m_dir.written("ten.bin", "0123456789"), FileStream::ModeRead);
    EXPECT_EQ(std::pair(ten.canRead(), ten.canWrite()), std::pair(true, false));
    ten.setPosition(4);
    char buffer[8] = {};
    // A read that cannot be filled counts as none; a braced list runs from left to right.
    const std::tuple<int, int, char, int> reads{ten.getLength(), ten.read(buffer, 1), char{buffer[0]},
                                                ten.read(buffer, 8)};
    EXPECT_EQ(reads, std::tuple(10, 1, '4', 0));
    {
        FileStream old(m_dir.written("old.bin", "previous content"), FileStream::ModeWrite);
        EXPECT_EQ(std::pair(old.canRead(), old.canWrite()), std::pair(false, true));
    }
    EXPECT_EQ(m_dir.readFile("old.bin"), "");

    FileStream readOnly(m_dir.file("ten.bin"), FileStream::ModeRead);
    FileStream closed(m_dir.file("ten.bin"), FileStream::ModeRead);
    closed.close();
    EXPECT_FALSE(closed.isOpen());
    // /dev/full accepts the open but no write ever reaches it.
    BinaryWriter full(new FileStream("/dev/full", FileStream::ModeWrite));
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { BinaryWriter w(&readOnly); },
                                              "Stream is not opened for writing.", "src/BinaryWriter"));
    using Call = std::tuple<std::function<void()>, std::string, std::string>;
    const Call failures[] = {
        {[&] { BinaryReader r(m_dir.file("missing.bin")); }, "Failed to open file.", "src/FileStream"},
        {[&] { readOnly.write(buffer, 1); }, "FileStream cannot write.", "src/FileStream"},
        {[&] { readOnly.setPosition(-5); }, "Failed to set file position.", "src/FileStream"},
        {[&] { closed.read(buffer, 1); }, "FileStream cannot read.", "src/FileStream"},
        {[&] { closed.getPosition(); }, "File is not opened.", "src/FileStream"},
        {[&] { closed.setPosition(0); }, "File is not opened.", "src/FileStream"},
        {[&] { closed.getLength(); }, "File is not opened.", "src/FileStream"},
        {[&] { full.writeString(std::string(100000, 'x')); }, "Failed to write buffer.", "src/BinaryWriter"}};
    for (const auto& [call, message, tag] : failures)
    {
        EXPECT_TRUE(throwsWith<IOException>(call, message, tag)) << message;
    }
    closed.close();
}
