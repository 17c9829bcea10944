#include "game/progress/TextReader.h"

namespace Tarvo
{

void TextReader::skipLine()
{
    int c = m_buffer->sbumpc();
    while (c != Eof && c != '\n')
    {
        c = m_buffer->sbumpc();
    }
}

bool TextReader::readLine(std::string& line)
{
    line.clear();
    int c = m_buffer->sbumpc();
    if (c == Eof)
    {
        return false;
    }
    while (c != Eof && c != '\n')
    {
        line.push_back(static_cast<char>(c));
        c = m_buffer->sbumpc();
    }
    if (!line.empty() && line.back() == '\r')
    {
        line.pop_back();
    }
    return true;
}

int TextReader::skipSpace()
{
    int c = m_buffer->sgetc();
    while (c != Eof && isSpace(c))
    {
        c = m_buffer->snextc();
    }
    return c;
}

bool TextReader::isSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace Tarvo
