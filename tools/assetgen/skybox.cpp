#include "tools/assetgen/skybox.h"

#include "tools/assetgen/assetset.h"
#include "tools/assetgen/meshbuilder.h"
#include "tools/assetgen/noise.h"
#include "tools/assetgen/random.h"

#include <cmath>
#include <string>

namespace {
constexpr int kFaceSize = 512;
constexpr float kHalfExtent = 100;

// A face seen from the centre: looking along `normal`, `right` points right
// and `up` up on the screen.
struct Face {
    const char* name;
    Vec3 normal, right, up;
};

const Face kFaces[] = {
    {"north", {0, 1, 0}, {1, 0, 0}, {0, 0, 1}}, {"south", {0, -1, 0}, {-1, 0, 0}, {0, 0, 1}},
    {"east", {1, 0, 0}, {0, -1, 0}, {0, 0, 1}}, {"west", {-1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
    {"top", {0, 0, 1}, {1, 0, 0}, {0, -1, 0}},  {"bottom", {0, 0, -1}, {1, 0, 0}, {0, 1, 0}},
};

class SkyPainter {
public:
    SkyPainter() : random("sky"), noise(random) {}

    Color colour(const Vec3& direction) const {
        Vec3 d = normalize(direction);
        return d.z >= 0 ? sky(d) : sea(d);
    }

private:
    Color sky(const Vec3& d) const {
        float elevation = d.z;
        Color zenith = rgb(0x2b63b8), horizon = rgb(0xcfe3f2);
        Color c = mix(horizon, zenith, std::pow(elevation, 0.55f));
        // Sun glow.
        float sun = std::max(0.0f, dot(d, kSun));
        c = c + rgb(0xfff1d0).scaled(0.35f * std::pow(sun, 12.0f) + 0.9f * std::pow(sun, 600.0f));
        // Clouds on a plane above: perspective thins them towards the horizon.
        float height = std::max(elevation, 0.02f);
        Vec3 onPlane(d.x / height * 0.35f, d.y / height * 0.35f, 0.5f);
        float n = noise.fbm3(onPlane * 2.2f, 6, 0.52f);
        float cover = smoothstep(0.02f, 0.4f, n) * smoothstep(0.0f, 0.12f, elevation);
        float shade =
            0.75f + 0.25f * smoothstep(0.1f, 0.5f, noise.fbm3(onPlane * 2.2f + Vec3(0.04f, 0.03f, 0), 4));
        Color cloud = mix(rgb(0x9aa8bc), rgb(0xffffff), shade);
        c = mix(c, cloud, 0.9f * cover);
        // Haze near the horizon.
        return mix(c, horizon, std::exp(-elevation * 25.0f) * 0.6f).withAlpha(1);
    }

    Color sea(const Vec3& d) const {
        float depth = -d.z;
        Color deep = rgb(0x0b3148), near = rgb(0x2f6f8a), haze = rgb(0xa9c6d6);
        Color c = mix(near, deep, smoothstep(0.0f, 0.6f, depth));
        // Wave texture on the sea plane below.
        float scale = 1.0f / std::max(depth, 0.02f);
        Vec3 onPlane(d.x * scale * 0.6f, d.y * scale * 0.6f, 3.1f);
        float waves = noise.fbm3(onPlane * 3.0f, 5);
        c = c.scaled(0.9f + 0.2f * waves * smoothstep(0.0f, 0.25f, depth));
        // Sun glitter towards the sun's azimuth.
        Vec3 mirrored(d.x, d.y, -d.z);
        float glint =
            std::pow(std::max(0.0f, dot(mirrored, kSun)), 60.0f) * smoothstep(0.2f, 0.6f, waves + 0.5f);
        c = c + rgb(0xfff4d8).scaled(0.6f * glint);
        return mix(c, haze, std::exp(-depth * 18.0f) * 0.85f).withAlpha(1);
    }

    const Vec3 kSun = normalize(Vec3(-0.55f, 0.6f, 0.55f));
    Random random;
    Noise noise;
};

// Face pixels sit on a grid that includes the cube's edges, and the texture
// coordinates run from the first to the last pixel centre: neighbouring faces
// then agree along their shared edge and clamping never shows.
float gridPosition(int pixel) {
    return -1 + 2.0f * pixel / (kFaceSize - 1);
}

float texturePosition(float gridValue) {
    float half = 0.5f / kFaceSize;
    return half + (1 - 2 * half) * (gridValue + 1) / 2;
}
} // namespace

void makeSkyBox(AssetSet& out) {
    SkyPainter painter;
    Model model;
    model.path = "models/skybox/skybox";
    for (const Face& face : kFaces) {
        std::string texture = std::string("sky-") + face.name + ".png";
        Canvas image(kFaceSize, kFaceSize);
        for (int py = 0; py < kFaceSize; ++py) {
            for (int px = 0; px < kFaceSize; ++px) {
                Vec3 d = face.normal + face.right * gridPosition(px) + face.up * -gridPosition(py);
                image.at(px, py) = painter.colour(d);
            }
        }
        out.addTexture("models/skybox/" + texture, std::move(image), PixelFormat::Rgb);

        MeshBuilder mesh;
        int corners[4];
        const float signs[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (int k = 0; k < 4; ++k) {
            Vec3 p = (face.normal + face.right * signs[k][0] + face.up * signs[k][1]) * kHalfExtent;
            corners[k] = mesh.vertex(p, {texturePosition(signs[k][0]), texturePosition(signs[k][1])}, 0);
        }
        // Counter-clockwise as seen from the centre.
        mesh.quad(corners[0], corners[1], corners[2], corners[3]);
        model.surfaces.push_back(mesh.build(std::string("face_") + face.name, texture));
    }
    out.addModel(std::move(model));
}
