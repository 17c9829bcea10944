#pragma once

#include <cstdint>
#include <string>

namespace Tarvo
{

// The bests reached on one map; score and length may come from different games.
class HighscoreEntry final
{
public:
    HighscoreEntry(const std::string& map, std::uint32_t score, std::uint32_t length)
        : m_map(map),
          m_score(score),
          m_length(length)
    {
    }

    // The map's path as the campaign file names it.
    const std::string& getMap() const { return m_map; }

    std::uint32_t getScore() const { return m_score; }

    void setScore(std::uint32_t score) { m_score = score; }

    // In worm cells.
    std::uint32_t getLength() const { return m_length; }

    void setLength(std::uint32_t length) { m_length = length; }

private:
    std::string m_map;
    std::uint32_t m_score;
    std::uint32_t m_length;
};

} // namespace Tarvo
