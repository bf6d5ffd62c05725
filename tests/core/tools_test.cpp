#include "core/system.h"
#include "core/tools.h"
#include "support/logcapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

std::string padded(const char* text, int width) {
    std::string buffer(std::max<size_t>(std::strlen(text), width) + 1, '#');
    padString(buffer.data(), text, width, '.');
    return buffer.c_str();
}

// Log lines ---------------------------------------------------------------

TEST(Log, LineHasLabelPaddedSourceAndMessage) {
    LogCapture capture;
    log(NOTE, "global", "hello");
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_EQ(capture.lines()[0], "NOTE    from global          :hello\n");
}

TEST(Log, EachTypeHasItsSevenCharacterLabel) {
    LogCapture capture;
    log(WARNING, "s", "a");
    log(ERROR, "s", "b");
    log(DEBUG, "s", "c");
    ASSERT_EQ(capture.lines().size(), 3u);
    EXPECT_EQ(capture.lines()[0].substr(0, 13), "WARNING from ");
    EXPECT_EQ(capture.lines()[1].substr(0, 13), "ERROR   from ");
    EXPECT_EQ(capture.lines()[2].substr(0, 13), "DEBUG   from ");
}

TEST(Log, MessageOfEightyCharactersIsOneLine) {
    LogCapture capture;
    log(NOTE, "global", std::string(80, 'x'));
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_EQ(capture.lines()[0].back(), '\n');
    EXPECT_NE(capture.lines()[0][capture.lines()[0].size() - 2], '\\');
}

TEST(Log, MessageOfEightyOneCharactersContinuesWithBackslash) {
    LogCapture capture;
    log(NOTE, "global", std::string(80, 'x') + "y");
    ASSERT_EQ(capture.lines().size(), 2u);
    EXPECT_EQ(capture.lines()[0], "NOTE    from global          :" + std::string(80, 'x') + "\\\n");
    EXPECT_EQ(capture.lines()[1], "NOTE    from global          :y\n");
}

TEST(Log, EmptyMessageGivesOneLineEndingAfterTheColon) {
    LogCapture capture;
    log(NOTE, "global", "");
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_EQ(capture.lines()[0], "NOTE    from global          :\n");
}

TEST(Log, LongSourceIsWrittenWhole) {
    LogCapture capture;
    log(NOTE, "abcdefghijklmnopqrst", "m");
    EXPECT_EQ(capture.lines()[0], "NOTE    from abcdefghijklmnopqrst:m\n");
}

TEST(Log, UnknownTypeWarnsFirstThenUsesWarningColonLabel) {
    LogCapture capture;
    log(7, "system", "text");
    ASSERT_EQ(capture.lines().size(), 2u);
    EXPECT_EQ(capture.lines()[0], "WARNING from global          :unknown log type\n");
    EXPECT_EQ(capture.lines()[1], "WARNING: from system          :text\n");
}

// Small tools -------------------------------------------------------------

TEST(Log2, CountsHalvings) {
    EXPECT_EQ(log2(1), 0);
    EXPECT_EQ(log2(2), 1);
    EXPECT_EQ(log2(1000), 9);
    EXPECT_EQ(log2(1024), 10);
}

TEST(Log2, NonPositiveArgumentIsZeroWithDebugLine) {
    LogCapture capture;
    EXPECT_EQ(log2(0), 0);
    EXPECT_EQ(log2(-8), 0);
    ASSERT_EQ(capture.lines().size(), 2u);
    EXPECT_EQ(capture.lines()[0], "DEBUG   from global          :log2(), passed argument <= 0\n");
}

TEST(PadString, WidensShortTextAndKeepsLongText) {
    EXPECT_EQ(padded("ab", 5), "ab...");
    EXPECT_EQ(padded("abcdef", 3), "abcdef");
    EXPECT_EQ(padded("", 2), "..");
    EXPECT_EQ(padded("abc", 3), "abc");
}

TEST(ToString, WritesDecimal) {
    EXPECT_EQ(toString(0), "0");
    EXPECT_EQ(toString(-42), "-42");
    EXPECT_EQ(toString(2147483647), "2147483647");
}

TEST(Contains, EmptyStringsNeverMatch) {
    EXPECT_FALSE(contains("abc", ""));
    EXPECT_FALSE(contains("", "a"));
    EXPECT_FALSE(contains("", ""));
    EXPECT_TRUE(contains("abc", "bc"));
    EXPECT_FALSE(contains("abc", "cb"));
}

// Files -------------------------------------------------------------------

class FileTools : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/sporrik-tools-XXXXXX";
        const int descriptor = mkstemp(pattern);
        ASSERT_GE(descriptor, 0);
        close(descriptor);
        path = pattern;
    }
    void TearDown() override { std::remove(path.c_str()); }
    void write(const std::string& content) {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
    }
    std::string path;
};

TEST_F(FileTools, ReadFileReturnsContentWithTerminator) {
    write(std::string("ab\0cd", 5));
    const auto block = readFile(path.c_str());
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(block.get(), 5), std::string("ab\0cd", 5));
    EXPECT_EQ(block[5], '\0');
}

TEST_F(FileTools, ReadFileOfEmptyFileIsEmptyString) {
    write("");
    const auto block = readFile(path.c_str());
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[0], '\0');
}

TEST(ReadFile, MissingFileIsNullWithStatMessage) {
    LogCapture capture;
    EXPECT_EQ(readFile("/nonexistent/sporrik.txt"), nullptr);
    ASSERT_EQ(capture.lines().size(), 1u);
    EXPECT_EQ(capture.lines()[0],
              "ERROR   from global          :Cannot open \"/nonexistent/sporrik.txt\" for stat read!\n");
}

TEST(ReadFile, NullPathIsNullWithoutMessage) {
    LogCapture capture;
    EXPECT_EQ(readFile(nullptr), nullptr);
    EXPECT_TRUE(capture.lines().empty());
}

TEST(StatFile, MissingFileFailsSilently) {
    struct stat info {};
    EXPECT_FALSE(statFile("/nonexistent/sporrik.txt", &info));
}

// Command line ------------------------------------------------------------

class Arguments : public ::testing::Test {
protected:
    void set(std::initializer_list<const char*> arguments) {
        std::vector<const char*> list(arguments);
        System::instance()->setArguments(static_cast<int>(list.size()), list.data());
    }
    void TearDown() override { set({"sporrik"}); }
};

TEST_F(Arguments, BareArgumentGivesEmptyValue) {
    set({"sporrik", "window"});
    const char* value = System::instance()->getArgument("window");
    ASSERT_NE(value, nullptr);
    EXPECT_STREQ(value, "");
    EXPECT_FALSE(System::instance()->isFullscreen());
}

TEST_F(Arguments, NameValueArgumentGivesValue) {
    set({"sporrik", "path=/data/sporrik"});
    EXPECT_STREQ(System::instance()->getArgument("path"), "/data/sporrik");
    EXPECT_TRUE(System::instance()->isFullscreen());
}

TEST_F(Arguments, PrefixOfAnotherNameDoesNotMatch) {
    set({"sporrik", "windowed", "paths=x"});
    EXPECT_EQ(System::instance()->getArgument("window"), nullptr);
    EXPECT_EQ(System::instance()->getArgument("path"), nullptr);
}

TEST_F(Arguments, WindowWithValueOpensWindow) {
    set({"sporrik", "window=1"});
    EXPECT_FALSE(System::instance()->isFullscreen());
}

TEST_F(Arguments, ProgramPathTakesPartInTheSearch) {
    set({"window"});
    EXPECT_NE(System::instance()->getArgument("window"), nullptr);
}

TEST_F(Arguments, ResolvePathUsesThePathDirectory) {
    set({"sporrik"});
    EXPECT_EQ(resolvePath("textures/a.png"), "textures/a.png");
    set({"sporrik", "path=/assets"});
    EXPECT_EQ(resolvePath("textures/a.png"), "/assets/textures/a.png");
    set({"sporrik", "path"});
    EXPECT_EQ(resolvePath("textures/a.png"), "textures/a.png");
}

} // namespace
