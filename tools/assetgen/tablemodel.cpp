#include "tools/assetgen/tablemodel.h"

#include "tools/assetgen/assetset.h"
#include "tools/assetgen/meshbuilder.h"
#include "tools/assetgen/noise.h"
#include "tools/assetgen/random.h"

#include <cmath>
#include <vector>

namespace {
constexpr float kWorldScale = 64;
constexpr float kWorldLift = 12;
constexpr float kOpening = 0.5f;
constexpr int kSkinSize = 256;
// World units covered by one repeat of a skin texture.
constexpr float kWoodRepeat = 16, kStoneRepeat = 12;

// A point of the table's cross-section: e world units out from the basin
// edge (negative: under the basin), z world units above the water line.
struct Section {
    float e, z;
};

// The cross-section from the water line outwards and down, as runs of
// points; each run is one material.
const std::vector<Section> kCoping = {{0, 0}, {0, 2}, {1, 3}, {4, 3}, {5, 2}, {5, 1}};
const std::vector<Section> kDeck = {{5, 1}, {21, 1}, {23, 0}, {23, -5}, {22, -7}, {18, -8}, {-6, -8}};
const std::vector<Section> kPedestal = {{-6, -8},  {-6, -12}, {-9, -14}, {-9, -52},
                                        {-4, -58}, {-4, -64}, {-32, -64}};

Vec3 modelPoint(float x, float y, float z) {
    return {x / kWorldScale, y / kWorldScale, (z + kWorldLift) / kWorldScale};
}

// Sweeps a cross-section around the square opening: four mitred sides, each
// segment flat-shaded (its own smoothing group) like cut stone and planks.
void sweep(MeshBuilder& mesh, const std::vector<Section>& section, float repeat, int& group) {
    const float half = kOpening * kWorldScale;
    // Side k runs along `along` with its outside towards `out`.
    struct Side {
        Vec3 out, along;
    };
    const Side sides[] = {
        {{0, -1, 0}, {1, 0, 0}}, {{1, 0, 0}, {0, 1, 0}}, {{0, 1, 0}, {-1, 0, 0}}, {{-1, 0, 0}, {0, -1, 0}}};
    for (const Side& side : sides) {
        for (size_t i = 0; i + 1 < section.size(); ++i) {
            const Section& a = section[i];
            const Section& b = section[i + 1];
            float da = half + a.e, db = half + b.e;
            // Corners of the ring at each end of the segment.
            auto corner = [&](float d, float s) {
                return side.out * d + side.along * (s * d);
            };
            Vec3 a0 = corner(da, -1), a1 = corner(da, 1), b0 = corner(db, -1), b1 = corner(db, 1);
            bool flat = std::abs(a.z - b.z) < 1e-3f;
            auto uv = [&](const Vec3& p, float z) {
                // Horizontal faces: planks run along the side; vertical faces:
                // along the side and up.
                float u = dot(p, side.along) / repeat;
                float v = flat ? dot(p, side.out) / repeat : z / repeat;
                return Vec2{u, v};
            };
            auto vertex = [&](const Vec3& p, float z) {
                return mesh.vertex(modelPoint(p.x, p.y, z), uv(p, z), group);
            };
            int i0 = vertex(a0, a.z), i1 = vertex(a1, a.z), i2 = vertex(b1, b.z), i3 = vertex(b0, b.z);
            // Face the outside of the profile: outward-and-up when the
            // section runs outwards, outward when it runs down, and so on.
            Vec3 n = cross(mesh.position(i1) - mesh.position(i0), mesh.position(i3) - mesh.position(i0));
            Vec3 expected = side.out * (a.z - b.z) + Vec3(0, 0, 1) * (b.e - a.e);
            if (dot(n, expected) >= 0) {
                mesh.quad(i0, i1, i2, i3);
            } else {
                mesh.quad(i0, i3, i2, i1);
            }
            ++group;
        }
    }
}

Canvas woodSkin() {
    Random random("wood");
    Noise noise(random);
    Canvas image(kSkinSize, kSkinSize);
    constexpr int kPlanks = 4;
    float tone[kPlanks];
    for (float& t : tone) {
        t = random.range(0.82f, 1.08f);
    }
    for (int py = 0; py < kSkinSize; ++py) {
        for (int px = 0; px < kSkinSize; ++px) {
            float u = (px + 0.5f) / kSkinSize, v = (py + 0.5f) / kSkinSize;
            int plank = static_cast<int>(v * kPlanks);
            float across = v * kPlanks - plank;
            // Grain: stretched noise along the plank, with growth rings.
            float grain = noise.fbm2(u, v * 0.25f + plank * 0.25f, 2, 5);
            float rings = 0.5f + 0.5f * std::sin((across * 9 + grain * 5) * kTwoPi * 0.5f);
            Color wood = mix(rgb(0x7a4824), rgb(0xa86d3a), 0.4f + 0.3f * rings).scaled(tone[plank]);
            // Fine streaks along the grain.
            float streaks = noise.fbm2(u, std::fmod(v * 8, 1.0f), 2, 3);
            wood = wood.scaled(0.94f + 0.1f * streaks + 0.06f * noise.fbm2(u, v, 32, 2));
            float seam = std::min(across, 1 - across) * kSkinSize / kPlanks;
            wood = wood.scaled(0.35f + 0.65f * smoothstep(0.0f, 1.8f, seam));
            // Butt joints, staggered from plank to plank.
            float joint = std::abs(std::remainder(u - plank * 0.37f, 1.0f)) * kSkinSize;
            wood = wood.scaled(0.45f + 0.55f * smoothstep(0.0f, 1.5f, joint));
            image.at(px, py) = wood.withAlpha(1);
        }
    }
    return image;
}

Canvas stoneSkin() {
    Random random("stone");
    Noise noise(random);
    Canvas image(kSkinSize, kSkinSize);
    for (int py = 0; py < kSkinSize; ++py) {
        for (int px = 0; px < kSkinSize; ++px) {
            float u = (px + 0.5f) / kSkinSize, v = (py + 0.5f) / kSkinSize;
            float cloud = noise.fbm2(u, v, 4, 5);
            float speckle = noise.fbm2(u, v, 64, 2);
            Color stone = rgb(0xb9b2a2).scaled(0.85f + 0.2f * cloud + 0.12f * speckle);
            if (speckle > 0.45f) {
                stone = stone.scaled(0.7f);
            }
            image.at(px, py) = stone.withAlpha(1);
        }
    }
    return image;
}
} // namespace

void makeTable(AssetSet& out) {
    int group = 0;
    MeshBuilder stone, wood;
    sweep(stone, kCoping, kStoneRepeat, group);
    sweep(wood, kDeck, kWoodRepeat, group);
    sweep(stone, kPedestal, kStoneRepeat, group);

    Model model;
    model.path = "models/table/table-outside";
    model.surfaces.push_back(stone.build("rim_stone", "table-stone.png"));
    model.surfaces.push_back(wood.build("deck_wood", "table-wood.png"));
    out.addModel(std::move(model));
    out.addTexture("models/table/table-stone.png", stoneSkin(), PixelFormat::Rgb);
    out.addTexture("models/table/table-wood.png", woodSkin(), PixelFormat::Rgb);
}
