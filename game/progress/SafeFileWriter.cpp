#include "game/progress/SafeFileWriter.h"

#include "engine/base/ErrorLog.h"
#include "engine/base/Exception.h"
#include "engine/io/BinaryWriter.h"
#include "engine/io/Stream.h"

#include <fcntl.h>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace Tarvo
{

namespace
{

constexpr const char* SourceTag = "SafeFileWriter";
constexpr const char* TemporarySuffix = ".tmp";

using Fernhouse::Base::IOException;

// fsync on a descriptor of its own: the C library's stream is already closed.
bool syncToDisk(const std::string& path, int flags)
{
    const int fd = ::open(path.c_str(), flags | O_RDONLY | O_CLOEXEC);
    if (fd < 0)
    {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

// A hard link keeps the old bytes without copying them; a file system without links gets a copy.
bool keepCopy(const std::string& path, const std::string& copyPath)
{
    std::error_code error;
    std::filesystem::remove(copyPath, error);
    std::filesystem::create_hard_link(path, copyPath, error);
    if (error)
    {
        error.clear();
        std::filesystem::copy_file(path, copyPath, std::filesystem::copy_options::overwrite_existing, error);
    }
    return !error;
}

} // namespace

SafeFileWriter::SafeFileWriter(const std::string& path, bool keepReplaced)
    : m_path(path),
      m_temporaryPath(path + TemporarySuffix),
      m_keepReplaced(keepReplaced),
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
    if (error || written < 0 || onDisk != static_cast<std::uintmax_t>(written) ||
        !syncToDisk(m_temporaryPath, 0))
    {
        std::filesystem::remove(m_temporaryPath, error);
        FH_THROW(IOException, "Failed to write buffer.");
    }
    const std::string keptPath = m_path + KeptSuffix;
    const bool keep = m_keepReplaced && std::filesystem::is_regular_file(m_path, error);
    if (keep && !keepCopy(m_path, keptPath))
    {
        std::filesystem::remove(m_temporaryPath, error);
        FH_THROW(IOException, "Failed to keep the damaged file.");
    }
    std::filesystem::rename(m_temporaryPath, m_path, error);
    if (error)
    {
        std::filesystem::remove(m_temporaryPath, error);
        FH_THROW(IOException, "Failed to open file.");
    }
    // Makes the rename itself survive a power cut; a file system that cannot sync folders still has the file.
    const std::filesystem::path folder = std::filesystem::path(m_path).parent_path();
    syncToDisk(folder.empty() ? "." : folder.string(), O_DIRECTORY);
    if (keep)
    {
        Fernhouse::Base::ErrorLog::write("The unreadable file " + m_path + " was replaced; it is kept as " +
                                         keptPath + ".");
    }
}

} // namespace Tarvo
