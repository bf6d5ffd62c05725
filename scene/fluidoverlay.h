#pragma once

#include "mesh/vectormath.h"
#include "resources/texture.h"

#include <array>
#include <memory>
#include <vector>

class FluidSimulation;

// The debug view of the fluid over the board (F9): one line per cell along
// its velocity, coloured from green (still) over yellow to red (fast), and
// the simulation's picture laid over the board. Without a working
// simulation it shows the fog texture and no lines.
class FluidOverlay {
public:
    // The colour of a cell with velocity channels g and b.
    static std::array<float, 4> cellColour(float g, float b);
    // Where a cell's line ends, relative to its centre: along the velocity,
    // at most kMaxLine long; nowhere for a velocity that is not finite.
    static vec2 lineOffset(float g, float b);
    static constexpr float kMaxLine = 30.0f;

    // Loads the fog texture (textures/table/fog1.png); without it and
    // without a simulation the overlay shows nothing.
    void load();
    void release();
    // Draws at the water table's scale: a cell is one world unit (OpenGL).
    // skipBlack leaves out the fluid's picture while it is black, which
    // changes no pixel.
    void draw(FluidSimulation* fluid, bool skipBlack = true);

private:
    void drawLines(FluidSimulation& fluid);
    // The picture over the board: the fluid's result, or the fog texture
    // when there is no simulation (fluid null; the texture must be loaded).
    void drawPicture(FluidSimulation* fluid);

    // A line's end as the vertex arrays hand it over.
    struct LineVertex {
        std::array<float, 3> position;
        std::array<float, 4> colour;
    };

    std::unique_ptr<ImageTexture2D> fog;
    std::vector<float> state;
    std::vector<LineVertex> lines;
};
