#include "engine/io/BinaryReader.h"
#include "engine/io/BinaryWriter.h"
#include "engine/io/FileStream.h"

#include "tests/support/TempDir.h"
#include "tests/support/Throws.h"

using namespace Fernhouse::IO;
using namespace Fernhouse::Base;
using TestSupport::throwsWith;
using namespace std::string_literals;

namespace
{

struct StreamTest : ::testing::Test
{
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
              "\x01\0\0\0\x03\0\0\0abc\xFE\xFE\xFF\xEF\xBE\xEB\x32\xA4\xF8\0\0\0\0xy"s);
    BinaryReader in(m_dir.file("out.bin"));
    // A braced list reads from left to right. The long string takes more than one chunk of the reader.
    const std::tuple<std::uint32_t, std::string, std::int8_t, std::int16_t, std::uint16_t, std::int32_t,
                     std::string, std::int16_t, std::string>
        read{in.readUInt32(), in.readString(), in.readInt8(),  in.readInt16(), in.readUInt16(),
             in.readInt32(),  in.readString(), in.readInt16(), in.readString()};
    EXPECT_EQ(read, std::tuple(1u, "abc", -2, -2, 0xBEEF, -123456789, "", 'x' | 'y' << 8, longText));
}

TEST_F(StreamTest, StreamsReadOnlyTheWayTheyWereOpenedStringsStopAtAZeroAndShortOrDamagedInputThrows)
{
    BinaryReader zero(m_dir.written("zero.bin", "\x05\0\0\0ab\0cd\x07\0"s));
    EXPECT_EQ((std::pair<std::string, int>{zero.readString(), zero.readInt16()}), std::pair("ab"s, 7));
    // Too short for the length, and lengths past the end of the file.
    for (const std::string& damaged :
         {"\x01\x02\x03"s, "\xFF\xFF\xFF\xFF---"s, "\0\0\x02\0"s + std::string(100000, 'z')})
    {
        BinaryReader in(m_dir.written("damaged.bin", damaged));
        EXPECT_TRUE(throwsWith<IOException>([&] { in.readString(); }, "Failed to read from Stream.",
                                            "src/BinaryReader"));
    }
    FileStream ten(m_dir.written("ten.bin", "0123456789"), FileStream::ModeRead);
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

    FileStream closed(m_dir.file("ten.bin"), FileStream::ModeRead);
    closed.close();
    // /dev/full accepts the open but no write ever reaches it.
    BinaryWriter full(new FileStream("/dev/full", FileStream::ModeWrite));
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { BinaryWriter w(&ten); },
                                              "Stream is not opened for writing.", "src/BinaryWriter"));
    using Call = std::tuple<std::function<void()>, std::string, std::string>;
    const Call failures[] = {
        {[&] { BinaryReader r(m_dir.file("missing.bin")); }, "Failed to open file.", "src/FileStream"},
        {[&] { ten.write(buffer, 1); }, "FileStream cannot write.", "src/FileStream"},
        {[&] { ten.setPosition(-5); }, "Failed to set file position.", "src/FileStream"},
        {[&] { closed.read(buffer, 1); }, "FileStream cannot read.", "src/FileStream"},
        {[&] { closed.getPosition(); }, "File is not opened.", "src/FileStream"},
        {[&] { full.writeString(std::string(100000, 'x')); }, "Failed to write buffer.", "src/BinaryWriter"}};
    for (const auto& [call, message, tag] : failures)
    {
        EXPECT_TRUE(throwsWith<IOException>(call, message, tag)) << message;
    }
    closed.close();
}
