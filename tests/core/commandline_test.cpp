#include "base/tools.h"
#include "core/assetdirectory.h"
#include "core/commandline.h"
#include "core/glutcallbacks.h"
#include "core/system.h"
#include "input/eventconsumer.h"
#include "input/inputevent.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

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
        {{"sporrik", "window", "path=/x", "window=1"}, false, {}},
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

// The line names every place searched, the current directory by its path, and
// says whether path= chose them.
TEST(AssetDirectory, WhereLooked_NamesEveryPlaceAndThePathArgument) {
    const std::vector<std::string> searched = {"/a/assets", "/a/share/sporrik", ""};
    const std::string line = AssetDirectory::whereLooked(searched, false);
    for (const std::string& place : {searched[0], searched[1], std::filesystem::current_path().string()}) {
        EXPECT_NE(line.find("\"" + place + "\""), std::string::npos) << line;
    }
    EXPECT_NE(AssetDirectory::whereLooked(searched, true), line);
}

class KeyDowns : public EventConsumer {
public:
    void handleEvent(InputEvent& e) override {
        if (const auto* down = dynamic_cast<const InputEventKeyDown*>(&e)) {
            keys.push_back(down->getKey());
        }
    }
    std::vector<int> keys;
};

// Ctrl let go before the letter: GLUT reports the release as the plain
// letter (or the other way round), and the next press must still arrive.
TEST(ControlKeys, ReleasedUnderAnotherForm_NextPressArrives) {
    const unsigned char cases[][2] = {{KeyCtrlZ, 'z'}, {KeyCtrlZ, 'Z'}, {'z', KeyCtrlZ}, {KeyBackspace, 'h'}};
    System& system = *System::instance();
    for (const auto& c : cases) {
        KeyDowns recorder;
        system.setEventConsumers({&recorder});
        for (int round = 0; round < 2; ++round) {
            GlutCallbacks::keyboardDown(c[0], 0, 0);
            system.processEvents();
            GlutCallbacks::keyboardUp(c[1], 0, 0);
            system.processEvents();
        }
        system.setEventConsumers({});
        EXPECT_EQ(recorder.keys, (std::vector<int>{c[0], c[0]})) << int{c[0]} << " " << int{c[1]};
    }
}

} // namespace
