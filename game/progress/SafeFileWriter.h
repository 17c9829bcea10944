#pragma once

#include <string>

namespace Fernhouse::IO
{
class BinaryWriter;
} // namespace Fernhouse::IO

namespace Tarvo
{

// Writes a binary file beside its destination and puts it in place only once every byte is on disk, so a
// save that fails half-way leaves the previous file as it was.
class SafeFileWriter final
{
public:
    // Opens path + ".tmp" for writing; throws IOException "Failed to open file." when it cannot be created.
    explicit SafeFileWriter(const std::string& path);
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;
    // Removes the temporary file unless commit succeeded.
    ~SafeFileWriter();

    // Valid until commit.
    Fernhouse::IO::BinaryWriter& getWriter() { return *m_writer; }

    // Closes the temporary file and renames it over the destination. IOException "Failed to write buffer."
    // when fewer bytes reached the disk than were written (a full disk shows only when the file is closed),
    // "Failed to open file." when the destination cannot be replaced.
    void commit();

private:
    std::string m_path;
    std::string m_temporaryPath;
    Fernhouse::IO::BinaryWriter* m_writer; // owned until commit
};

} // namespace Tarvo
