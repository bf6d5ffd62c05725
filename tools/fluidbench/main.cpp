// Prints the median time of one 64 x 64 fluid step and of one readState on
// each path (fragment programs on the card, the same passes on the
// processor), and for comparison the floor of the card's path on this
// renderer: the same number of dependent framebuffer passes with a one-fetch
// copy shader, plus the read.
//
//     fluidbench [path=<asset directory>] [steps=<count>]

#include <GL/glew.h>
#include <GL/freeglut.h>

#include "core/system.h"
#include "fluid/fluidsimulation.h"
#include "fluid/fluidsolver.h"
#include "fluid/glname.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kGrid = 64;
constexpr int kDefaultSteps = 400;
constexpr int kWarmUpSteps = 20;
constexpr float kStirRadius = 20.0f;
constexpr float kStirSpeed = 0.05f;

double now() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double percentile(std::vector<double> values, double fraction) {
    std::sort(values.begin(), values.end());
    return values[static_cast<size_t>(fraction * (values.size() - 1))];
}

// A 2 x 2 cell source moving in a circle, pushing along its path, as the
// mouse stirs the water.
void stir(FluidSimulation& simulation, int frame) {
    const float cw = 1.0f / (kGrid + 2);
    const float ch = 1.0f / (kGrid + 2);
    const float angle = frame * kStirSpeed;
    const int cx = static_cast<int>(kGrid / 2 + kStirRadius * std::cos(angle));
    const int cy = static_cast<int>(kGrid / 2 + kStirRadius * std::sin(angle));
    simulation.beginSources();
    glColor4f(1.0f, (1.0f - std::sin(angle)) / 2.0f, (1.0f + std::cos(angle)) / 2.0f, 0.0f);
    glBegin(GL_QUADS);
    glVertex2f(cx * cw + cw, cy * ch + ch);
    glVertex2f(cx * cw + 3 * cw, cy * ch + ch);
    glVertex2f(cx * cw + 3 * cw, cy * ch + 3 * ch);
    glVertex2f(cx * cw + cw, cy * ch + 3 * ch);
    glEnd();
    simulation.endSources();
}

constexpr int kPassesPerStep = 56;
constexpr double kTenth = 0.1;
constexpr double kNinetieth = 0.9;
constexpr int kFieldBuffers = 5;

const char* const kCopyVertex = R"(#version 140
#extension GL_ARB_compatibility : require
out vec2 texel;
void main() {
    gl_Position = gl_ModelViewProjectionMatrix * gl_Vertex;
    texel = gl_MultiTexCoord0.xy;
})";

const char* const kCopyFragment = R"(#version 140
uniform sampler2DRect unit0;
in vec2 texel;
out vec4 result;
void main() {
    result = texture(unit0, texel);
})";

GlShader compileShader(GLenum kind, const char* source) {
    GlShader shader(glCreateShader(kind));
    glShaderSource(shader.get(), 1, &source, nullptr);
    glCompileShader(shader.get());
    return shader;
}

// 56 passes, each reading the buffer the pass before wrote, and the read of
// the interior: what any solver of this shape pays on this renderer.
class PlainLoop {
public:
    PlainLoop() {
        for (int i = 0; i < kFieldBuffers; ++i) {
            textures[i] = GlTexture::generate();
            glBindTexture(GL_TEXTURE_RECTANGLE, textures[i].get());
            glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_RECTANGLE, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glTexImage2D(GL_TEXTURE_RECTANGLE, 0, GL_RGBA16F, kSize, kSize, 0, GL_RGBA, GL_FLOAT, nullptr);
            framebuffers[i] = GlFramebuffer::generate();
            glBindFramebuffer(GL_FRAMEBUFFER, framebuffers[i].get());
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_RECTANGLE,
                                   textures[i].get(), 0);
        }
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glBindTexture(GL_TEXTURE_RECTANGLE, 0);
        const GlShader vertex = compileShader(GL_VERTEX_SHADER, kCopyVertex);
        const GlShader fragment = compileShader(GL_FRAGMENT_SHADER, kCopyFragment);
        program = GlProgram(glCreateProgram());
        glAttachShader(program.get(), vertex.get());
        glAttachShader(program.get(), fragment.get());
        glLinkProgram(program.get());
    }

    // Milliseconds of one round.
    double run() {
        glViewport(0, 0, kSize, kSize);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glUseProgram(program.get());
        const double start = now();
        for (int pass = 0; pass < kPassesPerStep; ++pass) {
            glBindFramebuffer(GL_FRAMEBUFFER, framebuffers[pass % kFieldBuffers].get());
            glBindTexture(GL_TEXTURE_RECTANGLE, textures[(pass + kFieldBuffers - 1) % kFieldBuffers].get());
            glBegin(GL_QUADS);
            glTexCoord2f(0, 0);
            glVertex2f(0, 0);
            glTexCoord2f(0, kSize);
            glVertex2f(0, 1);
            glTexCoord2f(kSize, kSize);
            glVertex2f(1, 1);
            glTexCoord2f(kSize, 0);
            glVertex2f(1, 0);
            glEnd();
        }
        glReadPixels(1, 1, kGrid, kGrid, GL_RGBA, GL_FLOAT, state.data());
        const double elapsed = now() - start;
        glUseProgram(0);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glBindTexture(GL_TEXTURE_RECTANGLE, 0);
        return elapsed;
    }

private:
    static constexpr int kSize = kGrid + 2;
    GlTexture textures[kFieldBuffers];
    GlFramebuffer framebuffers[kFieldBuffers];
    GlProgram program;
    std::vector<float> state = std::vector<float>(kGrid * kGrid * 4);
};

} // namespace

int main(int argc, char** argv) {
    System* system = System::instance();
    // The first path= wins: one on the command line comes before the build's.
    std::vector<std::string> arguments(argv, argv + argc);
    arguments.push_back(std::string("path=") + SPORRIK_ASSET_DIR);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    system->setArguments(static_cast<int>(pointers.size()), pointers.data());
    const char* stepsArgument = system->getArgument("steps");
    const int steps =
        stepsArgument != nullptr && *stepsArgument != '\0' ? std::atoi(stepsArgument) : kDefaultSteps;

    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(640, 480);
    glutCreateWindow("fluidbench");
    if (glewInit() != GLEW_OK) {
        std::fputs("fluidbench: glewInit failed\n", stderr);
        return 1;
    }
    std::printf("renderer: %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)));

    PlainLoop plainLoop;
    std::vector<float> state(kGrid * kGrid * 4);
    std::printf("%d steps of a %d x %d grid (%d passes each)\n", steps, kGrid, kGrid, kPassesPerStep);
    for (const FluidSimulation::Path path : {FluidSimulation::Path::Gpu, FluidSimulation::Path::Cpu}) {
        const char* name = path == FluidSimulation::Path::Gpu ? "card" : "processor";
        FluidSimulation simulation(kGrid, kGrid, path);
        if (!simulation.isAvailable()) {
            std::printf("%s path: not available here\n", name);
            continue;
        }
        std::vector<double> floorTimes;
        std::vector<double> stepTimes;
        std::vector<double> readTimes;
        std::vector<double> totals;
        for (int frame = 0; frame < steps + kWarmUpSteps; ++frame) {
            stir(simulation, frame);
            const double start = now();
            simulation.step(0.0);
            const double stepped = now();
            simulation.readState(state.data());
            const double read = now();
            // Taken in turn with the solver, so that both meet the same load.
            const double floorTime = path == FluidSimulation::Path::Gpu ? plainLoop.run() : 0.0;
            if (frame >= kWarmUpSteps) {
                floorTimes.push_back(floorTime);
                stepTimes.push_back(stepped - start);
                readTimes.push_back(read - stepped);
                totals.push_back(read - start);
            }
        }
        std::printf("%s path:\n", name);
        std::printf("  step:             median %.3f ms\n", median(stepTimes));
        std::printf("  readState:        median %.3f ms\n", median(readTimes));
        std::printf("  step + readState: median %.3f ms (10th %.3f, 90th %.3f)\n", median(totals),
                    percentile(totals, kTenth), percentile(totals, kNinetieth));
        if (path == FluidSimulation::Path::Gpu) {
            std::printf("  floor, %d copy passes + read: median %.3f ms\n", kPassesPerStep,
                        median(floorTimes));
        }
    }
    // The processor's arithmetic alone, without the sources' read-back and
    // the picture's upload.
    FluidSolver solver(kGrid, kGrid);
    const float source[4] = {1.0f, 1.0f, 0.0f, 0.0f};
    std::vector<double> solverTimes;
    for (int frame = 0; frame < steps + kWarmUpSteps; ++frame) {
        solver.addSource(kGrid / 2, kGrid / 2, 2, 2, source);
        const double start = now();
        solver.step();
        if (frame >= kWarmUpSteps) {
            solverTimes.push_back(now() - start);
        }
    }
    std::printf("  of which the arithmetic: median %.3f ms (10th %.3f)\n", median(solverTimes),
                percentile(solverTimes, kTenth));
    return 0;
}
