#pragma once

#include "engine/io/Stream.h"

#include <cstdio>
#include <string>

namespace Fernhouse::IO
{

// A file opened in binary mode. Closed by close or by the destructor.
class FileStream final : public Stream
{
public:
    // Opens an existing file for reading.
    static constexpr int ModeRead = 1;
    // Creates or empties the file, for writing and reading.
    static constexpr int ModeWrite = 2;

    // Throws ArgumentException for a mode without either bit, IOException when the file cannot be opened.
    FileStream(const std::string& path, int mode);
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;
    ~FileStream() override;

    void close() override;
    bool isOpen() const override;
    bool canWrite() const override;
    bool canRead() const override;
    int getLength() override;
    int getPosition() override;
    void setPosition(int offset) override;
    // A block transferred only in part counts as none: both return size or 0.
    int read(void* buffer, int size) override;
    int write(const void* buffer, int size) override;

private:
    std::FILE* m_file = nullptr; // owned
    int m_mode = 0;
};

} // namespace Fernhouse::IO
