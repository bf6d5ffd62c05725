#pragma once

#include "net/server.h"

#include <string>
#include <vector>

// sporrik-server's command line: every argument read whole and checked,
// anything unknown or out of range refused with the reason.
class ServerCommandLine {
public:
    enum class Action { Serve, Help, Version, Refuse };

    struct Parsed {
        Action action = Action::Serve;
        Server::Options options;
        // The highest log type shown: ERROR, WARNING, NOTE or DEBUG.
        int logLevel = 0;
        std::string reason; // why refused
    };

    static const char* const kUsage;
    static constexpr const char* kDatabaseName = "server.db";

    // The arguments after the program's name.
    static Parsed parse(const std::vector<std::string>& arguments);
};
