#include "netplay/networkplay.h"

#include "base/log.h"
#include "game/notation.h"
#include "game/playedgame.h"
#include "net/joincode.h"
#include "net/rulesgame.h"

#include <cstdio>

namespace {

const char* const kSource = "NetworkPlay";
const char* const kDot = "\u00B7";
const char* const kDash = "\u2014";
const char* const kEllipsis = "\u2026";
constexpr int kSecondsPerMinute = 60;

std::string player(int seat) {
    return "Player " + std::to_string(seat);
}

std::string minutes(double seconds) {
    const int whole = seconds > 0.0 ? static_cast<int>(seconds) : 0;
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d", whole / kSecondsPerMinute, whole % kSecondsPerMinute);
    return text;
}

// The code without its dashes, as the server may send it either way.
std::string canonical(const std::string& code) {
    return JoinCode::parse(code).value_or(code);
}

// The player who made move number index (from 0): the sides take turns.
int moverOf(size_t index) {
    return index % 2 == 0 ? GameBoard::kPlayer1 : GameBoard::kPlayer2;
}

} // namespace

NetworkPlay::NetworkPlay(ClientPort& client, GameBoard& board, ShowAtOnce show)
    : client(client), board(board), show(std::move(show)) {}

bool NetworkPlay::start(const ServerAddress& address, Intent what) {
    leave();
    server = address;
    intent = what;
    failure.clear();
    phase = Phase::Connecting;
    if (!client.connect(address.host, address.port)) {
        fail("Unknown host \"" + address.host + "\": no machine is known by that name.", false);
        return false;
    }
    return true;
}

bool NetworkPlay::create(const ServerAddress& address, int wanted, bool onThisMachine) {
    if (!start(address, Intent::Create)) {
        return false;
    }
    wantedSeat = wanted;
    hosted = onThisMachine;
    client.createGame(wanted);
    return true;
}

bool NetworkPlay::join(const ServerAddress& address, const std::string& joinCode) {
    if (!start(address, Intent::Join)) {
        return false;
    }
    client.joinGame(joinCode);
    return true;
}

bool NetworkPlay::watch(const ServerAddress& address, const std::string& joinCode) {
    if (!start(address, Intent::Watch)) {
        return false;
    }
    client.watchGame(joinCode);
    return true;
}

bool NetworkPlay::resume(const KeptNetworkGame& game) {
    if (!start(game.server, Intent::Rejoin)) {
        // Kept: the name may resolve again later.
        keepable = true;
        keptMoves = game.moves;
        code = game.code;
        token = game.token;
        seat = game.seat;
        hosted = game.hosted;
        return false;
    }
    code = game.code;
    token = game.token;
    seat = game.seat;
    hosted = game.hosted;
    keepable = true;
    keptMoves = game.moves;
    if (onTable) {
        show(recordOf(game.moves, seat));
    }
    client.rejoin(game.token);
    return true;
}

void NetworkPlay::leave() {
    client.disconnect();
    phase = Phase::Idle;
    intent = Intent::None;
    seat = 0;
    hosted = false;
    code.clear();
    token.clear();
    sent.clear();
    opponentPresence = Protocol::SeatPresence::Empty;
    hostLeft = false;
    linkLost = false;
    askedBy = 0;
    noticeText.clear();
    noticeStays = false;
    winner = 0;
    endReason = Protocol::EndReason::None;
    keepable = false;
    positioned = false;
    keptMoves.clear();
}

void NetworkPlay::fail(const std::string& why, bool dropKept) {
    failure = why;
    phase = Phase::Failed;
    keepable = keepable && !dropKept;
    client.disconnect();
    log(WARNING, kSource, why);
}

void NetworkPlay::notice(const std::string& text) {
    noticeText = text;
    noticeUntil = now + kNoticeSeconds;
    noticeStays = false;
}

void NetworkPlay::setOnTable(bool on) {
    const bool back = on && !onTable;
    onTable = on;
    if (back && phase != Phase::Idle && phase != Phase::Failed && phase != Phase::Connecting) {
        rebuild();
    }
}

void NetworkPlay::update(double time) {
    now = time;
    client.service();
    while (std::optional<NetClient::Event> event = client.nextEvent()) {
        handle(*event);
    }
    followTakeBack();
    if (onTable && (phase == Phase::Playing || phase == Phase::Watching || phase == Phase::Finished)) {
        reconcile();
    }
}

void NetworkPlay::handle(const NetClient::Event& event) {
    using Type = NetClient::Event::Type;
    switch (event.type) {
    case Type::Connected:
        linkLost = false;
        break;
    case Type::VersionRefused:
        fail(event.text, true);
        break;
    case Type::GameCreated:
        seat = event.seat;
        code = canonical(event.joinCode);
        token = event.token;
        keepable = true;
        phase = Phase::Waiting;
        opponentPresence = Protocol::SeatPresence::Empty;
        log(NOTE, kSource,
            "game " + getJoinCode() + " made on " + server.format(0) + ", player " + std::to_string(seat) +
                ": waiting for the other player");
        if (onTable) {
            show(recordOf({}, seat));
        }
        break;
    case Type::Joined:
        seat = event.seat;
        code = canonical(event.joinCode);
        token = event.token;
        keepable = true;
        hostLeft = false;
        // A game just joined has both seats; a rejoined one says in its position.
        if (intent == Intent::Join) {
            opponentPresence = Protocol::SeatPresence::Connected;
        }
        if (phase == Phase::Connecting) {
            enterGame();
        }
        break;
    case Type::Watching:
        seat = 0;
        code = canonical(event.joinCode);
        phase = Phase::Watching;
        log(NOTE, kSource, "watching game " + getJoinCode() + " on " + server.format(0));
        break;
    case Type::Position:
        if (seat != 0) {
            opponentPresence = event.seats[static_cast<size_t>(opponent() - 1)];
            if (opponentPresence == Protocol::SeatPresence::Away) {
                awaySince = now;
            }
            if (phase == Phase::Waiting && opponentPresence != Protocol::SeatPresence::Empty) {
                phase = Phase::Playing;
            } else if (phase == Phase::Playing && opponentPresence == Protocol::SeatPresence::Empty) {
                phase = Phase::Waiting;
            }
        }
        askedBy = event.askedBy;
        askedAt = now;
        positioned = true;
        if (event.reason != Protocol::EndReason::None) {
            finish(event.winner, event.reason);
        }
        sent.clear();
        if (onTable) {
            rebuild();
        }
        break;
    case Type::MoveAccepted:
        // A move answers a take-back request with no.
        askedBy = 0;
        break;
    case Type::SeatState:
        if (event.seat != seat && seat != 0) {
            opponentPresence = event.presence;
            if (event.presence == Protocol::SeatPresence::Away) {
                awaySince = now;
                log(NOTE, kSource,
                    "player " + std::to_string(event.seat) + " disconnected from game " + getJoinCode());
            } else if (phase == Phase::Playing) {
                log(NOTE, kSource,
                    "player " + std::to_string(event.seat) + " is back in game " + getJoinCode());
            }
            if (phase == Phase::Waiting && event.presence == Protocol::SeatPresence::Connected) {
                phase = Phase::Playing;
                log(NOTE, kSource, "player " + std::to_string(opponent()) + " joined game " + getJoinCode());
            }
        }
        break;
    case Type::TakeBackAsked:
        askedBy = event.seat;
        askedAt = now;
        if (event.seat == seat) {
            noticeText = "Waiting for " + player(opponent()) + " to answer" + kEllipsis;
            noticeStays = true;
        } else if (seat != 0) {
            noticeText = player(event.seat) + " asks to take back a move " + kDash + " Y / N";
            noticeStays = true;
        }
        break;
    case Type::TakeBackAnswered: {
        const bool mine = askedBy == seat;
        askedBy = 0;
        noticeStays = false;
        noticeText.clear();
        if (event.agreed) {
            sent.clear();
            notice(event.removed == 1 ? "A move was taken back"
                                      : std::to_string(event.removed) + " moves were taken back");
            if (onTable) {
                rebuild();
            }
        } else if (mine && seat != 0) {
            notice(player(opponent()) + " declined to take back the move");
        }
        break;
    }
    case Type::GameOver:
        finish(event.winner, event.reason);
        break;
    case Type::Error:
        handleError(event);
        break;
    case Type::Reconnecting:
        linkLost = true;
        break;
    case Type::Lost:
        if (phase == Phase::Connecting) {
            fail(event.text == NetClient::kUnreachable ? "No server answers at " + server.format(0) +
                                                             ": is the game hosted there, and the port open?"
                                                       : event.text,
                 false);
        } else if (phase != Phase::Finished) {
            fail(event.text == NetClient::kUnreachable ? std::string("The connection to the server was lost.")
                                                       : event.text,
                 false);
        }
        break;
    }
}

void NetworkPlay::handleError(const NetClient::Event& event) {
    using Protocol::ErrorCode;
    const auto code = static_cast<ErrorCode>(event.code);
    if (phase == Phase::Connecting) {
        // The server refused this seat or code: nothing is left to continue.
        fail(event.text, code == ErrorCode::UnknownToken || code == ErrorCode::GameOver);
        return;
    }
    switch (code) {
    case ErrorCode::HostLeft:
        hostLeft = true;
        log(NOTE, kSource, "the host left game " + getJoinCode());
        return;
    case ErrorCode::IllegalMove:
    case ErrorCode::NotYourTurn:
    case ErrorCode::WrongMoveNumber:
    case ErrorCode::OpponentMissing:
        // The board took a move the server did not: the server's position stands.
        log(WARNING, kSource, "move " + sent + " refused: " + event.text);
        sent.clear();
        notice(event.text);
        if (onTable) {
            rebuild();
        }
        return;
    default:
        notice(event.text);
        return;
    }
}

void NetworkPlay::enterGame() {
    // A rejoined game whose other seat is still empty waits again when its position says so.
    phase = Phase::Playing;
    log(NOTE, kSource,
        std::string(intent == Intent::Rejoin ? "back in" : "joined") + " game " + getJoinCode() + " on " +
            server.format(0) + " as player " + std::to_string(seat));
}

void NetworkPlay::finish(int winnerSeat, Protocol::EndReason reason) {
    if (phase == Phase::Finished) {
        return;
    }
    winner = winnerSeat;
    endReason = reason;
    phase = Phase::Finished;
    askedBy = 0;
    noticeStays = false;
    log(NOTE, kSource, "game " + getJoinCode() + " over: " + resultLine());
    switch (reason) {
    case Protocol::EndReason::Resigned:
        notice(player(winnerSeat == 1 ? 2 : 1) + " resigned");
        break;
    case Protocol::EndReason::Away:
        notice(player(winnerSeat == 1 ? 2 : 1) + " stayed away too long");
        break;
    case Protocol::EndReason::Abandoned:
        notice("Both players stayed away too long");
        break;
    case Protocol::EndReason::MoveLimit:
        notice(std::to_string(Protocol::kMaxMoves) + " moves were played");
        break;
    default:
        break;
    }
    noticeStays = true;
    // No more clicks; the last move, still arriving or being shown, is shown to its end.
    board.setRemote(GameBoard::kPlayer1, true);
    board.setRemote(GameBoard::kPlayer2, true);
}

GameBoard::Record NetworkPlay::recordOf(const std::vector<std::string>& moves, int seat) {
    GameBoard::Record record;
    for (const std::string& text : moves) {
        if (const std::optional<Move> move = Notation::parseMove(text)) {
            record.moves.push_back(*move);
        }
    }
    std::string reason;
    std::optional<PlayedGame> played = PlayedGame::replay(record.moves, reason);
    if (!played) {
        record.moves.clear();
        played = PlayedGame::replay(record.moves, reason);
    }
    const int count = played->countMoves();
    record.fields = played->fieldsAfter(count);
    record.toMove = played->positionAfter(count).toMove();
    record.difficulty = GameBoard::kHard;
    for (int player = GameBoard::kPlayer1; player <= GameBoard::kPlayer2; ++player) {
        const auto slot = static_cast<size_t>(player - 1);
        record.human[slot] = player == seat;
        record.remote[slot] = player != seat;
    }
    return record;
}

void NetworkPlay::rebuild() {
    sent.clear();
    // A finished game takes no clicks: both sides are shown as remote.
    show(recordOf(client.game().moves(), phase == Phase::Finished ? 0 : seat));
}

void NetworkPlay::reconcile() {
    const std::vector<std::string>& confirmed = client.game().moves();
    const std::vector<Move>& shown = board.getMoves();
    size_t same = 0;
    while (same < confirmed.size() && same < shown.size() && Notation::move(shown[same]) == confirmed[same]) {
        ++same;
    }
    if (same == shown.size() && same < confirmed.size()) {
        // The board is behind: the next move comes as the remote player's.
        const int mover = moverOf(same);
        const std::optional<Move> next = Notation::parseMove(confirmed[same]);
        if (!next || !board.isRemote(mover)) {
            rebuild();
            return;
        }
        if (!board.playRemote(next->fromX, next->fromY, next->toX, next->toY) &&
            (board.getCurrentPlayer() != mover || board.isMoveDone()) && board.countPendingMoves() == 0) {
            // Neither its turn nor a move still being shown: the board went its own way.
            rebuild();
        }
        return;
    }
    if (same == confirmed.size() && shown.size() == same + 1 && moverOf(same) == seat && seat != 0 &&
        phase == Phase::Playing) {
        // This player's move, made on the board: sent once, answered by the server.
        const std::string move = Notation::move(shown[same]);
        if (sent != move && client.play(move)) {
            sent = move;
            log(NOTE, kSource, "move " + move + " sent");
        }
        return;
    }
    if (same != shown.size() || same != confirmed.size()) {
        rebuild();
    }
}

void NetworkPlay::followTakeBack() {
    if (askedBy == 0) {
        return;
    }
    if (isAskedToTakeBack() && now - askedAt >= kTakeBackTimeout) {
        log(NOTE, kSource, "take-back not answered in time: declined");
        answerTakeBack(false);
    } else if (askedBy == seat && now - askedAt >= kAskerPatience) {
        askedBy = 0;
        notice(player(opponent()) + " did not answer");
    }
}

bool NetworkPlay::askTakeBack() {
    if (phase != Phase::Playing || seat == 0 || askedBy != 0) {
        return false;
    }
    return client.askTakeBack();
}

bool NetworkPlay::answerTakeBack(bool agree) {
    if (!isAskedToTakeBack()) {
        return false;
    }
    if (!client.answerTakeBack(agree)) {
        return false;
    }
    // The server's answer to both clears it; the prompt goes at once.
    noticeText.clear();
    noticeStays = false;
    return true;
}

bool NetworkPlay::resign() {
    return canResign() && client.resign();
}

bool NetworkPlay::canResign() const {
    return seat != 0 && (phase == Phase::Playing || phase == Phase::Waiting);
}

std::string NetworkPlay::getJoinCode() const {
    return code.empty() ? std::string() : JoinCode::format(code);
}

std::string NetworkPlay::connectionLine() const {
    if (phase == Phase::Connecting) {
        return "connecting to " + server.format(Protocol::kDefaultPort) + kEllipsis;
    }
    if (phase != Phase::Playing && phase != Phase::Watching && phase != Phase::Waiting) {
        return std::string();
    }
    if (linkLost || client.state() == NetClient::State::Reconnecting) {
        return hostLeft ? std::string("The host left ") + kDash + " reconnecting" + kEllipsis
                        : std::string("reconnecting") + kEllipsis;
    }
    if (seat != 0 && opponentPresence == Protocol::SeatPresence::Away) {
        const double left = kOpponentWait - (now - awaySince);
        return player(opponent()) + " disconnected " + kDash +
               (left > 0.0 ? " waiting " + minutes(left) : std::string(" the server keeps the game"));
    }
    return "connected " + std::string(kDot) + " " + std::to_string(client.roundTripMs()) + " ms";
}

std::string NetworkPlay::codeLine() const {
    if (code.empty() || phase == Phase::Failed || phase == Phase::Idle) {
        return std::string();
    }
    return (seat == 0 ? "Watching " : "Code ") + getJoinCode();
}

std::string NetworkPlay::noticeLine() const {
    return noticeStays || now < noticeUntil ? noticeText : std::string();
}

std::string NetworkPlay::resultLine() const {
    // The board says who won a game it decided, once its last move has landed.
    if (phase != Phase::Finished || endReason == Protocol::EndReason::Board) {
        return std::string();
    }
    return winner == 0 ? std::string("Nobody won") : player(winner) + " Won!";
}

std::optional<KeptNetworkGame> NetworkPlay::kept() const {
    const bool seated = seat != 0 && !token.empty() && !code.empty() && keepable;
    const bool going = phase == Phase::Waiting || phase == Phase::Playing || phase == Phase::Connecting ||
                       phase == Phase::Failed;
    if (!seated || !going) {
        return std::nullopt;
    }
    KeptNetworkGame game;
    game.server = server;
    game.code = code;
    game.token = token;
    game.seat = seat;
    game.hosted = hosted;
    game.moves = positioned ? client.game().moves() : keptMoves;
    return game;
}
