#include "core/material.h"
#include "core/system.h"
#include "mesh/animatedmesh.h"
#include "mesh/md3meshloader.h"
#include "mesh/meshgroup.h"
#include "support/logcapture.h"
#include "support/md3files.h"
#include "support/pngfiles.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

// Damaged and random input must give null or a sound group, never a crash;
// these run without a display so that the sanitizer build covers them.

namespace {

class Md3RobustnessTest : public ::testing::Test {
protected:
    Md3RobustnessTest() : loader([](const std::string&) { return std::make_unique<Material>(); }) {}

    void SetUp() override {
        Md3Files::writeText(dir.file("m.cfg"), "0 3 0 10\n1 2 0 5\n");
        Md3Files::writeText(dir.file("m.skin"), "body,x/body.png\nhead,x/head.png\n");
    }

    // Loads m.md3 holding bytes; a group that comes back must be usable.
    bool loadsSoundly(const std::vector<uint8_t>& bytes) {
        Md3Files::writeBytes(dir.file("m.md3"), bytes);
        std::unique_ptr<MeshGroup> group = loader.load(dir.file("m.md3"));
        if (group == nullptr) {
            return true;
        }
        for (int i = 0; i < group->size(); ++i) {
            auto* mesh = dynamic_cast<AnimatedMesh*>(group->get(i));
            if (mesh == nullptr) {
                return false;
            }
            const int vertices = mesh->getVertexCount();
            const DynamicMesh::Triangle* triangles = mesh->getTriangles(0);
            for (int f = 0; f < mesh->getFaceCount(0); ++f) {
                for (const uint32_t v : triangles[f].v) {
                    if (v >= static_cast<uint32_t>(vertices)) {
                        return false;
                    }
                }
            }
            for (int s = 0; s < mesh->getSequenceCount(); ++s) {
                for (const double time : {0.0, 0.07, 0.33, -1.5}) {
                    mesh->animate(s, time);
                }
            }
        }
        return true;
    }

    LogCapture quiet; // thousands of loads would flood the output
    PngFiles::TempDir dir;
    MD3MeshLoader loader;
    const Md3Files::Model model = Md3Files::sample();
    const std::vector<uint8_t> valid = Md3Files::encode(model);
};

TEST_F(Md3RobustnessTest, ValidSample_Loads) {
    Md3Files::writeBytes(dir.file("m.md3"), valid);
    EXPECT_NE(loader.load(dir.file("m.md3")), nullptr);
}

TEST_F(Md3RobustnessTest, EveryTruncation_ReturnsNull) {
    for (size_t length = 0; length < valid.size(); ++length) {
        Md3Files::writeBytes(dir.file("m.md3"), std::vector<uint8_t>(valid.begin(), valid.begin() + length));
        EXPECT_EQ(loader.load(dir.file("m.md3")), nullptr) << "length " << length;
    }
}

TEST_F(Md3RobustnessTest, EveryHeaderAndCountByteCorrupted_GivesNullOrSoundGroup) {
    std::vector<size_t> positions;
    for (size_t i = 0; i < Md3Files::kHeaderSize; ++i) {
        positions.push_back(i);
    }
    size_t surface = Md3Files::firstSurfaceOffset(model);
    for (const Md3Files::Surface& s : model.surfaces) {
        for (size_t i = 0; i < Md3Files::kSurfaceHeaderSize; ++i) {
            positions.push_back(surface + i);
        }
        surface += Md3Files::surfaceSize(s);
    }
    // Triangle indices of the first surface.
    const size_t triangles = Md3Files::firstSurfaceOffset(model) + Md3Files::kSurfaceHeaderSize +
                             model.surfaces[0].shaderCount * Md3Files::kShaderSize;
    for (size_t i = 0; i < model.surfaces[0].triangles.size() * 12; ++i) {
        positions.push_back(triangles + i);
    }
    for (const size_t at : positions) {
        for (const int change : {0x00, 0xff, 0x7f, 0x80, 0x01, -1, +1, 0x40}) {
            std::vector<uint8_t> bytes = valid;
            if (change == -1 || change == +1) {
                bytes[at] = static_cast<uint8_t>(bytes[at] + change);
            } else if (change == 0x01 || change == 0x40) {
                bytes[at] ^= static_cast<uint8_t>(change);
            } else {
                bytes[at] = static_cast<uint8_t>(change);
            }
            EXPECT_TRUE(loadsSoundly(bytes)) << "byte " << at << " change " << change;
        }
    }
}

TEST_F(Md3RobustnessTest, RandomGarbage_GivesNullOrSoundGroup) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<size_t> length(0, 2 * valid.size());
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bytes(length(random));
        for (uint8_t& b : bytes) {
            b = static_cast<uint8_t>(byte(random));
        }
        // Every other file keeps a valid header start, to get past the first check.
        if (round % 2 == 1 && bytes.size() >= 8) {
            std::copy(valid.begin(), valid.begin() + 8, bytes.begin());
        }
        EXPECT_TRUE(loadsSoundly(bytes)) << "round " << round;
    }
}

TEST_F(Md3RobustnessTest, ValidModelWithRandomlyChangedBytes_GivesNullOrSoundGroup) {
    std::mt19937 random(77);
    std::uniform_int_distribution<size_t> position(0, valid.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bytes = valid;
        for (int n = 0; n < 4; ++n) {
            bytes[position(random)] = static_cast<uint8_t>(byte(random));
        }
        EXPECT_TRUE(loadsSoundly(bytes)) << "round " << round;
    }
}

TEST_F(Md3RobustnessTest, RandomCfgAndSkinText_GivesNullOrSoundGroup) {
    std::mt19937 random(5);
    const std::string alphabet = "0123456789 -+\t\r\n,/.bodyhead#x";
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<size_t> length(0, 400);
    for (int round = 0; round < 200; ++round) {
        for (const char* name : {"m.cfg", "m.skin"}) {
            std::string text(length(random), ' ');
            for (char& c : text) {
                c = alphabet[pick(random)];
            }
            Md3Files::writeText(dir.file(name), text);
        }
        EXPECT_TRUE(loadsSoundly(valid)) << "round " << round;
    }
}

} // namespace
