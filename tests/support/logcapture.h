#pragma once

#include "base/log.h"

#include <algorithm>
#include <string>
#include <vector>

// Collects the log lines written while it lives instead of printing them.
class LogCapture {
public:
    LogCapture()
        : previous(
              Log::setReportChannel([this](int, const std::string& line) { captured.push_back(line); })) {}
    ~LogCapture() { Log::setReportChannel(previous); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::vector<std::string>& lines() const { return captured; }
    // Whether some line holds the fragment.
    bool has(const std::string& fragment) const {
        return std::any_of(captured.begin(), captured.end(),
                           [&](const std::string& line) { return line.find(fragment) != std::string::npos; });
    }
    // The message parts of the lines (what follows "label from source:"),
    // without the line end.
    std::vector<std::string> messages() const {
        // "LABEL   from " + 16-character source + ":" precede the message.
        constexpr size_t kPrefix = 7 + 6 + 16 + 1;
        std::vector<std::string> result;
        for (const std::string& line : captured) {
            const size_t colon = line.find(':', kPrefix - 1);
            const std::string message = colon == std::string::npos ? line : line.substr(colon + 1);
            result.push_back(message.substr(0, message.find_last_not_of('\n') + 1));
        }
        return result;
    }
    void clear() { captured.clear(); }

private:
    std::vector<std::string> captured;
    Log::ReportChannel previous;
};
