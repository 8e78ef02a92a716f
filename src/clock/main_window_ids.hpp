#pragma once
// The main window's control and command numbers, shared by the program and
// whatever drives it from outside (the end-to-end tests). Each has its own
// number: inserting an item changes no other.

#include <cstddef>
#include <iterator>

namespace orvane {

struct MainWindowIds {
    enum ControlId : int {
        Image1 = 101,      // the dial
        Label2 = 102,      // time
        Label1 = 103,      // date
        Label3 = 104,      // day name
        Image2 = 105,      // alarm bell
        StatusBar1 = 106,
    };
    enum MenuId : int {
        Quitter1 = 201,
        Alarme1 = 202,
        Chronomtre1 = 203,
        Compterebours1 = 204,
        PastTime1 = 205,
        Option1 = 206,
        Aide1 = 207,
        Apropos1 = 208,
        // The tray menu PopUpDroit.
        QuitterItem = 301,
        RestaurerItem = 302,
        Quitter2 = 303,
        // The plug-in items under "Plug-ins": PluginItems + the item's tag.
        PluginItems = 1000,
    };
};

// The menus of the main window as they are built, each item under its menu
// in order: a new item is a new row, and the check below holds it.
enum class MainMenu { Fichier, Supplements, Plugins, Configuration, Help, Tray };
// The menu bar's captions, in the order of MainMenu; the tray's menu has none.
inline constexpr const wchar_t* mainMenuCaptions[] = {L"Fichier", L"Suppléments", L"Plug-ins", L"Configuration",
                                                      L"?"};
struct MainMenuItem {
    MainMenu menu;
    MainWindowIds::MenuId id;
    const wchar_t* caption;
};
inline constexpr MainMenuItem mainMenuItems[] = {
    {MainMenu::Fichier, MainWindowIds::Quitter1, L"Quitter"},
    {MainMenu::Supplements, MainWindowIds::Alarme1, L"Alarmes"},
    {MainMenu::Supplements, MainWindowIds::Chronomtre1, L"Chronomètres"},
    {MainMenu::Supplements, MainWindowIds::Compterebours1, L"Comptes à rebours"},
    {MainMenu::Supplements, MainWindowIds::PastTime1, L"PastTime"},
    {MainMenu::Configuration, MainWindowIds::Option1, L"Options"},
    {MainMenu::Help, MainWindowIds::Aide1, L"Aide"},
    {MainMenu::Help, MainWindowIds::Apropos1, L"A propos..."},
    // The tray's menu: its first item shows the time, and is the default.
    {MainMenu::Tray, MainWindowIds::QuitterItem, L"00:00:00"},
    {MainMenu::Tray, MainWindowIds::RestaurerItem, L"Restaurer"},
    {MainMenu::Tray, MainWindowIds::Quitter2, L"Quitter"},
};

// Each command has a number of its own, above 0 and below the plug-in
// items' range, and no control of the window shares it.
constexpr bool mainWindowCommandsStand() {
    const int controls[] = {MainWindowIds::Image1, MainWindowIds::Label2, MainWindowIds::Label1,
                            MainWindowIds::Label3, MainWindowIds::Image2, MainWindowIds::StatusBar1};
    for (std::size_t i = 0; i < std::size(mainMenuItems); ++i) {
        const int id = mainMenuItems[i].id;
        if (id <= 0 || id >= MainWindowIds::PluginItems) return false;
        for (std::size_t j = 0; j < i; ++j)
            if (mainMenuItems[j].id == id) return false;
        for (const int control : controls)
            if (control == id) return false;
    }
    return true;
}
static_assert(mainWindowCommandsStand(), "two commands of the menus share a number, or one is out of range");

}  // namespace orvane
