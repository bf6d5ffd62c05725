#include "base/log.h"
#include "base/tools.h"
#include "support/assettest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

TEST(Log, LinesHaveLabelPaddedSourceAndMessageInPiecesOfEighty) {
    const std::string eighty(80, 'x');
    const std::string prefix = "NOTE    from s               :";
    const struct {
        int type;
        const char* source;
        std::string message;
        Lines lines;
    } cases[] = {
        {NOTE, "global", "hello", {"NOTE    from global          :hello\n"}},
        {WARNING, "s", "a", {"WARNING from s               :a\n"}},
        {ERROR, "s", "b", {"ERROR   from s               :b\n"}},
        {DEBUG, "s", "c", {"DEBUG   from s               :c\n"}},
        {NOTE, "s", "", {prefix + "\n"}},
        {NOTE, "abcdefghijklmnopqrst", "m", {"NOTE    from abcdefghijklmnopqrst:m\n"}},
        {NOTE, "s", eighty, {prefix + eighty + "\n"}},
        {NOTE, "s", eighty + "y", {prefix + eighty + "\\\n", prefix + "y\n"}},
        {7,
         "system",
         "text",
         {"WARNING from global          :unknown log type\n", "WARNING: from system          :text\n"}},
    };
    for (const auto& c : cases) {
        LogCapture capture;
        log(c.type, c.source, c.message);
        EXPECT_EQ(capture.lines(), c.lines);
    }
}

TEST(Tools, Log2CountsHalvings_NonPositiveIsZeroWithADebugLine) {
    LogCapture capture;
    EXPECT_EQ(log2(1), 0);
    EXPECT_EQ(log2(1000), 9);
    EXPECT_EQ(log2(1024), 10);
    EXPECT_TRUE(capture.lines().empty());
    EXPECT_EQ(log2(0), 0);
    EXPECT_EQ(log2(-8), 0);
    EXPECT_EQ(capture.lines().size(), 2u);
}

TEST(Tools, PadResolveAndContains) {
    auto padded = [](const char* text, int width) {
        std::string buffer(std::max<size_t>(std::strlen(text), width) + 1, '#');
        padString(buffer.data(), text, width, '.');
        return std::string(buffer.c_str());
    };
    EXPECT_EQ(padded("abcd", 5), "abcd.");
    EXPECT_EQ(padded("abcdef", 3), "abcdef");
    EXPECT_EQ(padded("", 2), "..");
    EXPECT_EQ(toString(-42), "-42");
    EXPECT_TRUE(contains("abc", "bc"));
    EXPECT_FALSE(contains("abc", "cb"));
    EXPECT_FALSE(contains("abc", ""));
    EXPECT_FALSE(contains("", ""));
    setAssetDirectory("/assets");
    EXPECT_EQ(resolvePath("a/b.png"), "/assets/a/b.png");
    setAssetDirectory("");
    EXPECT_EQ(resolvePath("a/b.png"), "a/b.png");
}

TEST(Tools, ReadFile_GivesTheWholeFileWithATerminator_OrNullWithAnError) {
    TempDir dir;
    std::ofstream(dir.file("f"), std::ios::binary).write("ab\0cd", 5);
    const auto block = readFile(dir.file("f").c_str());
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(block.get(), 6), std::string("ab\0cd\0", 6));
    LogCapture capture;
    EXPECT_EQ(readFile(nullptr), nullptr);
    EXPECT_TRUE(capture.lines().empty());
    EXPECT_EQ(readFile(dir.file("missing").c_str()), nullptr);
    EXPECT_TRUE(capture.has("ERROR") && contains(joinedMessages(capture).at(0), dir.file("missing")));
}

} // namespace
