#include "engine/io/BinaryReader.h"
#include "engine/io/BinaryWriter.h"
#include "engine/io/FileStream.h"

#include "tests/support/TempDir.h"
#include "tests/support/Throws.h"

#include <gtest/gtest.h>

using namespace Fernhouse::IO;
using Fernhouse::Base::ArgumentException;
using Fernhouse::Base::IOException;
using TestSupport::throwsWith;

namespace
{

const std::string ReadFailed = "Failed to read from Stream.";

std::string bytes(std::initializer_list<int> values)
{
    return std::string(values.begin(), values.end());
}

class StreamTest : public ::testing::Test
{
protected:
    BinaryReader reader(const std::string& content)
    {
        m_dir.writeFile("in.bin", content);
        return BinaryReader(m_dir.file("in.bin"));
    }

    TestSupport::TempDir m_dir;
};

} // namespace

TEST_F(StreamTest, WriterLaysFieldsOutLittleEndianAndTheReaderReadsThemBack)
{
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
    }
    const std::string longText(200000, 'q');
    {
        BinaryWriter writer(m_dir.file("round.bin"));
        writer.writeInt16(-32768);
        writer.writeInt32(-2147483647 - 1);
        writer.writeUInt32(4294967295u);
        writer.writeString(longText);
    }
    EXPECT_EQ(m_dir.readFile("out.bin"),
              bytes({0x01, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 'a',  'b',  'c',  0xFE, 0xFE,
                     0xFF, 0xEF, 0xBE, 0xEB, 0x32, 0xA4, 0xF8, 0x00, 0x00, 0x00, 0x00, 'x',  'y'}));

    BinaryReader in(m_dir.file("out.bin"));
    EXPECT_EQ(in.readUInt32(), 1u);
    EXPECT_EQ(in.readString(), "abc");
    EXPECT_EQ(in.readInt8(), -2);
    EXPECT_EQ(in.readInt16(), -2);
    EXPECT_EQ(in.readUInt16(), 0xBEEF);
    EXPECT_EQ(in.readInt32(), -123456789);
    EXPECT_EQ(in.readString(), "");

    // Extreme values, and a string longer than one chunk of the reader.
    BinaryReader round(m_dir.file("round.bin"));
    EXPECT_EQ(round.readInt16(), -32768);
    EXPECT_EQ(round.readInt32(), -2147483647 - 1);
    EXPECT_EQ(round.readUInt32(), 4294967295u);
    EXPECT_EQ(round.readString(), longText);
}

TEST_F(StreamTest, StringStopsAtAZeroByteButConsumesAllItsStoredBytes)
{
    BinaryReader in = reader(bytes({5, 0, 0, 0, 'a', 'b', 0, 'c', 'd', 7, 0}));
    EXPECT_EQ(in.readString(), "ab");
    EXPECT_EQ(in.readInt16(), 7);
}

TEST_F(StreamTest, ShortOrDamagedInputThrowsWithoutExhaustingMemory)
{
    BinaryReader shortRead = reader(bytes({1, 2, 3}));
    EXPECT_TRUE(throwsWith<IOException>([&] { shortRead.readUInt32(); }, ReadFailed, "src/BinaryReader"));
    EXPECT_EQ(shortRead.getStream()->getPosition(), 3);

    const std::string damaged[] = {bytes({0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c'}),
                                   bytes({0x00, 0x00, 0x02, 0x00}) + std::string(100000, 'z')};
    for (const std::string& content : damaged)
    {
        BinaryReader in = reader(content);
        EXPECT_TRUE(throwsWith<IOException>([&] { in.readString(); }, ReadFailed, "src/BinaryReader"));
    }
}

TEST_F(StreamTest, ReadersAndWritersRefuseStreamsTheyCannotUse)
{
    m_dir.writeFile("r.bin", "x");
    FileStream readOnly(m_dir.file("r.bin"), FileStream::ModeRead);
    FileStream writeOnly(m_dir.file("w.bin"), FileStream::ModeWrite);
    EXPECT_TRUE(throwsWith<ArgumentException>([] { BinaryReader r(static_cast<Stream*>(nullptr)); },
                                              "Stream cannot be null.", "src/BinaryReader"));
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { BinaryReader r(&writeOnly); },
                                              "Stream is not opened for reading.", "src/BinaryReader"));
    EXPECT_TRUE(throwsWith<ArgumentException>([] { BinaryWriter w(static_cast<Stream*>(nullptr)); },
                                              "Stream cannot be null.", "src/BinaryWriter"));
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { BinaryWriter w(&readOnly); },
                                              "Stream is not opened for writing.", "src/BinaryWriter"));

    // /dev/full accepts the open but no write ever reaches it.
    BinaryWriter full(new FileStream("/dev/full", FileStream::ModeWrite));
    EXPECT_TRUE(throwsWith<IOException>(
        [&] {
            full.writeString(std::string(100000, 'x'));
            full.writeInt32(1);
        },
        "Failed to write buffer.", "src/BinaryWriter"));
}

TEST_F(StreamTest, WritingTruncatesAndReadingNeedsTheFile)
{
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { FileStream s(m_dir.file("a"), 0); },
                                              "Invalid file open mode.", "src/FileStream"));
    EXPECT_TRUE(throwsWith<IOException>([&] { BinaryReader r(m_dir.file("missing.bin")); },
                                        "Failed to open file.", "src/FileStream"));
    m_dir.writeFile("old.bin", "previous content");
    {
        FileStream s(m_dir.file("old.bin"), FileStream::ModeWrite);
        EXPECT_TRUE(s.canWrite());
        EXPECT_FALSE(s.canRead());
    }
    EXPECT_EQ(m_dir.readFile("old.bin"), "");
}

TEST_F(StreamTest, LengthKeepsThePositionAndAPartialReadCountsAsNone)
{
    m_dir.writeFile("ten.bin", "0123456789");
    FileStream s(m_dir.file("ten.bin"), FileStream::ModeRead);
    EXPECT_TRUE(s.canRead());
    EXPECT_FALSE(s.canWrite());
    s.setPosition(4);
    EXPECT_EQ(s.getLength(), 10);
    char buffer[8] = {};
    EXPECT_EQ(s.read(buffer, 1), 1);
    EXPECT_EQ(buffer[0], '4');
    EXPECT_EQ(s.read(buffer, 8), 0);
    EXPECT_TRUE(throwsWith<IOException>([&] { s.setPosition(-5); }, "Failed to set file position.",
                                        "src/FileStream"));
}

TEST_F(StreamTest, ClosedOrWrongWayStreamsRefuseWithTheirMessages)
{
    m_dir.writeFile("f.bin", "abc");
    FileStream s(m_dir.file("f.bin"), FileStream::ModeRead);
    FileStream w(m_dir.file("g.bin"), FileStream::ModeWrite);
    char c = 0;
    EXPECT_TRUE(
        throwsWith<IOException>([&] { s.write(&c, 1); }, "FileStream cannot write.", "src/FileStream"));
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { s.read(nullptr, 1); }, "Buffer cannot be null.",
                                              "src/FileStream"));
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { w.write(nullptr, 1); }, "Buffer cannot be null.",
                                              "src/FileStream"));
    s.close();
    EXPECT_FALSE(s.isOpen());
    EXPECT_TRUE(throwsWith<IOException>([&] { s.read(&c, 1); }, "FileStream cannot read.", "src/FileStream"));
    const std::function<void()> calls[] = {[&] { s.getPosition(); }, [&] { s.setPosition(0); },
                                           [&] { s.getLength(); }};
    for (const auto& call : calls)
    {
        EXPECT_TRUE(throwsWith<IOException>(call, "File is not opened.", "src/FileStream"));
    }
    s.close();
}
