#include "game/ai/AIFile.h"

#include "engine/base/Exception.h"

#include "game/ai/AIFileException.h"

#include <fstream>
#include <limits>

namespace Tarvo
{

namespace
{

constexpr const char* SourceTag = "AIFile";
constexpr int DecimalBase = 10;

using Fernhouse::Base::FileNotFoundException;

bool isSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The next line without its LF and a CR before it; empty at the end of the file.
std::string readLine(std::streambuf& buffer)
{
    constexpr int Eof = std::char_traits<char>::eof();
    std::string line;
    for (int c = buffer.sbumpc(); c != Eof && c != '\n'; c = buffer.sbumpc())
    {
        line.push_back(static_cast<char>(c));
    }
    if (!line.empty() && line.back() == '\r')
    {
        line.pop_back();
    }
    return line;
}

// Reads one white-space separated word that must be an unsigned decimal 32-bit number. A file that ends
// early or holds anything else is rejected with the field and the path named, never half-read.
std::uint32_t readNumber(std::streambuf& buffer, const char* field, const std::string& path)
{
    constexpr int Eof = std::char_traits<char>::eof();
    int c = buffer.sgetc();
    while (c != Eof && isSpace(c))
    {
        c = buffer.snextc();
    }
    if (c == Eof)
    {
        FH_THROW(AIFileException, std::string("Missing ") + field + " in " + path + ".");
    }
    std::uint64_t value = 0;
    bool valid = true;
    while (c != Eof && !isSpace(c))
    {
        if (c < '0' || c > '9')
        {
            valid = false;
        }
        else if (valid)
        {
            value = value * DecimalBase + static_cast<std::uint64_t>(c - '0');
            valid = value <= std::numeric_limits<std::uint32_t>::max();
        }
        c = buffer.snextc();
    }
    if (!valid)
    {
        FH_THROW(AIFileException, std::string("Invalid ") + field + " in " + path + ".");
    }
    return static_cast<std::uint32_t>(value);
}

} // namespace

AIFile::AIFile(const std::string& name) : m_name(name)
{
    const std::string path = Directory + name + Extension;
    // Binary, so that CR LF line ends reach the line reader unchanged on every platform.
    std::ifstream file(path, std::ios::in | std::ios::binary);
    if (!file.is_open() || file.fail())
    {
        FH_THROW(FileNotFoundException, "Couldn't load file: " + path);
    }
    std::streambuf& buffer = *file.rdbuf();

    m_skin = readLine(buffer);
    const std::string mission = readLine(buffer);
    if (mission == "eat")
    {
        m_mission = Eat;
    }
    else if (mission == "kill")
    {
        m_mission = Kill;
    }
    else if (mission == "survive")
    {
        m_mission = Survive;
    }
    else
    {
        FH_THROW(AIFileException, "Invalid mission.");
    }

    // Anything after the third number is ignored.
    m_reach = readNumber(buffer, "reach", path);
    m_speed = readNumber(buffer, "speed", path);
    m_skill = readNumber(buffer, "skill", path);
}

} // namespace Tarvo
