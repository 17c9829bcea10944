#include "game/frontend/MenuBuilder.h"

#include "engine/base/Color.h"
#include "engine/gui/Menu.h"

#include "game/frontend/TarvoApp.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <array>

namespace Tarvo
{

namespace
{

using Fernhouse::Base::Color;
using Fernhouse::GUI::Menu;

constexpr Color MenuNormalColor(83, 148, 28, 255);
constexpr Color MenuSelectedColor(255, 90, 0, 255);
constexpr bool MenuWrap = true;
constexpr int MenuVisibleItems = 5;
constexpr int MenuX = 250;
constexpr int MenuY = 365;
constexpr int NoShortcut = 0;
constexpr int BackShortcut = SDLK_ESCAPE;

struct MenuEntry
{
    int menu;
    const char* text;
    int id;
};

constexpr const char* BackText = "BACK..";
constexpr const char* ListBackText = "BACK...";

// The fixed menus, items in display order; an item leading to the main menu is a back item.
constexpr std::array<MenuEntry, 18> FixedMenus{{
    {TarvoApp::MainMenu, "ONE PLAYER", TarvoApp::OnePlayerMenu},
    {TarvoApp::MainMenu, "TWO PLAYER", TarvoApp::TwoPlayerMenu},
    {TarvoApp::MainMenu, "SETTINGS", TarvoApp::SettingsMenu},
    {TarvoApp::MainMenu, "CREDITS", TarvoApp::CreditsCommand},
    {TarvoApp::MainMenu, "QUIT", TarvoApp::QuitCommand},
    {TarvoApp::OnePlayerMenu, "PLAY CAMPAIGN", TarvoApp::PlayCampaignCommand},
    {TarvoApp::OnePlayerMenu, "PLAY MAP", TarvoApp::PlayMapCommand},
    {TarvoApp::OnePlayerMenu, "HIGHSCORE", TarvoApp::HighscoreCommand},
    {TarvoApp::OnePlayerMenu, BackText, TarvoApp::MainMenu},
    {TarvoApp::TwoPlayerMenu, "NEW GAME", TarvoApp::TwoPlayerMapCommand},
    {TarvoApp::TwoPlayerMenu, BackText, TarvoApp::MainMenu},
    {TarvoApp::SettingsMenu, "AUDIO", TarvoApp::AudioCommand},
    {TarvoApp::SettingsMenu, "VIDEO", TarvoApp::VideoCommand},
    {TarvoApp::SettingsMenu, "CONTROLLER", TarvoApp::ControllerMenu},
    {TarvoApp::SettingsMenu, BackText, TarvoApp::MainMenu},
    {TarvoApp::ControllerMenu, "PLAYER ONE", TarvoApp::PlayerOneCommand},
    {TarvoApp::ControllerMenu, "PLAYER TWO", TarvoApp::PlayerTwoCommand},
    {TarvoApp::ControllerMenu, BackText, TarvoApp::MainMenu},
}};

} // namespace

bool MenuBuilder::isFixed(int id)
{
    return std::any_of(FixedMenus.begin(), FixedMenus.end(),
                       [id](const MenuEntry& entry) { return entry.menu == id; });
}

Menu* MenuBuilder::build(int id, const std::vector<std::pair<int, std::string>>& items,
                         Fernhouse::Graphics::Font* font)
{
    auto* menu = new Menu(font, &MenuNormalColor, &MenuSelectedColor, nullptr, nullptr, MenuWrap,
                          MenuVisibleItems, Menu::AlignCenter);
    menu->setPosition(MenuX, MenuY);
    for (const auto& [itemId, text] : items)
    {
        menu->addItem(itemId, text, NoShortcut);
    }
    const bool fixed = isFixed(id);
    if (!fixed)
    {
        menu->addItem(TarvoApp::MainMenu, ListBackText, BackShortcut);
    }
    for (const MenuEntry& entry : FixedMenus)
    {
        if (entry.menu == id)
        {
            menu->addItem(entry.id, entry.text, entry.id == TarvoApp::MainMenu ? BackShortcut : NoShortcut);
        }
    }
    return menu;
}

} // namespace Tarvo
