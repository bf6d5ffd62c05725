#include "keep/initext.h"

#include <ini.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

const char* const kFlagNames[] = {"off", "on", nullptr};
// A version beyond any this game could have written is refused as a number.
constexpr long kMaxVersion = 1000000;

struct ParseState {
    std::map<std::pair<std::string, std::string>, std::string>* values;
    std::string duplicate;
};

std::string where(const std::string& section, const std::string& key) {
    return "[" + section + "] " + key;
}

} // namespace

bool IniText::parse(const std::string& text, std::string& reason) {
    values.clear();
    if (text.find('\0') != std::string::npos) {
        reason = "holds a zero byte";
        return false;
    }
    std::size_t line = 1;
    for (std::size_t start = 0; start < text.size(); ++line) {
        std::size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        if (end - start >= kMaxLine - 1) {
            reason = "line " + std::to_string(line) + " is too long";
            return false;
        }
        start = end;
    }
    ParseState state{&values, {}};
    const auto handler = [](void* user, const char* section, const char* name, const char* value) -> int {
        auto* s = static_cast<ParseState*>(user);
        // A continuation line of a value arrives as the same key again.
        if (!s->values->emplace(std::make_pair(section, name), value).second && s->duplicate.empty()) {
            s->duplicate = where(section, name);
        }
        return 1;
    };
    const int error = ini_parse_string(text.c_str(), handler, &state);
    if (error != 0) {
        reason = error < 0 ? "cannot be parsed" : "syntax error on line " + std::to_string(error);
        return false;
    }
    if (!state.duplicate.empty()) {
        reason = state.duplicate + " is given twice";
        return false;
    }
    return true;
}

int IniText::countKeys(const std::string& section) const {
    int count = 0;
    for (const auto& entry : values) {
        count += entry.first.first == section ? 1 : 0;
    }
    return count;
}

bool IniText::parseVersion(const std::string& text, long version, std::string& reason) {
    if (!parse(text, reason)) {
        return false;
    }
    long found = 0;
    if (!getInt("sporrik", "version", 0, kMaxVersion, found, reason)) {
        return false;
    }
    if (found != version) {
        reason = "version " + std::to_string(found) + " is not " + std::to_string(version);
        return false;
    }
    return true;
}

const std::string* IniText::find(const std::string& section, const std::string& key) const {
    const auto found = values.find({section, key});
    return found == values.end() ? nullptr : &found->second;
}

const std::string* IniText::require(const std::string& section, const std::string& key,
                                    std::string& reason) const {
    const std::string* value = find(section, key);
    if (value == nullptr) {
        reason = where(section, key) + " is missing";
    }
    return value;
}

bool IniText::getInt(const std::string& section, const std::string& key, long min, long max, long& out,
                     std::string& reason) const {
    const std::string* value = require(section, key, reason);
    if (value == nullptr) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long n = std::strtol(value->c_str(), &end, 10);
    if (value->empty() || *end != '\0' || errno != 0 || n < min || n > max) {
        reason = where(section, key) + " is not a whole number from " + std::to_string(min) + " to " +
                 std::to_string(max);
        return false;
    }
    out = n;
    return true;
}

bool IniText::getFloat(const std::string& section, const std::string& key, float min, float max, float& out,
                       std::string& reason) const {
    const std::string* value = require(section, key, reason);
    if (value == nullptr) {
        return false;
    }
    char* end = nullptr;
    const float f = std::strtof(value->c_str(), &end);
    if (value->empty() || *end != '\0' || !std::isfinite(f) || f < min || f > max) {
        reason = where(section, key) + " is not a number from " + std::to_string(min) + " to " +
                 std::to_string(max);
        return false;
    }
    out = f;
    return true;
}

bool IniText::getChoice(const std::string& section, const std::string& key, const char* const* names,
                        int& out, std::string& reason) const {
    const std::string* value = require(section, key, reason);
    if (value == nullptr) {
        return false;
    }
    for (int i = 0; names[i] != nullptr; ++i) {
        if (*value == names[i]) {
            out = i;
            return true;
        }
    }
    reason = where(section, key) + " has an unknown value";
    return false;
}

bool IniText::getFlag(const std::string& section, const std::string& key, bool& out,
                      std::string& reason) const {
    int index = 0;
    if (!getChoice(section, key, kFlagNames, index, reason)) {
        return false;
    }
    out = index == 1;
    return true;
}
