#include "framestats.h"
#include "support/pngfiles.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <sys/wait.h>
#include <utility>
#include <vector>

// Runs the generator itself: the same bytes on every run, and clear failures
// on bad input.
namespace {

namespace fs = std::filesystem;

struct GeneratorRun {
    int exitCode = -1;
    std::string errors;
};

// Runs the generator with the arguments (already quoted as needed).
GeneratorRun generate(const std::string& arguments, const TempDir& scratch) {
    const std::string errors = scratch.file("stderr.txt");
    const std::string command =
        std::string("'") + SPORRIK_ASSETGEN + "' " + arguments + " >/dev/null 2>'" + errors + "'";
    const int status = std::system(command.c_str());
    const std::vector<uint8_t> text = PngFiles::readBytes(errors);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, std::string(text.begin(), text.end())};
}

std::map<std::string, std::vector<uint8_t>> filesUnder(const std::string& root) {
    std::map<std::string, std::vector<uint8_t>> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), root).string()] = PngFiles::readBytes(entry.path());
        }
    }
    return files;
}

TEST(AssetGenerator, TwoRunsWriteIdenticalBytesWhateverTheThreadCount_AndTheContactSheetOnRequest) {
    TempDir scratch;
    const std::string sheet = scratch.file("sheet.png");
    const GeneratorRun a =
        generate("--threads 1 --contact-sheet '" + sheet + "' '" + scratch.file("one") + "'", scratch);
    ASSERT_EQ(a.exitCode, 0) << a.errors;
    const GeneratorRun b = generate("--threads 2 '" + scratch.file("two") + "'", scratch);
    ASSERT_EQ(b.exitCode, 0) << b.errors;

    const auto one = filesUnder(scratch.file("one")), two = filesUnder(scratch.file("two"));
    EXPECT_GE(one.size(), 77u);
    EXPECT_EQ(one.size(), two.size());
    for (const auto& [name, bytes] : one) {
        EXPECT_TRUE(two.count(name) != 0 && two.at(name) == bytes) << name << " differs between runs";
    }
    PngFiles::Reference picture;
    ASSERT_TRUE(PngFiles::readReference(sheet, picture));
    EXPECT_GT(picture.width * picture.height, 1024 * 1024);
}

// The output path is checked first: a missing font is found only while
// generating, seconds later. Either failure names its cause.
TEST(AssetGenerator, UnusableOutputPathOrMissingFont_FailsNamingIt) {
    TempDir scratch;
    const std::string blocker = scratch.file("file");
    PngFiles::writeBytes(blocker, {'x'});
    const std::pair<std::string, const char*> cases[] = {
        {blocker, "font"}, {blocker + "/assets", "font"}, {scratch.file("assets"), nullptr}};
    for (const auto& [output, notNamed] : cases) {
        const GeneratorRun run = generate("--mono-font /nonexistent/font.ttf '" + output + "'", scratch);
        EXPECT_EQ(run.exitCode, 1);
        const std::string named = notNamed != nullptr ? output : "/nonexistent/font.ttf";
        EXPECT_NE(run.errors.find(named), std::string::npos) << run.errors;
        if (notNamed != nullptr) {
            EXPECT_EQ(run.errors.find(notNamed), std::string::npos) << run.errors;
        }
    }
}

TEST(AssetGenerator, BadArgumentsPrintUsageAndExitWithTwo) {
    TempDir scratch;
    for (const char* arguments : {"", "--threads 0 x", "--threads", "--frobnicate x", "a b"}) {
        const GeneratorRun run = generate(arguments, scratch);
        EXPECT_EQ(run.exitCode, 2) << "arguments: " << arguments;
        EXPECT_NE(run.errors.find("usage:"), std::string::npos) << "arguments: " << arguments;
    }
}

} // namespace

TEST(FrameStats, Percentiles_AreFramesThatHappenedWhateverTheOrder) {
    std::vector<double> times;
    for (int i = 100; i >= 1; --i) {
        times.push_back(i);
    }
    const FrameStats stats = FrameStats::of(times);
    EXPECT_EQ(stats.medianMs, 50.0);
    EXPECT_EQ(stats.p90Ms, 90.0);
    EXPECT_EQ(stats.p99Ms, 99.0);
    EXPECT_NEAR(stats.fps, 100 * 1000.0 / 5050.0, 1e-9);
    // Each figure is written under its own name.
    for (const char* entry : {"\"median_ms\": 50.00", "\"p90_ms\": 90.00", "\"p99_ms\": 99.00"}) {
        EXPECT_NE(stats.json().find(entry), std::string::npos) << stats.json();
    }
}

TEST(FrameStats, OneFrameAndNoFrames) {
    EXPECT_EQ(FrameStats::of({7.0}).p99Ms, 7.0);
    EXPECT_EQ(FrameStats::of({}).fps, 0.0);
    EXPECT_EQ(FrameStats::of({}).p99Ms, 0.0);
}
