#include "game/edit/NewMapForm.h"

#include "game/edit/MapEditor.h"

namespace Tarvo
{

namespace
{

constexpr std::size_t MaxTextLength = 60;
constexpr std::size_t MaxSizeDigits = 3;
constexpr const char* FieldNames[] = {"Title", "Width", "Height", "Tileset"};

// The character a key types, 0 for none; only what a file name or title needs.
char typedChar(SDLKey key, bool shift)
{
    if (key >= SDLK_a && key <= SDLK_z)
    {
        const char c = static_cast<char>('a' + (key - SDLK_a));
        return shift ? static_cast<char>(c - 'a' + 'A') : c;
    }
    if (key >= SDLK_0 && key <= SDLK_9)
    {
        return static_cast<char>('0' + (key - SDLK_0));
    }
    switch (key)
    {
        case SDLK_SPACE:
            return ' ';
        case SDLK_MINUS:
            return shift ? '_' : '-';
        case SDLK_PERIOD:
            return '.';
        case SDLK_SLASH:
            return '/';
        default:
            return 0;
    }
}

} // namespace

bool NewMapForm::editText(std::string& text, SDLKey key, bool shift)
{
    if (key == SDLK_BACKSPACE)
    {
        if (!text.empty())
        {
            text.pop_back();
        }
        return true;
    }
    const char c = typedChar(key, shift);
    if (c != 0 && text.size() < MaxTextLength)
    {
        text.push_back(c);
        return true;
    }
    return c != 0;
}

void NewMapForm::setTilesets(const std::vector<std::string>& tilesets)
{
    m_tilesets = tilesets;
    m_tilesetIndex = 0;
    m_fields[Tileset] = m_tilesets.empty() ? "" : m_tilesets.front();
}

NewMapForm::Outcome NewMapForm::key(SDLKey key, bool shift)
{
    switch (key)
    {
        case SDLK_ESCAPE:
            return Outcome::Cancel;
        case SDLK_TAB:
        case SDLK_DOWN:
            m_field = (m_field + (shift && key == SDLK_TAB ? FieldCount - 1 : 1)) % FieldCount;
            return Outcome::Edited;
        case SDLK_UP:
            m_field = (m_field + FieldCount - 1) % FieldCount;
            return Outcome::Edited;
        case SDLK_RETURN:
            return Outcome::Create;
        case SDLK_LEFT:
        case SDLK_RIGHT:
            if (m_field == Tileset && !m_tilesets.empty())
            {
                const std::size_t count = m_tilesets.size();
                m_tilesetIndex = (m_tilesetIndex + (key == SDLK_LEFT ? count - 1 : 1)) % count;
                m_fields[Tileset] = m_tilesets[m_tilesetIndex];
            }
            return Outcome::Edited;
        default:
            break;
    }
    if (m_field == Tileset)
    {
        return Outcome::Ignored;
    }
    const bool numeric = m_field == Width || m_field == Height;
    if (numeric && key != SDLK_BACKSPACE && !(key >= SDLK_0 && key <= SDLK_9))
    {
        return Outcome::Ignored;
    }
    return editText(m_fields[m_field], key, shift) ? Outcome::Edited : Outcome::Ignored;
}

std::vector<std::string> NewMapForm::lines() const
{
    std::vector<std::string> lines{"New map (Tab: next field, Left/Right: tileset, Return: create)", ""};
    for (std::size_t i = 0; i < FieldCount; ++i)
    {
        lines.push_back(std::string(i == m_field ? "> " : "  ") + FieldNames[i] + ": " + m_fields[i]);
    }
    lines.push_back("");
    lines.push_back("Sizes run from " + std::to_string(MapEditor::MinSize) + " to " +
                    std::to_string(MapEditor::MaxSize) + " cells.");
    if (!m_error.empty())
    {
        lines.push_back(m_error);
    }
    return lines;
}

std::int32_t NewMapForm::size(const std::string& text)
{
    return text.empty() || text.size() > MaxSizeDigits ? -1 : std::stoi(text);
}

} // namespace Tarvo
