#include "engine/io/FileStream.h"

#include "engine/base/Exception.h"

namespace Fernhouse::IO
{

namespace
{

constexpr const char* SourceTag = "src/FileStream";
constexpr const char* NotOpened = "File is not opened.";
constexpr const char* NullBuffer = "Buffer cannot be null.";

} // namespace

FileStream::FileStream(const std::string& path, int mode)
{
    std::string modeString;
    if ((mode & ModeRead) != 0)
    {
        modeString += "r";
    }
    if ((mode & ModeWrite) != 0)
    {
        modeString += "w+";
    }
    if (modeString.empty())
    {
        FH_THROW(Base::ArgumentException, "Invalid file open mode.");
    }
    modeString += "b";

    m_file = std::fopen(path.c_str(), modeString.c_str());
    if (m_file == nullptr)
    {
        FH_THROW(Base::IOException, "Failed to open file.");
    }
    m_mode = mode;
}

FileStream::~FileStream()
{
    close();
}

void FileStream::close()
{
    if (m_file != nullptr)
    {
        std::fclose(m_file);
    }
    m_file = nullptr;
    m_mode = 0;
}

bool FileStream::isOpen() const
{
    return m_file != nullptr && m_mode != 0;
}

bool FileStream::canWrite() const
{
    return isOpen() && (m_mode & ModeWrite) != 0;
}

bool FileStream::canRead() const
{
    return isOpen() && (m_mode & ModeRead) != 0;
}

int FileStream::getLength()
{
    if (!isOpen())
    {
        FH_THROW(Base::IOException, NotOpened);
    }
    const long position = std::ftell(m_file);
    if (std::fseek(m_file, 0, SEEK_END) != 0)
    {
        FH_THROW(Base::IOException, "Failed to seek to end.");
    }
    const long length = std::ftell(m_file);
    if (position < 0 || std::fseek(m_file, position, SEEK_SET) != 0)
    {
        FH_THROW(Base::IOException, "Failed to reset position.");
    }
    return static_cast<int>(length);
}

int FileStream::getPosition()
{
    if (!isOpen())
    {
        FH_THROW(Base::IOException, NotOpened);
    }
    return static_cast<int>(std::ftell(m_file));
}

void FileStream::setPosition(int offset)
{
    if (!isOpen())
    {
        FH_THROW(Base::IOException, NotOpened);
    }
    if (std::fseek(m_file, offset, SEEK_SET) != 0)
    {
        FH_THROW(Base::IOException, "Failed to set file position.");
    }
}

int FileStream::read(void* buffer, int size)
{
    if (!canRead())
    {
        FH_THROW(Base::IOException, "FileStream cannot read.");
    }
    if (buffer == nullptr)
    {
        FH_THROW(Base::ArgumentException, NullBuffer);
    }
    if (size <= 0)
    {
        return 0;
    }
    return std::fread(buffer, static_cast<std::size_t>(size), 1, m_file) == 1 ? size : 0;
}

int FileStream::write(const void* buffer, int size)
{
    if (!canWrite())
    {
        FH_THROW(Base::IOException, "FileStream cannot write.");
    }
    if (buffer == nullptr)
    {
        FH_THROW(Base::ArgumentException, NullBuffer);
    }
    if (size <= 0)
    {
        return 0;
    }
    return std::fwrite(buffer, static_cast<std::size_t>(size), 1, m_file) == 1 ? size : 0;
}

} // namespace Fernhouse::IO
