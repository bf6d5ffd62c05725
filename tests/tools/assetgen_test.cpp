// Runs the generator itself: the same bytes on every run, and clear failures
// on bad input.

#include "support/tempdir.h"
#include "tools/assetcheck.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;

struct GeneratorRun {
    int exitCode = -1;
    std::string output, errors;
};

// Runs the generator with the arguments (already quoted as needed).
GeneratorRun generate(const std::string& arguments, const TempDir& scratch) {
    std::string out = scratch.path() + "/stdout.txt", err = scratch.path() + "/stderr.txt";
    std::string command =
        std::string("'") + SPORRIK_ASSETGEN + "' " + arguments + " >'" + out + "' 2>'" + err + "'";
    int status = std::system(command.c_str());
    GeneratorRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.output = assetcheck::readText(out);
    run.errors = assetcheck::readText(err);
    return run;
}

std::map<std::string, std::vector<uint8_t>> filesUnder(const std::string& root) {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), root).string()] = assetcheck::readBytes(entry.path().string());
        }
    }
    return files;
}

TEST(AssetGenerator, TwoRunsWriteIdenticalBytesWhateverTheThreadCount) {
    TempDir first, second, scratch;
    GeneratorRun a = generate("--threads 1 '" + first.path() + "/assets'", scratch);
    ASSERT_EQ(a.exitCode, 0) << a.errors;
    GeneratorRun b = generate("--threads 2 '" + second.path() + "/assets'", scratch);
    ASSERT_EQ(b.exitCode, 0) << b.errors;

    auto one = filesUnder(first.path() + "/assets"), two = filesUnder(second.path() + "/assets");
    EXPECT_GE(one.size(), 77u);
    ASSERT_EQ(one.size(), two.size());
    for (const auto& [name, bytes] : one) {
        auto other = two.find(name);
        ASSERT_NE(other, two.end()) << name;
        EXPECT_TRUE(bytes == other->second) << name << " differs between runs";
    }
}

TEST(AssetGenerator, ContactSheetIsOnePng) {
    TempDir scratch;
    std::string sheet = scratch.path() + "/sheet.png";
    GeneratorRun run = generate("--contact-sheet '" + sheet + "'", scratch);
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    assetcheck::Png png = assetcheck::readPng(sheet);
    ASSERT_TRUE(png.ok) << png.error;
    EXPECT_EQ(png.width, 2048u);
    EXPECT_GT(png.height, 1500u);
    EXPECT_FALSE(fs::exists(scratch.path() + "/textures")) << "only the sheet was asked for";
}

TEST(AssetGenerator, MissingFontFileFailsNamingTheFile) {
    TempDir scratch;
    GeneratorRun run = generate("--mono-font /nonexistent/font.ttf '" + scratch.path() + "/assets'", scratch);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("/nonexistent/font.ttf"), std::string::npos) << run.errors;
}

TEST(AssetGenerator, OutputPathThatIsAFileFailsNamingIt) {
    TempDir scratch;
    std::string blocker = scratch.path() + "/file";
    { std::ofstream(blocker) << "x"; }
    GeneratorRun run = generate("'" + blocker + "'", scratch);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find(blocker), std::string::npos) << run.errors;
}

TEST(AssetGenerator, BadArgumentsPrintUsageAndExitWithTwo) {
    TempDir scratch;
    for (const char* arguments : {"", "--threads 0 x", "--threads", "--frobnicate x", "a b"}) {
        GeneratorRun run = generate(arguments, scratch);
        EXPECT_EQ(run.exitCode, 2) << "arguments: " << arguments;
        EXPECT_NE(run.errors.find("usage:"), std::string::npos) << "arguments: " << arguments;
    }
}

} // namespace
