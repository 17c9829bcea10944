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
#include "game/edit/TextPanel.h"
#include "game/frontend/GameSounds.h"
#include "game/frontend/GameWindow.h"
#include "game/frontend/MapRound.h"
#include "game/frontend/TarvoApp.h"
#include "game/play/GameEngine.h"
#include "game/play/MapCheck.h"
#include "game/progress/Configuration.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace Tarvo
{

namespace
{

using Fernhouse::Base::Point;
using Fernhouse::Base::Rect;

constexpr const char* Caption = "Tarvo map editor";
constexpr int KeyRepeatDelay = 400;
constexpr int KeyRepeatInterval = 40;
constexpr int ExitNormal = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;
constexpr const char* FontDirectory = "graphics/fonts/";
constexpr const char* TextFont = "fixed_small";
constexpr const char* MapExtension = ".map";
constexpr const char* MapDirectory = "maps";
constexpr const char* Usage = "Usage: tarvo-edit [FILE.map]";
constexpr std::int32_t SideX = EditorApp::PaletteX;
constexpr std::int32_t SideY = 272;
constexpr std::int32_t CheckY = 370;
constexpr std::int32_t StatusY = 582;
constexpr std::int32_t FormX = 200;
constexpr std::int32_t FormY = 200;
// Characters of a check message per line in the side column.
constexpr std::size_t CheckColumns = 40;
constexpr std::size_t ShownProblems = 8;
constexpr std::uint8_t LeftButton = SDL_BUTTON_LEFT;
constexpr std::uint8_t MiddleButton = SDL_BUTTON_MIDDLE;
constexpr std::uint8_t RightButton = SDL_BUTTON_RIGHT;
constexpr std::uint8_t WheelUp = SDL_BUTTON_WHEELUP;
constexpr std::uint8_t WheelDown = SDL_BUTTON_WHEELDOWN;

constexpr const char* LayerNames[] = {"ground", "walls", "start points"};

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
    return directory + (name.empty() ? "new" : name) + MapExtension;
}

// Words to lines of at most width characters.
void wrapInto(const std::string& text, std::size_t width, std::vector<std::string>& lines)
{
    std::string line;
    std::size_t start = 0;
    while (start < text.size())
    {
        std::size_t end = text.find(' ', start);
        if (end == std::string::npos)
        {
            end = text.size();
        }
        const std::string word = text.substr(start, end - start);
        if (!line.empty() && line.size() + 1 + word.size() > width)
        {
            lines.push_back(line);
            line = " ";
        }
        line += (line.empty() || line == " " ? "" : " ") + word;
        start = end + 1;
    }
    if (!line.empty())
    {
        lines.push_back(line);
    }
}

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
    getFontManager()->setFontDirectory(FontDirectory);
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
    if (m_gameEngine != nullptr)
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

std::int32_t EditorApp::getSelectedTile() const
{
    return m_layer < 2 ? m_tiles[m_layer] : MapFile::EmptyCell;
}

const std::vector<std::string>& EditorApp::getStatusLines() const
{
    return m_status->getLines();
}

const std::vector<std::string>& EditorApp::getCheckLines() const
{
    return m_checkLines;
}

void EditorApp::step()
{
    if (m_mode == Mode::PlayTest && m_gameEngine->isFinished())
    {
        stopPlayTest();
    }
    if (m_checkStale && m_editor)
    {
        refreshCheck();
    }
}

void EditorApp::openMap(std::unique_ptr<MapEditor> editor)
{
    closeMap();
    m_editor = std::move(editor);
    m_view = new MapView(&m_editor->getMap(), Rect(0, 0, ViewWidth, ViewHeight));
    m_view->setLayer(m_layer);
    m_view->scrollBy(0, 0);
    m_palette = new PaletteView(m_editor->getMap().getGraphicsFileName());
    m_palette->setPosition(PaletteX, PaletteY);
    m_palette->setSelected(getSelectedTile());
    m_mode = Mode::Edit;
    showPanels(true);
    mapChanged();
}

void EditorApp::closeMap()
{
    showPanels(false);
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
        m_shift = true;
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
            used = !ctrl && promptKey(key, shift);
            break;
        case Mode::ConfirmQuit:
            used = confirmKey(key);
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
        m_shift = false;
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
                save();
                return true;
            default:
                return false;
        }
    }
    switch (key)
    {
        case SDLK_1:
        case SDLK_2:
        case SDLK_3:
            m_layer = static_cast<unsigned>(key - SDLK_1);
            m_view->setLayer(m_layer);
            m_palette->setSelected(getSelectedTile());
            return true;
        case SDLK_LEFT:
            scrollView(-ScrollStep, 0);
            return true;
        case SDLK_RIGHT:
            scrollView(ScrollStep, 0);
            return true;
        case SDLK_UP:
            scrollView(0, -ScrollStep);
            return true;
        case SDLK_DOWN:
            scrollView(0, ScrollStep);
            return true;
        case SDLK_i:
            pickUnderCursor();
            return true;
        case SDLK_t:
            m_promptKind = PromptKind::Title;
            m_promptText = m_editor->getMap().getName();
            m_mode = Mode::Prompt;
            return true;
        case SDLK_g:
            changeTileset(shift ? -1 : 1);
            return true;
        case SDLK_F5:
            startPlayTest();
            return true;
        case SDLK_ESCAPE:
            requestQuit();
            return true;
        default:
            return false;
    }
}

bool EditorApp::promptKey(SDLKey key, bool shift)
{
    switch (key)
    {
        case SDLK_ESCAPE:
            m_quitAfterSave = false;
            m_mode = Mode::Edit;
            return true;
        case SDLK_RETURN:
            m_mode = Mode::Edit;
            if (m_promptKind == PromptKind::Title)
            {
                try
                {
                    m_editor->setTitle(m_promptText);
                    mapChanged();
                }
                catch (const Fernhouse::Base::Exception& e)
                {
                    m_message = e.getMessage();
                }
            }
            else if (m_promptText != m_editor->getPath() && m_overwritePath != m_promptText &&
                     std::filesystem::exists(m_promptText))
            {
                // Another map's file is replaced only when asked twice.
                m_overwritePath = m_promptText;
                m_mode = Mode::Prompt;
            }
            else
            {
                saveTo(m_promptText);
            }
            return true;
        default:
            return NewMapForm::editText(m_promptText, key, shift);
    }
}

bool EditorApp::confirmKey(SDLKey key)
{
    switch (key)
    {
        case SDLK_y:
            m_quitAfterSave = true;
            m_mode = Mode::Edit;
            save();
            return true;
        case SDLK_n:
            m_mode = Mode::Done;
            return true;
        case SDLK_ESCAPE:
        case SDLK_c:
            m_mode = Mode::Edit;
            return true;
        default:
            return false;
    }
}

void EditorApp::requestQuit()
{
    m_mode = m_editor->isDirty() ? Mode::ConfirmQuit : Mode::Done;
}

void EditorApp::save()
{
    if (m_editor->getPath().empty())
    {
        m_overwritePath.clear();
        m_promptKind = PromptKind::SaveAs;
        m_promptText = fileNameOf(m_editor->getMap().getName());
        m_mode = Mode::Prompt;
        return;
    }
    saveTo(m_editor->getPath());
}

void EditorApp::saveTo(const std::string& path)
{
    try
    {
        m_editor->save(path);
        m_message = "Saved " + path + ".";
        if (m_quitAfterSave)
        {
            m_mode = Mode::Done;
        }
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        m_message = e.getMessage();
    }
    m_quitAfterSave = false;
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

void EditorApp::scrollView(std::int32_t dx, std::int32_t dy)
{
    m_view->scrollBy(dx, dy);
    // The mouse stays where it is, over another cell now.
    m_cursor = m_view->cellAt(m_mouse.x, m_mouse.y);
    m_view->setCursor(m_cursor);
}

void EditorApp::pickUnderCursor()
{
    if (m_cursor && m_layer < 2)
    {
        m_tiles[m_layer] = m_editor->pick(m_layer, m_cursor->x, m_cursor->y);
        m_palette->setSelected(getSelectedTile());
    }
}

bool EditorApp::mouseMotion(std::uint16_t x, std::uint16_t y, std::int16_t xrel, std::int16_t yrel)
{
    if (m_mode != Mode::Edit)
    {
        return false;
    }
    m_mouse = Point(x, y);
    if (m_drag == Drag::Scroll)
    {
        scrollView(-xrel, -yrel);
    }
    m_cursor = m_view->cellAt(x, y);
    m_view->setCursor(m_cursor);
    if (m_cursor && (m_drag == Drag::Paint || m_drag == Drag::Erase))
    {
        applyAt(*m_cursor);
    }
    if (m_cursor && (m_drag == Drag::Fill || m_drag == Drag::EraseFill))
    {
        const std::int32_t left = std::min(m_fillAnchor.x, m_cursor->x);
        const std::int32_t top = std::min(m_fillAnchor.y, m_cursor->y);
        m_view->setFillPreview(Rect(left, top,
                                    static_cast<std::uint32_t>(std::abs(m_fillAnchor.x - m_cursor->x) + 1),
                                    static_cast<std::uint32_t>(std::abs(m_fillAnchor.y - m_cursor->y) + 1)));
    }
    refreshText();
    return true;
}

bool EditorApp::mouseButtonDown(std::uint8_t button, std::uint16_t x, std::uint16_t y)
{
    if (m_mode != Mode::Edit || m_drag != Drag::None)
    {
        return false;
    }
    if (button == WheelUp || button == WheelDown)
    {
        scrollView(0, button == WheelUp ? -ScrollStep : ScrollStep);
        return true;
    }
    if (button == MiddleButton)
    {
        m_drag = Drag::Scroll;
        return true;
    }
    const std::int32_t tile = m_palette->tileAt(x, y);
    if (button == LeftButton && tile >= 0 && m_layer < 2)
    {
        m_tiles[m_layer] = tile;
        m_palette->setSelected(tile);
        refreshText();
        return true;
    }
    m_cursor = m_view->cellAt(x, y);
    if (!m_cursor || (button != LeftButton && button != RightButton))
    {
        return false;
    }
    const bool left = button == LeftButton;
    if (m_shift && m_layer < 2)
    {
        m_drag = left ? Drag::Fill : Drag::EraseFill;
        m_fillAnchor = *m_cursor;
        m_view->setFillPreview(Rect(m_cursor->x, m_cursor->y, 1, 1));
        return true;
    }
    m_drag = left ? Drag::Paint : Drag::Erase;
    m_editor->beginStroke();
    applyAt(*m_cursor);
    return true;
}

bool EditorApp::mouseButtonUp(std::uint8_t button, std::uint16_t x, std::uint16_t y)
{
    const bool ends = (button == MiddleButton && m_drag == Drag::Scroll) ||
                      (button == LeftButton && (m_drag == Drag::Paint || m_drag == Drag::Fill)) ||
                      (button == RightButton && (m_drag == Drag::Erase || m_drag == Drag::EraseFill));
    if (!ends)
    {
        return false;
    }
    if (m_drag == Drag::Fill || m_drag == Drag::EraseFill)
    {
        if (const auto cell = m_view->cellAt(x, y))
        {
            m_cursor = cell;
        }
        finishFill();
    }
    m_editor->endStroke();
    m_drag = Drag::None;
    refreshText();
    return true;
}

void EditorApp::applyAt(const Point& cell)
{
    const bool erasing = m_drag == Drag::Erase;
    if (m_layer == MapEditor::StartLayer)
    {
        if (erasing)
        {
            m_editor->removeStart(cell.x, cell.y);
        }
        else
        {
            m_editor->placeStart(cell.x, cell.y);
        }
    }
    else
    {
        m_editor->paint(m_layer, cell.x, cell.y, erasing ? MapFile::EmptyCell : m_tiles[m_layer]);
    }
    mapChanged();
}

void EditorApp::finishFill()
{
    const std::int32_t tile = m_drag == Drag::Fill ? m_tiles[m_layer] : MapFile::EmptyCell;
    const Point corner = m_cursor.value_or(m_fillAnchor);
    m_editor->fillRect(m_layer, m_fillAnchor.x, m_fillAnchor.y, corner.x, corner.y, tile);
    m_view->setFillPreview(std::nullopt);
    mapChanged();
}

void EditorApp::startPlayTest()
{
    // The round reads a file: the map as it is now goes to a file of its own, and the map file the
    // editor saves to is left alone.
    m_playTestPath =
        (std::filesystem::temp_directory_path() / ("tarvo-edit-" + std::to_string(::getpid()) + MapExtension))
            .string();
    try
    {
        MapFile copy = m_editor->getMap();
        copy.save(m_playTestPath);
        Configuration configuration;
        try
        {
            configuration.load(TarvoApp::ConfigurationFile);
        }
        catch (const Fernhouse::Base::Exception&)
        {
            configuration.setDefaults();
        }
        m_gameEngine = MapRound::create(m_playTestPath, configuration, getSoundManager(), false);
        showPanels(false);
        getScreen()->removeChild(m_status);
        getScreen()->addChild(m_gameEngine);
        getEventRouter()->addHandler(m_gameEngine);
        m_mode = Mode::PlayTest;
        m_gameEngine->start("");
    }
    catch (const Fernhouse::Base::Exception& e)
    {
        if (m_gameEngine != nullptr)
        {
            stopPlayTest();
        }
        std::filesystem::remove(m_playTestPath);
        m_message = "Play-test failed: " + e.getMessage();
    }
}

void EditorApp::stopPlayTest()
{
    getEventRouter()->removeHandler(m_gameEngine);
    getScreen()->removeChild(m_gameEngine);
    delete m_gameEngine;
    m_gameEngine = nullptr;
    std::error_code ignored;
    std::filesystem::remove(m_playTestPath, ignored);
    getScreen()->addChild(m_status);
    showPanels(true);
    m_mode = Mode::Edit;
    refreshText();
}

void EditorApp::mapChanged()
{
    m_checkStale = true;
}

void EditorApp::refreshCheck()
{
    m_checkStale = false;
    const MapCheck check(m_editor->getMap());
    const std::vector<MapCheck::Problem> problems = check.check();
    std::vector<Point> cells;
    m_checkLines.clear();
    m_checkLines.push_back(problems.empty() ? "Checks: all rules kept."
                                            : "Checks: " + std::to_string(problems.size()) + " problem(s)");
    for (std::size_t i = 0; i < problems.size(); ++i)
    {
        cells.insert(cells.end(), problems[i].cells.begin(), problems[i].cells.end());
        if (i < ShownProblems)
        {
            wrapInto("- " + problems[i].message, CheckColumns, m_checkLines);
        }
    }
    m_view->setProblemCells(std::move(cells));
    m_checkPanel->setLines(m_checkLines);
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
            status = std::string(m_promptKind == PromptKind::Title ? "Title: " : "Save as: ") + m_promptText +
                     (m_overwritePath == m_promptText ? "   exists. Return: replace it, Escape: cancel"
                                                      : "_   (Return: accept, Escape: cancel)");
            break;
        case Mode::ConfirmQuit:
            status = "The map has unsaved changes. Save them? Y: save and quit, N: quit, C: cancel";
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
    std::vector<std::string> side{
        "Layer " + std::to_string(m_layer + 1) + ": " + LayerNames[m_layer],
        m_layer < 2 ? "Tile " + std::to_string(getSelectedTile()) : "Left: place, right: remove",
        "Title: " + map.getName(),
        "Tileset: " + std::filesystem::path(map.getGraphicsFileName()).stem().string(),
        "Size: " + std::to_string(map.getWidth()) + " x " + std::to_string(map.getHeight()),
        m_cursor ? "Cell: " + std::to_string(m_cursor->x) + ", " + std::to_string(m_cursor->y) : "Cell: -",
        m_editor->isDirty() ? "Changed" : "Saved"};
    m_side->setLines(side);
}

} // namespace Tarvo
