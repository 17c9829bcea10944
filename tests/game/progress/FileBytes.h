#pragma once

#include <cstdint>
#include <string>

// A saved file's bytes as its layout describes them (little-endian), built independently of the code
// under test.
class FileBytes final
{
public:
    FileBytes& u8(std::uint32_t value)
    {
        m_bytes.push_back(static_cast<char>(value & 0xFFu));
        return *this;
    }

    FileBytes& u16(std::uint32_t value) { return u8(value).u8(value >> 8); }

    FileBytes& u32(std::uint32_t value) { return u16(value & 0xFFFFu).u16(value >> 16); }

    // A length word, then the bytes.
    FileBytes& text(const std::string& value)
    {
        u32(static_cast<std::uint32_t>(value.size()));
        m_bytes += value;
        return *this;
    }

    const std::string& bytes() const { return m_bytes; }

private:
    std::string m_bytes;
};
