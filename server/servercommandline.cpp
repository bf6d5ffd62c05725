#include "server/servercommandline.h"

#include "base/log.h"

#include <cerrno>
#include <cstdlib>
#include <limits>

namespace {

constexpr double kSecondsPerHour = 60 * 60;
constexpr unsigned long kMaxPort = 65535;
// ENet numbers its peers in 12 bits.
constexpr unsigned long kMaxPeers = 4095;
constexpr unsigned long kMaxGames = 1000000;
constexpr unsigned long kMaxJoinBurst = 1000000;

// A whole decimal number from min to max.
bool parseNumber(const std::string& text, unsigned long min, unsigned long max, unsigned long& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const unsigned long parsed = std::strtoul(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < min || parsed > max) {
        return false;
    }
    value = parsed;
    return true;
}

bool parseLevel(const std::string& text, int& level) {
    static const struct {
        const char* name;
        int type;
    } kLevels[] = {{"error", ERROR}, {"warning", WARNING}, {"note", NOTE}, {"debug", DEBUG}};
    for (const auto& known : kLevels) {
        if (text == known.name) {
            level = known.type;
            return true;
        }
    }
    return false;
}

} // namespace

const char* const ServerCommandLine::kUsage =
    "usage: sporrik-server [--port N] [--db PATH] [--max-games N] [--max-peers N]\n"
    "                      [--away-hours H] [--join-burst N] [--log-level error|warning|note|debug]\n"
    "  --port N          UDP port to serve on (default 47621; 0: a free one, logged)\n"
    "  --db PATH         the games' database (default $XDG_STATE_HOME/sporrik/server.db,\n"
    "                    else ~/.local/state/sporrik/server.db)\n"
    "  --max-games N     open games at once (default 5000)\n"
    "  --max-peers N     connections at once, at most 4095 (default 4000)\n"
    "  --away-hours H    hours a player may stay away before the game is closed\n"
    "                    (default 24)\n"
    "  --join-burst N    join, watch and rejoin attempts one address may make at once,\n"
    "                    then one every 5 s (default 5; a benchmark on one machine\n"
    "                    needs more)\n"
    "  --log-level L     the least important log lines shown (default note)\n"
    "  --help            print this text and end\n"
    "  --version         print the game's and the protocol's version and end\n"
    "SIGTERM or SIGINT stops the server: the peers are told, the database is closed.\n"
    "The log goes to standard error.\n";

ServerCommandLine::Parsed ServerCommandLine::parse(const std::vector<std::string>& arguments) {
    Parsed parsed;
    parsed.logLevel = NOTE;
    parsed.options.databasePath = Server::defaultDatabasePath(kDatabaseName);
    const auto refuse = [&parsed](const std::string& reason) {
        parsed.action = Action::Refuse;
        parsed.reason = reason;
        return parsed;
    };
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--help" || name == "-h") {
            parsed.action = Action::Help;
            return parsed;
        }
        if (name == "--version") {
            parsed.action = Action::Version;
            return parsed;
        }
        const bool takesValue = name == "--port" || name == "--db" || name == "--max-games" ||
                                name == "--max-peers" || name == "--away-hours" || name == "--join-burst" ||
                                name == "--log-level";
        if (!takesValue) {
            return refuse("unknown argument \"" + name + "\"");
        }
        if (i + 1 == arguments.size()) {
            return refuse(name + " needs a value");
        }
        const std::string& value = arguments[++i];
        unsigned long number = 0;
        if (name == "--port") {
            if (!parseNumber(value, 0, kMaxPort, number)) {
                return refuse("--port takes a number from 0 to 65535, not \"" + value + "\"");
            }
            parsed.options.port = static_cast<uint16_t>(number);
        } else if (name == "--db") {
            if (value.empty()) {
                return refuse("--db needs a path");
            }
            parsed.options.databasePath = value;
        } else if (name == "--max-games") {
            if (!parseNumber(value, 1, kMaxGames, number)) {
                return refuse("--max-games takes a number from 1 to 1000000, not \"" + value + "\"");
            }
            parsed.options.limits.maxGames = number;
        } else if (name == "--max-peers") {
            if (!parseNumber(value, 1, kMaxPeers, number)) {
                return refuse("--max-peers takes a number from 1 to 4095, not \"" + value + "\"");
            }
            parsed.options.maxPeers = number;
        } else if (name == "--away-hours") {
            if (!parseNumber(value, 1, std::numeric_limits<uint32_t>::max(), number)) {
                return refuse("--away-hours takes a whole number of hours, at least 1, not \"" + value +
                              "\"");
            }
            parsed.options.limits.awayLimit = static_cast<double>(number) * kSecondsPerHour;
        } else if (name == "--join-burst") {
            if (!parseNumber(value, 1, kMaxJoinBurst, number)) {
                return refuse("--join-burst takes a number from 1 to 1000000, not \"" + value + "\"");
            }
            parsed.options.limits.joinBurst = static_cast<double>(number);
        } else if (!parseLevel(value, parsed.logLevel)) {
            return refuse("--log-level takes error, warning, note or debug, not \"" + value + "\"");
        }
    }
    if (parsed.options.databasePath.empty()) {
        return refuse("neither XDG_STATE_HOME nor HOME is set: give the database with --db");
    }
    return parsed;
}
