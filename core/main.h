#pragma once

#include "graph/rendernode.h"
#include "input/eventconsumer.h"
#include "ui/cursor.h"
#include "ui/menuhost.h"

#include <memory>
#include <vector>

class GameLogic;
class GamePackage;
class Menu;
class RenderGraph;
class RenderNode;

// The application: owns the render graph and the menu stack, and switches the
// screens between the menus and the game with its heads-up display.
// An abstract singleton: exactly one subclass instance is registered.
class Main : public MenuHost {
public:
    static constexpr int kTablePriority = 100;
    static constexpr int kHudPriority = 200;
    static constexpr int kMenuPriority = 300;
    // Hears the keys a menu leaves, after it.
    static constexpr int kMenuKeysPriority = 350;
    static constexpr int kCursorPriority = 400;
    // Keys heard over every screen; draws nothing.
    static constexpr int kOptionsPriority = 50;
    // The game's keys, heard before the table; draws nothing.
    static constexpr int kSessionPriority = 60;
    // The network game's keys, heard before those; it services the connection.
    static constexpr int kNetworkPriority = 55;

    static Main* instance();
    // The registered instance, or null.
    static Main* existing();
    // Runs m->init() and only then makes m the instance.
    static void registerInstance(std::unique_ptr<Main> m);
    static void destroy();

    Main(const Main&) = delete;
    Main& operator=(const Main&) = delete;
    virtual ~Main();

    virtual void init();
    void shutdown();

    // Not owned: the package's owner keeps it alive while it is shown.
    void setGamePackage(GamePackage* p);
    void setTable(RenderNode* t);

    bool showMenu(Menu* m) override;
    bool closeMenu(Menu* m) override;
    void leaveMenus() override;
    // Ends the program through System::quit.
    [[noreturn]] void quit() override;
    void returnToMenus();
    bool menusVisible() const;
    // The menu on screen has a text field with the focus.
    bool isTyping() const;

    // One graph pass of a frame.
    void render(double elapsed);

    RenderGraph& getRenderGraph() { return *renderGraph; }
    Cursor& getCursor() { return cursor; }
    const std::vector<Menu*>& getMenuStack() const { return menuStack; }

protected:
    Main();
    // After each frame's drawing.
    virtual void frameDone() {}

private:
    void takeInputNow();

    // Escape that the menu on top leaves unclaimed goes back: to the menu
    // below it, or from the last one to the game. Draws nothing.
    class MenuKeys : public RenderNode, public EventConsumer {
    public:
        explicit MenuKeys(Main& application) : application(application) {}
        void render(double, float) override {}
        void linkChildren() override {}
        void attach() override {}
        void detach() override {}
        void handleEvent(InputEvent& e) override;

    private:
        Main& application; // not owned: the owner
    };

    bool menusShown = true;
    bool framesRendered = false;
    GameLogic* gameLogic = nullptr; // not owned: the package's plug
    RenderNode* table = nullptr;    // not owned: the package's scene
    std::unique_ptr<RenderGraph> renderGraph;
    RenderNode* hud = nullptr;          // not owned: the package's heads-up display
    std::vector<Menu*> menuStack;       // not owned: the package's menus, bottom first
    GamePackage* gamePackage = nullptr; // not owned
    Cursor cursor;
    MenuKeys menuKeys{*this};
};
