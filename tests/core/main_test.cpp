#include "base/tools.h"
#include "core/commandline.h"
#include "core/gamepackage.h"
#include "core/main.h"
#include "core/system.h"
#include "graph/rendergraph.h"
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

// Main as the game derives it, without a game of its own.
class StandInMain : public Main {};

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

// Found by whole name, with or without a value ("windowed" and "paths=x" are
// neither); window chooses a window, path= leads the paths resolvePath gives.
TEST(Arguments, AreFoundByWholeName_WindowChoosesAWindow_PathLeadsResolvePath) {
    const struct {
        std::vector<const char*> arguments;
        const char* window; // the values found, null: none
        const char* path;
        const char* resolved;
    } cases[] = {
        {{"sporrik", "window"}, "", nullptr, "textures/a.png"},
        {{"window"}, "", nullptr, "textures/a.png"},
        {{"sporrik", "window=1", "path"}, "1", "", "textures/a.png"},
        {{"sporrik", "path=/assets"}, nullptr, "/assets", "/assets/textures/a.png"},
        {{"sporrik", "windowed", "paths=x"}, nullptr, nullptr, "textures/a.png"},
    };
    const auto text = [](const char* value) {
        return value != nullptr ? "'" + std::string(value) + "'" : "none";
    };
    System& system = *System::instance();
    for (const auto& c : cases) {
        system.setArguments(static_cast<int>(c.arguments.size()), c.arguments.data());
        EXPECT_EQ(text(system.getArgument("window")), text(c.window)) << c.arguments.back();
        EXPECT_EQ(text(system.getArgument("path")), text(c.path)) << c.arguments.back();
        EXPECT_EQ(system.isFullscreen(), c.window == nullptr) << c.arguments.back();
        EXPECT_EQ(resolvePath("textures/a.png"), c.resolved) << c.arguments.back();
    }
    const char* const plain[] = {"sporrik"};
    system.setArguments(1, plain);
}

// --replay takes the next word as its file, whatever it looks like; a
// --replay without one gives an empty file.
TEST(CommandLine, HelpReplayExportAndUnknownArgumentsAfterTheProgramName) {
    using Words = std::vector<std::string>;
    const struct {
        Words arguments;
        bool help;
        Words unknown;
        const char* replay = nullptr;
        bool exportLast = false;
    } cases[] = {
        {{"sporrik"}, false, {}},
        {{"sporrik", "window", "path=/x", "window=1", "scale=0.5"}, false, {}},
        {{"sporrik", "--help"}, true, {}},
        {{"sporrik", "window", "-h"}, true, {}},
        {{"--help"}, false, {}}, // the program's own name
        {{"sporrik", "windowed", "paths=x", "--fast", ""}, false, {"windowed", "paths=x", "--fast", ""}},
        {{"sporrik", "--replay", "--help", "x"}, true, {"x"}, "--help"},
        {{"sporrik", "--replay", "kept game.txt", "window"}, false, {}, "kept game.txt"},
        {{"sporrik", "window", "--replay"}, false, {}, ""},
        {{"sporrik", "--export-last", "--replay=a"}, false, {"--replay=a"}, nullptr, true},
        {{"--export-last", "--replay"}, false, {}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CommandLine::asksForHelp(c.arguments), c.help) << c.arguments.back();
        EXPECT_EQ(CommandLine::unknownArguments(c.arguments), c.unknown) << c.arguments.back();
        EXPECT_EQ(CommandLine::asksForExport(c.arguments), c.exportLast) << c.arguments.back();
        std::string file = "unchanged";
        EXPECT_EQ(CommandLine::replayFile(c.arguments, file), c.replay != nullptr) << c.arguments.back();
        EXPECT_EQ(file, c.replay != nullptr ? c.replay : "unchanged") << c.arguments.back();
    }
}

TEST(CommandLine, Version_IsAskedAfterTheProgramNameAndIsNoUnknownArgument) {
    const std::vector<std::string> arguments = {"sporrik", "window", "--version"};
    EXPECT_TRUE(CommandLine::asksForVersion(arguments));
    EXPECT_FALSE(CommandLine::asksForVersion({"--version"})); // the program's own name
    EXPECT_TRUE(CommandLine::unknownArguments(arguments).empty());
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

TEST(CommandLine, FrameCap_OneToAThousandWholeFrames) {
    const struct {
        const char* value;
        bool known;
        int fps;
    } cases[] = {{"1", true, 1},     {"30", true, 30},   {"1000", true, 1000}, {"0", false, 7},
                 {"1001", false, 7}, {"-5", false, 7},   {"2.5", false, 7},    {"99999", false, 7},
                 {"", false, 7},     {nullptr, false, 7}};
    for (const auto& c : cases) {
        int fps = 7;
        EXPECT_EQ(CommandLine::parseFrameCap(c.value, fps), c.known) << (c.value ? c.value : "null");
        EXPECT_EQ(fps, c.fps) << (c.value ? c.value : "null");
    }
}

} // namespace
