#pragma once
// The main window's control and command numbers, shared by the program and
// whatever drives it from outside (the end-to-end tests). Each has its own
// number: inserting an item changes no other.

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

}  // namespace orvane
