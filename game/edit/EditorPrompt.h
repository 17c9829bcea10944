#pragma once

#include "game/edit/EditorMode.h"

#include <SDL/SDL_keysym.h>

#include <string>

namespace Tarvo
{

class CheckReport;
class MapEditor;

// The questions the editor asks on its status line: a new title, a file to save to (warning once before
// another map's file is replaced) and whether to save before quitting; saving as they are answered.
class EditorPrompt final
{
public:
    // The answers move the editor window's mode on, leave what saving or renaming reports in its message
    // and mark its check stale after a new title; all three are shared with the window, which outlives the
    // prompt.
    EditorPrompt(EditorMode* mode, std::string* message, CheckReport* check);

    void askTitle(const MapEditor& editor);
    // Quits at once when nothing is unsaved, else asks whether to save first.
    void askToQuit(const MapEditor& editor);
    // To the map's file, or to one asked for first when the map has none yet.
    void save(MapEditor& editor);

    // The keys while a text is asked for and while the quit question is open; true when used.
    bool promptKey(MapEditor& editor, SDLKey key, bool shift);
    bool confirmKey(MapEditor& editor, SDLKey key);

    // The status line while a question is open.
    std::string getLine() const;

private:
    enum class Kind
    {
        Title,
        SaveAs
    };

    void answer(MapEditor& editor);
    void saveTo(MapEditor& editor, const std::string& path);

    EditorMode* m_mode;     // shared, the editor window's
    std::string* m_message; // shared, the editor window's
    CheckReport* m_check;   // shared, the editor window's
    Kind m_kind = Kind::Title;
    std::string m_text;
    // A file the save prompt has warned about; a second Return replaces it.
    std::string m_overwritePath;
    bool m_quitAfterSave = false;
};

} // namespace Tarvo
