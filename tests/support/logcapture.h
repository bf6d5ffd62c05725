#pragma once

#include "base/log.h"

#include <string>
#include <vector>

// Collects the log lines written while it lives instead of printing them.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::vector<std::string>& lines() const { return captured; }
    // Whether some line holds the fragment.
    bool has(const std::string& fragment) const;
    // The message parts of the lines (what follows "label from source:"),
    // without the line end.
    std::vector<std::string> messages() const;
    void clear() { captured.clear(); }

private:
    std::vector<std::string> captured;
    Log::ReportChannel previous;
};
