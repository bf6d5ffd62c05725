#include "base/exceptions.h"
#include "base/tools.h"
#include "core/assetdirectory.h"
#include "core/commandline.h"
#include "core/gamepackage.h"
#include "core/glutcallbacks.h"
#include "core/main.h"
#include "core/system.h"
#include "graph/rendergraph.h"
#include "input/eventconsumer.h"
#include "input/inputevent.h"
#include "support/tempdir.h"
#include "support/thrown.h"
#include "ui/controlcontainer.h"
#include "ui/menu.h"

#include <gtest/gtest.h>

#include <filesystem>
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

TEST_F(MenuStack, ShowMenu_CoversThePreviousTop_RefusesAMenuOnTheStack_CloseMenuOfTheTopShowsTheOneBelow) {
    EXPECT_FALSE(app.menusVisible()) << "an empty stack";
    app.showMenu(&mainMenu);
    journal.clear();
    EXPECT_TRUE(app.showMenu(&newGame));
    EXPECT_FALSE(app.showMenu(&mainMenu));
    EXPECT_EQ(journal, (Journal{"main hidden", "main deactivated new", "new activated main", "new shown"}));
    EXPECT_FALSE(isRoot(&mainMenu));
    EXPECT_TRUE(isRoot(&newGame));
    EXPECT_EQ(app.getMenuStack(), (std::vector<Menu*>{&mainMenu, &newGame}));
    // Closing the top shows the one below; closing a lower one is silent.
    StandInMenu third("third", journal);
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

TEST_F(MenuStack, ClosingUnderHiddenMenusShowsNothing_ShutdownClosesEveryMenuAndClearsRoots) {
    app.setGamePackage(&package);
    app.showMenu(&newGame);
    app.leaveMenus();
    journal.clear();
    app.closeMenu(&newGame);
    EXPECT_EQ(journal, (Journal{"new deactivated main", "new hidden", "main activated new"}));
    EXPECT_FALSE(isRoot(&mainMenu));
    app.showMenu(&newGame);
    app.getRenderGraph().update();
    app.shutdown();
    EXPECT_TRUE(app.getMenuStack().empty());
    EXPECT_FALSE(isRoot(&package.table));
    EXPECT_FALSE(package.table.isLinked());
}

TEST(MainSingleton, RegistrationRunsInitBeforeTheInstanceIsVisible) {
    EXPECT_THROW(Main::instance(), InstantiationException);
    auto owned = std::make_unique<StandInMain>();
    StandInMain* app = owned.get();
    Main::registerInstance(std::move(owned));
    EXPECT_FALSE(app->instanceDuringInit);
    EXPECT_EQ(Main::instance(), app);
    EXPECT_TRUE(app->getRenderGraph().isRoot(&app->getCursor()));
    EXPECT_THROW(Main::registerInstance(std::make_unique<StandInMain>()), IllegalStateException);
    Main::destroy();
    EXPECT_EQ(Main::existing(), nullptr);
}

class Arguments : public ::testing::Test {
protected:
    static void set(std::vector<const char*> arguments) {
        System::instance()->setArguments(static_cast<int>(arguments.size()), arguments.data());
    }
    void TearDown() override { set({"sporrik"}); }
};

TEST_F(Arguments, AreFoundByWholeNameWithOrWithoutAValue) {
    const struct {
        std::vector<const char*> arguments;
        const char* name;
        const char* value; // null: not found
    } cases[] = {
        {{"sporrik", "window"}, "window", ""},
        {{"sporrik", "path=/data/sporrik"}, "path", "/data/sporrik"},
        {{"sporrik", "windowed", "paths=x"}, "window", nullptr},
        {{"sporrik", "windowed", "paths=x"}, "path", nullptr},
        {{"window"}, "window", ""},
    };
    for (const auto& c : cases) {
        set(c.arguments);
        const char* value = System::instance()->getArgument(c.name);
        EXPECT_EQ(value != nullptr, c.value != nullptr) << c.name;
        if (value != nullptr && c.value != nullptr) {
            EXPECT_STREQ(value, c.value);
        }
    }
}

TEST_F(Arguments, WindowChoosesAWindow_PathLeadsResolvePath) {
    set({"sporrik", "window=1"});
    EXPECT_FALSE(System::instance()->isFullscreen());
    EXPECT_EQ(resolvePath("textures/a.png"), "textures/a.png");
    set({"sporrik", "path=/assets"});
    EXPECT_TRUE(System::instance()->isFullscreen());
    EXPECT_EQ(resolvePath("textures/a.png"), "/assets/textures/a.png");
    set({"sporrik", "path"});
    EXPECT_EQ(resolvePath("textures/a.png"), "textures/a.png");
}

TEST(CommandLine, HelpAndUnknownArgumentsAfterTheProgramName) {
    using Words = std::vector<std::string>;
    const struct {
        Words arguments;
        bool help;
        Words unknown;
    } cases[] = {
        {{"sporrik"}, false, {}},
        {{"sporrik", "window", "path=/x", "window=1", "scale=0.5"}, false, {}},
        {{"sporrik", "--help"}, true, {}},
        {{"sporrik", "window", "-h"}, true, {}},
        {{"--help"}, false, {}}, // the program's own name
        {{"sporrik", "windowed", "paths=x", "--fast", ""}, false, {"windowed", "paths=x", "--fast", ""}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandLine::asksForHelp(c.arguments), c.help) << c.arguments.back();
        EXPECT_EQ(CommandLine::unknownArguments(c.arguments), c.unknown) << c.arguments.back();
    }
}

TEST(CommandLine, ScaleValues_OnlyTheFourNamedOnes) {
    using S = OptionValues::Scale;
    const struct {
        const char* value;
        bool known;
        S scale;
    } cases[] = {{"auto", true, S::Automatic}, {"1", true, S::Full},     {"0.75", true, S::ThreeQuarters},
                 {"0.5", true, S::Half},       {"0.4", false, S::Full},  {"1.0", false, S::Full},
                 {"", false, S::Full},         {nullptr, false, S::Full}};
    for (const auto& c : cases) {
        S scale = S::Full;
        EXPECT_EQ(CommandLine::parseScale(c.value, scale), c.known) << (c.value ? c.value : "null");
        EXPECT_EQ(scale, c.scale) << (c.value ? c.value : "null");
    }
}

TEST(AssetDirectory, NextToTheExecutable_ThenInstalled_ThenTheCurrentDirectory) {
    TempDir dir;
    const std::string bin = dir.path() + "/bin";
    const std::string installed = dir.path() + "/share/sporrik";
    const std::vector<std::string> searched = AssetDirectory::candidates(bin, "../share/sporrik");
    EXPECT_EQ(searched, (std::vector<std::string>{bin + "/assets", installed, ""}));
    EXPECT_EQ(AssetDirectory::choose(searched), "") << "nothing there: the current directory";
    std::filesystem::create_directories(installed);
    EXPECT_EQ(AssetDirectory::choose(searched), installed);
    std::filesystem::create_directories(bin + "/assets");
    EXPECT_EQ(AssetDirectory::choose(searched), bin + "/assets");
    EXPECT_EQ(AssetDirectory::candidates("", "../share/sporrik"), std::vector<std::string>{""})
        << "an unknown executable place leaves the current directory";
}

} // namespace
