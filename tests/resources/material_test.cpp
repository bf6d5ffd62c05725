#include "base/exceptions.h"
#include "resources/material.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

// Texture slots; nothing here reaches OpenGL.
namespace {

TEST(Material, TextureSlots_AtMostFour_OthersRefused) {
    Material material;
    EXPECT_TRUE(material.setTextureCount(1));
    EXPECT_FALSE(material.setTextureCount(5));
    EXPECT_EQ(material.getTextureCount(), 1u);
    EXPECT_FALSE(material.setTexture(1, ImageTexture2D()));
    EXPECT_TRUE(material.setTexture(0, ImageTexture2D()));
    EXPECT_EQ(thrownMessage<IllegalStateException>([&] { material.getTexture(1); }),
              "illegal texture index used.");
    EXPECT_TRUE(material.getTexture(0).isEmpty());
    EXPECT_TRUE(material.setTextureCount(4));
}

} // namespace
