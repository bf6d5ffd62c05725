#include "benchpair.h"

#include "net/clienthost.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <optional>

namespace {

using Type = NetClient::Event::Type;
using Protocol::ErrorCode;

constexpr double kMillisecondsPerSecond = 1000;
// A player's thinking time is drawn between these shares of the pace.
constexpr double kShortestThought = 0.5;
constexpr double kLongestThought = 1.5;
// The most moves one player sends a second, even flat out: the server
// refuses more than 30 messages a second from one peer as a flood.
constexpr double kMinSecondsBetweenMoves = 1.0 / 20;
// Counted under this code: a seated player whose reconnecting gave up.
constexpr uint32_t kGaveUp = 0;

double steadyNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool isPrefix(const std::vector<std::string>& part, const std::vector<std::string>& whole) {
    return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

} // namespace

BenchPair::BenchPair(ClientHost& host, const Settings& settings, uint32_t seed, Tally& tally)
    : settings(settings), tally(tally), random(seed), creator(host), joiner(host),
      due(std::numeric_limits<double>::infinity()) {}

void BenchPair::start() {
    beginGame();
}

void BenchPair::beginGame() {
    for (Player* player : {&creator, &joiner}) {
        player->seated = false;
        player->turn = 0;
        player->inFlight = 0;
        player->acknowledged.clear();
    }
    abandoning = false;
    over = false;
    joiner.client.disconnect();
    creator.client.connect(settings.host, settings.port);
    creator.client.createGame();
}

void BenchPair::step(double now) {
    handle(creator, now);
    handle(joiner, now);
    const bool ended =
        abandoning ? creator.client.isFinished() : creator.client.isFinished() && joiner.client.isFinished();
    if (!over && ended) {
        finished.push_back(current());
        over = true;
        if (settings.newGames) {
            beginGame();
        }
    }
    due = std::numeric_limits<double>::infinity();
    if (joiner.seated && !abandoning && !over) {
        act(creator, now);
        act(joiner, now);
    }
}

void BenchPair::finishFlatOut() {
    settings.pace = 0;
    settings.newGames = false;
    creator.turn = 0;
    joiner.turn = 0;
}

bool BenchPair::gameEnded() const {
    return over;
}

int BenchPair::countSeated() const {
    const auto seated = [](const Player& player) {
        return player.client.state() == NetClient::State::Seated && !player.client.isFinished() ? 1 : 0;
    };
    return seated(creator) + seated(joiner);
}

std::vector<BenchPair::Record> BenchPair::records() const {
    std::vector<Record> all = finished;
    if (!over && !creator.client.joinCode().empty()) {
        all.push_back(current());
    }
    return all;
}

BenchPair::Record BenchPair::current() const {
    Record record;
    record.code = creator.client.joinCode();
    record.creatorMoves = creator.acknowledged;
    record.joinerMoves = joiner.acknowledged;
    record.ended = creator.client.isFinished() && (abandoning || joiner.client.isFinished());
    return record;
}

void BenchPair::handle(Player& player, double now) {
    while (const std::optional<NetClient::Event> event = player.client.nextEvent()) {
        switch (event->type) {
        case Type::GameCreated:
            player.seated = true;
            ++tally.games;
            joiner.client.connect(settings.host, settings.port);
            joiner.client.joinGame(event->joinCode);
            break;
        case Type::Joined:
            tally.rejoins += player.seated ? 1 : 0;
            player.seated = true;
            break;
        case Type::MoveAccepted:
            player.acknowledged.push_back(event->move);
            if (event->seat == player.client.seat() && event->number == player.inFlight) {
                if (tally.measuring) {
                    tally.roundTrips.push_back(
                        static_cast<float>((now - player.sentAt) * kMillisecondsPerSecond));
                    ++tally.moves;
                }
                player.inFlight = 0;
            }
            break;
        case Type::Position: {
            // Back after a drop (or a restart of the server): every move seen
            // acknowledged before must still be there. The copy may already
            // hold moves accepted after the position; their events follow.
            const std::vector<std::string>& moves = player.client.game().moves();
            const std::vector<std::string> position(
                moves.begin(), moves.begin() + std::min<size_t>(event->number, moves.size()));
            if (!isPrefix(player.acknowledged, position)) {
                ++tally.lostAcknowledged;
            }
            player.acknowledged = position;
            player.inFlight = 0;
            break;
        }
        case Type::Reconnecting:
            ++tally.reconnects;
            break;
        case Type::Lost:
            if (player.seated) {
                ++tally.errors[kGaveUp];
            } else if (&player == &creator) {
                player.client.connect(settings.host, settings.port);
                player.client.createGame();
            } else {
                player.client.connect(settings.host, settings.port);
                player.client.joinGame(creator.client.joinCode());
            }
            break;
        case Type::Error:
            ++tally.errors[event->code];
            // The server seated a join whose answer was lost: nobody holds that
            // seat's token, so the game is resigned and a new one begun.
            if (&player == &joiner && !joiner.seated &&
                event->code == static_cast<uint32_t>(ErrorCode::GameFull)) {
                abandoning = true;
                joiner.client.disconnect();
                creator.client.resign();
            }
            player.inFlight = 0;
            break;
        default:
            break;
        }
    }
}

void BenchPair::act(Player& player, double now) {
    const RulesGame& game = player.client.game();
    if (player.client.state() != NetClient::State::Seated || player.client.isFinished() ||
        game.toMove() != player.client.seat() || player.inFlight != 0) {
        return;
    }
    const auto next = static_cast<uint32_t>(game.moves().size() + 1);
    if (player.turn != next) {
        player.turn = next;
        player.playAt = std::max(now + think(), player.sentAt + kMinSecondsBetweenMoves);
    }
    if (now < player.playAt) {
        due = std::min(due, player.playAt);
        return;
    }
    const std::vector<std::string> moves = game.legalMoves();
    if (moves.empty()) {
        return; // the board has decided: the server's word on it is under way
    }
    std::uniform_int_distribution<size_t> pick(0, moves.size() - 1);
    if (player.client.play(moves[pick(random)])) {
        player.inFlight = next;
        player.sentAt = steadyNow();
    }
}

double BenchPair::think() {
    std::uniform_real_distribution<double> share(kShortestThought, kLongestThought);
    return settings.pace * share(random);
}
