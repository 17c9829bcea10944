#pragma once

#include <string>

namespace Fernhouse::IO
{
class BinaryWriter;
} // namespace Fernhouse::IO

namespace Tarvo
{

// Writes a binary file beside its destination and puts it in place only once every byte is on disk (synced,
// and the folder synced after the rename), so a save that fails half-way or a power cut leaves the previous
// file as it was.
class SafeFileWriter final
{
public:
    static constexpr const char* KeptSuffix = ".damaged";

    // Opens path + ".tmp" for writing; throws IOException "Failed to open file." when it cannot be created.
    // keepReplaced: the file being replaced could not be read, and commit keeps it as path + ".damaged"
    // (replacing an older one) and says so in the error log.
    explicit SafeFileWriter(const std::string& path, bool keepReplaced = false);
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;
    // Removes the temporary file unless commit succeeded.
    ~SafeFileWriter();

    // Valid until commit.
    Fernhouse::IO::BinaryWriter& getWriter() { return *m_writer; }

    // Closes the temporary file and renames it over the destination. IOException "Failed to write buffer."
    // when fewer bytes reached the disk than were written (a full disk shows only when the file is closed),
    // "Failed to open file." when the destination cannot be replaced, "Failed to keep the damaged file." when
    // the file to be kept cannot be (it then stays in place).
    void commit();

private:
    std::string m_path;
    std::string m_temporaryPath;
    bool m_keepReplaced;
    Fernhouse::IO::BinaryWriter* m_writer; // owned until commit
};

} // namespace Tarvo
