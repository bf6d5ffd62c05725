#include "tools/assetgen/mask.h"

#include <algorithm>
#include <cmath>

Mask Mask::dilated(float radius) const {
    Mask out(w, h);
    int reach = static_cast<int>(std::ceil(radius + 0.5f));
    struct Offset {
        int dx, dy;
        float weight;
    };
    std::vector<Offset> offsets;
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            float weight = std::clamp(radius + 0.5f - std::hypot(float(dx), float(dy)), 0.0f, 1.0f);
            if (weight > 0) {
                offsets.push_back({dx, dy, weight});
            }
        }
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            float best = 0;
            for (const Offset& o : offsets) {
                best = std::max(best, get(x + o.dx, y + o.dy) * o.weight);
            }
            out.at(x, y) = best;
        }
    }
    return out;
}

Mask Mask::blurred(float radius) const {
    int box = std::max(0, static_cast<int>(std::lround(radius / std::sqrt(3.0f))));
    Mask a = *this, b(w, h);
    float norm = 1.0f / (2 * box + 1);
    for (int pass = 0; pass < 3 && box > 0; ++pass) {
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                float sum = 0;
                for (int d = -box; d <= box; ++d) {
                    sum += a.get(x + d, y);
                }
                b.at(x, y) = sum * norm;
            }
        }
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                float sum = 0;
                for (int d = -box; d <= box; ++d) {
                    sum += b.get(x, y + d);
                }
                a.at(x, y) = sum * norm;
            }
        }
    }
    return a;
}

Mask Mask::shifted(int dx, int dy) const {
    Mask out(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            out.at(x, y) = get(x - dx, y - dy);
        }
    }
    return out;
}

bool Mask::bounds(float threshold, int& x0, int& y0, int& x1, int& y1) const {
    x0 = w;
    y0 = h;
    x1 = -1;
    y1 = -1;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (at(x, y) > threshold) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
        }
    }
    return x1 >= 0;
}
