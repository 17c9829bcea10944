#include "game/frontend/HighscoreView.h"

#include "engine/base/Color.h"
#include "engine/base/ErrorLog.h"
#include "engine/base/Exception.h"
#include "engine/base/Layout.h"
#include "engine/graphics/Label.h"
#include "engine/graphics/Painter.h"

#include "game/play/MapFile.h"
#include "game/progress/HighscoreEntry.h"
#include "game/progress/HighscoreTable.h"

#include <cassert>
#include <cstddef>
#include <memory>

namespace Tarvo
{

namespace
{

using Fernhouse::Base::Color;
using Fernhouse::Base::Layout;
using Fernhouse::GUI::Label;

static_assert(SDLK_SPACE == 32 && SDLK_ESCAPE == 27 && SDLK_RETURN == 13);

constexpr const char* FontName = "comic_medium";
// The columns line up with the rows: a 10-character title, then two 7-character numbers, dot-separated.
constexpr const char* HeaderText = "MAP          SCORE  LENGTH";
constexpr const char* NextPageText = "-PRESS SPACE FOR NEXT PAGE-";
constexpr std::size_t TitleWidth = 10;
constexpr std::size_t NumberWidth = 7;
constexpr char Filler = '.';
constexpr int TextX = 30;
constexpr int HeaderY = 40;
constexpr int FirstRowY = 70;
constexpr int RowHeight = 30;
constexpr int NextPageX = 20;
constexpr int NextPageY = 370;
constexpr Color White(255, 255, 255, 255);
constexpr Color Green(83, 148, 28, 255);
constexpr Color Orange(255, 90, 0, 255);

std::unique_ptr<Label> makeLabel(const std::string& text, int x, int y, const Color& color)
{
    auto label = std::make_unique<Label>(FontName);
    label->setText(text);
    label->setPosition(x, y);
    label->setColor(color);
    return label;
}

} // namespace

HighscoreView::HighscoreView(HighscoreTable* table) : m_table(table)
{
    assert(table != nullptr);
    showPage(0);
}

HighscoreView::~HighscoreView()
{
    deleteLabels();
}

void HighscoreView::showPage(int page)
{
    assert(page >= 0);
    if (page == m_page)
    {
        return;
    }
    // The new page is built aside, so a font that fails to load leaves the shown page as it was.
    std::vector<std::unique_ptr<Label>> labels;
    labels.push_back(makeLabel(HeaderText, TextX, HeaderY, White));

    const std::vector<HighscoreEntry*>& entries = m_table->getEntries();
    const std::size_t first = static_cast<std::size_t>(page) * RowsPerPage;
    int y = FirstRowY;
    bool green = true;
    for (std::size_t i = first; i < entries.size() && i < first + RowsPerPage; ++i)
    {
        const HighscoreEntry* entry = entries[i];
        std::string title;
        try
        {
            title = MapFile(entry->getMap()).getName();
        }
        catch (const Fernhouse::Base::Exception& e)
        {
            Fernhouse::Base::ErrorLog::write(e);
            continue;
        }
        const std::string text =
            Layout::leftAligned(title, TitleWidth, Filler) + Filler +
            Layout::rightAligned(std::to_string(entry->getScore()), NumberWidth, Filler) + Filler +
            Layout::rightAligned(std::to_string(entry->getLength()), NumberWidth, Filler);
        labels.push_back(makeLabel(text, TextX, y, green ? Green : Orange));
        y += RowHeight;
        green = !green;
    }
    if (entries.size() > static_cast<std::size_t>(RowsPerPage))
    {
        labels.push_back(makeLabel(NextPageText, NextPageX, NextPageY, White));
    }

    deleteLabels();
    m_labels.reserve(labels.size());
    for (std::unique_ptr<Label>& label : labels)
    {
        m_labels.push_back(label.release());
        addChild(m_labels.back());
    }
    m_page = page;
}

bool HighscoreView::keyDown(SDLKey key, bool /*ctrl*/, bool /*shift*/, bool /*alt*/)
{
    switch (key)
    {
        case SDLK_SPACE:
            if (getPageCount() > 1)
            {
                showPage((m_page + 1) % getPageCount());
            }
            return true;
        case SDLK_ESCAPE:
        case SDLK_RETURN:
            setDone(true);
            return true;
        default:
            return false;
    }
}

void HighscoreView::draw()
{
    Fernhouse::Graphics::Painter painter;
    painter.pushMatrix();
    applyTransform();
    Entity::draw();
    painter.popMatrix();
}

int HighscoreView::getPageCount() const
{
    const std::size_t count = m_table->getEntries().size();
    return static_cast<int>((count + RowsPerPage - 1) / RowsPerPage);
}

void HighscoreView::deleteLabels()
{
    for (Label* label : m_labels)
    {
        removeChild(label);
        delete label;
    }
    m_labels.clear();
}

} // namespace Tarvo
