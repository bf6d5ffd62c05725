#include "base/exceptions.h"
#include "base/log.h"
#include "base/version.h"
#include "net/server.h"
#include "server/servercommandline.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* const kSource = "sporrik-server";

std::atomic<bool> stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler sets the flag");

void requestStop(int) {
    stopRequested = true;
}

// The log's types are numbered by importance, ERROR before DEBUG... except
// that NOTE (0) comes first: the order of what --log-level lets through.
int rank(int type) {
    switch (type) {
    case ERROR:
        return 0;
    case WARNING:
        return 1;
    case NOTE:
        return 2;
    default:
        return 3;
    }
}

} // namespace

int main(int argc, char** argv) {
    const ServerCommandLine::Parsed parsed =
        ServerCommandLine::parse(std::vector<std::string>(argv + 1, argv + argc));
    switch (parsed.action) {
    case ServerCommandLine::Action::Help:
        std::fputs(ServerCommandLine::kUsage, stdout);
        return 0;
    case ServerCommandLine::Action::Version:
        std::fputs(Version::text("sporrik-server").c_str(), stdout);
        return 0;
    case ServerCommandLine::Action::Refuse:
        std::fprintf(stderr, "sporrik-server: %s (sporrik-server --help lists the arguments)\n",
                     parsed.reason.c_str());
        return 2;
    case ServerCommandLine::Action::Serve:
        break;
    }
    const int shown = rank(parsed.logLevel);
    Log::setReportChannel([shown](int type, const std::string& line) {
        if (rank(type) <= shown) {
            std::fputs(line.c_str(), stderr);
        }
    });
    struct sigaction action {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    try {
        Server server(parsed.options);
        log(NOTE, kSource, "database " + parsed.options.databasePath);
        server.run(stopRequested);
        return server.hasFailed() ? 1 : 0;
    } catch (const InstantiationException& e) {
        log(ERROR, kSource, "not started: " + e.getMessage());
        return 1;
    }
}
