// Times the normal table, key-frame interpolation of a water-sized and a
// figure-sized mesh, and loading the MD3 models named on the command line
// (without textures, so no window is needed), and prints the figures.
#include "base/log.h"
#include "mesh/animatedmesh.h"
#include "mesh/md3meshloader.h"
#include "mesh/meshgroup.h"
#include "resources/material.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

constexpr int kInterpolationRounds = 2000;
constexpr int kLoadRounds = 20;

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A mesh of vertexCount vertices with one sequence of frameCount keys.
std::unique_ptr<AnimatedMesh> makeMesh(int vertexCount, int units, int frameCount) {
    auto mesh = std::make_unique<AnimatedMesh>();
    mesh->allocate(vertexCount, units, 1, 0);
    auto sequence = std::make_unique<AnimationSequence>();
    for (int f = 0; f < frameCount; ++f) {
        auto frame = std::make_unique<AnimationFrame>(vertexCount, units);
        for (int v = 0; v < vertexCount; ++v) {
            frame->positions[v] = vec3(static_cast<float>(v), static_cast<float>(f), 0.0f);
            frame->normals[v] = vec3(0.0f, 0.0f, 1.0f);
        }
        sequence->addFrame(std::move(frame));
        sequence->addKey(std::make_unique<AnimationKey>(f, 0.125));
    }
    mesh->addSequence(std::move(sequence));
    return mesh;
}

void timeInterpolation(const char* name, int vertexCount, int units, int frameCount) {
    const std::unique_ptr<AnimatedMesh> mesh = makeMesh(vertexCount, units, frameCount);
    const auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < kInterpolationRounds; ++round) {
        mesh->animate(0, round * 0.013);
    }
    const double perCall = secondsSince(start) / kInterpolationRounds;
    std::printf("animate %-28s %6d vertices x %d units: %8.2f us per call, %6.2f ns per vertex\n", name,
                vertexCount, units, perCall * 1e6, perCall * 1e9 / vertexCount);
}

} // namespace

int main(int argc, char** argv) {
    // The loader logs every model; only the figures matter here.
    Log::setReportChannel([](int, const std::string&) {});

    auto start = std::chrono::steady_clock::now();
    MD3MeshLoader loader([](const std::string&) { return std::unique_ptr<Material>(); });
    std::printf("normal table (65536 entries): %.2f ms\n", secondsSince(start) * 1e3);

    timeInterpolation("water surface (51 x 51)", 51 * 51, 2, 2);
    timeInterpolation("figure", 600, 1, 8);

    for (int i = 1; i < argc; ++i) {
        start = std::chrono::steady_clock::now();
        size_t meshes = 0;
        for (int round = 0; round < kLoadRounds; ++round) {
            std::unique_ptr<MeshGroup> group = loader.load(argv[i]);
            if (group == nullptr) {
                std::printf("%s: does not load\n", argv[i]);
                return 1;
            }
            meshes = static_cast<size_t>(group->size());
        }
        std::printf("load %s (%zu meshes, no textures): %.3f ms\n", argv[i], meshes,
                    secondsSince(start) * 1e3 / kLoadRounds);
    }
    return 0;
}
