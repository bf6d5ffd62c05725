#include "keep/settings.h"

#include <gtest/gtest.h>

namespace {

Settings changed() {
    Settings s;
    s.options = {2, 3, false, 0, false, 3};
    s.view = {false, false, false, true, false, false, 0.125f};
    s.camera = {-7.3f, 1.2f, 99.9f};
    s.newGame = {false, true, 3};
    return s;
}

TEST(Settings, Written_ReadsBackTheSame) {
    for (const Settings& s : {Settings(), changed()}) {
        std::string reason;
        const auto read = Settings::parse(s.format(), reason);
        ASSERT_TRUE(read) << reason;
        EXPECT_TRUE(*read == s);
    }
}

// The text with the line of `key` set to `value`, or left out without a value.
std::string withValue(std::string text, const std::string& key, const char* value) {
    const size_t start = text.find("\n" + key + " = ") + 1;
    const size_t end = text.find('\n', start) + 1;
    return text.replace(start, end - start, value ? key + " = " + value + "\n" : "");
}

TEST(Settings, DamagedValues_RefusedWithTheKey) {
    const std::string valid = changed().format();
    const struct {
        const char* key;
        const char* value;
        const char* reason;
    } cases[] = {
        {"version", "0", "version 0"},       {"level", "exp", "level"},
        {"player1", nullptr, "player1"},     {"manual-blend", "1.5", "manual-blend"},
        {"distance", "nan", "distance"},     {"angle", "1e30", "angle"},
        {"volume", "0x", "volume"},          {"fog", "no", "fog"},
        {"text-size", "giant", "text-size"},
    };
    for (const auto& c : cases) {
        std::string reason;
        const std::string text = withValue(valid, c.key, c.value);
        ASSERT_NE(text, valid) << c.key;
        EXPECT_FALSE(Settings::parse(text, reason)) << c.key;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    }
}

// Settings written before the text size was kept are read, at Normal.
TEST(Settings, WithoutTheTextSize_ReadAtNormal) {
    std::string reason;
    const auto read = Settings::parse(withValue(changed().format(), "text-size", nullptr), reason);
    ASSERT_TRUE(read) << reason;
    EXPECT_EQ(read->options.textSize, Settings().options.textSize);
    EXPECT_EQ(read->options.scale, changed().options.scale);
}

} // namespace
