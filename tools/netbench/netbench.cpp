// sporrik_netbench: simulated players against a sporrik-server process on
// this machine. Half of them create games, the other half join them, and all
// play random legal moves, each after thinking for the pace, for the given
// time; a game that ends is followed by another. Prints one JSON line: the
// games, moves a second, the round trip of a move from sending it to its
// acknowledgement (median, 99th percentile, largest), the server's processor
// share, its wait for a processor (what other work on the machine cost it)
// and peak memory, the load average, and the games lost: games the players
// saw created that the server's database lacks, or that lack a move a player
// saw acknowledged (read from the database after the server stopped; after
// every reconnection the position the server sends is checked the same way).
// "Flat out" (--pace 0) still keeps each player under 20 moves a second,
// below the server's flood limit for one peer.
//
// --kill K kills the server with SIGKILL K times at random moments of the
// run (each once the players are back from the one before) and starts it
// again on the same database at once; after the run every game is played to
// its end flat out, and "unfinished" counts those that do not end.
//
//   sporrik_netbench [--players N] [--seconds S] [--pace MS] [--server PATH]
//                    [--port P] [--db PATH] [--kill K] [--seed N] [--keep]

#include "benchpair.h"
#include "serverprocess.h"

#include "net/clienthost.h"
#include "net/gamestore.h"
#include "net/joincode.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr long kDefaultPlayers = 2000;
// The server's ENet host holds at most 4095 peers, and every player is one.
constexpr long kMaxPlayers = 4000;
constexpr long kClientSlack = 64;
constexpr double kDefaultSeconds = 60;
// A quick human: two seconds a move on average (between one and three).
constexpr double kDefaultPaceMs = 2000;
constexpr double kSetupSeconds = 60;
constexpr double kFinishSeconds = 600;
constexpr double kServerStartSeconds = 15;
constexpr double kServerStopSeconds = 15;
// The longest the loop waits for a packet, so that moves due are made on time.
constexpr uint32_t kMaxWaitMs = 5;
// Kills fall within this share of the run, so that each is seen recovering.
constexpr double kFirstKillShare = 0.15, kLastKillShare = 0.85;
constexpr double kMillisecondsPerSecond = 1000;
constexpr double kPercent = 100;
constexpr double kMedian = 0.5, kTail = 0.99;
const char* const kJoinBurst = "1000000";
const char* const kMaxPeers = "4095";

struct Options {
    long players = kDefaultPlayers;
    double seconds = kDefaultSeconds;
    double paceMs = kDefaultPaceMs;
    std::string server = SPORRIK_SERVER_PATH;
    long port = 0;
    std::string database;
    long kills = 0;
    long seed = 1;
    bool keep = false;
};

const char* const kUsage =
    "usage: sporrik_netbench [--players N] [--seconds S] [--pace MS] [--server PATH] [--port P]\n"
    "                        [--db PATH] [--kill K] [--seed N] [--keep]\n"
    "  --players N   simulated players, two to a game, at most 4000 (default 2000)\n"
    "  --seconds S   how long they play (default 60)\n"
    "  --pace MS     a player's mean thinking time before a move, 0 flat out (default 2000)\n"
    "  --server PATH the sporrik-server to start (default the build's)\n"
    "  --port P      its UDP port (default 0: a free one)\n"
    "  --db PATH     its database (default a new one in a temporary folder)\n"
    "  --kill K      kill the server K times during the run, restart it on the same\n"
    "                database, then play every game to its end\n"
    "  --seed N      the players' random seed (default 1)\n"
    "  --keep        keep the temporary folder with the database and the server's log\n";

bool parseNumber(const char* text, double low, double high, double& value) {
    char* end = nullptr;
    const double parsed = std::strtod(text, &end);
    if (end == text || *end != '\0' || !(parsed >= low && parsed <= high)) {
        return false;
    }
    value = parsed;
    return true;
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--keep") {
            options.keep = true;
            continue;
        }
        if (i + 1 == argc) {
            return false;
        }
        const char* value = argv[++i];
        double number = 0;
        if (name == "--server") {
            options.server = value;
        } else if (name == "--db") {
            options.database = value;
        } else if (name == "--players" && parseNumber(value, 2, kMaxPlayers, number)) {
            options.players = static_cast<long>(number) / 2 * 2;
        } else if (name == "--seconds" && parseNumber(value, 1, 24 * 60 * 60, number)) {
            options.seconds = number;
        } else if (name == "--pace" && parseNumber(value, 0, 10 * 60 * 1000, number)) {
            options.paceMs = number;
        } else if (name == "--port" && parseNumber(value, 0, 65535, number)) {
            options.port = static_cast<long>(number);
        } else if (name == "--kill" && parseNumber(value, 0, 100, number)) {
            options.kills = static_cast<long>(number);
        } else if (name == "--seed" && parseNumber(value, 0, 1e9, number)) {
            options.seed = static_cast<long>(number);
        } else {
            return false;
        }
    }
    return true;
}

double steadyNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double ownCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

std::string loadAverage() {
    std::ifstream file("/proc/loadavg");
    double one = 0, five = 0, fifteen = 0;
    file >> one >> five >> fifteen;
    char text[64];
    std::snprintf(text, sizeof text, "[%.2f, %.2f, %.2f]", one, five, fifteen);
    return text;
}

float percentile(std::vector<float>& sorted, double share) {
    if (sorted.empty()) {
        return 0;
    }
    const auto index = static_cast<size_t>(std::ceil(share * static_cast<double>(sorted.size()))) - 1;
    return sorted[std::min(index, sorted.size() - 1)];
}

bool isPrefix(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

// The benchmark's run: the server, the players and the clock.
class NetBench {
public:
    explicit NetBench(const Options& options) : options(options) {}

    int run() {
        std::string reason;
        if (!prepareFolder(reason) || !startServer(reason)) {
            std::fprintf(stderr, "sporrik_netbench: %s\n", reason.c_str());
            return 1;
        }
        host = std::make_unique<ClientHost>(static_cast<size_t>(options.players + kClientSlack));
        BenchPair::Settings settings;
        settings.port = server->port();
        settings.pace = options.paceMs / kMillisecondsPerSecond;
        for (long i = 0; i < options.players / 2; ++i) {
            pairs.push_back(
                std::make_unique<BenchPair>(*host, settings, static_cast<uint32_t>(options.seed + i), tally));
            pairs.back()->start();
        }
        const double setupStart = steadyNow();
        loop(setupStart + kSetupSeconds, [this] { return count(&BenchPair::isSeated) == pairs.size(); });
        const size_t seated = count(&BenchPair::isSeated);
        const double setupSeconds = steadyNow() - setupStart;

        scheduleKills();
        const std::string loadBefore = loadAverage();
        const double cpuBefore = server->cpuSeconds();
        const double waitBefore = server->waitSeconds();
        const double ownBefore = ownCpuSeconds();
        const double start = steadyNow();
        tally.measuring = true;
        loop(start + options.seconds, [] { return false; });
        tally.measuring = false;
        const double seconds = steadyNow() - start;
        const double serverCpu = server->cpuSeconds() - cpuBefore;
        const double serverWait = server->waitSeconds() - waitBefore;
        const double ownCpu = ownCpuSeconds() - ownBefore;
        const std::string loadAfter = loadAverage();

        size_t unfinished = 0;
        if (options.kills > 0) {
            for (const auto& pair : pairs) {
                pair->finishFlatOut();
            }
            loop(steadyNow() + kFinishSeconds,
                 [this] { return count(&BenchPair::gameEnded) == pairs.size(); });
            unfinished = pairs.size() - count(&BenchPair::gameEnded);
        }
        const double peak = server->peakMegabytes();
        const int exitStatus = server->stop(kServerStopSeconds);
        server.reset();
        size_t checked = 0;
        const size_t lost = countLostGames(checked);

        std::sort(tally.roundTrips.begin(), tally.roundTrips.end());
        uint64_t errors = 0;
        for (const auto& [code, count] : tally.errors) {
            errors += count;
        }
        std::printf(
            "{\"players\": %ld, \"pace_ms\": %.0f, \"seconds\": %.1f, \"setup_seconds\": %.1f, "
            "\"games_seated\": %zu, \"games\": %llu, \"moves\": %llu, \"moves_per_second\": %.1f, "
            "\"round_trip_ms\": {\"median\": %.2f, \"p99\": %.2f, \"max\": %.1f}, "
            "\"server_cpu_percent\": %.1f, \"server_wait_percent\": %.1f, \"server_peak_rss_mb\": %.1f, "
            "\"bench_cpu_percent\": %.1f, "
            "\"games_checked\": %zu, \"games_lost\": %zu, \"acknowledged_moves_lost\": %llu, "
            "\"kills\": %ld, \"back_after_kill_s\": %s, \"reconnect_attempts\": %llu, \"unfinished\": %zu, "
            "\"errors\": %llu, "
            "\"server_exit\": %d, \"load_before\": %s, \"load_after\": %s}\n",
            options.players, options.paceMs, seconds, setupSeconds, seated,
            static_cast<unsigned long long>(tally.games), static_cast<unsigned long long>(tally.moves),
            static_cast<double>(tally.moves) / seconds, percentile(tally.roundTrips, kMedian),
            percentile(tally.roundTrips, kTail), percentile(tally.roundTrips, 1.0),
            kPercent * serverCpu / seconds, kPercent * serverWait / seconds, peak,
            kPercent * ownCpu / seconds, checked, lost,
            static_cast<unsigned long long>(tally.lostAcknowledged), options.kills, recoveryList().c_str(),
            static_cast<unsigned long long>(tally.reconnects), unfinished,
            static_cast<unsigned long long>(errors), exitStatus, loadBefore.c_str(), loadAfter.c_str());
        for (const auto& [code, count] : tally.errors) {
            std::fprintf(stderr, "sporrik_netbench: %llu refusals of code %u\n",
                         static_cast<unsigned long long>(count), code);
        }
        pairs.clear();
        host.reset();
        if (!options.keep && !folder.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        } else if (!folder.empty()) {
            std::fprintf(stderr, "sporrik_netbench: kept %s\n", folder.c_str());
        }
        return lost == 0 && unfinished == 0 && tally.lostAcknowledged == 0 ? 0 : 1;
    }

private:
    bool prepareFolder(std::string& reason) {
        std::string pattern = (std::filesystem::temp_directory_path() / "sporrik-netbench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            reason = "no temporary folder: " + std::string(std::strerror(errno));
            return false;
        }
        folder = pattern;
        if (options.database.empty()) {
            options.database = folder + "/server.db";
        }
        return true;
    }

    bool startServer(std::string& reason) {
        server = std::make_unique<ServerProcess>(options.server, folder + "/server.log");
        return server->start(serverArguments(options.port), kServerStartSeconds, reason);
    }

    std::vector<std::string> serverArguments(long port) const {
        return {"--port",       std::to_string(port), "--db",        options.database,
                "--join-burst", kJoinBurst,           "--max-peers", kMaxPeers};
    }

    // One kill in each of options.kills equal spans of the run's middle,
    // at a random moment of the span's middle half, so that the players
    // have come back from one kill before the next.
    void scheduleKills() {
        std::mt19937 random(static_cast<uint32_t>(options.seed));
        const double first = kFirstKillShare * options.seconds;
        const double span =
            (kLastKillShare - kFirstKillShare) * options.seconds / static_cast<double>(options.kills);
        std::uniform_real_distribution<double> within(span / 4, 3 * span / 4);
        for (long i = 0; i < options.kills; ++i) {
            killAt.push_back(first + static_cast<double>(i) * span + within(random));
        }
        runStart = steadyNow();
    }

    // Services the players until done() holds or the deadline passes,
    // killing and restarting the server when its moment comes.
    void loop(double deadline, const std::function<bool()>& done) {
        while (steadyNow() < deadline && !done()) {
            double next = deadline;
            for (const auto& pair : pairs) {
                next = std::min(next, pair->nextDue());
            }
            const double wait = std::clamp((next - steadyNow()) * kMillisecondsPerSecond, 0.0,
                                           static_cast<double>(kMaxWaitMs));
            host->service(static_cast<uint32_t>(wait));
            const double now = steadyNow();
            for (const auto& pair : pairs) {
                pair->step(now);
            }
            // A kill waits until the players are back from the one before.
            if (!killAt.empty() && killedAt == 0 && now - runStart >= killAt.front()) {
                killAt.pop_front();
                // Those seated now must take their seats again.
                awaitedRejoins = tally.rejoins;
                for (const auto& pair : pairs) {
                    awaitedRejoins += static_cast<uint64_t>(pair->countSeated());
                }
                killedAt = now;
                restartServer();
            }
            if (killedAt > 0 && tally.rejoins >= awaitedRejoins) {
                recoveries.push_back(steadyNow() - killedAt);
                killedAt = 0;
            }
        }
    }

    void restartServer() {
        const uint16_t port = server->port();
        server->kill();
        std::string reason;
        if (!server->start(serverArguments(port), kServerStartSeconds, reason)) {
            std::fprintf(stderr, "sporrik_netbench: the server did not start again: %s\n", reason.c_str());
        }
    }

    std::string recoveryList() const {
        std::string list = "[";
        for (const double seconds : recoveries) {
            char text[32];
            std::snprintf(text, sizeof text, "%s%.1f", list.size() > 1 ? ", " : "", seconds);
            list += text;
        }
        return list + "]";
    }

    size_t count(bool (BenchPair::*test)() const) const {
        return static_cast<size_t>(
            std::count_if(pairs.begin(), pairs.end(), [test](const auto& pair) { return (*pair.*test)(); }));
    }

    // Games whose kept moves do not begin with what a player saw
    // acknowledged, or that are not kept at all; a game both players saw
    // end must be kept whole and closed.
    size_t countLostGames(size_t& checked) const {
        GameStore store(options.database);
        size_t lost = 0;
        for (const auto& pair : pairs) {
            for (const BenchPair::Record& record : pair->records()) {
                ++checked;
                const std::optional<GameStore::StoredGame> kept =
                    store.findByCode(JoinCode::parse(record.code).value_or(""));
                const bool whole =
                    kept && isPrefix(record.creatorMoves, kept->moves) &&
                    isPrefix(record.joinerMoves, kept->moves) &&
                    (!record.ended || (kept->result.finished && record.creatorMoves == kept->moves &&
                                       record.joinerMoves == kept->moves));
                if (!whole) {
                    ++lost;
                    std::fprintf(stderr, "sporrik_netbench: game %s lost (%s)\n", record.code.c_str(),
                                 kept ? "moves differ" : "not in the database");
                    if (kept)
                        std::fprintf(
                            stderr,
                            "DETAIL ended %d finished %d creator %zu joiner %zu kept %zu prefixes %d %d\n",
                            record.ended, kept->result.finished, record.creatorMoves.size(),
                            record.joinerMoves.size(), kept->moves.size(),
                            isPrefix(record.creatorMoves, kept->moves),
                            isPrefix(record.joinerMoves, kept->moves));
                }
            }
        }
        return lost;
    }

    Options options;
    std::string folder;
    std::unique_ptr<ServerProcess> server;
    std::unique_ptr<ClientHost> host;
    BenchPair::Tally tally;
    std::vector<std::unique_ptr<BenchPair>> pairs;
    std::deque<double> killAt; // seconds into the run
    double runStart = 0;
    double killedAt = 0;            // while the players come back after a kill
    uint64_t awaitedRejoins = 0;    // the rejoins that make them all back
    std::vector<double> recoveries; // seconds from each kill until every player seated then was back
};

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    return NetBench(options).run();
}
