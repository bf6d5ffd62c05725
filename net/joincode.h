#pragma once

#include "net/randombytes.h"

#include <optional>
#include <string>
#include <string_view>

// The code a player reads to a friend to join a game: kLength symbols of an
// alphabet without the look-alikes 0, O, 1, I and L, shown in groups of
// three ("KTR-4QX-M7P"). docs/protocol.md gives the arithmetic behind the
// length.
class JoinCode {
public:
    static constexpr const char* kAlphabet = "23456789ABCDEFGHJKMNPQRSTUVWXYZ";
    static constexpr size_t kAlphabetSize = 31;
    static constexpr size_t kLength = 9;
    static constexpr size_t kGroup = 3;

    // kLength symbols, each uniform over the alphabet.
    static std::string generate(const RandomBytes::Source& random);
    // The canonical code (upper case, no dashes) of what a player typed:
    // case, dashes and spaces are forgiven; nothing else.
    static std::optional<std::string> parse(std::string_view typed);
    // The canonical code in groups: "KTR4QXM7P" as "KTR-4QX-M7P".
    static std::string format(const std::string& code);
};
