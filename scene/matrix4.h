#pragma once

#include <array>
#include <cmath>

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

// The projection gluPerspective sets (fovy in degrees), as OpenGL keeps it in
// single precision: the passes and the sky's rows project with the very
// matrix the frame draws with, without asking OpenGL for it.
inline Matrix4x4<double> perspectiveAsDrawn(double fovy, double aspect, double zNear, double zFar) {
    const double radians = fovy / 2.0 * 3.14159265358979323846 / 180.0;
    const double cotangent = std::cos(radians) / std::sin(radians);
    const double deltaZ = zFar - zNear;
    Matrix4x4<double> m{};
    m[0] = static_cast<float>(cotangent / aspect);
    m[5] = static_cast<float>(cotangent);
    m[10] = static_cast<float>(-(zFar + zNear) / deltaZ);
    m[11] = -1.0;
    m[14] = static_cast<float>(-2.0 * zNear * zFar / deltaZ);
    return m;
}

// A single-precision matrix in double precision.
inline Matrix4x4<double> widened(const std::array<float, 16>& m) {
    Matrix4x4<double> out{};
    for (size_t i = 0; i < m.size(); ++i) {
        out[i] = m[i];
    }
    return out;
}
