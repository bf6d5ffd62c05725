#include <GL/glew.h>

#include "scene/basin.h"

#include "scene/basinlayout.h"
#include "scene/scenetexture.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>

namespace {

const char* const kSource = "Basin";
const char* const kBasinTexture = "textures/table/table-01-c.png";
const char* const kCausticPrefix = "textures/caustic/caustic";
const char* const kCausticSuffix = ".png";

constexpr double kCausticFramesPerSecond = 10.0;
// Share of the basin texture where the caustics are laid over it. More
// caustic light would wash out the board's checker seen through the water.
constexpr float kBasinShare = 0.8f;
constexpr float kFogColour[4] = {0.3f, 0.3f, 0.6f, 1.0f};
// Linear fog from 1 (clear) to 0 (all fog): the fog coordinate is the share
// of the surface's own colour.
constexpr float kFogStart = 1.0f;
constexpr float kFogEnd = 0.0f;

// The board's square (kT..kU) and its rim (kR..kRr) in the basin texture.
constexpr float kT = kBasinBoardLow;
constexpr float kU = kBasinBoardHigh;
constexpr float kR = kBasinRimLow;
constexpr float kRr = kBasinRimHigh;
constexpr float kW = 64.0f; // board width in world units
constexpr float kB = -Basin::kDepth;
// Caustic coordinates: the pattern repeats twice across the basin and its
// walls take the strip near its edge.
constexpr float kCausticRepeat = 2.0f;
constexpr float kWallTop = 0.9f;

// Each quad is drawn as kTiles x kTiles smaller ones with the same corners:
// the lights above and below the board are points, and lit only at its four
// corners the floor would take their dim light everywhere.
constexpr int kTiles = 16;
// The lip shows only through ripples at the rim, and on a software renderer
// each vertex costs: it is lit at its corners only.
constexpr int kLipTiles = 1;
// The lip lies this far under the water line, clear of the plane that cuts
// the refraction pass there.
constexpr float kLipDrop = 0.05f;
// The share of the way down a wall whose colour the lip shows: just under
// the water line, below the joint at the wall's very top.
constexpr float kLipShade = 0.125f;
// A tile's corners in the order of the quad's own.
constexpr int kTileCorners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};

// Everything a point of a quad carries, blended from its corners.
struct Blend {
    vec3 position;
    vec2 table;
    vec2 caustic;
    float fog;
};

// The point at (u, v) across the quad: u runs from corner 0 to corner 1, v
// from corner 0 to corner 3.
Blend blend(const BasinQuad& quad, float u, float v, float fogDepth) {
    const float weights[4] = {(1 - u) * (1 - v), u * (1 - v), u * v, (1 - u) * v};
    Blend out{vec3(), vec2(), vec2(), 0.0f};
    for (int k = 0; k < 4; ++k) {
        const BasinCorner& c = quad.corners[k];
        out.position += c.position * weights[k];
        out.table = out.table + c.table * weights[k];
        out.caustic = out.caustic + c.caustic * weights[k];
        out.fog += Basin::fogCoordinate(c, fogDepth) * weights[k];
    }
    return out;
}

constexpr BasinCorner corner(float x, float y, float z, float s, float t, float cs, float ct) {
    return BasinCorner{vec3(x, y, z), vec2(s, t), vec2(cs, ct), z < 0.0f};
}

BasinCorner movedOut(BasinCorner c, const vec3& offset) {
    c.position += offset;
    return c;
}

// A quad of the lip, its corners turned anticlockwise seen from above.
BasinQuad facingUp(const vec3& normal, const BasinCorner& a, const BasinCorner& b, const BasinCorner& c,
                   const BasinCorner& d) {
    if (cross(b.position - a.position, d.position - a.position).z > 0.0f) {
        return {normal, {a, b, c, d}};
    }
    return {normal, {a, d, c, b}};
}

// How far the rectangle {minX, minY, maxX, maxY} reaches past a wall, away
// from the basin.
float reachPast(const BasinQuad& wall, const std::array<float, 4>& area) {
    const vec3 out = -wall.normal;
    const float farthest =
        std::max(out.x * area[0], out.x * area[2]) + std::max(out.y * area[1], out.y * area[3]);
    return farthest - dot(out, wall.corners[0].position);
}

} // namespace

Basin::Basin() {
    material.setTextureCount(1);
    material.setAmbient(0.1f, 0.1f, 0.1f, 1.0f);
    material.setDiffuse(1.0f, 1.0f, 1.0f, 1.0f);
    material.setSpecular(0.1f, 0.1f, 0.1f, 1.0f);
    material.setEmission(0.0f, 0.0f, 0.0f, 1.0f);
    material.enable(GL_LIGHTING);
}

const std::array<BasinQuad, Basin::kQuadCount>& Basin::quads() {
    constexpr float c = kCausticRepeat;
    static const std::array<BasinQuad, kQuadCount> table = {{
        {vec3(0, 0, 1),
         {corner(0, 0, kB, kT, kT, 0, 0), corner(kW, 0, kB, kU, kT, c, 0), corner(kW, kW, kB, kU, kU, c, c),
          corner(0, kW, kB, kT, kU, 0, c)}},
        {vec3(0, 1, 0),
         {corner(0, 0, kB, kT, kT, 0, 1), corner(0, 0, 0, kT, kR, 0, kWallTop),
          corner(kW, 0, 0, kU, kR, c, kWallTop), corner(kW, 0, kB, kU, kT, c, 1)}},
        {vec3(0, -1, 0),
         {corner(0, kW, kB, kT, kU, 0, 1), corner(kW, kW, kB, kU, kU, c, 1),
          corner(kW, kW, 0, kU, kRr, c, kWallTop), corner(0, kW, 0, kT, kRr, 0, kWallTop)}},
        {vec3(-1, 0, 0),
         {corner(kW, 0, kB, kU, kT, 1, 0), corner(kW, 0, 0, kRr, kT, kWallTop, 0),
          corner(kW, kW, 0, kRr, kU, kWallTop, c), corner(kW, kW, kB, kU, kU, 1, c)}},
        {vec3(1, 0, 0),
         {corner(0, 0, kB, kT, kT, 1, 0), corner(0, kW, kB, kT, kU, 1, c),
          corner(0, kW, 0, kR, kU, kWallTop, c), corner(0, 0, 0, kR, kT, kWallTop, 0)}},
    }};
    return table;
}

std::array<BasinQuad, Basin::kLipQuadCount> Basin::lip(const std::array<float, 4>& sampledArea) {
    constexpr int kWalls = kQuadCount - 1;
    std::array<BasinQuad, kLipQuadCount> out{};
    // Each wall's two corners at the water line, with the colour from just under it.
    std::array<std::array<BasinCorner, 2>, kWalls> rims{};
    std::array<vec3, kWalls> away{};
    for (int w = 0; w < kWalls; ++w) {
        const BasinQuad& wall = quads()[w + 1];
        int n = 0;
        for (const BasinCorner& top : wall.corners) {
            for (const BasinCorner& bottom : wall.corners) {
                if (!top.atBottom && bottom.atBottom && bottom.position.x == top.position.x &&
                    bottom.position.y == top.position.y) {
                    rims[w][n++] = {vec3(top.position.x, top.position.y, -kLipDrop),
                                    top.table + (bottom.table - top.table) * kLipShade,
                                    top.caustic + (bottom.caustic - top.caustic) * kLipShade, false};
                }
            }
        }
        away[w] = wall.normal * -(kLipMargin + std::max(reachPast(wall, sampledArea), 0.0f));
        out[w] = facingUp(wall.normal, rims[w][0], rims[w][1], movedOut(rims[w][1], away[w]),
                          movedOut(rims[w][0], away[w]));
    }
    // Where two walls meet, a square out along both.
    int next = kWalls;
    for (int a = 0; a < kWalls; ++a) {
        for (int b = a + 1; b < kWalls; ++b) {
            for (const BasinCorner& shared : rims[a]) {
                for (const BasinCorner& other : rims[b]) {
                    if (shared.position == other.position) {
                        out[next++] =
                            facingUp((quads()[a + 1].normal + quads()[b + 1].normal).normalized(), shared,
                                     movedOut(shared, away[a]), movedOut(shared, away[a] + away[b]),
                                     movedOut(shared, away[b]));
                    }
                }
            }
        }
    }
    return out;
}

void Basin::addTiles(const BasinQuad& quad, int tiles, float fogDepth, std::vector<Vertex>& out) {
    for (int row = 0; row < tiles; ++row) {
        for (int column = 0; column < tiles; ++column) {
            for (const auto& step : kTileCorners) {
                const float u = static_cast<float>(column + step[0]) / tiles;
                const float v = static_cast<float>(row + step[1]) / tiles;
                const Blend c = blend(quad, u, v, fogDepth);
                out.push_back({{c.table.x, c.table.y},
                               {c.caustic.x, c.caustic.y},
                               c.fog,
                               {quad.normal.x, quad.normal.y, quad.normal.z},
                               {c.position.x, c.position.y, c.position.z}});
            }
        }
    }
}

// The normal goes with every vertex, as glBegin and glEnd hand it over: a
// normal set once for many vertices is lit along another path of the
// renderer, which rounds some pixels a level apart.
void Basin::drawTiles() {
    if (vertices.empty()) {
        return;
    }
    constexpr GLsizei kStride = sizeof(Vertex);
    const auto at = [](size_t offset) {
        return reinterpret_cast<const void*>(offset);
    };
    glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer.get());
    glClientActiveTexture(GL_TEXTURE0);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, kStride, at(offsetof(Vertex, table)));
    glClientActiveTexture(GL_TEXTURE1);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, kStride, at(offsetof(Vertex, caustic)));
    glEnableClientState(GL_FOG_COORD_ARRAY);
    glFogCoordPointer(GL_FLOAT, kStride, at(offsetof(Vertex, fog)));
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, kStride, at(offsetof(Vertex, normal)));
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, kStride, at(offsetof(Vertex, position)));
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(vertices.size()));
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_FOG_COORD_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glClientActiveTexture(GL_TEXTURE0);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    // Everything else draws from its own memory.
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

int Basin::causticFrame(double time) {
    if (!std::isfinite(time)) {
        return 0;
    }
    const double frame = std::fmod(std::floor(time * kCausticFramesPerSecond), kCausticFrames);
    return static_cast<int>(frame < 0.0 ? frame + kCausticFrames : frame);
}

float Basin::fogCoordinate(const BasinCorner& corner, float fogDepth) {
    return corner.atBottom ? fogDepth : 1.0f;
}

void Basin::load() {
    const std::unique_ptr<ImageTexture2D> table = loadSceneTexture(kBasinTexture, kSource);
    material.setTexture(0, table ? *table : ImageTexture2D());
    for (int n = 0; n < kCausticFrames; ++n) {
        causticTextures[n] =
            loadSceneTexture(kCausticPrefix + std::to_string(n + 1) + kCausticSuffix, kSource);
    }
}

void Basin::release() {
    vertexBuffer.reset();
    lipBuilt = false;
    material.setTexture(0, ImageTexture2D());
    for (std::unique_ptr<ImageTexture2D>& frame : causticTextures) {
        frame.reset();
    }
}

void Basin::draw(double time, bool caustics, bool fog, float fogDepth,
                 const std::array<float, 4>& sampledArea) {
    if (fog) {
        glEnable(GL_FOG);
        glFogi(GL_FOG_MODE, GL_LINEAR);
        glFogfv(GL_FOG_COLOR, kFogColour);
        glFogf(GL_FOG_START, kFogStart);
        glFogf(GL_FOG_END, kFogEnd);
        glFogi(GL_FOG_COORDINATE_SOURCE, GL_FOG_COORDINATE);
    }
    material.apply();
    glActiveTexture(GL_TEXTURE0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    const ImageTexture2D* caustic = caustics ? causticTextures[causticFrame(time)].get() : nullptr;
    const bool withCaustics = caustic != nullptr;
    if (withCaustics) {
        glActiveTexture(GL_TEXTURE1);
        glEnable(GL_TEXTURE_2D);
        caustic->bind();
        interpolateWithPrevious(kBasinShare);
    }

    // The walls and the lip in one call: split in two, the pixels where they
    // meet at the rim come out a few levels apart.
    if (!built || builtFogDepth != fogDepth) {
        vertices.clear();
        for (const BasinQuad& quad : quads()) {
            addTiles(quad, kTiles, fogDepth, vertices);
        }
        wallVertices = vertices.size();
        built = true;
        builtFogDepth = fogDepth;
        lipBuilt = false;
    }
    if (!lipBuilt || lipArea != sampledArea) {
        vertices.resize(wallVertices);
        for (const BasinQuad& quad : lip(sampledArea)) {
            addTiles(quad, kLipTiles, fogDepth, vertices);
        }
        lipBuilt = true;
        lipArea = sampledArea;
        if (!vertexBuffer) {
            vertexBuffer = GlBuffer::generate();
        }
        glBindBuffer(GL_ARRAY_BUFFER, vertexBuffer.get());
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(Vertex)),
                     vertices.data(), GL_DYNAMIC_DRAW);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
    }
    drawTiles();

    if (withCaustics) {
        const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, white);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glDisable(GL_TEXTURE_2D);
        glActiveTexture(GL_TEXTURE0);
    }
    if (fog) {
        glFogi(GL_FOG_COORDINATE_SOURCE, GL_FRAGMENT_DEPTH);
        glDisable(GL_FOG);
    }
}
