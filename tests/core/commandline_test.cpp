#include "core/assetdirectory.h"
#include "core/commandline.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using Arguments = std::vector<std::string>;

TEST(CommandLine, HelpAndUnknownArgumentsAfterTheProgramName) {
    const struct {
        Arguments arguments;
        bool help;
        Arguments unknown;
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

} // namespace
