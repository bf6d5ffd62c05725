#include <GL/glew.h>

#include "core/system.h"
#include "fluid/fluidsimulation.h"
#include "fluid/pbuffer.h"
#include "fluid/rendercontext.h"
#include "fluidreference.h"
#include "support/glcontext.h"
#include "support/logcapture.h"
#include "support/testpaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using FluidReference::Cell;
using FluidReference::Model;

constexpr int kN = 64;
constexpr int kM = 64;

void useAssetDirectory(const std::string& directory) {
    const std::string path = "path=" + directory;
    const char* arguments[] = {"sporrik_gl_tests", path.c_str()};
    System::instance()->setArguments(2, arguments);
}

// Draws one source quad over whole cells (ring included in the numbering).
void drawSource(int x, int y, int w, int h, const Cell& colour) {
    const float cw = 1.0f / (kN + 2);
    const float ch = 1.0f / (kM + 2);
    glColor4f(colour[0], colour[1], colour[2], colour[3]);
    glBegin(GL_QUADS);
    glVertex2f(x * cw, y * ch);
    glVertex2f((x + w) * cw, y * ch);
    glVertex2f((x + w) * cw, (y + h) * ch);
    glVertex2f(x * cw, (y + h) * ch);
    glEnd();
}

struct Source {
    int x, y, w, h;
    Cell colour;
};

class FluidSimulationGl : public ::testing::Test {
protected:
    void SetUp() override { useAssetDirectory(assetDir()); }

    void addSources(FluidSimulation& simulation, Model& model, const std::vector<Source>& sources) {
        simulation.beginSources();
        for (const Source& s : sources) {
            drawSource(s.x, s.y, s.w, s.h, s.colour);
            model.addSource(s.x, s.y, s.w, s.h, s.colour);
        }
        simulation.endSources();
    }

    std::vector<float> state(FluidSimulation& simulation) {
        std::vector<float> out(kN * kM * 4, -999.0f);
        simulation.readState(out.data());
        return out;
    }

    // Largest difference per channel between the card and the model.
    static Cell largestDifference(const std::vector<float>& gpu, const Model& model) {
        Cell worst{0, 0, 0, 0};
        for (int j = 0; j < kM; ++j) {
            for (int i = 0; i < kN; ++i) {
                for (int c = 0; c < 4; ++c) {
                    const float d = std::fabs(gpu[(j * kN + i) * 4 + c] - model.fields(i, j)[c]);
                    worst[c] = std::max(worst[c], d);
                }
            }
        }
        return worst;
    }

    LogCapture logs;
};

// Agreement with the CPU model --------------------------------------------------
//
// Both round every stored value to a 16-bit float, but the card may round a
// value on the other side of a half-float step, and the advection turns such a
// velocity difference into a shift of the sample point (dt is 6.4 cells). One
// step stays within 1% of each channel's largest value, three within 3%.

std::vector<Source> vortexSources() {
    std::vector<Source> sources;
    constexpr int kPoints = 8;
    for (int k = 0; k < kPoints; ++k) {
        const float angle = k * 2.0f * 3.14159265f / kPoints;
        const int x = 33 + static_cast<int>(std::lround(8 * std::cos(angle)));
        const int y = 33 + static_cast<int>(std::lround(8 * std::sin(angle)));
        // Tangential velocity, (v + 1) / 2 encoded.
        sources.push_back(
            {x, y, 2, 2, Cell{0.8f, 0.5f - 0.4f * std::sin(angle), 0.5f + 0.4f * std::cos(angle), 0.3f}});
    }
    return sources;
}

class FluidAgreement : public FluidSimulationGl {
protected:
    void runAndCompare(const std::vector<Source>& sources, int steps, float fraction) {
        FluidSimulation simulation(kN, kM);
        ASSERT_TRUE(simulation.isAvailable());
        Model model(kN, kM);
        for (int s = 0; s < steps; ++s) {
            addSources(simulation, model, sources);
            simulation.step(0.0);
            model.step();
        }
        const std::vector<float> gpu = state(simulation);
        Cell largest{0, 0, 0, 0};
        for (int j = 0; j < kM; ++j) {
            for (int i = 0; i < kN; ++i) {
                for (int c = 0; c < 4; ++c) {
                    largest[c] = std::max(largest[c], std::fabs(model.fields(i, j)[c]));
                }
            }
        }
        const Cell worst = largestDifference(gpu, model);
        for (int c = 0; c < 4; ++c) {
            EXPECT_LE(worst[c], std::max(1e-3f, fraction * largest[c]))
                << "channel " << c << ", largest value " << largest[c];
        }
    }
};

TEST_F(FluidAgreement, DensitySplat) {
    runAndCompare({{20, 30, 6, 4, Cell{1.0f, 0.5f, 0.5f, 0.0f}}}, 1, 0.01f);
}

TEST_F(FluidAgreement, VelocityImpulse) {
    runAndCompare({{20, 20, 4, 4, Cell{2.0f, 0.9f, 0.7f, 0.0f}}}, 1, 0.01f);
}

TEST_F(FluidAgreement, Vortex) {
    runAndCompare(vortexSources(), 1, 0.01f);
}

TEST_F(FluidAgreement, VortexWithImpulse_ThreeSteps) {
    std::vector<Source> sources = vortexSources();
    sources.push_back({10, 10, 3, 3, Cell{2.0f, 0.9f, 0.7f, 0.0f}});
    runAndCompare(sources, 3, 0.03f);
}

TEST_F(FluidAgreement, SourcesAtTheWall_ReachTheRing) {
    runAndCompare(
        {{0, 20, 3, 5, Cell{1.0f, 0.1f, 0.6f, 0.5f}}, {60, 63, 6, 3, Cell{1.0f, 0.7f, 0.95f, 0.0f}}}, 1,
        0.01f);
}

// Behaviour of the step ----------------------------------------------------------

std::vector<uint8_t> picture(FluidSimulation& simulation) {
    std::vector<uint8_t> texels((kN + 2) * (kM + 2) * 4);
    simulation.bindResult();
    glGetTexImage(GL_TEXTURE_RECTANGLE, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    simulation.releaseResult();
    return texels;
}

TEST_F(FluidSimulationGl, NoSources_DensityStaysZeroAndPictureConstant) {
    FluidSimulation simulation(kN, kM);
    ASSERT_TRUE(simulation.isAvailable());
    simulation.step(0.0);
    const std::vector<uint8_t> first = picture(simulation);
    for (int s = 0; s < 4; ++s) {
        simulation.step(0.0);
    }
    const std::vector<float> fields = state(simulation);
    for (size_t i = 0; i < fields.size(); ++i) {
        ASSERT_EQ(fields[i], 0.0f) << "value " << i;
    }
    EXPECT_EQ(picture(simulation), first);
}

TEST_F(FluidSimulationGl, Step_ConsumesTheSources) {
    FluidSimulation simulation(kN, kM);
    Model model(kN, kM);
    addSources(simulation, model, {{30, 30, 4, 4, Cell{1.0f, 0.5f, 0.5f, 0.0f}}});
    simulation.step(0.0);
    std::vector<float> sources((kN + 2) * (kM + 2) * 4, -1.0f);
    simulation.readBuffer(4, sources.data());
    EXPECT_EQ(sources, std::vector<float>(sources.size(), 0.0f));
    const float density = state(simulation)[(31 * kN + 31) * 4];
    simulation.step(0.0);
    // Nothing flows, so the splat neither grows nor moves.
    EXPECT_EQ(state(simulation)[(31 * kN + 31) * 4], density);
}

TEST_F(FluidSimulationGl, Construction_MarksTheRingOfTheFields) {
    FluidSimulation simulation(kN, kM);
    std::vector<float> fields((kN + 2) * (kM + 2) * 4);
    simulation.readBuffer(0, fields.data());
    for (int j = 0; j < kM + 2; ++j) {
        for (int i = 0; i < kN + 2; ++i) {
            const bool ring = i == 0 || j == 0 || i == kN + 1 || j == kM + 1;
            ASSERT_EQ(fields[(j * (kN + 2) + i) * 4 + 3], ring ? 1.0f : 0.0f) << i << ", " << j;
        }
    }
}

// Random velocities (|v| <= 0.1) over every interior cell.
std::vector<Source> randomVelocities(unsigned seed) {
    std::vector<Source> sources;
    std::srand(seed);
    for (int j = 1; j <= kM; ++j) {
        for (int i = 1; i <= kN; ++i) {
            const float u = 0.45f + 0.1f * std::rand() / RAND_MAX;
            const float v = 0.45f + 0.1f * std::rand() / RAND_MAX;
            sources.push_back({i, j, 1, 1, Cell{0.0f, u, v, 0.0f}});
        }
    }
    return sources;
}

// Sum of squared central-difference divergence over cells with interior neighbours.
template <typename Velocity>
double divergence(Velocity velocity) {
    double sum = 0.0;
    for (int j = 1; j < kM - 1; ++j) {
        for (int i = 1; i < kN - 1; ++i) {
            const double d =
                velocity(i + 1, j)[0] - velocity(i - 1, j)[0] + velocity(i, j + 1)[1] - velocity(i, j - 1)[1];
            sum += d * d;
        }
    }
    return sum;
}

TEST_F(FluidSimulationGl, Projection_LowersDivergenceLikeTheReference) {
    FluidSimulation simulation(kN, kM);
    Model model(kN, kM);
    const std::vector<Source> sources = randomVelocities(7);
    addSources(simulation, model, sources);
    const double before = divergence([&](int i, int j) {
        const Cell& c = sources[j * kN + i].colour;
        return std::array<float, 2>{c[1] * 2 - 1, c[2] * 2 - 1};
    });
    simulation.step(0.0);
    model.step();
    const std::vector<float> gpu = state(simulation);
    const double gpuAfter = divergence([&](int i, int j) {
        return std::array<float, 2>{gpu[(j * kN + i) * 4 + 1], gpu[(j * kN + i) * 4 + 2]};
    });
    const double cpuAfter = divergence([&](int i, int j) {
        return std::array<float, 2>{model.fields(i, j)[1], model.fields(i, j)[2]};
    });
    const double gpuFactor = gpuAfter / before;
    const double cpuFactor = cpuAfter / before;
    EXPECT_LT(cpuFactor, 0.5);
    EXPECT_NEAR(gpuFactor, cpuFactor, 0.05 * cpuFactor);
}

TEST_F(FluidSimulationGl, BoundaryCells_MirrorTheVelocityAcrossTheWall) {
    FluidSimulation simulation(kN, kM);
    Model model(kN, kM);
    addSources(simulation, model, randomVelocities(11));
    simulation.step(0.0);
    const int w = kN + 2;
    std::vector<float> fields(w * (kM + 2) * 4);
    simulation.readBuffer(1, fields.data());
    const auto at = [&](int i, int j, int c) {
        return fields[(j * w + i) * 4 + c];
    };
    for (int j = 1; j <= kM; ++j) {
        for (int i : {0, kN + 1}) {
            const int inner = i == 0 ? 1 : kN;
            EXPECT_EQ(at(i, j, 0), at(inner, j, 0));
            EXPECT_EQ(at(i, j, 1), -at(inner, j, 1));
            EXPECT_EQ(at(i, j, 2), at(inner, j, 2));
        }
    }
    for (int i = 1; i <= kN; ++i) {
        for (int j : {0, kM + 1}) {
            const int inner = j == 0 ? 1 : kM;
            EXPECT_EQ(at(i, j, 1), at(i, inner, 1));
            EXPECT_EQ(at(i, j, 2), -at(i, inner, 2));
        }
    }
    for (int i : {0, kN + 1}) {
        for (int j : {0, kM + 1}) {
            EXPECT_EQ(at(i, j, 1), 0.0f);
            EXPECT_EQ(at(i, j, 2), 0.0f);
        }
    }
}

// Construction, its messages and its failures ------------------------------------

TEST_F(FluidSimulationGl, Construction_WritesExactlyTheBufferLines) {
    testing::internal::CaptureStderr();
    FluidSimulation simulation(kN, kM);
    const std::string fieldBuffer = "unknown pbuffer attribute: alpha\nCreated a 66 x 66 pbuffer\n";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), fieldBuffer + fieldBuffer + fieldBuffer + fieldBuffer +
                                                          fieldBuffer + "Created a 66 x 66 pbuffer\n");
}

TEST_F(FluidSimulationGl, Construction_CompilesEveryProgramInOrder) {
    FluidSimulation simulation(kN, kM);
    const std::vector<std::string> expected = {"bounds",   "linsolveDUV", "linsolveU", "div",     "undiv",
                                               "advectUV", "advectD",     "clear",     "colcopy", "signedcol",
                                               "texcopy",  "sum",         "debug",     "debug"};
    std::vector<std::string> compiled;
    for (const std::string& line : logs.lines()) {
        EXPECT_EQ(line.rfind("DEBUG   from global          :compiling fragment program cg/", 0), 0u) << line;
        const size_t name = line.find("cg/") + 3;
        compiled.push_back(line.substr(name, line.find(".cg") - name));
    }
    EXPECT_EQ(compiled, expected);
}

TEST_F(FluidSimulationGl, Operations_LeaveTheWindowCurrentWithItsState) {
    glViewport(3, 4, 500, 400);
    glColor4f(0.25f, 0.5f, 0.75f, 1.0f);
    glClearColor(0.1f, 0.1f, 0.1f, 1.0f);
    FluidSimulation simulation(kN, kM);
    Model model(kN, kM);
    addSources(simulation, model, vortexSources());
    simulation.step(0.0);
    state(simulation);
    EXPECT_EQ(RenderContext::current(), RenderContext::window());
    GLint value[4] = {};
    glGetIntegerv(GL_FRAMEBUFFER_BINDING, value);
    EXPECT_EQ(value[0], 0);
    glGetIntegerv(GL_CURRENT_PROGRAM, value);
    EXPECT_EQ(value[0], 0);
    glGetIntegerv(GL_VIEWPORT, value);
    EXPECT_EQ(std::vector<GLint>(value, value + 4), (std::vector<GLint>{3, 4, 500, 400}));
    GLfloat colour[4] = {};
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(std::vector<GLfloat>(colour, colour + 4), (std::vector<GLfloat>{0.25f, 0.5f, 0.75f, 1.0f}));
    glGetFloatv(GL_COLOR_CLEAR_VALUE, colour);
    EXPECT_EQ(std::vector<GLfloat>(colour, colour + 4), (std::vector<GLfloat>{0.1f, 0.1f, 0.1f, 1.0f}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
    glClearColor(0, 0, 0, 0);
}

// An asset directory with copies of the program files, some changed.
class BrokenAssets : public FluidSimulationGl {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/sporrik-fluid-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        directory = pattern;
        std::filesystem::create_directory(directory + "/cg");
        for (const auto& entry : std::filesystem::directory_iterator(assetDir() + "/cg")) {
            std::filesystem::copy_file(entry.path(), directory + "/cg/" + entry.path().filename().string());
        }
        useAssetDirectory(directory);
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    void expectUnavailable(FluidSimulation& simulation) {
        EXPECT_FALSE(simulation.isAvailable());
        std::vector<float> out(kN * kM * 4, 1.0f);
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
    }

    size_t errorCount() const {
        size_t count = 0;
        for (const std::string& line : logs.lines()) {
            count += line.rfind("ERROR", 0) == 0 ? 1 : 0;
        }
        return count;
    }

    std::string directory;
};

TEST_F(BrokenAssets, MissingProgramFile_StopsThereAndKeepsNothing) {
    std::filesystem::remove(directory + "/cg/linsolveU.cg");
    testing::internal::CaptureStderr();
    FluidSimulation simulation(kN, kM);
    const std::string standardError = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(logs.has("ERROR   from global          :Unable to load cg/linsolveU.cg\n"));
    EXPECT_FALSE(logs.has("compiling fragment program cg/div.cg"));
    EXPECT_EQ(standardError.find("pbuffer"), std::string::npos);
    EXPECT_EQ(errorCount(), 1u);
    expectUnavailable(simulation);
}

TEST_F(BrokenAssets, ProgramThatDoesNotCompile_ReportsListingAndOneError) {
    std::ofstream(directory + "/cg/bounds.cg")
        << "#version 140\nout vec4 result;\nvoid main() { result = nothing; }\n";
    FluidSimulation simulation(kN, kM);
    const std::vector<std::string> messages = logs.messages();
    ASSERT_GE(messages.size(), 6u);
    EXPECT_EQ(messages[1], "---------------------------------------------------");
    EXPECT_EQ(messages[2], "The compile returned an error.");
    EXPECT_NE(messages[3].find("nothing"), std::string::npos);
    EXPECT_EQ(messages[messages.size() - 2], "---------------------------------------------------");
    EXPECT_EQ(messages.back(), "Unable to compile cg/bounds.cg");
    EXPECT_EQ(errorCount(), 1u);
    expectUnavailable(simulation);
}

TEST_F(BrokenAssets, ProgramFilesAreFoundBelowThePathArgument) {
    FluidSimulation simulation(kN, kM);
    EXPECT_TRUE(simulation.isAvailable());
    std::filesystem::remove_all(directory + "/cg");
    FluidSimulation withoutFiles(kN, kM);
    EXPECT_FALSE(withoutFiles.isAvailable());
    EXPECT_TRUE(logs.has("Unable to load cg/bounds.cg"));
}

TEST_F(FluidSimulationGl, GridTooLargeForABuffer_OneErrorAndUnavailable) {
    GLint limit = 0;
    glGetIntegerv(GL_MAX_RECTANGLE_TEXTURE_SIZE, &limit);
    testing::internal::CaptureStderr();
    FluidSimulation simulation(limit, 4);
    testing::internal::GetCapturedStderr();
    EXPECT_FALSE(simulation.isAvailable());
    EXPECT_TRUE(logs.has("ERROR   from global          :Unable to create a " + std::to_string(limit + 2) +
                         " x 6 fluid buffer\n"));
    EXPECT_EQ(RenderContext::current(), RenderContext::window());
}

// The picture, drawn over the window as the scene draws it --------------------------

TEST_F(FluidSimulationGl, Result_StirredPictureShowsWhereTheFluidMoves) {
    FluidSimulation simulation(kN, kM);
    Model model(kN, kM);
    for (int s = 0; s < 12; ++s) {
        std::vector<Source> sources = vortexSources();
        const int x = 10 + 3 * s;
        sources.push_back({x, 12, 2, 2, Cell{100.0f, 1.0f, 0.6f, 0.0f}});
        addSources(simulation, model, sources);
        simulation.step(0.0);
    }
    glViewport(0, 0, GlTest::kWidth, GlTest::kHeight);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1, 0, 1, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_TEXTURE_RECTANGLE);
    glColor4f(1, 1, 1, 1);
    simulation.bindResult();
    glBegin(GL_QUADS);
    glTexCoord2f(1, 1);
    glVertex2f(0, 0);
    glTexCoord2f(kN + 1, 1);
    glVertex2f(1, 0);
    glTexCoord2f(kN + 1, kM + 1);
    glVertex2f(1, 1);
    glTexCoord2f(1, kM + 1);
    glVertex2f(0, 1);
    glEnd();
    simulation.releaseResult();
    glDisable(GL_TEXTURE_RECTANGLE);
    const std::vector<uint8_t> pixels = GlTest::readPixels(0, 0, GlTest::kWidth, GlTest::kHeight);
    GlTest::savePng("fluid_result.png", pixels, GlTest::kWidth, GlTest::kHeight);
    const auto brightness = [&](float fx, float fy) {
        const size_t at = (static_cast<size_t>(fy * GlTest::kHeight) * GlTest::kWidth +
                           static_cast<size_t>(fx * GlTest::kWidth)) *
                          4;
        return pixels[at] + pixels[at + 1] + pixels[at + 2];
    };
    // The vortex ring around cell (33, 33) of 64 and the corner far from every source.
    EXPECT_GT(brightness(33.0f / 64, 41.0f / 64), 60);
    EXPECT_LT(brightness(60.0f / 64, 60.0f / 64), 10);
}

} // namespace
