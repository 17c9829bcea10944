#pragma once

#include <string>
#include <utility>
#include <vector>

namespace Fernhouse::Graphics
{
class Font;
} // namespace Fernhouse::Graphics

namespace Fernhouse::GUI
{
class Menu;
} // namespace Fernhouse::GUI

namespace Tarvo
{

// The front end's menus: the fixed ones from one table, the map and campaign lists from the items the
// front end has read, each laid out and coloured the same way.
class MenuBuilder final
{
public:
    MenuBuilder() = delete;

    // Whether id (one of TarvoApp's menu ids) is a menu of the table.
    static bool isFixed(int id);
    // A new menu, the caller's to delete: the given items (id, text), then the table's items of id, or a back
    // item when id is not in the table. font is shared, not owned.
    static Fernhouse::GUI::Menu* build(int id, const std::vector<std::pair<int, std::string>>& items,
                                       Fernhouse::Graphics::Font* font);
};

} // namespace Tarvo
