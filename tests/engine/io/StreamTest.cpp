#include "engine/base/Exception.h"
#include "engine/io/BinaryReader.h"
#include "engine/io/BinaryWriter.h"
#include "engine/io/FileStream.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <functional>
#include <type_traits>

using namespace Fernhouse::IO;
using Fernhouse::Base::ArgumentException;
using Fernhouse::Base::Exception;
using Fernhouse::Base::IOException;
using TestSupport::TempDir;

namespace
{

static_assert(!std::is_copy_constructible_v<FileStream>);
static_assert(!std::is_copy_constructible_v<BinaryReader>);
static_assert(!std::is_copy_constructible_v<BinaryWriter>);

// Asserts that the call throws exactly type E with the message and the source tag.
template <typename E>
::testing::AssertionResult throwsWith(const std::function<void()>& call, const std::string& message,
                                      const std::string& file)
{
    try
    {
        call();
    }
    catch (const E& e)
    {
        if (e.getMessage() != message || e.getFile() != file)
        {
            return ::testing::AssertionFailure() << "threw \"" << e.getMessage() << "\" from " << e.getFile();
        }
        return ::testing::AssertionSuccess();
    }
    catch (const Exception& e)
    {
        return ::testing::AssertionFailure() << "wrong type: " << e.what();
    }
    return ::testing::AssertionFailure() << "nothing thrown";
}

std::string bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
    {
        s.push_back(static_cast<char>(v));
    }
    return s;
}

} // namespace

TEST(BinaryWriter, WritesLittleEndianFieldByField)
{
    TempDir dir;
    {
        BinaryWriter writer(dir.file("out.bin"));
        writer.writeUInt32(1);
        writer.writeString("abc");
        writer.writeInt8(-2);
        writer.writeInt16(-2);
        writer.writeUInt16(0xBEEF);
        writer.writeInt32(-123456789);
        writer.writeString("");
        const char raw[2] = {'x', 'y'};
        writer.write(raw, 2);
    }
    EXPECT_EQ(dir.readFile("out.bin"),
              bytes({0x01, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 'a',  'b',  'c',  0xFE, 0xFE,
                     0xFF, 0xEF, 0xBE, 0xEB, 0x32, 0xA4, 0xF8, 0x00, 0x00, 0x00, 0x00, 'x',  'y'}));
}

TEST(BinaryReader, ReadsBackWhatTheWriterWrote)
{
    TempDir dir;
    {
        BinaryWriter writer(dir.file("round.bin"));
        writer.writeInt8(-128);
        writer.writeInt16(-32768);
        writer.writeUInt16(65535);
        writer.writeInt32(-2147483647 - 1);
        writer.writeUInt32(4294967295u);
        writer.writeString("Tarvo worm");
        writer.writeString("");
    }
    BinaryReader reader(dir.file("round.bin"));
    EXPECT_EQ(reader.readInt8(), -128);
    EXPECT_EQ(reader.readInt16(), -32768);
    EXPECT_EQ(reader.readUInt16(), 65535);
    EXPECT_EQ(reader.readInt32(), -2147483647 - 1);
    EXPECT_EQ(reader.readUInt32(), 4294967295u);
    EXPECT_EQ(reader.readString(), "Tarvo worm");
    EXPECT_EQ(reader.readString(), "");
}

TEST(BinaryReader, StringStopsAtZeroByteButConsumesAllStoredBytes)
{
    TempDir dir;
    dir.writeFile("zero.bin", bytes({5, 0, 0, 0, 'a', 'b', 0, 'c', 'd', 7, 0}));
    BinaryReader reader(dir.file("zero.bin"));
    EXPECT_EQ(reader.readString(), "ab");
    EXPECT_EQ(reader.readInt16(), 7);
}

TEST(BinaryReader, ShortReadThrowsAfterConsumingWhatWasThere)
{
    TempDir dir;
    dir.writeFile("short.bin", bytes({1, 2, 3}));
    BinaryReader reader(dir.file("short.bin"));
    EXPECT_TRUE(throwsWith<IOException>([&] { reader.readUInt32(); }, "Failed to read from Stream.",
                                        "src/BinaryReader"));
    EXPECT_EQ(reader.getStream()->getPosition(), 3);
    // The reader stays usable after the failure.
    EXPECT_TRUE(throwsWith<IOException>([&] { reader.readInt8(); }, "Failed to read from Stream.",
                                        "src/BinaryReader"));
}

TEST(BinaryReader, HugeDamagedStringLengthFailsWithoutExhaustingMemory)
{
    TempDir dir;
    dir.writeFile("damaged.bin", bytes({0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b', 'c'}));
    BinaryReader reader(dir.file("damaged.bin"));
    EXPECT_TRUE(throwsWith<IOException>([&] { reader.readString(); }, "Failed to read from Stream.",
                                        "src/BinaryReader"));

    dir.writeFile("long.bin", bytes({0x00, 0x00, 0x02, 0x00}) + std::string(100000, 'z'));
    BinaryReader longReader(dir.file("long.bin"));
    EXPECT_TRUE(throwsWith<IOException>([&] { longReader.readString(); }, "Failed to read from Stream.",
                                        "src/BinaryReader"));
}

TEST(BinaryReader, StringLongerThanOneChunkReadsWhole)
{
    TempDir dir;
    const std::string text(200000, 'q');
    {
        BinaryWriter writer(dir.file("big.bin"));
        writer.writeString(text);
    }
    BinaryReader reader(dir.file("big.bin"));
    EXPECT_EQ(reader.readString(), text);
}

TEST(BinaryReader, ConstructorChecksTheStream)
{
    TempDir dir;
    dir.writeFile("f.bin", "x");
    EXPECT_TRUE(throwsWith<ArgumentException>([] { BinaryReader r(static_cast<Stream*>(nullptr)); },
                                              "Stream cannot be null.", "src/BinaryReader"));
    FileStream writeOnly(dir.file("w.bin"), FileStream::ModeWrite);
    writeOnly.close();
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { BinaryReader r(&writeOnly); },
                                              "Stream is not opened for reading.", "src/BinaryReader"));
    EXPECT_TRUE(throwsWith<IOException>([&] { BinaryReader r(dir.file("missing.bin")); },
                                        "Failed to open file.", "src/FileStream"));
}

TEST(BinaryWriter, ConstructorChecksTheStreamAndFailedWritesThrow)
{
    TempDir dir;
    dir.writeFile("r.bin", "x");
    EXPECT_TRUE(throwsWith<ArgumentException>([] { BinaryWriter w(static_cast<Stream*>(nullptr)); },
                                              "Stream cannot be null.", "src/BinaryWriter"));
    FileStream readOnly(dir.file("r.bin"), FileStream::ModeRead);
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

TEST(FileStream, OpenModesCreateEmptyOrRequireTheFile)
{
    TempDir dir;
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { FileStream s(dir.file("a"), 0); },
                                              "Invalid file open mode.", "src/FileStream"));
    EXPECT_TRUE(throwsWith<IOException>([&] { FileStream s(dir.file("missing"), FileStream::ModeRead); },
                                        "Failed to open file.", "src/FileStream"));

    dir.writeFile("old.bin", "previous content");
    {
        FileStream s(dir.file("old.bin"), FileStream::ModeWrite);
        EXPECT_TRUE(s.isOpen());
        EXPECT_TRUE(s.canWrite());
        EXPECT_FALSE(s.canRead());
        EXPECT_EQ(s.getLength(), 0);
    }
    EXPECT_EQ(dir.readFile("old.bin"), "");

    {
        FileStream s(dir.file("new.bin"), FileStream::ModeWrite);
    }
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "new.bin"));
}

TEST(FileStream, LengthLeavesThePositionAlone)
{
    TempDir dir;
    dir.writeFile("ten.bin", "0123456789");
    FileStream s(dir.file("ten.bin"), FileStream::ModeRead);
    s.setPosition(4);
    EXPECT_EQ(s.getLength(), 10);
    EXPECT_EQ(s.getPosition(), 4);
    char c = 0;
    EXPECT_EQ(s.read(&c, 1), 1);
    EXPECT_EQ(c, '4');
}

TEST(FileStream, PartialReadCountsAsNone)
{
    TempDir dir;
    dir.writeFile("three.bin", "abc");
    FileStream s(dir.file("three.bin"), FileStream::ModeRead);
    char buffer[8] = {};
    EXPECT_EQ(s.read(buffer, 8), 0);
}

TEST(FileStream, ClosedOrWrongWayStreamsRefuseWithTheirMessages)
{
    TempDir dir;
    dir.writeFile("f.bin", "abc");
    FileStream s(dir.file("f.bin"), FileStream::ModeRead);
    char c = 0;
    EXPECT_TRUE(
        throwsWith<IOException>([&] { s.write(&c, 1); }, "FileStream cannot write.", "src/FileStream"));
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { s.read(nullptr, 1); }, "Buffer cannot be null.",
                                              "src/FileStream"));

    FileStream w(dir.file("g.bin"), FileStream::ModeWrite);
    EXPECT_TRUE(throwsWith<ArgumentException>([&] { w.write(nullptr, 1); }, "Buffer cannot be null.",
                                              "src/FileStream"));

    s.close();
    EXPECT_FALSE(s.isOpen());
    EXPECT_FALSE(s.canRead());
    EXPECT_TRUE(throwsWith<IOException>([&] { s.read(&c, 1); }, "FileStream cannot read.", "src/FileStream"));
    EXPECT_TRUE(throwsWith<IOException>([&] { s.getPosition(); }, "File is not opened.", "src/FileStream"));
    EXPECT_TRUE(throwsWith<IOException>([&] { s.setPosition(0); }, "File is not opened.", "src/FileStream"));
    EXPECT_TRUE(throwsWith<IOException>([&] { s.getLength(); }, "File is not opened.", "src/FileStream"));
    s.close();
}

TEST(FileStream, SeekBeforeTheStartFails)
{
    TempDir dir;
    dir.writeFile("f.bin", "abc");
    FileStream s(dir.file("f.bin"), FileStream::ModeRead);
    EXPECT_TRUE(throwsWith<IOException>([&] { s.setPosition(-5); }, "Failed to set file position.",
                                        "src/FileStream"));
}
