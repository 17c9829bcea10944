#pragma once

#include "engine/base/Application.h"
#include "engine/base/EventHandler.h"

#include "game/edit/CheckReport.h"
#include "game/edit/EditTools.h"
#include "game/edit/EditorMode.h"
#include "game/edit/EditorPrompt.h"
#include "game/edit/NewMapForm.h"

#include <memory>
#include <string>
#include <vector>

namespace Tarvo
{

class MapEditor;
class MapView;
class PaletteView;
class PlayTest;
class TextPanel;

// The map editor's window: a new-map form or the map given on the command line, the map view with its
// palette, the tools on the mouse and keys, the map rules checked as the map changes, saving, and
// play-testing the map in a one-player round.
class EditorApp final : public Fernhouse::Base::Application, public Fernhouse::Base::EventHandler
{
public:
    using Mode = EditorMode;

    // Screen layout, in pixels.
    static constexpr std::int32_t ViewWidth = 528;
    static constexpr std::int32_t ViewHeight = 576;
    static constexpr std::int32_t PaletteX = 536;
    static constexpr std::int32_t PaletteY = 8;
    static constexpr std::int32_t ScrollStep = EditTools::ScrollStep;
    static constexpr const char* TilesetDirectory = "graphics/tilesets";

    // args are the command line after the program name: nothing, or one map file. Opens the window; an
    // error is kept for run to report.
    explicit EditorApp(const std::vector<std::string>& args);
    ~EditorApp() override;

    // Until the editor is left. 0 normally, 1 when the window could not be opened or the map not loaded
    // (the reason on standard error), 2 for a wrong command line.
    int run() override;

    // run in pieces, for tests: startRun once (throws the map's loading errors), then runFrame until it
    // returns false, then endRun.
    void startRun();
    bool runFrame();
    void endRun();

    bool keyDown(SDLKey key, bool ctrl, bool shift, bool alt) override;
    bool keyUp(SDLKey key, bool ctrl, bool shift, bool alt) override;
    bool mouseMotion(std::uint16_t x, std::uint16_t y, std::int16_t xrel, std::int16_t yrel) override;
    bool mouseButtonDown(std::uint8_t button, std::uint16_t x, std::uint16_t y) override;
    bool mouseButtonUp(std::uint8_t button, std::uint16_t x, std::uint16_t y) override;

    Mode getMode() const { return m_mode; }

    // Null before a map is open.
    MapEditor* getEditor() const { return m_editor.get(); }

    unsigned getLayer() const { return m_tools.getLayer(); }

    std::int32_t getSelectedTile() const { return m_tools.getSelectedTile(); }

    // The lines of the status bar, the side panel and the check panel, as shown.
    const std::vector<std::string>& getStatusLines() const;
    const std::vector<std::string>& getCheckLines() const;

    // The ".png" files of the tileset directory, by name.
    static std::vector<std::string> listTilesets();

protected:
    void step() override;

private:
    void openMap(std::unique_ptr<MapEditor> editor);
    void closeMap();
    bool newMapKey(SDLKey key, bool shift);
    bool editKey(SDLKey key, bool ctrl, bool shift);
    // The keys with Ctrl held: undo, redo, save.
    bool commandKey(SDLKey key);
    void createNewMap();
    void changeTileset(int direction);
    void startPlayTest();
    void stopPlayTest();
    void mapChanged();
    void refreshCheck();
    void refreshText();
    void showPanels(bool shown);

    std::string m_startPath;
    bool m_badArguments = false;
    std::string m_initError;
    Mode m_mode = Mode::NewMap;
    std::unique_ptr<MapEditor> m_editor;
    MapView* m_view = nullptr;         // owned; null while no map is open
    PaletteView* m_palette = nullptr;  // owned; null while no map is open
    TextPanel* m_status = nullptr;     // owned; null outside a run
    TextPanel* m_side = nullptr;       // owned; null outside a run
    TextPanel* m_checkPanel = nullptr; // owned; null outside a run
    TextPanel* m_form = nullptr;       // owned; null outside a run
    PlayTest* m_playTest = nullptr;    // owned; null outside a play-test
    bool m_registered = false;
    bool m_panelsShown = false;

    NewMapForm m_newMap;
    std::vector<std::string> m_tilesets;
    // The last report of saving, renaming or a play-test, shown on the status line.
    std::string m_message;
    CheckReport m_check;
    EditTools m_tools{&m_check};
    EditorPrompt m_prompt{&m_mode, &m_message, &m_check};
};

} // namespace Tarvo
