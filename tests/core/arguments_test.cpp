#include "base/tools.h"
#include "core/system.h"

#include <gtest/gtest.h>

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

} // namespace
