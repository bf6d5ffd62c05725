#include "fluid/fluidsolver.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__x86_64__)
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace {

constexpr float kTimeStep = 0.1f;
constexpr int kDiffusionIterations = 10;
constexpr int kPressureIterations = 5;
constexpr float kPressureA = 1.0f;
constexpr float kPressureC = 0.25f;
constexpr float kCellSpacing = 1.0f;
constexpr int kChannels = 4;
constexpr float kByteMax = 255.0f;

// Signed lanes: SSE2 compares only signed integers, and a magnitude fits.
using Bits = int32_t __attribute__((vector_size(16)));

// Bit patterns of float magnitudes.
constexpr int32_t kMagnitudeMask = 0x7fffffff;
constexpr int32_t kInfinity = 0x7f800000;
constexpr int32_t kLargestHalf = 0x477fe000;    // 65504
constexpr int32_t kSmallestNormal = 0x38800000; // 2^-14
// A half float keeps 10 of a float's 23 fraction bits.
constexpr int kDroppedBits = 13;
constexpr int32_t kDroppedMask = (1 << kDroppedBits) - 1;
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

// All four channels at once with integer operations, for processors without
// a half-float conversion. Infinity overflows to itself; NaN stays NaN.
FluidSolver::Cell roundToHalf(FluidSolver::Cell cell) {
    using Vec = decltype(cell.v);
    const Bits bits = reinterpret<Bits>(cell.v);
    const Bits magnitude = bits & kMagnitudeMask;
    const Bits sign = bits ^ magnitude;
    Bits normal = (magnitude + (kDroppedMask >> 1) + ((magnitude >> kDroppedBits) & 1)) & ~kDroppedMask;
    normal = select(normal > kLargestHalf, Bits{} + kInfinity, normal);
    const Vec small = (reinterpret<Vec>(magnitude) + kSubnormalShift) - kSubnormalShift;
    Bits rounded = select(magnitude < kSmallestNormal, reinterpret<Bits>(small), normal);
    rounded = select(magnitude > kInfinity, magnitude, rounded);
    return FluidSolver::Cell{reinterpret<Vec>(rounded | sign)};
}

void roundCellsPortable(FluidSolver::Cell* cells, size_t count) {
    for (size_t k = 0; k < count; ++k) {
        cells[k] = roundToHalf(cells[k]);
    }
}

#if defined(__x86_64__)
// The processor's own conversion there and back, two cells an instruction.
__attribute__((target("avx,f16c"))) void roundCellsF16c(FluidSolver::Cell* cells, size_t count) {
    float* values = reinterpret_cast<float*>(&cells[0].v);
    size_t k = 0;
    for (; k + 2 <= count; k += 2) {
        const __m256 pair = _mm256_loadu_ps(values + k * kChannels);
        _mm256_storeu_ps(values + k * kChannels,
                         _mm256_cvtph_ps(_mm256_cvtps_ph(pair, _MM_FROUND_TO_NEAREST_INT)));
    }
    for (; k < count; ++k) {
        const __m128 cell = _mm_loadu_ps(values + k * kChannels);
        _mm_storeu_ps(values + k * kChannels, _mm_cvtph_ps(_mm_cvtps_ph(cell, _MM_FROUND_TO_NEAREST_INT)));
    }
}
#endif

using RoundCells = void (*)(FluidSolver::Cell*, size_t);

RoundCells chooseRounding() {
#if defined(__x86_64__)
    __builtin_cpu_init();
    // Not every compiler names F16C to __builtin_cpu_supports: its CPUID bit.
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    const bool f16c = __get_cpuid(1, &eax, &ebx, &ecx, &edx) && (ecx & bit_F16C) != 0;
    if (__builtin_cpu_supports("avx") && f16c) {
        return roundCellsF16c;
    }
#endif
    return roundCellsPortable;
}

// Every stored value of every pass goes through this; chosen on first use,
// so that a solver built during static initialisation finds it too.
void roundCells(FluidSolver::Cell* cells, size_t count) {
    static const RoundCells chosen = chooseRounding();
    chosen(cells, count);
}

// NaN counts as 0.
float clampUnit(float value) {
    const float positive = value > 0.0f ? value : 0.0f;
    return positive < 1.0f ? positive : 1.0f;
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

void FluidSolver::toHalf(Cell* cells, size_t count) {
    roundCells(cells, count);
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
        const float* c = colours + k * kChannels;
        sources[k].v = Vec{clampUnit(c[0]), clampUnit(c[1]) * 2.0f - 1.0f, clampUnit(c[2]) * 2.0f - 1.0f,
                           clampUnit(c[3])};
    }
    roundCells(sources.data(), sources.size());
}

void FluidSolver::addSource(int x, int y, int w, int h, const float colour[4]) {
    Cell value{Vec{clampUnit(colour[0]), clampUnit(colour[1]) * 2.0f - 1.0f,
                   clampUnit(colour[2]) * 2.0f - 1.0f, clampUnit(colour[3])}};
    roundCells(&value, 1);
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
    for (int j = 1; j <= height; ++j) {
        Cell* row = &grids[target][static_cast<size_t>(j) * stride];
        for (int i = 1; i <= width; ++i) {
            row[i].v = f(i, j, static_cast<size_t>(j) * stride + i);
        }
        roundCells(row + 1, width);
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
        interior(pass.target, [&](int, int, size_t k) { return s[k].v + t[k].v; });
        break;
    case LinsolveDUV:
        interior(pass.target, [&](int, int, size_t k) {
            const Vec around = t[k + 1].v + t[k - 1].v + t[k + up].v + t[k - up].v;
            return (s[k].v + p.diffuseA * around) * p.diffuseC;
        });
        break;
    case LinsolveU:
        interior(pass.target, [&](int, int, size_t k) {
            const float divergence = s[k].v[3];
            const float around = t[k + 1].v[0] + t[k - 1].v[0] + t[k + up].v[0] + t[k - up].v[0];
            return Vec{(divergence + p.pressureA * around) * p.pressureC, 0.0f, 0.0f, divergence};
        });
        break;
    case Div:
        interior(pass.target, [&](int, int, size_t k) {
            const float du = s[k + 1].v[1] - s[k - 1].v[1];
            const float dv = s[k + up].v[2] - s[k - up].v[2];
            return Vec{0.0f, 0.0f, 0.0f, -0.5f * p.cellSpacing * (du + dv)};
        });
        break;
    case Undiv:
        interior(pass.target, [&](int, int, size_t k) {
            // Density and dye lose 0.5 * 0 / h, which leaves them as they are.
            const Vec gradient{0.0f, t[k + 1].v[0] - t[k - 1].v[0], t[k + up].v[0] - t[k - up].v[0], 0.0f};
            return s[k].v - 0.5f * gradient / p.cellSpacing;
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
    // A NaN velocity looks back to the wall, not to an index.
    const auto clamp = [](float value, float high) {
        const float low = value >= 1.5f ? value : 1.5f;
        return low < high ? low : high;
    };
    interior(target, [&](int i, int j, size_t k) {
        const Vec here = s[k].v;
        const float x = clamp((i + 0.5f) - dt * here[1], highX) - 0.5f;
        const float y = clamp((j + 0.5f) - dt * here[2], highY) - 0.5f;
        // Positive after the clamp: truncation is the floor.
        const int baseX = static_cast<int>(x);
        const int baseY = static_cast<int>(y);
        const float fx = x - baseX;
        const float fy = y - baseY;
        const size_t c = static_cast<size_t>(baseY) * stride + baseX;
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
    const Vec densityTone{0.95f, 0.55f, 0.2f, 0.0f};
    const Vec speedTone{0.0f, 0.45f, 0.9f, 0.0f};
    const Vec dyeTone{0.2f, 0.0f, 0.6f, 0.0f};
    const Vec opaque{0.0f, 0.0f, 0.0f, 1.0f};
    const std::vector<Cell>& fields = grids[0];
    int anyColour = 0;
    for (size_t k = 0; k < fields.size(); ++k) {
        const Vec f = fields[k].v;
        const float density = f[0] > 0.0f ? f[0] : 0.0f;
        const float dye = f[3] > 0.0f ? f[3] : 0.0f;
        const Vec amount{density, std::sqrt(f[1] * f[1] + f[2] * f[2]), dye, 0.0f};
        const Vec soft = amount / (1.0f + amount);
        Vec colour = soft[0] * densityTone + soft[1] * speedTone + soft[2] * dyeTone + opaque;
        colour = colour > 0.0f ? colour : Vec{};
        colour = colour < 1.0f ? colour : Vec{} + 1.0f;
        const Bits bytes = __builtin_convertvector(colour * kByteMax + 0.5f, Bits);
        for (int ch = 0; ch < kChannels; ++ch) {
            picture[k * kChannels + ch] = static_cast<uint8_t>(bytes[ch]);
        }
        anyColour |= bytes[0] | bytes[1] | bytes[2];
    }
    pictureBlack = anyColour == 0;
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
