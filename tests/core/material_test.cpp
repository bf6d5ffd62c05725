#include "core/exceptions.h"
#include "core/material.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

// Texture slots; nothing here reaches OpenGL.
namespace {

TEST(Material, FiveTextureSlots_Refused_CountUnchanged) {
    Material material;
    EXPECT_TRUE(material.setTextureCount(2));
    EXPECT_FALSE(material.setTextureCount(5));
    EXPECT_EQ(material.getTextureCount(), 2u);
    EXPECT_TRUE(material.setTextureCount(4));
}

TEST(Material, SlotOutsideTheCount_WriteRefusedAndReadThrows) {
    Material material;
    material.setTextureCount(1);
    EXPECT_FALSE(material.setTexture(1, ImageTexture2D()));
    EXPECT_TRUE(material.setTexture(0, ImageTexture2D()));
    EXPECT_EQ(thrownMessage<IllegalStateException>([&] { material.getTexture(1); }),
              "illegal texture index used.");
    EXPECT_TRUE(material.getTexture(0).isEmpty());
}

} // namespace
