#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The stable-fluids step of FluidSimulation on the processor: the same passes
// in the same order over the same grids, with the arithmetic of the fragment
// programs, every stored value rounded to a 16-bit float as the card's
// buffers store it. Pure logic, no OpenGL.
//
// Grids 0 to 4 are the card's field buffers, each (width + 2) x (height + 2)
// cells of four channels with the boundary ring, rows from the bottom; grid 4
// holds the sources until the step consumes them.
class FluidSolver {
public:
    // The programs of the card's path, in the order it compiles them.
    enum Program {
        Bounds,
        LinsolveDUV,
        LinsolveU,
        Div,
        Undiv,
        AdvectUV,
        AdvectD,
        Clear,
        Colcopy,
        Signedcol,
        Texcopy,
        Sum,
        DebugDisplay,
        DebugWindow,
        ProgramCount
    };
    static constexpr int kFieldCount = 5;
    static constexpr int kSources = 4;
    static constexpr int kDisplay = 5;
    static constexpr int kNoSecond = -1;

    // One pass: program reads source (and second) and writes target, the
    // interior only for inset 1, the whole grid for inset 0.
    struct Pass {
        int target;
        Program program;
        int source;
        int second;
        int inset;
    };
    // Every pass of one step, in order; after them the sources are cleared.
    static const std::vector<Pass>& stepPasses();

    // The programs' named parameters, the same for every step.
    struct Parameters {
        float diffuseA;
        float diffuseC;
        float pressureA;
        float pressureC;
        float cellSpacing;
        float gridWidth;
        float gridHeight;
        float advectDt;
    };
    static Parameters parameters(int width, int height, float diffusion);

    // Four channels as one vector, so each cell is one instruction wide.
    using Vec = float __attribute__((vector_size(16)));
    struct Cell {
        Vec v;
    };

    // Rounds to the nearest 16-bit float (ties to even), back in a float;
    // beyond the largest half float the result is infinite. The first with
    // integer operations, the second (all of a pass) with the processor's
    // conversion where it has one.
    static float toHalf(float value);
    static void toHalf(Cell* cells, size_t count);

    FluidSolver(int width, int height);

    // Takes in the sources as drawn: (width + 2) * (height + 2) RGBA
    // colours, ring included. A colour is clamped to 0...1 first (a caller's
    // stronger colour would drive the fields to infinity), then green and
    // blue become velocities 2c - 1.
    void takeSources(const float* colours);
    // One source rectangle of cells [x, x + w) x [y, y + h), ring included
    // in the numbering, as a quad of that colour would draw it.
    void addSource(int x, int y, int w, int h, const float colour[4]);
    void step();

    // The interior fields, width * height * 4 floats, rows from the bottom.
    void readState(float* out) const;
    // Grid index 0...4 with its ring.
    void readGrid(int index, float* out) const;
    // The displayable picture, RGBA bytes over the whole grid.
    const std::vector<uint8_t>& getPicture() const { return picture; }
    // True when no cell of the picture has any colour (still water, no dye).
    bool isPictureBlack() const { return pictureBlack; }

private:
    Vec& at(int grid, int i, int j) { return grids[grid][static_cast<size_t>(j) * stride + i].v; }
    void runPass(const Pass& pass);
    void bounds(int target, int source);
    void advect(int target, int source, bool velocity);
    void paint();
    // Writes f(i, j) rounded into the target's interior.
    template <typename F>
    void interior(int target, F f);

    int width;
    int height;
    int stride;
    Parameters parameter;
    std::vector<std::vector<Cell>> grids;
    std::vector<uint8_t> picture;
    bool pictureBlack = true;
};
