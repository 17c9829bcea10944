#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

namespace TestSupport
{

// A fresh directory under the system's temporary directory, removed with everything in it on destruction.
class TempDir final
{
public:
    TempDir()
    {
        std::string name = (std::filesystem::temp_directory_path() / "tarvo-test-XXXXXX").string();
        if (mkdtemp(name.data()) == nullptr)
        {
            throw std::runtime_error("mkdtemp failed");
        }
        m_path = name;
    }

    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }

    const std::filesystem::path& path() const { return m_path; }

    std::string file(const std::string& name) const { return (m_path / name).string(); }

    void writeFile(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(file(name), std::ios::binary | std::ios::trunc) << bytes;
    }

    // Writes the file and returns its path.
    std::string written(const std::string& name, const std::string& bytes) const
    {
        writeFile(name, bytes);
        return file(name);
    }

    std::string readFile(const std::string& name) const
    {
        std::ifstream in(file(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path m_path;
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

    ScopedWorkingDirectory(const ScopedWorkingDirectory&) = delete;
    ScopedWorkingDirectory& operator=(const ScopedWorkingDirectory&) = delete;

    ~ScopedWorkingDirectory()
    {
        std::error_code ignored;
        std::filesystem::current_path(m_previous, ignored);
    }

private:
    std::filesystem::path m_previous;
};

} // namespace TestSupport
