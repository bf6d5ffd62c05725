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
