#include "base/log.h"

#include "base/tools.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

const char* const kGlobalSource = "global";
constexpr int kSourceWidth = 16;
constexpr size_t kLogPieceLength = 80;

void writeToStandardError(int, const std::string& line) {
    std::fputs(line.c_str(), stderr);
}

Log::ReportChannel& channel() {
    static Log::ReportChannel current(writeToStandardError);
    return current;
}

} // namespace

void log(int type, const char* source, const char* message) {
    Log::write(type, source, message);
}

void log(int type, const char* source, const std::string& message) {
    Log::write(type, source, message.c_str());
}

void Log::write(int type, const char* source, const char* message) {
    const char* label = nullptr;
    int lineType = type;
    switch (type) {
    case NOTE:
        label = "NOTE   ";
        break;
    case WARNING:
        label = "WARNING";
        break;
    case ERROR:
        label = "ERROR  ";
        break;
    case DEBUG:
        label = "DEBUG  ";
        break;
    default:
        write(WARNING, kGlobalSource, "unknown log type");
        label = "WARNING:";
        lineType = WARNING;
        break;
    }
    const std::string text = message != nullptr ? message : "";
    const char* name = source != nullptr ? source : "";
    std::string padded(std::max(std::strlen(name), static_cast<size_t>(kSourceWidth)) + 1, '\0');
    padString(padded.data(), name, kSourceWidth, ' ');
    padded.resize(std::strlen(padded.c_str()));

    size_t start = 0;
    do {
        const std::string piece = text.substr(start, kLogPieceLength);
        start += kLogPieceLength;
        std::string line = std::string(label) + " from " + padded + ":" + piece;
        if (start < text.size()) {
            line += "\\";
        }
        line += "\n";
        channel()(lineType, line);
    } while (start < text.size());
}

Log::ReportChannel Log::setReportChannel(ReportChannel replacement) {
    ReportChannel previous = std::move(channel());
    channel() = replacement ? std::move(replacement) : ReportChannel(writeToStandardError);
    return previous;
}
