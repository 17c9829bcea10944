#include "game/edit/EditorPrompt.h"

#include "engine/base/Exception.h"

#include "game/edit/CheckReport.h"
#include "game/edit/MapEditor.h"
#include "game/edit/NewMapForm.h"
#include "game/play/MapFile.h"

#include <filesystem>

namespace Tarvo
{

namespace
{

constexpr const char* MapDirectory = "maps";

// The title as a file name: lower-case letters and digits, anything else a dash.
std::string fileNameOf(const std::string& title)
{
    std::string name;
    for (char c : title)
    {
        const bool keep = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        const bool upper = c >= 'A' && c <= 'Z';
        name.push_back(keep ? c : (upper ? static_cast<char>(c - 'A' + 'a') : '-'));
    }
    const std::string directory =
        std::filesystem::is_directory(MapDirectory) ? std::string(MapDirectory) + "/" : "";
    return directory + (name.empty() ? "new" : name) + MapFile::Extension;
}

} // namespace

EditorPrompt::EditorPrompt(EditorMode* mode, std::string* message, CheckReport* check)
    : m_mode(mode),
      m_message(message),
      m_check(check)
{
}

void EditorPrompt::askTitle(const MapEditor& editor)
{
    m_kind = Kind::Title;
    m_text = editor.getMap().getName();
    *m_mode = EditorMode::Prompt;
}

void EditorPrompt::askToQuit(const MapEditor& editor)
{
    *m_mode = editor.isDirty() ? EditorMode::ConfirmQuit : EditorMode::Done;
}

void EditorPrompt::save(MapEditor& editor)
{
    if (editor.getPath().empty())
    {
        m_overwritePath.clear();
        m_kind = Kind::SaveAs;
        m_text = fileNameOf(editor.getMap().getName());
        *m_mode = EditorMode::Prompt;
        return;
    }
    saveTo(editor, editor.getPath());
}

void EditorPrompt::saveTo(MapEditor& editor, const std::string& path)
{
    try
    {
        editor.save(path);
        *m_message = "Saved " + path + ".";
        if (m_quitAfterSave)
        {
            *m_mode = EditorMode::Done;
        }
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        *m_message = e.getMessage();
    }
    m_quitAfterSave = false;
}

bool EditorPrompt::promptKey(MapEditor& editor, SDLKey key, bool shift)
{
    switch (key)
    {
        case SDLK_ESCAPE:
            m_quitAfterSave = false;
            *m_mode = EditorMode::Edit;
            return true;
        case SDLK_RETURN:
            answer(editor);
            return true;
        default:
            return NewMapForm::editText(m_text, key, shift);
    }
}

void EditorPrompt::answer(MapEditor& editor)
{
    *m_mode = EditorMode::Edit;
    if (m_kind == Kind::Title)
    {
        try
        {
            editor.setTitle(m_text);
            m_check->markStale();
        }
        catch (const Fernhouse::Base::Exception& e)
        {
            *m_message = e.getMessage();
        }
    }
    else if (m_text != editor.getPath() && m_overwritePath != m_text && std::filesystem::exists(m_text))
    {
        // Another map's file is replaced only when asked twice.
        m_overwritePath = m_text;
        *m_mode = EditorMode::Prompt;
    }
    else
    {
        saveTo(editor, m_text);
    }
}

bool EditorPrompt::confirmKey(MapEditor& editor, SDLKey key)
{
    switch (key)
    {
        case SDLK_y:
            m_quitAfterSave = true;
            *m_mode = EditorMode::Edit;
            save(editor);
            return true;
        case SDLK_n:
            *m_mode = EditorMode::Done;
            return true;
        case SDLK_ESCAPE:
        case SDLK_c:
            *m_mode = EditorMode::Edit;
            return true;
        default:
            return false;
    }
}

std::string EditorPrompt::getLine() const
{
    if (*m_mode == EditorMode::ConfirmQuit)
    {
        return "The map has unsaved changes. Save them? Y: save and quit, N: quit, C: cancel";
    }
    return std::string(m_kind == Kind::Title ? "Title: " : "Save as: ") + m_text +
           (m_overwritePath == m_text ? "   exists. Return: replace it, Escape: cancel"
                                      : "_   (Return: accept, Escape: cancel)");
}

} // namespace Tarvo
