#pragma once

#include <streambuf>
#include <string>

namespace Tarvo
{

// Reads the lines of the game's text formats straight from a stream buffer; the formats add their own
// ways of reading numbers on top.
class TextReader
{
public:
    explicit TextReader(std::streambuf* buffer) : m_buffer(buffer) {}

    // Up to and including the next LF, or to the end of the file.
    void skipLine();
    // The next line without its LF and a CR before it; empty and false when the file has no characters
    // left.
    bool readLine(std::string& line);

    // Skips white space, line ends included, and returns the next character without taking it (Eof at
    // the end).
    int skipSpace();

    static bool isSpace(int c);

    static constexpr int Eof = std::char_traits<char>::eof();

protected:
    std::streambuf* buffer() const { return m_buffer; }

private:
    std::streambuf* m_buffer; // not owned
};

} // namespace Tarvo
