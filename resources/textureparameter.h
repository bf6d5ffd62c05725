#pragma once

#include <cstdint>
#include <variant>
#include <vector>

// A texture parameter value, applied when its texture is bound. The kind is
// the index of the held alternative:
//   0 integer (glTexParameteri), 1 float (glTexParameterf),
//   2 two-word scalar (no OpenGL function), 3 integers (glTexParameteriv),
//   4 floats (glTexParameterfv), 5 two-word scalars (no OpenGL function).
// The array kinds own their values; copies copy them.
class TextureParameter {
public:
    enum Kind { Integer = 0, Float = 1, Scalar = 2, Integers = 3, Floats = 4, Scalars = 5 };

    explicit TextureParameter(int32_t value) : value(value) {}
    explicit TextureParameter(float value) : value(value) {}
    explicit TextureParameter(double value) : value(value) {}
    explicit TextureParameter(std::vector<int32_t> values) : value(std::move(values)) {}
    explicit TextureParameter(std::vector<float> values) : value(std::move(values)) {}
    explicit TextureParameter(std::vector<double> values) : value(std::move(values)) {}

    Kind getKind() const { return static_cast<Kind>(value.index()); }
    // Sends the value for the bound texture of target; false when the kind
    // has no OpenGL function.
    bool apply(unsigned target, unsigned name) const;

private:
    std::variant<int32_t, float, double, std::vector<int32_t>, std::vector<float>, std::vector<double>> value;
};
