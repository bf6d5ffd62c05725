#include <GL/glew.h>

#include "base/tools.h"
#include "fluid/fluidsimulation.h"
#include "fluid/fluidsolver.h"
#include "fluid/pbuffer.h"
#include "fluid/rendercontext.h"
#include "resources/softwarerenderer.h"
#include "support/logcapture.h"
#include "support/tempdir.h"
#include "support/testpaths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using Cell = std::array<float, 4>;
using Path = FluidSimulation::Path;

constexpr int kN = 64;
constexpr int kSide = kN + 2;
constexpr size_t kStateSize = kN * kN * 4;

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

GLint integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}
template <size_t N>
std::array<GLfloat, N> floats(GLenum name) {
    std::array<GLfloat, N> value{};
    glGetFloatv(name, value.data());
    return value;
}

// The interior fields, or with an index that whole buffer and its ring.
std::vector<float> read(FluidSimulation& simulation, int index = -1) {
    std::vector<float> out(index < 0 ? kStateSize : kSide * kSide * 4, -999.0f);
    index < 0 ? simulation.readState(out.data()) : simulation.readBuffer(index, out.data());
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

// Runs the simulation on either path and the processor's solver, fed
// directly, side by side.
class FluidGl : public ::testing::TestWithParam<Path> {
protected:
    void SetUp() override { setAssetDirectory(assetDir()); }
    bool onCpu() const { return GetParam() == Path::Cpu; }

    void addSources(FluidSimulation& simulation, const std::vector<Source>& sources) {
        simulation.beginSources();
        for (const Source& s : sources) {
            glColor4fv(s.colour.data());
            glRectf(static_cast<float>(s.x) / kSide, static_cast<float>(s.y) / kSide,
                    static_cast<float>(s.x + s.w) / kSide, static_cast<float>(s.y + s.h) / kSide);
            model.addSource(s.x, s.y, s.w, s.h, s.colour.data());
        }
        simulation.endSources();
    }

    std::vector<float> modelState() const {
        std::vector<float> out(kStateSize);
        model.readState(out.data());
        return out;
    }

    LogCapture logs;
    FluidSolver model{kN, kN};
};

INSTANTIATE_TEST_SUITE_P(Paths, FluidGl, ::testing::Values(Path::Gpu, Path::Cpu),
                         [](const auto& info) { return info.param == Path::Cpu ? "Cpu" : "Gpu"; });

// Both round every stored value to a 16-bit float, but the card may round a
// value to the other side of a half-float step, and advection turns such a
// velocity difference into a shift of the sample point (dt is 6.4 cells). One
// step stays within 1% of each channel's largest value, three within 3%. On
// the processor the simulation is the solver: only what it takes in from the
// drawn sources is its own, and must be exact, which the last case shows.
TEST_P(FluidGl, Step_MatchesTheSolverForEachSourcePattern_AndLeavesTheWindowsStateAsFound) {
    const Source atLeftWall{0, 20, 3, 5, Cell{1.0f, 0.1f, 0.6f, 0.5f}};
    const Source inTopRightCorner{60, 63, 6, 3, Cell{1.0f, 0.7f, 0.95f, 0.0f}};
    std::vector<Source> everything = vortex();
    everything.insert(everything.end(),
                      {{10, 10, 3, 3, Cell{2.0f, 0.9f, 0.7f, 0.0f}}, atLeftWall, inTopRightCorner});
    struct Case {
        const char* name;
        std::vector<Source> sources;
        int steps;
        float tolerance;
    };
    const std::vector<Case> cases = {
        {"density splat", {{20, 30, 6, 4, Cell{1.0f, 0.5f, 0.5f, 0.0f}}}, 1, 0.01f},
        {"velocity impulse", {{20, 20, 4, 4, Cell{2.0f, 0.9f, 0.7f, 0.0f}}}, 1, 0.01f},
        {"vortex", vortex(), 1, 0.01f},
        {"sources over the ring", {atLeftWall, inTopRightCorner}, 1, 0.01f},
        // Sources are painted anew each step: any left over would count twice.
        {"all of them, three steps", everything, 3, 0.03f},
    };
    // The passes and the picture's upload run in the same real context as the
    // window: its current colour, texture coordinate, binding and pixel store
    // must come back as they were.
    const GlTexture mine = GlTexture::generate();
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_RECTANGLE, mine.get());
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
    glTexCoord4f(0.25f, 0.5f, 0.75f, 1.0f);
    const auto windowState = [] {
        return std::make_tuple(floats<4>(GL_CURRENT_COLOR), floats<4>(GL_CURRENT_TEXTURE_COORDS),
                               integer(GL_TEXTURE_BINDING_RECTANGLE), integer(GL_UNPACK_ALIGNMENT));
    };
    for (const Case& c : onCpu() ? std::vector<Case>{cases.back()} : cases) {
        SCOPED_TRACE(c.name);
        FluidSimulation simulation(kN, kN, GetParam());
        ASSERT_TRUE(simulation.isAvailable());
        ASSERT_EQ(simulation.runsOnCpu(), onCpu());
        model = FluidSolver(kN, kN);
        const auto before = windowState();
        for (int s = 0; s < c.steps; ++s) {
            addSources(simulation, c.sources);
            simulation.step(0.0);
            model.step();
        }
        EXPECT_EQ(windowState(), before);
        const std::vector<float> gpu = read(simulation), cpu = modelState();
        EXPECT_EQ(RenderContext::current(), RenderContext::window());
        EXPECT_EQ(integer(GL_CURRENT_PROGRAM), 0);
        Cell largest{}, worst{};
        for (size_t k = 0; k < kStateSize; ++k) {
            largest[k % 4] = std::max(largest[k % 4], std::fabs(cpu[k]));
            worst[k % 4] = std::max(worst[k % 4], std::fabs(gpu[k] - cpu[k]));
        }
        for (int ch = 0; ch < 4; ++ch) {
            EXPECT_LE(worst[ch], onCpu() ? 0.0f : std::max(1e-3f, c.tolerance * largest[ch]))
                << "channel " << ch;
        }
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glBindTexture(GL_TEXTURE_RECTANGLE, 0);
}

std::vector<uint8_t> picture(FluidSimulation& simulation) {
    std::vector<uint8_t> texels(kSide * kSide * 4);
    simulation.bindResult();
    glGetTexImage(GL_TEXTURE_RECTANGLE, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    simulation.releaseResult();
    return texels;
}

TEST_P(FluidGl, Picture_ConstantWithoutSourcesAndBrightWhereTheDensityIs) {
    FluidSimulation simulation(kN, kN, GetParam());
    simulation.step(0.0);
    const std::vector<uint8_t> first = picture(simulation);
    for (int s = 0; s < 4; ++s) {
        simulation.step(0.0);
    }
    EXPECT_EQ(read(simulation), std::vector<float>(kStateSize, 0.0f));
    EXPECT_EQ(picture(simulation), first);
    addSources(simulation, {{30, 30, 4, 4, Cell{1.0f, 0.5f, 0.5f, 0.0f}}});
    simulation.step(0.0);
    EXPECT_GT(picture(simulation)[(31 * kSide + 31) * 4], 100);
    EXPECT_EQ(picture(simulation)[(60 * kSide + 60) * 4], first[(60 * kSide + 60) * 4]);
}

// A step of random velocities over every cell: the projection takes most of
// their divergence away, and the boundary cells mirror them across the walls.
TEST_P(FluidGl, RandomVelocities_LoseTheirDivergenceAndMirrorAtTheWalls) {
    FluidSimulation simulation(kN, kN, GetParam());
    // |v| <= 0.1 over every interior cell.
    std::vector<Source> sources;
    std::vector<float> velocities(kStateSize);
    std::srand(7);
    for (int k = 0; k < kN * kN; ++k) {
        const Cell c{0.0f, 0.45f + 0.1f * std::rand() / RAND_MAX, 0.45f + 0.1f * std::rand() / RAND_MAX,
                     0.0f};
        sources.push_back({k % kN + 1, k / kN + 1, 1, 1, c});
        velocities[k * 4 + 1] = c[1] * 2 - 1;
        velocities[k * 4 + 2] = c[2] * 2 - 1;
    }
    addSources(simulation, sources);
    const double before = divergence(velocities);
    simulation.step(0.0);
    const double factor = divergence(read(simulation)) / before;
    EXPECT_LT(factor, 0.5);
    if (!onCpu()) {
        model.step();
        const double solverFactor = divergence(modelState()) / before;
        EXPECT_NEAR(factor, solverFactor, 0.05 * solverFactor);
    }
    const std::vector<float> fields = read(simulation, 1);
    const auto at = [&](int i, int j, int ch) {
        return fields[(j * kSide + i) * 4 + ch];
    };
    for (int j = 0; j < kSide; ++j) {
        for (int i = 0; i < kSide; ++i) {
            const int ii = std::clamp(i, 1, kN), jj = std::clamp(j, 1, kN);
            const bool wallX = ii != i, wallY = jj != j;
            if (wallX && wallY) {
                ASSERT_TRUE(at(i, j, 1) == 0.0f && at(i, j, 2) == 0.0f) << "corner " << i << ", " << j;
            } else if (wallX || wallY) {
                ASSERT_EQ(at(i, j, 0), at(ii, jj, 0)) << i << ", " << j;
                ASSERT_EQ(at(i, j, 1), wallX ? -at(ii, jj, 1) : at(ii, jj, 1)) << i << ", " << j;
                ASSERT_EQ(at(i, j, 2), wallY ? -at(ii, jj, 2) : at(ii, jj, 2)) << i << ", " << j;
            }
        }
    }
}

// SPORRIK_FLUID=gpu or cpu chooses the path; otherwise a software renderer
// gets the processor.
TEST(FluidPath, ChosenByTheEnvironmentElseByTheRenderer) {
    setAssetDirectory(assetDir());
    const bool software = isSoftwareRenderer();
    const std::pair<const char*, bool> cases[] = {
        {nullptr, software}, {"gpu", false}, {"cpu", true}, {"other", software}};
    for (const auto& [variable, cpu] : cases) {
        SCOPED_TRACE(variable != nullptr ? variable : "unset");
        if (variable != nullptr) {
            setenv("SPORRIK_FLUID", variable, 1);
        }
        LogCapture logs;
        testing::internal::CaptureStderr();
        FluidSimulation simulation(kN, kN);
        testing::internal::GetCapturedStderr();
        unsetenv("SPORRIK_FLUID");
        EXPECT_TRUE(simulation.isAvailable());
        EXPECT_EQ(simulation.runsOnCpu(), cpu);
    }
}

// The fields start with the boundary ring marked in their fourth channel, on
// both paths alike.
TEST_P(FluidGl, Construction_MarksTheRing) {
    testing::internal::CaptureStderr();
    FluidSimulation simulation(kN, kN, GetParam());
    testing::internal::GetCapturedStderr();
    const std::vector<float> fields = read(simulation, 0);
    for (int k = 0; k < kSide * kSide; ++k) {
        const int i = k % kSide, j = k / kSide;
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
    simulation.bindResult();
    EXPECT_EQ(integer(GL_TEXTURE_BINDING_RECTANGLE), 0);
    simulation.releaseResult();
    EXPECT_EQ(RenderContext::current(), RenderContext::window());
    EXPECT_EQ(std::count_if(logs.lines().begin(), logs.lines().end(),
                            [](const std::string& line) { return line.rfind("ERROR", 0) == 0; }),
              1);
}

TEST_P(FluidGl, GridTooLargeForABuffer_OneErrorAndUnavailable) {
    testing::internal::CaptureStderr();
    FluidSimulation simulation(integer(GL_MAX_RECTANGLE_TEXTURE_SIZE), 4, GetParam());
    testing::internal::GetCapturedStderr();
    expectUnavailable(simulation, logs);
}

// The programs are read below the path argument, and only there. A broken
// one ends the build there, before any buffer is made; the error names it,
// the compiler's listing what is wrong.
TEST(BrokenProgram, EndsTheBuildThereInOneError) {
    TempDir dir;
    std::filesystem::copy(assetDir() + "/cg", dir.file("cg"));
    setAssetDirectory(dir.path());
    std::ofstream(dir.file("cg/bounds.cg"))
        << "#version 140\nout vec4 result;\nvoid main() { result = nothing; }\n";
    LogCapture logs;
    testing::internal::CaptureStderr();
    FluidSimulation simulation(kN, kN, Path::Gpu);
    EXPECT_EQ(testing::internal::GetCapturedStderr().find("pbuffer"), std::string::npos);
    EXPECT_TRUE(logs.has("nothing"));
    EXPECT_FALSE(logs.has("cg/div.cg"));
    ASSERT_FALSE(logs.lines().empty());
    EXPECT_NE(logs.lines().back().find("cg/bounds.cg"), std::string::npos);
    expectUnavailable(simulation, logs);
}

// The processor's path takes added sources without drawing them: the fluid
// must come out as if each had been drawn, in the order given. A quad is
// {x, y, width, height} in buffer coordinates and its colour, added through
// addSource or else drawn.
TEST(FluidSourcesGl, AddedSources_ReachTheFluidAsDrawnOnes) {
    struct Quad {
        std::array<float, 4> rect, colour;
        bool added;
    };
    const Quad cells = {{11 / 66.0f, 4 / 66.0f, 2 / 66.0f, 2 / 66.0f}, {1.0f, 0.9f, 0.2f, 0.0f}, true};
    const Quad between = {{0.1234f, 0.377f, 0.0521f, 0.0333f}, {100.0f, 0.1f, 0.7f, 0.4f}, true};
    const Quad drawn = {{0.1434f, 0.377f, 0.0521f, 0.0333f}, {0.0f, 0.5f, 0.5f, 1.0f}, false};
    LogCapture logs;
    for (const auto& quads : std::vector<std::vector<Quad>>{{between, drawn}, {cells, drawn, between}}) {
        std::vector<float> states[2];
        for (const bool drawAll : {false, true}) {
            FluidSimulation fluid(kN, kN, Path::Cpu);
            for (const auto& [r, colour, added] : quads) {
                if (added && !drawAll) {
                    fluid.addSource(r[0], r[1], r[2], r[3], colour);
                    continue;
                }
                fluid.beginSources();
                glColor4fv(colour.data());
                glRectf(r[0], r[1], r[0] + r[2], r[1] + r[3]);
                fluid.endSources();
            }
            fluid.step(0.0);
            states[drawAll] = read(fluid);
        }
        EXPECT_EQ(states[0], states[1]) << quads.size();
    }
}

// A 16 x 8 buffer of half floats built and initialised with its standard-error
// output swallowed.
std::unique_ptr<PBuffer> makeBuffer(bool shared) {
    testing::internal::CaptureStderr();
    auto buffer = std::make_unique<PBuffer>("float=16 alpha textureRECT");
    const bool ok = buffer->initialize(16, 8, shared, false);
    testing::internal::GetCapturedStderr();
    return ok ? std::move(buffer) : nullptr;
}

// The tests change the window context's state on purpose; it is put back
// for the tests that run after them in the same process.
class PBufferGl : public ::testing::Test {
protected:
    void SetUp() override {
        glPushAttrib(GL_ALL_ATTRIB_BITS);
        for (const GLenum matrix : {GL_PROJECTION, GL_MODELVIEW}) {
            glMatrixMode(matrix);
            glPushMatrix();
        }
    }
    void TearDown() override {
        PBuffer::makeWindowCurrent();
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        for (const GLenum matrix : {GL_PROJECTION, GL_MODELVIEW}) {
            glMatrixMode(matrix);
            glPopMatrix();
        }
        glPopAttrib();
    }
};

// An own context starts fresh and keeps its state, a buffer made while it is
// current borrows it, and the window gets all of its own state back.
// A size the driver cannot make is refused as invalid before it is tried.
TEST_F(PBufferGl, Initialize_SizeBeyondTheLimitIsInvalidData) {
    const GLint limit = integer(GL_MAX_RECTANGLE_TEXTURE_SIZE);
    for (const auto& [width, height] : {std::pair{limit + 1, 8}, {8, limit + 1}, {8, 0}}) {
        PBuffer failing("rgb textureRECT");
        testing::internal::CaptureStderr();
        EXPECT_FALSE(failing.initialize(width, height, false, false)) << width << " x " << height;
        EXPECT_NE(testing::internal::GetCapturedStderr().find("ERROR_INVALID_DATA"), std::string::npos);
    }
}

TEST_F(PBufferGl, OwnBorrowedAndWindowContexts_KeepTheirState) {
    auto buffer = makeBuffer(false);
    ASSERT_NE(buffer, nullptr);
    glViewport(10, 20, 300, 200);
    glMatrixMode(GL_PROJECTION);
    glFrustum(-1, 1, -1, 1, 1, 10);
    glMatrixMode(GL_MODELVIEW);
    glRotatef(30, 0, 0, 1);
    glEnable(GL_BLEND);
    glClearColor(0.25f, 0.5f, 0.75f, 1.0f);
    glColor4f(0.1f, 0.2f, 0.3f, 0.4f);
    glActiveTexture(GL_TEXTURE1);
    const auto state = [] {
        return std::make_tuple(
            floats<4>(GL_VIEWPORT), floats<16>(GL_PROJECTION_MATRIX), floats<16>(GL_MODELVIEW_MATRIX),
            integer(GL_MATRIX_MODE), glIsEnabled(GL_BLEND), glIsEnabled(GL_CULL_FACE),
            floats<4>(GL_COLOR_CLEAR_VALUE), floats<4>(GL_CURRENT_COLOR), integer(GL_ACTIVE_TEXTURE));
    };
    const auto window = state();

    buffer->makeCurrent();
    EXPECT_EQ(floats<4>(GL_VIEWPORT), (std::array<GLfloat, 4>{0, 0, 16, 8}));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_EQ(floats<4>(GL_COLOR_CLEAR_VALUE), (std::array<GLfloat, 4>{0, 0, 0, 0}));
    glViewport(1, 2, 3, 4);
    glMatrixMode(GL_PROJECTION);
    glOrtho(0, 1, 0, 1, 1, 50);
    glEnable(GL_CULL_FACE);
    glClearColor(0.1f, 0.2f, 0.3f, 0.4f);
    glColor4f(2, 1, 1, 0);
    glActiveTexture(GL_TEXTURE0);
    const auto own = state();
    auto borrower = makeBuffer(true);
    ASSERT_NE(borrower, nullptr);

    PBuffer::makeWindowCurrent();
    EXPECT_EQ(RenderContext::current(), RenderContext::window());
    EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), 0);
    EXPECT_EQ(state(), window);
    borrower->makeCurrent();
    EXPECT_EQ(state(), own);
    EXPECT_NE(integer(GL_FRAMEBUFFER_BINDING), 0);
    // Destroying the buffer drawn into returns to the window.
    for (auto* drawnInto : {&borrower, &buffer}) {
        (*drawnInto)->makeCurrent();
        drawnInto->reset();
        EXPECT_EQ(RenderContext::current(), RenderContext::window());
        EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), 0);
        EXPECT_EQ(state(), window);
    }
}

} // namespace
