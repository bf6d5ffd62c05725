#include <GL/glew.h>

#include "base/tools.h"
#include "fluid/fluidsimulation.h"
#include "fluid/rendercontext.h"
#include "fluidreference.h"
#include "support/logcapture.h"
#include "support/pngfiles.h"
#include "support/tempdir.h"
#include "support/testpaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using FluidReference::Cell;

constexpr int kN = 64;
constexpr int kSide = kN + 2;
constexpr size_t kStateSize = kN * kN * 4;

void useAssetDirectory(const std::string& directory) {
    setAssetDirectory(directory);
}

// Whole cells, the ring included in the numbering.
struct Source {
    int x, y, w, h;
    Cell colour;
};

// Eight splats around cell (33, 33) turning anticlockwise.
std::vector<Source> vortex() {
    std::vector<Source> sources;
    for (int k = 0; k < 8; ++k) {
        const float angle = k * 2.0f * 3.14159265f / 8;
        sources.push_back({33 + static_cast<int>(std::lround(8 * std::cos(angle))),
                           33 + static_cast<int>(std::lround(8 * std::sin(angle))), 2, 2,
                           Cell{0.8f, 0.5f - 0.4f * std::sin(angle), 0.5f + 0.4f * std::cos(angle), 0.3f}});
    }
    return sources;
}

// Random velocities (|v| <= 0.1) over every interior cell.
std::vector<Source> randomVelocities(unsigned seed) {
    std::vector<Source> sources;
    std::srand(seed);
    for (int j = 1; j <= kN; ++j) {
        for (int i = 1; i <= kN; ++i) {
            const float u = 0.45f + 0.1f * std::rand() / RAND_MAX;
            sources.push_back({i, j, 1, 1, Cell{0.0f, u, 0.45f + 0.1f * std::rand() / RAND_MAX, 0.0f}});
        }
    }
    return sources;
}

std::vector<float> readState(FluidSimulation& simulation) {
    std::vector<float> out(kStateSize, -999.0f);
    simulation.readState(out.data());
    return out;
}

std::vector<float> readBuffer(FluidSimulation& simulation, int index) {
    std::vector<float> out(kSide * kSide * 4, -999.0f);
    simulation.readBuffer(index, out.data());
    return out;
}

// Sum of squared central-difference divergence over cells with interior neighbours.
double divergence(const std::vector<float>& state) {
    const auto at = [&](int i, int j, int ch) {
        return state[(j * kN + i) * 4 + ch];
    };
    double sum = 0.0;
    for (int j = 1; j < kN - 1; ++j) {
        for (int i = 1; i < kN - 1; ++i) {
            const double d = at(i + 1, j, 1) - at(i - 1, j, 1) + at(i, j + 1, 2) - at(i, j - 1, 2);
            sum += d * d;
        }
    }
    return sum;
}

// Runs the card's simulation and the CPU reference side by side.
class FluidGl : public ::testing::Test {
protected:
    void SetUp() override { useAssetDirectory(assetDir()); }

    void addSources(FluidSimulation& simulation, const std::vector<Source>& sources) {
        simulation.beginSources();
        for (const Source& s : sources) {
            glColor4fv(s.colour.data());
            glRectf(static_cast<float>(s.x) / kSide, static_cast<float>(s.y) / kSide,
                    static_cast<float>(s.x + s.w) / kSide, static_cast<float>(s.y + s.h) / kSide);
            model.addSource(s.x, s.y, s.w, s.h, s.colour);
        }
        simulation.endSources();
    }

    std::vector<float> modelState() const {
        std::vector<float> out;
        for (int j = 0; j < kN; ++j) {
            for (int i = 0; i < kN; ++i) {
                out.insert(out.end(), model.fields(i, j).begin(), model.fields(i, j).end());
            }
        }
        return out;
    }

    LogCapture logs;
    FluidReference::Model model{kN, kN};
};

// Both round every stored value to a 16-bit float, but the card may round a
// value to the other side of a half-float step, and advection turns such a
// velocity difference into a shift of the sample point (dt is 6.4 cells). One
// step stays within 1% of each channel's largest value, three within 3%.
TEST_F(FluidGl, Step_MatchesTheCpuReferenceForEachSourcePattern) {
    std::vector<Source> vortexAndImpulse = vortex();
    vortexAndImpulse.push_back({10, 10, 3, 3, Cell{2.0f, 0.9f, 0.7f, 0.0f}});
    const Source atLeftWall{0, 20, 3, 5, Cell{1.0f, 0.1f, 0.6f, 0.5f}};
    const Source inTopRightCorner{60, 63, 6, 3, Cell{1.0f, 0.7f, 0.95f, 0.0f}};
    const struct {
        const char* name;
        std::vector<Source> sources;
        int steps;
        float tolerance;
    } cases[] = {
        {"density splat", {{20, 30, 6, 4, Cell{1.0f, 0.5f, 0.5f, 0.0f}}}, 1, 0.01f},
        {"velocity impulse", {{20, 20, 4, 4, Cell{2.0f, 0.9f, 0.7f, 0.0f}}}, 1, 0.01f},
        {"vortex", vortex(), 1, 0.01f},
        {"sources over the ring", {atLeftWall, inTopRightCorner}, 1, 0.01f},
        // Sources are painted anew each step: any left over would count twice.
        {"vortex and impulse, three steps", vortexAndImpulse, 3, 0.03f},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FluidSimulation simulation(kN, kN);
        ASSERT_TRUE(simulation.isAvailable());
        model = FluidReference::Model(kN, kN);
        for (int s = 0; s < c.steps; ++s) {
            addSources(simulation, c.sources);
            simulation.step(0.0);
            model.step();
        }
        const std::vector<float> gpu = readState(simulation);
        EXPECT_EQ(RenderContext::current(), RenderContext::window());
        GLint program = -1;
        glGetIntegerv(GL_CURRENT_PROGRAM, &program);
        EXPECT_EQ(program, 0);
        const std::vector<float> cpu = modelState();
        Cell largest{}, worst{};
        for (size_t k = 0; k < kStateSize; ++k) {
            largest[k % 4] = std::max(largest[k % 4], std::fabs(cpu[k]));
            worst[k % 4] = std::max(worst[k % 4], std::fabs(gpu[k] - cpu[k]));
        }
        for (int ch = 0; ch < 4; ++ch) {
            EXPECT_LE(worst[ch], std::max(1e-3f, c.tolerance * largest[ch])) << "channel " << ch;
        }
    }
}

std::vector<uint8_t> picture(FluidSimulation& simulation) {
    std::vector<uint8_t> texels(kSide * kSide * 4);
    simulation.bindResult();
    glGetTexImage(GL_TEXTURE_RECTANGLE, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    simulation.releaseResult();
    return texels;
}

TEST_F(FluidGl, Picture_ConstantWithoutSourcesAndBrightWhereTheDensityIs) {
    FluidSimulation simulation(kN, kN);
    simulation.step(0.0);
    const std::vector<uint8_t> first = picture(simulation);
    for (int s = 0; s < 4; ++s) {
        simulation.step(0.0);
    }
    EXPECT_EQ(readState(simulation), std::vector<float>(kStateSize, 0.0f));
    EXPECT_EQ(picture(simulation), first);
    addSources(simulation, {{30, 30, 4, 4, Cell{1.0f, 0.5f, 0.5f, 0.0f}}});
    simulation.step(0.0);
    EXPECT_GT(picture(simulation)[(31 * kSide + 31) * 4], 100);
    EXPECT_EQ(picture(simulation)[(60 * kSide + 60) * 4], first[(60 * kSide + 60) * 4]);
}

TEST_F(FluidGl, Projection_LowersDivergenceLikeTheReference) {
    FluidSimulation simulation(kN, kN);
    const std::vector<Source> sources = randomVelocities(7);
    addSources(simulation, sources);
    std::vector<float> velocities(kStateSize);
    for (size_t k = 0; k < sources.size(); ++k) {
        velocities[k * 4 + 1] = sources[k].colour[1] * 2 - 1;
        velocities[k * 4 + 2] = sources[k].colour[2] * 2 - 1;
    }
    const double before = divergence(velocities);
    simulation.step(0.0);
    model.step();
    const double cpuFactor = divergence(modelState()) / before;
    EXPECT_LT(cpuFactor, 0.5);
    EXPECT_NEAR(divergence(readState(simulation)) / before, cpuFactor, 0.05 * cpuFactor);
}

TEST_F(FluidGl, BoundaryCells_MirrorTheVelocityAcrossTheWall) {
    FluidSimulation simulation(kN, kN);
    addSources(simulation, randomVelocities(11));
    simulation.step(0.0);
    const std::vector<float> fields = readBuffer(simulation, 1);
    const auto at = [&](int i, int j, int ch) {
        return fields[(j * kSide + i) * 4 + ch];
    };
    for (int j = 0; j < kSide; ++j) {
        for (int i = 0; i < kSide; ++i) {
            const int ii = std::clamp(i, 1, kN);
            const int jj = std::clamp(j, 1, kN);
            const bool wallX = ii != i;
            const bool wallY = jj != j;
            if (wallX && wallY) {
                ASSERT_EQ(at(i, j, 1), 0.0f) << "corner " << i << ", " << j;
                ASSERT_EQ(at(i, j, 2), 0.0f) << "corner " << i << ", " << j;
            } else if (wallX || wallY) {
                ASSERT_EQ(at(i, j, 0), at(ii, jj, 0)) << i << ", " << j;
                ASSERT_EQ(at(i, j, 1), wallX ? -at(ii, jj, 1) : at(ii, jj, 1)) << i << ", " << j;
                ASSERT_EQ(at(i, j, 2), wallY ? -at(ii, jj, 2) : at(ii, jj, 2)) << i << ", " << j;
            }
        }
    }
}

TEST_F(FluidGl, Construction_BufferLinesProgramsInOrderAndTheMarkedRing) {
    testing::internal::CaptureStderr();
    FluidSimulation simulation(kN, kN);
    const std::string field = "unknown pbuffer attribute: alpha\nCreated a 66 x 66 pbuffer\n";
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              field + field + field + field + field + "Created a 66 x 66 pbuffer\n");
    std::vector<std::string> expected;
    for (const char* name : {"bounds", "linsolveDUV", "linsolveU", "div", "undiv", "advectUV", "advectD",
                             "clear", "colcopy", "signedcol", "texcopy", "sum", "debug", "debug"}) {
        expected.push_back(std::string("DEBUG   from global          :compiling fragment program cg/") +
                           name + ".cg\n");
    }
    EXPECT_EQ(logs.lines(), expected);
    const std::vector<float> fields = readBuffer(simulation, 0);
    for (int k = 0; k < kSide * kSide; ++k) {
        const int i = k % kSide;
        const int j = k / kSide;
        const bool ring = i == 0 || j == 0 || i == kN + 1 || j == kN + 1;
        ASSERT_EQ(fields[k * 4 + 3], ring ? 1.0f : 0.0f) << i << ", " << j;
    }
}

// Whatever fails, one ERROR, nothing kept, and every operation does nothing.
void expectUnavailable(FluidSimulation& simulation, const LogCapture& logs) {
    EXPECT_FALSE(simulation.isAvailable());
    std::vector<float> out(kN * kN * 4, 1.0f);
    simulation.beginSources();
    simulation.endSources();
    simulation.step(0.0);
    simulation.readState(out.data());
    EXPECT_EQ(out, std::vector<float>(out.size(), 1.0f));
    GLint bound = -1;
    simulation.bindResult();
    glGetIntegerv(GL_TEXTURE_BINDING_RECTANGLE, &bound);
    simulation.releaseResult();
    EXPECT_EQ(bound, 0);
    EXPECT_EQ(RenderContext::current(), RenderContext::window());
    EXPECT_EQ(std::count_if(logs.lines().begin(), logs.lines().end(),
                            [](const std::string& line) { return line.rfind("ERROR", 0) == 0; }),
              1);
}

TEST_F(FluidGl, GridTooLargeForABuffer_OneErrorAndUnavailable) {
    GLint limit = 0;
    glGetIntegerv(GL_MAX_RECTANGLE_TEXTURE_SIZE, &limit);
    testing::internal::CaptureStderr();
    FluidSimulation simulation(limit, 4);
    testing::internal::GetCapturedStderr();
    EXPECT_TRUE(logs.has("ERROR   from global          :Unable to create a " + std::to_string(limit + 2) +
                         " x 6 fluid buffer\n"));
    expectUnavailable(simulation, logs);
}

// An asset directory with copies of the program files, to be spoilt.
class BrokenAssets : public FluidGl {
protected:
    void SetUp() override {
        std::filesystem::copy(assetDir() + "/cg", dir.file("cg"));
        useAssetDirectory(dir.path());
    }

    TempDir dir;
};

// The other files are found below the path argument, and only there.
TEST_F(BrokenAssets, MissingProgramFile_StopsThereAndKeepsNothing) {
    std::filesystem::remove(dir.file("cg/linsolveU.cg"));
    testing::internal::CaptureStderr();
    FluidSimulation simulation(kN, kN);
    EXPECT_EQ(testing::internal::GetCapturedStderr().find("pbuffer"), std::string::npos);
    EXPECT_TRUE(logs.has("ERROR   from global          :Unable to load cg/linsolveU.cg\n"));
    EXPECT_FALSE(logs.has("compiling fragment program cg/div.cg"));
    expectUnavailable(simulation, logs);
}

TEST_F(BrokenAssets, ProgramThatDoesNotCompile_ReportsListingAndOneError) {
    std::ofstream(dir.file("cg/bounds.cg"))
        << "#version 140\nout vec4 result;\nvoid main() { result = nothing; }\n";
    FluidSimulation simulation(kN, kN);
    const std::vector<std::string> messages = logs.messages();
    ASSERT_GE(messages.size(), 6u);
    EXPECT_EQ(messages[1], "---------------------------------------------------");
    EXPECT_EQ(messages[2], "The compile returned an error.");
    EXPECT_NE(messages[3].find("nothing"), std::string::npos);
    EXPECT_EQ(messages[messages.size() - 2], "---------------------------------------------------");
    EXPECT_EQ(messages.back(), "Unable to compile cg/bounds.cg");
    expectUnavailable(simulation, logs);
}

} // namespace
