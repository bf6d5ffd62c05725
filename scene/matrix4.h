#pragma once

#include <array>

// Column-major 4 x 4 matrices, as OpenGL keeps them.
template <typename T>
using Matrix4x4 = std::array<T, 16>;

// The product a * b: b applies first, as OpenGL composes matrices.
template <typename T>
Matrix4x4<T> multiply(const Matrix4x4<T>& a, const Matrix4x4<T>& b) {
    Matrix4x4<T> out{};
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            T sum = 0;
            for (int k = 0; k < 4; ++k) {
                sum += a[k * 4 + r] * b[c * 4 + k];
            }
            out[c * 4 + r] = sum;
        }
    }
    return out;
}

// Where m (projection * view) puts the world point (x, y, z) in a picture of
// width x height pixels, counted from its lower left corner. False for a
// point nearer the eye's plane than minW, or behind it: it has no place in
// the picture.
inline bool projectToPixels(const Matrix4x4<double>& m, double x, double y, double z, double minW, int width,
                            int height, double& px, double& py) {
    const double w = m[3] * x + m[7] * y + m[11] * z + m[15];
    if (!(w >= minW)) {
        return false;
    }
    px = ((m[0] * x + m[4] * y + m[8] * z + m[12]) / w + 1.0) * 0.5 * width;
    py = ((m[1] * x + m[5] * y + m[9] * z + m[13]) / w + 1.0) * 0.5 * height;
    return true;
}
