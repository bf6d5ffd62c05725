#pragma once

#include <cfloat>
#include <cmath>

// Small float vector and matrix values for mesh data, animation, the camera
// and the water. All arithmetic is in 32-bit floats and never allocates.

// Tolerance of vector equality; exact comparison throughout the game.
constexpr float kVectorEpsilon = 0.0f;

struct vec2 {
    float x = 0.0f;
    float y = 0.0f;

    constexpr vec2() = default;
    constexpr vec2(float x, float y) : x(x), y(y) {}

    static const vec2 zero;
    static const vec2 unitX;
    static const vec2 unitY;

    constexpr vec2 operator+(const vec2& b) const { return {x + b.x, y + b.y}; }
    constexpr vec2 operator-(const vec2& b) const { return {x - b.x, y - b.y}; }
    constexpr vec2 operator*(float s) const { return {x * s, y * s}; }
    // Equality within kVectorEpsilon; equals() takes an explicit tolerance.
    bool operator==(const vec2& b) const { return equals(b, kVectorEpsilon); }
    bool operator!=(const vec2& b) const { return !(*this == b); }
    bool equals(const vec2& b, float tolerance) const;
};

inline constexpr vec2 vec2::zero{0.0f, 0.0f};
inline constexpr vec2 vec2::unitX{1.0f, 0.0f};
inline constexpr vec2 vec2::unitY{0.0f, 1.0f};

struct vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr vec3() = default;
    constexpr vec3(float x, float y, float z) : x(x), y(y), z(z) {}

    constexpr vec3 operator+(const vec3& b) const { return {x + b.x, y + b.y, z + b.z}; }
    constexpr vec3 operator-(const vec3& b) const { return {x - b.x, y - b.y, z - b.z}; }
    constexpr vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
    constexpr vec3 operator-() const { return {-x, -y, -z}; }
    // Division by zero gives the largest finite float in every component
    // instead of a fault.
    vec3 operator/(float s) const;
    vec3& operator+=(const vec3& b);
    vec3& operator-=(const vec3& b);
    vec3& operator/=(float s);
    bool operator==(const vec3& b) const { return equals(b, kVectorEpsilon); }
    bool operator!=(const vec3& b) const { return !(*this == b); }
    // Every component within tolerance; exact when tolerance is 0.
    bool equals(const vec3& b, float tolerance) const;

    float lengthSquared() const { return x * x + y * y + z * z; }
    float length() const { return std::sqrt(lengthSquared()); }
    vec3 normalized() const { return *this / length(); }
};

constexpr vec3 operator*(float s, const vec3& a) {
    return a * s;
}

constexpr float dot(const vec3& a, const vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

constexpr vec3 cross(const vec3& a, const vec3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - b.z * a.x, a.x * b.y - a.y * b.x};
}

struct vec4 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;

    constexpr vec4() = default;
    constexpr vec4(float x, float y, float z, float w) : x(x), y(y), z(z), w(w) {}
};

// 3 x 3 matrix in row-major order: m[3 * r + c] is row r, column c.
struct mat3 {
    float m[9] = {1.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 1.0f};

    constexpr mat3() = default;
    constexpr mat3(float m00, float m01, float m02, float m10, float m11, float m12, float m20, float m21,
                   float m22)
        : m{m00, m01, m02, m10, m11, m12, m20, m21, m22} {}

    static constexpr mat3 identity() { return mat3(); }
    // Right-handed rotation by angle (radians) about a unit axis.
    static mat3 rotation(const vec3& axis, float angle);

    constexpr float at(int row, int column) const { return m[3 * row + column]; }
    constexpr vec3 column(int c) const { return {m[c], m[c + 3], m[c + 6]}; }
    mat3 operator*(const mat3& b) const;
    vec3 operator*(const vec3& v) const;
    mat3 operator-() const;
    mat3 transposed() const;
};
