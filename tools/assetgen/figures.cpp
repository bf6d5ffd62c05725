#include "tools/assetgen/figures.h"

#include "tools/assetgen/assetset.h"
#include "tools/assetgen/meshbuilder.h"
#include "tools/assetgen/noise.h"
#include "tools/assetgen/random.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr int kSkinSize = 256;
constexpr int kIdleFrames = 8;
constexpr int kIdleFramesPerSecond = 8;
constexpr float kFrontAngle = kPi / 2; // +y, in radians around z from +x

float idleWave(int frame) {
    return std::sin(kTwoPi * frame / kIdleFrames);
}

// Catmull-Rom through the control points, `count` samples from first to last.
std::vector<Vec2> smoothProfile(const std::vector<Vec2>& points, int count) {
    std::vector<Vec2> out;
    int segments = static_cast<int>(points.size()) - 1;
    for (int i = 0; i < count; ++i) {
        float t = static_cast<float>(i) / (count - 1) * segments;
        int k = std::min(static_cast<int>(t), segments - 1);
        float f = t - k;
        const Vec2& p0 = points[std::max(k - 1, 0)];
        const Vec2& p1 = points[k];
        const Vec2& p2 = points[k + 1];
        const Vec2& p3 = points[std::min(k + 2, segments)];
        auto spline = [f](float a, float b, float c, float d) {
            return 0.5f * ((2 * b) + (-a + c) * f + (2 * a - 5 * b + 4 * c - d) * f * f +
                           (-a + 3 * b - 3 * c + d) * f * f * f);
        };
        out.push_back({std::max(0.0f, spline(p0.x, p1.x, p2.x, p3.x)), spline(p0.y, p1.y, p2.y, p3.y)});
    }
    out.front().x = 0;
    out.back().x = 0;
    return out;
}

// ---------------------------------------------------------------- slime

// A gumdrop of jelly whose tip curls backwards, with a lobed, spreading foot.
const std::vector<Vec2> kSlimeOutline = {{0, 0},         {0.36f, 0},     {0.5f, 0.035f}, {0.55f, 0.12f},
                                         {0.53f, 0.25f}, {0.46f, 0.4f},  {0.36f, 0.54f}, {0.25f, 0.67f},
                                         {0.15f, 0.78f}, {0.07f, 0.88f}, {0, 0.94f}};
constexpr float kSlimeSquash = 0.05f;

Vec3 slimeShape(const Vec3& rest, int frame) {
    float angle = std::atan2(rest.y, rest.x);
    float foot = 1 - smoothstep(0.0f, 0.3f, rest.z);
    float lobes = 1 + 0.07f * foot * std::sin(5 * angle + 0.6f);
    // Squash and stretch that keeps the volume.
    float stretch = 1 + kSlimeSquash * idleWave(frame);
    float widen = 1 / std::sqrt(stretch);
    float curl = smoothstep(0.55f, 0.94f, rest.z);
    float sway = 0.03f * idleWave(frame + 2) * curl;
    return {rest.x * lobes * widen + sway, rest.y * lobes * widen - 0.13f * curl * curl,
            rest.z * stretch / (1 + kSlimeSquash)};
}

struct SlimeDetail {
    int rings, segments;
};
constexpr SlimeDetail kSlimeFull{17, 24};
constexpr SlimeDetail kSlimeLow{7, 10};

Model slimeModel(const std::string& path, const SlimeDetail& detail) {
    const int rings = detail.rings, segments = detail.segments;
    MeshBuilder mesh;
    std::vector<Vec2> profile = smoothProfile(kSlimeOutline, rings);
    mesh.lathe(profile, segments, 0, [&](int ring, float around) { return Vec2{around, profile[ring].y}; });
    Model model;
    model.path = path;
    model.framesPerSecond = kIdleFramesPerSecond;
    model.surfaces.push_back(
        mesh.build("slime", "slime-skin.png", kIdleFrames,
                   [](const Vec3& rest, int, int frame) { return slimeShape(rest, frame); }));
    return model;
}

// Radius at which the skin's proportions are painted, and where the eyes sit.
constexpr float kSlimeTextureRadius = 0.45f;
constexpr float kSlimeEyeSpacing = 0.1f, kSlimeEyeHeight = 0.42f;

// Around-the-body texture: u runs once around from +x, v is the height.
Canvas slimeSkin() {
    Random random("slime");
    Noise noise(random);
    Canvas image(kSkinSize, kSkinSize);
    struct Bubble {
        float u, v, r;
    };
    std::vector<Bubble> bubbles;
    for (int i = 0; i < 14; ++i) {
        bubbles.push_back({random.uniform(), random.range(0.12f, 0.8f), random.range(0.008f, 0.02f)});
    }
    float front = kFrontAngle / kTwoPi;
    for (int py = 0; py < kSkinSize; ++py) {
        for (int px = 0; px < kSkinSize; ++px) {
            float u = (px + 0.5f) / kSkinSize, v = 1 - (py + 0.5f) / kSkinSize;
            // Distances in model units around the body and up from the front.
            float du = std::remainder(u - front, 1.0f) * kTwoPi * kSlimeTextureRadius, dv = v;
            Color c = mix(rgb(0x1f7a2a), rgb(0x8ef060), smoothstep(0.0f, 0.9f, v));
            float jelly = noise.fbm2(u, v, 4, 4);
            c = c.scaled(0.9f + 0.25f * jelly);
            Color pixel = c;
            for (const Bubble& b : bubbles) {
                float d = std::hypot(std::remainder(u - b.u, 1.0f) * kTwoPi * kSlimeTextureRadius, v - b.v);
                float ring = clamp01(1 - std::abs(d - b.r) / 0.004f);
                pixel = over(pixel, rgb(0xdcffc8, 0.5f * ring + 0.2f * clamp01(1 - d / b.r)));
            }
            // Eyes: dark glossy ovals with two glints each, and a small smile.
            for (float side : {-1.0f, 1.0f}) {
                float ex = (du - side * kSlimeEyeSpacing) / 0.048f, ey = (dv - kSlimeEyeHeight) / 0.075f;
                float eye = clamp01((1 - std::hypot(ex, ey)) * 14);
                pixel = over(pixel, rgb(0x0c1a10, eye));
                float glint = clamp01((1 - std::hypot(ex + 0.3f, ey - 0.4f) / 0.32f) * 6);
                float glint2 = clamp01((1 - std::hypot(ex - 0.3f, ey + 0.45f) / 0.15f) * 6);
                pixel = over(pixel, rgb(0xffffff, std::max(glint, 0.8f * glint2) * eye));
            }
            float smile = std::abs(std::hypot(du, dv - 0.4f) - 0.09f);
            float smileMask = clamp01((0.009f - smile) * 200) * (dv < 0.33f ? 1.0f : 0.0f);
            pixel = over(pixel, rgb(0x0c1a10, smileMask));
            // Painted sheen: the glossy look survives the game's dull material.
            float sheen =
                std::exp(-(std::pow((du + 0.16f) / 0.12f, 2.0f) + std::pow((dv - 0.66f) / 0.1f, 2.0f)));
            pixel = over(pixel, rgb(0xffffff, 0.75f * sheen));
            image.at(px, py) = pixel.withAlpha(1);
        }
    }
    return image;
}

// ---------------------------------------------------------------- spike

constexpr float kBodyRadius = 0.33f;
constexpr float kBodyCentre = 0.38f;
// Texture layout: the body above kSpikeBand, the spikes' gradient below it.
constexpr float kSpikeBand = 0.25f;

// The spikes reach as far as the figure's radius and height allow.
constexpr float kSpikeReach = 0.58f, kSpikeLongest = 0.7f, kSpikeRootRadius = 0.13f;

struct SpikeDetail {
    int bodySegments, bodyRings;
    bool threeRings; // three rings of spikes, or two
    int spikeSides;
};
constexpr SpikeDetail kSpikeFull{20, 12, true, 8};
constexpr SpikeDetail kSpikeLow{8, 6, false, 3};

struct Spike {
    Vec3 direction;
    float length; // from the body centre to the tip
};

std::vector<Spike> spikes(bool threeRings) {
    std::vector<Spike> out;
    out.push_back({{0, 0, 1}, 1 - kBodyCentre});
    // Rings of spikes; the face (towards +y) is kept free.
    struct Ring {
        float elevation;
        int count;
        float offset;
    };
    std::vector<Ring> rings = threeRings
                                  ? std::vector<Ring>{{0.95f, 5, 0.3f}, {0.45f, 7, 0.0f}, {-0.05f, 7, 0.25f}}
                                  : std::vector<Ring>{{0.8f, 4, 0.3f}, {0.1f, 5, 0.0f}};
    for (const Ring& ring : rings) {
        for (int i = 0; i < ring.count; ++i) {
            float around = kFrontAngle + kPi / ring.count + kTwoPi * (i + ring.offset) / ring.count;
            Vec3 d(std::cos(ring.elevation) * std::cos(around), std::cos(ring.elevation) * std::sin(around),
                   std::sin(ring.elevation));
            if (dot(d, normalize(Vec3(0, 1, 0.25f))) > 0.8f) {
                continue;
            }
            float horizontal = std::hypot(d.x, d.y);
            float length = std::min(horizontal > 0.01f ? kSpikeReach / horizontal : 1.0f,
                                    d.z > 0.01f ? (1 - kBodyCentre) / d.z : 1.0f);
            out.push_back({d, std::min(length, kSpikeLongest)});
        }
    }
    return out;
}

Model spikeModel(const std::string& path, const SpikeDetail& detail) {
    const int bodyRings = detail.bodyRings, spikeSides = detail.spikeSides;
    MeshBuilder mesh;
    std::vector<Vec2> profile;
    for (int i = 0; i < bodyRings; ++i) {
        float a = -kPi / 2 + kPi * i / (bodyRings - 1);
        profile.push_back({kBodyRadius * 1.05f * std::cos(a), kBodyCentre + kBodyRadius * std::sin(a)});
    }
    profile.front().x = 0;
    profile.back().x = 0;
    mesh.lathe(profile, detail.bodySegments, 0, [&](int ring, float around) {
        return Vec2{around, kSpikeBand + 0.02f + (1 - kSpikeBand - 0.04f) * ring / (bodyRings - 1)};
    });
    int bodyVertices = mesh.vertexCount();

    // Each spike: a cone sunk into the body, its own smoothing group. sway
    // says how much a vertex sways in the idle animation (0 at the base).
    std::vector<float> sway(bodyVertices, 0.0f);
    int group = 1;
    for (const Spike& s : spikes(detail.threeRings)) {
        Vec3 side = normalize(std::abs(s.direction.z) > 0.9f ? cross(s.direction, Vec3(1, 0, 0))
                                                             : cross(s.direction, Vec3(0, 0, 1)));
        Vec3 up = cross(side, s.direction);
        Vec3 base = Vec3(0, 0, kBodyCentre) + s.direction * (kBodyRadius * 0.8f);
        Vec3 tip = Vec3(0, 0, kBodyCentre) + s.direction * s.length;
        int first = mesh.vertexCount();
        for (int k = 0; k <= spikeSides; ++k) {
            float a = kTwoPi * k / spikeSides;
            Vec3 p = base + (side * std::cos(a) + up * std::sin(a)) * kSpikeRootRadius;
            mesh.vertex(p, {static_cast<float>(k) / spikeSides, 0.02f}, group);
            sway.push_back(0);
        }
        for (int k = 0; k < spikeSides; ++k) {
            int t = mesh.vertex(tip, {(k + 0.5f) / spikeSides, kSpikeBand - 0.02f}, group);
            sway.push_back(1);
            // The ring turns clockwise seen from the tip.
            mesh.triangle(first + k + 1, first + k, t);
        }
        ++group;
    }

    Model model;
    model.path = path;
    model.framesPerSecond = kIdleFramesPerSecond;
    model.surfaces.push_back(
        mesh.build("spike", "spike-skin.png", kIdleFrames, [sway](const Vec3& rest, int vertex, int frame) {
            // Breathing body, spikes that bristle with it.
            float breath = 1 + 0.035f * idleWave(frame);
            Vec3 c(0, 0, kBodyCentre);
            Vec3 p = c + (rest - c) * breath;
            float w = sway[vertex];
            p.x += w * 0.02f * idleWave(frame + 2);
            p.z = std::min(p.z, 1.0f);
            return p;
        }));
    return model;
}

Canvas spikeSkin() {
    Random random("spike");
    Noise noise(random);
    Canvas image(kSkinSize, kSkinSize);
    float front = kFrontAngle / kTwoPi;
    for (int py = 0; py < kSkinSize; ++py) {
        for (int px = 0; px < kSkinSize; ++px) {
            float u = (px + 0.5f) / kSkinSize, v = 1 - (py + 0.5f) / kSkinSize;
            Color pixel{0, 0, 0, 0};
            if (v < kSpikeBand) {
                // Horn: body colour at the root, ridged, bone at the tip.
                float t = smoothstep(0.02f, kSpikeBand - 0.03f, v);
                Color horn = mix(rgb(0x7a1838), rgb(0xf6ead0), smoothstep(0.0f, 0.3f, t));
                float ridge = 0.88f + 0.12f * std::sin(t * 40);
                pixel = horn.scaled(ridge).withAlpha(1);
            } else {
                // Body: latitude from -90 to 90 degrees over the band.
                float lat = ((v - kSpikeBand - 0.02f) / (1 - kSpikeBand - 0.04f) - 0.5f) * kPi;
                float du = std::remainder(u - front, 1.0f) * kTwoPi, dv = lat;
                Noise::Cells cells = noise.cellular2(u, v, 12);
                Color skin = mix(rgb(0x8a1538), rgb(0xc8325a), 0.5f + 0.5f * noise.fbm2(u, v, 6, 3));
                skin = skin.scaled(0.75f + 0.35f * smoothstep(0.0f, 0.35f, cells.second - cells.nearest));
                // Paler belly towards the front and bottom.
                float belly = std::exp(-(du * du / 0.5f + std::pow(dv + 0.5f, 2.0f) / 0.3f));
                skin = mix(skin, rgb(0xe58a7a), 0.55f * belly);
                pixel = skin.withAlpha(1);
                for (float side : {-1.0f, 1.0f}) {
                    // Angry yellow eyes with slit pupils under a heavy brow.
                    float ex = (du - side * 0.34f) / 0.2f, ey = (dv - 0.22f) / 0.2f;
                    float eye = clamp01((1 - std::hypot(ex, ey)) * 10) *
                                (ey < 0.45f - side * ex * 0.5f ? 1.0f : 0.0f);
                    Color iris = mix(rgb(0xfff27a), rgb(0xff8a00), clamp01(std::hypot(ex, ey)));
                    pixel = over(pixel, iris.withAlpha(eye));
                    float slit = clamp01((0.14f - std::abs(ex)) * 20) * eye;
                    pixel = over(pixel, rgb(0x1a0505, slit));
                    float brow = clamp01((0.1f - std::abs(ey - 0.5f + side * ex * 0.5f)) * 20) *
                                 clamp01((1.2f - std::abs(ex)) * 5);
                    pixel = over(pixel, rgb(0x2a0410, brow));
                }
                // A wide grin with a row of teeth.
                float mouth = std::abs(dv + 0.12f + 0.25f * du * du);
                if (std::abs(du) < 0.5f && mouth < 0.06f) {
                    float teeth =
                        std::abs(std::remainder(du, 0.12f)) < 0.045f && dv > -0.12f - 0.25f * du * du ? 1.0f
                                                                                                      : 0.0f;
                    pixel = over(pixel, mix(rgb(0x1a0208), rgb(0xfff6e0), teeth));
                }
            }
            image.at(px, py) = pixel;
        }
    }
    return image;
}
} // namespace

void makeFigures(AssetSet& out) {
    out.addModel(slimeModel("models/sporlet/spr-slime", kSlimeFull));
    out.addModel(slimeModel("models/sporlet/spr-slime-low", kSlimeLow));
    out.addModel(spikeModel("models/sporlet/spr-spike", kSpikeFull));
    out.addModel(spikeModel("models/sporlet/spr-spike-low", kSpikeLow));
    out.addTexture("models/sporlet/slime-skin.png", slimeSkin(), PixelFormat::Rgb);
    out.addTexture("models/sporlet/spike-skin.png", spikeSkin(), PixelFormat::Rgb);
}
