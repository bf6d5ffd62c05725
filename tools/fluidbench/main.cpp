// Prints the median time of one 64 x 64 fluid step and of one readState.
//
//     fluidbench [path=<asset directory>] [steps=<count>]

#include <GL/glew.h>
#include <GL/freeglut.h>

#include "core/system.h"
#include "fluid/fluidsimulation.h"

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
    glColor4f(100.0f, (1.0f - std::sin(angle)) / 2.0f, (1.0f + std::cos(angle)) / 2.0f, 0.0f);
    glBegin(GL_QUADS);
    glVertex2f(cx * cw + cw, cy * ch + ch);
    glVertex2f(cx * cw + 3 * cw, cy * ch + ch);
    glVertex2f(cx * cw + 3 * cw, cy * ch + 3 * ch);
    glVertex2f(cx * cw + cw, cy * ch + 3 * ch);
    glEnd();
    simulation.endSources();
}

} // namespace

int main(int argc, char** argv) {
    System* system = System::instance();
    std::vector<std::string> arguments{"fluidbench", std::string("path=") + SPORRIK_ASSET_DIR};
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(argv[i]);
    }
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    // A later path= on the command line wins over the built-in one.
    std::reverse(pointers.begin() + 1, pointers.end());
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

    FluidSimulation simulation(kGrid, kGrid);
    if (!simulation.isAvailable()) {
        std::fputs("fluidbench: the fluid simulation is not available\n", stderr);
        return 1;
    }
    std::vector<float> state(kGrid * kGrid * 4);
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
        if (frame >= kWarmUpSteps) {
            stepTimes.push_back(stepped - start);
            readTimes.push_back(read - stepped);
            totals.push_back(read - start);
        }
    }
    std::printf("%d steps of a %d x %d grid (56 passes each)\n", steps, kGrid, kGrid);
    std::printf("step:             median %.3f ms\n", median(stepTimes));
    std::printf("readState:        median %.3f ms\n", median(readTimes));
    std::printf("step + readState: median %.3f ms (10th %.3f, 90th %.3f)\n", median(totals),
                percentile(totals, 0.1), percentile(totals, 0.9));
    return 0;
}
