// framebench: the game's own start and frame loop in a window (1024 x 768
// unless size= says otherwise). After the first frame it times an empty frame
// (clear and swap), then for each quality the demonstration and the fluid
// demo stirred with the three mouse buttons through the game's input queue.
// "auto" is the quality a player gets on this renderer. The last line is JSON.
//
//   framebench [size=<w>x<h>] [frames=<n>] [warmup=<n>] [quality=full|fast|auto] [profile] [shots=<dir>]
//
// quality= limits the run to one setting; profile adds the time of each
// phase of a frame, measured with glFinish between the phases; shots= writes
// the last frame of each demonstration as <dir>/<quality>.png and the menus
// over it as <dir>/<quality>-menus.png; below the full scale also the same
// frame at the full scale as <dir>/<quality>-full-scale.png.
#include <GL/glew.h>

#include "base/phasetimer.h"
#include "base/tools.h"
#include "core/glutcallbacks.h"
#include "core/sporrik.h"
#include "core/sporrikmain.h"
#include "core/system.h"
#include "framestats.h"
#include "game/gameboard.h"
#include "input/inputevent.h"
#include "resources/softwarerenderer.h"
#include "scene/scalecontroller.h"
#include "scene/scenequality.h"
#include "scene/watertable.h"

#include <GL/freeglut.h>
#include <png.h>
#include <sys/resource.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kDefaultWidth = 1024;
constexpr int kDefaultHeight = 768;
constexpr double kResizeDeadlineMs = 5000.0;
constexpr int kDefaultFrames = 300;
constexpr int kDefaultWarmup = 30;
constexpr int kPhases = static_cast<int>(FramePhase::Count);
constexpr double kKilobytesPerMegabyte = 1024.0;
constexpr int kDemoLevel = 2;
// Stirring: the pointer circles the window's centre once per lap, and each
// button is held for a third of a lap in turn (left, middle, right).
constexpr int kLapFrames = 120;
constexpr int kButtonFrames = kLapFrames / 3;
constexpr double kStirRadius = 0.2;
constexpr double kTwoPi = 6.283185307179586;
const int kStirButtons[] = {KeyMouseLeft, KeyMouseMiddle, KeyMouseRight};

double nowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

// Processor time of every thread of the process (the renderer's included):
// other work on the machine stretches a frame's wall time far more than this.
double cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) {
        return t.tv_sec * 1000.0 + t.tv_usec / 1000.0;
    };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / kKilobytesPerMegabyte;
}

// The window's back buffer as an RGB PNG, top row first.
void writeShot(const std::string& path, int width, int height) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    // A negative stride: OpenGL's rows start at the bottom.
    const int stride = -width * 3;
    if (!png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), stride, nullptr)) {
        std::fprintf(stderr, "framebench: could not write %s\n", path.c_str());
    }
}

// Charges the time between marks to phases, waiting for the renderer at each.
class PhaseProfile {
public:
    void install() {
        PhaseTimer::setHook([this](FramePhase phase) {
            glFinish();
            const double now = nowMs();
            totals[static_cast<int>(phase)] += now - last;
            last = now;
        });
    }
    void startFrame() { last = nowMs(); }
    void clear() { totals.fill(0.0); }
    void print(const char* title, int frames) const {
        std::printf("  phases of %s (ms per frame):\n", title);
        for (int i = 0; i < kPhases; ++i) {
            std::printf("    %-18s %7.2f\n", PhaseTimer::name(static_cast<FramePhase>(i)),
                        totals[i] / frames);
        }
    }

private:
    std::array<double, kPhases> totals{};
    double last = 0.0;
};

struct Settings {
    int width = kDefaultWidth;
    int height = kDefaultHeight;
    int frames = kDefaultFrames;
    int warmup = kDefaultWarmup;
    bool profile = false;
    const char* only = nullptr;
    const char* shots = nullptr;
};

// One section of the results: its name, the quality it runs at, and whether
// the scale follows the frame time (else the full picture, as before scaling).
struct Run {
    const char* name;
    SceneQuality quality;
    bool automaticScale = false;
};

class FrameBench {
public:
    FrameBench(const Settings& settings, double startMs) : settings(settings), startMs(startMs) {}

    int run(System& system) {
        this->system = &system;
        Main::registerInstance(std::make_unique<SporrikMain>());
        application = static_cast<SporrikMain*>(Main::instance());
        drawFrame();
        firstFrameMs = nowMs() - startMs;
        renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
        std::printf("renderer %s, %d x %d, load average %s\n", renderer.c_str(), system.getWidth(),
                    system.getHeight(), loadAverage().c_str());
        std::printf("first frame %.1f ms after start\n", firstFrameMs);
        emptyFrameMs = FrameStats::of(timeEmptyFrames()).medianMs;
        std::printf("empty frame (clear and swap) median %.2f ms\n", emptyFrameMs);
        if (settings.profile) {
            profile.install();
        }
        std::string json = "{\"renderer\": \"" + renderer + "\", \"size\": \"" +
                           std::to_string(system.getWidth()) + "x" + std::to_string(system.getHeight()) +
                           "\", ";
        // Both demonstrations first, each on still water as after the game's
        // start; the stirring of a fluid demo leaves colour behind.
        std::vector<Run> runs;
        for (SceneQuality::Level level : {SceneQuality::Level::Full, SceneQuality::Level::Fast}) {
            const SceneQuality quality(level);
            runs.push_back({quality.name(), quality});
        }
        runs.push_back({"auto", SceneQuality::choose(nullptr, isSoftwareRenderer()), true});
        runs.erase(std::remove_if(runs.begin(), runs.end(),
                                  [this](const Run& run) {
                                      return settings.only != nullptr &&
                                             std::strcmp(settings.only, run.name) != 0;
                                  }),
                   runs.end());
        std::vector<std::string> demos;
        for (const Run& run : runs) {
            const FrameStats demo = runDemonstration(run);
            demos.push_back(withScale(demo.json()));
        }
        std::string results;
        for (size_t i = 0; i < runs.size(); ++i) {
            const FrameStats fluid = runFluidDemo(runs[i]);
            results += ", \"" + std::string(runs[i].name) + "\": {\"quality\": \"" + runs[i].quality.name() +
                       "\", \"demo\": " + demos[i] + ", \"fluid_demo\": " + withScale(fluid.json()) + "}";
        }
        char figures[160];
        std::snprintf(figures, sizeof figures,
                      "\"empty_frame_ms\": %.2f, \"first_frame_ms\": %.1f, \"peak_rss_mb\": %.1f",
                      emptyFrameMs, firstFrameMs, peakRssMb());
        std::printf("peak resident memory %.1f MB, load average %s\n", peakRssMb(), loadAverage().c_str());
        std::printf("%s%s%s}\n", json.c_str(), figures, results.c_str());
        std::fflush(stdout);
        return 0;
    }

private:
    // A run's figures with the scale it ended at.
    std::string withScale(std::string json) const {
        char scale[64];
        std::snprintf(scale, sizeof scale, ", \"scale\": %.2f, \"last_step_frame\": %d}", lastScale / 100.0,
                      lastStepFrame);
        json.pop_back();
        return json + scale;
    }

    // One frame through GLUT's own display callback, waited for.
    void drawFrame() {
        glutPostRedisplay();
        glutMainLoopEvent();
        glFinish();
    }

    std::vector<double> timeEmptyFrames() {
        std::vector<double> times;
        for (int i = 0; i < settings.warmup + settings.frames; ++i) {
            const double begin = nowMs();
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glutSwapBuffers();
            glFinish();
            if (i >= settings.warmup) {
                times.push_back(nowMs() - begin);
            }
        }
        return times;
    }

    void startRun(const Run& run) {
        Sporrik& package = *application->getPackage();
        package.getWaterTable().setQuality(run.quality);
        // Each run starts at the full picture, as the game does.
        package.setScale(OptionValues::Scale::Full);
        if (run.automaticScale) {
            package.setScale(OptionValues::Scale::Automatic);
        }
        std::printf("quality %s (%s)\n", run.name, run.quality.name());
    }

    FrameStats runDemonstration(const Run& run) {
        startRun(run);
        startDemonstration();
        const FrameStats demo = timeFrames("demo", run.name, false);
        if (settings.shots != nullptr) {
            // One more frame of the game, read before it is shown.
            application->render(0.0);
            writeShot(std::string(settings.shots) + "/" + run.name + ".png", system->getWidth(),
                      system->getHeight());
            WaterTable& table = application->getPackage()->getWaterTable();
            if (table.getScalePercent() != ScaleController::kFull) {
                // The same frame at the full scale (no time passes).
                const int settled = table.getScalePercent();
                table.fixScale(ScaleController::kFull);
                application->render(0.0);
                writeShot(std::string(settings.shots) + "/" + run.name + "-full-scale.png",
                          system->getWidth(), system->getHeight());
                table.fixScale(settled);
                table.followFrameTime();
            }
        }
        application->returnToMenus();
        if (settings.shots != nullptr) {
            // The menus over the scene at the scale the run ended at.
            application->render(0.0);
            writeShot(std::string(settings.shots) + "/" + run.name + "-menus.png", system->getWidth(),
                      system->getHeight());
        }
        return demo;
    }

    FrameStats runFluidDemo(const Run& run) {
        startRun(run);
        // A new demonstration underneath, as the demonstration's run started:
        // the same figures and splashes, so that the two differ by the stirring.
        startDemonstration();
        const FrameStats fluid = timeFrames("fluid_demo", run.name, true);
        application->returnToMenus();
        return fluid;
    }

    // What the main menu's "Demo" button does: two hard computers play.
    void startDemonstration() {
        GameBoard& board = application->getPackage()->getBoard();
        board.setHuman(1, false);
        board.setHuman(2, false);
        board.setDifficulty(kDemoLevel);
        board.newGame();
        application->leaveMenus();
    }

    void stir(int frame) {
        const double angle = kTwoPi * frame / kLapFrames;
        const int x = static_cast<int>(system->getWidth() * (0.5 + kStirRadius * std::cos(angle)));
        const int y = static_cast<int>(system->getHeight() * (0.5 + kStirRadius * std::sin(angle)));
        system->motion(x, y);
        const int slot = frame % kLapFrames / kButtonFrames;
        const int held = frame % kButtonFrames;
        if (held == 0) {
            system->keyDown(kStirButtons[slot]);
        } else if (held == kButtonFrames - 1) {
            system->keyUp(kStirButtons[slot]);
        }
    }

    FrameStats timeFrames(const char* mode, const char* runName, bool stirring) {
        std::vector<double> times;
        profile.clear();
        double cpuStartMs = 0.0;
        const WaterTable& table = application->getPackage()->getWaterTable();
        lastStepFrame = -1;
        for (int i = 0; i < settings.warmup + settings.frames; ++i) {
            if (stirring) {
                stir(i);
            }
            if (i == settings.warmup) {
                cpuStartMs = cpuMs();
            }
            const double begin = nowMs();
            profile.startFrame();
            const int scaleBefore = table.getScalePercent();
            drawFrame();
            PhaseTimer::mark(FramePhase::MenusAndDisplay);
            if (table.getScalePercent() != scaleBefore) {
                lastStepFrame = i;
            }
            if (i >= settings.warmup) {
                times.push_back(nowMs() - begin);
            } else if (i == settings.warmup - 1) {
                profile.clear();
            }
        }
        const double cpuPerFrameMs = (cpuMs() - cpuStartMs) / settings.frames;
        const FrameStats stats = FrameStats::of(times);
        std::printf(
            "  %-10s median %6.2f ms  p90 %6.2f ms  p99 %6.2f ms  %6.1f fps  %.1fx empty  cpu %6.2f ms  "
            "(load %s)\n",
            mode, stats.medianMs, stats.p90Ms, stats.p99Ms, stats.fps,
            emptyFrameMs > 0.0 ? stats.medianMs / emptyFrameMs : 0.0, cpuPerFrameMs, loadAverage().c_str());
        lastScale = table.getScalePercent();
        if (table.followsFrameTime()) {
            std::printf("  %-10s scale settled on %d %%, last step in frame %d (warm-up %d)\n", "", lastScale,
                        lastStepFrame, settings.warmup);
        }
        if (settings.profile) {
            profile.print((std::string(runName) + " " + mode).c_str(), settings.frames);
        }
        return stats;
    }

    Settings settings;
    double startMs;
    System* system = nullptr;           // not owned: the process's system
    SporrikMain* application = nullptr; // not owned: the registered application
    PhaseProfile profile;
    std::string renderer;
    double firstFrameMs = 0.0;
    double emptyFrameMs = 0.0;
    // Of the last timed run: the scale it ended at, and the frame (warm-up
    // included) in which it last changed, -1 for none.
    int lastScale = ScaleController::kFull;
    int lastStepFrame = -1;
};

int positiveOr(const char* text, int fallback) {
    const int value = text != nullptr ? std::atoi(text) : 0;
    return value > 0 ? value : fallback;
}

// "<w>x<h>" with both positive; false (and nothing set) for anything else.
bool parseSize(const char* text, int& width, int& height) {
    int w = 0, h = 0;
    char end = 0;
    if (text == nullptr || std::sscanf(text, "%dx%d%c", &w, &h, &end) != 2 || w <= 0 || h <= 0) {
        return false;
    }
    width = w;
    height = h;
    return true;
}

// The window at the top left corner of the screen at the size asked for,
// once the window system has reported it.
bool resizeWindow(System& system, int width, int height) {
    // No game to draw yet: the window's redraws meanwhile show nothing.
    glutDisplayFunc([] {});
    glutPositionWindow(0, 0);
    glutReshapeWindow(width, height);
    const double deadline = nowMs() + kResizeDeadlineMs;
    while (system.getWidth() != width || system.getHeight() != height) {
        if (nowMs() > deadline) {
            return false;
        }
        glutMainLoopEvent();
    }
    GlutCallbacks::registerAll();
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const double startMs = nowMs();
    // Lines as they come, also into a file: a long run shows its progress.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // The game's own command line: a window, and the quality the scene starts with.
    std::vector<std::string> arguments(argv, argv + argc);
    arguments.push_back("window");
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments) {
        pointers.push_back(argument.c_str());
    }
    System* system = System::instance();
    system->setArguments(static_cast<int>(pointers.size()), pointers.data());
    if (system->getArgument("path") == nullptr) {
        setAssetDirectory(SPORRIK_ASSET_DIR);
    }
    Settings settings;
    const char* size = system->getArgument("size");
    if (size != nullptr && !parseSize(size, settings.width, settings.height)) {
        std::fprintf(stderr, "framebench: size=%s is not <width>x<height>\n", size);
        return 1;
    }
    settings.frames = positiveOr(system->getArgument("frames"), kDefaultFrames);
    settings.warmup = positiveOr(system->getArgument("warmup"), kDefaultWarmup);
    settings.profile = system->getArgument("profile") != nullptr;
    settings.only = system->getArgument("quality");
    settings.shots = system->getArgument("shots");
    if (!system->init()) {
        return 1;
    }
    if (!resizeWindow(*system, settings.width, settings.height)) {
        std::fprintf(stderr, "framebench: the window did not become %d x %d (is the screen large enough?)\n",
                     settings.width, settings.height);
        return 1;
    }
    FrameBench bench(settings, startMs);
    bench.run(*system);
    // The game's own ending: the package, the sounds and the window go.
    system->quit();
}
