#pragma once

#include <cstdint>
#include <string>

namespace Tarvo
{

// One computer player's personality, read from "ai/" + name + ".ai" relative to the working directory:
// the skin line, the mission line, then reach, speed and skill as unsigned decimal numbers.
class AIFile final
{
public:
    enum Mission : std::uint32_t
    {
        Eat = 0,
        Kill = 1,
        Survive = 2
    };

    static constexpr const char* Directory = "ai/";
    static constexpr const char* Extension = ".ai";

    // FileNotFoundException when the file cannot be opened; AIFileException for a mission line that is not
    // exactly a mission word, or a number that is missing or not an unsigned decimal 32-bit number.
    explicit AIFile(const std::string& name);

    // The name the file was loaded by; also the computer worm's player name.
    const std::string& getName() const { return m_name; }

    // The whole first line, blanks included.
    const std::string& getSkin() const { return m_skin; }

    Mission getMission() const { return m_mission; }

    // Eat missions drop a target whose score exceeds it; 0 means no limit.
    std::uint32_t getReach() const { return m_reach; }

    // Percent of the normal worm speed.
    std::uint32_t getSpeed() const { return m_speed; }

    // Percent used by every notice roll; 0 never notices anything.
    std::uint32_t getSkill() const { return m_skill; }

private:
    std::string m_name;
    std::string m_skin;
    Mission m_mission = Eat;
    std::uint32_t m_reach = 0;
    std::uint32_t m_speed = 0;
    std::uint32_t m_skill = 0;
};

} // namespace Tarvo
