#pragma once

#include "engine/gui/Widget.h"

#include <vector>

namespace Fernhouse::GUI
{
class Label;
} // namespace Fernhouse::GUI

namespace Tarvo
{

class HighscoreTable;

// The highscore table, ten maps per page under a header: each map's title, best score and best length.
// Space turns the page, Escape or Return closes the view.
class HighscoreView final : public Fernhouse::GUI::Widget
{
public:
    static constexpr int RowsPerPage = 10;

    // table is not owned and must outlive the view. Builds page 0; throws the font loading errors.
    explicit HighscoreView(HighscoreTable* table);
    HighscoreView(const HighscoreView&) = delete;
    HighscoreView& operator=(const HighscoreView&) = delete;
    ~HighscoreView() override;

    // Rebuilds the labels unless page (from 0) is already shown. A map that cannot be loaded is written to
    // the error log and gets no row, though it still takes one of the page's ten places.
    void showPage(int page);

    // -1 before the first page is built.
    int getPage() const { return m_page; }

    // Modifiers are ignored.
    bool keyDown(SDLKey key, bool ctrl, bool shift, bool alt) override;
    void draw() override;

private:
    int getPageCount() const;
    void deleteLabels();

    HighscoreTable* m_table; // not owned
    int m_page = -1;
    std::vector<Fernhouse::GUI::Label*> m_labels; // owned, the children
};

} // namespace Tarvo
