#pragma once

#include "fluid/fluidsolver.h"
#include "fluid/fragmentprogram.h"
#include "fluid/glname.h"

#include <array>
#include <initializer_list>
#include <memory>
#include <vector>

class PBuffer;

// A two-dimensional fluid (density and velocity) of width x height cells run
// with the stable-fluids method, one fixed step per call, as a sequence of
// passes over grids: fragment programs over offscreen buffers on a graphics
// card, or the same passes in FluidSolver on the processor where the
// renderer is itself software (each dependent pass there costs a
// synchronisation worth more than the arithmetic) or the card lacks
// fragment programs or float buffers. Either way the sources are drawn as
// quads and the result is a rectangle texture.
//
// Fields, four 16-bit float channels per cell: red the density, green and
// blue the velocity (signed, in grid lengths per unit of time), alpha a second
// dye that the sources can add. Every grid has a ring of boundary cells.
//
// When anything it needs is missing (the profile, a program file, a buffer)
// it logs one ERROR, keeps nothing and every operation does nothing; ask
// isAvailable() before drawing with it.
class FluidSimulation {
public:
    // Where the passes run. Automatic asks the environment variable
    // SPORRIK_FLUID ("cpu" or "gpu") and else the renderer.
    enum class Path { Automatic, Gpu, Cpu };

    // Builds buffers and programs; the window's OpenGL context must exist.
    // Program files "cg/..." are found below the asset directory (path=).
    FluidSimulation(int width, int height, Path path = Path::Automatic);
    ~FluidSimulation();
    FluidSimulation(const FluidSimulation&) = delete;
    FluidSimulation& operator=(const FluidSimulation&) = delete;

    bool isAvailable() const { return available; }
    bool runsOnCpu() const { return solver != nullptr; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }

    // Between these two, quads drawn in buffer coordinates (the unit square;
    // a cell is 1 / (width + 2) by 1 / (height + 2)) add their colour to the
    // fields at the next step: red density, green and blue a velocity v
    // written as (v + 1) / 2, alpha dye, each clamped to 0...1. Sources
    // accumulate until step().
    void beginSources();
    void endSources();
    // One such quad, x and y its lower left corner. On the processor's path
    // its cells (those whose centres it covers, as a quad drawn there would)
    // go to the solver directly: reading the source buffer back would wait
    // for everything drawn before it in the frame.
    void addSource(float x, float y, float quadWidth, float quadHeight, const std::array<float, 4>& colour);
    // Advances by the fixed step; frameTime is not used.
    void step(double frameTime);
    // Binds the picture of the fields to GL_TEXTURE_RECTANGLE on the active
    // unit of the window; texel coordinates 1...width + 1 and
    // 1...height + 1 cover the interior.
    void bindResult();
    void releaseResult();
    // True when the result is known to be black everywhere; a card's result
    // is never read back to find out.
    bool isResultBlack() const;
    // Copies the interior fields into out (width * height * 4 floats, rows
    // from the bottom, RGBA per cell).
    void readState(float* out);
    // Diagnostics: the whole of buffer index 0...4 including its ring,
    // (width + 2) * (height + 2) * 4 floats.
    void readBuffer(int index, float* out);

    // The quad of one pass: texel coordinates into the source and vertices in
    // buffer coordinates, corners in drawing order.
    struct PassQuad {
        float texel[4][2];
        float vertex[4][2];
    };
    // The target is targetWidth x targetHeight, the source sourceWidth x
    // sourceHeight texels; inset 1 covers the interior only, 0 the whole
    // target. gridWidth and gridHeight are the interior cell counts.
    static PassQuad passQuad(int targetWidth, int targetHeight, int sourceWidth, int sourceHeight, int inset,
                             int gridWidth, int gridHeight);

private:
    using Program = FluidSolver::Program;
    static constexpr int kBufferCount = 6;
    static constexpr int kSources = FluidSolver::kSources;
    static constexpr int kDisplay = FluidSolver::kDisplay;
    static constexpr int kNoSecond = FluidSolver::kNoSecond;

    // The grid size and time step of an advection program.
    struct AdvectParameters {
        ProgramParameter w;
        ProgramParameter h;
        ProgramParameter dt;
        void fetch(FragmentProgram& program);
        void set(const FluidSolver::Parameters& p);
    };

    static Path choosePath(Path requested);
    bool buildGpu();
    bool buildCpu();
    void stepCpu();
    void takeSources();
    void uploadPicture();
    bool loadPrograms();
    std::unique_ptr<FragmentProgram> loadProgram(const char* fileName);
    bool createBuffers();
    bool createBuffer(int index, const char* mode, bool sharedContext);
    bool reportBufferFailure();
    // A buffer with a context of its own, cleared and set up for passes.
    bool createPassContext(int index, const char* mode, float clearAlpha,
                           std::initializer_list<Program> toLoad);
    void setPassState();
    void markBoundary();
    void teardown();
    void setParameters();
    void runPass(const FluidSolver::Pass& pass);
    void read(int index, int x, int y, int w, int h, float* out);

    int width;
    int height;
    float diffusion = 0.0f;
    bool available = false;
    std::unique_ptr<FragmentProgramContext> programContext;
    std::array<std::unique_ptr<FragmentProgram>, FluidSolver::ProgramCount> programs;
    std::array<std::unique_ptr<PBuffer>, kBufferCount> buffers;
    std::array<GlTexture, kBufferCount> textures;
    // The processor's path uploads each picture into this one and then swaps
    // it with textures[kDisplay].
    GlTexture spareDisplay;

    ProgramParameter diffuseA;
    ProgramParameter diffuseC;
    ProgramParameter pressureA;
    ProgramParameter pressureC;
    ProgramParameter divH;
    ProgramParameter undivH;
    AdvectParameters advectVelocity;
    AdvectParameters advectDensity;

    // The processor's path: the solver, and the sources as read back from
    // their buffer (kSources) once a step, when any were drawn.
    std::unique_ptr<FluidSolver> solver;
    std::vector<float> sourceColours;
    std::vector<uint8_t> sourceBytes;
    bool floatSources = true;
    bool sourcesDrawn = false;
    // Sources added since the last quads were drawn, in cells: given to the
    // solver after what the buffer holds, in the order they came.
    struct CellSource {
        int x, y, width, height;
        std::array<float, 4> colour;
    };
    std::vector<CellSource> pendingSources;
};
