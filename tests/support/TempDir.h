#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace TestSupport
{

// A fresh directory under the system's temporary directory, removed with everything in it on destruction.
class TempDir final
{
public:
    TempDir() : m_path(std::filesystem::temp_directory_path() / "tarvo-test-XXXXXX")
    {
        std::string name = m_path.string();
        m_path = mkdtemp(name.data()) != nullptr ? name : throw std::runtime_error("mkdtemp failed");
    }

    ~TempDir() { std::filesystem::remove_all(m_path, m_ignored); }

    const std::filesystem::path& path() const { return m_path; }

    std::string file(const std::string& name) const { return (m_path / name).string(); }

    // Writes the file and returns its path.
    std::string written(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(file(name), std::ios::binary | std::ios::trunc) << bytes;
        return file(name);
    }

    std::string readFile(const std::string& name) const
    {
        std::ostringstream bytes;
        bytes << std::ifstream(file(name), std::ios::binary).rdbuf();
        return bytes.str();
    }

private:
    std::filesystem::path m_path;
    std::error_code m_ignored;
};

// Makes a directory the working directory for its lifetime; the game reads and writes relative to it.
class ScopedWorkingDirectory final
{
public:
    explicit ScopedWorkingDirectory(const std::filesystem::path& directory)
        : m_previous(std::filesystem::current_path())
    {
        std::filesystem::current_path(directory);
    }

    ~ScopedWorkingDirectory() { std::filesystem::current_path(m_previous, m_ignored); }

private:
    std::filesystem::path m_previous;
    std::error_code m_ignored;
};

} // namespace TestSupport
