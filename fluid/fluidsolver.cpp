#include "fluid/fluidsolver.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr float kTimeStep = 0.1f;
constexpr int kDiffusionIterations = 10;
constexpr int kPressureIterations = 5;
constexpr float kPressureA = 1.0f;
constexpr float kPressureC = 0.25f;
constexpr float kCellSpacing = 1.0f;
constexpr int kChannels = 4;
constexpr float kByteMax = 255.0f;

using Bits = uint32_t __attribute__((vector_size(16)));

// Bit patterns of float magnitudes.
constexpr uint32_t kMagnitudeMask = 0x7fffffffu;
constexpr uint32_t kInfinity = 0x7f800000u;
constexpr uint32_t kLargestHalf = 0x477fe000u;    // 65504
constexpr uint32_t kSmallestNormal = 0x38800000u; // 2^-14
// A half float keeps 10 of a float's 23 fraction bits.
constexpr int kDroppedBits = 13;
constexpr uint32_t kDroppedMask = (1u << kDroppedBits) - 1;
// Added to a magnitude below 2^-14 it leaves a sum whose last bit is worth
// 2^-24, a half float's spacing there.
constexpr float kSubnormalShift = 0.75f;

template <typename To, typename From>
To reinterpret(const From& from) {
    static_assert(sizeof(To) == sizeof(From));
    To to;
    std::memcpy(&to, &from, sizeof(To));
    return to;
}

Bits select(Bits mask, Bits yes, Bits no) {
    return (yes & mask) | (no & ~mask);
}

// All four channels at once, without branches: this runs for every value
// every pass.
FluidSolver::Cell roundToHalf(FluidSolver::Cell cell) {
    using Vec = decltype(cell.v);
    const Bits bits = reinterpret<Bits>(cell.v);
    const Bits magnitude = bits & kMagnitudeMask;
    const Bits sign = bits ^ magnitude;
    Bits normal = (magnitude + (kDroppedMask >> 1) + ((magnitude >> kDroppedBits) & 1u)) & ~kDroppedMask;
    normal = select(reinterpret<Bits>(normal > kLargestHalf), Bits{} + kInfinity, normal);
    const Vec small = (reinterpret<Vec>(magnitude) + kSubnormalShift) - kSubnormalShift;
    Bits rounded = select(reinterpret<Bits>(magnitude < kSmallestNormal), reinterpret<Bits>(small), normal);
    rounded = select(reinterpret<Bits>(magnitude >= kInfinity), magnitude, rounded);
    return FluidSolver::Cell{reinterpret<Vec>(rounded | sign)};
}

float clampUnit(float value) {
    return std::fmin(std::fmax(value, 0.0f), 1.0f);
}

uint8_t toByte(float value) {
    return static_cast<uint8_t>(clampUnit(value) * kByteMax + 0.5f);
}

// A colour as drawn into the sources, as the value it adds.
FluidSolver::Cell sourceValue(const float* colour) {
    return roundToHalf(FluidSolver::Cell{{clampUnit(colour[0]), clampUnit(colour[1]) * 2.0f - 1.0f,
                                          clampUnit(colour[2]) * 2.0f - 1.0f, clampUnit(colour[3])}});
}

} // namespace

const std::vector<FluidSolver::Pass>& FluidSolver::stepPasses() {
    static const std::vector<Pass> passes = [] {
        std::vector<Pass> p;
        const auto project = [&p] {
            p.push_back({2, Div, 1, kNoSecond, 1});
            p.push_back({3, Bounds, 2, kNoSecond, 0});
            p.push_back({0, Clear, 3, kNoSecond, 0});
            for (int i = 0; i < kPressureIterations; ++i) {
                p.push_back({2, LinsolveU, 3, 0, 1});
                p.push_back({0, Bounds, 2, kNoSecond, 0});
            }
            p.push_back({2, Undiv, 1, 0, 1});
            p.push_back({1, Bounds, 2, kNoSecond, 0});
        };
        p.push_back({1, Sum, 0, kSources, 1});
        for (int i = 0; i < kDiffusionIterations; ++i) {
            p.push_back({2, LinsolveDUV, 1, kSources, 1});
            p.push_back({kSources, Bounds, 2, kNoSecond, 0});
        }
        p.push_back({1, Texcopy, kSources, kNoSecond, 0});
        project();
        p.push_back({0, AdvectUV, 1, kNoSecond, 1});
        p.push_back({1, Bounds, 0, kNoSecond, 0});
        project();
        p.push_back({0, AdvectD, 1, kNoSecond, 1});
        p.push_back({kDisplay, DebugDisplay, 0, kNoSecond, 0});
        return p;
    }();
    return passes;
}

FluidSolver::Parameters FluidSolver::parameters(int width, int height, float diffusion) {
    const float a = kTimeStep * diffusion * width * height;
    return Parameters{a,
                      1.0f / (4.0f * a + 1.0f),
                      kPressureA,
                      kPressureC,
                      kCellSpacing,
                      static_cast<float>(width),
                      static_cast<float>(height),
                      width * kTimeStep};
}

float FluidSolver::toHalf(float value) {
    return roundToHalf(Cell{Vec{value, 0.0f, 0.0f, 0.0f}}).v[0];
}

FluidSolver::FluidSolver(int width, int height)
    : width(width), height(height), stride(width + 2), parameter(parameters(width, height, 0.0f)),
      grids(kFieldCount, std::vector<Cell>(static_cast<size_t>(width + 2) * (height + 2), Cell{})),
      picture(static_cast<size_t>(width + 2) * (height + 2) * kChannels) {
    // The ring of the fields is marked in alpha, as the card's path marks it.
    for (int j = 0; j < height + 2; ++j) {
        for (int i = 0; i < width + 2; ++i) {
            const bool ring = i == 0 || j == 0 || i == width + 1 || j == height + 1;
            at(0, i, j) = Vec{0.0f, 0.0f, 0.0f, ring ? 1.0f : 0.0f};
        }
    }
    paint();
}

void FluidSolver::takeSources(const float* colours) {
    std::vector<Cell>& sources = grids[kSources];
    for (size_t k = 0; k < sources.size(); ++k) {
        sources[k] = sourceValue(colours + k * kChannels);
    }
}

void FluidSolver::addSource(int x, int y, int w, int h, const float colour[4]) {
    const Cell value = sourceValue(colour);
    for (int j = std::max(y, 0); j < std::min(y + h, height + 2); ++j) {
        for (int i = std::max(x, 0); i < std::min(x + w, width + 2); ++i) {
            at(kSources, i, j) = value.v;
        }
    }
}

void FluidSolver::step() {
    for (const Pass& pass : stepPasses()) {
        runPass(pass);
    }
    std::fill(grids[kSources].begin(), grids[kSources].end(), Cell{});
}

template <typename F>
void FluidSolver::interior(int target, F f) {
    Cell* out = grids[target].data();
    for (int j = 1; j <= height; ++j) {
        for (int i = 1; i <= width; ++i) {
            const size_t k = static_cast<size_t>(j) * stride + i;
            out[k] = roundToHalf(Cell{f(k)});
        }
    }
}

// Each case is the fragment program of the same name, with its order of
// operations, so that both paths round alike.
void FluidSolver::runPass(const Pass& pass) {
    const Parameters& p = parameter;
    const Cell* s = pass.source >= 0 && pass.source < kFieldCount ? grids[pass.source].data() : nullptr;
    const Cell* t = pass.second >= 0 ? grids[pass.second].data() : nullptr;
    const size_t up = stride;
    switch (pass.program) {
    case Sum:
        interior(pass.target, [&](size_t k) { return s[k].v + t[k].v; });
        break;
    case LinsolveDUV:
        interior(pass.target, [&](size_t k) {
            const Vec around = t[k + 1].v + t[k - 1].v + t[k + up].v + t[k - up].v;
            return (s[k].v + p.diffuseA * around) * p.diffuseC;
        });
        break;
    case LinsolveU:
        interior(pass.target, [&](size_t k) {
            const float divergence = s[k].v[3];
            const float around = t[k + 1].v[0] + t[k - 1].v[0] + t[k + up].v[0] + t[k - up].v[0];
            return Vec{(divergence + p.pressureA * around) * p.pressureC, 0.0f, 0.0f, divergence};
        });
        break;
    case Div:
        interior(pass.target, [&](size_t k) {
            const float du = s[k + 1].v[1] - s[k - 1].v[1];
            const float dv = s[k + up].v[2] - s[k - up].v[2];
            return Vec{0.0f, 0.0f, 0.0f, -0.5f * p.cellSpacing * (du + dv)};
        });
        break;
    case Undiv:
        interior(pass.target, [&](size_t k) {
            Vec fields = s[k].v;
            const float px = t[k + 1].v[0] - t[k - 1].v[0];
            const float py = t[k + up].v[0] - t[k - up].v[0];
            fields[1] -= 0.5f * px / p.cellSpacing;
            fields[2] -= 0.5f * py / p.cellSpacing;
            return fields;
        });
        break;
    case AdvectUV:
    case AdvectD:
        advect(pass.target, pass.source, pass.program == AdvectUV);
        break;
    case Bounds:
        bounds(pass.target, pass.source);
        break;
    case Texcopy:
        grids[pass.target] = grids[pass.source];
        break;
    case Clear: {
        std::vector<Cell>& out = grids[pass.target];
        for (size_t k = 0; k < out.size(); ++k) {
            out[k].v = Vec{0.0f, 0.0f, 0.0f, s[k].v[3]};
        }
        break;
    }
    case DebugDisplay:
        paint();
        break;
    default:
        break;
    }
}

// A ring cell takes its interior neighbour times the program's factors: the
// velocity across the wall negated, a corner's velocity times zero.
void FluidSolver::bounds(int target, int source) {
    const Vec acrossX{1.0f, -1.0f, 1.0f, 1.0f};
    const Vec acrossY{1.0f, 1.0f, -1.0f, 1.0f};
    const Vec corner{1.0f, -0.0f, -0.0f, 1.0f};
    for (int j = 1; j <= height; ++j) {
        std::copy_n(&grids[source][static_cast<size_t>(j) * stride + 1], width,
                    &grids[target][static_cast<size_t>(j) * stride + 1]);
        at(target, 0, j) = at(source, 1, j) * acrossX;
        at(target, width + 1, j) = at(source, width, j) * acrossX;
    }
    for (int i = 1; i <= width; ++i) {
        at(target, i, 0) = at(source, i, 1) * acrossY;
        at(target, i, height + 1) = at(source, i, height) * acrossY;
    }
    at(target, 0, 0) = at(source, 1, 1) * corner;
    at(target, width + 1, 0) = at(source, width, 1) * corner;
    at(target, 0, height + 1) = at(source, 1, height) * corner;
    at(target, width + 1, height + 1) = at(source, width, height) * corner;
}

// Texel coordinates put a cell's centre at its index plus one half; the
// point looked back to is clamped to the interior centres and sampled
// bilinearly.
void FluidSolver::advect(int target, int source, bool velocity) {
    const Cell* s = grids[source].data();
    const float dt = parameter.advectDt;
    const float highX = parameter.gridWidth + 0.5f;
    const float highY = parameter.gridHeight + 0.5f;
    // fmin and fmax turn a NaN velocity into the wall instead of an index.
    const auto clamp = [](float value, float high) {
        return std::fmin(std::fmax(value, 1.5f), high);
    };
    interior(target, [&](size_t k) {
        const Vec here = s[k].v;
        const int i = static_cast<int>(k % stride);
        const int j = static_cast<int>(k / stride);
        const float x = clamp((i + 0.5f) - dt * here[1], highX) - 0.5f;
        const float y = clamp((j + 0.5f) - dt * here[2], highY) - 0.5f;
        const float baseX = std::floor(x);
        const float baseY = std::floor(y);
        const float fx = x - baseX;
        const float fy = y - baseY;
        const size_t c = static_cast<size_t>(baseY) * stride + static_cast<size_t>(baseX);
        const Vec below = s[c].v * (1.0f - fx) + s[c + 1].v * fx;
        const Vec above = s[c + stride].v * (1.0f - fx) + s[c + stride + 1].v * fx;
        const Vec moved = below * (1.0f - fy) + above * fy;
        return velocity ? Vec{here[0], moved[1], moved[2], here[3]}
                        : Vec{moved[0], here[1], here[2], moved[3]};
    });
}

// Density in warm tones, speed in cool tones, the dye in blue, soft
// saturation; opaque, as the card's display buffer has no alpha.
void FluidSolver::paint() {
    const std::vector<Cell>& fields = grids[0];
    for (size_t k = 0; k < fields.size(); ++k) {
        const Vec f = fields[k].v;
        const float density = std::fmax(f[0], 0.0f);
        const float dye = std::fmax(f[3], 0.0f);
        const float speed = std::sqrt(f[1] * f[1] + f[2] * f[2]);
        const float d = density / (1.0f + density);
        const float s = speed / (1.0f + speed);
        const float e = dye / (1.0f + dye);
        uint8_t* texel = &picture[k * kChannels];
        texel[0] = toByte(0.95f * d + 0.2f * e);
        texel[1] = toByte(0.55f * d + 0.45f * s);
        texel[2] = toByte(0.2f * d + 0.9f * s + 0.6f * e);
        texel[3] = static_cast<uint8_t>(kByteMax);
    }
}

void FluidSolver::readState(float* out) const {
    for (int j = 1; j <= height; ++j) {
        std::memcpy(out + static_cast<size_t>(j - 1) * width * kChannels,
                    &grids[0][static_cast<size_t>(j) * stride + 1], sizeof(Cell) * width);
    }
}

void FluidSolver::readGrid(int index, float* out) const {
    if (index >= 0 && index < kFieldCount) {
        std::memcpy(out, grids[index].data(), sizeof(Cell) * grids[index].size());
    }
}
