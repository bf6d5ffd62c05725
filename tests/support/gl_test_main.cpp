#include "support/glcontext.h"

#include <gtest/gtest.h>

namespace {
class GlEnvironment : public ::testing::Environment {
public:
    void SetUp() override { GlTest::ensureContext(); }
};
} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new GlEnvironment);
    return RUN_ALL_TESTS();
}
