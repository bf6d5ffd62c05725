#pragma once

#include <functional>
#include <string>

// Log message types; see Log::write for the line format.
enum LogType : int { NOTE = 0, WARNING = 1, ERROR = 2, DEBUG = 3 };

// Both forward to Log::write.
void log(int type, const char* source, const char* message);
void log(int type, const char* source, const std::string& message);

// The program's log. It formats each message into lines of the form
// "LABEL   from <source padded to 16>:<up to 80 characters>" and hands every
// finished line to its report channel. Owned by nobody above it: System and
// the tests only replace the channel.
class Log {
public:
    // Receives each finished line; the default writes it to standard error.
    using ReportChannel = std::function<void(int type, const std::string& line)>;

    static void write(int type, const char* source, const char* message);
    // Null restores the default; returns the channel it replaces.
    static ReportChannel setReportChannel(ReportChannel channel);
};
