#include "keep/settings.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

Settings changed() {
    Settings s;
    s.options = {2, 3, false, 0, false};
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

TEST(Settings, DamagedValues_RefusedWithTheKey) {
    const std::string valid = changed().format();
    const struct {
        const char* pattern;
        const char* by;
        const char* reason;
    } cases[] = {
        {"version = 1", "version = 0", "version 0"},
        {"level = expert", "level = exp", "level"},
        {"player1 = computer\n", "", "player1"},
        {"manual-blend = [^\n]*", "manual-blend = 1.5", "manual-blend"},
        {"distance = [^\n]*", "distance = nan", "distance"},
        {"angle = [^\n]*", "angle = 1e30", "angle"},
        {"volume = 0", "volume = 0x", "volume"},
        {"fog = off", "fog = no", "fog"},
    };
    for (const auto& c : cases) {
        std::string reason;
        const std::string text = std::regex_replace(valid, std::regex(c.pattern), c.by);
        EXPECT_FALSE(Settings::parse(text, reason)) << c.pattern;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    }
}

} // namespace
