#include "net/joincode.h"

#include <cstdint>
#include <cstring>

namespace {

// The largest multiple of the alphabet's size that a byte holds: bytes at or
// above it are drawn again, so every symbol is equally likely.
constexpr unsigned kUnbiasedLimit = 256 / JoinCode::kAlphabetSize * JoinCode::kAlphabetSize;

static_assert(sizeof("23456789ABCDEFGHJKMNPQRSTUVWXYZ") - 1 == JoinCode::kAlphabetSize,
              "the alphabet's size is its length");

bool inAlphabet(char c) {
    return c != '\0' && std::strchr(JoinCode::kAlphabet, c) != nullptr;
}

} // namespace

std::string JoinCode::generate(const RandomBytes::Source& random) {
    std::string code;
    while (code.size() < kLength) {
        uint8_t bytes[kLength];
        random(bytes, sizeof bytes);
        for (const uint8_t b : bytes) {
            if (b < kUnbiasedLimit && code.size() < kLength) {
                code += kAlphabet[b % kAlphabetSize];
            }
        }
    }
    return code;
}

std::optional<std::string> JoinCode::parse(std::string_view typed) {
    std::string code;
    for (char c : typed) {
        if (c == '-' || c == ' ') {
            continue;
        }
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
        if (!inAlphabet(c) || code.size() == kLength) {
            return std::nullopt;
        }
        code += c;
    }
    if (code.size() != kLength) {
        return std::nullopt;
    }
    return code;
}

std::string JoinCode::format(const std::string& code) {
    std::string shown;
    for (size_t i = 0; i < code.size(); ++i) {
        if (i > 0 && i % kGroup == 0) {
            shown += '-';
        }
        shown += code[i];
    }
    return shown;
}
