#include "game/edit/MapEditor.h"

#include "engine/base/Exception.h"

#include "game/play/GameEngine.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace Tarvo
{

namespace
{

constexpr const char* SourceTag = "MapEditor";
constexpr std::uint64_t NeverSaved = std::numeric_limits<std::uint64_t>::max();

using Fernhouse::Base::ArgumentException;

void requireText(const std::string& text, const char* what)
{
    if (text.empty())
    {
        FH_THROW(ArgumentException, std::string(what) + " must not be empty.");
    }
}

} // namespace

MapEditor::MapEditor(const std::string& title, const std::string& tileset, std::int32_t width,
                     std::int32_t height)
    : m_savedId(NeverSaved)
{
    if (width < MinSize || width > MaxSize || height < MinSize || height > MaxSize)
    {
        FH_THROW(ArgumentException, "Map sizes run from " + std::to_string(MinSize) + " to " +
                                        std::to_string(MaxSize) + " cells.");
    }
    requireText(title, "The title");
    requireText(tileset, "The tileset");
    m_map = MapFile(static_cast<std::int32_t>(MapFile::LayerSlots), width, height);
    m_map.setName(title);
    m_map.setGraphicsFileName(tileset);
    for (std::int32_t y = 0; y < height; ++y)
    {
        for (std::int32_t x = 0; x < width; ++x)
        {
            m_map.setTile(GroundLayer, x, y, NewGroundTile);
        }
    }
}

MapEditor::MapEditor(const std::string& path) : m_map(path), m_path(path)
{
    // The map painter draws every layer but the last, which holds the start points; a map read with
    // fewer layers gets all three, so that its walls show and its start points can be placed.
    m_map.setLayerCount(static_cast<std::int32_t>(MapFile::LayerSlots));
}

void MapEditor::beginStroke()
{
    if (!m_inStroke)
    {
        m_pending = Step{0, {}, header(), header()};
        m_inStroke = true;
    }
}

void MapEditor::endStroke()
{
    if (!m_inStroke)
    {
        return;
    }
    m_inStroke = false;
    m_pending.after = header();
    const bool headerChanged = m_pending.before.title != m_pending.after.title ||
                               m_pending.before.tileset != m_pending.after.tileset ||
                               m_pending.before.layerCount != m_pending.after.layerCount;
    if (m_pending.cells.empty() && !headerChanged)
    {
        return;
    }
    m_pending.id = m_nextId++;
    m_undo.push_back(std::move(m_pending));
    m_redo.clear();
    if (m_undo.size() > UndoSteps)
    {
        m_baseId = m_undo.front().id;
        m_undo.pop_front();
    }
}

bool MapEditor::openStep()
{
    if (m_inStroke)
    {
        return false;
    }
    beginStroke();
    return true;
}

void MapEditor::paint(unsigned layer, std::int32_t x, std::int32_t y, std::int32_t tile)
{
    checkTileLayer(layer);
    if (!onMap(x, y))
    {
        return;
    }
    const bool own = openStep();
    setCell(layer, x, y, tile);
    if (own)
    {
        endStroke();
    }
}

void MapEditor::erase(unsigned layer, std::int32_t x, std::int32_t y)
{
    paint(layer, x, y, MapFile::EmptyCell);
}

void MapEditor::fillRect(unsigned layer, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                         std::int32_t tile)
{
    checkTileLayer(layer);
    const std::int32_t left = std::max(std::min(x0, x1), 0);
    const std::int32_t right = std::min(std::max(x0, x1), m_map.getWidth() - 1);
    const std::int32_t top = std::max(std::min(y0, y1), 0);
    const std::int32_t bottom = std::min(std::max(y0, y1), m_map.getHeight() - 1);
    const bool own = openStep();
    for (std::int32_t y = top; y <= bottom; ++y)
    {
        for (std::int32_t x = left; x <= right; ++x)
        {
            setCell(layer, x, y, tile);
        }
    }
    if (own)
    {
        endStroke();
    }
}

std::int32_t MapEditor::pick(unsigned layer, std::int32_t x, std::int32_t y) const
{
    return layer < MapFile::LayerSlots && onMap(x, y) ? m_map.getTile(layer, x, y) : MapFile::EmptyCell;
}

std::int32_t MapEditor::placeStart(std::int32_t x, std::int32_t y)
{
    if (!onMap(x, y) || m_map.getTile(StartLayer, x, y) >= 1)
    {
        return 0;
    }
    std::vector<bool> used(GameEngine::MaxStartPoints + 1, false);
    for (std::int32_t cy = 0; cy < m_map.getHeight(); ++cy)
    {
        for (std::int32_t cx = 0; cx < m_map.getWidth(); ++cx)
        {
            const std::int32_t value = m_map.getTile(StartLayer, cx, cy);
            if (value >= 1 && static_cast<std::size_t>(value) <= GameEngine::MaxStartPoints)
            {
                used[static_cast<std::size_t>(value)] = true;
            }
        }
    }
    const auto free = std::find(used.begin() + 1, used.end(), false);
    if (free == used.end())
    {
        return 0;
    }
    const auto number = static_cast<std::int32_t>(free - used.begin());
    const bool own = openStep();
    setCell(StartLayer, x, y, number);
    if (own)
    {
        endStroke();
    }
    return number;
}

bool MapEditor::removeStart(std::int32_t x, std::int32_t y)
{
    const std::int32_t removed = pick(StartLayer, x, y);
    if (removed < 1)
    {
        return false;
    }
    const bool own = openStep();
    setCell(StartLayer, x, y, MapFile::EmptyCell);
    for (std::int32_t cy = 0; cy < m_map.getHeight(); ++cy)
    {
        for (std::int32_t cx = 0; cx < m_map.getWidth(); ++cx)
        {
            const std::int32_t value = m_map.getTile(StartLayer, cx, cy);
            if (value > removed)
            {
                setCell(StartLayer, cx, cy, value - 1);
            }
        }
    }
    if (own)
    {
        endStroke();
    }
    return true;
}

void MapEditor::setTitle(const std::string& title)
{
    requireText(title, "The title");
    const bool own = openStep();
    m_map.setName(title);
    if (own)
    {
        endStroke();
    }
}

void MapEditor::setTileset(const std::string& tileset)
{
    requireText(tileset, "The tileset");
    const bool own = openStep();
    m_map.setGraphicsFileName(tileset);
    if (own)
    {
        endStroke();
    }
}

bool MapEditor::undo()
{
    endStroke();
    if (m_undo.empty())
    {
        return false;
    }
    Step step = std::move(m_undo.back());
    m_undo.pop_back();
    for (auto change = step.cells.rbegin(); change != step.cells.rend(); ++change)
    {
        m_map.setTile(change->layer, change->x, change->y, change->before);
    }
    applyHeader(step.before);
    m_redo.push_back(std::move(step));
    return true;
}

bool MapEditor::redo()
{
    endStroke();
    if (m_redo.empty())
    {
        return false;
    }
    Step step = std::move(m_redo.back());
    m_redo.pop_back();
    for (const CellChange& change : step.cells)
    {
        m_map.setTile(change.layer, change.x, change.y, change.after);
    }
    applyHeader(step.after);
    m_undo.push_back(std::move(step));
    return true;
}

bool MapEditor::isDirty() const
{
    return m_inStroke || currentId() != m_savedId;
}

void MapEditor::save(const std::string& path)
{
    endStroke();
    m_map.save(path);
    m_path = path;
    m_savedId = currentId();
}

MapEditor::Header MapEditor::header() const
{
    return Header{m_map.getName(), m_map.getGraphicsFileName(), m_map.getLayerCount()};
}

void MapEditor::applyHeader(const Header& header)
{
    m_map.setName(header.title);
    m_map.setGraphicsFileName(header.tileset);
    m_map.setLayerCount(header.layerCount);
}

void MapEditor::setCell(unsigned layer, std::int32_t x, std::int32_t y, std::int32_t value)
{
    const std::int32_t before = m_map.getTile(layer, x, y);
    if (before == value)
    {
        return;
    }
    m_map.setTile(layer, x, y, value);
    m_pending.cells.push_back({layer, x, y, before, value});
}

void MapEditor::checkTileLayer(unsigned layer) const
{
    if (layer != GroundLayer && layer != WallLayer)
    {
        FH_THROW(ArgumentException, "Only the ground and wall layers hold tiles.");
    }
}

bool MapEditor::onMap(std::int32_t x, std::int32_t y) const
{
    return x >= 0 && y >= 0 && x < m_map.getWidth() && y < m_map.getHeight();
}

std::uint64_t MapEditor::currentId() const
{
    return m_undo.empty() ? m_baseId : m_undo.back().id;
}

} // namespace Tarvo
