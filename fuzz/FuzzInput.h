#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace TarvoFuzz
{

// The fuzzer's bytes as a file: readers take paths, not buffers. Each process works in a folder of its
// own under the system's temporary folder, so that fuzzers running side by side never share a file.
class FuzzInput final
{
public:
    // The process's folder, created on first use.
    static const std::string& folder();
    // Writes the bytes to name inside the folder (creating its parent folder) and returns the path.
    static std::string write(const std::string& name, const std::uint8_t* data, std::size_t size);
    // Ends the process with a message: a finding the sanitizers cannot see (a changed round trip).
    [[noreturn]] static void fail(const char* what);
};

} // namespace TarvoFuzz
