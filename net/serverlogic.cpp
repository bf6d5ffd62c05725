#include "net/serverlogic.h"

#include "base/log.h"
#include "base/version.h"
#include "net/codec.h"
#include "net/gamestore.h"
#include "net/joincode.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <optional>
#include <utility>

using namespace sporrik::wire;
using Protocol::ErrorCode;

namespace {

const char* const kSource = "Server";

uint32_t wireValue(Protocol::SeatPresence presence) {
    return static_cast<uint32_t>(presence);
}

} // namespace

struct ServerLogic::Game {
    int64_t id = 0;
    std::string code;
    GameRoom room;
    std::array<std::string, GameRoom::kSeats> tokens;
    std::array<PeerId, GameRoom::kSeats> seatPeers{};
    std::vector<PeerId> watchers;
};

struct ServerLogic::Peer {
    Peer(PeerId id, uint32_t address, double now, const ServerLimits& limits)
        : id(id), address(address), connectedAt(now), lastHeard(now),
          messages(limits.messageRate, limits.messageBurst, now) {}

    PeerId id;
    uint32_t address;
    double connectedAt;
    double lastHeard;
    RateLimiter messages;
    bool greeted = false;
    bool closing = false;
    int refusals = 0;
    Role role = Role::None;
    int64_t game = 0;
    int seat = 0;
};

ServerLogic::ServerLogic(GameStore& store, const ServerLimits& limits, RandomBytes::Source random)
    : store(store), limits(limits), random(std::move(random)),
      failedJoins(limits.failedJoinRate, limits.failedJoinBurst, 0) {}

ServerLogic::~ServerLogic() = default;

size_t ServerLogic::loadGames(double now) {
    size_t loaded = 0;
    for (const GameStore::StoredGame& stored : store.loadOpenGames()) {
        if (loadStored(stored.result, stored.id, stored.code, stored.tokens, stored.moves, now) != nullptr) {
            ++loaded;
        }
    }
    return loaded;
}

void ServerLogic::connect(PeerId peer, uint32_t address, double now) {
    peers.try_emplace(peer, peer, address, now, limits);
}

void ServerLogic::disconnect(PeerId peerId, double now) {
    const auto it = peers.find(peerId);
    if (it == peers.end()) {
        return;
    }
    leaveGame(it->second, now);
    peers.erase(it);
}

void ServerLogic::receive(PeerId peerId, const uint8_t* data, size_t size, double now) {
    const auto it = peers.find(peerId);
    if (it == peers.end() || it->second.closing) {
        return;
    }
    Peer& peer = it->second;
    peer.lastHeard = now;
    if (!peer.messages.take(now)) {
        refuse(peer, ErrorCode::RateLimited);
        return;
    }
    uint32_t error = 0;
    const std::optional<ClientMessage> message = Codec::decodeClient(data, size, &error);
    if (!message) {
        refuse(peer, static_cast<ErrorCode>(error));
        // Before the hello a peer has shown nothing that it speaks the protocol.
        if (!peer.greeted) {
            close(peer);
        }
        return;
    }
    if (!peer.greeted) {
        if (!message->has_hello()) {
            refuse(peer, ErrorCode::HelloFirst);
            close(peer);
            return;
        }
        hello(peer, message->hello());
        return;
    }
    handle(peer, *message, now);
}

void ServerLogic::handle(Peer& peer, const ClientMessage& message, double now) {
    const bool inGame = peer.role != Role::None;
    switch (message.body_case()) {
    case ClientMessage::kHello:
        return refuse(peer, ErrorCode::SecondHello);
    case ClientMessage::kCreateGame:
        return inGame ? refuse(peer, ErrorCode::AlreadyInGame)
                      : createGame(peer, message.create_game().seat());
    case ClientMessage::kJoinGame:
        return inGame ? refuse(peer, ErrorCode::AlreadyInGame)
                      : joinGame(peer, message.join_game().code(), false, now);
    case ClientMessage::kWatchGame:
        return inGame ? refuse(peer, ErrorCode::AlreadyInGame)
                      : joinGame(peer, message.watch_game().code(), true, now);
    case ClientMessage::kRejoin:
        return inGame ? refuse(peer, ErrorCode::AlreadyInGame) : rejoin(peer, message.rejoin().token(), now);
    case ClientMessage::kAskPosition:
        return inGame ? send(peer.id, position(*gameOf(peer), peer.seat))
                      : refuse(peer, ErrorCode::NotInGame);
    case ClientMessage::kPing:
        return;
    default:
        break;
    }
    // What is left is a player's: a move, a take-back, a resignation.
    if (!inGame) {
        return refuse(peer, ErrorCode::NotInGame);
    }
    if (peer.role == Role::Watcher) {
        return refuse(peer, ErrorCode::Spectator);
    }
    switch (message.body_case()) {
    case ClientMessage::kPlayMove:
        return playMove(peer, message.play_move());
    case ClientMessage::kAskTakeBack:
        return askTakeBack(peer);
    case ClientMessage::kAnswerTakeBack:
        return answerTakeBack(peer, message.answer_take_back().agree());
    case ClientMessage::kResign:
        return resign(peer);
    default:
        return refuse(peer, ErrorCode::BadMessage);
    }
}

void ServerLogic::hello(Peer& peer, const Hello& message) {
    ServerMessage answer;
    if (message.protocol() != Version::kProtocol) {
        const std::string theirs = Codec::printable(message.game_version(), Protocol::kMaxVersionTextBytes);
        VersionRefused& refused = *answer.mutable_version_refused();
        refused.set_protocol(Version::kProtocol);
        refused.set_game_version(Version::kGame);
        refused.set_text(
            Protocol::versionMismatchText(Version::kProtocol, Version::kGame, message.protocol(), theirs));
        log(NOTE, kSource, "peer " + std::to_string(peer.id) + " refused: " + refused.text());
        send(peer.id, answer);
        close(peer);
        return;
    }
    peer.greeted = true;
    answer.mutable_welcome()->set_protocol(Version::kProtocol);
    answer.mutable_welcome()->set_game_version(Version::kGame);
    send(peer.id, answer);
}

void ServerLogic::createGame(Peer& peer, uint32_t wantedSeat) {
    if (openGames >= limits.maxGames) {
        return refuse(peer, ErrorCode::ServerFull);
    }
    std::string code;
    do {
        code = JoinCode::generate(random);
    } while (gamesByCode.count(code) != 0 || store.findByCode(code));
    const int64_t id = store.createGame(code);
    if (id == 0) {
        return refuse(peer, ErrorCode::StorageFailed);
    }
    auto game = std::make_unique<Game>();
    game->id = id;
    game->code = code;
    Game& created = *game;
    games.emplace(id, std::move(game));
    gamesByCode.emplace(code, id);
    ++openGames;
    log(NOTE, kSource, "game " + JoinCode::format(code) + " created by peer " + std::to_string(peer.id));
    seat(peer, created, wantedSeat == 2 ? 2 : 1, true);
}

void ServerLogic::joinGame(Peer& peer, const std::string& typed, bool watching, double now) {
    if (!allowJoin(peer, now)) {
        return;
    }
    const std::optional<std::string> code = JoinCode::parse(typed);
    if (!code) {
        return failedJoin(peer, ErrorCode::UnknownCode, now);
    }
    Game* game = nullptr;
    if (const auto it = gamesByCode.find(*code); it != gamesByCode.end()) {
        game = games.at(it->second).get();
    } else if (const std::optional<GameStore::StoredGame> stored = store.findByCode(*code)) {
        // Open games are all loaded: a stored one that is not has ended.
        if (!watching) {
            return refuse(peer, ErrorCode::GameOver);
        }
        game = loadStored(stored->result, stored->id, stored->code, stored->tokens, stored->moves, now);
    }
    if (game == nullptr) {
        return failedJoin(peer, ErrorCode::UnknownCode, now);
    }
    if (watching) {
        if (game->watchers.size() >= limits.maxWatchers) {
            refuse(peer, ErrorCode::WatchersFull);
            return unloadIfUnwatched(*game);
        }
        return watch(peer, *game);
    }
    if (game->room.result().finished) {
        return refuse(peer, ErrorCode::GameOver);
    }
    const int free = game->room.freeSeat();
    if (free == 0) {
        return refuse(peer, ErrorCode::GameFull);
    }
    seat(peer, *game, free, false);
}

void ServerLogic::rejoin(Peer& peer, const std::string& token, double now) {
    if (!allowJoin(peer, now)) {
        return;
    }
    Game* game = nullptr;
    int seatNumber = 0;
    if (const auto it = seatsByToken.find(token); it != seatsByToken.end()) {
        game = games.at(it->second.first).get();
        seatNumber = it->second.second;
    } else if (const std::optional<GameStore::StoredGame> stored = store.findByToken(token, seatNumber)) {
        game = loadStored(stored->result, stored->id, stored->code, stored->tokens, stored->moves, now);
    }
    if (game == nullptr || !GameRoom::isSeat(seatNumber)) {
        return failedJoin(peer, ErrorCode::UnknownToken, now);
    }
    const size_t slot = static_cast<size_t>(seatNumber - 1);
    // The seat's old connection, whose drop the server has not seen yet, gives way.
    if (const PeerId old = game->seatPeers[slot]; old != 0 && old != peer.id) {
        if (const auto it = peers.find(old); it != peers.end()) {
            it->second.role = Role::None;
            it->second.game = 0;
            close(it->second);
        }
    }
    game->seatPeers[slot] = peer.id;
    game->room.back(seatNumber);
    peer.role = Role::Player;
    peer.game = game->id;
    peer.seat = seatNumber;
    ServerMessage seated;
    seated.mutable_seated()->set_code(JoinCode::format(game->code));
    seated.mutable_seated()->set_token(token);
    seated.mutable_seated()->set_seat(static_cast<uint32_t>(seatNumber));
    send(peer.id, seated);
    send(peer.id, position(*game, seatNumber));
    ServerMessage back;
    back.mutable_seat_state()->set_seat(static_cast<uint32_t>(seatNumber));
    back.mutable_seat_state()->set_state(wireValue(Protocol::SeatPresence::Connected));
    sendToGame(*game, back, peer.id);
    log(NOTE, kSource,
        "seat " + std::to_string(seatNumber) + " of game " + JoinCode::format(game->code) + " back on peer " +
            std::to_string(peer.id));
}

void ServerLogic::seat(Peer& peer, Game& game, int seatNumber, bool created) {
    const std::string token = newToken();
    const size_t slot = static_cast<size_t>(seatNumber - 1);
    store.addSeat(game.id, seatNumber, token);
    game.tokens[slot] = token;
    game.seatPeers[slot] = peer.id;
    game.room.take(seatNumber);
    seatsByToken[token] = {game.id, seatNumber};
    peer.role = Role::Player;
    peer.game = game.id;
    peer.seat = seatNumber;
    ServerMessage seated;
    seated.mutable_seated()->set_code(JoinCode::format(game.code));
    seated.mutable_seated()->set_token(token);
    seated.mutable_seated()->set_seat(static_cast<uint32_t>(seatNumber));
    seated.mutable_seated()->set_created(created);
    send(peer.id, seated);
    send(peer.id, position(game, seatNumber));
    if (!created) {
        ServerMessage joined;
        joined.mutable_seat_state()->set_seat(static_cast<uint32_t>(seatNumber));
        joined.mutable_seat_state()->set_state(wireValue(Protocol::SeatPresence::Connected));
        sendToGame(game, joined, peer.id);
        log(NOTE, kSource,
            "game " + JoinCode::format(game.code) + " joined by peer " + std::to_string(peer.id));
    }
}

void ServerLogic::watch(Peer& peer, Game& game) {
    game.watchers.push_back(peer.id);
    peer.role = Role::Watcher;
    peer.game = game.id;
    peer.seat = 0;
    ServerMessage watching;
    watching.mutable_watching()->set_code(JoinCode::format(game.code));
    send(peer.id, watching);
    send(peer.id, position(game, 0));
}

void ServerLogic::playMove(Peer& peer, const PlayMove& message) {
    Game& game = *gameOf(peer);
    const ErrorCode refusal = game.room.play(peer.seat, message.move(), message.number());
    if (refusal != ErrorCode::None) {
        return refuse(peer, refusal);
    }
    const RulesGame& rules = game.room.game();
    const auto number = static_cast<uint32_t>(rules.moves().size());
    store.addMove(game.id, number, message.move());
    ++movesPlayed;
    if (game.room.droppedTakeBack()) {
        ServerMessage declined;
        declined.mutable_take_back_answered()->set_agreed(false);
        sendToGame(game, declined);
    }
    ServerMessage accepted;
    MoveAccepted& move = *accepted.mutable_move_accepted();
    move.set_move(message.move());
    move.set_hash(rules.hash());
    move.set_number(number);
    move.set_player(static_cast<uint32_t>(peer.seat));
    sendToGame(game, accepted);
    if (game.room.result().finished) {
        endGame(game);
    }
}

void ServerLogic::askTakeBack(Peer& peer) {
    Game& game = *gameOf(peer);
    if (const ErrorCode refusal = game.room.askTakeBack(peer.seat); refusal != ErrorCode::None) {
        return refuse(peer, refusal);
    }
    ServerMessage asked;
    asked.mutable_take_back_asked()->set_seat(static_cast<uint32_t>(peer.seat));
    sendToGame(game, asked);
}

void ServerLogic::answerTakeBack(Peer& peer, bool agree) {
    Game& game = *gameOf(peer);
    int removed = 0;
    if (const ErrorCode refusal = game.room.answerTakeBack(peer.seat, agree, removed);
        refusal != ErrorCode::None) {
        return refuse(peer, refusal);
    }
    const RulesGame& rules = game.room.game();
    const auto remaining = static_cast<uint32_t>(rules.moves().size());
    if (removed > 0) {
        store.dropMovesAfter(game.id, remaining);
    }
    ServerMessage answered;
    TakeBackAnswered& answer = *answered.mutable_take_back_answered();
    answer.set_agreed(agree);
    answer.set_removed(static_cast<uint32_t>(removed));
    answer.set_number(remaining);
    answer.set_hash(rules.hash());
    sendToGame(game, answered);
}

void ServerLogic::resign(Peer& peer) {
    Game& game = *gameOf(peer);
    if (const ErrorCode refusal = game.room.resign(peer.seat); refusal != ErrorCode::None) {
        return refuse(peer, refusal);
    }
    endGame(game);
}

void ServerLogic::endGame(Game& game) {
    const GameRoom::Result& result = game.room.result();
    store.finish(game.id, result);
    --openGames;
    ServerMessage over;
    over.mutable_game_over()->set_winner(static_cast<uint32_t>(result.winner));
    over.mutable_game_over()->set_reason(static_cast<uint32_t>(result.reason));
    sendToGame(game, over);
    log(NOTE, kSource,
        "game " + JoinCode::format(game.code) + " over after " +
            std::to_string(game.room.game().moves().size()) + " moves: winner " +
            std::to_string(result.winner) + ", reason " +
            std::to_string(static_cast<uint32_t>(result.reason)));
}

void ServerLogic::leaveGame(Peer& peer, double now) {
    Game* game = gameOf(peer);
    if (game == nullptr) {
        return;
    }
    if (peer.role == Role::Player) {
        game->seatPeers[static_cast<size_t>(peer.seat - 1)] = 0;
        game->room.leave(peer.seat, now);
        ServerMessage away;
        away.mutable_seat_state()->set_seat(static_cast<uint32_t>(peer.seat));
        away.mutable_seat_state()->set_state(wireValue(Protocol::SeatPresence::Away));
        sendToGame(*game, away);
    } else {
        auto& watchers = game->watchers;
        watchers.erase(std::remove(watchers.begin(), watchers.end(), peer.id), watchers.end());
    }
    peer.role = Role::None;
    peer.game = 0;
    unloadIfUnwatched(*game);
}

void ServerLogic::tick(double now) {
    for (auto& [id, peer] : peers) {
        const bool lateHello = !peer.greeted && now - peer.connectedAt >= limits.helloDeadline;
        if (!peer.closing && (lateHello || now - peer.lastHeard >= limits.idleLimit)) {
            log(NOTE, kSource, "peer " + std::to_string(id) + " dropped: silent too long");
            refuse(peer, ErrorCode::Idle);
            close(peer);
        }
    }
    std::vector<Game*> ended;
    for (auto& [id, game] : games) {
        if (game->room.closeIfAway(now, limits.awayLimit)) {
            ended.push_back(game.get());
        }
    }
    for (Game* game : ended) {
        endGame(*game);
        unloadIfUnwatched(*game);
    }
    for (auto it = joinsByAddress.begin(); it != joinsByAddress.end();) {
        it = it->second.isFull(now) ? joinsByAddress.erase(it) : std::next(it);
    }
}

void ServerLogic::shutdown(ErrorCode farewell) {
    for (auto& [id, peer] : peers) {
        if (!peer.closing) {
            refuse(peer, farewell);
            close(peer);
        }
    }
}

std::vector<ServerLogic::Outgoing> ServerLogic::takeOutbox() {
    return std::exchange(outbox, {});
}

std::vector<ServerLogic::PeerId> ServerLogic::takeClosing() {
    return std::exchange(closing, {});
}

const GameRoom* ServerLogic::findRoom(const std::string& code) const {
    const std::optional<std::string> canonical = JoinCode::parse(code);
    const auto it = canonical ? gamesByCode.find(*canonical) : gamesByCode.end();
    return it != gamesByCode.end() ? &games.at(it->second)->room : nullptr;
}

bool ServerLogic::allowJoin(Peer& peer, double now) {
    auto [it, added] = joinsByAddress.try_emplace(peer.address, limits.joinRate, limits.joinBurst, now);
    // The server-wide budget of failures holds off guessers spread over many addresses.
    if (!it->second.take(now) || !failedJoins.available(now)) {
        refuse(peer, ErrorCode::JoinsLimited);
        return false;
    }
    return true;
}

void ServerLogic::failedJoin(Peer& peer, ErrorCode code, double now) {
    failedJoins.take(now);
    refuse(peer, code);
}

ServerLogic::Game* ServerLogic::gameOf(const Peer& peer) {
    const auto it = games.find(peer.game);
    return peer.role != Role::None && it != games.end() ? it->second.get() : nullptr;
}

ServerLogic::Game* ServerLogic::loadStored(const GameRoom::Result& result, int64_t id,
                                           const std::string& code,
                                           const std::array<std::string, GameRoom::kSeats>& tokens,
                                           const std::vector<std::string>& moves, double now) {
    if (const auto it = games.find(id); it != games.end()) {
        return it->second.get();
    }
    auto game = std::make_unique<Game>();
    if (!game->room.restore(moves, result)) {
        log(WARNING, kSource,
            "game " + JoinCode::format(code) + " left out: the rules refuse its kept moves");
        return nullptr;
    }
    game->id = id;
    game->code = code;
    game->tokens = tokens;
    for (int seatNumber = 1; seatNumber <= GameRoom::kSeats; ++seatNumber) {
        const std::string& token = tokens[static_cast<size_t>(seatNumber - 1)];
        if (!token.empty()) {
            game->room.take(seatNumber);
            game->room.leave(seatNumber, now);
            seatsByToken[token] = {id, seatNumber};
        }
    }
    if (!result.finished) {
        ++openGames;
    }
    Game* loaded = game.get();
    games.emplace(id, std::move(game));
    gamesByCode.emplace(code, id);
    return loaded;
}

void ServerLogic::unloadIfUnwatched(Game& game) {
    const bool seatsEmpty =
        std::all_of(game.seatPeers.begin(), game.seatPeers.end(), [](PeerId p) { return p == 0; });
    if (!game.room.result().finished || !seatsEmpty || !game.watchers.empty()) {
        return;
    }
    for (const std::string& token : game.tokens) {
        seatsByToken.erase(token);
    }
    gamesByCode.erase(game.code);
    games.erase(game.id);
}

ServerMessage ServerLogic::position(const Game& game, int yourSeat) const {
    ServerMessage message;
    Position& p = *message.mutable_position();
    const RulesGame& rules = game.room.game();
    p.set_code(JoinCode::format(game.code));
    p.set_your_seat(static_cast<uint32_t>(yourSeat));
    for (const std::string& move : rules.moves()) {
        p.add_moves(move);
    }
    p.set_hash(rules.hash());
    p.set_to_move(static_cast<uint32_t>(rules.toMove()));
    p.set_seat1(wireValue(game.room.presence(1)));
    p.set_seat2(wireValue(game.room.presence(2)));
    p.set_take_back_asked_by(static_cast<uint32_t>(game.room.takeBackAskedBy()));
    const GameRoom::Result& result = game.room.result();
    p.set_finished(result.finished);
    p.set_winner(static_cast<uint32_t>(result.winner));
    p.set_reason(static_cast<uint32_t>(result.reason));
    return message;
}

void ServerLogic::send(PeerId peer, const ServerMessage& message) {
    outbox.push_back({peer, Codec::encode(message)});
}

void ServerLogic::sendToGame(const Game& game, const ServerMessage& message, PeerId except) {
    const std::string bytes = Codec::encode(message);
    for (const PeerId peer : game.seatPeers) {
        if (peer != 0 && peer != except) {
            outbox.push_back({peer, bytes});
        }
    }
    for (const PeerId peer : game.watchers) {
        outbox.push_back({peer, bytes});
    }
}

void ServerLogic::refuse(Peer& peer, ErrorCode code) {
    ServerMessage message;
    message.mutable_error()->set_code(static_cast<uint32_t>(code));
    message.mutable_error()->set_text(Protocol::errorText(code));
    send(peer.id, message);
    log(DEBUG, kSource, "peer " + std::to_string(peer.id) + " refused: " + Protocol::errorText(code));
    if (++peer.refusals > limits.maxRefusals) {
        close(peer);
    }
}

void ServerLogic::close(Peer& peer) {
    if (!peer.closing) {
        peer.closing = true;
        closing.push_back(peer.id);
    }
}

std::string ServerLogic::newToken() {
    std::string token(Protocol::kTokenBytes, '\0');
    random(reinterpret_cast<uint8_t*>(token.data()), token.size());
    return token;
}
