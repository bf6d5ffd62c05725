#pragma once

#include "fluid/glname.h"
#include "mesh/vectormath.h"
#include "resources/material.h"
#include "resources/texture.h"

#include <array>
#include <memory>
#include <vector>

// One corner of a basin quad. Corners at the bottom take the fog depth as
// their fog coordinate, corners at the water line 1 (no fog).
struct BasinCorner {
    vec3 position;
    vec2 table;   // coordinates in the basin texture (unit 0)
    vec2 caustic; // coordinates in the caustic frames (unit 1)
    bool atBottom;
};

struct BasinQuad {
    vec3 normal;
    std::array<BasinCorner, 4> corners;
};

// The shallow basin under the water that the board lies in: a floor and four
// walls, textured with the board and its rim, lit by animated caustics and
// fading into a bluish fog with depth. It is seen only through the water, so
// only the refraction pass draws it.
class Basin {
public:
    static constexpr int kCausticFrames = 16;
    static constexpr int kQuadCount = 5;
    // A strip along each wall and a square at each corner.
    static constexpr int kLipQuadCount = 8;
    static constexpr float kDepth = 5.0f;
    // How far the lip reaches past where the water samples it: the texels
    // its filter reads around a sample.
    static constexpr float kLipMargin = 2.0f;

    Basin();

    // The floor, then the walls at y = 0, y = 64, x = 64 and x = 0; each quad's
    // corners turn anticlockwise seen from inside the basin.
    static const std::array<BasinQuad, kQuadCount>& quads();
    // The lip: flat around the opening just under the water line, facing up,
    // each piece lit as the wall it starts from and showing that wall's colour
    // just under the water line. Where the ripples bend the water's look past
    // the rim, the picture under the water holds the lip rather than nothing
    // at all. It reaches kLipMargin past the rectangle of the water plane
    // {minX, minY, maxX, maxY} that the water samples, on each side: it costs
    // every pixel it covers.
    static std::array<BasinQuad, kLipQuadCount> lip(const std::array<float, 4>& sampledArea);
    // The caustic frame shown at scene time: ten frames a second, looping.
    static int causticFrame(double time);
    // Fog coordinate of a corner: 1 at the water line, fogDepth at the bottom.
    static float fogCoordinate(const BasinCorner& corner, float fogDepth);

    // Loads the basin texture and the caustic frames (textures/...); a
    // missing picture is logged and left out.
    void load();
    void release();

    // Draws the five quads and the lip (OpenGL); lighting as the pass has set it.
    void draw(double time, bool caustics, bool fog, float fogDepth, const std::array<float, 4>& sampledArea);

private:
    // A corner of a tile as the vertex arrays hand it over.
    struct Vertex {
        float table[2];
        float caustic[2];
        float fog;
        float normal[3];
        float position[3];
    };
    // A quad's tiles, appended to out.
    static void addTiles(const BasinQuad& quad, int tiles, float fogDepth, std::vector<Vertex>& out);
    void drawTiles();

    // Blended once per fog depth and sampled area instead of every frame:
    // the walls' tiles, then the lip's.
    std::vector<Vertex> vertices;
    // They stay with the renderer, uploaded when they change.
    GlBuffer vertexBuffer;
    size_t wallVertices = 0;
    bool built = false;
    bool lipBuilt = false;
    float builtFogDepth = 0.0f;
    std::array<float, 4> lipArea{};
    Material material;
    std::array<std::unique_ptr<ImageTexture2D>, kCausticFrames> causticTextures;
};
