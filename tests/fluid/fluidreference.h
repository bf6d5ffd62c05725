#pragma once

// A CPU model of one fluid step, written from what each program is for and
// from the pass order, to check the card's results against. It keeps grids
// like the solver's buffers, rounds every stored value to a 16-bit float as
// they do, and leaves the ring of a grid alone in interior passes.

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace FluidReference {

using Cell = std::array<float, 4>;
using Grid = std::vector<Cell>;
enum Channel { Red, Green, Blue, Alpha };

// Round to the nearest 16-bit float (ties to even), back in a float.
inline float toHalf(float value) {
    if (!std::isfinite(value)) {
        return value;
    }
    int exponent = 0;
    std::frexp(std::fabs(value), &exponent);
    // 11 significant bits; below 2^-14 the spacing stays 2^-24.
    const float unit = std::ldexp(1.0f, std::max(exponent - 11, -24));
    const float rounded = std::nearbyint(std::fabs(value) / unit) * unit;
    constexpr float kLargest = 65504.0f;
    return std::copysign(rounded > kLargest ? INFINITY : rounded, value);
}

class Model {
public:
    Model(int n, int m) : n(n), m(m), grids(5, Grid((n + 2) * (m + 2))) {
        for (int y = 0; y < m + 2; ++y) {
            for (int x = 0; x < n + 2; ++x) {
                cell(0, x, y)[Alpha] = (x == 0 || y == 0 || x == n + 1 || y == m + 1) ? 1.0f : 0.0f;
            }
        }
    }

    // A source quad over cells [x, x + w) x [y, y + h), ring included in the
    // numbering, with the colour the caller draws.
    void addSource(int x, int y, int w, int h, const Cell& colour) {
        const Cell value{colour[Red], colour[Green] * 2.0f - 1.0f, colour[Blue] * 2.0f - 1.0f, colour[Alpha]};
        for (int j = y; j < y + h; ++j) {
            for (int i = x; i < x + w; ++i) {
                cell(4, i, j) = rounded(value);
            }
        }
    }

    void step() {
        pass(1, 1, [&](int i, int j) { return add(at(0, i, j), at(4, i, j)); });
        const float a = 0.1f * kDiffusion * n * m;
        const float c = 1.0f / (4.0f * a + 1.0f);
        for (int k = 0; k < 10; ++k) {
            pass(2, 1, [&](int i, int j) {
                const Cell around =
                    add(add(at(4, i + 1, j), at(4, i - 1, j)), add(at(4, i, j + 1), at(4, i, j - 1)));
                Cell out;
                for (int ch = 0; ch < 4; ++ch) {
                    out[ch] = (at(1, i, j)[ch] + a * around[ch]) * c;
                }
                return out;
            });
            bounds(4, 2);
        }
        pass(1, 0, [&](int i, int j) { return at(4, i, j); });
        project();
        advect(true);
        bounds(1, 0);
        project();
        advect(false);
        pass(4, 0, [](int, int) { return Cell{0, 0, 0, 0}; });
    }

    // The interior cell (i, j), counted from 0, of the fields.
    const Cell& fields(int i, int j) const { return at(0, i + 1, j + 1); }

private:
    static constexpr float kDiffusion = 0.0f;

    static Cell rounded(const Cell& c) {
        return Cell{toHalf(c[0]), toHalf(c[1]), toHalf(c[2]), toHalf(c[3])};
    }
    static Cell add(const Cell& a, const Cell& b) {
        return Cell{a[0] + b[0], a[1] + b[1], a[2] + b[2], a[3] + b[3]};
    }
    Cell& cell(int g, int i, int j) { return grids[g][static_cast<size_t>(j) * (n + 2) + i]; }
    const Cell& at(int g, int i, int j) const { return grids[g][static_cast<size_t>(j) * (n + 2) + i]; }

    // The divergence in alpha, the pressure in red, as the programs keep them.
    void project() {
        pass(2, 1, [&](int i, int j) {
            const float du = at(1, i + 1, j)[Green] - at(1, i - 1, j)[Green];
            const float dv = at(1, i, j + 1)[Blue] - at(1, i, j - 1)[Blue];
            return Cell{0.0f, 0.0f, 0.0f, -0.5f * (du + dv)};
        });
        bounds(3, 2);
        pass(0, 0, [&](int i, int j) { return Cell{0.0f, 0.0f, 0.0f, at(3, i, j)[Alpha]}; });
        for (int k = 0; k < 5; ++k) {
            pass(2, 1, [&](int i, int j) {
                const float around =
                    at(0, i + 1, j)[Red] + at(0, i - 1, j)[Red] + at(0, i, j + 1)[Red] + at(0, i, j - 1)[Red];
                return Cell{(at(3, i, j)[Alpha] + around) * 0.25f, 0.0f, 0.0f, at(3, i, j)[Alpha]};
            });
            bounds(0, 2);
        }
        pass(2, 1, [&](int i, int j) {
            Cell fields = at(1, i, j);
            fields[Green] -= 0.5f * (at(0, i + 1, j)[Red] - at(0, i - 1, j)[Red]);
            fields[Blue] -= 0.5f * (at(0, i, j + 1)[Red] - at(0, i, j - 1)[Red]);
            return fields;
        });
        bounds(1, 2);
    }

    // Writes f into grid target: the interior for inset 1, all of it for 0.
    template <typename F>
    void pass(int target, int inset, F f) {
        Grid out = grids[target];
        for (int j = inset; j < m + 2 - inset; ++j) {
            for (int i = inset; i < n + 2 - inset; ++i) {
                out[static_cast<size_t>(j) * (n + 2) + i] = rounded(f(i, j));
            }
        }
        grids[target] = out;
    }

    // Ring cells copy their interior neighbour, the velocity component across
    // the wall negated; corners have no velocity.
    void bounds(int target, int source) {
        pass(target, 0, [&](int i, int j) {
            const int ii = std::clamp(i, 1, n);
            const int jj = std::clamp(j, 1, m);
            Cell v = at(source, ii, jj);
            if (ii != i && jj != j) {
                v[Green] = v[Blue] = 0.0f;
            } else if (ii != i) {
                v[Green] = -v[Green];
            } else if (jj != j) {
                v[Blue] = -v[Blue];
            }
            return v;
        });
    }

    // From grid 1 into grid 0: traces each interior cell back by dt times its
    // velocity (cells), clamps to the interior centres and interpolates
    // bilinearly the velocity, or else the density and the dye.
    void advect(bool velocity) {
        const float dt = n * 0.1f;
        pass(0, 1, [&](int i, int j) {
            const Cell& here = at(1, i, j);
            const float x = std::clamp(i - dt * here[Green], 1.0f, static_cast<float>(n));
            const float y = std::clamp(j - dt * here[Blue], 1.0f, static_cast<float>(m));
            const int x0 = static_cast<int>(x);
            const int y0 = static_cast<int>(y);
            Cell moved;
            const float fx = x - x0;
            const float fy = y - y0;
            for (int ch = 0; ch < 4; ++ch) {
                const float below = at(1, x0, y0)[ch] * (1 - fx) + at(1, x0 + 1, y0)[ch] * fx;
                const float above = at(1, x0, y0 + 1)[ch] * (1 - fx) + at(1, x0 + 1, y0 + 1)[ch] * fx;
                moved[ch] = below * (1 - fy) + above * fy;
            }
            return velocity ? Cell{here[Red], moved[Green], moved[Blue], here[Alpha]}
                            : Cell{moved[Red], here[Green], here[Blue], moved[Alpha]};
        });
    }

    int n;
    int m;
    std::vector<Grid> grids;
};

} // namespace FluidReference
