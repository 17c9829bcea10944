#include "fuzz/FuzzInput.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace TarvoFuzz
{

const std::string& FuzzInput::folder()
{
    static const std::string path = [] {
        const std::filesystem::path dir =
            std::filesystem::temp_directory_path() / ("tarvo-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        return dir.string();
    }();
    return path;
}

std::string FuzzInput::write(const std::string& name, const std::uint8_t* data, std::size_t size)
{
    const std::filesystem::path path = std::filesystem::path(folder()) / name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path.string();
}

void FuzzInput::fail(const char* what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

} // namespace TarvoFuzz
