#include "mesh/vectormath.h"

namespace {

bool nearlyEqual(float a, float b, float tolerance) {
    if (tolerance == 0.0f) {
        return a == b;
    }
    return std::fabs(a - b) <= tolerance;
}

} // namespace

bool vec2::equals(const vec2& b, float tolerance) const {
    return nearlyEqual(x, b.x, tolerance) && nearlyEqual(y, b.y, tolerance);
}

vec3 vec3::operator/(float s) const {
    if (s == 0.0f) {
        return {FLT_MAX, FLT_MAX, FLT_MAX};
    }
    const float inverse = 1.0f / s;
    return {x * inverse, y * inverse, z * inverse};
}

vec3& vec3::operator+=(const vec3& b) {
    return *this = *this + b;
}

vec3& vec3::operator-=(const vec3& b) {
    return *this = *this - b;
}

vec3& vec3::operator/=(float s) {
    return *this = *this / s;
}

bool vec3::equals(const vec3& b, float tolerance) const {
    return nearlyEqual(x, b.x, tolerance) && nearlyEqual(y, b.y, tolerance) && nearlyEqual(z, b.z, tolerance);
}

mat3 mat3::rotation(const vec3& axis, float angle) {
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    const float t = 1.0f - c;
    const float x = axis.x;
    const float y = axis.y;
    const float z = axis.z;
    return {x * x * t + c,     x * y * t - s * z, x * z * t + s * y, x * y * t + s * z, y * y * t + c,
            y * z * t - s * x, x * z * t - s * y, y * z * t + s * x, z * z * t + c};
}

mat3 mat3::operator*(const mat3& b) const {
    mat3 product;
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            product.m[3 * r + c] = at(r, 0) * b.at(0, c) + at(r, 1) * b.at(1, c) + at(r, 2) * b.at(2, c);
        }
    }
    return product;
}

vec3 mat3::operator*(const vec3& v) const {
    return {at(0, 0) * v.x + at(0, 1) * v.y + at(0, 2) * v.z,
            at(1, 0) * v.x + at(1, 1) * v.y + at(1, 2) * v.z,
            at(2, 0) * v.x + at(2, 1) * v.y + at(2, 2) * v.z};
}

mat3 mat3::operator-() const {
    mat3 negated;
    for (int i = 0; i < 9; ++i) {
        negated.m[i] = -m[i];
    }
    return negated;
}

mat3 mat3::transposed() const {
    return {m[0], m[3], m[6], m[1], m[4], m[7], m[2], m[5], m[8]};
}
