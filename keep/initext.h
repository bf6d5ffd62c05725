#pragma once

#include <map>
#include <string>
#include <utility>

// An INI text read by libinih, with what the library leaves to its caller
// refused: lines it would cut (it reads the rest as a line of its own), zero
// bytes (it stops reading there), keys given twice, and syntax errors.
class IniText {
public:
    // libinih's line buffer, its terminating zero and line end included.
    static constexpr std::size_t kMaxLine = 200;

    // False with the reason set when the text is refused.
    bool parse(const std::string& text, std::string& reason);
    // Parses and checks [sporrik] version against the one this build writes.
    bool parseVersion(const std::string& text, long version, std::string& reason);

    // How many keys the section holds.
    int countKeys(const std::string& section) const;
    // The value of section.key, or null.
    const std::string* find(const std::string& section, const std::string& key) const;
    // find(), with the reason set when the key is missing.
    const std::string* require(const std::string& section, const std::string& key, std::string& reason) const;
    // Each reads a value that must be there and lie in range; false with the
    // reason naming the key otherwise.
    bool getInt(const std::string& section, const std::string& key, long min, long max, long& out,
                std::string& reason) const;
    bool getFloat(const std::string& section, const std::string& key, float min, float max, float& out,
                  std::string& reason) const;
    // The value's index in names (a null-terminated list).
    bool getChoice(const std::string& section, const std::string& key, const char* const* names, int& out,
                   std::string& reason) const;
    bool getFlag(const std::string& section, const std::string& key, bool& out, std::string& reason) const;

private:
    std::map<std::pair<std::string, std::string>, std::string> values;
};
