#pragma once

// A CPU model of one fluid step, written from what each program is for and
// from the pass order, to check the card's results against. It keeps five
// grids like the solver's buffers, rounds every stored value to a 16-bit float
// as they do, and leaves the ring of a grid alone in interior passes.

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace FluidReference {

using Cell = std::array<float, 4>;
enum Channel { Red = 0, Green = 1, Blue = 2, Alpha = 3 };

// Round to the nearest 16-bit float (ties to even), back in a float.
inline float toHalf(float value) {
    if (!std::isfinite(value)) {
        return value;
    }
    const float magnitude = std::fabs(value);
    constexpr float kLargest = 65504.0f;
    if (magnitude >= 65520.0f) {
        return std::copysign(INFINITY, value);
    }
    int exponent = 0;
    std::frexp(magnitude, &exponent); // magnitude = f * 2^exponent, f in [0.5, 1)
    // Normal halves keep 11 significant bits; below 2^-14 the spacing stays 2^-24.
    const int unitExponent = exponent - 11 < -24 ? -24 : exponent - 11;
    const float unit = std::ldexp(1.0f, unitExponent);
    const float rounded = std::nearbyint(magnitude / unit) * unit;
    return std::copysign(rounded > kLargest ? kLargest : rounded, value);
}

class Grid {
public:
    Grid(int width, int height) : width(width), height(height), cells(static_cast<size_t>(width) * height) {}
    Cell& at(int x, int y) { return cells[static_cast<size_t>(y) * width + x]; }
    const Cell& at(int x, int y) const { return cells[static_cast<size_t>(y) * width + x]; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }

private:
    int width;
    int height;
    std::vector<Cell> cells;
};

class Model {
public:
    Model(int n, int m) : n(n), m(m), grids(6, Grid(n + 2, m + 2)) {
        // The ring of the fields is marked at creation.
        for (int x = 0; x < n + 2; ++x) {
            for (int y = 0; y < m + 2; ++y) {
                if (x == 0 || y == 0 || x == n + 1 || y == m + 1) {
                    grids[0].at(x, y)[Alpha] = 1.0f;
                }
            }
        }
    }

    // A source quad over cells [x, x + w) x [y, y + h) (ring included in the
    // numbering) with the colour the caller would draw.
    void addSource(int x, int y, int w, int h, const Cell& colour) {
        const Cell value{colour[Red], colour[Green] * 2.0f - 1.0f, colour[Blue] * 2.0f - 1.0f, colour[Alpha]};
        for (int j = y; j < y + h; ++j) {
            for (int i = x; i < x + w; ++i) {
                grids[4].at(i, j) = rounded(value);
            }
        }
    }

    void step() {
        pass(1, 1, [&](int i, int j) { return add(at(0, i, j), at(4, i, j)); });
        const float a = 0.1f * diffusion * n * m;
        const float c = 1.0f / (4.0f * a + 1.0f);
        for (int k = 0; k < 10; ++k) {
            pass(2, 1, [&](int i, int j) {
                const Cell around =
                    add(add(add(at(4, i + 1, j), at(4, i - 1, j)), at(4, i, j + 1)), at(4, i, j - 1));
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
        advect(0, 1, true);
        bounds(1, 0);
        project();
        advect(0, 1, false);
        pass(4, 0, [](int, int) { return Cell{0, 0, 0, 0}; });
    }

    // Projection alone, on grid 1, as the step runs it.
    void project() {
        pass(2, 1, [&](int i, int j) {
            const float du = at(1, i + 1, j)[Green] - at(1, i - 1, j)[Green];
            const float dv = at(1, i, j + 1)[Blue] - at(1, i, j - 1)[Blue];
            return Cell{0.0f, 0.0f, 0.0f, -0.5f * 1.0f * (du + dv)};
        });
        bounds(3, 2);
        pass(0, 0, [&](int i, int j) { return Cell{0.0f, 0.0f, 0.0f, at(3, i, j)[Alpha]}; });
        for (int k = 0; k < 5; ++k) {
            pass(2, 1, [&](int i, int j) {
                const float divergence = at(3, i, j)[Alpha];
                const float around =
                    at(0, i + 1, j)[Red] + at(0, i - 1, j)[Red] + at(0, i, j + 1)[Red] + at(0, i, j - 1)[Red];
                return Cell{(divergence + 1.0f * around) * 0.25f, 0.0f, 0.0f, divergence};
            });
            bounds(0, 2);
        }
        pass(2, 1, [&](int i, int j) {
            Cell fields = at(1, i, j);
            fields[Green] -= 0.5f * (at(0, i + 1, j)[Red] - at(0, i - 1, j)[Red]) / 1.0f;
            fields[Blue] -= 0.5f * (at(0, i, j + 1)[Red] - at(0, i, j - 1)[Red]) / 1.0f;
            return fields;
        });
        bounds(1, 2);
    }

    Grid& grid(int index) { return grids[index]; }
    const Cell& fields(int i, int j) const { return grids[0].at(i + 1, j + 1); }
    float diffusion = 0.0f;

private:
    static Cell rounded(const Cell& c) {
        return Cell{toHalf(c[0]), toHalf(c[1]), toHalf(c[2]), toHalf(c[3])};
    }
    static Cell add(const Cell& a, const Cell& b) {
        return Cell{a[0] + b[0], a[1] + b[1], a[2] + b[2], a[3] + b[3]};
    }
    const Cell& at(int g, int i, int j) const { return grids[g].at(i, j); }

    // Writes f into grid target: the interior for inset 1, all of it for 0.
    template <typename F>
    void pass(int target, int inset, F f) {
        Grid out = grids[target];
        for (int j = inset; j < m + 2 - inset; ++j) {
            for (int i = inset; i < n + 2 - inset; ++i) {
                out.at(i, j) = rounded(f(i, j));
            }
        }
        grids[target] = out;
    }

    // Ring cells copy their interior neighbour, the velocity component
    // across the wall negated; corners have no velocity.
    void bounds(int target, int source) {
        pass(target, 0, [&](int i, int j) {
            const int ii = i < 1 ? 1 : (i > n ? n : i);
            const int jj = j < 1 ? 1 : (j > m ? m : j);
            Cell v = at(source, ii, jj);
            const bool wallX = ii != i;
            const bool wallY = jj != j;
            if (wallX && wallY) {
                v[Green] = 0.0f;
                v[Blue] = 0.0f;
            } else if (wallX) {
                v[Green] = -v[Green];
            } else if (wallY) {
                v[Blue] = -v[Blue];
            }
            return v;
        });
    }

    // Traces each interior cell back by dt times its velocity (cells), clamps
    // to the interior centres and interpolates bilinearly.
    void advect(int target, int source, bool velocity) {
        const float dt = n * 0.1f;
        pass(target, 1, [&](int i, int j) {
            const Cell& here = at(source, i, j);
            float x = i - dt * here[Green];
            float y = j - dt * here[Blue];
            x = x < 1.0f ? 1.0f : (x > n ? static_cast<float>(n) : x);
            y = y < 1.0f ? 1.0f : (y > m ? static_cast<float>(m) : y);
            const int x0 = static_cast<int>(std::floor(x));
            const int y0 = static_cast<int>(std::floor(y));
            const float fx = x - x0;
            const float fy = y - y0;
            Cell moved;
            for (int ch = 0; ch < 4; ++ch) {
                const float below = at(source, x0, y0)[ch] * (1 - fx) + at(source, x0 + 1, y0)[ch] * fx;
                const float above =
                    at(source, x0, y0 + 1)[ch] * (1 - fx) + at(source, x0 + 1, y0 + 1)[ch] * fx;
                moved[ch] = below * (1 - fy) + above * fy;
            }
            if (velocity) {
                return Cell{here[Red], moved[Green], moved[Blue], here[Alpha]};
            }
            return Cell{moved[Red], here[Green], here[Blue], moved[Alpha]};
        });
    }

    int n;
    int m;
    std::vector<Grid> grids;
};

} // namespace FluidReference
