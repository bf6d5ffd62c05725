#include "support/logcapture.h"

LogCapture::LogCapture() {
    previous = Log::setReportChannel([this](int, const std::string& line) { captured.push_back(line); });
}

LogCapture::~LogCapture() {
    Log::setReportChannel(previous);
}

bool LogCapture::has(const std::string& fragment) const {
    for (const std::string& line : captured) {
        if (line.find(fragment) != std::string::npos) {
            return true;
        }
    }
    return false;
}

std::vector<std::string> LogCapture::messages() const {
    // "LABEL   from " + 16-character source + ":" precede the message.
    constexpr size_t kPrefix = 7 + 6 + 16 + 1;
    std::vector<std::string> result;
    for (const std::string& line : captured) {
        const size_t colon = line.find(':', kPrefix - 1);
        std::string message = colon == std::string::npos ? line : line.substr(colon + 1);
        if (!message.empty() && message.back() == '\n') {
            message.pop_back();
        }
        result.push_back(message);
    }
    return result;
}
