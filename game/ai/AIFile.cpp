#include "game/ai/AIFile.h"

#include "engine/base/Exception.h"

#include "game/ai/AIFileException.h"
#include "game/progress/TextReader.h"

#include <fstream>
#include <limits>

namespace Tarvo
{

namespace
{

constexpr const char* SourceTag = "AIFile";
constexpr int DecimalBase = 10;

using Fernhouse::Base::FileNotFoundException;

// The format's lines, and white-space separated unsigned numbers.
class AIReader final : public TextReader
{
public:
    using TextReader::TextReader;

    // Reads one white-space separated word that must be an unsigned decimal 32-bit number. A file that
    // ends early or holds anything else is rejected with the field and the path named, never half-read.
    std::uint32_t readNumber(const char* field, const std::string& path)
    {
        int c = skipSpace();
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
            c = buffer()->snextc();
        }
        if (!valid)
        {
            FH_THROW(AIFileException, std::string("Invalid ") + field + " in " + path + ".");
        }
        return static_cast<std::uint32_t>(value);
    }
};

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
    AIReader reader(file.rdbuf());

    reader.readLine(m_skin);
    std::string mission;
    reader.readLine(mission);
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
    m_reach = reader.readNumber("reach", path);
    m_speed = reader.readNumber("speed", path);
    m_skill = reader.readNumber("skill", path);
}

} // namespace Tarvo
