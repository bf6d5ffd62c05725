#include "base/exceptions.h"
#include "core/gamepackage.h"
#include "core/main.h"
#include "core/system.h"
#include "graph/rendergraph.h"
#include "support/thrown.h"
#include "ui/controlcontainer.h"
#include "ui/menu.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Journal = std::vector<std::string>;

class StandInMenu : public Menu {
public:
    StandInMenu(std::string name, Journal& journal) : name(std::move(name)), journal(journal) {}

    void render(double, float) override {}
    void linkChildren() override {}
    void attach() override {}
    void detach() override {}
    void activated(Menu* previous) override { note("activated " + nameOf(previous)); }
    void deactivated(Menu* next) override { note("deactivated " + nameOf(next)); }
    void hidden() override { note("hidden"); }
    void shown() override { note("shown"); }

    std::string name;

private:
    void note(const std::string& what) { journal.push_back(name + " " + what); }
    static std::string nameOf(Menu* menu) {
        return menu == nullptr ? "none" : static_cast<StandInMenu*>(menu)->name;
    }
    Journal& journal;
};

class StandInMain : public Main {
public:
    void init() override {
        Main::init();
        instanceDuringInit = thrownMessage<InstantiationException>([] { Main::instance(); }).empty();
    }
    bool instanceDuringInit = true;
};

class StandInPackage : public GamePackage {
public:
    explicit StandInPackage(Menu* menu) : menu(menu) {}
    RenderNode* getTable() override { return &table; }
    Menu* getMenu() override { return menu; }
    RenderNode* getHud() override { return &hud; }
    GameLogic* getGameLogic() override { return nullptr; }

    ControlContainer table{nullptr, 0.0f, 0.0f, 1.0f, 1.0f};
    ControlContainer hud{nullptr, 0.0f, 0.0f, 1.0f, 1.0f};
    Menu* menu;
};

class MenuStack : public ::testing::Test {
protected:
    ~MenuStack() override { System::instance()->setEventConsumers({}); }

    bool isRoot(const RenderNode* node) { return app.getRenderGraph().isRoot(node); }

    Journal journal;
    StandInMenu mainMenu{"main", journal};
    StandInMenu newGame{"new", journal};
    StandInPackage package{&mainMenu};
    StandInMain app;
};

TEST_F(MenuStack, ShowMenu_CoversThePreviousTop_AndRefusesAMenuAlreadyOnTheStack) {
    EXPECT_FALSE(app.menusVisible()) << "an empty stack";
    app.showMenu(&mainMenu);
    journal.clear();
    EXPECT_TRUE(app.showMenu(&newGame));
    EXPECT_FALSE(app.showMenu(&mainMenu));
    EXPECT_EQ(journal, (Journal{"main hidden", "main deactivated new", "new activated main", "new shown"}));
    EXPECT_FALSE(isRoot(&mainMenu));
    EXPECT_TRUE(isRoot(&newGame));
    EXPECT_EQ(app.getMenuStack(), (std::vector<Menu*>{&mainMenu, &newGame}));
}

TEST_F(MenuStack, CloseMenu_OfTheTopShowsTheOneBelow_OfALowerOneIsSilent) {
    StandInMenu third("third", journal);
    app.showMenu(&mainMenu);
    app.showMenu(&newGame);
    app.showMenu(&third);
    journal.clear();
    EXPECT_TRUE(app.closeMenu(&mainMenu));
    EXPECT_TRUE(journal.empty());
    EXPECT_TRUE(app.closeMenu(&third));
    EXPECT_EQ(journal,
              (Journal{"third deactivated new", "third hidden", "new activated third", "new shown"}));
    EXPECT_TRUE(isRoot(&newGame));
    EXPECT_FALSE(isRoot(&third));
    EXPECT_FALSE(app.closeMenu(&third));
}

TEST_F(MenuStack, LeaveAndReturnSwapMenuAndHud) {
    app.setGamePackage(&package);
    app.leaveMenus();
    EXPECT_FALSE(app.menusVisible());
    EXPECT_TRUE(isRoot(&package.hud));
    EXPECT_FALSE(isRoot(&mainMenu));
    journal.clear();
    app.leaveMenus();
    EXPECT_TRUE(journal.empty());
    app.returnToMenus();
    EXPECT_TRUE(app.menusVisible());
    EXPECT_FALSE(isRoot(&package.hud));
    EXPECT_TRUE(isRoot(&mainMenu));
    EXPECT_EQ(journal, (Journal{"main shown"}));
    app.returnToMenus();
    EXPECT_EQ(journal.size(), 1u);
}

TEST_F(MenuStack, ClosingUnderHiddenMenusShowsNothing) {
    app.setGamePackage(&package);
    app.showMenu(&newGame);
    app.leaveMenus();
    journal.clear();
    app.closeMenu(&newGame);
    EXPECT_EQ(journal, (Journal{"new deactivated main", "new hidden", "main activated new"}));
    EXPECT_FALSE(isRoot(&mainMenu));
}

TEST_F(MenuStack, ShutdownClosesEveryMenuAndClearsRoots) {
    app.setGamePackage(&package);
    app.showMenu(&newGame);
    app.getRenderGraph().update();
    app.shutdown();
    EXPECT_TRUE(app.getMenuStack().empty());
    EXPECT_FALSE(isRoot(&package.table));
    EXPECT_FALSE(package.table.isLinked());
}

TEST(MainSingleton, RegistrationRunsInitBeforeTheInstanceIsVisible) {
    EXPECT_EQ(thrownMessage<InstantiationException>([] { Main::instance(); }),
              "'abstract' singleton, no subclass registered");
    auto owned = std::make_unique<StandInMain>();
    StandInMain* app = owned.get();
    Main::registerInstance(std::move(owned));
    EXPECT_FALSE(app->instanceDuringInit);
    EXPECT_EQ(Main::instance(), app);
    EXPECT_TRUE(app->getRenderGraph().isRoot(&app->getCursor()));
    EXPECT_EQ(
        thrownMessage<IllegalStateException>([] { Main::registerInstance(std::make_unique<StandInMain>()); }),
        "singleton already initialized");
    Main::destroy();
    EXPECT_EQ(Main::existing(), nullptr);
}

} // namespace
