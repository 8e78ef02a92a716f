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

// Every command of the two menus; a new item is listed here too, so that the
// check below holds it.
inline constexpr MainWindowIds::MenuId mainWindowCommands[] = {
    MainWindowIds::Quitter1,  MainWindowIds::Alarme1,     MainWindowIds::Chronomtre1,   MainWindowIds::Compterebours1,
    MainWindowIds::PastTime1, MainWindowIds::Option1,     MainWindowIds::Aide1,         MainWindowIds::Apropos1,
    MainWindowIds::QuitterItem, MainWindowIds::RestaurerItem, MainWindowIds::Quitter2,
};

// Each command has a number of its own, above 0 and below the plug-in
// items' range, and no control of the window shares it.
constexpr bool mainWindowCommandsStand() {
    const int controls[] = {MainWindowIds::Image1, MainWindowIds::Label2, MainWindowIds::Label1,
                            MainWindowIds::Label3, MainWindowIds::Image2, MainWindowIds::StatusBar1};
    for (std::size_t i = 0; i < std::size(mainWindowCommands); ++i) {
        const int id = mainWindowCommands[i];
        if (id <= 0 || id >= MainWindowIds::PluginItems) return false;
        for (std::size_t j = 0; j < i; ++j)
            if (mainWindowCommands[j] == id) return false;
        for (const int control : controls)
            if (control == id) return false;
    }
    return true;
}
static_assert(mainWindowCommandsStand(), "two commands of the menus share a number, or one is out of range");

}  // namespace orvane
