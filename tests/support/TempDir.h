#pragma once

#include <filesystem>
#include <string>

namespace TestSupport
{

// A fresh directory under the system's temporary directory, removed with everything in it on destruction.
class TempDir final
{
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();

    const std::filesystem::path& path() const { return m_path; }

    std::string file(const std::string& name) const { return (m_path / name).string(); }

    void writeFile(const std::string& name, const std::string& bytes) const;
    std::string readFile(const std::string& name) const;

private:
    std::filesystem::path m_path;
};

// Makes a directory the working directory for its lifetime; the game reads and writes relative to it.
class ScopedWorkingDirectory final
{
public:
    explicit ScopedWorkingDirectory(const std::filesystem::path& directory);
    ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
    ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;
    ~ScopedWorkingDirectory();

private:
    std::filesystem::path m_previous;
};

} // namespace TestSupport
