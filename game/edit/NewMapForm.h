#pragma once

#include <SDL/SDL_keysym.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace Tarvo
{

// The editor's new-map form: a title, a width, a height and a tileset chosen from a list, typed into one
// field at a time, and the error of the last attempt to create the map.
class NewMapForm final
{
public:
    enum class Outcome
    {
        Ignored,
        Edited,
        Create,
        Cancel
    };

    // Tab or Down to the next field (Shift+Tab or Up back), Left and Right through the tilesets, Return to
    // create, Escape to cancel; the size fields take digits only.
    Outcome key(SDLKey key, bool shift);
    // The tilesets by path; the first is chosen.
    void setTilesets(const std::vector<std::string>& tilesets);

    void setError(const std::string& error) { m_error = error; }

    // The form as shown, its error last.
    std::vector<std::string> lines() const;

    const std::string& getTitle() const { return m_fields[Title]; }

    // Empty when there is no tileset to choose.
    const std::string& getTileset() const { return m_fields[Tileset]; }

    // In cells; -1 when the field holds no number of at most three digits.
    std::int32_t getWidth() const { return size(m_fields[Width]); }

    std::int32_t getHeight() const { return size(m_fields[Height]); }

    // Backspace takes the last character off, a typed one goes on the end: the rules of every text the
    // editor asks for. True when the key was one of them.
    static bool editText(std::string& text, SDLKey key, bool shift);

private:
    enum Field : std::size_t
    {
        Title,
        Width,
        Height,
        Tileset,
        FieldCount
    };

    static std::int32_t size(const std::string& text);

    std::array<std::string, FieldCount> m_fields{"New map", "30", "30", ""};
    std::size_t m_field = Title;
    std::vector<std::string> m_tilesets;
    std::size_t m_tilesetIndex = 0;
    std::string m_error;
};

} // namespace Tarvo
