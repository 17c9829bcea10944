#include "game/progress/SafeFileWriter.h"

#include "engine/base/Exception.h"
#include "engine/io/BinaryWriter.h"
#include "engine/io/Stream.h"

#include <filesystem>
#include <system_error>

namespace Tarvo
{

namespace
{

constexpr const char* SourceTag = "SafeFileWriter";
constexpr const char* TemporarySuffix = ".tmp";

using Fernhouse::Base::IOException;

} // namespace

SafeFileWriter::SafeFileWriter(const std::string& path)
    : m_path(path),
      m_temporaryPath(path + TemporarySuffix),
      m_writer(new Fernhouse::IO::BinaryWriter(m_temporaryPath))
{
}

SafeFileWriter::~SafeFileWriter()
{
    if (m_writer != nullptr)
    {
        delete m_writer;
        std::error_code ignored;
        std::filesystem::remove(m_temporaryPath, ignored);
    }
}

void SafeFileWriter::commit()
{
    const int written = m_writer->getStream()->getPosition();
    // Deleting the writer closes the file, which flushes what the C library still buffers.
    delete m_writer;
    m_writer = nullptr;

    std::error_code error;
    const std::uintmax_t onDisk = std::filesystem::file_size(m_temporaryPath, error);
    if (error || written < 0 || onDisk != static_cast<std::uintmax_t>(written))
    {
        std::filesystem::remove(m_temporaryPath, error);
        FH_THROW(IOException, "Failed to write buffer.");
    }
    std::filesystem::rename(m_temporaryPath, m_path, error);
    if (error)
    {
        std::filesystem::remove(m_temporaryPath, error);
        FH_THROW(IOException, "Failed to open file.");
    }
}

} // namespace Tarvo
