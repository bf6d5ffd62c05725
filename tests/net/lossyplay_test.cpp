// Games of random legal moves between pairs of clients and a server, all
// through LossyProxy: a fifth of the datagrams lost each way, each held back
// 100-300 ms, some sent twice, many out of order. Fifty games must end with
// one move list on both clients and in the server's database, read after the
// server stopped, and no game may have a client's move list that the
// database does not hold.
//
// Under that loss ENet backs off: a packet lost again and again is sent
// again after about 0.7, 1.4, 2.8, 5.6, 11 s, so one move in a hundred takes
// ten seconds or more, and now and then a connection times out only after
// 10-40 s and its client comes back with the seat token. To stay within a
// minute, each game is played to kMovesPerGame moves, after which the player
// to move resigns, and a few more games than the fifty are played, so that a
// game or two caught in such a stall need not be waited for (they are still
// checked against the database). SPORRIK_LOSSY_FULL=1 plays exactly fifty
// games, every one to its end by the rules (or the move limit), with an
// hour's deadline; SPORRIK_LOSSY_SEED=<n> changes the relay's and the
// players' seed (printed).
#include "lossyproxy.h"

#include "net/embeddedserver.h"
#include "net/gamestore.h"
#include "net/joincode.h"
#include "net/netclient.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Type = NetClient::Event::Type;
using Protocol::ErrorCode;

constexpr size_t kGamesToEnd = 50;
constexpr size_t kGamesPlayed = 56;
constexpr size_t kMovesPerGame = 6;
constexpr auto kDeadline = std::chrono::seconds(55);
constexpr auto kFullDeadline = std::chrono::hours(1);
// Each client is serviced as a game services it, once a frame.
constexpr auto kFrame = std::chrono::milliseconds(10);
constexpr uint32_t kDefaultSeed = 36;
// Every client joins and rejoins from the loopback address.
constexpr double kJoinBurst = 10000;
constexpr double kDropTolerance = 0.02;

bool isPrefix(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

bool fullGames() {
    const char* full = std::getenv("SPORRIK_LOSSY_FULL");
    return full != nullptr && std::string(full) == "1";
}

uint32_t chosenSeed() {
    const char* given = std::getenv("SPORRIK_LOSSY_SEED");
    return given != nullptr ? static_cast<uint32_t>(std::strtoul(given, nullptr, 10)) : kDefaultSeed;
}

// Two clients playing one game of random legal moves, each on its own socket
// as on its own machine: the creator and the one who joins by its code.
// Whatever a dropped connection costs before the seats are had, they do what
// a player would: connect again and ask again. A join whose answer was lost
// leaves the seat taken by nobody who knows its token: the two start anew.
class RandomPair {
public:
    struct Side {
        NetClient client;
        bool seated = false;
        uint32_t inFlight = 0; // the number of the move or resignation sent and not yet seen
        int reconnects = 0;
        std::vector<uint32_t> errors; // refusals other than a drop for a late hello
    };

    RandomPair(uint16_t port, uint32_t seed, size_t moveCap) : port(port), moveCap(moveCap), random(seed) {
        create();
    }

    void step() {
        creator.client.service();
        joiner.client.service();
        handle(creator);
        handle(joiner);
        if (joiner.seated) {
            act(creator);
            act(joiner);
        }
    }
    bool ended() const { return creator.client.isFinished() && joiner.client.isFinished(); }

    Side creator;
    Side joiner;
    int newGames = 0;

private:
    void create() {
        creator.seated = false;
        joiner.seated = false;
        creator.client.connect("127.0.0.1", port);
        creator.client.createGame();
    }

    void handle(Side& side) {
        while (const auto event = side.client.nextEvent()) {
            switch (event->type) {
            case Type::GameCreated:
                side.seated = true;
                joiner.client.connect("127.0.0.1", port);
                joiner.client.joinGame(event->joinCode);
                break;
            case Type::Joined:
                side.seated = true;
                break;
            case Type::Position:
                // Back after a drop: what was in flight is in this position or lost.
                side.inFlight = 0;
                break;
            case Type::Reconnecting:
                ++side.reconnects;
                break;
            case Type::Lost:
                // Dropped before the seat was had: the same request on a new connection.
                side.client.connect("127.0.0.1", port);
                if (&side == &creator) {
                    side.client.createGame();
                } else {
                    side.client.joinGame(creator.client.joinCode());
                }
                break;
            case Type::Error:
                if (&side == &joiner && !joiner.seated &&
                    event->code == static_cast<uint32_t>(ErrorCode::GameFull)) {
                    ++newGames;
                    joiner.client.disconnect();
                    create();
                } else if (event->code != static_cast<uint32_t>(ErrorCode::Idle)) {
                    side.errors.push_back(event->code);
                }
                break;
            default:
                break;
            }
        }
    }

    void act(Side& side) {
        const RulesGame& game = side.client.game();
        const auto next = static_cast<uint32_t>(game.moves().size() + 1);
        if (side.client.state() != NetClient::State::Seated || side.client.isFinished() ||
            game.toMove() != side.client.seat() || side.inFlight == next) {
            return;
        }
        side.inFlight = next;
        if (game.moves().size() >= moveCap) {
            side.client.resign();
            return;
        }
        const std::vector<std::string> moves = game.legalMoves();
        std::uniform_int_distribution<size_t> pick(0, moves.size() - 1);
        side.client.play(moves[pick(random)]);
    }

    uint16_t port;
    size_t moveCap;
    std::mt19937 random;
};

TEST(LossyNetwork, GamesThroughLossDelayDuplicatesAndReordering_EndWithOneMoveListEverywhere) {
    const bool full = fullGames();
    const uint32_t seed = chosenSeed();
    TempDir dir;
    Server::Options options;
    options.port = 0;
    options.databasePath = dir.file("server.db");
    options.limits.joinBurst = kJoinBurst;
    EmbeddedServer server(options);
    ASSERT_TRUE(server.start()) << server.error();
    LossyProxy::Faults faults;
    faults.seed = seed;
    LossyProxy proxy(server.port(), faults);

    std::vector<std::unique_ptr<RandomPair>> pairs;
    for (size_t i = 0; i < (full ? kGamesToEnd : kGamesPlayed); ++i) {
        pairs.push_back(std::make_unique<RandomPair>(proxy.port(), seed + static_cast<uint32_t>(i),
                                                     full ? Protocol::kMaxMoves : kMovesPerGame));
    }
    const Clock::time_point start = Clock::now();
    const Clock::time_point deadline = start + (full ? kFullDeadline : kDeadline);
    size_t ended = 0;
    while (ended < kGamesToEnd && Clock::now() < deadline) {
        std::this_thread::sleep_for(kFrame);
        ended = 0;
        for (const auto& pair : pairs) {
            pair->step();
            ended += pair->ended();
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    server.stop();

    GameStore store(options.databasePath);
    size_t moves = 0;
    int reconnects = 0;
    int newGames = 0;
    for (const auto& pair : pairs) {
        const std::vector<std::string>& played = pair->creator.client.game().moves();
        const std::vector<std::string>& seen = pair->joiner.client.game().moves();
        const std::string code = pair->creator.client.joinCode();
        moves += played.size();
        reconnects += pair->creator.reconnects + pair->joiner.reconnects;
        newGames += pair->newGames;
        // Random legal moves from a copy in step with the server are never refused.
        EXPECT_EQ(pair->creator.errors, std::vector<uint32_t>()) << "game " << code;
        EXPECT_EQ(pair->joiner.errors, std::vector<uint32_t>()) << "game " << code;
        if (code.empty()) {
            continue; // still being created when the time was up
        }
        const auto kept = store.findByCode(JoinCode::parse(code).value_or(""));
        ASSERT_TRUE(kept.has_value()) << "game " << code;
        if (pair->ended()) {
            EXPECT_EQ(played, kept->moves) << "game " << code;
            EXPECT_EQ(seen, kept->moves) << "game " << code;
            EXPECT_TRUE(kept->result.finished) << "game " << code;
        } else {
            // Cut off in a stall: what each client saw acknowledged is kept.
            EXPECT_TRUE(isPrefix(played, kept->moves)) << "game " << code;
            EXPECT_TRUE(isPrefix(seen, kept->moves)) << "game " << code;
        }
    }
    const LossyProxy::Counts counts = proxy.counts();
    std::printf(
        "lossy run: seed %u, %zu of %zu games ended in %.1f s, %zu moves, %d reconnects, %d games begun "
        "again; relay: %llu datagrams, %llu dropped, %llu duplicated, %llu reordered\n",
        seed, ended, pairs.size(), seconds, moves, reconnects, newGames,
        static_cast<unsigned long long>(counts.received), static_cast<unsigned long long>(counts.dropped),
        static_cast<unsigned long long>(counts.duplicated),
        static_cast<unsigned long long>(counts.reordered));
    EXPECT_GE(ended, kGamesToEnd);
    // The relay did what it says.
    ASSERT_GT(counts.received, 0u);
    EXPECT_NEAR(static_cast<double>(counts.dropped) / static_cast<double>(counts.received), faults.drop,
                kDropTolerance);
    EXPECT_GT(counts.duplicated, 0u);
    EXPECT_GT(counts.reordered, 0u);
}

} // namespace
