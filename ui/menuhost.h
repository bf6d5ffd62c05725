#pragma once

class Menu;

// What a menu asks of the application that shows it: the menu stack and the
// end of the program. The application (Main) implements it and hands itself
// to the menus it builds.
class MenuHost {
public:
    virtual bool showMenu(Menu* m) = 0;
    virtual bool closeMenu(Menu* m) = 0;
    // Shows the game behind the menus.
    virtual void leaveMenus() = 0;
    // Ends the program; does not return.
    [[noreturn]] virtual void quit() = 0;

protected:
    MenuHost() = default;
    MenuHost(const MenuHost&) = default;
    MenuHost& operator=(const MenuHost&) = default;
    ~MenuHost() = default;
};
