#include "net/netclient.h"

#include "base/version.h"
#include "net/clienthost.h"
#include "net/codec.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <enet/enet.h>

using namespace sporrik::wire;

namespace {

// A connection attempt, or a connection whose packets go unanswered, ends
// after this long (ENet's limit, minimum and maximum in milliseconds).
constexpr enet_uint32 kTimeoutLimit = 32;
constexpr enet_uint32 kTimeoutMinimumMs = 3000;
constexpr enet_uint32 kTimeoutMaximumMs = 10000;
// A quiet connection is pinged this often rather than ENet's twice a second:
// a server with thousands of waiting players spends its time on moves.
constexpr enet_uint32 kPingIntervalMs = 2000;
const char* const kHexDigits = "0123456789abcdef";
constexpr int kHexBase = 16;
constexpr int kNibbleBits = 4;

double steadyNow() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

int hexValue(char c) {
    const char* at = c != '\0' ? std::strchr(kHexDigits, c) : nullptr;
    return at != nullptr ? static_cast<int>(at - kHexDigits) : -1;
}

} // namespace

NetClient::Options::Options() : protocol(Version::kProtocol), gameVersion(Version::kGame) {}

NetClient::NetClient(ClientHost* shared, Options options) : host(shared), options(std::move(options)) {
    if (host == nullptr) {
        ownHost = std::make_unique<ClientHost>();
        host = ownHost.get();
    }
    host->add(this);
}

NetClient::~NetClient() {
    disconnect();
    host->remove(this);
}

bool NetClient::connect(const std::string& name, uint16_t serverPort) {
    ENetAddress address{};
    if (enet_address_set_host(&address, name.c_str()) != 0) {
        return false;
    }
    disconnect();
    hostName = name;
    port = serverPort;
    mySeat = 0;
    code.clear();
    finished = false;
    current = State::Connecting;
    if (!startConnection()) {
        current = State::Closed;
        Event lost = make(Event::Type::Lost);
        lost.text = kUnreachable;
        emit(lost);
    }
    return true;
}

void NetClient::disconnect() {
    if (peer != nullptr) {
        peer->data = nullptr;
        enet_peer_disconnect_now(peer, 0);
        peer = nullptr;
    }
    current = State::Closed;
}

bool NetClient::startConnection() {
    ENetAddress address{};
    if (enet_address_set_host(&address, hostName.c_str()) != 0) {
        return false;
    }
    address.port = port;
    peer = enet_host_connect(host->host, &address, Protocol::kChannels, 0);
    if (peer == nullptr) {
        return false;
    }
    peer->data = this;
    enet_peer_timeout(peer, kTimeoutLimit, kTimeoutMinimumMs, kTimeoutMaximumMs);
    enet_peer_ping_interval(peer, kPingIntervalMs);
    return true;
}

void NetClient::createGame(int seat) {
    intent = Intent::Create;
    wantedSeat = seat;
    if (current == State::Ready) {
        sendIntent();
    }
}

void NetClient::joinGame(const std::string& joinCode) {
    intent = Intent::Join;
    intentCode = joinCode;
    if (current == State::Ready) {
        sendIntent();
    }
}

void NetClient::watchGame(const std::string& joinCode) {
    intent = Intent::Watch;
    intentCode = joinCode;
    if (current == State::Ready) {
        sendIntent();
    }
}

bool NetClient::rejoin(const std::string& token) {
    const std::optional<std::string> bytes = tokenFromText(token);
    if (!bytes) {
        return false;
    }
    intent = Intent::Rejoin;
    seatToken = *bytes;
    if (current == State::Ready) {
        sendIntent();
    }
    return true;
}

bool NetClient::play(const std::string& move) {
    if (current != State::Seated || finished) {
        return false;
    }
    ClientMessage message;
    message.mutable_play_move()->set_move(move);
    message.mutable_play_move()->set_number(static_cast<uint32_t>(copy.moves().size() + 1));
    return send(message);
}

bool NetClient::askTakeBack() {
    ClientMessage message;
    message.mutable_ask_take_back();
    return current == State::Seated && send(message);
}

bool NetClient::answerTakeBack(bool agree) {
    ClientMessage message;
    message.mutable_answer_take_back()->set_agree(agree);
    return current == State::Seated && send(message);
}

bool NetClient::resign() {
    ClientMessage message;
    message.mutable_resign();
    return current == State::Seated && send(message);
}

void NetClient::service() {
    host->service(0);
}

std::optional<NetClient::Event> NetClient::nextEvent() {
    if (events.empty()) {
        return std::nullopt;
    }
    Event event = std::move(events.front());
    events.pop_front();
    return event;
}

uint32_t NetClient::roundTripMs() const {
    return peer != nullptr ? peer->roundTripTime : 0;
}

std::string NetClient::token() const {
    return tokenToText(seatToken);
}

void NetClient::handleEvent(ENetEvent& event) {
    switch (event.type) {
    case ENET_EVENT_TYPE_CONNECT: {
        current = State::Greeting;
        ClientMessage hello;
        hello.mutable_hello()->set_protocol(options.protocol);
        hello.mutable_hello()->set_game_version(options.gameVersion);
        send(hello);
        break;
    }
    case ENET_EVENT_TYPE_RECEIVE: {
        const std::optional<ServerMessage> message =
            Codec::decodeServer(event.packet->data, event.packet->dataLength);
        enet_packet_destroy(event.packet);
        if (message) {
            handleMessage(*message);
        } else {
            Event error = make(Event::Type::Error);
            error.text = Protocol::errorText(Protocol::ErrorCode::BadMessage);
            emit(error);
        }
        break;
    }
    case ENET_EVENT_TYPE_DISCONNECT:
        event.peer->data = nullptr;
        peer = nullptr;
        if (current != State::Closed && current != State::Idle) {
            onDropped(steadyNow());
        }
        break;
    case ENET_EVENT_TYPE_NONE:
        break;
    }
}

void NetClient::onDropped(double now) {
    const bool inGame = mySeat != 0 ? !seatToken.empty() : !code.empty();
    if (current == State::Reconnecting) {
        retryDelay = std::min(retryDelay * 2, options.maxRetry);
    } else if (inGame) {
        current = State::Reconnecting;
        droppedAt = now;
        retryDelay = options.firstRetry;
        attempts = 0;
    } else {
        current = State::Closed;
        Event lost = make(Event::Type::Lost);
        lost.text = kUnreachable;
        emit(lost);
        return;
    }
    if (now + retryDelay - droppedAt > options.reconnectFor) {
        current = State::Closed;
        Event lost = make(Event::Type::Lost);
        lost.text = kGaveUp;
        emit(lost);
        return;
    }
    nextAttempt = now + retryDelay;
    Event reconnecting = make(Event::Type::Reconnecting);
    reconnecting.attempt = ++attempts;
    reconnecting.delay = retryDelay;
    emit(reconnecting);
}

void NetClient::tick(double now) {
    if (current == State::Reconnecting && peer == nullptr && now >= nextAttempt && !startConnection()) {
        onDropped(now);
    }
    const bool welcomed = current == State::Ready || current == State::Seated || current == State::Watching;
    if (welcomed && now - lastSent >= options.keepAlive) {
        ClientMessage ping;
        ping.mutable_ping();
        send(ping);
    }
}

void NetClient::handleMessage(const ServerMessage& message) {
    switch (message.body_case()) {
    case ServerMessage::kWelcome:
        return onWelcome(message.welcome());
    case ServerMessage::kVersionRefused: {
        Event refused = make(Event::Type::VersionRefused);
        refused.text = Codec::printable(message.version_refused().text(), Protocol::kMaxServerMessageBytes);
        disconnect();
        return emit(refused);
    }
    case ServerMessage::kSeated: {
        const Seated& seated = message.seated();
        mySeat = static_cast<int>(seated.seat());
        seatToken = seated.token();
        code = seated.code();
        current = State::Seated;
        Event event = make(seated.created() ? Event::Type::GameCreated : Event::Type::Joined);
        event.token = token();
        return emit(event);
    }
    case ServerMessage::kWatching:
        mySeat = 0;
        code = message.watching().code();
        current = State::Watching;
        return emit(make(Event::Type::Watching));
    case ServerMessage::kPosition:
        return onPosition(message.position());
    case ServerMessage::kMoveAccepted:
        return onMoveAccepted(message.move_accepted());
    case ServerMessage::kSeatState: {
        Event event = make(Event::Type::SeatState);
        event.seat = static_cast<int>(message.seat_state().seat());
        event.presence = static_cast<Protocol::SeatPresence>(message.seat_state().state());
        return emit(event);
    }
    case ServerMessage::kTakeBackAsked: {
        Event event = make(Event::Type::TakeBackAsked);
        event.seat = static_cast<int>(message.take_back_asked().seat());
        return emit(event);
    }
    case ServerMessage::kTakeBackAnswered:
        return onTakeBackAnswered(message.take_back_answered());
    case ServerMessage::kGameOver: {
        finished = true;
        Event event = make(Event::Type::GameOver);
        event.winner = static_cast<int>(message.game_over().winner());
        event.reason = static_cast<Protocol::EndReason>(message.game_over().reason());
        return emit(event);
    }
    case ServerMessage::kError: {
        Event event = make(Event::Type::Error);
        event.code = message.error().code();
        event.text = Codec::printable(message.error().text(), Protocol::kMaxServerMessageBytes);
        return emit(event);
    }
    case ServerMessage::BODY_NOT_SET:
        return;
    }
}

void NetClient::onWelcome(const Welcome& welcome) {
    // An older server that lets another protocol in is refused here too.
    if (welcome.protocol() != options.protocol) {
        Event refused = make(Event::Type::VersionRefused);
        refused.text = Protocol::versionMismatchText(
            welcome.protocol(), Codec::printable(welcome.game_version(), Protocol::kMaxVersionTextBytes),
            options.protocol, options.gameVersion);
        disconnect();
        return emit(refused);
    }
    current = State::Ready;
    attempts = 0;
    emit(make(Event::Type::Connected));
    sendIntent();
}

void NetClient::sendIntent() {
    ClientMessage message;
    switch (intent) {
    case Intent::Create:
        message.mutable_create_game()->set_seat(static_cast<uint32_t>(wantedSeat));
        break;
    case Intent::Join:
        message.mutable_join_game()->set_code(intentCode);
        break;
    case Intent::Watch:
        message.mutable_watch_game()->set_code(intentCode);
        break;
    case Intent::Rejoin:
        message.mutable_rejoin()->set_token(seatToken);
        break;
    case Intent::None:
        // Back after a drop: the seat or the game watched before.
        if (mySeat != 0 && !seatToken.empty()) {
            message.mutable_rejoin()->set_token(seatToken);
        } else if (!code.empty()) {
            message.mutable_watch_game()->set_code(code);
        } else {
            return;
        }
        break;
    }
    intent = Intent::None;
    send(message);
}

void NetClient::onMoveAccepted(const MoveAccepted& accepted) {
    // The position asked for holds this move already.
    if (resyncing) {
        return;
    }
    if (accepted.number() != copy.moves().size() + 1 || !copy.play(accepted.move()) ||
        copy.hash() != accepted.hash()) {
        return resync();
    }
    Event event = make(Event::Type::MoveAccepted);
    event.move = accepted.move();
    event.hash = accepted.hash();
    event.number = accepted.number();
    event.seat = static_cast<int>(accepted.player());
    emit(event);
}

void NetClient::onPosition(const Position& position) {
    resyncing = false;
    finished = position.finished();
    const std::vector<std::string> moves(position.moves().begin(), position.moves().end());
    if (!copy.replay(moves) || copy.hash() != position.hash()) {
        Event error = make(Event::Type::Error);
        error.text = kCopyDiffers;
        return emit(error);
    }
    Event event = make(Event::Type::Position);
    event.hash = position.hash();
    event.number = static_cast<uint32_t>(moves.size());
    event.winner = static_cast<int>(position.winner());
    event.reason = static_cast<Protocol::EndReason>(position.reason());
    event.seats = {static_cast<Protocol::SeatPresence>(position.seat1()),
                   static_cast<Protocol::SeatPresence>(position.seat2())};
    event.askedBy = static_cast<int>(position.take_back_asked_by());
    emit(event);
}

void NetClient::onTakeBackAnswered(const TakeBackAnswered& answered) {
    if (answered.agreed() && !resyncing) {
        for (uint32_t i = 0; i < answered.removed(); ++i) {
            copy.takeBack();
        }
        if (copy.moves().size() != answered.number() || copy.hash() != answered.hash()) {
            resync();
        }
    }
    Event event = make(Event::Type::TakeBackAnswered);
    event.agreed = answered.agreed();
    event.removed = static_cast<int>(answered.removed());
    event.number = answered.number();
    event.hash = answered.hash();
    emit(event);
}

void NetClient::resync() {
    resyncing = true;
    ClientMessage ask;
    ask.mutable_ask_position();
    send(ask);
}

bool NetClient::send(const ClientMessage& message) {
    if (peer == nullptr || current == State::Connecting || current == State::Reconnecting ||
        current == State::Closed) {
        return false;
    }
    const std::string bytes = Codec::encode(message);
    ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_RELIABLE);
    if (packet == nullptr || enet_peer_send(peer, 0, packet) != 0) {
        enet_packet_destroy(packet);
        return false;
    }
    lastSent = steadyNow();
    return true;
}

void NetClient::emit(Event event) {
    events.push_back(std::move(event));
}

NetClient::Event NetClient::make(Event::Type type) const {
    Event event;
    event.type = type;
    event.seat = mySeat;
    event.joinCode = code;
    return event;
}

std::string NetClient::tokenToText(const std::string& bytes) {
    std::string text;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text += kHexDigits[b >> kNibbleBits];
        text += kHexDigits[b % kHexBase];
    }
    return text;
}

std::optional<std::string> NetClient::tokenFromText(const std::string& text) {
    if (text.size() != 2 * Protocol::kTokenBytes) {
        return std::nullopt;
    }
    std::string bytes;
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = hexValue(text[i]);
        const int low = hexValue(text[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes += static_cast<char>(high * kHexBase + low);
    }
    return bytes;
}
