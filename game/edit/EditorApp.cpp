#include "game/edit/EditorApp.h"

#include "engine/base/ErrorLog.h"
#include "engine/base/EventRouter.h"
#include "engine/base/Exception.h"
#include "engine/base/GameTime.h"
#include "engine/base/Screen.h"
#include "engine/graphics/FontManager.h"

#include "game/edit/MapEditor.h"
#include "game/edit/MapView.h"
#include "game/edit/PaletteView.h"
#include "game/edit/PlayTest.h"
#include "game/edit/TextPanel.h"
#include "game/frontend/GameSounds.h"
#include "game/frontend/GameWindow.h"
#include "game/frontend/TarvoApp.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace Tarvo
{

namespace
{

using Fernhouse::Base::Rect;

constexpr const char* Caption = "Tarvo map editor";
constexpr int KeyRepeatDelay = 400;
constexpr int KeyRepeatInterval = 40;
constexpr int ExitNormal = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;
constexpr const char* TextFont = "fixed_small";
constexpr const char* Usage = "Usage: tarvo-edit [FILE.map]";
constexpr std::int32_t SideX = EditorApp::PaletteX;
constexpr std::int32_t SideY = 272;
constexpr std::int32_t CheckY = 370;
constexpr std::int32_t StatusY = 582;
constexpr std::int32_t FormX = 200;
constexpr std::int32_t FormY = 200;

constexpr const char* LayerNames[] = {"ground", "walls", "start points"};

} // namespace

EditorApp::EditorApp(const std::vector<std::string>& args)
{
    if (args.size() > 1 || (args.size() == 1 && (args[0].empty() || args[0][0] == '-')))
    {
        m_badArguments = true;
        return;
    }
    if (args.size() == 1)
    {
        m_startPath = args[0];
    }
    try
    {
        GameWindow::open(*this, Caption, false);
    }
    catch (const Fernhouse::Base::SoundException& e)
    {
        // The editor runs on without sound; only a play-test is quieter.
        Fernhouse::Base::ErrorLog::write(e);
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        m_initError = e.getMessage();
    }
}

EditorApp::~EditorApp()
{
    endRun();
}

int EditorApp::run()
{
    if (m_badArguments)
    {
        std::fprintf(stderr, "%s\n", Usage);
        return ExitUsage;
    }
    if (getScreen() == nullptr)
    {
        std::fprintf(stderr, "tarvo-edit: %s\n", m_initError.empty() ? "no window" : m_initError.c_str());
        return ExitFailed;
    }
    try
    {
        startRun();
        while (runFrame())
        {
        }
        endRun();
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        Fernhouse::Base::ErrorLog::write(e);
        std::fprintf(stderr, "tarvo-edit: %s\n", e.getMessage().c_str());
        endRun();
        return ExitFailed;
    }
    return ExitNormal;
}

void EditorApp::startRun()
{
    SDL_ShowCursor(SDL_ENABLE);
    getEventRouter()->enableKeyRepeat(KeyRepeatDelay, KeyRepeatInterval);
    getEventRouter()->addHandler(this);
    m_registered = true;
    getGameTime()->start();
    getFontManager()->setFontDirectory(GameWindow::FontDirectory);
    GameSounds::registerAll(getSoundManager());

    m_tilesets = listTilesets();
    m_newMap.setTilesets(m_tilesets);
    m_status = new TextPanel(TextFont);
    m_status->setPosition(4, StatusY);
    m_side = new TextPanel(TextFont);
    m_side->setPosition(SideX, SideY);
    m_checkPanel = new TextPanel(TextFont);
    m_checkPanel->setPosition(SideX, CheckY);
    m_form = new TextPanel(TextFont);
    m_form->setPosition(FormX, FormY);
    getScreen()->addChild(m_status);

    if (m_startPath.empty())
    {
        m_mode = Mode::NewMap;
        getScreen()->addChild(m_form);
        m_form->setLines(m_newMap.lines());
    }
    else
    {
        openMap(std::make_unique<MapEditor>(m_startPath));
    }
    refreshText();
}

bool EditorApp::runFrame()
{
    if (m_mode == Mode::Done)
    {
        return false;
    }
    if (!frame())
    {
        // The window was closed: a changed map is asked about first.
        if (m_mode == Mode::PlayTest)
        {
            stopPlayTest();
        }
        if (m_editor && m_editor->isDirty() && m_mode != Mode::ConfirmQuit)
        {
            m_mode = Mode::ConfirmQuit;
            refreshText();
            return true;
        }
        return false;
    }
    return m_mode != Mode::Done;
}

void EditorApp::endRun()
{
    if (m_playTest != nullptr)
    {
        stopPlayTest();
    }
    closeMap();
    for (TextPanel** panel : {&m_status, &m_side, &m_checkPanel, &m_form})
    {
        if (*panel != nullptr && getScreen() != nullptr)
        {
            getScreen()->removeChild(*panel);
        }
        delete *panel;
        *panel = nullptr;
    }
    if (m_registered)
    {
        getEventRouter()->removeHandler(this);
        m_registered = false;
    }
}

std::vector<std::string> EditorApp::listTilesets()
{
    if (!std::filesystem::is_directory(TilesetDirectory))
    {
        return {};
    }
    return TarvoApp::listFiles(TilesetDirectory, ".png");
}

const std::vector<std::string>& EditorApp::getStatusLines() const
{
    return m_status->getLines();
}

const std::vector<std::string>& EditorApp::getCheckLines() const
{
    return m_check.getLines();
}

void EditorApp::step()
{
    if (m_mode == Mode::PlayTest && m_playTest->isFinished())
    {
        stopPlayTest();
    }
    if (m_check.isStale() && m_editor)
    {
        refreshCheck();
    }
}

void EditorApp::openMap(std::unique_ptr<MapEditor> editor)
{
    closeMap();
    m_editor = std::move(editor);
    m_view = new MapView(&m_editor->getMap(), Rect(0, 0, ViewWidth, ViewHeight));
    m_view->scrollBy(0, 0);
    m_palette = new PaletteView(m_editor->getMap().getGraphicsFileName());
    m_palette->setPosition(PaletteX, PaletteY);
    m_tools.attach(m_editor.get(), m_view, m_palette);
    m_mode = Mode::Edit;
    showPanels(true);
    mapChanged();
}

void EditorApp::closeMap()
{
    showPanels(false);
    m_tools.attach(nullptr, nullptr, nullptr);
    delete m_view;
    m_view = nullptr;
    delete m_palette;
    m_palette = nullptr;
    m_editor.reset();
}

void EditorApp::showPanels(bool shown)
{
    Fernhouse::Base::Screen* screen = getScreen();
    if (screen == nullptr || shown == m_panelsShown)
    {
        return;
    }
    m_panelsShown = shown;
    for (Fernhouse::Base::Entity* entity :
         std::initializer_list<Fernhouse::Base::Entity*>{m_view, m_palette, m_side, m_checkPanel})
    {
        if (shown)
        {
            screen->addChild(entity);
        }
        else
        {
            screen->removeChild(entity);
        }
    }
    screen->removeChild(m_form);
}

bool EditorApp::keyDown(SDLKey key, bool ctrl, bool shift, bool /*alt*/)
{
    if (key == SDLK_LSHIFT || key == SDLK_RSHIFT)
    {
        m_tools.setShift(true);
    }
    bool used = false;
    switch (m_mode)
    {
        case Mode::NewMap:
            used = !ctrl && newMapKey(key, shift);
            break;
        case Mode::Edit:
            used = editKey(key, ctrl, shift);
            break;
        case Mode::Prompt:
            used = !ctrl && m_prompt.promptKey(*m_editor, key, shift);
            break;
        case Mode::ConfirmQuit:
            used = m_prompt.confirmKey(*m_editor, key);
            break;
        case Mode::PlayTest:
        case Mode::Done:
            return false;
    }
    refreshText();
    return used;
}

bool EditorApp::keyUp(SDLKey key, bool, bool, bool)
{
    if (key == SDLK_LSHIFT || key == SDLK_RSHIFT)
    {
        m_tools.setShift(false);
    }
    return false;
}

bool EditorApp::newMapKey(SDLKey key, bool shift)
{
    switch (m_newMap.key(key, shift))
    {
        case NewMapForm::Outcome::Cancel:
            m_mode = Mode::Done;
            return true;
        case NewMapForm::Outcome::Create:
            createNewMap();
            return true;
        case NewMapForm::Outcome::Edited:
            return true;
        default:
            return false;
    }
}

void EditorApp::createNewMap()
{
    if (m_newMap.getTileset().empty())
    {
        m_newMap.setError(std::string("No tileset found in ") + TilesetDirectory + ".");
        return;
    }
    try
    {
        openMap(std::make_unique<MapEditor>(m_newMap.getTitle(), m_newMap.getTileset(), m_newMap.getWidth(),
                                            m_newMap.getHeight()));
        m_newMap.setError("");
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        m_newMap.setError(e.getMessage());
    }
}

bool EditorApp::editKey(SDLKey key, bool ctrl, bool shift)
{
    if (ctrl)
    {
        return commandKey(key);
    }
    if (m_tools.key(key))
    {
        return true;
    }
    switch (key)
    {
        case SDLK_t:
            m_prompt.askTitle(*m_editor);
            return true;
        case SDLK_g:
            changeTileset(shift ? -1 : 1);
            return true;
        case SDLK_F5:
            startPlayTest();
            return true;
        case SDLK_ESCAPE:
            m_prompt.askToQuit(*m_editor);
            return true;
        default:
            return false;
    }
}

bool EditorApp::commandKey(SDLKey key)
{
    switch (key)
    {
        case SDLK_z:
            m_editor->undo();
            mapChanged();
            return true;
        case SDLK_y:
            m_editor->redo();
            mapChanged();
            return true;
        case SDLK_s:
            m_prompt.save(*m_editor);
            return true;
        default:
            return false;
    }
}

void EditorApp::changeTileset(int direction)
{
    if (m_tilesets.empty())
    {
        return;
    }
    const auto current =
        std::find(m_tilesets.begin(), m_tilesets.end(), m_editor->getMap().getGraphicsFileName());
    const auto count = static_cast<std::ptrdiff_t>(m_tilesets.size());
    const std::ptrdiff_t index = current == m_tilesets.end() ? 0 : current - m_tilesets.begin();
    const std::string& next = m_tilesets[static_cast<std::size_t>((index + direction + count) % count)];
    try
    {
        m_palette->setTileset(next);
        m_editor->setTileset(next);
        m_view->reloadTileset();
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        m_message = e.getMessage();
    }
    mapChanged();
}

bool EditorApp::mouseMotion(std::uint16_t x, std::uint16_t y, std::int16_t xrel, std::int16_t yrel)
{
    if (m_mode != Mode::Edit)
    {
        return false;
    }
    m_tools.mouseMotion(x, y, xrel, yrel);
    refreshText();
    return true;
}

bool EditorApp::mouseButtonDown(std::uint8_t button, std::uint16_t x, std::uint16_t y)
{
    if (m_mode != Mode::Edit || m_tools.isDragging())
    {
        return false;
    }
    // A tile picked from the palette shows in the side panel at once; a stroke shows after the next check.
    if (button == SDL_BUTTON_LEFT && m_tools.pickFromPalette(x, y))
    {
        refreshText();
        return true;
    }
    return m_tools.mouseButtonDown(button, x, y);
}

bool EditorApp::mouseButtonUp(std::uint8_t button, std::uint16_t x, std::uint16_t y)
{
    if (!m_tools.mouseButtonUp(button, x, y))
    {
        return false;
    }
    refreshText();
    return true;
}

void EditorApp::startPlayTest()
{
    try
    {
        m_playTest = new PlayTest(m_editor->getMap(), getSoundManager());
        showPanels(false);
        getScreen()->removeChild(m_status);
        m_mode = Mode::PlayTest;
        m_playTest->start(getScreen(), getEventRouter());
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        if (m_playTest != nullptr)
        {
            stopPlayTest();
        }
        m_message = "Play-test failed: " + e.getMessage();
    }
}

void EditorApp::stopPlayTest()
{
    delete m_playTest;
    m_playTest = nullptr;
    getScreen()->addChild(m_status);
    showPanels(true);
    m_mode = Mode::Edit;
    refreshText();
}

void EditorApp::mapChanged()
{
    m_check.markStale();
}

void EditorApp::refreshCheck()
{
    m_view->setProblemCells(m_check.update(m_editor->getMap()));
    m_checkPanel->setLines(m_check.getLines());
    refreshText();
}

void EditorApp::refreshText()
{
    if (m_status == nullptr)
    {
        return;
    }
    std::string status;
    switch (m_mode)
    {
        case Mode::NewMap:
            m_form->setLines(m_newMap.lines());
            status = "Escape: quit";
            break;
        case Mode::Prompt:
        case Mode::ConfirmQuit:
            status = m_prompt.getLine();
            break;
        default:
            status = m_message.empty()
                         ? "1-3 layer, I pick, T title, G tileset, Ctrl+S save, Ctrl+Z/Y undo/redo, F5 play"
                         : m_message;
            break;
    }
    m_status->setLines({status});
    if (!m_editor)
    {
        return;
    }
    const MapFile& map = m_editor->getMap();
    const std::optional<Fernhouse::Base::Point>& cursor = m_tools.getCursor();
    std::vector<std::string> side{
        "Layer " + std::to_string(getLayer() + 1) + ": " + LayerNames[getLayer()],
        getLayer() < 2 ? "Tile " + std::to_string(getSelectedTile()) : "Left: place, right: remove",
        "Title: " + map.getName(),
        "Tileset: " + std::filesystem::path(map.getGraphicsFileName()).stem().string(),
        "Size: " + std::to_string(map.getWidth()) + " x " + std::to_string(map.getHeight()),
        cursor ? "Cell: " + std::to_string(cursor->x) + ", " + std::to_string(cursor->y) : "Cell: -",
        m_editor->isDirty() ? "Changed" : "Saved"};
    m_side->setLines(side);
}

} // namespace Tarvo
